// The suffix graph of Turkish morphotactics.
//
// States are joined by suffix transitions; each transition carries a suffix
// type (whose tag, such as A3pl or P3sg, names the morpheme in analyses) and
// every written form the suffix may take. The graph does not check vowel
// harmony or assimilation: the analyser tries every listed form wherever a
// transition applies, so the form lists and the few per-suffix conditions
// below (first-suffix-only derivations, Ly after adjectives, the passive's
// dependence on the preceding letter) are what constrain the search.
//
// The graph is a fixed table. TurkishMorphotactics::shared() builds it once
// per process; it is immutable afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "morphology/root_lexicon.h"

namespace selvo {

// Suffix types; the value is the declaration order. Nominal plural (A3pl)
// and verbal third-person plural (VA3pl) share the tag "A3pl".
enum class SuffixType : uint8_t {
  A3pl, P1sg, P2sg, P3sg, P1pl, P2pl, P3pl, Nom, Acc, Dat, Loc, Abl, Gen, Ins, Equ,
  RelClitic, QuesClitic, Dim, CopPres1sg, CopPres2sg, CopPres3sg, CopPres1pl, CopPres2pl,
  CopPres3pl, CopPast, CopEvid, CopCond, Neg, Abil, NegAbil, Past, Evid, Prog, Aor, Fut,
  Nec, Opt, Cond, A1sg, A2sg, A3sg, A1pl, A2pl, VA3pl, Ness, With, Without, Agt,
  NounToVerb, BecomeVerb, CausVerb, Inf, ActN, Manner, DevN, DevGi, DevGin, DevGen,
  PresPart, PastPart, FutPart, AdvErek, AdvInce, AdvIp, Caus, Pass, While, SinceDoingSo,
  WithoutHavingDoneSo, Ly, Related, Imp,
};
inline constexpr size_t kSuffixTypeCount = 72;

// The tag analyses print for a suffix type ("A3pl", "P3sg", ..., "Imp").
std::string_view tag(SuffixType type) noexcept;
// The short tag of a part of speech: "Noun", "Verb", "Adj", "Adv", "Pron",
// "Num", "Conj", "Postp", "Interj", "Q", "Punc", "Dup", "Unk", "Det".
std::string_view short_tag(PrimaryPos pos) noexcept;

// States of the graph; codes 5, 11 and 15 are unused.
enum class MorphState : uint8_t {
  NominalRoot = 0,
  AfterPlural = 1,
  AfterPossessive = 2,
  AfterCase = 3,
  AfterCopula = 4,
  VerbalRoot = 6,
  AfterAbility = 7,
  AfterNegation = 8,
  AfterTense = 9,
  AfterPerson = 10,
  DerivedNoun = 12,
  DerivedAdjective = 13,
  AfterConverb = 14,
  QuestionRoot = 16,
  AfterEvidentialCopula = 17,
};
inline constexpr size_t kMorphStateSlots = 18;

std::string_view name(MorphState state) noexcept;

struct SuffixTransition {
  MorphState from;
  SuffixType suffix;
  MorphState to;
  std::vector<std::string> surfaces;  // written forms, lowercase, in the order tried

  bool operator==(const SuffixTransition&) const = default;
};

// Where a root starts its suffix search, if it starts one at all: nominal
// parts of speech in NominalRoot, verbs in VerbalRoot (the root "değil" in
// AfterCase), Q in QuestionRoot. Adverbs, conjunctions, postpositions,
// interjections, punctuation, determiners and Unknown start none.
struct StartState {
  bool searches = false;
  MorphState state = MorphState::NominalRoot;
};
StartState start_state(PrimaryPos pos, std::string_view root) noexcept;

// Whether a suffix may be taken at this point of a path: `depth` is the
// number of suffixes already taken after the root, `pos` the part of speech
// carried so far. DevN, DevGi, DevGin and DevGen only directly after the
// root; Ly only after an adjective; Equ never after one.
bool suffix_allowed(SuffixType type, PrimaryPos pos, size_t depth) noexcept;

// The part of speech after taking a suffix.
PrimaryPos pos_after(SuffixType type, PrimaryPos pos) noexcept;

// Whether a written form of the passive may be tried after `last_letter` (the
// last character of the root or of the preceding suffix form): n, nil, nıl
// after a vowel; in, ın, un, ün after "l"; il, ıl, ul, ül after anything
// else. Forms of every other suffix type are always tried.
bool passive_form_allowed(std::string_view form, char32_t last_letter) noexcept;
bool surface_allowed(SuffixType type, std::string_view form, char32_t last_letter) noexcept;

class TurkishMorphotactics {
 public:
  // The graph, built once per process on first use (thread-safe).
  static const TurkishMorphotactics& shared();

  TurkishMorphotactics();

  // The ordered transitions (a new list on each call).
  std::vector<SuffixTransition> transitions() const { return transitions_; }
  const std::vector<SuffixTransition>& table() const noexcept { return transitions_; }

  // Indices into table() of the transitions leaving `state`, in table order.
  const std::vector<uint16_t>& leaving(MorphState state) const noexcept {
    return leaving_[static_cast<size_t>(state)];
  }

 private:
  std::vector<SuffixTransition> transitions_;
  std::array<std::vector<uint16_t>, kMorphStateSlots> leaving_;
};

}  // namespace selvo

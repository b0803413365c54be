// The morphological analyser: one written word to every analysis found.
//
// An analysis is a lexicon root followed by a chain of suffixes through the
// suffix graph. The search is exhaustive and permissive: every split of the
// word into a stem and a remainder is tried, the regular stem changes
// (softening, vowel drop, doubling, a few verb-stem changes) are undone to
// find roots, and every transition whose written form matches the remainder
// is followed, up to 10 suffixes. Vowel harmony is not tested.
//
// A TurkishMorphology reads the process-wide lexicon and graph, so building
// one costs next to nothing. Loading extra entries into an instance first
// gives it a private copy of the lexicon; no other instance sees them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "morphology/morphotactics.h"
#include "morphology/root_lexicon.h"
#include "util/error.h"

namespace selvo {

class JsonWriter;

// One analysis of a word.
struct MorphParse {
  std::string surface;  // the word as passed in, trimmed (case kept)
  std::string lemma;    // the root entry's citation form
  std::string root;     // the root entry's root
  PrimaryPos primary_pos = PrimaryPos::Noun;  // of the root entry
  PrimaryPos pos = PrimaryPos::Noun;          // after the last suffix
  SecondaryPos secondary_pos = SecondaryPos::None;
  // The short tag of the root's part of speech, then one tag per suffix.
  std::vector<std::string> morpheme_tags;
  // "[lemma:Pos] root:Tag+Tag+..."
  std::string formatted;
  float score = 0.0f;

  bool operator==(const MorphParse&) const = default;

  // Compact JSON with the fields in declaration order; parts of speech by
  // their full names ("Noun", "ProperNoun"), the score in the shortest form
  // that reads back as the same single-precision value. Fails (Json) only
  // when a text is not valid UTF-8.
  Result<std::string> to_json() const;
  // The same object written into a larger document.
  void write_json(JsonWriter& w) const;
};

// "" for SecondaryPos::None, then "Prop", "Time", "Ord", "Card", "Dist",
// "Percent", "Demons", "Pers", "Reflex", "Recip", "Quant", "Ques", "Rel",
// "Abbrv".
std::string_view secondary_short_code(SecondaryPos pos) noexcept;

// "[" + lemma + ":" + short tag of primary_pos + "] " + root + ":" + tags
// joined with "+".
std::string format_parse(std::string_view lemma, PrimaryPos primary_pos, std::string_view root,
                         const std::vector<std::string>& morpheme_tags);


class TurkishMorphology {
 public:
  // Reads the shared lexicon and graph.
  TurkishMorphology();
  // Owns the given lexicon.
  explicit TurkishMorphology(RootLexicon lexicon);

  TurkishMorphology(const TurkishMorphology& other);
  TurkishMorphology& operator=(const TurkishMorphology& other);
  TurkishMorphology(TurkishMorphology&&) noexcept = default;
  TurkishMorphology& operator=(TurkishMorphology&&) noexcept = default;

  // Every analysis of `word`, best first (see the .cpp for the rules).
  std::vector<MorphParse> analyze(std::string_view word) const;

  // Adds entries in the lexicon text format to this instance only.
  void load_dictionary_str(std::string_view text);
  // The same from a file; Io error if it cannot be read (entries read
  // before a read error stay).
  Result<void> load_dictionary_file(const std::string& path);

  const RootLexicon& lexicon() const noexcept { return *lexicon_; }
  const TurkishMorphotactics& morphotactics() const noexcept { return *graph_; }
  // Whether this instance has a private lexicon (it loaded entries).
  bool owns_lexicon() const noexcept { return owned_ != nullptr; }

  // Bounds on what can have an analysis, in bytes of the normalised word:
  // a word not split at an apostrophe is a root (or a root changed by at
  // most a few bytes) and at most ten suffix forms, so it is at most
  // max_plain_bytes() long; a word split at its apostrophe has at most
  // max_suffix_bytes() after it. Longer words have no analysis.
  size_t max_plain_bytes() const noexcept;
  size_t max_suffix_bytes() const noexcept;

 private:
  RootLexicon& own_lexicon();
  void analyze_plain(std::string_view normalized, std::string_view surface, bool capitalized,
                     bool has_apostrophe, std::vector<MorphParse>& out) const;

  const TurkishMorphotactics* graph_;
  std::unique_ptr<RootLexicon> owned_;
  const RootLexicon* lexicon_;
  size_t longest_root_ = 0;  // bytes of the longest root key, to stop splitting early
};

}  // namespace selvo

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "morphology/morphotactics.h"

namespace selvo {
namespace {

using S = MorphState;
using T = SuffixType;

TEST(Morphotactics, TableShape) {
  const auto transitions = TurkishMorphotactics::shared().transitions();
  ASSERT_EQ(transitions.size(), 111u);
  // First, a middle and the last row, forms in order.
  EXPECT_EQ(transitions[0].from, S::NominalRoot);
  EXPECT_EQ(transitions[0].suffix, T::Dim);
  EXPECT_EQ(transitions[0].surfaces.size(), 12u);
  EXPECT_EQ(transitions[57].suffix, T::Pass);
  EXPECT_EQ(transitions[57].surfaces,
            (std::vector<std::string>{"il", "ıl", "ul", "ül", "in", "ın", "un", "ün", "nil", "nıl"}));
  EXPECT_EQ(transitions[79].suffix, T::VA3pl);
  EXPECT_EQ(transitions[79].from, S::AfterTense);
  EXPECT_EQ(transitions[110].suffix, T::AdvIp);
  EXPECT_EQ(transitions[110].to, S::AfterConverb);
  EXPECT_EQ(transitions[110].surfaces.back(), "yüp");
  for (const SuffixTransition& t : transitions) {
    for (S dead : {S::AfterPerson, S::AfterConverb, S::QuestionRoot, S::AfterEvidentialCopula}) {
      EXPECT_NE(t.from, dead) << "transition " << tag(t.suffix) << " leaves " << name(dead);
    }
    EXPECT_FALSE(t.surfaces.empty());
  }
}

TEST(Morphotactics, LeavingIndexMatchesTable) {
  const TurkishMorphotactics& g = TurkishMorphotactics::shared();
  size_t total = 0;
  for (size_t s = 0; s < kMorphStateSlots; ++s) {
    size_t prev = 0;
    bool first = true;
    for (uint16_t i : g.leaving(static_cast<S>(s))) {
      EXPECT_EQ(static_cast<size_t>(g.table()[i].from), s);
      if (!first) EXPECT_GT(i, prev) << "table order kept";
      prev = i;
      first = false;
      ++total;
    }
  }
  EXPECT_EQ(total, g.table().size());
}

TEST(Morphotactics, Tags) {
  EXPECT_EQ(tag(T::A3pl), "A3pl");
  EXPECT_EQ(tag(T::VA3pl), "A3pl");
  EXPECT_EQ(static_cast<int>(T::VA3pl), 43);
  EXPECT_EQ(tag(T::Imp), "Imp");
  EXPECT_EQ(static_cast<int>(T::Imp), 71);
  EXPECT_EQ(tag(T::WithoutHavingDoneSo), "WithoutHavingDoneSo");
  EXPECT_EQ(short_tag(PrimaryPos::Unknown), "Unk");
  EXPECT_EQ(short_tag(PrimaryPos::Det), "Det");
  EXPECT_EQ(short_tag(PrimaryPos::Interj), "Interj");
}

TEST(Morphotactics, StartStates) {
  struct Case {
    PrimaryPos pos;
    const char* root;
    bool searches;
    S state;
  } cases[] = {
      {PrimaryPos::Noun, "ev", true, S::NominalRoot},   {PrimaryPos::Adj, "iyi", true, S::NominalRoot},
      {PrimaryPos::Dup, "abur", true, S::NominalRoot},  {PrimaryPos::Verb, "gel", true, S::VerbalRoot},
      {PrimaryPos::Verb, "değil", true, S::AfterCase},  {PrimaryPos::Q, "mi", true, S::QuestionRoot},
      {PrimaryPos::Adv, "çok", false, S::NominalRoot},  {PrimaryPos::Det, "her", false, S::NominalRoot},
      {PrimaryPos::Postp, "gibi", false, S::NominalRoot},
  };
  for (const Case& c : cases) {
    StartState s = start_state(c.pos, c.root);
    EXPECT_EQ(s.searches, c.searches) << c.root;
    if (c.searches) EXPECT_EQ(s.state, c.state) << c.root;
  }
}

TEST(Morphotactics, SuffixConditionsAndPos) {
  EXPECT_TRUE(suffix_allowed(T::DevN, PrimaryPos::Verb, 0));
  EXPECT_FALSE(suffix_allowed(T::DevN, PrimaryPos::Verb, 1));
  EXPECT_FALSE(suffix_allowed(T::DevGen, PrimaryPos::Verb, 2));
  EXPECT_TRUE(suffix_allowed(T::Ly, PrimaryPos::Adj, 3));
  EXPECT_FALSE(suffix_allowed(T::Ly, PrimaryPos::Noun, 0));
  EXPECT_FALSE(suffix_allowed(T::Equ, PrimaryPos::Adj, 0));
  EXPECT_TRUE(suffix_allowed(T::Acc, PrimaryPos::Adj, 9));

  EXPECT_EQ(pos_after(T::A3pl, PrimaryPos::Adj), PrimaryPos::Noun);
  EXPECT_EQ(pos_after(T::Loc, PrimaryPos::Verb), PrimaryPos::Verb);
  EXPECT_EQ(pos_after(T::Nom, PrimaryPos::Adj), PrimaryPos::Adj);
  EXPECT_EQ(pos_after(T::PastPart, PrimaryPos::Verb), PrimaryPos::Adj);
  EXPECT_EQ(pos_after(T::Inf, PrimaryPos::Verb), PrimaryPos::Noun);
  EXPECT_EQ(pos_after(T::BecomeVerb, PrimaryPos::Adj), PrimaryPos::Verb);
  EXPECT_EQ(pos_after(T::AdvIp, PrimaryPos::Verb), PrimaryPos::Adv);
  EXPECT_EQ(pos_after(T::DevGin, PrimaryPos::Verb), PrimaryPos::Adj);
  EXPECT_EQ(pos_after(T::Prog, PrimaryPos::Verb), PrimaryPos::Verb);
}

TEST(Morphotactics, PassiveForms) {
  struct Case {
    const char* form;
    char32_t last;
    bool tried;
  } cases[] = {
      {"n", U'u', true},    {"n", U'p', false},   {"nil", U'a', true}, {"nıl", U'l', false},
      {"in", U'l', true},   {"ün", U'l', true},   {"ın", U'p', false}, {"in", U'e', false},
      {"ıl", U'p', true},   {"il", U'l', false},  {"ul", U'o', false}, {"ül", U'r', true},
      {"n", U'İ', true},    {"n", U'â', true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(passive_form_allowed(c.form, c.last), c.tried) << c.form << " after U+" << std::hex << int(c.last);
  }
  // Other suffix types are not restricted.
  EXPECT_TRUE(surface_allowed(T::Caus, "t", U'p'));
  EXPECT_FALSE(surface_allowed(T::Pass, "n", U'p'));
}

}  // namespace
}  // namespace selvo

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morphology/compound_decomposer.h"
#include "morphology/stemmer.h"
#include "morphology/stopwords.h"
#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {
namespace {

TEST(Stemmer, Words) {
  struct Case {
    const char* word;
    const char* stem;
  } cases[] = {{"kitaplar", "kitap"}, {"Kitaplar", "kitap"}, {"XYZQW", "xyzqw"}, {"", ""},
               {"KİTABI", "kitap"},  {"burnu", "burun"},    {"geliyorum", "gel"}};
  for (const Case& c : cases) EXPECT_EQ(TurkishStemmer::shared().stem(c.word), c.stem) << c.word;
  // Not trimmed before lowercasing, but the analyser trims: the stem is found.
  EXPECT_EQ(TurkishStemmer().stem(" evler "), "ev");
  // Without analyses the lowercased input comes back untrimmed.
  EXPECT_EQ(TurkishStemmer().stem(" QQQ "), " qqq ");
}

TEST(Stopwords, DefaultSet) {
  EXPECT_EQ(DEFAULT_STOPWORDS().size(), 156u);
  for (const std::string& w : DEFAULT_STOPWORDS()) {
    EXPECT_EQ(to_turkish_lower(w), w);
  }
  TurkishStopwords s;
  for (const char* w : {"Ve", "VE", "İçin", "KİMİ", "şimdi", "ŞİMDİ"}) EXPECT_TRUE(s.is_stopword(w)) << w;
  for (const char* w : {"kitap", "", "ve ", "IÇIN"}) EXPECT_FALSE(s.is_stopword(w)) << w;
  EXPECT_EQ(s.filter_tokens({"Bu", "kitap", "ve", "Defter"}), (std::vector<std::string>{"kitap", "Defter"}));
}

TEST(CompoundDecomposer, Splits) {
  CompoundDecomposer d;
  EXPECT_TRUE(d.decompose("eve").empty());
  EXPECT_TRUE(d.decompose("  ev  ").empty());
  auto r = d.decompose(" Evev ");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].surface, "Evev");
  EXPECT_EQ(r[0].part1, "ev");
  EXPECT_EQ(r[0].part2, "ev");
  EXPECT_EQ(r[0].parse1.root, "ev");
  // Several splits, shortest first part first; every part has two characters or more.
  auto many = d.decompose("kitapevi");
  ASSERT_FALSE(many.empty());
  for (size_t i = 0; i < many.size(); ++i) {
    EXPECT_GE(utf8::count(many[i].part1), 2u);
    EXPECT_GE(utf8::count(many[i].part2), 2u);
    EXPECT_EQ(many[i].part1 + many[i].part2, "kitapevi");
    if (i) EXPECT_LT(many[i - 1].part1.size(), many[i].part1.size());
  }
  // Character, not byte, lengths: "ağaç" splits as ağ|aç only if both parse.
  for (const CompoundAnalysis& c : d.decompose("ŞİŞEÇİÇEK")) {
    EXPECT_EQ(c.part1 + c.part2, "şişeçiçek");
  }
}

}  // namespace
}  // namespace selvo

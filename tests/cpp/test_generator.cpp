#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "morphology/generator.h"

namespace selvo {
namespace {

struct Case {
  const char* root;
  std::vector<std::string> tags;
  std::optional<std::string> expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.root << " " << testing::PrintToString(c.tags); }

class Generate : public testing::TestWithParam<Case> {};

TEST_P(Generate, Word) {
  static const TurkishGenerator gen;
  const Case& c = GetParam();
  EXPECT_EQ(gen.generate(c.root, c.tags), c.expected) << c.root << " " << testing::PrintToString(c.tags);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Generate,
    testing::Values(
        Case{"kitap", {"A3pl"}, "kitaplar"}, Case{"kitap", {"P3sg"}, "kitabı"},
        Case{"kitap", {"A3pl", "P3sg"}, "kitapları"}, Case{"kitap", {"Loc"}, "kitapta"},
        Case{"kitap", {"Dat"}, "kitaba"}, Case{"ev", {"Loc"}, "evde"}, Case{"ev", {"Abl"}, "evden"},
        Case{"ev", {"Dat"}, "eve"}, Case{"ev", {"Gen"}, "evin"}, Case{"araba", {"Dat"}, "arabaya"},
        Case{"araba", {"Gen"}, "arabanın"}, Case{"araba", {"P3sg"}, "arabası"},
        Case{"araba", {"Acc"}, "arabayı"}, Case{"araba", {"P1sg"}, "arabam"},
        Case{"araba", {"P2sg"}, "araban"}, Case{"ev", {"P2sg"}, "evin"},
        Case{"burun", {"P3sg"}, "burnu"}, Case{"hak", {"P3sg"}, "hakkı"}, Case{"kalp", {"P3sg"}, "kalbi"},
        Case{"saat", {"A3pl"}, "saatler"}, Case{"saat", {"Loc"}, "saatte"}, Case{"saat", {"Past"}, "saattı"},
        Case{"gel", {"Past", "A1sg"}, "geldim"}, Case{"gel", {"Prog", "A1sg"}, "geliyorum"},
        Case{"gel", {"A1sg"}, "gel"}, Case{"git", {"Fut"}, "gidecek"},
        Case{"git", {"Fut", "A1sg"}, "gideceğim"}, Case{"başla", {"Prog"}, "başlıyor"},
        Case{"ye", {"Prog"}, "yiyor"}, Case{"gelmek", {"A3pl"}, std::nullopt},
        Case{"Kitap", {"A3pl"}, std::nullopt}, Case{"ev", {"Foo", "Loc"}, "evde"}, Case{"ev", {}, "ev"},
        Case{"ankara", {"Loc"}, "ankarada"},
        // The mutation happens once, at the first suffix that needs it; no
        // pronominal n is inserted after a possessive.
        Case{"kitap", {"P3sg", "Acc"}, "kitabıyı"}, Case{"ağaç", {"A3pl", "Dat"}, "ağaçlara"},
        Case{"kitap", {"Abl"}, "kitaptan"}, Case{"yap", {"Past"}, "yaptı"},
        Case{"oku", {"Fut"}, "okuyacak"}, Case{"oku", {"Past", "A1sg"}, "okudum"}));

TEST(Generator, ReadsOnlyTheLexiconItWasGiven) {
  RootLexicon lex = RootLexicon::builtin_only();
  lex.load_from_str("zorbax zorbax Noun\n");
  TurkishGenerator with(lex);
  EXPECT_EQ(with.generate("zorbax", {"A3pl"}), "zorbaxlar");
  EXPECT_EQ(TurkishGenerator().generate("zorbax", {"A3pl"}), std::nullopt);
}

}  // namespace
}  // namespace selvo

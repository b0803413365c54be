#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonology/syllables.h"

namespace selvo {
namespace {

struct SyllableCase {
  const char* word;
  std::vector<std::string> expected;
};

TEST(Syllabify, ConsonantClustersBetweenVowels) {
  const SyllableCase cases[] = {
      {"merhaba", {"mer", "ha", "ba"}},
      {"İstanbul", {"İs", "tan", "bul"}},
      {"saat", {"sa", "at"}},              // d = 1
      {"kontrol", {"kont", "rol"}},        // d = 4
      {"türkçe", {"türk", "çe"}},
      {"strateji", {"stra", "te", "ji"}},  // leading consonants join the first syllable
      {"ev", {"ev"}},
      {"brr", {"brr"}},
      {"", {}},
      {"iyi gün", {"i", "yi ", "gün"}},    // the space is a consonant
      {"aeıi", {"a", "e", "ı", "i"}},
      {"abcdefa", {"abc", "de", "fa"}},   // d = 4 then d = 2
      {"abcdef", {"abc", "def"}},          // d = 4: the first two stay
      {"abcdeXYZWo", {"abc", "deXYZ", "Wo"}},  // d = 5: only W moves on
      {"KAPIDA", {"KA", "PI", "DA"}},
      {"kâtip", {"kâ", "tip"}},
      {"ÇİÇEKLER", {"Çİ", "ÇEK", "LER"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TurkishSyllabifier::syllabify(c.word), c.expected) << c.word;
  }
}

TEST(Syllabify, SyllablesConcatenateToWordEvenForInvalidBytes) {
  // Ill-formed bytes count as consonants and come back unchanged.
  const std::string word = "a\xFF\xFEo\x80u";
  std::string joined;
  for (const auto& s : TurkishSyllabifier::syllabify(word)) joined += s;
  EXPECT_EQ(joined, word);
}

struct HyphenCase {
  const char* word;
  const char* delimiter;
  const char* expected;
};

TEST(Hyphenate, JoinsWithDelimiter) {
  EXPECT_EQ(TurkishSyllabifier::hyphenate("merhaba"), "mer-ha-ba");
  const HyphenCase cases[] = {
      {"merhaba", "·", "mer·ha·ba"},
      {"merhaba", "", "merhaba"},
      {"ev", "-", "ev"},
      {"brr", "-", "brr"},
      {"", "-", ""},
      {"İstanbul", "<->", "İs<->tan<->bul"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TurkishSyllabifier::hyphenate(c.word, c.delimiter), c.expected) << c.word;
  }
}

TEST(CountSyllables, CountsVowelCharacters) {
  const std::pair<const char*, size_t> cases[] = {
      {"brr", 0}, {"saat", 2}, {"MERHABA", 3}, {"", 0}, {"İıIiÂîÛ", 7}, {"kâtip", 2},
  };
  for (const auto& [word, n] : cases) {
    EXPECT_EQ(count_syllables(word), n) << word;
  }
}

}  // namespace
}  // namespace selvo

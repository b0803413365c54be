#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "phonology/alphabet.h"

namespace selvo {
namespace {

struct CaseMapCase {
  const char* input;
  const char* expected;
};

TEST(TurkishCaseMapping, Lower) {
  const CaseMapCase cases[] = {
      {"IŞIK İZMİR", "ışık izmir"},
      {"İ", "i"},  // a single i, no combining dot
      {"I", "ı"},
      {"", ""},
      {"ÇĞÖŞÜÂÎÛ", "çğöşüâîû"},
      {"ΣΑΣ", "σασ"},  // context-free: no final sigma
      {"ABC xyz 123", "abc xyz 123"},
      {"\xFF", "\xEF\xBF\xBD"},  // an ill-formed byte becomes U+FFFD
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_turkish_lower(c.input), c.expected) << c.input;
  }
}

TEST(TurkishCaseMapping, Upper) {
  const CaseMapCase cases[] = {
      {"istanbul ılık", "İSTANBUL ILIK"},
      {"ı", "I"},
      {"i", "İ"},
      {"straße", "STRASSE"},
      {"", ""},
      {"çğöşüâîû", "ÇĞÖŞÜÂÎÛ"},
      {"ŉ", "ʼN"},  // one character, two in uppercase
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_turkish_upper(c.input), c.expected) << c.input;
  }
}

TEST(TurkishCaseMapping, Title) {
  const CaseMapCase cases[] = {
      {"istanbul'da ılık bir gün", "İstanbul'Da Ilık Bir Gün"},
      {"ali-veli (izmir)/ankara", "Ali-Veli (İzmir)/Ankara"},
      {"3üncü KAT", "3üncü Kat"},
      {"  çok   iyi ", "  Çok   İyi "},
      {"", ""},
      {"IŞIK İZMİR", "Işık İzmir"},
      {"\"alıntı\"", "\"Alıntı\""},
      {"straße ßa", "Straße SSa"},
      {"a\u00A0b\u3000c", "A\u00A0B\u3000C"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_turkish_title(c.input), c.expected) << c.input;
  }
}

TEST(TurkishCaseMapping, SingleCharacterAppend) {
  std::string lower;
  for (char32_t c : {U'A', U'I', U'İ', U'Ç', U'z'}) append_turkish_lower(lower, c);
  EXPECT_EQ(lower, "aıiçz");
  std::string upper;
  for (char32_t c : {U'a', U'i', U'ı', U'ç', U'Z'}) append_turkish_upper(upper, c);
  EXPECT_EQ(upper, "AİIÇZ");
}

TEST(VowelClasses, CircumflexAndDottedI) {
  EXPECT_TRUE(is_back_vowel(U'I'));
  EXPECT_TRUE(is_back_vowel(U'â'));
  EXPECT_TRUE(is_back_vowel(U'Û'));
  EXPECT_TRUE(is_front_vowel(U'İ'));
  EXPECT_TRUE(is_front_vowel(U'î'));
  EXPECT_TRUE(is_rounded_vowel(U'û'));
  EXPECT_TRUE(is_unrounded_vowel(U'Î'));
  EXPECT_FALSE(is_vowel(U'y'));
  EXPECT_FALSE(is_vowel(U'é'));
  EXPECT_FALSE(is_vowel(U'1'));
}

TEST(LastVowel, ScansFromEnd) {
  const std::pair<const char*, std::optional<char32_t>> cases[] = {
      {"kitap", U'a'}, {"KİTAPLIK", U'I'}, {"kral", U'a'}, {"brr", std::nullopt},
      {"", std::nullopt}, {"kâr", U'â'}, {"türk", U'ü'}, {"İst", U'İ'},
  };
  for (const auto& [word, expected] : cases) {
    EXPECT_EQ(last_vowel(word), expected) << word;
  }
}

}  // namespace
}  // namespace selvo

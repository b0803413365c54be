#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "pii/suffix.h"

namespace selvo {
namespace {

TEST(PiiSuffix, HarmonizeAllCases) {
  struct Case {
    const char* stem;
    const char* forms[7];  // dative .. plural
  };
  const Case cases[] = {
      {"Ahmet", {"Ahmet'e", "Ahmet'in", "Ahmet'i", "Ahmet'te", "Ahmet'ten", "Ahmet'le", "Ahmet'ler"}},
      {"Ankara", {"Ankara'ya", "Ankara'nın", "Ankara'yı", "Ankara'da", "Ankara'dan", "Ankara'yla", "Ankara'lar"}},
      {"Sinop", {"Sinop'a", "Sinop'un", "Sinop'u", "Sinop'ta", "Sinop'tan", "Sinop'la", "Sinop'lar"}},
      {"İzmir", {"İzmir'e", "İzmir'in", "İzmir'i", "İzmir'de", "İzmir'den", "İzmir'le", "İzmir'ler"}},
      {"Göksu", {"Göksu'ya", "Göksu'nun", "Göksu'yu", "Göksu'da", "Göksu'dan", "Göksu'yla", "Göksu'lar"}},
      {"Ömür", {"Ömür'e", "Ömür'ün", "Ömür'ü", "Ömür'de", "Ömür'den", "Ömür'le", "Ömür'ler"}},
      {"ANKARA", {"ANKARA'ya", "ANKARA'nın", "ANKARA'yı", "ANKARA'da", "ANKARA'dan", "ANKARA'yla", "ANKARA'lar"}},
      {"IŞIK", {"IŞIK'a", "IŞIK'ın", "IŞIK'ı", "IŞIK'ta", "IŞIK'tan", "IŞIK'la", "IŞIK'lar"}},
      {"THY", {"THY'e", "THY'in", "THY'i", "THY'de", "THY'den", "THY'le", "THY'ler"}},
      {"5", {"5'e", "5'in", "5'i", "5'de", "5'den", "5'le", "5'ler"}},
      {"", {"'ye", "'nin", "'yi", "'de", "'den", "'yle", "'ler"}},
  };
  for (const auto& c : cases) {
    for (int k = 0; k < 7; ++k) {
      EXPECT_EQ(harmonize_suffix(c.stem, static_cast<SuffixCase>(k)), c.forms[k]) << c.stem << " case " << k;
    }
  }
}

TEST(PiiSuffix, DetectCase) {
  struct Case {
    const char* suffix;
    std::optional<SuffixCase> expected;
  };
  const Case cases[] = {
      {"e", SuffixCase::Dative},         {"'DEN", SuffixCase::Ablative},   {"e.", SuffixCase::Dative},
      {"'ler", SuffixCase::Plural},      {"nın", SuffixCase::Genitive},    {"’da", SuffixCase::Locative},
      {"YI", SuffixCase::Accusative},    {"yla", SuffixCase::Instrumental}, {"İN", SuffixCase::Genitive},
      {"lerden", std::nullopt},          {"ye'ye", std::nullopt},           {"", std::nullopt},
      {"cığım", std::nullopt},           {"...", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(detect_suffix_case(c.suffix), c.expected) << c.suffix;
}

TEST(PiiSuffix, SplitAtFirstApostrophe) {
  struct Case {
    const char* token;
    const char* stem;
    std::optional<char32_t> apostrophe;
    std::optional<std::string> suffix;
  };
  const Case cases[] = {
      {"Ahmet'in", "Ahmet", U'\'', "in"},
      {"Ayşe’nin", "Ayşe", U'\u2019', "nin"},
      {"Can´a", "Can", U'\u00B4', "a"},
      {"Ali'", "Ali", U'\'', std::nullopt},
      {"Ali’nin'ki", "Ali", U'\u2019', "nin'ki"},
      {"Mehmet", "Mehmet", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    StemSuffix s = split_stem_suffix(c.token, 10);
    EXPECT_EQ(s.stem, c.stem) << c.token;
    EXPECT_EQ(s.apostrophe, c.apostrophe) << c.token;
    std::optional<std::string> suffix = s.suffix ? std::optional<std::string>(std::string(*s.suffix)) : std::nullopt;
    EXPECT_EQ(suffix, c.suffix) << c.token;
    EXPECT_EQ(s.stem_start, 10u);
    EXPECT_EQ(s.stem_end, 10 + std::string_view(c.stem).size()) << c.token;
  }
}

TEST(PiiSuffix, CaseNames) {
  EXPECT_EQ(suffix_case_from_name("Yonelme"), SuffixCase::Dative);
  EXPECT_EQ(suffix_case_from_name("GEN"), SuffixCase::Genitive);
  EXPECT_EQ(suffix_case_from_name("cogul"), SuffixCase::Plural);
  EXPECT_EQ(suffix_case_from_name("Yönelme"), std::nullopt);
  EXPECT_EQ(suffix_case_from_name(" dat"), std::nullopt);
}

}  // namespace
}  // namespace selvo

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "phonology/harmony.h"

namespace selvo {
namespace {

struct HarmonyCase {
  const char* word;
  bool expected;
};

TEST(MajorVowelHarmony, FrontBackAgreement) {
  const HarmonyCase cases[] = {
      {"kitaplar", false}, {"evler", true},  {"KAPI", true},     {"İNCİ", true},
      {"hkz", true},       {"", true},       {"kapı", true},     {"gözlük", true},
      {"kalem", false},    {"KALEM", false}, {"kâr", true},      {"hûrî", false},
      {"Işık", true},      {"İlık", false},  {"ev123ler", true}, {"a-e", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(check_major_vowel_harmony(c.word), c.expected) << c.word;
  }
}

TEST(MinorVowelHarmony, RoundedUnroundedAgreement) {
  const HarmonyCase cases[] = {
      {"okul", true},      {"OKUL", false},  {"kapı", true},   {"gözlük", true},
      {"kitapçı", true},   {"kurşun", true}, {"gövde", true},  {"ordu", true},
      {"koyun", true},     {"otobüs", false}, {"", true},      {"a", true},
      {"kalu", false},     {"KAPI", true},   {"kApI", true},   {"boyı", false},
      {"hûrî", false},     {"oÜ", false},    {"brr", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(check_minor_vowel_harmony(c.word), c.expected) << c.word;
  }
}

struct DropCase {
  const char* word;
  std::optional<std::string> expected;
};

TEST(VowelDrop, SecondToLastHighVowel) {
  const DropCase cases[] = {
      {"ağız", "ağz"},     {"burun", "burn"},   {"oğul", "oğl"}, {"akıl", "akl"},
      {"gönül", "gönl"},   {"isim", "ism"},     {"kalem", std::nullopt},
      {"ağ", std::nullopt}, {"", std::nullopt}, {"ıi", std::nullopt},
      {"uiu", "uu"},       // the last character is not examined
      {"AĞIZ", std::nullopt},  // uppercase vowels are not dropped
      {"akıl" "\xFF", std::nullopt},  // "l" sits before the trailing invalid byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(apply_vowel_drop(c.word), c.expected) << c.word;
  }
}

struct MutationCase {
  const char* word;
  const char* expected;
};

TEST(StemSoftening, GeneralAndAfterN) {
  const MutationCase cases[] = {
      {"kitap", "kitab"}, {"ağaç", "ağac"},   {"köpek", "köpeğ"}, {"renk", "reng"},
      {"KİTAP", "KİTAB"}, {"ev", "ev"},       {"", ""},           {"kanat", "kanad"},
      {"RENK", "RENG"},   {"BÖCEK", "BÖCEĞ"}, {"RENç", "RENc"},   {"denk", "deng"},
      {"k", "ğ"},         {"nk", "ng"},       {"Nt", "Nd"},       {"ç", "c"},
      {"kitap\xFF", "kitap\xFF"},  // an invalid trailing byte is kept as it is
  };
  for (const auto& c : cases) {
    EXPECT_EQ(apply_stem_softening(c.word), c.expected) << c.word;
  }
}

TEST(ConsonantDoubling, RepeatsLastCharacter) {
  const MutationCase cases[] = {
      {"hak", "hakk"}, {"his", "hiss"}, {"", ""}, {"ç", "çç"}, {"haç", "haçç"}, {"ab1", "ab11"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(apply_consonant_doubling(c.word), c.expected) << c.word;
  }
}

struct CombinedCase {
  const char* word;
  bool soften;
  bool drop_vowel;
  bool double_consonant;
  const char* expected;
};

TEST(StemMutation, FlagPrecedence) {
  const CombinedCase cases[] = {
      // A drop that applies wins over doubling.
      {"akıl", false, true, true, "akl"},
      // A drop that does not apply falls through to doubling.
      {"kalem", false, true, true, "kalemm"},
      // ... or to softening.
      {"ağaç", true, true, false, "ağac"},
      // Drop and soften together: the dropped form is softened.
      {"kayıt", true, true, false, "kayd"},
      {"ağız", true, true, false, "ağz"},
      // Doubling without drop skips softening.
      {"hak", true, false, true, "hakk"},
      {"kitap", true, false, false, "kitab"},
      {"burun", false, true, false, "burn"},
      {"burun", false, false, false, "burun"},
      {"", true, true, true, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(apply_stem_mutation(c.word, c.soften, c.drop_vowel, c.double_consonant), c.expected)
        << c.word << " soften=" << c.soften << " drop=" << c.drop_vowel
        << " double=" << c.double_consonant;
  }
}

}  // namespace
}  // namespace selvo

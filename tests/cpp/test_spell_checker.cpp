#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "normalization/letter_runs.h"
#include "normalization/spell_checker.h"

namespace selvo {
namespace {

// The textbook definition, for comparison.
uint64_t reference_distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<uint64_t>> d(a.size() + 1, std::vector<uint64_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    }
  }
  return d[a.size()][b.size()];
}

TEST(ByteEditDistance, TurkishLettersCostTheirBytes) {
  struct Case {
    const char* a;
    const char* b;
    uint64_t d;
  } cases[] = {
      {"kitap", "kitap", 0}, {"kıtap", "kitap", 2}, {"ktap", "kitap", 1}, {"", "abc", 3},
      {"şu", "şü", 2},  // u is one byte, ü two
      {"ğ", "ş", 2},    {"ç", "Ç", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(byte_edit_distance(c.a, c.b), reference_distance(c.a, c.b)) << c.a << " / " << c.b;
  }
  EXPECT_EQ(byte_edit_distance("kıtap", "kitap"), 2u);
}

TEST(ByteEditDistance, AgreesWithTheDefinitionOnRandomStrings) {
  std::mt19937 rng(7);
  const std::string alphabet[] = {"a", "b", "c", "ç", "ı", "i", "ş", "ü", "\xff"};
  auto random_word = [&](size_t max_len) {
    std::string s;
    size_t n = rng() % (max_len + 1);
    for (size_t i = 0; i < n; ++i) s += alphabet[rng() % std::size(alphabet)];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    // Short words take the bit-parallel path, long ones the banded one.
    size_t max_len = round % 3 == 0 ? 60 : 12;
    std::string a = random_word(max_len), b = random_word(max_len);
    uint64_t expected = reference_distance(a, b);
    EXPECT_EQ(byte_edit_distance(a, b), expected) << a << " / " << b;
    for (uint64_t bound : {0u, 1u, 2u, 5u}) {
      uint64_t bounded = byte_edit_distance(a, b, bound);
      if (expected <= bound) {
        EXPECT_EQ(bounded, expected);
      } else {
        EXPECT_GT(bounded, bound);
      }
    }
  }
}

TEST(LetterRuns, NonLettersStayInPlace) {
  auto upper_first = [](std::string_view w) { return "<" + std::string(w) + ">"; };
  EXPECT_EQ(rewrite_letter_runs("ankara'da 3 kişi, tamam.", upper_first), "<ankara>'<da> 3 <kişi>, <tamam>.");
  EXPECT_EQ(rewrite_letter_runs("", upper_first), "");
  EXPECT_EQ(rewrite_letter_runs("  ", upper_first), "  ");
  EXPECT_EQ(rewrite_letter_runs("söz", upper_first), "<söz>");
}

}  // namespace
}  // namespace selvo

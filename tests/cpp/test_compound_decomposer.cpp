#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morphology/compound_decomposer.h"
#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {
namespace {

// Every split analysed, without the length shortcut.
std::vector<std::pair<std::string, std::string>> brute_force(const TurkishMorphology& m, std::string_view word) {
  std::vector<std::pair<std::string, std::string>> out;
  std::string lower = to_turkish_lower(word);
  std::vector<size_t> bounds;
  for (size_t i = 0; i < lower.size();) {
    bounds.push_back(i);
    utf8::next(lower, i);
  }
  for (size_t k = 2; k + 2 <= bounds.size(); ++k) {
    std::string a = lower.substr(0, bounds[k]), b = lower.substr(bounds[k]);
    if (!m.analyze(a).empty() && !m.analyze(b).empty()) out.emplace_back(a, b);
  }
  return out;
}

TEST(CompoundDecomposer, LengthShortcutDropsNoSplit) {
  CompoundDecomposer d;
  std::string long_stem(3 * d.morphology().max_plain_bytes() + 50, 'k');
  const std::vector<std::string> words = {
      "evev", "kitapevi", "ankara'daki", "âlemevi", "başöğretmen", "ev" + long_stem + "'de",
      "ev'" + long_stem, long_stem + "evler", "evler" + long_stem, "ev’" + long_stem + "'den", "ev" + long_stem,
  };
  for (const std::string& w : words) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const CompoundAnalysis& a : d.decompose(w)) got.emplace_back(a.part1, a.part2);
    EXPECT_EQ(got, brute_force(d.morphology(), w)) << w.substr(0, 40);
  }
}

TEST(CompoundDecomposer, HugeWordsReturnPromptly) {
  CompoundDecomposer d;
  EXPECT_TRUE(d.decompose(std::string(2'000'000, 'a')).empty());
  // An apostrophe near the end keeps the second part analysable.
  EXPECT_TRUE(d.decompose(std::string(2'000'000, 'a') + "'da").size() < 100);
}

}  // namespace
}  // namespace selvo

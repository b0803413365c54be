#include "morphology/compound_decomposer.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <utility>

#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

std::vector<CompoundAnalysis> CompoundDecomposer::decompose(std::string_view word) const {
  std::vector<CompoundAnalysis> out;
  const std::string_view surface = utf8::trim_space(word);
  const std::string lower = to_turkish_lower(surface);
  std::vector<size_t> bounds;
  for (size_t i = 0; i < lower.size();) {
    bounds.push_back(i);
    utf8::next(lower, i);
  }
  const size_t n = bounds.size();
  if (n <= 3) return out;

  // Which parts can have an analysis at all is known from their lengths
  // and apostrophes (see TurkishMorphology::max_plain_bytes), so a long
  // word costs a scan, not two analyses per split. The analyser folds
  // ’ to ' and â, î, û to a, i, u first, which can shrink a part to a third
  // of its bytes; the bounds allow for that.
  const size_t plain = 3 * morphology_.max_plain_bytes();
  const size_t suffix = 3 * morphology_.max_suffix_bytes();
  std::vector<std::pair<size_t, size_t>> apostrophes;  // byte start, byte length
  for (size_t i = 0; i < lower.size();) {
    size_t at = i;
    char32_t c = utf8::next(lower, i);
    if (c == U'\'' || c == U'\u2019') apostrophes.emplace_back(at, i - at);
  }
  // Part [from, to) may be analysable: short enough, or split at its first
  // apostrophe (not its first or last character) with a short remainder.
  auto may_analyze = [&](size_t from, size_t to) {
    if (to - from <= plain) return true;
    auto it = std::lower_bound(apostrophes.begin(), apostrophes.end(), std::pair<size_t, size_t>{from, 0});
    if (it == apostrophes.end() || it->first >= to) return false;
    size_t after = it->first + it->second;
    return it->first > from && after < to && to - after <= suffix;
  };

  for (size_t k = 2; k + 2 <= n; ++k) {
    if (!may_analyze(0, bounds[k]) || !may_analyze(bounds[k], lower.size())) continue;
    std::string part1 = lower.substr(0, bounds[k]);
    std::vector<MorphParse> first = morphology_.analyze(part1);
    if (first.empty()) continue;
    std::string part2 = lower.substr(bounds[k]);
    std::vector<MorphParse> second = morphology_.analyze(part2);
    if (second.empty()) continue;
    out.push_back(CompoundAnalysis{std::string(surface), std::move(part1), std::move(part2),
                                   std::move(first.front()), std::move(second.front())});
  }
  return out;
}

}  // namespace selvo

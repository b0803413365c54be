#include "morphology/compound_decomposer.h"

#include <unicode/uchar.h>

#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

namespace {

std::string_view trim_space(std::string_view s) {
  size_t b = 0;
  while (b < s.size()) {
    size_t i = b;
    if (!u_isUWhiteSpace(static_cast<UChar32>(utf8::next(s, i)))) break;
    b = i;
  }
  size_t e = s.size();
  while (e > b) {
    size_t i = e;
    if (!u_isUWhiteSpace(static_cast<UChar32>(utf8::prev(s, i)))) break;
    e = i;
  }
  return s.substr(b, e - b);
}

}  // namespace

std::vector<CompoundAnalysis> CompoundDecomposer::decompose(std::string_view word) const {
  std::vector<CompoundAnalysis> out;
  const std::string_view surface = trim_space(word);
  const std::string lower = to_turkish_lower(surface);
  std::vector<size_t> bounds;
  for (size_t i = 0; i < lower.size();) {
    bounds.push_back(i);
    utf8::next(lower, i);
  }
  const size_t n = bounds.size();
  if (n <= 3) return out;
  for (size_t k = 2; k + 2 <= n; ++k) {
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

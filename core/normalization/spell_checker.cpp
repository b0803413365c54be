#include "normalization/spell_checker.h"

#include <algorithm>

#include "phonology/alphabet.h"
#include "util/resource.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// Distance by Hyyrö's bit-parallel form of Myers' algorithm when the shorter
// string fits in one 64-bit word: O(len(longer)) word operations.
uint64_t bit_parallel_distance(std::string_view pattern, std::string_view text) {
  const size_t m = pattern.size();
  uint64_t peq[256] = {};
  for (size_t i = 0; i < m; ++i) peq[static_cast<unsigned char>(pattern[i])] |= uint64_t{1} << i;
  uint64_t pv = m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1;
  uint64_t mv = 0;
  const uint64_t high = uint64_t{1} << (m - 1);
  uint64_t score = m;
  for (unsigned char c : text) {
    uint64_t eq = peq[c];
    uint64_t xv = eq | mv;
    uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
    uint64_t ph = mv | ~(xh | pv);
    uint64_t mh = pv & xh;
    if (ph & high) ++score;
    if (mh & high) --score;
    ph = (ph << 1) | 1;
    mh <<= 1;
    pv = mh | ~(xv | ph);
    mv = ph & xv;
  }
  return score;
}

// Row-by-row dynamic programme, cut short once every cell of a row is above
// the bound (the distance can then only be larger).
uint64_t banded_distance(std::string_view a, std::string_view b, uint64_t bound) {
  std::vector<uint64_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    uint64_t diagonal = row[0];
    row[0] = i;
    uint64_t row_min = row[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      uint64_t up = row[j];
      uint64_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      row[j] = std::min({row[j - 1] + 1, up + 1, diagonal + cost});
      diagonal = up;
      row_min = std::min(row_min, row[j]);
    }
    if (row_min > bound) return row_min;
  }
  return row[b.size()];
}

}  // namespace

uint64_t byte_edit_distance(std::string_view a, std::string_view b, uint64_t bound) {
  if (a.size() < b.size()) std::swap(a, b);  // b is the shorter
  if (b.empty()) return a.size();
  if (a.size() - b.size() > bound) return a.size() - b.size();
  if (b.size() <= 64) return bit_parallel_distance(b, a);
  return banded_distance(a, b, bound);
}

TurkishSpellChecker::TurkishSpellChecker() {
  std::string_view text = resources::root_lexicon();
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = utf8::trim_space(line);
    if (line.empty()) continue;
    size_t end = line.find_first_of(" \t");
    add_lowercase(to_turkish_lower(line.substr(0, end)));
  }
}

void TurkishSpellChecker::add_lowercase(std::string w) {
  if (vocabulary_.insert(w).second) words_.push_back(std::move(w));
}

void TurkishSpellChecker::add_word(std::string_view word) { add_lowercase(to_turkish_lower(word)); }

bool TurkishSpellChecker::known(const std::string& lower) const {
  return vocabulary_.count(lower) > 0 || !analyzer_.analyze(lower).empty();
}

bool TurkishSpellChecker::is_correct(std::string_view word) const { return known(to_turkish_lower(word)); }

std::vector<SpellSuggestion> TurkishSpellChecker::suggest(std::string_view word, uint64_t max_distance,
                                                          uint64_t max_suggestions) const {
  const std::string w = to_turkish_lower(word);
  if (known(w)) return {SpellSuggestion{w, 0, 1.0f}};
  std::vector<SpellSuggestion> found;
  for (const std::string& v : words_) {
    uint64_t gap = v.size() > w.size() ? v.size() - w.size() : w.size() - v.size();
    if (gap > max_distance) continue;
    uint64_t d = byte_edit_distance(w, v, max_distance);
    if (d <= max_distance) found.push_back({v, d, 1.0f / static_cast<float>(d + 1)});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const SpellSuggestion& a, const SpellSuggestion& b) { return a.distance < b.distance; });
  if (found.size() > max_suggestions) found.resize(static_cast<size_t>(max_suggestions));
  return found;
}

}  // namespace selvo

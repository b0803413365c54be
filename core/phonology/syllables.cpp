#include "phonology/syllables.h"

#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// Byte offsets at which the word is cut into syllables, in order (the start
// of the word and its end excluded). Empty when the word has fewer than two
// vowels.
std::vector<size_t> syllable_cuts(std::string_view word) {
  // Character starts (in bytes) and the character indices of the vowels.
  std::vector<size_t> starts;
  std::vector<size_t> vowels;
  for (size_t i = 0; i < word.size();) {
    starts.push_back(i);
    if (is_vowel(utf8::next(word, i))) vowels.push_back(starts.size() - 1);
  }
  std::vector<size_t> cuts;
  if (vowels.size() < 2) return cuts;
  cuts.reserve(vowels.size() - 1);
  for (size_t k = 0; k + 1 < vowels.size(); ++k) {
    const size_t p = vowels[k];
    const size_t q = vowels[k + 1];
    const size_t d = q - p;
    size_t boundary;
    if (d <= 2) {
      boundary = p + 1;  // V-V, or V-CV
    } else if (d == 3) {
      boundary = p + 2;  // VC-CV
    } else {
      boundary = q - 1;  // VCC-CV, and only one consonant moves on beyond that
    }
    cuts.push_back(starts[boundary]);
  }
  return cuts;
}

}  // namespace

std::vector<std::string> TurkishSyllabifier::syllabify(std::string_view word) {
  std::vector<std::string> out;
  if (word.empty()) return out;
  const std::vector<size_t> cuts = syllable_cuts(word);
  out.reserve(cuts.size() + 1);
  size_t from = 0;
  for (size_t cut : cuts) {
    out.emplace_back(word.substr(from, cut - from));
    from = cut;
  }
  out.emplace_back(word.substr(from));
  return out;
}

std::string TurkishSyllabifier::hyphenate(std::string_view word, std::string_view delimiter) {
  const std::vector<size_t> cuts = syllable_cuts(word);
  std::string out;
  out.reserve(word.size() + cuts.size() * delimiter.size());
  size_t from = 0;
  for (size_t cut : cuts) {
    out.append(word.substr(from, cut - from));
    out.append(delimiter);
    from = cut;
  }
  out.append(word.substr(from));
  return out;
}

size_t count_syllables(std::string_view word) {
  size_t n = 0;
  for (size_t i = 0; i < word.size();) {
    if (is_vowel(utf8::next(word, i))) ++n;
  }
  return n;
}

}  // namespace selvo

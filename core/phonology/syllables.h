// Syllabification and hyphenation of single Turkish words by vowel position.
//
// Every syllable holds exactly one vowel; the consonants between two vowels
// are shared out by their number. Every non-vowel character (digits,
// punctuation, spaces) counts as a consonant. Concatenating the syllables
// gives the word back byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace selvo {

class TurkishSyllabifier {
 public:
  // The syllables of `word` in order. The empty word has none; a word with
  // fewer than two vowels is one syllable.
  static std::vector<std::string> syllabify(std::string_view word);

  // The syllables joined with `delimiter` between neighbours.
  static std::string hyphenate(std::string_view word, std::string_view delimiter = "-");
};

// The number of vowels in `word` (a word without vowels counts 0, although
// syllabify returns it as one syllable).
size_t count_syllables(std::string_view word);

}  // namespace selvo

// Spelling check and suggestions.
//
// A word is correct when it is in the vocabulary (the citation forms of the
// embedded lexicon plus words added at run time) or the morphological
// analyser accepts it, so every inflected form of a known root passes.
// Suggestions are vocabulary words within a small byte-level edit distance,
// nearest first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "morphology/analyzer.h"

namespace selvo {

struct SpellSuggestion {
  std::string word;
  uint64_t distance = 0;
  float score = 0.0f;  // 1 / (distance + 1)

  bool operator==(const SpellSuggestion&) const = default;
};

class TurkishSpellChecker {
 public:
  static constexpr uint64_t kDefaultMaxDistance = 2;
  static constexpr uint64_t kDefaultMaxSuggestions = 5;

  TurkishSpellChecker();

  bool is_correct(std::string_view word) const;
  void add_word(std::string_view word);
  std::vector<SpellSuggestion> suggest(std::string_view word, uint64_t max_distance = kDefaultMaxDistance,
                                       uint64_t max_suggestions = kDefaultMaxSuggestions) const;

  const std::vector<std::string>& words() const noexcept { return words_; }

 private:
  void add_lowercase(std::string w);
  bool known(const std::string& lower) const;

  TurkishMorphology analyzer_;
  std::vector<std::string> words_;  // first-added order
  std::unordered_set<std::string> vocabulary_;
};

// The Levenshtein distance between the bytes of a and b (insertion,
// deletion and substitution of one byte cost 1), or any value above `bound`
// when the distance exceeds `bound`. Every distance up to `bound` is exact.
uint64_t byte_edit_distance(std::string_view a, std::string_view b, uint64_t bound = UINT64_MAX);

}  // namespace selvo

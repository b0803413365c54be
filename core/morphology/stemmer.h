// Stemming: a word reduced to the root of its best analysis.
#pragma once

#include <string>
#include <string_view>

#include "morphology/analyzer.h"

namespace selvo {

class TurkishStemmer {
 public:
  // Reads the shared lexicon and graph.
  TurkishStemmer() = default;
  explicit TurkishStemmer(TurkishMorphology morphology) : morphology_(std::move(morphology)) {}

  // The Turkish lowercase of `word` (not trimmed) analysed; the root of the
  // first analysis, or the lowercased word when there is none.
  std::string stem(std::string_view word) const;

  // A stemmer on the shared lexicon, built once per process.
  static const TurkishStemmer& shared();

 private:
  TurkishMorphology morphology_;
};

}  // namespace selvo

// Splits a word into two analysable parts, every way it can be split.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "morphology/analyzer.h"

namespace selvo {

struct CompoundAnalysis {
  std::string surface;  // the trimmed input, case as given
  std::string part1;    // lowercase
  std::string part2;    // lowercase
  MorphParse parse1;    // first analysis of part1
  MorphParse parse2;    // first analysis of part2
};

class CompoundDecomposer {
 public:
  // Reads the shared lexicon and graph.
  CompoundDecomposer() = default;
  explicit CompoundDecomposer(TurkishMorphology morphology) : morphology_(std::move(morphology)) {}

  // Every split of the trimmed, lowercased word into two parts of at least
  // two characters each that both have an analysis, shortest first part
  // first. Words of three characters or fewer give none.
  std::vector<CompoundAnalysis> decompose(std::string_view word) const;

  const TurkishMorphology& morphology() const noexcept { return morphology_; }

 private:
  TurkishMorphology morphology_;
};

}  // namespace selvo

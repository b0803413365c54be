// Chooses one analysis for every token of a sentence.
//
// Every token is analysed; tokens with several analyses are scored by their
// analyser score plus hand-set bonuses and penalties: the sentence end, the
// capitalisation of proper nouns, an adjective or determiner before a noun,
// the analysis already chosen for the previous token, the number of tags,
// and closed word classes. A token without analyses gets the unknown-word
// analysis, so the result always has one analysis per token.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "morphology/analyzer.h"

namespace selvo {

class MorphologicalDisambiguator {
 public:
  // Reads the shared lexicon and graph.
  MorphologicalDisambiguator() = default;
  explicit MorphologicalDisambiguator(TurkishMorphology morphology) : morphology_(std::move(morphology)) {}

  // One analysis per token, in token order.
  std::vector<MorphParse> disambiguate(const std::vector<std::string>& tokens) const;

  // The analysis given to a token without any: surface, lemma and root are
  // the token, the only tag is Unk, the score 0.
  static MorphParse unknown_word(std::string_view token);

  const TurkishMorphology& morphology() const noexcept { return morphology_; }

 private:
  TurkishMorphology morphology_;
};

}  // namespace selvo

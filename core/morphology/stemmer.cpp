#include "morphology/stemmer.h"

#include "phonology/alphabet.h"

namespace selvo {

std::string TurkishStemmer::stem(std::string_view word) const {
  std::string lower = to_turkish_lower(word);
  std::vector<MorphParse> parses = morphology_.analyze(lower);
  if (parses.empty()) return lower;
  return std::move(parses.front().root);
}

const TurkishStemmer& TurkishStemmer::shared() {
  static const TurkishStemmer stemmer;
  return stemmer;
}

}  // namespace selvo

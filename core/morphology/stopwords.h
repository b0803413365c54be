// Turkish stopwords: a fixed set of 156 function words.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace selvo {

using StopwordSet = std::unordered_set<std::string>;

// The default stopwords (lowercase), built once per process on first use.
const StopwordSet& DEFAULT_STOPWORDS();

class TurkishStopwords {
 public:
  // A copy of DEFAULT_STOPWORDS.
  TurkishStopwords();

  // True when the Turkish lowercase of `word` is in the set.
  bool is_stopword(std::string_view word) const;
  // The tokens that are not stopwords, in order and as given.
  std::vector<std::string> filter_tokens(const std::vector<std::string>& tokens) const;

  const StopwordSet& words() const noexcept { return words_; }

  // A stopword set built once per process.
  static const TurkishStopwords& shared();

 private:
  StopwordSet words_;
};

}  // namespace selvo

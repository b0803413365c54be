// Sentence segmentation over the tokens of TurkishTokenizer.
//
// Sentence-final punctuation is looked for among tokens, so the periods kept
// inside abbreviations, URLs, e-mail addresses, dates, times and decimal
// numbers never end a sentence. A period after a number that is followed by
// a lowercase word is an ordinal ("3. sınıf") and does not end one either.
// Runs of final punctuation and the closing quotes and brackets after them
// stay with the sentence they close.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace selvo {

// A sentence borrows its text from the input, which must outlive it.
struct Sentence {
  std::string_view text;  // the span with leading and trailing whitespace removed; never empty
  size_t start = 0;       // byte offset where the span begins (before trimming)
  size_t end = 0;         // byte offset one past the span (before trimming)

  bool operator==(const Sentence&) const = default;
};

class SentenceSegmenter {
 public:
  // Sentences of `text` in text order; their spans do not overlap and each
  // `text` lies inside its span.
  static std::vector<Sentence> segment(std::string_view text);
};

}  // namespace selvo

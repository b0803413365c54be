// A piece of a text cut for retrieval: a run of whole sentences.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace selvo {

struct Chunk {
  std::string text;                    // the original text from the first sentence's start to the last one's end
  std::vector<std::string> sentences;  // as the sentence segmenter returned them
  size_t start_index = 0;              // character offset (Unicode scalar values) of the start
  size_t end_index = 0;                // character offset of the end, exclusive
  size_t token_count = 0;              // sum of the sentences' token counts
  size_t byte_start = 0;               // the same span in bytes
  size_t byte_end = 0;

  bool operator==(const Chunk&) const = default;

  // "<Chunk tokens=N (start:end) text='...'>", the text cut to 37 characters
  // and "..." when it has more than 40.
  std::string repr() const;
};

}  // namespace selvo

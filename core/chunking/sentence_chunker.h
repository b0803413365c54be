// Packs consecutive sentences into chunks up to a token budget (tokens of
// the embedding tokenizer), optionally repeating trailing sentences of one
// chunk at the start of the next.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chunking/chunk.h"
#include "embeddings/embeddings.h"

namespace selvo {

// One sentence of the text being chunked, with its spans and token count.
struct SentenceSpan {
  std::string_view text;
  size_t byte_start = 0;
  size_t byte_end = 0;
  size_t char_start = 0;
  size_t char_end = 0;
  size_t token_count = 0;  // ids of the embedding tokenizer, at least 1
};

// The sentences of `text` (sentence segmenter) with their spans; the views
// borrow from `text`.
std::vector<SentenceSpan> sentence_spans(std::string_view text, const UnigramTokenizer& tokenizer);

// The sentence ranges [first, last) of consecutive chunks over sentences of
// the given token counts: each chunk takes sentences while they fit the
// budget (always at least `min_sentences`, and at least one); the next chunk
// starts after it, moved back over trailing sentences whose tokens fit in
// `overlap`, but always later than the chunk before.
std::vector<std::pair<size_t, size_t>> group_sentences(const std::vector<size_t>& token_counts, size_t chunk_size,
                                                       size_t overlap, size_t min_sentences);

class SentenceChunker {
 public:
  static constexpr size_t kDefaultChunkSize = 512;
  static constexpr size_t kDefaultOverlap = 0;
  static constexpr size_t kDefaultMinSentences = 1;

  // A size or minimum below 1 becomes 1.
  SentenceChunker(size_t chunk_size = kDefaultChunkSize, size_t chunk_overlap = kDefaultOverlap,
                  size_t min_sentences_per_chunk = kDefaultMinSentences);

  std::vector<Chunk> chunk(std::string_view text) const;
  std::vector<std::vector<Chunk>> chunk_batch(const std::vector<std::string>& texts) const;

  size_t chunk_size() const { return chunk_size_; }
  size_t chunk_overlap() const { return chunk_overlap_; }
  size_t min_sentences_per_chunk() const { return min_sentences_; }

 private:
  size_t chunk_size_;
  size_t chunk_overlap_;
  size_t min_sentences_;
  std::shared_ptr<const TurkishEmbeddings> model_;  // only its tokenizer is used
};

}  // namespace selvo

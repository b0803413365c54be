#include "chunking/sentence_chunker.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "tokenization/sentence_segmenter.h"
#include "util/utf8.h"

namespace selvo {

namespace {

bool is_blank(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    if (!u_isUWhiteSpace(static_cast<UChar32>(utf8::next(text, i)))) return false;
  }
  return true;
}

}  // namespace

std::vector<SentenceSpan> sentence_spans(std::string_view text, const UnigramTokenizer& tokenizer) {
  std::vector<SentenceSpan> spans;
  size_t byte = 0, chars = 0;
  // Character offsets advance monotonically with the byte spans.
  auto chars_at = [&](size_t target) {
    while (byte < target) {
      utf8::next(text, byte);
      ++chars;
    }
    return chars;
  };
  for (const Sentence& s : SentenceSegmenter::segment(text)) {
    SentenceSpan span;
    span.text = s.text;
    span.byte_start = s.start;
    span.byte_end = s.end;
    span.char_start = chars_at(s.start);
    span.char_end = chars_at(s.end);
    span.token_count = std::max<size_t>(tokenizer.encode(s.text).size(), 1);
    spans.push_back(span);
  }
  return spans;
}

std::vector<std::pair<size_t, size_t>> group_sentences(const std::vector<size_t>& token_counts, size_t chunk_size,
                                                       size_t overlap, size_t min_sentences) {
  std::vector<std::pair<size_t, size_t>> ranges;
  const size_t n = token_counts.size();
  size_t s = 0;
  while (s < n) {
    size_t tokens = token_counts[s];
    size_t t = s + 1;
    while (t < n) {
      if (t - s >= min_sentences && tokens + token_counts[t] > chunk_size) break;
      tokens += token_counts[t];
      ++t;
    }
    ranges.emplace_back(s, t);
    if (t == n) break;
    size_t next = t;
    if (overlap > 0 && t - s >= 2) {
      size_t sum = 0;
      for (size_t i = t - 1; i >= s + 1; --i) {
        if (sum + token_counts[i] > overlap) break;
        sum += token_counts[i];
        next = i;
      }
    }
    s = next;
  }
  return ranges;
}

SentenceChunker::SentenceChunker(size_t chunk_size, size_t chunk_overlap, size_t min_sentences_per_chunk)
    : chunk_size_(std::max<size_t>(chunk_size, 1)),
      chunk_overlap_(chunk_overlap),
      min_sentences_(std::max<size_t>(min_sentences_per_chunk, 1)),
      model_(std::make_shared<const TurkishEmbeddings>()) {}

std::vector<Chunk> SentenceChunker::chunk(std::string_view text) const {
  std::vector<Chunk> chunks;
  if (is_blank(text)) return chunks;
  const std::vector<SentenceSpan> spans = sentence_spans(text, model_->tokenizer());
  if (spans.empty()) {
    // Not reached for text with a non-space character, which always makes a
    // sentence; kept so that such text is never lost. Offsets are characters
    // like every other chunk's.
    Chunk c;
    c.text = std::string(text);
    c.sentences = {std::string(text)};
    c.end_index = utf8::count(text);
    c.byte_end = text.size();
    c.token_count = model_->tokenizer().encode(text).size();
    chunks.push_back(std::move(c));
    return chunks;
  }
  std::vector<size_t> counts;
  counts.reserve(spans.size());
  for (const SentenceSpan& sp : spans) counts.push_back(sp.token_count);
  for (auto [s, t] : group_sentences(counts, chunk_size_, chunk_overlap_, min_sentences_)) {
    Chunk c;
    c.byte_start = spans[s].byte_start;
    c.byte_end = spans[t - 1].byte_end;
    c.text = std::string(text.substr(c.byte_start, c.byte_end - c.byte_start));
    for (size_t i = s; i < t; ++i) {
      c.sentences.emplace_back(spans[i].text);
      c.token_count += spans[i].token_count;
    }
    c.start_index = spans[s].char_start;
    c.end_index = spans[t - 1].char_end;
    chunks.push_back(std::move(c));
  }
  return chunks;
}

std::vector<std::vector<Chunk>> SentenceChunker::chunk_batch(const std::vector<std::string>& texts) const {
  std::vector<std::vector<Chunk>> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(chunk(t));
  return out;
}

}  // namespace selvo

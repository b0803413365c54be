// Word tokenizer and sentence segmenter.
#include "bindings.h"
#include "tokenization/sentence_segmenter.h"
#include "tokenization/tokenizer.h"

namespace selvo::py {

namespace {

std::vector<std::string_view> tokenize_words(std::string_view text) { return TurkishTokenizer::tokenize_words(text); }

// For the command-line tool: (text, byte start, byte end, kind name).
std::vector<std::tuple<std::string_view, size_t, size_t, std::string_view>> tokens_with_offsets(std::string_view text) {
  std::vector<std::tuple<std::string_view, size_t, size_t, std::string_view>> out;
  for (const Token& t : TurkishTokenizer::tokenize(text)) out.emplace_back(t.text, t.start, t.end, token_kind_name(t.kind));
  return out;
}

// For the command-line tool: (trimmed text, byte start, byte end).
std::vector<std::tuple<std::string_view, size_t, size_t>> sentences_with_offsets(std::string_view text) {
  std::vector<std::tuple<std::string_view, size_t, size_t>> out;
  for (const Sentence& s : SentenceSegmenter::segment(text)) out.emplace_back(s.text, s.start, s.end);
  return out;
}

}  // namespace

void register_tokenization(Registry& r) {
  r.function<&tokenize_words>("tokenize_words(text)");
  r.function<&tokens_with_offsets>("_tokens(text)");
  r.function<&sentences_with_offsets>("_sentences(text)");
}

}  // namespace selvo::py

// Word tokenizer and sentence segmenter.
#include "bindings.h"
#include "tokenization/sentence_segmenter.h"
#include "tokenization/tokenizer.h"

namespace selvo::py {

namespace {

std::vector<std::string_view> tokenize_words(std::string_view text) { return TurkishTokenizer::tokenize_words(text); }

// For the command-line tool: (text, byte start, byte end, kind name).
Ref tokens_with_offsets(std::string_view text) {
  std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
  Ref list = check(PyList_New(static_cast<Py_ssize_t>(tokens.size())));
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    Ref item = check(Py_BuildValue("(s#nns#)", t.text.data(), static_cast<Py_ssize_t>(t.text.size()),
                                   static_cast<Py_ssize_t>(t.start), static_cast<Py_ssize_t>(t.end),
                                   token_kind_name(t.kind).data(),
                                   static_cast<Py_ssize_t>(token_kind_name(t.kind).size())));
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), item.release());
  }
  return list;
}

// For the command-line tool: (trimmed text, byte start, byte end).
Ref sentences_with_offsets(std::string_view text) {
  std::vector<Sentence> sentences = SentenceSegmenter::segment(text);
  Ref list = check(PyList_New(static_cast<Py_ssize_t>(sentences.size())));
  for (size_t i = 0; i < sentences.size(); ++i) {
    const Sentence& s = sentences[i];
    Ref item = check(Py_BuildValue("(s#nn)", s.text.data(), static_cast<Py_ssize_t>(s.text.size()),
                                   static_cast<Py_ssize_t>(s.start), static_cast<Py_ssize_t>(s.end)));
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), item.release());
  }
  return list;
}

}  // namespace

void register_tokenization(Registry& r) {
  r.function<&tokenize_words>("tokenize_words(text)");
  r.function<&tokens_with_offsets>("_tokens(text)");
  r.function<&sentences_with_offsets>("_sentences(text)");
}

}  // namespace selvo::py

#include "tokenization/sentence_segmenter.h"

#include <unicode/uchar.h>

#include "tokenization/tokenizer.h"
#include "util/utf8.h"

namespace selvo {

namespace {

bool is(const Token& t, std::string_view s) { return t.text == s; }

bool is_trailing_terminal(const Token& t) {
  return is(t, "\u2026") || is(t, "!") || is(t, ".") || is(t, "?");
}

bool is_closing_mark(const Token& t) {
  return is(t, "\u201D") || is(t, "\u2019") || is(t, "\u00BB") || is(t, "\"") || is(t, "'") ||
         is(t, ")") || is(t, "]");
}

bool starts_lowercase(std::string_view word) {
  if (word.empty()) return false;
  size_t i = 0;
  const char32_t c = utf8::next(word, i);
  if (c < 0x80) return c >= U'a' && c <= U'z';
  return u_isULowercase(static_cast<UChar32>(c));
}

bool is_terminator(const std::vector<Token>& tokens, size_t i) {
  const Token& t = tokens[i];
  if (is(t, "!") || is(t, "?") || is(t, "\u2026")) return true;
  if (!is(t, ".")) return false;
  if (i == 0) return true;
  const Token& prev = tokens[i - 1];
  if (prev.kind == TokenKind::Abbreviation) return false;
  if (prev.kind == TokenKind::Number && i + 1 < tokens.size()) {
    const Token& next = tokens[i + 1];
    if (next.kind == TokenKind::Word && starts_lowercase(next.text)) return false;
  }
  return true;
}

void emit(std::vector<Sentence>& out, std::string_view text, size_t start, size_t end) {
  std::string_view trimmed = utf8::trim_space(text.substr(start, end - start));
  if (!trimmed.empty()) out.push_back(Sentence{trimmed, start, end});
}

}  // namespace

std::vector<Sentence> SentenceSegmenter::segment(std::string_view text) {
  const std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
  std::vector<Sentence> out;
  if (tokens.empty()) return out;

  size_t s = tokens.front().start;
  size_t i = 0;
  while (i < tokens.size()) {
    if (!is_terminator(tokens, i)) {
      ++i;
      continue;
    }
    size_t last = i;
    while (last + 1 < tokens.size() && is_trailing_terminal(tokens[last + 1])) ++last;
    while (last + 1 < tokens.size() && is_closing_mark(tokens[last + 1])) ++last;
    emit(out, text, s, tokens[last].end);
    i = last + 1;
    s = i < tokens.size() ? tokens[i].start : text.size();
  }
  if (s < text.size()) emit(out, text, s, text.size());
  return out;
}

}  // namespace selvo

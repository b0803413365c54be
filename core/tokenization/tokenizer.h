// Word tokenizer for Turkish text.
//
// One left-to-right pass cuts the text into tokens. The first character at
// each position decides what is tried: mentions, hashtags, URLs, e-mail
// addresses, dates, times and numbers are recognised by anchored patterns;
// words are runs of letters that may hold inner apostrophes (İstanbul'da)
// and may keep the period of a known abbreviation (Dr.); any other
// non-space character is a token of its own. Whitespace never belongs to a
// token, and tokens never overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace selvo {

// The codes are relied on by the components that compare kinds.
enum class TokenKind : uint8_t {
  Word = 0,                // letters, no apostrophe inside
  WordWithApostrophe = 1,  // letters with at least one inner apostrophe
  Number = 2,
  Punctuation = 3,  // one ASCII punctuation character, or one of – — ‘ ’ “ ” …
  Url = 4,
  Email = 5,
  Hashtag = 6,
  Mention = 7,
  Abbreviation = 8,  // a word and its period, together a known abbreviation
  Time = 9,
  Date = 10,
  Symbol = 11,  // any other single character
};

// Name of a kind as written in code ("Word", "WordWithApostrophe", ...).
std::string_view token_kind_name(TokenKind kind) noexcept;

// A token borrows its text from the input, which must outlive it.
struct Token {
  std::string_view text;
  size_t start = 0;  // byte offset of the first byte
  size_t end = 0;    // byte offset one past the last byte
  TokenKind kind = TokenKind::Word;

  bool operator==(const Token&) const = default;
};

class TurkishTokenizer {
 public:
  // Tokens of `text` in text order.
  static std::vector<Token> tokenize(std::string_view text);

  // The text of every token of tokenize(), all kinds included, in order
  // (views into `text`).
  static std::vector<std::string_view> tokenize_words(std::string_view text);

  // Character classes of the tokenizer.
  // Whitespace: the Unicode White_Space characters (U+0009..U+000D, U+0020,
  // U+0085, U+00A0, U+1680, U+2000..U+200A, U+2028, U+2029, U+202F, U+205F,
  // U+3000).
  static bool is_whitespace(char32_t c) noexcept;
  // Letter: ASCII A-Z, a-z, and every character from U+00AA up with the
  // Unicode Alphabetic property. Digits are not letters.
  static bool is_letter(char32_t c) noexcept;
  // Apostrophe: U+0027 and U+2019.
  static bool is_apostrophe(char32_t c) noexcept { return c == U'\'' || c == U'\u2019'; }
  // Kind of a lone character that is not a letter: Punctuation or Symbol.
  static TokenKind single_char_kind(char32_t c) noexcept;
};

// The abbreviations whose period stays inside the word: lowercase, each with
// its final period ("dr.", "prof.", ...). Built once, on first use.
const std::unordered_set<std::string_view>& ABBREVIATIONS();

}  // namespace selvo

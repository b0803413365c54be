#include "tokenization/tokenizer.h"

#include <unicode/uchar.h>

#include <iterator>
#include <optional>

#include "phonology/alphabet.h"
#include "util/regex.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// Every pattern is matched against the rest of the current non-whitespace
// run, so "^" anchors it at the current position and no match can take in
// whitespace.
struct Patterns {
  Regex URL_REGEX{R"(^(https?://[^\s/$.?#].[^\s]*|www\.[^\s/$.?#].[^\s]*))"};
  Regex EMAIL_REGEX{R"(^[a-zA-Z0-9._%+-]+@[a-zA-Z0-9.-]+\.[a-zA-Z]{2,})"};
  Regex HASHTAG_REGEX{"^#[a-zA-Z0-9_çğıöşüÇĞİÖŞÜ]+"};
  Regex MENTION_REGEX{"^@[a-zA-Z0-9_çğıöşüÇĞİÖŞÜ]+"};
  Regex TIME_REGEX{R"(^\d{1,2}[:.]\d{2}([:.]\d{2})?)"};
  Regex DATE_REGEX{R"(^\d{1,2}[./-]\d{1,2}[./-]\d{2,4})"};
  Regex NUMBER_REGEX{R"(^[-+]?(?:\d+(?:[.,]\d+)*)%?)"};
};

const Patterns& patterns() {
  static const Patterns p;
  return p;
}

// 90 entries, 88 distinct ("sf." and "vol." are listed twice).
constexpr const char* kAbbreviationList[] = {
    "prof.", "dr.",    "doç.",  "yrd.",  "av.",   "alb.",   "bknz.", "bkz.",   "cad.",   "co.",
    "corp.", "çev.",   "dak.",  "der.",  "dz.",   "ecz.",   "fak.",  "gen.",   "haz.",   "hrk.",
    "hz.",   "iö.",    "is.",   "ist.",  "itb.",  "ith.",   "kd.",   "kr.",    "kur.",   "kuv.",
    "ltd.",  "mah.",   "madr.", "mak.",  "müh.",  "müteh.", "no.",   "num.",   "öğr.",   "ör.",
    "pa.",   "par.",   "ped.",  "pk.",   "s.",    "say.",   "sf.",   "sn.",    "soc.",   "sok.",
    "st.",   "şb.",    "şer.",  "şrk.",  "tbmm.", "tc.",    "tck.",  "tel.",   "ter.",   "tes.",
    "tic.",  "tl.",    "tug.",  "tüm.",  "üniv.", "uzm.",   "vb.",   "vd.",    "vol.",   "vs.",
    "yy.",   "yard.",  "yön.",  "yük.",  "yur.",  "zool.",  "km.",   "m.",     "cm.",    "mm.",
    "kg.",   "gr.",    "mad.",  "madde.", "vol.", "volüm.", "bk.",   "sf.",    "sy.",    "krş.",
};
static_assert(std::size(kAbbreviationList) == 90);

struct AbbreviationTable {
  std::unordered_set<std::string_view> set;
  size_t max_chars = 0;  // longest entry in characters, period included

  AbbreviationTable() {
    for (const char* a : kAbbreviationList) {
      set.insert(a);
      size_t chars = utf8::count(a);
      if (chars > max_chars) max_chars = chars;
    }
  }
};

const AbbreviationTable& abbreviation_table() {
  static const AbbreviationTable table;
  return table;
}

bool is_email_local_byte(unsigned char b) {
  return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '.' ||
         b == '_' || b == '%' || b == '+' || b == '-';
}

// One pass over one text. The three cursors below (end of the current
// non-whitespace run, next "@", next byte that cannot be in the local part
// of an address) only move forward, so looking them up costs amortised
// constant time and no input makes the pass quadratic.
class Pass {
 public:
  explicit Pass(std::string_view text) : text_(text), p_(patterns()), abbr_(abbreviation_table()) {}

  std::vector<Token> run() {
    const size_t n = text_.size();
    out_.reserve(n / 6 + 1);
    size_t p = 0;
    while (p < n) {
      size_t q = p;
      const char32_t c = utf8::next(text_, q);
      if (TurkishTokenizer::is_whitespace(c)) {
        p = q;
        continue;
      }
      std::optional<size_t> len;
      TokenKind kind = TokenKind::Word;
      if (c == U'@') {
        len = anchored(p_.MENTION_REGEX, p);
        kind = TokenKind::Mention;
      } else if (c == U'#') {
        len = anchored(p_.HASHTAG_REGEX, p);
        kind = TokenKind::Hashtag;
      } else if (c == U'h' || c == U'H' || c == U'w' || c == U'W') {
        len = anchored(p_.URL_REGEX, p);
        kind = TokenKind::Url;
      } else if ((c >= U'0' && c <= U'9') || c == U'+' || c == U'-') {
        if ((len = anchored(p_.DATE_REGEX, p))) {
          kind = TokenKind::Date;
        } else if ((len = anchored(p_.TIME_REGEX, p))) {
          kind = TokenKind::Time;
        } else if ((len = anchored(p_.NUMBER_REGEX, p))) {
          kind = TokenKind::Number;
        }
      }
      if (len && *len > 0) {
        emit(p, p + *len, kind);
        p += *len;
        continue;
      }
      if (!TurkishTokenizer::is_letter(c)) {
        emit(p, q, TurkishTokenizer::single_char_kind(c));
        p = q;
        continue;
      }
      p = word(p);
    }
    return std::move(out_);
  }

 private:
  void emit(size_t start, size_t end, TokenKind kind) {
    out_.push_back(Token{text_.substr(start, end - start), start, end, kind});
  }

  // Byte offset of the whitespace character (or text end) that ends the
  // run containing p.
  size_t run_end(size_t p) {
    if (!run_known_ || p > run_end_) {
      size_t i = p;
      while (i < text_.size()) {
        size_t j = i;
        if (TurkishTokenizer::is_whitespace(utf8::next(text_, j))) break;
        i = j;
      }
      run_end_ = i;
      run_known_ = true;
    }
    return run_end_;
  }

  // Length of the match of `re` at p, matched against the rest of the run.
  std::optional<size_t> anchored(const Regex& re, size_t p) {
    std::string_view rest = text_.substr(p, run_end(p) - p);
    std::optional<Span> m = re.search_span(rest, 0);
    if (!m) return std::nullopt;
    return m->end;
  }

  size_t next_at(size_t p) {
    if (at_ != std::string_view::npos && at_ < p) at_known_ = false;
    if (!at_known_) {
      at_ = text_.find('@', p);
      at_known_ = true;
    }
    return at_;
  }

  size_t next_non_local(size_t p) {
    if (!non_local_known_ || non_local_ < p) {
      size_t i = p;
      while (i < text_.size() && is_email_local_byte(static_cast<unsigned char>(text_[i]))) ++i;
      non_local_ = i;
      non_local_known_ = true;
    }
    return non_local_;
  }

  // An e-mail address at p needs an "@" in the run, and the local part must
  // run from p right up to that "@". Whether the rest matches depends only
  // on the text after the "@", so a failure is remembered for that "@".
  std::optional<size_t> email(size_t p) {
    const size_t at = next_at(p);
    if (at == std::string_view::npos || at >= run_end(p)) return std::nullopt;
    if (next_non_local(p) != at || at == email_failed_at_) return std::nullopt;
    std::optional<size_t> len = anchored(p_.EMAIL_REGEX, p);
    if (!len) email_failed_at_ = at;
    return len;
  }

  // Word start at p (a letter). Returns the position after the token.
  size_t word(size_t p) {
    if (std::optional<size_t> len = email(p)) {
      emit(p, p + *len, TokenKind::Email);
      return p + *len;
    }
    const size_t n = text_.size();
    size_t e = p;
    size_t chars = 0;
    bool apostrophe = false;
    TokenKind kind = TokenKind::Word;
    for (;;) {
      while (e < n) {
        size_t r = e;
        if (!TurkishTokenizer::is_letter(utf8::next(text_, r))) break;
        e = r;
        ++chars;
      }
      if (e >= n) break;
      size_t r = e;
      const char32_t d = utf8::next(text_, r);
      if (TurkishTokenizer::is_apostrophe(d) && r < n) {
        size_t r2 = r;
        if (TurkishTokenizer::is_letter(utf8::next(text_, r2))) {
          e = r2;
          chars += 2;
          apostrophe = true;
          continue;
        }
      }
      if (d == U'.' && chars + 1 <= abbr_.max_chars) {
        // Lowercasing never shortens a text in characters, so a word longer
        // than every entry cannot be one.
        const std::string lowered = to_turkish_lower(text_.substr(p, r - p));
        if (abbr_.set.count(lowered) != 0) {
          e = r;
          kind = TokenKind::Abbreviation;
        }
      }
      break;
    }
    if (kind != TokenKind::Abbreviation && apostrophe) kind = TokenKind::WordWithApostrophe;
    emit(p, e, kind);
    return e;
  }

  std::string_view text_;
  const Patterns& p_;
  const AbbreviationTable& abbr_;
  std::vector<Token> out_;

  bool run_known_ = false;
  size_t run_end_ = 0;
  bool at_known_ = false;
  size_t at_ = std::string_view::npos;
  bool non_local_known_ = false;
  size_t non_local_ = 0;
  size_t email_failed_at_ = std::string_view::npos;
};

}  // namespace

std::string_view token_kind_name(TokenKind kind) noexcept {
  switch (kind) {
    case TokenKind::Word: return "Word";
    case TokenKind::WordWithApostrophe: return "WordWithApostrophe";
    case TokenKind::Number: return "Number";
    case TokenKind::Punctuation: return "Punctuation";
    case TokenKind::Url: return "Url";
    case TokenKind::Email: return "Email";
    case TokenKind::Hashtag: return "Hashtag";
    case TokenKind::Mention: return "Mention";
    case TokenKind::Abbreviation: return "Abbreviation";
    case TokenKind::Time: return "Time";
    case TokenKind::Date: return "Date";
    case TokenKind::Symbol: return "Symbol";
  }
  return "Symbol";
}

bool TurkishTokenizer::is_whitespace(char32_t c) noexcept { return utf8::is_space(c); }

bool TurkishTokenizer::is_letter(char32_t c) noexcept {
  if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
  return c >= 0xAA && u_isUAlphabetic(static_cast<UChar32>(c));
}

TokenKind TurkishTokenizer::single_char_kind(char32_t c) noexcept {
  if ((c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
      (c >= 0x7B && c <= 0x7E)) {
    return TokenKind::Punctuation;
  }
  switch (c) {
    case U'\u2013': case U'\u2014': case U'\u2018': case U'\u2019':
    case U'\u201C': case U'\u201D': case U'\u2026':
      return TokenKind::Punctuation;
    default:
      return TokenKind::Symbol;
  }
}

std::vector<Token> TurkishTokenizer::tokenize(std::string_view text) { return Pass(text).run(); }

std::vector<std::string_view> TurkishTokenizer::tokenize_words(std::string_view text) {
  std::vector<Token> tokens = tokenize(text);
  std::vector<std::string_view> words;
  words.reserve(tokens.size());
  for (const Token& t : tokens) words.push_back(t.text);
  return words;
}

const std::unordered_set<std::string_view>& ABBREVIATIONS() { return abbreviation_table().set; }

}  // namespace selvo

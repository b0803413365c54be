#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tokenization/tokenizer.h"
#include "util/utf8.h"

namespace selvo {
namespace {

using K = TokenKind;

struct Expected {
  std::string text;
  TokenKind kind;
  bool operator==(const Expected&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Expected& e) {
  return os << "‹" << e.text << "›/" << token_kind_name(e.kind);
}

std::vector<Expected> tokens_of(std::string_view text) {
  std::vector<Expected> out;
  for (const Token& t : TurkishTokenizer::tokenize(text)) out.push_back({std::string(t.text), t.kind});
  return out;
}

// Checks what every token list must satisfy and returns a description of the
// first violation (empty when there is none).
std::string violation(std::string_view text, const std::vector<Token>& tokens) {
  size_t covered = 0;  // every byte before this is in a token or is whitespace
  for (size_t k = 0; k < tokens.size(); ++k) {
    const Token& t = tokens[k];
    const std::string where = " at token " + std::to_string(k) + " [" + std::to_string(t.start) + "," +
                              std::to_string(t.end) + ")";
    if (t.start >= t.end || t.end > text.size()) return "bad span" + where;
    if (t.start < covered) return "overlap" + where;
    if (t.text.data() != text.data() + t.start || t.text.size() != t.end - t.start)
      return "text is not the input slice" + where;
    for (size_t i = covered; i < t.start;) {
      if (!TurkishTokenizer::is_whitespace(utf8::next(text, i))) return "non-space byte skipped before" + where;
    }
    for (size_t i = 0; i < t.text.size();) {
      if (TurkishTokenizer::is_whitespace(utf8::next(t.text, i))) return "whitespace inside" + where;
    }
    covered = t.end;
  }
  for (size_t i = covered; i < text.size();) {
    if (!TurkishTokenizer::is_whitespace(utf8::next(text, i))) return "non-space byte skipped at the end";
  }
  return {};
}

struct Case {
  const char* text;
  std::vector<Expected> tokens;
};

void check_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(tokens_of(c.text), c.tokens) << "input ‹" << c.text << "›";
  }
}

TEST(Tokenizer, EmptyAndWhitespaceOnly) {
  EXPECT_TRUE(TurkishTokenizer::tokenize("").empty());
  EXPECT_TRUE(TurkishTokenizer::tokenize(" \t\r\n\v\f\u00A0\u1680\u2003\u2028\u2029\u202F\u205F\u3000\u0085").empty());
}

TEST(Tokenizer, WordsAndPunctuation) {
  check_cases({
      {"Merhaba, dünya!", {{"Merhaba", K::Word}, {",", K::Punctuation}, {"dünya", K::Word}, {"!", K::Punctuation}}},
      {"abc123", {{"abc", K::Word}, {"123", K::Number}}},
      {"3ncü", {{"3", K::Number}, {"ncü", K::Word}}},
      {"«Evet»", {{"«", K::Symbol}, {"Evet", K::Word}, {"»", K::Symbol}}},
      {"😀", {{"😀", K::Symbol}}},
      {"“Ne—nasıl…”", {{"“", K::Punctuation}, {"Ne", K::Word}, {"—", K::Punctuation}, {"nasıl", K::Word},
                        {"…", K::Punctuation}, {"”", K::Punctuation}}},
      {"a\u00A0b\u3000c\u2028d\u0085e", {{"a", K::Word}, {"b", K::Word}, {"c", K::Word}, {"d", K::Word}, {"e", K::Word}}},
      // Not white space: zero width space and a control character are symbols.
      {"a\u200Bb\x01", {{"a", K::Word}, {"\u200B", K::Symbol}, {"b", K::Word}, {"\x01", K::Symbol}}},
      {"Привет мир ªº", {{"Привет", K::Word}, {"мир", K::Word}, {"ªº", K::Word}}},
      {"x_y`z~", {{"x", K::Word}, {"_", K::Punctuation}, {"y", K::Word}, {"`", K::Punctuation}, {"z", K::Word},
                  {"~", K::Punctuation}}},
  });
}

TEST(Tokenizer, Apostrophes) {
  check_cases({
      {"İstanbul'da", {{"İstanbul'da", K::WordWithApostrophe}}},
      {"İstanbul’da", {{"İstanbul’da", K::WordWithApostrophe}}},
      {"İstanbul' ", {{"İstanbul", K::Word}, {"'", K::Punctuation}}},
      {"Ankara'nın'ki", {{"Ankara'nın'ki", K::WordWithApostrophe}}},
      {"'Ali'", {{"'", K::Punctuation}, {"Ali", K::Word}, {"'", K::Punctuation}}},
      {"Ali''nin", {{"Ali", K::Word}, {"'", K::Punctuation}, {"'", K::Punctuation}, {"nin", K::Word}}},
      {"ABD'1", {{"ABD", K::Word}, {"'", K::Punctuation}, {"1", K::Number}}},
      {"O’", {{"O", K::Word}, {"’", K::Punctuation}}},
  });
}

TEST(Tokenizer, Abbreviations) {
  check_cases({
      {"Dr. Ahmet", {{"Dr.", K::Abbreviation}, {"Ahmet", K::Word}}},
      {"T.C.", {{"T", K::Word}, {".", K::Punctuation}, {"C", K::Word}, {".", K::Punctuation}}},
      {"Prof.Dr.", {{"Prof.", K::Abbreviation}, {"Dr.", K::Abbreviation}}},
      {"DOÇ. İst. vs. Müteh. km.", {{"DOÇ.", K::Abbreviation}, {"İst.", K::Abbreviation}, {"vs.", K::Abbreviation},
                                    {"Müteh.", K::Abbreviation}, {"km.", K::Abbreviation}}},
      // Turkish lowercasing: "IST." is "ıst.", not an abbreviation.
      {"IST.", {{"IST", K::Word}, {".", K::Punctuation}}},
      {"geldi.", {{"geldi", K::Word}, {".", K::Punctuation}}},
      {"madde. volüm.", {{"madde.", K::Abbreviation}, {"volüm.", K::Abbreviation}}},
      {"Dr..", {{"Dr.", K::Abbreviation}, {".", K::Punctuation}}},
      {"sf'.", {{"sf", K::Word}, {"'", K::Punctuation}, {".", K::Punctuation}}},
  });
  const auto& set = ABBREVIATIONS();
  EXPECT_EQ(set.size(), 88u);
  for (std::string_view a : set) {
    EXPECT_EQ(a.back(), '.') << a;
    EXPECT_EQ(tokens_of(std::string(a)), (std::vector<Expected>{{std::string(a), K::Abbreviation}})) << a;
  }
}

TEST(Tokenizer, DatesTimesAndNumbersInOrder) {
  check_cases({
      {"12.05.2024", {{"12.05.2024", K::Date}}},
      {"1/2/24 3-4-2024", {{"1/2/24", K::Date}, {"3-4-2024", K::Date}}},
      {"10:30 10.30 3.14 12:30:45", {{"10:30", K::Time}, {"10.30", K::Time}, {"3.14", K::Time}, {"12:30:45", K::Time}}},
      {"3,14 -5 50%", {{"3,14", K::Number}, {"-5", K::Number}, {"50%", K::Number}}},
      {"1.000.000", {{"1.00", K::Time}, {"0.00", K::Time}, {"0", K::Number}}},
      {"2024-05-12", {{"2024", K::Number}, {"-05", K::Number}, {"-12", K::Number}}},
      {"+90 532", {{"+90", K::Number}, {"532", K::Number}}},
      {"- + -a", {{"-", K::Punctuation}, {"+", K::Punctuation}, {"-", K::Punctuation}, {"a", K::Word}}},
      {"1.234,56", {{"1.23", K::Time}, {"4,56", K::Number}}},
      {"12345,5", {{"12345,5", K::Number}}},
      // \d is Unicode: digits after the first may come from any script.
      {"1\u0662\u0663", {{"1\u0662\u0663", K::Number}}},
      {"\u0663", {{"\u0663", K::Symbol}}},
      {"5.", {{"5", K::Number}, {".", K::Punctuation}}},
  });
}

TEST(Tokenizer, UrlsEmailsHashtagsMentions) {
  check_cases({
      {"Bak: https://örnek.com.tr/a?b=1. Sonra",
       {{"Bak", K::Word}, {":", K::Punctuation}, {"https://örnek.com.tr/a?b=1.", K::Url}, {"Sonra", K::Word}}},
      {"www.selvo.org, http://x.y", {{"www.selvo.org,", K::Url}, {"http://x.y", K::Url}}},
      {"HTTPS://x.com", {{"HTTPS", K::Word}, {":", K::Punctuation}, {"/", K::Punctuation}, {"/", K::Punctuation},
                         {"x", K::Word}, {".", K::Punctuation}, {"com", K::Word}}},
      {"http:// a", {{"http", K::Word}, {":", K::Punctuation}, {"/", K::Punctuation}, {"/", K::Punctuation},
                     {"a", K::Word}}},
      {"ali.veli@example.com.", {{"ali.veli@example.com", K::Email}, {".", K::Punctuation}}},
      {"Yaz: a_b+c@d-e.co (hemen)", {{"Yaz", K::Word}, {":", K::Punctuation}, {"a_b+c@d-e.co", K::Email},
                                     {"(", K::Punctuation}, {"hemen", K::Word}, {")", K::Punctuation}}},
      {"1ali@x.com", {{"1", K::Number}, {"ali@x.com", K::Email}}},
      {"ali@x", {{"ali", K::Word}, {"@x", K::Mention}}},
      {"çağrı@x.com", {{"çağrı", K::Word}, {"@x", K::Mention}, {".", K::Punctuation}, {"com", K::Word}}},
      {"#Türkiye #", {{"#Türkiye", K::Hashtag}, {"#", K::Punctuation}}},
      {"@ali_123 @ @@", {{"@ali_123", K::Mention}, {"@", K::Punctuation}, {"@", K::Punctuation}, {"@", K::Punctuation}}},
      {"#İzmir'de", {{"#İzmir", K::Hashtag}, {"'", K::Punctuation}, {"de", K::Word}}},
  });
}

TEST(Tokenizer, ByteOffsetsOverMultiByteText) {
  const std::string text = "Çığ düştü; İstanbul’da 😀 10:30.";
  const std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
  struct Span3 {
    const char* text;
    size_t start, end;
  };
  const Span3 expected[] = {{"Çığ", 0, 6},  {"düştü", 7, 15}, {";", 15, 16}, {"İstanbul’da", 17, 31},
                            {"😀", 32, 36}, {"10:30", 37, 42}, {".", 42, 43}};
  ASSERT_EQ(tokens.size(), std::size(expected));
  for (size_t i = 0; i < tokens.size(); ++i) {
    EXPECT_EQ(tokens[i].text, expected[i].text) << i;
    EXPECT_EQ(tokens[i].start, expected[i].start) << i;
    EXPECT_EQ(tokens[i].end, expected[i].end) << i;
  }
  EXPECT_EQ(violation(text, tokens), "");
}

TEST(Tokenizer, TokenizeWordsKeepsEveryKind) {
  EXPECT_EQ(TurkishTokenizer::tokenize_words("Ali geldi."), (std::vector<std::string_view>{"Ali", "geldi", "."}));
  EXPECT_EQ(TurkishTokenizer::tokenize_words("#a @b 1.5 «x»"),
            (std::vector<std::string_view>{"#a", "@b", "1.5", "«", "x", "»"}));
}

TEST(Tokenizer, KindCodes) {
  const TokenKind kinds[] = {K::Word, K::WordWithApostrophe, K::Number, K::Punctuation, K::Url, K::Email,
                             K::Hashtag, K::Mention, K::Abbreviation, K::Time, K::Date, K::Symbol};
  for (size_t i = 0; i < std::size(kinds); ++i) EXPECT_EQ(static_cast<int>(kinds[i]), static_cast<int>(i));
}

// Random text over characters that exercise every branch: the trigger
// characters of the patterns, apostrophes, periods, Unicode white space,
// multi-byte letters, symbols, combining marks, and arbitrary scalar values.
std::string random_text(std::mt19937& rng, size_t chars) {
  static const std::vector<std::string> pool = {
      "a", "h", "w", "t", "p", "s", ":", "/", ".", ".", "@", "#", "'", "’", "-", "+", "%", "_", ",", "0", "1", "9",
      " ", " ", "\t", "\n", "\u00A0", "\u0085", "\u2028", "\u3000", "\u180E", "ç", "ğ", "ı", "İ", "ş", "Ö",
      "«", "»", "“", "”", "…", "😀", "\u0307", "\u0663", "漢", "\u200B", "\x01", "ª", "$", "?", "!",
      "http://", "www.", "x@y.co", "Dr", "vs"};
  std::uniform_int_distribution<size_t> pick(0, pool.size());
  std::uniform_int_distribution<uint32_t> any(1, 0x10FFFF);
  std::string s;
  for (size_t i = 0; i < chars; ++i) {
    size_t k = pick(rng);
    if (k < pool.size()) {
      s += pool[k];
    } else {
      uint32_t c = any(rng);
      if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
      utf8::append(s, c);
    }
  }
  return s;
}

TEST(Tokenizer, InvariantsOnRandomUnicode) {
  std::mt19937 rng(20240512);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = random_text(rng, 1 + round % 60);
    const std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
    const std::string v = violation(text, tokens);
    ASSERT_EQ(v, "") << "input ‹" << text << "›";
  }
}

TEST(Tokenizer, InvalidUtf8NeverBreaksTheInvariants) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string text = random_text(rng, 10);
    for (int k = 0; k < 4; ++k) text.insert(text.begin() + (rng() % (text.size() + 1)), static_cast<char>(byte(rng)));
    const std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
    ASSERT_EQ(violation(text, tokens), "") << round;
  }
  // A stray byte inside an address or a number stops the match there.
  check_cases({{"12\xff" "34", {{"12", K::Number}, {"\xff", K::Symbol}, {"34", K::Number}}},
               {"a@b\xff.com", {{"a", K::Word}, {"@b", K::Mention}, {"\xff", K::Symbol}, {".", K::Punctuation},
                                {"com", K::Word}}}});
}

// These must simply finish (a hang shows as a test timeout).
TEST(Tokenizer, HostileInputs) {
  struct Hostile {
    std::string text;
    std::optional<size_t> tokens;
  };
  auto rep = [](std::string_view unit, size_t n) {
    std::string s;
    s.reserve(unit.size() * n);
    for (size_t i = 0; i < n; ++i) s += unit;
    return s;
  };
  const size_t mb10 = 10 * 1024 * 1024;
  std::vector<Hostile> cases = {
      {std::string(mb10, 'a'), 1},
      {rep("ş", mb10 / 2), 1},
      {std::string(mb10, '7'), 1},
      {std::string(mb10, ' '), 0},
      {std::string(100'000, '@'), 100'000},
      {std::string(100'000, '.'), 100'000},
      {std::string(100'000, '#'), 100'000},
      {rep("a.", 100'000) + "@", 200'001},          // every word start sees the same "@"
      {rep("a.", 100'000) + "@x", 200'001},         // ... and a failing domain
      {rep("a@", 100'000), 100'001},                // a word, then "@a" mentions
      {rep("1.", 100'000), 2},                      // one long number and the final period
      {rep("İ.", 100'000), 200'000},
      {rep("a'", 100'000) + "a", 1},                // one long word with apostrophes
      {"http://" + std::string(mb10, 'x'), 1},
      {rep("www.", 250'000), 1},
      {rep("http:/", 100'000), std::nullopt},
  };
  for (const Hostile& h : cases) {
    const std::vector<Token> tokens = TurkishTokenizer::tokenize(h.text);
    if (h.tokens) {
      EXPECT_EQ(tokens.size(), *h.tokens) << h.text.substr(0, 20);
    }
    EXPECT_EQ(violation(h.text, tokens), "") << h.text.substr(0, 20);
  }
}

}  // namespace
}  // namespace selvo

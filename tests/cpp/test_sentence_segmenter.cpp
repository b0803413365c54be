#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tokenization/sentence_segmenter.h"
#include "tokenization/tokenizer.h"
#include "util/utf8.h"

namespace selvo {
namespace {

std::vector<std::string> texts(std::string_view text) {
  std::vector<std::string> out;
  for (const Sentence& s : SentenceSegmenter::segment(text)) out.emplace_back(s.text);
  return out;
}

using Texts = std::vector<std::string>;

TEST(SentenceSegmenter, SplitsAtFinalPunctuationOnly) {
  struct Case {
    const char* text;
    Texts sentences;
  };
  const Case cases[] = {
      {"Merhaba. Nasılsın?", {"Merhaba.", "Nasılsın?"}},
      {"Dr. Ahmet geldi. Sonra gitti.", {"Dr. Ahmet geldi.", "Sonra gitti."}},
      {"3. sınıfa geçti. Sonra", {"3. sınıfa geçti.", "Sonra"}},
      {"Yıl 2024. Sonra", {"Yıl 2024.", "Sonra"}},
      {"2024. yılda oldu.", {"2024. yılda oldu."}},
      {"3. Sınıf", {"3.", "Sınıf"}},        // capitalised: not an ordinal
      {"Saat 5. 6 kişi", {"Saat 5.", "6 kişi"}},  // a number follows, not a word
      {"Saat 10.30. sonra", {"Saat 10.30.", "sonra"}},  // after a time the rule does not apply
      {"Ne?! Gerçekten mi...", {"Ne?!", "Gerçekten mi..."}},
      {"Bekle… Geldi!!! Tamam?.", {"Bekle…", "Geldi!!!", "Tamam?."}},
      {"“Geliyorum.” dedi.", {"“Geliyorum.”", "dedi."}},
      {"\"Peki!\" (Evet.) Hayır. «Olur.» [Son.]", {"\"Peki!\"", "(Evet.)", "Hayır.", "«Olur.»", "[Son.]"}},
      // A straight quote cannot tell opening from closing: right after a
      // terminator it is taken as closing.
      {"Bitti. \"Peki.\" 'Tamam.'", {"Bitti. \"", "Peki.\" '", "Tamam.'"}},
      {"Dedi ki: 'Git.' Gitti.", {"Dedi ki: 'Git.'", "Gitti."}},
      {"Saat 10.30'da buluşalım.", {"Saat 10.30'da buluşalım."}},
      {"Adres: https://örnek.com/a.b. Yaz: ali@x.com. Bitti", {"Adres: https://örnek.com/a.b. Yaz: ali@x.com.", "Bitti"}},
      {"12.05.2024 tarihinde geldi. Prof. Dr. Ali konuştu.", {"12.05.2024 tarihinde geldi.", "Prof. Dr. Ali konuştu."}},
      {"Dr.. Sonra", {"Dr.. Sonra"}},      // a period after an abbreviation token does not split...
      {". Merhaba", {".", "Merhaba"}},     // ...but a leading one does
      {"Noktasız bir metin", {"Noktasız bir metin"}},
      {"T.C. vatandaşı", {"T.", "C.", "vatandaşı"}},
  };
  for (const Case& c : cases) EXPECT_EQ(texts(c.text), c.sentences) << c.text;
}

TEST(SentenceSegmenter, SpansAndTrimming) {
  {
    const std::string text = "Merhaba. Nasılsın?";
    const auto s = SentenceSegmenter::segment(text);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0], (Sentence{text.substr(0, 8), 0, 8}));
    EXPECT_EQ(s[1].start, 9u);
    EXPECT_EQ(s[1].end, text.size());
  }
  {
    // Leading white space is outside the first span; white space after the
    // last terminator belongs to no sentence.
    const std::string text = "  Çığ düştü.   ";
    const auto s = SentenceSegmenter::segment(text);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].start, 2u);
    EXPECT_EQ(s[0].end, 2u + std::string("Çığ düştü.").size());
    EXPECT_EQ(s[0].text, "Çığ düştü.");
  }
  {
    // Without a terminator the last sentence runs to the end of the text.
    const std::string text = "Bir. İki üç \u3000\n";
    const auto s = SentenceSegmenter::segment(text);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1].text, "İki üç");
    EXPECT_EQ(s[1].start, 5u);
    EXPECT_EQ(s[1].end, text.size());
    EXPECT_EQ(s[1].text.data(), text.data() + 5);
  }
  EXPECT_TRUE(SentenceSegmenter::segment("").empty());
  EXPECT_TRUE(SentenceSegmenter::segment(" \n\t\u00A0 ").empty());
}

void check_invariants(std::string_view text) {
  const auto sentences = SentenceSegmenter::segment(text);
  const auto tokens = TurkishTokenizer::tokenize(text);
  size_t prev_end = 0;
  size_t k = 0;  // tokens before k lie inside earlier sentences
  for (const Sentence& s : sentences) {
    ASSERT_LE(prev_end, s.start) << "overlap in ‹" << text << "›";
    ASSERT_LT(s.start, s.end);
    ASSERT_LE(s.end, text.size());
    ASSERT_FALSE(s.text.empty());
    ASSERT_GE(s.text.data(), text.data() + s.start);
    ASSERT_LE(s.text.data() + s.text.size(), text.data() + s.end);
    size_t i = 0;
    ASSERT_FALSE(TurkishTokenizer::is_whitespace(utf8::next(s.text, i)));
    i = s.text.size();
    ASSERT_FALSE(TurkishTokenizer::is_whitespace(utf8::prev(s.text, i)));
    while (k < tokens.size() && tokens[k].end <= s.end) {
      ASSERT_GE(tokens[k].start, s.start) << "token outside every sentence in ‹" << text << "›";
      ++k;
    }
    prev_end = s.end;
  }
  ASSERT_EQ(k, tokens.size()) << "tokens after the last sentence in ‹" << text << "›";
}

TEST(SentenceSegmenter, InvariantsOnRandomText) {
  static const std::vector<std::string> pool = {
      "a", "Ali", "geldi", "3", "2024", "10.30", "Dr", "vs", ".", ".", ".", "!", "?", "…", "”", "’", "»", "\"",
      "'", ")", "]", "(", "“", "«", " ", " ", " ", "\n", "\u00A0", "\u3000", "ş", "İ", "😀", "@", "#", "x@y.co",
      "http://a.b", "\xff"};
  std::mt19937 rng(3);
  std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int n = 1 + round % 40;
    for (int i = 0; i < n; ++i) text += pool[pick(rng)];
    check_invariants(text);
    if (HasFatalFailure()) return;
  }
}

TEST(SentenceSegmenter, HostileInputs) {
  const std::string dots(100'000, '.');
  EXPECT_EQ(texts(dots), Texts{dots});
  EXPECT_EQ(SentenceSegmenter::segment(std::string(100'000, '@')).size(), 1u);
  EXPECT_EQ(SentenceSegmenter::segment(std::string(10 * 1024 * 1024, 'a')).size(), 1u);
  std::string many;
  for (int i = 0; i < 100'000; ++i) many += "a. ";
  EXPECT_EQ(SentenceSegmenter::segment(many).size(), 100'000u);
  check_invariants(many);
}

}  // namespace
}  // namespace selvo

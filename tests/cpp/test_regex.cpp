#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "util/error.h"
#include "util/regex.h"

namespace selvo {
namespace {

std::vector<std::string> all_texts(const Regex& re, std::string_view text) {
  std::vector<std::string> out;
  for (const Span& s : re.find_all(text)) out.emplace_back(s.of(text));
  return out;
}

TEST(Regex, BadPatternIsAnInternalFaultNamingOffsetAndReason) {
  try {
    Regex re("ab(c");
    FAIL() << "compiled";
  } catch (const InternalFault& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("offset 4"), std::string::npos) << what;
    EXPECT_NE(what.find("missing closing parenthesis"), std::string::npos) << what;
    EXPECT_NE(what.find("ab(c"), std::string::npos) << what;
  }
  // \C (one byte, which could split a character) is refused.
  EXPECT_THROW(Regex(R"(a\Cb)"), InternalFault);
}

TEST(Regex, SearchFromOffsetAndAnchoredMatch) {
  const Regex re(R"(\d+)");
  const std::string text = "ab 12 cd 345";
  auto m = re.search(text, 0);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->span(), (Span{3, 5}));
  EXPECT_EQ(m->str(), "12");
  EXPECT_EQ(re.search_span(text, 4), (Span{4, 5}));
  EXPECT_EQ(re.search_span(text, 5), (Span{9, 12}));
  EXPECT_FALSE(re.search_span(text, 12));
  EXPECT_THROW((void)re.search_span(text, 13), InternalFault);

  // Anchored: only a match that starts exactly at the position.
  EXPECT_FALSE(re.match_span_at(text, 0));
  EXPECT_EQ(re.match_span_at(text, 3), (Span{3, 5}));
  EXPECT_EQ(re.match_span_at(text, 10), (Span{10, 12}));
  auto am = re.match_at(text, 9);
  ASSERT_TRUE(am);
  EXPECT_EQ(am->str(), "345");

  // "^" is the start of the subject, not the start offset.
  const Regex caret("^cd");
  EXPECT_FALSE(caret.search_span(text, 6));
  EXPECT_FALSE(caret.match_span_at(text, 6));
  EXPECT_EQ(caret.search_span(std::string_view(text).substr(6)), (Span{0, 2}));
  // ...or of a line under (?m).
  const Regex line("(?m)^cd");
  EXPECT_EQ(line.search_span("ab\ncd"), (Span{3, 5}));
}

TEST(Regex, UnicodeClassesAndCaseFolding) {
  struct Case {
    const char* pattern;
    const char* text;
    bool matches;
  };
  const Case cases[] = {
      {R"(^\d$)", "\u0663", true},          // Arabic-Indic three
      {R"(^\w+$)", "çğışöüÇĞİŞÖÜ", true},
      {R"(^\s$)", "\u00A0", true},
      {R"(^\s$)", "\u3000", true},
      {R"(^\s$)", "\u200B", false},         // zero width space is not white space
      {R"(\bçok\b)", "pekçok", false},
      {R"(\bçok\b)", "pek çok.", true},
      {"(?i)^istanbul$", "ISTANBUL", true},
      {"(?i)^istanbul$", "İSTANBUL", false},  // simple folding: i does not match İ
      {"(?i)^ılık$", "ILIK", false},          // nor ı I
      {"(?i)^ılık$", "ıLıK", true},
      {"(?i)^şöğüç$", "ŞÖĞÜÇ", true},
      {"(?x) a \\s+ b  # comment", "a  b", true},
      {"^.$", "😀", true},                     // one character, four bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Regex(c.pattern).contains(c.text), c.matches) << c.pattern << " on " << c.text;
  }
}

TEST(Regex, GroupsByIndexAndByName) {
  const Regex re(R"((?P<key>[a-zçğıöşü]+)=(?:(?<num>\d+)|(?P<word>[a-zçğıöşü]+)))");
  EXPECT_EQ(re.group_count(), 3u);
  EXPECT_EQ(re.group_index("key"), 1u);
  EXPECT_EQ(re.group_index("num"), 2u);
  EXPECT_EQ(re.group_index("word"), 3u);
  EXPECT_FALSE(re.group_index("nope"));

  const std::string text = "x: yaş=dağ, no=42";
  auto m = re.search(text);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->str(), "yaş=dağ");
  EXPECT_EQ(m->group("key"), "yaş");
  EXPECT_FALSE(m->has("num"));
  EXPECT_FALSE(m->group_span("num"));
  EXPECT_EQ(m->group("num"), "");
  EXPECT_TRUE(m->has(3));
  EXPECT_EQ(m->group_span(3), (Span{text.find("dağ"), text.find("dağ") + 4}));
  EXPECT_FALSE(m->has(4));  // beyond the pattern's groups
  EXPECT_THROW((void)m->group("nope"), InternalFault);

  auto m2 = re.search(text, m->end());
  ASSERT_TRUE(m2);
  EXPECT_EQ(m2->group(1), "no");
  EXPECT_EQ(m2->group(2), "42");
  EXPECT_FALSE(m2->has(3));
  // The first match is a value: unaffected by the second.
  EXPECT_EQ(m->group("word"), "dağ");
}

TEST(Regex, ManyGroupsBeyondTheInlineStorage) {
  std::string pattern;
  std::string text;
  for (int i = 0; i < 15; ++i) {
    pattern += "(" + std::to_string(i % 10) + ")";
    text += std::to_string(i % 10);
  }
  pattern += "(x)?";
  const Regex re(pattern);
  auto m = re.search("--" + text + "--");
  ASSERT_TRUE(m);
  ASSERT_EQ(m->group_count(), 16u);
  for (size_t i = 1; i <= 15; ++i) EXPECT_EQ(m->group_span(i), (Span{2 + i - 1, 2 + i})) << i;
  EXPECT_FALSE(m->has(16));
  Match copy = *m;
  EXPECT_EQ(copy.group_span(15), m->group_span(15));
}

TEST(Regex, IterationIsLeftToRightAndNonOverlapping) {
  EXPECT_EQ(all_texts(Regex(R"(\d+)"), "a1b22c333"), (std::vector<std::string>{"1", "22", "333"}));
  EXPECT_EQ(all_texts(Regex("aa"), "aaaaa"), (std::vector<std::string>{"aa", "aa"}));
  // Leftmost-first alternation.
  EXPECT_EQ(all_texts(Regex("a|ab"), "abab"), (std::vector<std::string>{"a", "a"}));
  EXPECT_EQ(Regex("x").count_matches(""), 0u);
  EXPECT_EQ(Regex(R"(\bbir\b)").count_matches("bir iki bir birlik bir"), 3u);
}

TEST(Regex, EmptyMatchesAdvanceByOneCharacter) {
  // Same spans as Python's re.finditer("x*", "abxd").
  EXPECT_EQ(Regex("x*").find_all("abxd"),
            (std::vector<Span>{{0, 0}, {1, 1}, {2, 3}, {3, 3}, {4, 4}}));
  EXPECT_EQ(Regex("a*").find_all("baaa"), (std::vector<Span>{{0, 0}, {1, 4}, {4, 4}}));
  // Over multi-byte characters every empty match sits on a character boundary.
  EXPECT_EQ(Regex("").find_all("çğ😀"), (std::vector<Span>{{0, 0}, {2, 2}, {4, 4}, {8, 8}}));
  EXPECT_EQ(Regex(R"(\b)").find_all("ağaç iş"), (std::vector<Span>{{0, 0}, {6, 6}, {7, 7}, {10, 10}}));
  EXPECT_EQ(Regex("x*").replace_all("abç", "-"), "-a-b-ç-");
  EXPECT_EQ(Regex("x*").find_all(std::string_view{}), (std::vector<Span>{{0, 0}}));
}

TEST(Regex, ReplaceAllIsLiteral) {
  EXPECT_EQ(Regex(R"(\s+)").replace_all("a  b\t\nc ", " "), "a b c ");
  EXPECT_EQ(Regex(R"(\d+)").replace_all("12 ab 3", "$0\\1"), "$0\\1 ab $0\\1");
  EXPECT_EQ(Regex("z").replace_all("abc", "-"), "abc");
}

TEST(Regex, CallbackCanStopAndCanNestOtherMatches) {
  const Regex words(R"(\w+)");
  const Regex vowel("[aeıioöuü]");
  std::vector<std::string> seen;
  ScanEnd end = words.for_each_match("bir iki üç dört", [&](const Match& m) {
    // A nested search on the same thread must not disturb the outer scan.
    auto v = vowel.search(m.str());
    auto again = words.search("zzz");
    seen.push_back(std::string(m.str()) + ":" + std::string(v ? v->str() : "") + ":" +
                   std::string(again ? again->str() : ""));
    return seen.size() < 3;
  });
  EXPECT_EQ(end, ScanEnd::Stopped);
  EXPECT_EQ(seen, (std::vector<std::string>{"bir:i:zzz", "iki:i:zzz", "üç:ü:zzz"}));
  EXPECT_EQ(words.for_each_match("a b", [](const Match&) {}), ScanEnd::Exhausted);
}

TEST(Regex, InvalidUtf8IsABarrierNotAnError) {
  const std::string bad = "ab\xff" "cd\xc3" "ef";
  EXPECT_FALSE(Regex("b.c").contains(bad));
  EXPECT_EQ(Regex("cd").search_span(bad), (Span{3, 5}));
  EXPECT_EQ(all_texts(Regex("[a-z]+"), bad), (std::vector<std::string>{"ab", "cd", "ef"}));
  EXPECT_EQ(Regex("").count_matches("\xff\xfe"), 3u);  // at 0, and after each stray byte
}

TEST(Regex, PathologicalBacktrackingHitsTheLimit) {
  const Regex re("^(a+)+$");
  const std::string text = std::string(40, 'a') + "b";
  Match m;
  EXPECT_EQ(re.search(text, 0, m), MatchStatus::LimitExceeded);
  EXPECT_FALSE(re.search(text));
  EXPECT_EQ(re.for_each_match(text, [](const Match&) {}), ScanEnd::LimitExceeded);
  EXPECT_EQ(re.match_at(text, 0, m), MatchStatus::LimitExceeded);
  // The same pattern still works on ordinary input afterwards.
  EXPECT_EQ(re.search("aaa", 0, m), MatchStatus::Matched);
}

TEST(Regex, DeepRepetitionEndsAtTheLimitInsteadOfCrashing) {
  // Each repetition of the group leaves a backtracking point, so the JIT
  // stack (and then the interpreter's depth limit) bounds the subject size.
  const Regex re("^(?:a|bc)*$");
  Match m;
  EXPECT_EQ(re.search(std::string(10'000, 'a'), 0, m), MatchStatus::Matched);
  EXPECT_EQ(m.end(), 10'000u);
  EXPECT_EQ(re.search(std::string(2'000'000, 'a'), 0, m), MatchStatus::LimitExceeded);
}

TEST(Regex, SharedAcrossThreads) {
  static const Regex re(R"((?P<n>\d+)-(?P<w>\w+))");
  std::string text;
  for (int i = 0; i < 2000; ++i) text += std::to_string(i) + "-ğ" + std::to_string(i % 7) + " ";
  auto work = [&](size_t* total) {
    for (int round = 0; round < 5; ++round) {
      re.for_each_match(text, [&](const Match& m) { *total += m.group("n").size() + m.group("w").size(); });
    }
  };
  size_t a = 0, b = 0, single = 0;
  std::thread t1(work, &a), t2(work, &b);
  t1.join();
  t2.join();
  work(&single);
  EXPECT_GT(single, 0u);
  EXPECT_EQ(a, single);
  EXPECT_EQ(b, single);
}

}  // namespace
}  // namespace selvo

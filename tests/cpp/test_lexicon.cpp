#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "morphology/root_lexicon.h"
#include "phonology/alphabet.h"
#include "util/resource.h"
#include "util/utf8.h"

namespace selvo {
namespace {

using A = RootAttribute;

std::vector<DictionaryItem> items_of(const RootLexicon& lex, std::string_view root) {
  std::vector<DictionaryItem> out;
  for (const DictionaryItem& item : lex.lookup(root)) out.push_back(item);
  return out;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    lines.push_back(text.substr(0, nl));
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return lines;
}

// A file in the test's temporary directory, removed afterwards.
class TempFile {
 public:
  TempFile(const std::string& name, std::string_view bytes)
      : path_(std::filesystem::path(testing::TempDir()) / name) {
    std::ofstream out(path_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// ---------------------------------------------------------------------------
// Embedded resources.

TEST(EmbeddedLexicon, RootLexiconIsCrlfUtf8Text) {
  std::string_view text = resources::root_lexicon();
  ASSERT_GT(text.size(), 1000000u);
  EXPECT_TRUE(utf8::is_valid(text));
  ASSERT_TRUE(text.ends_with("\r\n"));
  size_t lf = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    ++lf;
    ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
  }
  EXPECT_GT(lf, 50000u);
  // No NUL inside (the assembler appends one after the end, outside the view).
  EXPECT_EQ(text.find('\0'), std::string_view::npos);
}

TEST(EmbeddedLexicon, EveryLineIsLowercaseAndHasFourToSevenFields) {
  for (std::string_view line : split_lines(resources::root_lexicon())) {
    if (line.empty()) continue;  // after the final CRLF
    ASSERT_TRUE(line.ends_with('\r'));
    line.remove_suffix(1);
    size_t fields = 1;
    for (char c : line) fields += (c == ' ');
    ASSERT_GE(fields, 4u) << line;
    ASSERT_LE(fields, 7u) << line;
    std::string_view lemma_and_root = line.substr(0, line.find(' ', line.find(' ') + 1));
    ASSERT_EQ(to_turkish_lower(lemma_and_root), lemma_and_root) << line;
  }
}

TEST(EmbeddedLexicon, SyntacticLexiconShape) {
  std::string_view text = resources::syntactic_lexicon();
  EXPECT_TRUE(utf8::is_valid(text));
  std::vector<std::string_view> lines = split_lines(text);
  ASSERT_GT(lines.size(), 1000u);
  EXPECT_TRUE(lines[0].starts_with("# selvo syntactic lexicon"));
  EXPECT_EQ(lines[1], "# Schema: [ROOT] [PRIMARY_POS] [MORPHOPHONEMIC_FLAGS]\r");
  // CR LF between lines, no terminator after the last one.
  EXPECT_FALSE(text.ends_with("\n"));
  for (size_t i = 0; i + 1 < lines.size(); ++i) ASSERT_TRUE(lines[i].ends_with('\r')) << i;
  EXPECT_FALSE(lines.back().ends_with('\r'));
  for (size_t i = 2; i < lines.size(); ++i) ASSERT_FALSE(lines[i].starts_with("#"));
}

// ---------------------------------------------------------------------------
// Names.

TEST(LexiconNames, CodesAreDeclarationOrder) {
  static_assert(static_cast<int>(PrimaryPos::Unknown) == 12 && static_cast<int>(PrimaryPos::Det) == 13);
  static_assert(static_cast<int>(SecondaryPos::Abbreviation) == 14);
  static_assert(static_cast<uint32_t>(RootAttribute::Plural) == 128);
  EXPECT_EQ(name(PrimaryPos::Q), "Q");
  EXPECT_EQ(name(PrimaryPos::Unknown), "Unknown");
  EXPECT_EQ(name(SecondaryPos::None), "None");
  EXPECT_EQ(name(SecondaryPos::Quantitive), "Quantitive");
  EXPECT_EQ(name(RootAttribute::CompoundP3sg), "CompoundP3sg");
}

TEST(LexiconNames, AcceptedWordsAnyCase) {
  struct PrimaryCase { const char* word; PrimaryPos pos; };
  for (auto [word, pos] : std::vector<PrimaryCase>{
           {"noun", PrimaryPos::Noun}, {"VERB", PrimaryPos::Verb}, {"Adj", PrimaryPos::Adj},
           {"adv", PrimaryPos::Adv}, {"pron", PrimaryPos::Pron}, {"num", PrimaryPos::Num},
           {"conj", PrimaryPos::Conj}, {"postp", PrimaryPos::Postp}, {"Interj", PrimaryPos::Interj},
           {"q", PrimaryPos::Q}, {"QUES", PrimaryPos::Q}, {"punc", PrimaryPos::Punc},
           {"dup", PrimaryPos::Dup}, {"det", PrimaryPos::Det}, {"İNTERJ", PrimaryPos::Interj}}) {
    EXPECT_EQ(parse_primary_pos(word), pos) << word;
  }
  for (const char* word : {"unknown", "none", "noun ", "nouns", ""}) {
    EXPECT_FALSE(parse_primary_pos(word)) << word;
  }

  struct SecondaryCase { const char* word; SecondaryPos pos; };
  for (auto [word, pos] : std::vector<SecondaryCase>{
           {"prop", SecondaryPos::ProperNoun}, {"Proper", SecondaryPos::ProperNoun},
           {"ProperNoun", SecondaryPos::ProperNoun}, {"time", SecondaryPos::Time},
           {"ord", SecondaryPos::Ordinal}, {"ordinal", SecondaryPos::Ordinal},
           {"card", SecondaryPos::Cardinal}, {"cardinal", SecondaryPos::Cardinal},
           {"dist", SecondaryPos::Distributive}, {"DISTRIBUTIVE", SecondaryPos::Distributive},
           {"percent", SecondaryPos::Percentage}, {"demons", SecondaryPos::Demonstrative},
           {"demonstrative", SecondaryPos::Demonstrative}, {"pers", SecondaryPos::Personal},
           {"personal", SecondaryPos::Personal}, {"reflex", SecondaryPos::Reflexive},
           {"reflexive", SecondaryPos::Reflexive}, {"recip", SecondaryPos::Reciprocal},
           {"reciprocal", SecondaryPos::Reciprocal}, {"quant", SecondaryPos::Quantitive},
           {"quantitive", SecondaryPos::Quantitive}, {"ques", SecondaryPos::Question},
           {"question", SecondaryPos::Question}, {"rel", SecondaryPos::Relative},
           {"relative", SecondaryPos::Relative}, {"abbrv", SecondaryPos::Abbreviation},
           {"Abbreviation", SecondaryPos::Abbreviation}}) {
    EXPECT_EQ(parse_secondary_pos(word), pos) << word;
  }
  for (const char* word : {"none", "None", "percentage", "noun"}) {
    EXPECT_FALSE(parse_secondary_pos(word)) << word;
  }

  struct AttributeCase { const char* word; RootAttribute a; };
  for (auto [word, a] : std::vector<AttributeCase>{
           {"voicing", A::Voicing}, {"VOICING", A::Voicing}, {"VOİCİNG", A::Voicing},
           {"VowelDrop", A::VowelDrop}, {"doubling", A::Doubling},
           {"InverseHarmony", A::InverseHarmony}, {"vowelmutation", A::VowelMutation},
           {"COMPOUNDP3SG", A::CompoundP3sg}, {"plural", A::Plural}}) {
    EXPECT_EQ(parse_root_attribute(word), a) << word;
  }
  // ProperNoun is set through the secondary names only.
  EXPECT_FALSE(parse_root_attribute("propernoun"));
  EXPECT_FALSE(parse_root_attribute("voıcıng"));
}

// ---------------------------------------------------------------------------
// Built-in roots.

TEST(BuiltinRoots, ThreeHundredEightyDistinctItemsLemmaEqualsRoot) {
  const auto& builtins = RootLexicon::builtin_items();
  ASSERT_EQ(builtins.size(), 380u);
  RootLexicon lex = RootLexicon::builtin_only();
  EXPECT_EQ(lex.item_count(), 380u);  // no two built-ins are equal
  for (const DictionaryItem& item : builtins) {
    EXPECT_EQ(item.lemma, item.root);
    EXPECT_EQ(item.has(A::ProperNoun), item.secondary_pos == SecondaryPos::ProperNoun) << item.root;
  }
  EXPECT_EQ(builtins.front(), DictionaryItem("kitap", "kitap", PrimaryPos::Noun, SecondaryPos::None, A::Voicing));
  EXPECT_EQ(builtins.back(), DictionaryItem("dört", "dört", PrimaryPos::Num, SecondaryPos::Cardinal, A::Voicing));
}

TEST(BuiltinRoots, PersonNamesHaveTheirAttributes) {
  size_t given = 0, voicing = 0;
  for (const DictionaryItem& item : RootLexicon::builtin_items()) {
    if (item.secondary_pos != SecondaryPos::ProperNoun) continue;
    if (item.attributes == RootAttributes(A::ProperNoun)) ++given;
    if (item.attributes == (A::Voicing | A::ProperNoun)) {
      ++voicing;
      char last = item.root.back();
      EXPECT_TRUE(last == 'p' || last == 't' || last == 'k') << item.root;
    }
  }
  EXPECT_EQ(given, 17u);  // eleven places and peoples, five given names, selvo
  EXPECT_EQ(voicing, 3u);
}

TEST(FreshLexicon, BuiltinsPrecedeTextItemsOfTheirRoot) {
  const RootLexicon& lex = RootLexicon::shared();
  std::set<std::string> seen;
  for (const DictionaryItem& b : RootLexicon::builtin_items()) {
    if (!seen.insert(b.root).second) continue;
    std::vector<DictionaryItem> builtin_of_root;
    for (const DictionaryItem& x : RootLexicon::builtin_items()) {
      if (x.root == b.root) builtin_of_root.push_back(x);
    }
    std::vector<DictionaryItem> got = items_of(lex, b.root);
    ASSERT_GE(got.size(), builtin_of_root.size()) << b.root;
    for (size_t i = 0; i < builtin_of_root.size(); ++i) EXPECT_EQ(got[i], builtin_of_root[i]) << b.root;
  }
  // doğru: the adjective before the postposition.
  std::vector<DictionaryItem> dogru = items_of(lex, "doğru");
  ASSERT_GE(dogru.size(), 2u);
  EXPECT_EQ(dogru[0].primary_pos, PrimaryPos::Adj);
  EXPECT_EQ(dogru[1].primary_pos, PrimaryPos::Postp);
  // kitap: the first item is the built-in noun with Voicing.
  EXPECT_EQ(lex.lookup("kitap").front(),
            DictionaryItem("kitap", "kitap", PrimaryPos::Noun, SecondaryPos::None, A::Voicing));
}

TEST(FreshLexicon, EveryTextLineIsFoundUnderItsRoot) {
  const RootLexicon& lex = RootLexicon::shared();
  size_t lines = 0;
  for (std::string_view line : split_lines(resources::root_lexicon())) {
    if (line.empty()) continue;
    ++lines;
    size_t sp1 = line.find(' ');
    size_t sp2 = line.find(' ', sp1 + 1);
    std::string_view lemma = line.substr(0, sp1);
    std::string_view root = line.substr(sp1 + 1, sp2 - sp1 - 1);
    bool found = false;
    for (const DictionaryItem& item : lex.lookup(root)) found = found || item.lemma == lemma;
    ASSERT_TRUE(found) << line;
  }
  EXPECT_LE(lex.item_count(), 380 + lines);
  EXPECT_GT(lex.item_count(), lines);
  EXPECT_LT(lex.root_count(), lex.item_count());
}

// ---------------------------------------------------------------------------
// Loading text.

TEST(LoadFromStr, LineRules) {
  struct Case {
    const char* text;
    const char* root;  // key that must appear (nullptr: nothing is added)
    DictionaryItem expected;
  };
  const Case cases[] = {
      {" xyz  xyz   NOUN  none  VOICING ", "xyz",
       {"xyz", "xyz", PrimaryPos::Noun, SecondaryPos::None, A::Voicing}},
      {"foo foo Foo", "foo", {"foo", "foo", PrimaryPos::Noun, SecondaryPos::None}},
      {"foo foo Noun Time ProperNoun", "foo",
       {"foo", "foo", PrimaryPos::Noun, SecondaryPos::ProperNoun, A::ProperNoun}},
      {"foo foo Noun ProperNoun Time", "foo",  // the attribute stays once set
       {"foo", "foo", PrimaryPos::Noun, SecondaryPos::Time, A::ProperNoun}},
      {"foo bar Verb", "bar", {"foo", "bar", PrimaryPos::Verb, SecondaryPos::None}},
      {"a\tb\tAdj\tDoubling\r\n", "b", {"a", "b", PrimaryPos::Adj, SecondaryPos::None, A::Doubling}},
      // U+00A0 and U+3000 are white space too.
      {"x\u00A0x\u3000Det", "x", {"x", "x", PrimaryPos::Det, SecondaryPos::None}},
      {"mı mı Ques Ques", "mı", {"mı", "mı", PrimaryPos::Q, SecondaryPos::Question}},
      {"x x Noun None Foo VowelDrop plural doubling", "x",
       {"x", "x", PrimaryPos::Noun, SecondaryPos::None, A::VowelDrop | A::Doubling | A::Plural}},
      {"abd abd Noun Abbrv", "abd", {"abd", "abd", PrimaryPos::Noun, SecondaryPos::Abbreviation}},
      // Keys are exact bytes: no case folding, ill-formed UTF-8 kept as is.
      {"Ankara Ankara Noun Prop", "Ankara",
       {"Ankara", "Ankara", PrimaryPos::Noun, SecondaryPos::ProperNoun, A::ProperNoun}},
      {"\xff\xfe k\xc3 Noun", "k\xc3", {"\xff\xfe", "k\xc3", PrimaryPos::Noun, SecondaryPos::None}},
      {"# foo foo Noun", nullptr, {}},
      {"   # foo foo Noun", nullptr, {}},
      {"", nullptr, {}},
      {" \t \r\n", nullptr, {}},
      {"foo foo", nullptr, {}},
      {"\r\n\r\n", nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RootLexicon lex = RootLexicon::empty();
    lex.load_from_str(c.text);
    if (c.root == nullptr) {
      EXPECT_EQ(lex.item_count(), 0u);
      continue;
    }
    ASSERT_EQ(lex.item_count(), 1u);
    EXPECT_EQ(items_of(lex, c.root), std::vector<DictionaryItem>{c.expected});
  }
}

TEST(LoadFromStr, LinesInOrderAndFooBarCreatesOnlyBar) {
  RootLexicon lex = RootLexicon::empty();
  lex.load_from_str("foo bar Verb\nbar bar Noun\r\n\n# c\nbar bar Adj");
  EXPECT_FALSE(lex.contains_root("foo"));
  std::vector<DictionaryItem> bar = items_of(lex, "bar");
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_EQ(bar[0].lemma, "foo");
  EXPECT_EQ(bar[1].primary_pos, PrimaryPos::Noun);
  EXPECT_EQ(bar[2].primary_pos, PrimaryPos::Adj);
  EXPECT_EQ(lex.root_count(), 1u);
}

TEST(LoadFromStr, KitapAgainAddsNothing) {
  RootLexicon lex = RootLexicon::builtin_only();
  lex.load_from_str("kitap kitap Noun None Voicing\r\nkitap kitap noun none voicing\r\n");
  EXPECT_EQ(lex.item_count(), 380u);
  // The shared lexicon already has it too.
  RootLexicon copy = RootLexicon::shared();
  size_t before = copy.item_count();
  copy.load_from_str("kitap kitap Noun None Voicing");
  EXPECT_EQ(copy.item_count(), before);
}

TEST(AddItem, NoTwoEqualItemsUnderOneRoot) {
  RootLexicon lex = RootLexicon::empty();
  DictionaryItem a("hak", "hak", PrimaryPos::Noun, SecondaryPos::None, A::Doubling);
  EXPECT_TRUE(lex.add_item(a));
  EXPECT_FALSE(lex.add_item(a));
  // Items that differ in any one field are kept, in insertion order.
  DictionaryItem b = a;
  b.attributes = {};
  DictionaryItem c = a;
  c.lemma = "hakmak";
  DictionaryItem d = a;
  d.secondary_pos = SecondaryPos::ProperNoun;
  DictionaryItem e = a;
  e.primary_pos = PrimaryPos::Adj;
  for (const DictionaryItem& x : {b, c, d, e}) EXPECT_TRUE(lex.add_item(x));
  EXPECT_FALSE(lex.add_item(c));
  EXPECT_EQ(items_of(lex, "hak"), (std::vector<DictionaryItem>{a, b, c, d, e}));
  EXPECT_EQ(lex.lookup("hak").size(), 5u);
  EXPECT_TRUE(lex.lookup("ha").empty());
  EXPECT_TRUE(lex.lookup("").empty());
}

TEST(Lookup, ByLemmaInInsertionOrder) {
  RootLexicon lex = RootLexicon::empty();
  lex.load_from_str(
      "aban aban Noun\n"
      "abanmak aban Verb\n"
      "abanmak abanmak Noun\n"
      "x aban Adj\n");
  std::vector<const DictionaryItem*> verb = lex.lookup_lemma("abanmak");
  ASSERT_EQ(verb.size(), 2u);
  EXPECT_EQ(verb[0]->root, "aban");
  EXPECT_EQ(verb[0]->primary_pos, PrimaryPos::Verb);
  EXPECT_EQ(verb[1]->root, "abanmak");
  std::vector<const DictionaryItem*> noun = lex.lookup_lemma("aban");
  ASSERT_EQ(noun.size(), 1u);
  EXPECT_EQ(noun[0]->primary_pos, PrimaryPos::Noun);
  EXPECT_TRUE(lex.lookup_lemma("x").size() == 1 && lex.lookup_lemma("x")[0]->primary_pos == PrimaryPos::Adj);
  EXPECT_TRUE(lex.lookup_lemma("abanma").empty());
}

// ---------------------------------------------------------------------------
// Loading files.

TEST(LoadFromFile, MissingFileIsAnOsErrorAndChangesNothing) {
  RootLexicon lex = RootLexicon::builtin_only();
  Result<void> r = lex.load_from_file((std::filesystem::path(testing::TempDir()) / "no-such-lexicon.txt").string());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Io);
  EXPECT_EQ(r.error().os_errno, ENOENT);
  EXPECT_EQ(r.error().message, std::strerror(ENOENT));
  EXPECT_EQ(lex.item_count(), 380u);
}

TEST(LoadFromFile, DirectoryIsAnOsError) {
  RootLexicon lex = RootLexicon::empty();
  Result<void> r = lex.load_from_file(testing::TempDir());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Io);
  EXPECT_EQ(r.error().os_errno, EISDIR);
  EXPECT_EQ(lex.item_count(), 0u);
}

TEST(LoadFromFile, InvalidUtf8OnLineThreeKeepsTheFirstTwo) {
  TempFile file("lexicon-bad-utf8.txt",
                "aaa aaa Noun\r\nbbb bbb Verb\r\nc\xc3\x28 ccc Noun\r\nddd ddd Noun\r\n");
  RootLexicon lex = RootLexicon::empty();
  Result<void> r = lex.load_from_file(file.path());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Io);
  EXPECT_EQ(r.error().os_errno, EILSEQ);
  EXPECT_EQ(lex.item_count(), 2u);
  EXPECT_TRUE(lex.contains_root("aaa"));
  EXPECT_TRUE(lex.contains_root("bbb"));
  EXPECT_FALSE(lex.contains_root("ccc"));
  EXPECT_FALSE(lex.contains_root("ddd"));
}

TEST(LoadFromFile, ReadsEveryLine) {
  // Mixed terminators, a comment, a BOM-free Turkish line, no final newline.
  TempFile file("lexicon-good.txt",
                "# extra roots\nabanmak aban Verb None\r\n\nşırıldamak şırılda Verb\nkitapçık kitapçık NOUN none VOICING");
  RootLexicon lex = RootLexicon::empty();
  ASSERT_TRUE(lex.load_from_file(file.path()).ok());
  EXPECT_EQ(lex.item_count(), 3u);
  EXPECT_EQ(lex.lookup("şırılda").front().lemma, "şırıldamak");
  EXPECT_TRUE(lex.lookup("kitapçık").front().has(A::Voicing));
}

// ---------------------------------------------------------------------------
// Sharing.

TEST(SharedLexicon, BuiltOnceAndSharedAcrossThreads) {
  std::vector<const RootLexicon*> seen(4, nullptr);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = &RootLexicon::shared(); });
  }
  for (auto& t : threads) t.join();
  for (const RootLexicon* p : seen) EXPECT_EQ(p, &RootLexicon::shared());
}

TEST(SharedLexicon, CopyDoesNotLeakAdditions) {
  const RootLexicon& shared = RootLexicon::shared();
  const size_t items = shared.item_count();
  const size_t roots = shared.root_count();
  RootLexicon mine = shared;
  mine.load_from_str("zzqxw zzqxw Noun\nkitaplarımız kitap Noun\n");
  EXPECT_TRUE(mine.contains_root("zzqxw"));
  EXPECT_EQ(mine.item_count(), items + 2);
  EXPECT_FALSE(shared.contains_root("zzqxw"));
  EXPECT_EQ(shared.item_count(), items);
  EXPECT_EQ(shared.root_count(), roots);
  for (const DictionaryItem& item : shared.lookup("kitap")) EXPECT_NE(item.lemma, "kitaplarımız");
  // A second copy starts from the shared contents again.
  RootLexicon other = RootLexicon::shared();
  EXPECT_FALSE(other.contains_root("zzqxw"));
}

}  // namespace
}  // namespace selvo

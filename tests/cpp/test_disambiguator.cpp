#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morphology/disambiguator.h"

namespace selvo {
namespace {

const MorphologicalDisambiguator& dis() {
  static const MorphologicalDisambiguator d;
  return d;
}

TEST(Disambiguator, EmptyAndUnknown) {
  EXPECT_TRUE(dis().disambiguate({}).empty());
  auto r = dis().disambiguate({"xyzq"});
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].formatted, "[xyzq:Unk]");
  EXPECT_EQ(r[0].lemma, "xyzq");
  EXPECT_EQ(r[0].root, "xyzq");
  EXPECT_EQ(r[0].primary_pos, PrimaryPos::Unknown);
  EXPECT_EQ(r[0].pos, PrimaryPos::Unknown);
  EXPECT_EQ(r[0].morpheme_tags, std::vector<std::string>{"Unk"});
  EXPECT_FLOAT_EQ(r[0].score, 0.0f);
}

TEST(Disambiguator, OneResultPerTokenEvenWithoutAnalyses) {
  std::vector<std::string> tokens = {"Ali", "qqq", "geldi", ",", "."};
  auto r = dis().disambiguate(tokens);
  ASSERT_EQ(r.size(), tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) EXPECT_EQ(r[i].surface, tokens[i]);
}

// A lexicon of made-up roots, so that each case shows one bonus alone.
MorphologicalDisambiguator with_entries(std::string_view text) {
  RootLexicon lex = RootLexicon::empty();
  lex.load_from_str(text);
  return MorphologicalDisambiguator(TurkishMorphology(std::move(lex)));
}

TEST(Disambiguator, SentenceFinalVerbBonus) {
  // "zop" is a noun and a verb; the verb reading scores lower (0.95) but
  // gains 3.5 at the sentence end, also before a final ".".
  auto d = with_entries("zop zop Noun\nzopmak zop Verb\n");
  for (std::vector<std::string> tokens : {std::vector<std::string>{"zop"}, {"zop", "."}, {"zop", "?"}}) {
    auto r = d.disambiguate(tokens);
    EXPECT_EQ(r[0].primary_pos, PrimaryPos::Verb) << tokens.size();
  }
  // Not final: the noun reading wins on its score.
  auto r = d.disambiguate({"zop", "zop", "zop"});
  EXPECT_EQ(r[0].primary_pos, PrimaryPos::Noun);
}

TEST(Disambiguator, CapitalisedProperNoun) {
  auto d = with_entries("zeynox zeynox Noun\nzeynox zeynox Noun Prop\nqa qa Noun\n");
  EXPECT_EQ(d.disambiguate({"Zeynox", "qa", "qa"})[0].secondary_pos, SecondaryPos::ProperNoun);
  EXPECT_EQ(d.disambiguate({"zeynox", "qa", "qa"})[0].secondary_pos, SecondaryPos::None);
}

TEST(Disambiguator, FollowingNounBonus) {
  // "peli": the whole-word noun (1.0 - 0.05) beats pe+With (an adjective,
  // 0.95 - 0.1) unless a noun follows (+2.0).
  auto d = with_entries("peli peli Noun\npe pe Noun\nkor kor Noun\nve ve Conj\nnar nar Adj\n");
  EXPECT_EQ(d.disambiguate({"peli", "kor", "kor"})[0].pos, PrimaryPos::Adj);
  // Adjectives in between are skipped.
  EXPECT_EQ(d.disambiguate({"peli", "nar", "kor", "kor"})[0].pos, PrimaryPos::Adj);
  // A conjunction, or a token without analyses, blocks the bonus.
  EXPECT_EQ(d.disambiguate({"peli", "ve", "kor", "kor"})[0].pos, PrimaryPos::Noun);
  EXPECT_EQ(d.disambiguate({"peli", "qqq", "kor", "kor"})[0].pos, PrimaryPos::Noun);
  // Running off the end gives nothing.
  EXPECT_EQ(d.disambiguate({"peli", "nar", "nar"})[0].pos, PrimaryPos::Noun);
  // A determiner reading gains 2.1.
  auto d2 = with_entries("peli peli Noun\npeli peli Det\nkor kor Noun\n");
  EXPECT_EQ(d2.disambiguate({"peli", "kor", "kor"})[0].pos, PrimaryPos::Det);
}

TEST(Disambiguator, PreviousChoiceBonuses) {
  // After an adjective, the noun reading of an ambiguous word gains 1.5.
  auto d = with_entries("nar nar Adj\ntam tam Adj\ntam tam Noun\nkor kor Noun\n");
  EXPECT_EQ(d.disambiguate({"nar", "tam", "kor", "kor"})[1].primary_pos, PrimaryPos::Adj);  // next noun: +2.0
  EXPECT_EQ(d.disambiguate({"nar", "tam", "kor"})[1].primary_pos, PrimaryPos::Adj);
  auto d2 = with_entries("nar nar Adj\ntam tam Adj\ntam tam Noun\nve ve Conj\n");
  // Next token blocks the following-noun bonus; the previous adjective gives the noun +1.5.
  EXPECT_EQ(d2.disambiguate({"nar", "tam", "ve", "ve"})[1].primary_pos, PrimaryPos::Noun);
  // After a pronoun, a verb reading with two counted tags gains 1.0.
  // zopdu: the whole-word noun (1.0 - 0.05) against zop+Past (0.95 - 0.1).
  auto d4 = with_entries("sen sen Pron\nzopmak zop Verb\nzopdu zopdu Noun\nve ve Conj\n");
  auto r = d4.disambiguate({"sen", "zopdu", "ve", "ve"});
  EXPECT_EQ(r[1].primary_pos, PrimaryPos::Verb);
  auto r2 = d4.disambiguate({"ve", "zopdu", "ve", "ve"});
  EXPECT_EQ(r2[1].primary_pos, PrimaryPos::Noun);
}

TEST(Disambiguator, P2sgLosesTies) {
  // "ban": ba+P2sg sorts before b+PresPart and both are worth the same; the
  // candidate without P2sg takes the tie.
  auto d = with_entries("ba ba Noun\nbmak b Verb\nve ve Conj\n");
  auto parses = d.morphology().analyze("ban");
  ASSERT_GE(parses.size(), 2u);
  EXPECT_EQ(parses[0].formatted, "[ba:Noun] ba:Noun+P2sg");
  auto r = d.disambiguate({"ban", "ve", "ve"});
  EXPECT_EQ(r[0].formatted, "[bmak:Verb] b:Verb+PresPart");
}

TEST(Disambiguator, RealSentence) {
  auto r = dis().disambiguate({"Ali", "geldi", "."});
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].secondary_pos, SecondaryPos::ProperNoun);
  EXPECT_EQ(r[1].pos, PrimaryPos::Verb);
  EXPECT_EQ(r[1].root, "gel");
  auto g = dis().disambiguate({"güzel", "ev"});
  EXPECT_EQ(g[0].pos, PrimaryPos::Adj);
}

}  // namespace
}  // namespace selvo

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "morphology/analyzer.h"

namespace selvo {
namespace {

const TurkishMorphology& morph() {
  static const TurkishMorphology m;
  return m;
}

std::vector<std::string> formatted_of(const std::vector<MorphParse>& ps) {
  std::vector<std::string> out;
  for (const MorphParse& p : ps) out.push_back(p.formatted);
  return out;
}

const MorphParse* find(const std::vector<MorphParse>& ps, std::string_view formatted) {
  for (const MorphParse& p : ps) {
    if (p.formatted == formatted) return &p;
  }
  return nullptr;
}

struct Expect {
  const char* word;
  const char* formatted;  // an analysis that must be among the results
  float score;
};

void PrintTo(const Expect& e, std::ostream* os) { *os << e.word << " -> " << e.formatted; }

class AnalyzerFinds : public testing::TestWithParam<Expect> {};

TEST_P(AnalyzerFinds, Analysis) {
  const Expect& e = GetParam();
  auto ps = morph().analyze(e.word);
  const MorphParse* p = find(ps, e.formatted);
  ASSERT_NE(p, nullptr) << e.word << " lacks " << e.formatted << "; got " << testing::PrintToString(formatted_of(ps));
  EXPECT_FLOAT_EQ(p->score, e.score);
  EXPECT_EQ(p->surface, e.word);
}

INSTANTIATE_TEST_SUITE_P(
    Words, AnalyzerFinds,
    testing::Values(Expect{"kitaplar", "[kitap:Noun] kitap:Noun+A3pl", 0.95f},
                    Expect{"Kitaplar", "[kitap:Noun] kitap:Noun+A3pl", 0.95f},
                    Expect{"kitap", "[kitap:Noun] kitap:Noun+A3sg+Nom", 1.0f},
                    Expect{"kitabı", "[kitap:Noun] kitap:Noun+P3sg", 0.95f},
                    Expect{"kitabı", "[kitap:Noun] kitap:Noun+Acc", 0.95f},
                    Expect{"burnu", "[burun:Noun] burun:Noun+P3sg", 0.95f},
                    Expect{"hakkı", "[hak:Noun] hak:Noun+P3sg", 0.95f},
                    Expect{"başlıyor", "[başla:Verb] başla:Verb+Prog", 0.95f},
                    Expect{"yiyor", "[ye:Verb] ye:Verb+Prog", 0.95f},
                    Expect{"evlar", "[ev:Noun] ev:Noun+A3pl", 0.95f},
                    Expect{"gelmiyorlar", "[gel:Verb] gel:Verb+Neg+Prog+A3pl", 0.95f},
                    Expect{"gel", "[gel:Verb] gel:Verb+Imp+A2sg", 0.95f},
                    Expect{"okundu", "[oku:Verb] oku:Verb+Pass+Past", 0.95f},
                    Expect{"yapıldı", "[yap:Verb] yap:Verb+Pass+Past", 0.95f},
                    Expect{"bilindi", "[bil:Verb] bil:Verb+Pass+Past", 0.95f},
                    Expect{"ŞEHİRDE", "[şehir:Noun] şehir:Noun+Loc", 0.95f},
                    Expect{"âlem", "[alem:Noun] alem:Noun+A3sg+Nom", 1.0f}));

TEST(Analyzer, TrimsSurfaceKeepsCase) {
  auto ps = morph().analyze("  Evde ");
  ASSERT_FALSE(ps.empty());
  for (const MorphParse& p : ps) EXPECT_EQ(p.surface, "Evde");
}

TEST(Analyzer, WholeWordComesFirstAndFormattedBreaksTies) {
  auto ps = morph().analyze("kitap");
  ASSERT_FALSE(ps.empty());
  EXPECT_EQ(ps[0].formatted, "[kitap:Noun] kitap:Noun+A3sg+Nom");
  EXPECT_FLOAT_EQ(ps[0].score, 1.0f);
  for (size_t i = 1; i < ps.size(); ++i) {
    ASSERT_GE(ps[i - 1].score, ps[i].score);
    if (ps[i - 1].score == ps[i].score) {
      EXPECT_LT(ps[i - 1].formatted, ps[i].formatted);
    }
  }
}

TEST(Analyzer, NoRepeatedFormattedAndSecondary) {
  for (const char* w : {"kitap", "kitabı", "evler", "ankara", "yazılımları", "çalıştırılmayacaklar"}) {
    auto ps = morph().analyze(w);
    for (size_t i = 0; i < ps.size(); ++i) {
      for (size_t j = i + 1; j < ps.size(); ++j) {
        EXPECT_FALSE(ps[i].formatted == ps[j].formatted && ps[i].secondary_pos == ps[j].secondary_pos) << w;
      }
    }
  }
}

TEST(Analyzer, ProperNounScores) {
  auto lower = morph().analyze("ankara");
  auto upper = morph().analyze("Ankara");
  const MorphParse* l = find(lower, "[ankara:Noun] ankara:Noun+A3sg+Nom");
  const MorphParse* u = find(upper, "[ankara:Noun] ankara:Noun+A3sg+Nom");
  ASSERT_NE(l, nullptr);
  ASSERT_NE(u, nullptr);
  EXPECT_FLOAT_EQ(l->score, 0.65f);
  EXPECT_FLOAT_EQ(u->score, 1.0f);
  // Suffixed proper noun without apostrophe.
  auto da = morph().analyze("ankarada");
  const MorphParse* d = find(da, "[ankara:Noun] ankara:Noun+Loc");
  ASSERT_NE(d, nullptr);
  EXPECT_FLOAT_EQ(d->score, 0.6f);
}

TEST(Analyzer, ApostropheKnownStem) {
  for (const char* w : {"Ankara'da", "Ankara\u2019da"}) {
    auto ps = morph().analyze(w);
    ASSERT_FALSE(ps.empty()) << w;
    for (const MorphParse& p : ps) {
      EXPECT_EQ(p.root, "ankara");
      EXPECT_EQ(p.primary_pos, PrimaryPos::Noun);
      EXPECT_EQ(p.surface, w);
    }
    const MorphParse* loc = find(ps, "[ankara:Noun] ankara:Noun+Loc");
    ASSERT_NE(loc, nullptr);
    EXPECT_FLOAT_EQ(loc->score, 0.98f);
  }
}

TEST(Analyzer, ApostropheUnknownStemFallsBackToProperNoun) {
  auto ps = morph().analyze("Xyzqw'da");
  ASSERT_EQ(ps.size(), 1u);
  EXPECT_EQ(ps[0].formatted, "[xyzqw:Noun] xyzqw:Noun+Loc");
  EXPECT_EQ(ps[0].secondary_pos, SecondaryPos::ProperNoun);
  EXPECT_FLOAT_EQ(ps[0].score, 0.98f);
  // The fallback keeps the order of the search: several suffix chains.
  auto many = morph().analyze("Qwx'ları");
  EXPECT_FALSE(many.empty());
  for (const MorphParse& p : many) EXPECT_EQ(p.root, "qwx");
  // Remainder that no suffix chain consumes.
  EXPECT_TRUE(morph().analyze("Qwx'zzz").empty());
}

TEST(Analyzer, ApostropheAtEdgesStaysInTheWord) {
  // No split: the apostrophe is part of the text looked up, so nothing is found.
  EXPECT_TRUE(morph().analyze("'abc").empty());
  EXPECT_TRUE(morph().analyze("abc'").empty());
  EXPECT_TRUE(morph().analyze("'").empty());
}

TEST(Analyzer, EmptyAndUnknown) {
  EXPECT_TRUE(morph().analyze("").empty());
  EXPECT_TRUE(morph().analyze(" \t\n").empty());
  EXPECT_TRUE(morph().analyze("xyzqw").empty());
  EXPECT_TRUE(morph().analyze("\xff\xfe").empty());
}

TEST(Analyzer, AtMostTenSuffixes) {
  // Dim can repeat on NominalRoot without limit: the depth bound cuts it.
  std::string w = "ev";
  for (int i = 0; i < 12; ++i) w += "cik";
  EXPECT_TRUE(morph().analyze(w).empty());
  std::string ten = "ev";
  for (int i = 0; i < 10; ++i) ten += "cik";
  auto ps = morph().analyze(ten);
  bool found = false;
  for (const MorphParse& p : ps) {
    EXPECT_LE(p.morpheme_tags.size(), 11u);
    if (p.morpheme_tags.size() == 11) found = true;
  }
  EXPECT_TRUE(found);
}

TEST(Analyzer, DerivedPartOfSpeech) {
  auto ps = morph().analyze("gelen");
  const MorphParse* p = find(ps, "[gel:Verb] gel:Verb+PresPart");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->pos, PrimaryPos::Adj);
  EXPECT_EQ(p->primary_pos, PrimaryPos::Verb);
  auto ps2 = morph().analyze("gelenler");
  const MorphParse* q = find(ps2, "[gel:Verb] gel:Verb+PresPart+A3pl");
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->pos, PrimaryPos::Noun);
  // DevN only right after the root.
  auto ps3 = morph().analyze("yapılım");
  EXPECT_EQ(find(ps3, "[yap:Verb] yap:Verb+Pass+DevN"), nullptr);
}

TEST(Analyzer, JsonForm) {
  MorphParse p;
  p.surface = "Ev\"ler";
  p.lemma = "ev";
  p.root = "ev";
  p.primary_pos = PrimaryPos::Noun;
  p.pos = PrimaryPos::Noun;
  p.secondary_pos = SecondaryPos::ProperNoun;
  p.morpheme_tags = {"Noun", "A3pl"};
  p.formatted = "[ev:Noun] ev:Noun+A3pl";
  p.score = 0.95f;
  auto j = p.to_json();
  ASSERT_TRUE(j.ok());
  EXPECT_EQ(j.value(),
            "{\"surface\":\"Ev\\\"ler\",\"lemma\":\"ev\",\"root\":\"ev\",\"primary_pos\":\"Noun\",\"pos\":\"Noun\","
            "\"secondary_pos\":\"ProperNoun\",\"morpheme_tags\":[\"Noun\",\"A3pl\"],\"formatted\":\"[ev:Noun] "
            "ev:Noun+A3pl\",\"score\":0.95}");
  p.surface = "\xff";
  auto bad = p.to_json();
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().kind, ErrorKind::Json);
  p.surface = "ev";
  for (auto [score, text] : {std::pair{1.0f, "\"score\":1.0}"}, std::pair{0.6f, "\"score\":0.6}"},
                             std::pair{0.98f, "\"score\":0.98}"},
                             std::pair{std::numeric_limits<float>::quiet_NaN(), "\"score\":null}"}}) {
    p.score = score;
    std::string json = p.to_json().value();
    EXPECT_EQ(json.substr(json.size() - std::string(text).size()), text);
  }
}

TEST(Analyzer, SecondaryShortCodes) {
  EXPECT_EQ(secondary_short_code(SecondaryPos::None), "");
  EXPECT_EQ(secondary_short_code(SecondaryPos::ProperNoun), "Prop");
  EXPECT_EQ(secondary_short_code(SecondaryPos::Percentage), "Percent");
  EXPECT_EQ(secondary_short_code(SecondaryPos::Abbreviation), "Abbrv");
}

TEST(Analyzer, LoadedEntriesStayInTheirInstance) {
  TurkishMorphology a;
  TurkishMorphology b;
  EXPECT_FALSE(a.owns_lexicon());
  EXPECT_EQ(&a.lexicon(), &RootLexicon::shared());
  a.load_dictionary_str("zorbax zorbax Noun\n");
  EXPECT_TRUE(a.owns_lexicon());
  EXPECT_FALSE(a.analyze("zorbaxlar").empty());
  EXPECT_TRUE(b.analyze("zorbaxlar").empty());
  EXPECT_TRUE(TurkishMorphology().analyze("zorbax").empty());
  EXPECT_FALSE(RootLexicon::shared().contains_root("zorbax"));
  // A copy owns its own lexicon.
  TurkishMorphology c = a;
  c.load_dictionary_str("qorbu qorbu Verb\n");
  EXPECT_FALSE(c.analyze("qorbudu").empty());
  EXPECT_TRUE(a.analyze("qorbudu").empty());
  EXPECT_FALSE(c.analyze("zorbax").empty());
}

TEST(Analyzer, MissingFileChangesNothing) {
  TurkishMorphology m;
  auto r = m.load_dictionary_file("/nonexistent/selvo-lexicon.txt");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Io);
  EXPECT_FALSE(m.owns_lexicon());
}

TEST(Analyzer, RepeatedTransitionsGiveOneAnalysisPerChain) {
  // The causative is listed twice in the graph; every chain of tags still
  // appears once in a regular analysis.
  std::string w = "gel";
  for (int i = 0; i < 9; ++i) w += "dir";
  auto ps = morph().analyze(w);
  std::string chain = "[gel:Verb] gel:Verb";
  for (int i = 0; i < 9; ++i) chain += "+Caus";
  size_t n = 0;
  for (const MorphParse& p : ps) n += p.formatted == chain;
  EXPECT_EQ(n, 1u);
  // The temporary proper noun's analyses come in search order, repeats
  // included: la+t+tır reaches Caus+Caus along 2 x 2 paths.
  auto fallback = morph().analyze("Qwx'lattır");
  size_t caus2 = 0;
  for (const MorphParse& p : fallback) caus2 += p.formatted == "[qwx:Noun] qwx:Noun+NounToVerb+Caus+Caus";
  EXPECT_EQ(caus2, 4u);
  EXPECT_EQ(fallback.size(), 8u);
}

TEST(Analyzer, HostileWordsFinishQuickly) {
  std::vector<std::string> words = {std::string(60, 'a'), std::string(200, 'l'),
                                    "çalıştırılamayacaklarındanmışçasınaymışlardırcıklarcık",
                                    std::string(100, '\'')};
  std::string rep;
  for (int i = 0; i < 20; ++i) rep += "lar";
  words.push_back("ev" + rep);
  std::string caus = "gel";
  for (int i = 0; i < 30; ++i) caus += "dir";
  words.push_back(caus);
  // Far longer than any root: splitting stops once no stem can be a root.
  words.push_back(std::string(200000, 'k'));
  words.push_back("ev" + std::string(100000, 'e'));
  for (const std::string& w : words) {
    auto ps = morph().analyze(w);  // must not crash or hang
    for (const MorphParse& p : ps) EXPECT_LE(p.morpheme_tags.size(), 11u);
  }
}

}  // namespace
}  // namespace selvo

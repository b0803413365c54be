#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "embeddings/embeddings.h"
#include "pii/engine.h"
#include "pii/names.h"
#include "pii/scorer.h"

namespace selvo {
namespace {

std::shared_ptr<const TurkishEmbeddings> model() {
  static const auto m = std::make_shared<const TurkishEmbeddings>();
  return m;
}

const PiiEmbeddingScorer& scorer() {
  static const PiiEmbeddingScorer s(model());
  return s;
}

bool has(const std::vector<PiiEntity>& es, std::string_view label, std::string_view text) {
  for (const PiiEntity& e : es) {
    if (e.label == label && e.text == text) return true;
  }
  return false;
}

TEST(PiiScorer, CosineRule) {
  using V = std::vector<float>;
  EXPECT_FLOAT_EQ(PiiEmbeddingScorer::cosine(V{1, 0}, V{1, 0}), 1.0f);
  EXPECT_FLOAT_EQ(PiiEmbeddingScorer::cosine(V{1, 0}, V{0, 1}), 0.0f);
  EXPECT_FLOAT_EQ(PiiEmbeddingScorer::cosine(V{0, 0}, V{1, 1}), 0.0f);
  // The dot product runs over the shorter vector, each norm over its own.
  EXPECT_FLOAT_EQ(PiiEmbeddingScorer::cosine(V{1, 1}, V{1}), 1.0f / std::sqrt(2.0f));
}

TEST(PiiScorer, AnchorsAreTheEmbeddedTexts) {
  const PiiEmbeddingScorer& s = scorer();
  EXPECT_EQ(s.anchor(PiiEmbeddingScorer::Health),
            model()->embed("hastalık tanı teşhis tedavi ilaç kanser diyabet ameliyat tahlil sağlık raporu"));
  for (size_t i = 0; i < PiiEmbeddingScorer::kAnchorCount; ++i) {
    EXPECT_EQ(s.anchor(i).size(), TurkishEmbeddings::dimension);
  }
  // Similar to its own anchor text.
  EXPECT_NEAR(s.score_similarity("insan kişi vatandaş müşteri çalışan hasta hekim avukat müvekkil öğrenci "
                                 "yetkili müdür uzman",
                                 PiiEmbeddingScorer::Person),
              1.0f, 1e-5f);
}

TEST(PiiScorer, ZeroVectorContext) {
  std::vector<float> v = model()->embed("");
  bool zero = std::all_of(v.begin(), v.end(), [](float x) { return x == 0.0f; });
  ASSERT_TRUE(zero) << "the empty text is expected to embed to the zero vector";
  EXPECT_TRUE(scorer().is_person_context(""));
  EXPECT_FALSE(scorer().is_private_date_context(""));
}

TEST(PiiScorer, EngineDecidesWithItsScorer) {
  TurkishPiiEngine plain;
  TurkishPiiEngine engine = TurkishPiiEngine::with_embeddings(model());
  EXPECT_FALSE(plain.has_embedding_scorer());
  ASSERT_TRUE(engine.has_embedding_scorer());
  const PiiEmbeddingScorer& s = *engine.embedding_scorer();

  struct Case {
    std::string text;
    std::string label;
    std::string value;
    std::string context;  // what the scorer is asked
    bool person;          // name rule (is_person_context) or date rules
  };
  const std::vector<Case> cases = {
      {"Deniz kenarında yürüdük", "AD", "Deniz", "kenarında yürüdük", true},
      {"dün Deniz ile avukatın yanına gittik", "AD", "Deniz", "dün   ile avukatın yanına gittik", true},
      {"Muayene 12.05.2021 günü yapıldı", "DOGUM_TARIHI", "12.05.2021", "Muayene 12.05.2021 günü yapıldı", false},
      {"Festival 3 haziran tarihinde başlıyor", "DOGUM_TARIHI", "3 haziran", "Festival 3 haziran tarihinde başlıyor",
       false},
  };
  for (const Case& c : cases) {
    bool expected = c.person ? s.is_person_context(c.context) : s.is_private_date_context(c.context);
    std::vector<PiiEntity> out;
    if (c.person) {
      detect_names_and_persons(engine, c.text, out);
    } else {
      detect_pattern_entities(c.text, PatternSettings{true, true, &s}, out);
    }
    EXPECT_EQ(has(out, c.label, c.value), expected) << c.text;
    // Without a scorer neither the polysemous name nor the bare date is reported.
    std::vector<PiiEntity> none;
    if (c.person) {
      detect_names_and_persons(plain, c.text, none);
    } else {
      detect_pattern_entities(c.text, PatternSettings{}, none);
    }
    EXPECT_FALSE(has(none, c.label, c.value)) << c.text;
  }
}

TEST(PiiScorer, HealthWordBeforeATrigger) {
  TurkishPiiEngine engine = TurkishPiiEngine::with_embeddings(model());
  const PiiEmbeddingScorer& s = *engine.embedding_scorer();
  for (std::string word : {"migren", "fibromiyalji", "bisiklet"}) {
    std::string text = "Annemin " + word + " tanısı kondu.";
    std::vector<PiiEntity> out;
    engine.detect_sensitive_categories(text, out);
    bool expected = s.score_similarity(word, PiiEmbeddingScorer::Health) >= 0.25f;
    EXPECT_EQ(has(out, "SAGLIK", word), expected) << word;
    std::vector<PiiEntity> plain_out;
    TurkishPiiEngine().detect_sensitive_categories(text, plain_out);
    EXPECT_FALSE(has(plain_out, "SAGLIK", word)) << word;
  }
}

}  // namespace
}  // namespace selvo

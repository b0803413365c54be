#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chunking/sentence_chunker.h"
#include "embeddings/embeddings.h"

namespace selvo {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> with_first(std::vector<float> head) {
  head.resize(EMBEDDING_DIMENSION, 0.0f);
  return head;
}

TEST(Packing, OneBitSetsExactlyThePositiveDimensions) {
  const auto p = pack_1bit(with_first({1.0f, 0.0f, -0.0f, kNaN, -1.0f, 1e-30f, 0.5f, 0.0f, 2.0f}));
  EXPECT_EQ(p[0], 0b01100001);
  EXPECT_EQ(p[1], 0b00000001);
  for (size_t j = 2; j < p.size(); ++j) EXPECT_EQ(p[j], 0);
}

TEST(Packing, TwoBitCodesFollowTheThresholds) {
  struct Case {
    float x;
    uint8_t code;
  };
  const Case cases[] = {{-1.0f, 0}, {-0.0625001f, 0}, {-0.0625f, 1}, {-1e-9f, 1}, {-0.0f, 2}, {0.0f, 2},
                        {0.0624f, 2}, {0.0625f, 3}, {5.0f, 3}, {kNaN, 3},
                        {-std::numeric_limits<float>::infinity(), 0}};
  for (const Case& c : cases) {
    // Dimension 5 is bits 2-3 of byte 1; all other dimensions are 0 (code 2).
    std::vector<float> v(EMBEDDING_DIMENSION, 0.0f);
    v[5] = c.x;
    const auto p = pack_2bit(v);
    EXPECT_EQ((p[1] >> 2) & 3, c.code) << c.x;
    EXPECT_EQ(p[1] & ~0b1100, 0b10100010);
    EXPECT_EQ(p[0], 0xAA);
  }
}

TEST(Distances, OneBitCountsDifferingBits) {
  Packed1Bit a{}, b{};
  EXPECT_EQ(distance_1bit(a.data(), a.data()), 0.0f);
  b.fill(0xFF);
  EXPECT_EQ(distance_1bit(a.data(), b.data()), 1.0f);
  b.fill(0);
  b[31] = 0x81;
  b[8] = 0x10;
  EXPECT_EQ(distance_1bit(a.data(), b.data()), 3.0f / 256.0f);
}

TEST(Distances, TwoBitCosineUsesTheCodeLevels) {
  Packed2Bit zeros{}, ones{}, mid{};
  ones.fill(0xFF);
  mid.fill(0xAA);  // every level +1
  struct Case {
    const Packed2Bit& a;
    const Packed2Bit& b;
    float cosine;
  };
  const Case cases[] = {
      {zeros, ones, -1.0f},  // levels -3 against +3
      {ones, ones, 1.0f},
      {mid, ones, 1.0f},  // same direction, different magnitudes
      {zeros, mid, -1.0f},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(cosine_2bit(c.a.data(), c.b.data()), c.cosine);
    EXPECT_FLOAT_EQ(distance_2bit(c.a.data(), c.b.data()), 1.0f - c.cosine);
  }
  // 0x0F holds the levels 3, 3, -3, -3 and 0xF0 their opposites.
  Packed2Bit half{};
  half.fill(0x0F);
  Packed2Bit flipped{};
  flipped.fill(0xF0);
  EXPECT_FLOAT_EQ(cosine_2bit(half.data(), flipped.data()), -1.0f);
  EXPECT_FLOAT_EQ(cosine_2bit(half.data(), ones.data()), 0.0f);
  // Any byte pattern has a positive self-product, so its distance to itself is 0.
  for (int byte = 0; byte < 256; ++byte) {
    Packed2Bit x{};
    x.fill(static_cast<uint8_t>(byte));
    EXPECT_EQ(distance_2bit(x.data(), x.data()), 0.0f) << byte;
  }
}

TEST(Distances, ExportedMetricsGuardSizeAndPointers) {
  Packed2Bit a{}, b{};
  b.fill(0xFF);
  EXPECT_FLOAT_EQ(selvo_usearch_metric_2bit(a.data(), b.data(), 64), 2.0f);
  EXPECT_FLOAT_EQ(selvo_usearch_metric_2bit(a.data(), b.data(), 512), 2.0f);  // a size in bits is fine too
  EXPECT_EQ(selvo_usearch_metric_2bit(a.data(), b.data(), 63), 1.0f);
  EXPECT_EQ(selvo_usearch_metric_2bit(nullptr, b.data(), 64), 1.0f);
  EXPECT_EQ(selvo_usearch_metric_2bit(a.data(), nullptr, 64), 1.0f);
  EXPECT_EQ(selvo_usearch_metric_1bit(a.data(), b.data(), 32), 1.0f);
  EXPECT_EQ(selvo_usearch_metric_1bit(a.data(), a.data(), 32), 0.0f);
  EXPECT_EQ(selvo_usearch_metric_1bit(a.data(), a.data(), 31), 1.0f);
  EXPECT_EQ(selvo_usearch_metric_1bit(nullptr, nullptr, 32), 1.0f);
}

TEST(Cosine, HandlesUnequalAndZeroVectors) {
  struct Case {
    std::vector<float> u, v;
    float expected;
  };
  const Case cases[] = {
      {{1, 0}, {0, 1}, 0.0f},
      {{1, 2, 3}, {1, 2}, static_cast<float>(5.0 / (std::sqrt(14.0) * std::sqrt(5.0)))},
      {{2, 0}, {3, 0}, 1.0f},
      {{1, 1}, {}, 0.0f},
      {{}, {1}, 0.0f},
      {{0, 0}, {1, 1}, 0.0f},
      {{1, 0}, {-1, 0}, -1.0f},
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(cosine_similarity(c.u, c.v), c.expected);
}

class EmbeddingModel : public ::testing::Test {
 protected:
  static const TurkishEmbeddings& model() {
    static const TurkishEmbeddings m;
    return m;
  }
};

TEST_F(EmbeddingModel, VectorsAreUnitOrZero) {
  EXPECT_EQ(model().embed(""), std::vector<float>(EMBEDDING_DIMENSION, 0.0f));
  EXPECT_EQ(model().embed(" \n"), std::vector<float>(EMBEDDING_DIMENSION, 0.0f));
  for (const char* text : {"a", "Kedi", "Ankara Türkiye'nin başkentidir.", "\u2603", "12345 !!!"}) {
    const auto v = model().embed(text);
    ASSERT_EQ(v.size(), EMBEDDING_DIMENSION);
    double sq = 0;
    for (float x : v) sq += static_cast<double>(x) * x;
    EXPECT_NEAR(std::sqrt(sq), 1.0, 1e-5) << text;
  }
  EXPECT_EQ(model().similarity("", "x"), 0.0f);
  EXPECT_NEAR(model().similarity("Kitap okuyorum", "Kitap okuyorum"), 1.0f, 1e-5);
}

TEST_F(EmbeddingModel, PackedFormsOfTheZeroVector) {
  Packed2Bit aa{};
  aa.fill(0xAA);
  EXPECT_EQ(model().embed_packed_1bit(""), Packed1Bit{});
  EXPECT_EQ(model().embed_packed_2bit(""), aa);
}

TEST_F(EmbeddingModel, RelatedSentencesAreCloserThanUnrelatedOnes) {
  const float near = model().similarity("Kedi süt içiyor.", "Kedi biraz süt içti.");
  const float far = model().similarity("Kedi süt içiyor.", "Borsa bugün sert düştü.");
  EXPECT_GT(near, far + 0.1f);
}

TEST_F(EmbeddingModel, BatchesAgreeWithSingleCalls) {
  const std::vector<std::string> texts = {"Merhaba dünya.", "", "Yarın İzmir'e gideceğim."};
  const auto dense = model().embed_batch(texts);
  const auto one = model().embed_batch_packed_1bit(texts);
  const auto two = model().embed_batch_packed_2bit(texts);
  ASSERT_EQ(dense.size(), 3u);
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(dense[i], model().embed(texts[i]));
    EXPECT_EQ(one[i], pack_1bit(dense[i]));
    EXPECT_EQ(two[i], pack_2bit(dense[i]));
  }
}

TEST(SentenceGrouping, PacksUpToTheBudgetWithOverlap) {
  using Ranges = std::vector<std::pair<size_t, size_t>>;
  struct Case {
    std::vector<size_t> counts;
    size_t size, overlap, min;
    Ranges ranges;
  };
  const std::vector<size_t> tens(7, 10);
  const Case cases[] = {
      {{}, 10, 0, 1, {}},
      {{3, 3, 3}, 512, 0, 1, {{0, 3}}},
      {{3, 3, 3}, 1, 0, 1, {{0, 1}, {1, 2}, {2, 3}}},
      {{3, 3, 3}, 1, 0, 2, {{0, 2}, {2, 3}}},
      {{50, 1, 1}, 10, 0, 1, {{0, 1}, {1, 3}}},  // an oversized sentence is a chunk of its own
      {tens, 30, 10, 1, {{0, 3}, {2, 5}, {4, 7}}},
      {tens, 30, 9, 1, {{0, 3}, {3, 6}, {6, 7}}},
      {tens, 30, 20, 1, {{0, 3}, {1, 4}, {2, 5}, {3, 6}, {4, 7}}},
      {tens, 30, 100, 1, {{0, 3}, {1, 4}, {2, 5}, {3, 6}, {4, 7}}},  // never back to the same start
      {tens, 10, 10, 1, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}}},  // one-sentence chunks: no overlap
      {{5, 5, 20, 5}, 10, 5, 1, {{0, 2}, {1, 2}, {2, 3}, {3, 4}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(group_sentences(c.counts, c.size, c.overlap, c.min), c.ranges)
        << "size " << c.size << " overlap " << c.overlap << " min " << c.min;
  }
}

TEST(SentenceChunker, ReportsCharacterOffsetsAndOriginalText) {
  const SentenceChunker chunker(1);
  const std::string text = "Çiçek açtı.  Şu an güneş var!\nGüzel.";
  const auto chunks = chunker.chunk(text);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].text, "Çiçek açtı.");
  EXPECT_EQ(chunks[0].start_index, 0u);
  EXPECT_EQ(chunks[0].end_index, 11u);
  EXPECT_EQ(chunks[1].text, "Şu an güneş var!");
  EXPECT_EQ(chunks[1].start_index, 13u);
  EXPECT_EQ(chunks[1].end_index, 29u);
  EXPECT_EQ(chunks[1].byte_start, 17u);
  EXPECT_EQ(chunks[2].start_index, 30u);

  const auto whole = SentenceChunker().chunk(text);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].text, text);
  EXPECT_EQ(whole[0].sentences, (std::vector<std::string>{"Çiçek açtı.", "Şu an güneş var!", "Güzel."}));
  EXPECT_EQ(whole[0].token_count, chunks[0].token_count + chunks[1].token_count + chunks[2].token_count);
  EXPECT_TRUE(SentenceChunker().chunk(" \u3000\n").empty());
}

TEST(ChunkRepr, CutsLongTextByCharacters) {
  Chunk c;
  c.token_count = 7;
  c.start_index = 2;
  c.end_index = 47;
  c.text = std::string(40, 'a');
  EXPECT_EQ(c.repr(), "<Chunk tokens=7 (2:47) text='" + std::string(40, 'a') + "'>");
  std::string turkish;
  for (int i = 0; i < 45; ++i) turkish += "ş";
  c.text = turkish;
  std::string shown;
  for (int i = 0; i < 37; ++i) shown += "ş";
  EXPECT_EQ(c.repr(), "<Chunk tokens=7 (2:47) text='" + shown + "...'>");
}

}  // namespace
}  // namespace selvo

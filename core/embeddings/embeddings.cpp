#include "embeddings/embeddings.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace selvo {

namespace {

// P(a, b): the sum over the four codes of two bytes of the products of
// their levels 2c - 3, from -36 to 36.
struct PairTable {
  int8_t p[256][256];
  constexpr PairTable() : p{} {
    for (int a = 0; a < 256; ++a) {
      for (int b = 0; b < 256; ++b) {
        int sum = 0;
        for (int k = 0; k < 4; ++k) sum += (2 * ((a >> (2 * k)) & 3) - 3) * (2 * ((b >> (2 * k)) & 3) - 3);
        p[a][b] = static_cast<int8_t>(sum);
      }
    }
  }
};

const PairTable& pair_table() {
  static constexpr PairTable table;
  return table;
}

uint8_t code_2bit(float x) {
  if (x < -EMBEDDING_SCALE_2BIT) return 0;
  if (x < 0) return 1;
  if (x < EMBEDDING_SCALE_2BIT) return 2;
  return 3;  // also NaN, which fails every comparison above
}

}  // namespace

float cosine_similarity(std::span<const float> u, std::span<const float> v) noexcept {
  if (v.empty()) return 0;
  const size_t n = std::min(u.size(), v.size());
  double dot = 0, uu = 0, vv = 0;
  for (size_t i = 0; i < n; ++i) dot += static_cast<double>(u[i]) * v[i];
  for (float x : u) uu += static_cast<double>(x) * x;
  for (float x : v) vv += static_cast<double>(x) * x;
  const double nu = std::sqrt(uu), nv = std::sqrt(vv);
  if (nu < 1e-12 || nv < 1e-12) return 0;
  return static_cast<float>(dot / (nu * nv));
}

Packed1Bit pack_1bit(std::span<const float> v) noexcept {
  Packed1Bit out{};
  for (size_t d = 0; d < EMBEDDING_DIMENSION && d < v.size(); ++d) {
    if (v[d] > 0) out[d / 8] |= static_cast<uint8_t>(1u << (d % 8));
  }
  return out;
}

Packed2Bit pack_2bit(std::span<const float> v) noexcept {
  Packed2Bit out{};
  for (size_t d = 0; d < EMBEDDING_DIMENSION; ++d) {
    const float x = d < v.size() ? v[d] : 0.0f;
    out[d / 4] |= static_cast<uint8_t>(code_2bit(x) << (2 * (d % 4)));
  }
  return out;
}

float distance_1bit(const uint8_t* a, const uint8_t* b) noexcept {
  int bits = 0;
  for (size_t i = 0; i < PACKED_1BIT_BYTES; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    bits += std::popcount(x ^ y);
  }
  return static_cast<float>(bits) / 256.0f;
}

float cosine_2bit(const uint8_t* a, const uint8_t* b) noexcept {
  const PairTable& t = pair_table();
  int dot = 0, na = 0, nb = 0;
  for (size_t j = 0; j < PACKED_2BIT_BYTES; ++j) {
    dot += t.p[a[j]][b[j]];
    na += t.p[a[j]][a[j]];
    nb += t.p[b[j]][b[j]];
  }
  if (na <= 0 || nb <= 0) return 0;
  const float d = std::sqrt(static_cast<float>(na) * static_cast<float>(nb));
  if (d < 1e-12f) return 0;
  return std::clamp(static_cast<float>(dot) / d, -1.0f, 1.0f);
}

float distance_2bit(const uint8_t* a, const uint8_t* b) noexcept {
  return std::max(1.0f - cosine_2bit(a, b), 0.0f);
}

TurkishEmbeddings::TurkishEmbeddings()
    : tokenizer_(&UnigramTokenizer::shared()), weights_(EmbeddingWeights::shared()) {}

std::vector<float> TurkishEmbeddings::embed(std::string_view text) const {
  std::vector<float> sum(EMBEDDING_DIMENSION, 0.0f);
  const std::vector<uint32_t> ids = tokenizer_->encode(text);
  const size_t rows = weights_->rows();
  size_t m = 0;
  for (uint32_t id : ids) {
    if (id >= rows) continue;
    weights_->add_row(id, sum.data());
    ++m;
  }
  if (m == 0) return sum;
  const float inv_m = 1.0f / static_cast<float>(m);
  double sq = 0;
  for (float& x : sum) {
    x *= inv_m;
    sq += static_cast<double>(x) * x;
  }
  const double len = std::sqrt(sq);
  if (len > 1e-12) {
    const float inv = static_cast<float>(1.0 / len);
    for (float& x : sum) x *= inv;
  }
  return sum;
}

std::vector<std::vector<float>> TurkishEmbeddings::embed_batch(const std::vector<std::string>& texts) const {
  std::vector<std::vector<float>> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(embed(t));
  return out;
}

float TurkishEmbeddings::similarity(std::string_view a, std::string_view b) const {
  return cosine_similarity(embed(a), embed(b));
}

std::vector<Packed1Bit> TurkishEmbeddings::embed_batch_packed_1bit(const std::vector<std::string>& texts) const {
  std::vector<Packed1Bit> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(embed_packed_1bit(t));
  return out;
}

std::vector<Packed2Bit> TurkishEmbeddings::embed_batch_packed_2bit(const std::vector<std::string>& texts) const {
  std::vector<Packed2Bit> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(embed_packed_2bit(t));
  return out;
}

}  // namespace selvo

extern "C" float selvo_usearch_metric_1bit(const void* a, const void* b, size_t n) {
  if (n < selvo::PACKED_1BIT_BYTES || a == nullptr || b == nullptr) return 1.0f;
  return selvo::distance_1bit(static_cast<const uint8_t*>(a), static_cast<const uint8_t*>(b));
}

extern "C" float selvo_usearch_metric_2bit(const void* a, const void* b, size_t n) {
  if (n < selvo::PACKED_2BIT_BYTES || a == nullptr || b == nullptr) return 1.0f;
  return selvo::distance_2bit(static_cast<const uint8_t*>(a), static_cast<const uint8_t*>(b));
}

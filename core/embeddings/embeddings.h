// Static sentence embeddings: the mean of the table rows of a text's subword
// ids, scaled to unit length; their 1-bit (32-byte) and 2-bit (64-byte)
// packed forms with matching distances; and those distances exported as C
// functions for an external vector index (USearch), which calls them by
// address from its own threads.
//
// Packed layouts. 1-bit: bit k of byte j is set exactly when dimension
// 8j+k is > 0. 2-bit: bits 2k, 2k+1 of byte j hold the code of dimension
// 4j+k: 0 below -EMBEDDING_SCALE_2BIT, 1 below 0, 2 below the scale, else 3
// (NaN gives 3). A code c stands for the level 2c-3 in distances.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "embeddings/embedding_table.h"
#include "embeddings/unigram_tokenizer.h"

namespace selvo {

inline constexpr size_t PACKED_1BIT_BYTES = 32;
inline constexpr size_t PACKED_2BIT_BYTES = 64;
inline constexpr float EMBEDDING_SCALE_2BIT = 0.0625f;

using Packed1Bit = std::array<uint8_t, PACKED_1BIT_BYTES>;
using Packed2Bit = std::array<uint8_t, PACKED_2BIT_BYTES>;

// Cosine over the first min(|u|, |v|) positions, with each list's whole
// length; 0 when v is empty or either length is below 1e-12.
float cosine_similarity(std::span<const float> u, std::span<const float> v) noexcept;

Packed1Bit pack_1bit(std::span<const float> vector) noexcept;  // reads 256 floats
Packed2Bit pack_2bit(std::span<const float> vector) noexcept;  // reads 256 floats

// Share of differing bits of two 32-byte vectors, 0 to 1.
float distance_1bit(const uint8_t* a, const uint8_t* b) noexcept;
// Cosine of two 64-byte vectors over the code levels, in [-1, 1]; 0 when
// either has no positive self-product.
float cosine_2bit(const uint8_t* a, const uint8_t* b) noexcept;
// max(1 - cosine_2bit, 0), 0 to 2.
float distance_2bit(const uint8_t* a, const uint8_t* b) noexcept;

class TurkishEmbeddings {
 public:
  static constexpr size_t dimension = EMBEDDING_DIMENSION;

  // Builds the shared tokenizer on first use and takes the dequantized
  // table of the embedded archive (one copy shared by the models alive).
  TurkishEmbeddings();

  std::vector<float> embed(std::string_view text) const;
  std::vector<std::vector<float>> embed_batch(const std::vector<std::string>& texts) const;
  std::vector<uint32_t> tokenize(std::string_view text) const { return tokenizer_->encode(text); }
  float similarity(std::string_view a, std::string_view b) const;

  Packed1Bit embed_packed_1bit(std::string_view text) const { return pack_1bit(embed(text)); }
  Packed2Bit embed_packed_2bit(std::string_view text) const { return pack_2bit(embed(text)); }
  std::vector<Packed1Bit> embed_batch_packed_1bit(const std::vector<std::string>& texts) const;
  std::vector<Packed2Bit> embed_batch_packed_2bit(const std::vector<std::string>& texts) const;

  const UnigramTokenizer& tokenizer() const { return *tokenizer_; }
  const EmbeddingWeights& weights() const { return *weights_; }

 private:
  const UnigramTokenizer* tokenizer_;
  std::shared_ptr<const EmbeddingWeights> weights_;
};

}  // namespace selvo

// Metrics for USearch (C calling convention, exported from the library).
// Both return 1.0 when n is below the packed size or a pointer is null, and
// never read past the packed size.
extern "C" {
__attribute__((visibility("default"))) float selvo_usearch_metric_1bit(const void* a, const void* b, size_t n);
__attribute__((visibility("default"))) float selvo_usearch_metric_2bit(const void* a, const void* b, size_t n);
}

// The static token embedding table: one 256-dimensional vector per subword
// id, stored compactly as a NumPy archive (a ZIP file of .npy arrays) of
// 2-bit codes with one half-precision scale per row.
//
// The loaded table keeps the codes (64 bytes a row) and the scales widened
// to single precision, and expands a row to floats where it is read: a
// sentence touches one cache line per piece instead of sixteen, and the
// table takes 2.6 MB instead of 40. Every value is exactly the dequantized
// (code - 1.5) * scale of a fully expanded table.
//
// Archive members read: "packed_indices.npy" (bytes, shape (rows, 64), four
// codes a byte, lowest bits first) and "scales.npy" (little-endian halves,
// shape (rows,)). Dimension 4i+k of a row is (code - 1.5) * scale, where the
// code is (byte i >> 2k) & 3. Other members are read past and ignored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "embeddings/load_result.h"

namespace selvo {

inline constexpr size_t EMBEDDING_DIMENSION = 256;
inline constexpr size_t PACKED_ROW_BYTES = EMBEDDING_DIMENSION / 4;

struct WeightsError {
  enum class Kind {
    Io,                 // a member cannot be read; `message` says why
    MissingArray,       // `message` is the array name ("packed_indices" or "scales")
    InvalidNpy,         // an NPY header or compression problem; `message` says which
    DimensionMismatch,  // the arrays' sizes disagree: `expected`, `got`
  };
  Kind kind = Kind::Io;
  std::string message;
  size_t expected = 0;
  size_t got = 0;

  std::string describe() const;
  bool operator==(const WeightsError&) const = default;

  static WeightsError io(std::string m) { return {Kind::Io, std::move(m), 0, 0}; }
  static WeightsError missing(std::string name) { return {Kind::MissingArray, std::move(name), 0, 0}; }
  static WeightsError npy(std::string m) { return {Kind::InvalidNpy, std::move(m), 0, 0}; }
  static WeightsError mismatch(size_t expected, size_t got) {
    return {Kind::DimensionMismatch, {}, expected, got};
  }
};

// The data bytes and the shape of one .npy file.
struct NpyArray {
  std::string_view data;  // borrowed from the input
  std::vector<size_t> shape;
};

// Reads the header of a .npy file (format 1.x or 2.x): its shape, and the
// data after the header. The dtype is not checked; the caller knows it.
LoadResult<NpyArray, WeightsError> parse_npy_raw(std::string_view bytes);

// One member of a ZIP archive, decompressed.
struct ZipMember {
  std::string name;  // as stored
  uint16_t method = 0;  // 0 stored, 8 deflated
  std::string data;
};

// The members of a ZIP archive, walking its local headers from the start
// (the central directory is not read; sizes must be in the local headers).
// Errors: Io for a truncated header or data and a corrupt deflate stream,
// InvalidNpy for a compression method other than 0 and 8.
LoadResult<std::vector<ZipMember>, WeightsError> read_zip_members(std::string_view bytes);

// IEEE 754 binary16 to binary32, exact (subnormals, infinities, NaN).
float half_to_float(uint16_t h) noexcept;

class EmbeddingWeights {
 public:
  static LoadResult<EmbeddingWeights, WeightsError> from_npz_bytes(std::string_view bytes);

  // The table of the embedded archive, shared by every model alive; built
  // again only after all of them are gone. A broken archive is an internal
  // fault.
  static std::shared_ptr<const EmbeddingWeights> shared();
  // Loads an archive compiled into the library: an InternalFault "failed to
  // load embedded weights" if it does not load.
  static EmbeddingWeights from_embedded(std::string_view bytes);

  size_t rows() const { return rows_; }
  float scale(size_t r) const { return scales_[r]; }
  // Dimension d of row r.
  float value(size_t r, size_t d) const;
  // Row r expanded to floats.
  std::array<float, EMBEDDING_DIMENSION> row(size_t r) const;
  // sum[d] += dimension d of row r, for d = 0 ... 255.
  void add_row(size_t r, float* sum) const;
  // The whole table expanded, rows x 256 floats.
  std::vector<float> dequantized() const;

 private:
  std::vector<uint8_t> codes_;  // rows_ x 64
  std::vector<float> scales_;   // rows_
  size_t rows_ = 0;
};

}  // namespace selvo

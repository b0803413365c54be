#include "embeddings/embedding_table.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <mutex>
#include <optional>

#include "util/resource.h"
#include "util/utf8.h"

namespace selvo {

namespace {

constexpr std::string_view kTruncated = "failed to fill whole buffer";
// No member of a table archive comes near this; a larger one is refused
// rather than inflated without bound.
constexpr size_t kMaxMemberBytes = size_t{1} << 31;

uint16_t u16_at(std::string_view s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}

uint32_t u32_at(std::string_view s, size_t at) {
  return static_cast<uint32_t>(u16_at(s, at)) | (static_cast<uint32_t>(u16_at(s, at + 2)) << 16);
}

// Raw deflate (no zlib header), as in ZIP method 8.
LoadResult<std::string, WeightsError> inflate_raw(std::string_view in) {
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return WeightsError::io("cannot start the deflate decoder");
  std::string out;
  out.resize(std::clamp<size_t>(in.size() * 4, 4096, size_t{1} << 26));  // grows as needed
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  int rc = Z_OK;
  while (true) {
    if (z.total_out == out.size()) {
      if (out.size() >= kMaxMemberBytes) {
        inflateEnd(&z);
        return WeightsError::io("archive member too large");
      }
      out.resize(std::min(out.size() * 2, kMaxMemberBytes));
    }
    z.next_out = reinterpret_cast<Bytef*>(out.data() + z.total_out);
    z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - z.total_out, 1u << 30));
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && z.avail_in == 0) {
      inflateEnd(&z);
      return WeightsError::io("corrupt deflate stream: unexpected end of data");
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      std::string why = z.msg ? z.msg : "inflate failed";
      inflateEnd(&z);
      return WeightsError::io("corrupt deflate stream: " + why);
    }
  }
  out.resize(z.total_out);
  inflateEnd(&z);
  return out;
}

std::string_view trim(std::string_view s) {
  const char* ws = " \t\r\n\f\v";
  size_t b = s.find_first_not_of(ws);
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

bool checked_mul(size_t a, size_t b, size_t& out) { return !__builtin_mul_overflow(a, b, &out); }

}  // namespace

std::string WeightsError::describe() const {
  switch (kind) {
    case Kind::Io:
      return "io error: " + message;
    case Kind::MissingArray:
      return "missing array: " + message;
    case Kind::InvalidNpy:
      return "invalid npy: " + message;
    case Kind::DimensionMismatch:
      return "dimension mismatch: expected " + std::to_string(expected) + ", got " + std::to_string(got);
  }
  return message;
}

float half_to_float(uint16_t h) noexcept {
  const uint32_t sign = static_cast<uint32_t>(h & 0x8000u) << 16;
  uint32_t exp = (h >> 10) & 0x1Fu;
  uint32_t mant = h & 0x3FFu;
  uint32_t bits;
  if (exp == 0x1F) {
    bits = sign | 0x7F800000u | (mant << 13);  // infinity or NaN (payload kept)
  } else if (exp != 0) {
    bits = sign | ((exp + 112) << 23) | (mant << 13);
  } else if (mant == 0) {
    bits = sign;  // signed zero
  } else {
    // Subnormal: shift the mantissa up until its leading one is implicit.
    int e = -1;
    do {
      ++e;
      mant <<= 1;
    } while ((mant & 0x400u) == 0);
    bits = sign | (static_cast<uint32_t>(112 - e) << 23) | ((mant & 0x3FFu) << 13);
  }
  return std::bit_cast<float>(bits);
}

LoadResult<NpyArray, WeightsError> parse_npy_raw(std::string_view bytes) {
  if (bytes.size() < 10 || bytes.substr(0, 6) != std::string_view("\x93NUMPY", 6)) {
    return WeightsError::npy("bad magic number");
  }
  const auto major = static_cast<unsigned char>(bytes[6]);
  size_t header_len = 0;
  size_t header_at = 0;
  if (major == 1) {
    header_len = u16_at(bytes, 8);
    header_at = 10;
  } else if (major == 2) {
    if (bytes.size() < 12) return WeightsError::npy("truncated v2 header");
    header_len = u32_at(bytes, 8);
    header_at = 12;
  } else {
    return WeightsError::npy("unsupported npy version");
  }
  if (header_len > bytes.size() - header_at) return WeightsError::npy("truncated header");
  const std::string_view header = bytes.substr(header_at, header_len);
  if (!utf8::is_valid(header)) return WeightsError::npy("non-utf8 header");
  size_t key = header.find("'shape': (");
  if (key == std::string_view::npos) key = header.find("'shape':(");
  if (key == std::string_view::npos) return WeightsError::npy("no shape in header");
  const size_t open = header.find('(', key);
  if (open == std::string_view::npos) return WeightsError::npy("no '(' in shape");
  const size_t close = header.find(')', open);
  if (close == std::string_view::npos) return WeightsError::npy("no ')' in shape");

  NpyArray out;
  std::string_view dims = trim(header.substr(open + 1, close - open - 1));
  while (!dims.empty()) {
    size_t comma = dims.find(',');
    std::string_view part = trim(dims.substr(0, comma));
    dims = comma == std::string_view::npos ? std::string_view{} : dims.substr(comma + 1);
    if (part.empty()) continue;
    size_t value = 0;
    auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (ec != std::errc{} || end != part.data() + part.size()) {
      return WeightsError::npy("failed to parse shape dimensions");
    }
    out.shape.push_back(value);
  }
  out.data = bytes.substr(header_at + header_len);
  return out;
}

namespace {

// Walks the local headers from the start and calls on_member(member) for
// each, in order, stopping at the first error (of the walk or of on_member).
template <class F>
std::optional<WeightsError> walk_zip(std::string_view bytes, F&& on_member) {
  for (size_t at = 0; bytes.size() - at >= 4 && bytes.substr(at, 4) == std::string_view("PK\x03\x04", 4);) {
    if (bytes.size() - at < 30) return WeightsError::io(std::string(kTruncated));
    const uint16_t method = u16_at(bytes, at + 8);
    const uint32_t compressed = u32_at(bytes, at + 18);
    const uint16_t name_len = u16_at(bytes, at + 26);
    const uint16_t extra_len = u16_at(bytes, at + 28);
    const size_t name_at = at + 30;
    if (bytes.size() - name_at < static_cast<size_t>(name_len) + extra_len) {
      return WeightsError::io(std::string(kTruncated));
    }
    const size_t data_at = name_at + name_len + extra_len;
    if (bytes.size() - data_at < compressed) return WeightsError::io(std::string(kTruncated));
    ZipMember m;
    m.name = std::string(bytes.substr(name_at, name_len));
    m.method = method;
    const std::string_view raw = bytes.substr(data_at, compressed);
    at = data_at + compressed;
    if (method == 0) {
      m.data = std::string(raw);
    } else if (method == 8) {
      auto out = inflate_raw(raw);
      if (!out.ok()) return out.error();
      m.data = std::move(out).value();
    } else {
      return WeightsError::npy("unsupported zip compression method");
    }
    if (std::optional<WeightsError> e = on_member(std::move(m))) return e;
  }
  return std::nullopt;
}

}  // namespace

LoadResult<std::vector<ZipMember>, WeightsError> read_zip_members(std::string_view bytes) {
  std::vector<ZipMember> members;
  if (auto e = walk_zip(bytes, [&](ZipMember m) -> std::optional<WeightsError> {
        members.push_back(std::move(m));
        return std::nullopt;
      })) {
    return *e;
  }
  return members;
}

LoadResult<EmbeddingWeights, WeightsError> EmbeddingWeights::from_npz_bytes(std::string_view bytes) {
  if (bytes.size() < 4) return WeightsError::missing("packed_indices");
  std::optional<std::string> packed;  // the packed codes
  std::optional<std::vector<uint16_t>> scales;
  size_t rows = 0;
  auto error = walk_zip(bytes, [&](ZipMember m) -> std::optional<WeightsError> {
    std::string_view name = m.name;
    if (name.size() >= 4 && name.substr(name.size() - 4) == ".npy") name.remove_suffix(4);
    if (name == "packed_indices") {
      auto npy = parse_npy_raw(m.data);
      if (!npy.ok()) return npy.error();
      packed = std::string(npy.value().data);
      rows = npy.value().shape.size() == 2 ? npy.value().shape[0] : 0;
    } else if (name == "scales") {
      auto npy = parse_npy_raw(m.data);
      if (!npy.ok()) return npy.error();
      const std::string_view d = npy.value().data;
      std::vector<uint16_t> halves(d.size() / 2);
      for (size_t i = 0; i < halves.size(); ++i) halves[i] = u16_at(d, 2 * i);
      scales = std::move(halves);
    }
    return std::nullopt;
  });
  if (error) return *error;

  if (!packed) return WeightsError::missing("packed_indices");
  if (!scales) return WeightsError::missing("scales");
  size_t want_bytes = 0;
  size_t want_floats = 0;
  if (!checked_mul(rows, PACKED_ROW_BYTES, want_bytes) || !checked_mul(rows, EMBEDDING_DIMENSION, want_floats)) {
    return WeightsError::mismatch(SIZE_MAX, packed->size());
  }
  if (packed->size() != want_bytes) return WeightsError::mismatch(want_bytes, packed->size());
  if (scales->size() != rows) return WeightsError::mismatch(rows, scales->size());

  (void)want_floats;  // rows x 256 fits: row() and dequantized() cannot overflow
  EmbeddingWeights w;
  w.rows_ = rows;
  w.codes_.assign(packed->begin(), packed->end());
  w.scales_.resize(rows);
  for (size_t r = 0; r < rows; ++r) w.scales_[r] = half_to_float((*scales)[r]);
  return w;
}

namespace {

// The four levels (code - 1.5) of every code byte, lowest bits first.
struct LevelTable {
  float level[256][4];
  constexpr LevelTable() : level{} {
    for (int b = 0; b < 256; ++b) {
      for (int k = 0; k < 4; ++k) level[b][k] = static_cast<float>((b >> (2 * k)) & 3) - 1.5f;
    }
  }
};
constexpr LevelTable kLevels;

}  // namespace

float EmbeddingWeights::value(size_t r, size_t d) const {
  const unsigned byte = codes_[r * PACKED_ROW_BYTES + d / 4];
  return kLevels.level[byte][d % 4] * scales_[r];
}

std::array<float, EMBEDDING_DIMENSION> EmbeddingWeights::row(size_t r) const {
  std::array<float, EMBEDDING_DIMENSION> out{};
  for (size_t d = 0; d < EMBEDDING_DIMENSION; ++d) out[d] = value(r, d);
  return out;
}

void EmbeddingWeights::add_row(size_t r, float* sum) const {
  const uint8_t* codes = codes_.data() + r * PACKED_ROW_BYTES;
  const float s = scales_[r];
  for (size_t i = 0; i < PACKED_ROW_BYTES; ++i) {
    const float* l = kLevels.level[codes[i]];
    float* out = sum + 4 * i;
    out[0] += l[0] * s;
    out[1] += l[1] * s;
    out[2] += l[2] * s;
    out[3] += l[3] * s;
  }
}

std::vector<float> EmbeddingWeights::dequantized() const {
  std::vector<float> out(rows_ * EMBEDDING_DIMENSION);
  for (size_t r = 0; r < rows_; ++r) {
    const auto v = row(r);
    std::copy(v.begin(), v.end(), out.begin() + static_cast<std::ptrdiff_t>(r * EMBEDDING_DIMENSION));
  }
  return out;
}

EmbeddingWeights EmbeddingWeights::from_embedded(std::string_view bytes) {
  auto loaded = from_npz_bytes(bytes);
  SELVO_ASSERT(loaded.ok(), "failed to load embedded weights");
  return std::move(loaded).value();
}

std::shared_ptr<const EmbeddingWeights> EmbeddingWeights::shared() {
  static std::mutex guard;
  static std::weak_ptr<const EmbeddingWeights> alive;
  std::lock_guard lock(guard);
  if (auto table = alive.lock()) return table;
  auto table = std::make_shared<const EmbeddingWeights>(from_embedded(resources::embedding_weights()));
  alive = table;
  return table;
}

}  // namespace selvo

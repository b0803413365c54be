#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <functional>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "embeddings/embedding_table.h"
#include "embeddings/unigram_tokenizer.h"
#include "util/resource.h"

namespace selvo {
namespace {

std::string le16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string le32(uint32_t v) { return le16(static_cast<uint16_t>(v & 0xFFFF)) + le16(static_cast<uint16_t>(v >> 16)); }

// A .npy file, format 1.0, with the given header dictionary text.
std::string npy(const std::string& header, const std::string& data) {
  return std::string("\x93NUMPY\x01\x00", 8) + le16(static_cast<uint16_t>(header.size())) + header + data;
}

std::string npy_shape(const std::string& shape, const std::string& data) {
  return npy("{'descr': '|u1', 'fortran_order': False, 'shape': " + shape + ", }\n", data);
}

std::string deflate_raw(const std::string& in) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, in.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// One ZIP local header and its data; method 8 deflates `data`, other
// methods store it as given.
std::string member(const std::string& name, const std::string& data, uint16_t method = 8) {
  const std::string body = method == 8 ? deflate_raw(data) : data;
  std::string h = "PK\x03\x04";
  h += le16(20) + le16(0) + le16(method) + le16(0) + le16(0) + le32(0);
  h += le32(static_cast<uint32_t>(body.size())) + le32(static_cast<uint32_t>(data.size()));
  h += le16(static_cast<uint16_t>(name.size())) + le16(0) + name;
  return h + body;
}

const std::string kCentralDirectory = std::string("PK\x01\x02", 4) + std::string(42, '\0');

std::string packed_rows(size_t rows, size_t width, char byte = 0) {
  return npy_shape("(" + std::to_string(rows) + ", " + std::to_string(width) + ")",
                   std::string(rows * width, byte));
}

std::string scales(const std::vector<uint16_t>& halves) {
  std::string data;
  for (uint16_t h : halves) data += le16(h);
  return npy("{'descr': '<f2', 'fortran_order': False, 'shape': (" + std::to_string(halves.size()) + ",), }\n", data);
}

WeightsError load_error(const std::string& archive) {
  auto r = EmbeddingWeights::from_npz_bytes(archive);
  EXPECT_FALSE(r.ok());
  return r.ok() ? WeightsError{} : r.error();
}

TEST(EmbeddingArchive, DequantizesCodesLowestBitsFirst) {
  // 0xE4 = 0b11'10'01'00: codes 0, 1, 2, 3 for dimensions 0..3; scale 2.0.
  std::string row(64, '\0');
  row[0] = '\xE4';
  row[63] = '\xFF';
  const std::string archive = member("packed_indices.npy", npy_shape("(1, 64)", row)) +
                              member("scales.npy", scales({0x4000})) + member("bits.npy", npy_shape("()", "x")) +
                              kCentralDirectory;
  auto r = EmbeddingWeights::from_npz_bytes(archive);
  ASSERT_TRUE(r.ok()) << r.error().describe();
  const EmbeddingWeights& w = r.value();
  ASSERT_EQ(w.rows(), 1u);
  const auto v = w.row(0);
  EXPECT_EQ((std::vector<float>(v.begin(), v.begin() + 5)), (std::vector<float>{-3, -1, 1, 3, -3}));
  EXPECT_EQ(v[252], 3.0f);
  EXPECT_EQ(v[255], 3.0f);
  // Summing a row into a vector gives the same values.
  std::vector<float> sum(256, 0.0f);
  w.add_row(0, sum.data());
  w.add_row(0, sum.data());
  EXPECT_EQ((std::vector<float>(sum.begin(), sum.begin() + 4)), (std::vector<float>{-6, -2, 2, 6}));
  EXPECT_EQ(w.value(0, 3), 3.0f);
  EXPECT_EQ(w.dequantized().size(), 256u);
}

TEST(EmbeddingArchive, StoredMembersReadLikeDeflatedOnes) {
  std::string row(128, '\x1B');
  auto stored = EmbeddingWeights::from_npz_bytes(member("packed_indices.npy", packed_rows(2, 64, '\x1B'), 0) +
                                                 member("scales.npy", scales({0x3C00, 0x3800}), 0));
  auto deflated = EmbeddingWeights::from_npz_bytes(member("packed_indices.npy", packed_rows(2, 64, '\x1B')) +
                                                   member("scales.npy", scales({0x3C00, 0x3800})));
  ASSERT_TRUE(stored.ok() && deflated.ok());
  EXPECT_EQ(stored.value().dequantized(), deflated.value().dequantized());
  EXPECT_EQ(stored.value().row(1)[0], 0.75f);  // code 3 at scale 0.5
}

TEST(EmbeddingArchive, LaterMemberOfTheSameNameWins) {
  auto r = EmbeddingWeights::from_npz_bytes(member("scales.npy", scales({0x3C00, 0x3C00})) +
                                            member("packed_indices.npy", packed_rows(1, 64)) +
                                            member("scales.npy", scales({0x4400})));
  ASSERT_TRUE(r.ok()) << r.error().describe();
  EXPECT_EQ(r.value().row(0)[0], -6.0f);  // code 0 at scale 4.0
}

TEST(EmbeddingArchive, RejectsBrokenArchives) {
  const std::string good_packed = member("packed_indices.npy", packed_rows(10, 64));
  const std::string good_scales = member("scales.npy", scales(std::vector<uint16_t>(10, 0x3C00)));
  const std::string whole = good_packed + good_scales;
  std::string corrupt_body = good_packed;
  corrupt_body[30 + 18] = '\xFF';  // first deflate bytes: an invalid block type
  corrupt_body[30 + 18 + 1] = '\xFF';
  struct Case {
    const char* what;
    std::string archive;
    WeightsError error;
  };
  const Case cases[] = {
      {"empty input", "", WeightsError::missing("packed_indices")},
      {"three bytes", "PK\x03", WeightsError::missing("packed_indices")},
      {"no local header", std::string(64, 'x'), WeightsError::missing("packed_indices")},
      {"no scales", good_packed, WeightsError::missing("scales")},
      {"no packed codes", good_scales + kCentralDirectory, WeightsError::missing("packed_indices")},
      {"short header", "PK\x03\x04" + std::string(20, '\0'), WeightsError::io("failed to fill whole buffer")},
      {"truncated data", whole.substr(0, whole.size() - 5), WeightsError::io("failed to fill whole buffer")},
      {"truncated name", good_packed.substr(0, 35), WeightsError::io("failed to fill whole buffer")},
      {"too few scales", good_packed + member("scales.npy", scales(std::vector<uint16_t>(9, 0x3C00))),
       WeightsError::mismatch(10, 9)},
      {"short rows", member("packed_indices.npy", packed_rows(10, 63)) + good_scales,
       WeightsError::mismatch(640, 630)},
      {"one-dimensional codes", member("packed_indices.npy", npy_shape("(640,)", std::string(640, '\0'))) +
                                    good_scales,
       WeightsError::mismatch(0, 640)},
      {"shape promising more than present", member("packed_indices.npy", npy_shape("(1000000, 64)", "")) +
                                                good_scales,
       WeightsError::mismatch(64000000, 0)},
      {"bzip2 member", member("packed_indices.npy", packed_rows(10, 64), 12) + good_scales,
       WeightsError::npy("unsupported zip compression method")},
      {"bad npy inside", member("scales.npy", "not an npy file") + good_packed, WeightsError::npy("bad magic number")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(load_error(c.archive), c.error) << c.what << ": " << load_error(c.archive).describe();
  }
  const WeightsError corrupt = load_error(corrupt_body + good_scales);
  EXPECT_EQ(corrupt.kind, WeightsError::Kind::Io) << corrupt.describe();
  EXPECT_NE(corrupt.message.find("corrupt deflate stream"), std::string::npos);

  // A row count whose sizes overflow is refused before anything is read.
  const auto huge = std::to_string(std::numeric_limits<size_t>::max() / 8);
  EXPECT_EQ(load_error(member("packed_indices.npy", npy_shape("(" + huge + ", 64)", "")) + good_scales).kind,
            WeightsError::Kind::DimensionMismatch);
}

TEST(NpyHeader, ParsesShapesAndRefusesBrokenHeaders) {
  struct Case {
    std::string bytes;
    std::vector<size_t> shape;  // when the header parses
    const char* error;          // else the message
  };
  const std::string v2 = std::string("\x93NUMPY\x02\x00", 8) + le32(24) + "{'shape': (7, 2), }     " + "DATA";
  const Case cases[] = {
      {npy("{'descr': '<f2', 'shape':(3,4)}", ""), {3, 4}, nullptr},
      {npy("{'descr': '<i8', 'shape': (), }", ""), {}, nullptr},
      {npy("{'shape': (39655,), }", ""), {39655}, nullptr},
      {npy("{'shape': ( 2 , 3 , ), }", ""), {2, 3}, nullptr},
      {v2, {7, 2}, nullptr},
      {"\x93NUMPX\x01\x00\x00\x00", {}, "bad magic number"},
      {"\x93NUMPY\x01", {}, "bad magic number"},
      {std::string("\x93NUMPY\x02\x00\x00\x00", 10), {}, "truncated v2 header"},
      {std::string("\x93NUMPY\x03\x00\x00\x00", 10), {}, "unsupported npy version"},
      {npy("{'shape': (1,), '\xC3'}", ""), {}, "non-utf8 header"},
      {npy("{'descr': '<f2'}", ""), {}, "no shape in header"},
      {npy("{'shape': (3, 4}", ""), {}, "no ')' in shape"},
      {npy("{'shape': (3, x), }", ""), {}, "failed to parse shape dimensions"},
      {npy("{'shape': (-3,), }", ""), {}, "failed to parse shape dimensions"},
  };
  for (const Case& c : cases) {
    auto r = parse_npy_raw(c.bytes);
    if (c.error) {
      ASSERT_FALSE(r.ok()) << c.error;
      EXPECT_EQ(r.error(), WeightsError::npy(c.error));
    } else {
      ASSERT_TRUE(r.ok()) << r.error().describe();
      EXPECT_EQ(r.value().shape, c.shape) << c.bytes;
    }
  }
  auto r = parse_npy_raw(v2);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().data, "DATA");
}

TEST(HalfFloat, ConvertsEveryClassExactly) {
  struct Case {
    uint16_t half;
    float value;
  };
  const Case cases[] = {
      {0x3C00, 1.0f},          {0xC000, -2.0f},        {0x3555, 0.333251953125f},
      {0x7BFF, 65504.0f},      {0x0400, 6.103515625e-05f},  // smallest normal
      {0x0001, 5.960464477539063e-08f},                  // smallest subnormal
      {0x03FF, 6.097555160522461e-05f},                  // largest subnormal
      {0x8001, -5.960464477539063e-08f},
      {0x7C00, std::numeric_limits<float>::infinity()},  {0xFC00, -std::numeric_limits<float>::infinity()},
  };
  for (const Case& c : cases) EXPECT_EQ(half_to_float(c.half), c.value) << std::hex << c.half;
  EXPECT_TRUE(std::isnan(half_to_float(0x7E00)));
  EXPECT_TRUE(std::isnan(half_to_float(0xFC01)));
  EXPECT_TRUE(std::signbit(half_to_float(0x8000)));
  EXPECT_EQ(half_to_float(0x8000), 0.0f);
}

TEST(EmbeddedResources, TableRowsMatchTheVocabulary) {
  auto table = EmbeddingWeights::shared();
  EXPECT_EQ(table->rows(), UnigramTokenizer::shared().vocabulary().size());
  EXPECT_EQ(table.get(), EmbeddingWeights::shared().get());  // one copy while it is alive
}

}  // namespace
}  // namespace selvo

namespace selvo {
namespace {

TEST(EmbeddedResources, ArchiveHasTheDocumentedMembersDtypesAndShapes) {
  auto members = read_zip_members(resources::embedding_weights());
  ASSERT_TRUE(members.ok()) << members.error().describe();
  const size_t rows = UnigramTokenizer::shared().vocabulary().size();
  struct Expected {
    const char* name;
    const char* descr;
    std::vector<size_t> shape;
    std::string data;  // for the scalars
  };
  const Expected expected[] = {
      {"packed_indices.npy", "'|u1'", {rows, 64}, ""},
      {"scales.npy", "'<f2'", {rows}, ""},
      {"bits.npy", "'<i8'", {}, std::string("\x02\0\0\0\0\0\0\0", 8)},
      {"dim.npy", "'<i8'", {}, std::string("\x00\x01\0\0\0\0\0\0", 8)},
      {"use_qjl.npy", "'|b1'", {}, std::string(1, '\0')},
  };
  ASSERT_EQ(members.value().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ZipMember& m = members.value()[i];
    EXPECT_EQ(m.name, expected[i].name);
    EXPECT_EQ(m.method, 8) << m.name;
    auto npy = parse_npy_raw(m.data);
    ASSERT_TRUE(npy.ok()) << m.name;
    EXPECT_EQ(npy.value().shape, expected[i].shape) << m.name;
    EXPECT_NE(m.data.find(std::string("'descr': ") + expected[i].descr), std::string::npos) << m.name;
    if (!expected[i].data.empty()) EXPECT_EQ(npy.value().data, expected[i].data) << m.name;
  }
  // Every scale is a positive finite half.
  auto scales = parse_npy_raw(members.value()[1].data);
  const std::string_view d = scales.value().data;
  for (size_t r = 0; r < rows; ++r) {
    const float s = half_to_float(static_cast<uint16_t>(static_cast<unsigned char>(d[2 * r]) |
                                                        (static_cast<unsigned char>(d[2 * r + 1]) << 8)));
    ASSERT_TRUE(std::isfinite(s) && s > 0) << r;
  }
}

TEST(EmbeddedResources, BrokenResourcesAreInternalFaults) {
  struct Case {
    std::function<void()> load;
    const char* message;
  };
  const Case cases[] = {
      {[] { EmbeddingWeights::from_embedded("PK\x03\x04 truncated"); }, "failed to load embedded weights"},
      {[] { EmbeddingWeights::from_embedded(""); }, "failed to load embedded weights"},
      {[] { UnigramTokenizer::from_embedded("{\"model\": 1}"); }, "failed to load embedded tokenizer"},
      // Loads, but its unknown id names no piece.
      {[] { UnigramTokenizer::from_embedded(R"({"model":{"type":"Unigram","unk_id":3,"vocab":[["a",0]]}})"); },
       "failed to load embedded tokenizer"},
  };
  for (const Case& c : cases) {
    try {
      c.load();
      ADD_FAILURE() << "no fault for " << c.message;
    } catch (const InternalFault& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
}

TEST(EmbeddingArchive, ErrorsStopTheWalkInArchiveOrder) {
  // A broken NPY header is reported even though a later member is truncated.
  const std::string broken_npy = member("scales.npy", "not npy");
  const std::string truncated = member("packed_indices.npy", packed_rows(1, 64));
  EXPECT_EQ(load_error(broken_npy + truncated.substr(0, 40)), WeightsError::npy("bad magic number"));
  EXPECT_EQ(load_error(truncated.substr(0, 40) + broken_npy), WeightsError::io("failed to fill whole buffer"));
}

}  // namespace
}  // namespace selvo

namespace selvo {
namespace {

TEST(EmbeddingArchive, SurvivesEveryTruncationAndRandomDamage) {
  const std::string good = member("packed_indices.npy", packed_rows(3, 64, '\x5A')) +
                           member("scales.npy", scales({0x3C00, 0x4000, 0x3800})) + kCentralDirectory;
  ASSERT_TRUE(EmbeddingWeights::from_npz_bytes(good).ok());
  for (size_t n = 0; n < good.size(); ++n) {
    auto r = EmbeddingWeights::from_npz_bytes(good.substr(0, n));
    // Cut inside the first two members, the archive cannot load; cut in the
    // central directory, it still does.
    if (n < good.size() - kCentralDirectory.size()) EXPECT_FALSE(r.ok()) << n;
  }
  std::mt19937 rng(11);
  for (int round = 0; round < 2000; ++round) {
    std::string damaged = good;
    for (int k = 0, flips = 1 + static_cast<int>(rng() % 4); k < flips; ++k) {
      damaged[rng() % damaged.size()] = static_cast<char>(rng());
    }
    auto r = EmbeddingWeights::from_npz_bytes(damaged);
    if (r.ok()) EXPECT_EQ(r.value().dequantized().size(), r.value().rows() * 256);
  }
}

}  // namespace
}  // namespace selvo

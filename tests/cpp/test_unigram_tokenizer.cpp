#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "embeddings/unigram_tokenizer.h"

namespace selvo {
namespace {

using Ids = std::vector<uint32_t>;

// A description with the given vocabulary entries (JSON array items).
std::string description(const std::string& vocab, const std::string& unk = "3") {
  return R"({"version":"1.0","model":{"type":"Unigram","unk_id":)" + unk + R"(,"vocab":[)" + vocab + "]}}";
}

// ids 0-3 specials, 4 "▁", 5 "▁a", 6 "b", 7 "▁ab", 8 "c", 9 "▁abc", 10 "bc"
const std::string kVocab =
    R"(["<s>",0],["<pad>",0],["</s>",0],["<unk>",-10],["▁",-3],["▁a",-2],["b",-2],["▁ab",-4],["c",-1],["▁abc",-9],["bc",-2])";

UnigramTokenizer small() {
  auto r = UnigramTokenizer::from_json_bytes(description(kVocab));
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message);
  return std::move(r).value();
}

TEST(UnigramTokenizerLoad, ReportsEveryInvalidDescription) {
  struct Case {
    std::string json;
    const char* message;  // null: the JSON reader's own message
  };
  const Case cases[] = {
      {"{\"model\":\xFF}", "non-utf8 tokenizer json"},
      {"{\"model\": ", nullptr},
      {"{}", "missing 'model' key"},
      {"[1, 2]", "missing 'model' key"},
      {R"({"model":{}})", "missing model type"},
      {R"({"model":{"type":7}})", "missing model type"},
      {R"({"model":{"type":"BPE","vocab":[]}})", "expected Unigram model type"},
      {R"({"model":{"type":"Unigram"}})", "missing 'vocab' array"},
      {R"({"model":{"type":"Unigram","vocab":{}}})", "missing 'vocab' array"},
      {description(R"(["a",1],"b")"), "vocab entry is not an array"},
      {description(R"(["a"])"), "vocab entry has fewer than 2 elements"},
      {description(R"([1,2])"), "vocab piece is not a string"},
      {description(R"(["a","x"])"), "vocab score is not a number"},
  };
  for (const Case& c : cases) {
    auto r = UnigramTokenizer::from_json_bytes(c.json);
    ASSERT_FALSE(r.ok()) << c.json;
    EXPECT_EQ(r.error().kind, TokenizerError::Kind::InvalidJson);
    if (c.message) {
      EXPECT_EQ(r.error().message, c.message) << c.json;
    } else {
      EXPECT_FALSE(r.error().message.empty());
    }
  }
}

TEST(UnigramTokenizerLoad, ReadsUnknownIdScoresAndPieceLength) {
  struct Case {
    std::string unk;
    size_t expected;
  };
  for (const Case& c : {Case{"0", 0}, Case{"7", 7}, Case{"-1", 3}, Case{"2.5", 3}, Case{"\"1\"", 3}, Case{"null", 3}}) {
    auto r = UnigramTokenizer::from_json_bytes(description(kVocab, c.unk));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().unknown_id(), c.expected) << c.unk;
  }
  auto extra = UnigramTokenizer::from_json_bytes(description(R"(["a",1,"ignored"],["bb",-1.5e2])"));
  ASSERT_TRUE(extra.ok());
  EXPECT_EQ(extra.value().vocabulary()[0].score, 1.0);
  EXPECT_EQ(extra.value().vocabulary()[1].score, -150.0);
  EXPECT_EQ(extra.value().max_piece_length(), 2u);

  auto empty = UnigramTokenizer::from_json_bytes(description(""));
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty.value().max_piece_length(), 1u);

  const std::string long_piece(100, 'x');
  auto capped = UnigramTokenizer::from_json_bytes(description("[\"" + long_piece + "\",-1]"));
  ASSERT_TRUE(capped.ok());
  EXPECT_EQ(capped.value().max_piece_length(), UnigramTokenizer::kMaxPieceChars);
  // Characters, not bytes: "ğğ" is 4 bytes.
  auto wide = UnigramTokenizer::from_json_bytes(description(R"(["ğğ",-1],["a",-1])"));
  EXPECT_EQ(wide.value().max_piece_length(), 2u);
}

TEST(UnigramTokenizerEncode, FindsTheBestSegmentation) {
  const UnigramTokenizer t = small();
  struct Case {
    const char* text;
    Ids ids;
  };
  const Case cases[] = {
      {"", {}},
      {" \t\n ", {}},
      {"a", {5}},
      {"ab", {5, 6}},       // ▁a + b (-4) ties ▁ab (-4): the shorter last piece, tried first, stays
      {"abc", {5, 10}},     // ▁a + bc (-4) beats ▁abc (-9) and ▁a b c (-5)
      {"a ab", {5, 5, 6}},  // words are segmented independently
      {"a\u3000\u00A0\t\nab", {5, 5, 6}},  // any run of Unicode whitespace splits
      {"x", {4, 3}},        // the marker, then one unknown id
      {"xyz", {4, 3}},      // consecutive unknown ids collapse
      {"axyzc", {5, 3, 8}},
      {"xa", {4, 3}},       // "a" alone is no piece
      {"ｂ", {4, 6}},       // fullwidth b is b after NFKC
      {"A", {4, 3}},        // no case folding
  };
  for (const Case& c : cases) EXPECT_EQ(t.encode(c.text), c.ids) << c.text;
}

TEST(UnigramTokenizerEncode, LaterDuplicatePieceWins) {
  auto r = UnigramTokenizer::from_json_bytes(description(R"(["<unk>",0],["▁",-1],["▁",-1],["▁a",-1])", "0"));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().encode("b"), (Ids{2, 0}));
}

TEST(UnigramTokenizerEncode, WordWithoutMarkerPieceStillGetsIds) {
  // No "▁" piece: the whole word falls back to unknown ids, collapsed to one.
  auto r = UnigramTokenizer::from_json_bytes(description(R"(["<unk>",0],["b",-1])", "0"));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().encode("ab"), (Ids{0, 1}));
  EXPECT_EQ(r.value().encode("aa"), (Ids{0}));
}

// The segmentation written the plain way: for every end position, every
// piece length from 1 up, looked up by its text; unknown fallback; backtrack;
// collapse. The tokenizer must agree with it on any vocabulary and word.
Ids reference_segmentation(const std::vector<std::pair<std::string, double>>& vocab, size_t unk,
                           const std::vector<std::string>& chars) {
  std::map<std::string, uint32_t> index;
  size_t longest = 1;
  for (size_t i = 0; i < vocab.size(); ++i) {
    index[vocab[i].first] = static_cast<uint32_t>(i);
    size_t n = 0;
    for (size_t b = 0; b < vocab[i].first.size(); ++b) n += (vocab[i].first[b] & 0xC0) != 0x80;
    longest = std::max(longest, n);
  }
  const size_t n = chars.size();
  std::vector<double> best(n + 1, -INFINITY);
  std::vector<size_t> len(n + 1, 0);
  std::vector<uint32_t> id(n + 1, static_cast<uint32_t>(unk));
  best[0] = 0;
  for (size_t k = 1; k <= n; ++k) {
    for (size_t j = 1; j <= std::min(longest, k); ++j) {
      if (best[k - j] == -INFINITY) continue;
      std::string piece;
      for (size_t c = k - j; c < k; ++c) piece += chars[c];
      auto it = index.find(piece);
      if (it == index.end()) continue;
      if (best[k - j] + vocab[it->second].second > best[k]) {
        best[k] = best[k - j] + vocab[it->second].second;
        len[k] = j;
        id[k] = it->second;
      }
    }
    if (best[k] == -INFINITY && best[k - 1] != -INFINITY) {
      best[k] = best[k - 1] + vocab[unk].second;
      len[k] = 1;
      id[k] = static_cast<uint32_t>(unk);
    }
  }
  Ids out;
  for (size_t pos = n;;) {
    if (len[pos] > 0) {
      out.push_back(id[pos]);
      if (pos == len[pos]) break;
      pos -= len[pos];
    } else {
      out.push_back(static_cast<uint32_t>(unk));
      if (pos <= 1) break;
      pos -= 1;
    }
  }
  std::reverse(out.begin(), out.end());
  Ids collapsed;
  for (uint32_t x : out) {
    if (x == unk && !collapsed.empty() && collapsed.back() == unk) continue;
    collapsed.push_back(x);
  }
  return collapsed;
}

TEST(UnigramTokenizerEncode, AgreesWithThePlainSegmentationOnRandomVocabularies) {
  // Few distinct letters and scores from a small set, so that ties and gaps
  // are frequent; "ç" and "ğ" take two bytes, the marker three.
  const std::vector<std::string> letters = {"a", "b", "\u00E7", "\u011F", "d"};
  const std::string marker = "\u2581";
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 rng(seed);
    std::vector<std::pair<std::string, double>> vocab = {{"<unk>", -1.0 * (rng() % 4)}};
    std::string json = "[\"<unk>\"," + std::to_string(vocab[0].second) + "]";
    const unsigned count = 3 + rng() % 25;
    for (unsigned p = 0; p < count; ++p) {
      std::string piece = rng() % 2 ? marker : "";
      for (unsigned c = 0, len = 1 + rng() % 4; c < len; ++c) piece += letters[rng() % letters.size()];
      const double score = -1.0 * (1 + rng() % 4);
      vocab.emplace_back(piece, score);
      json += ",[\"" + piece + "\"," + std::to_string(score) + "]";
    }
    if (rng() % 3) {
      vocab.emplace_back(marker, -2.0);
      json += ",[\"" + marker + "\",-2.0]";
    }
    auto t = UnigramTokenizer::from_json_bytes(description(json, "0"));
    ASSERT_TRUE(t.ok()) << t.error().message;
    for (int w = 0; w < 20; ++w) {
      std::vector<std::string> chars = {marker};
      std::string word;
      for (unsigned c = 0, len = 1 + rng() % 9; c < len; ++c) {
        chars.push_back(rng() % 10 ? letters[rng() % letters.size()] : "x");  // "x" is in no piece
        word += chars.back();
      }
      EXPECT_EQ(t.value().encode(word), reference_segmentation(vocab, 0, chars)) << "seed " << seed << " " << word;
    }
  }
}

TEST(EmbeddedTokenizer, MatchesItsDocumentedShape) {
  const UnigramTokenizer& t = UnigramTokenizer::shared();
  const auto& v = t.vocabulary();
  ASSERT_GT(v.size(), 30000u);
  const char* specials[] = {"<s>", "<pad>", "</s>", "<unk>"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(v[i].piece, specials[i]);
    EXPECT_EQ(v[i].score, 0.0);
  }
  EXPECT_EQ(t.unknown_id(), 3u);
  uint32_t marker = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i].piece == "\u2581") marker = static_cast<uint32_t>(i);
  }
  ASSERT_NE(marker, 0u);
  EXPECT_EQ(t.encode("\u2603\u2603"), (Ids{marker, 3}));  // snowmen are no pieces
  EXPECT_EQ(t.encode("Kitap  okuyorum.\n"), t.encode("Kitap okuyorum."));
  EXPECT_EQ(t.encode("ＫＩＴＡＰ"), t.encode("KITAP"));
  EXPECT_NE(t.encode("Kitap"), t.encode("kitap"));
  for (uint32_t id : t.encode("Bugün hava çok güzel, değil mi? 2024'te İstanbul'a gittik.")) {
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, 2u);
    EXPECT_LT(id, v.size());
  }
}

}  // namespace
}  // namespace selvo

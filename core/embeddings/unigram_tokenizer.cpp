#include "embeddings/unigram_tokenizer.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "util/resource.h"
#include "util/utf8.h"

namespace selvo {

namespace {

using Json = nlohmann::json;

TokenizerError invalid(std::string message) { return {TokenizerError::Kind::InvalidJson, std::move(message)}; }

constexpr std::string_view kMarker = "\u2581";

bool is_ascii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

// NFKC of UTF-8 text (ill-formed bytes become U+FFFD).
std::string nfkc(std::string_view text) {
  if (is_ascii(text)) return std::string(text);  // ASCII is its own NFKC form
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* norm = unorm2_getNFKCInstance(&status);
  SELVO_ASSERT(U_SUCCESS(status), "ICU has no NFKC data");

  std::u16string wide(text.size() + 1, u'\0');
  int32_t wide_len = 0;
  int32_t subs = 0;
  status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &wide_len, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, &subs, &status);
  SELVO_ASSERT(U_SUCCESS(status), "UTF-8 to UTF-16 conversion failed");
  wide.resize(static_cast<size_t>(wide_len));

  status = U_ZERO_ERROR;
  const int32_t span = unorm2_spanQuickCheckYes(norm, wide.data(), wide_len, &status);
  SELVO_ASSERT(U_SUCCESS(status), "NFKC quick check failed");
  if (span == wide_len && subs == 0) return std::string(text);

  std::u16string normalized;
  int32_t need = wide_len;
  for (int attempt = 0; attempt < 2; ++attempt) {
    normalized.assign(static_cast<size_t>(need) + 1, u'\0');
    status = U_ZERO_ERROR;
    need = unorm2_normalize(norm, wide.data(), wide_len, normalized.data(),
                            static_cast<int32_t>(normalized.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR) break;
  }
  SELVO_ASSERT(U_SUCCESS(status), "NFKC normalization failed");
  normalized.resize(static_cast<size_t>(need));

  std::string out(static_cast<size_t>(need) * 3 + 1, '\0');
  int32_t out_len = 0;
  status = U_ZERO_ERROR;
  u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &out_len, normalized.data(), need, &status);
  SELVO_ASSERT(U_SUCCESS(status), "UTF-16 to UTF-8 conversion failed");
  out.resize(static_cast<size_t>(out_len));
  return out;
}

bool is_space(char32_t c) {
  if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r');
  return u_isUWhiteSpace(static_cast<UChar32>(c));
}

}  // namespace

LoadResult<UnigramTokenizer, TokenizerError> UnigramTokenizer::from_json_bytes(std::string_view bytes) {
  if (!utf8::is_valid(bytes)) return invalid("non-utf8 tokenizer json");
  Json root;
  try {
    root = Json::parse(bytes.begin(), bytes.end());
  } catch (const Json::exception& e) {
    return invalid(e.what());
  }
  if (!root.is_object() || !root.contains("model")) return invalid("missing 'model' key");
  const Json& model = root["model"];
  if (!model.is_object() || !model.contains("type") || !model["type"].is_string()) {
    return invalid("missing model type");
  }
  if (model["type"].get_ref<const std::string&>() != "Unigram") return invalid("expected Unigram model type");

  UnigramTokenizer t;
  t.unk_id_ = 3;
  if (auto it = model.find("unk_id"); it != model.end()) {
    if (it->is_number_unsigned()) {
      t.unk_id_ = static_cast<size_t>(it->get<uint64_t>());
    } else if (it->is_number_integer() && it->get<int64_t>() >= 0) {
      t.unk_id_ = static_cast<size_t>(it->get<int64_t>());
    }
  }
  auto vocab_it = model.find("vocab");
  if (vocab_it == model.end() || !vocab_it->is_array()) return invalid("missing 'vocab' array");
  const Json& vocab = *vocab_it;
  t.vocab_.reserve(vocab.size());
  size_t longest = 0;
  for (size_t i = 0; i < vocab.size(); ++i) {
    const Json& entry = vocab[i];
    if (!entry.is_array()) return invalid("vocab entry is not an array");
    if (entry.size() < 2) return invalid("vocab entry has fewer than 2 elements");
    if (!entry[0].is_string()) return invalid("vocab piece is not a string");
    if (!entry[1].is_number()) return invalid("vocab score is not a number");
    VocabEntry e{entry[0].get<std::string>(), entry[1].get<double>()};
    longest = std::max(longest, utf8::count(e.piece));
    t.vocab_.push_back(std::move(e));
  }
  t.max_piece_len_ = t.vocab_.empty() ? 1 : std::min(longest, kMaxPieceChars);
  if (t.max_piece_len_ == 0) t.max_piece_len_ = 1;  // a vocabulary of empty pieces
  t.build_index();
  return t;
}

UnigramTokenizer UnigramTokenizer::from_embedded(std::string_view bytes) {
  auto loaded = from_json_bytes(bytes);
  SELVO_ASSERT(loaded.ok(), "failed to load embedded tokenizer");
  SELVO_ASSERT(loaded.value().unknown_id() < loaded.value().vocabulary().size(),
               "failed to load embedded tokenizer");
  return std::move(loaded).value();
}

const UnigramTokenizer& UnigramTokenizer::shared() {
  static const UnigramTokenizer tokenizer = from_embedded(resources::embedding_tokenizer());
  return tokenizer;
}

std::vector<uint32_t> UnigramTokenizer::encode(std::string_view text) const {
  std::vector<uint32_t> ids;
  const std::string normalized = nfkc(text);
  std::string word;
  std::vector<size_t> bounds;
  std::vector<double> best;
  std::vector<uint32_t> back_len, back_id;
  size_t i = 0;
  const std::string_view s = normalized;
  while (i < s.size()) {
    size_t start = i;
    if (is_space(utf8::next(s, i))) continue;
    size_t end = i;
    while (i < s.size()) {
      size_t here = i;
      if (is_space(utf8::next(s, i))) {
        i = here;
        break;
      }
      end = i;
    }
    word.assign(kMarker);
    word.append(s.substr(start, end - start));
    encode_word(word, ids, bounds, best, back_len, back_id);
  }
  return ids;
}

void UnigramTokenizer::build_index() {
  // Build with per-node edge lists, then flatten in depth-first order.
  std::vector<std::vector<std::pair<unsigned char, uint32_t>>> edges(1);
  std::vector<uint32_t> piece_at(1, kNoPiece);
  for (size_t id = 0; id < vocab_.size(); ++id) {
    uint32_t node = 0;
    for (unsigned char b : vocab_[id].piece) {
      auto& list = edges[node];
      auto it = std::lower_bound(list.begin(), list.end(), b,
                                 [](const auto& e, unsigned char x) { return e.first < x; });
      if (it != list.end() && it->first == b) {
        node = it->second;
        continue;
      }
      const auto fresh = static_cast<uint32_t>(edges.size());
      list.insert(it, {b, fresh});
      edges.emplace_back();
      piece_at.push_back(kNoPiece);
      node = fresh;
    }
    if (!vocab_[id].piece.empty()) piece_at[node] = static_cast<uint32_t>(id);  // a later duplicate wins
  }
  // Number the nodes in depth-first order, so that a walk down the trie
  // moves forward through memory.
  std::vector<uint32_t> order;  // new number -> old
  std::vector<uint32_t> renumber(edges.size());
  order.reserve(edges.size());
  std::vector<uint32_t> stack = {0};
  while (!stack.empty()) {
    const uint32_t old = stack.back();
    stack.pop_back();
    renumber[old] = static_cast<uint32_t>(order.size());
    order.push_back(old);
    for (auto it = edges[old].rbegin(); it != edges[old].rend(); ++it) stack.push_back(it->second);
  }
  const size_t count = order.size();
  nodes_.assign(count + 1, Node{});
  edge_byte_.clear();
  edge_child_.clear();
  dense_.clear();
  for (size_t n = 0; n < count; ++n) {
    const auto& list = edges[order[n]];
    Node& node = nodes_[n];
    node.edges = static_cast<uint32_t>(edge_byte_.size());
    for (auto [b, c] : list) {
      edge_byte_.push_back(b);
      edge_child_.push_back(renumber[c]);
    }
    node.piece = piece_at[order[n]];
    if (node.piece != kNoPiece) node.score = vocab_[node.piece].score;
    if (list.size() >= kDenseEdges) {
      node.dense = static_cast<uint32_t>(dense_.size() / 256);
      dense_.resize(dense_.size() + 256, kNoPiece);
      for (auto [b, c] : list) dense_[node.dense * size_t{256} + b] = renumber[c];
    }
  }
  nodes_[count].edges = static_cast<uint32_t>(edge_byte_.size());
}

inline uint32_t UnigramTokenizer::child(uint32_t node, unsigned char byte) const {
  const Node& n = nodes_[node];
  if (n.dense != kNoPiece) return dense_[n.dense * size_t{256} + byte];
  const unsigned char* first = edge_byte_.data() + n.edges;
  const unsigned char* last = edge_byte_.data() + nodes_[node + 1].edges;
  for (const unsigned char* p = first; p != last; ++p) {
    if (*p == byte) return edge_child_[static_cast<size_t>(p - edge_byte_.data())];
    if (*p > byte) break;
  }
  return kNoPiece;
}

void UnigramTokenizer::encode_word(std::string_view word, std::vector<uint32_t>& out,
                                   std::vector<size_t>& bounds, std::vector<double>& best,
                                   std::vector<uint32_t>& back_len, std::vector<uint32_t>& back_id) const {
  SELVO_ASSERT(unk_id_ < vocab_.size(), "unknown id outside the vocabulary");
  constexpr double kNone = -std::numeric_limits<double>::infinity();
  const auto unk = static_cast<uint32_t>(unk_id_);
  bounds.clear();
  for (size_t i = 0; i < word.size();) {
    bounds.push_back(i);
    utf8::next(word, i);
  }
  bounds.push_back(word.size());
  const size_t n = bounds.size() - 1;
  best.assign(n + 1, kNone);
  back_len.assign(n + 1, 0);
  back_id.assign(n + 1, unk);
  best[0] = 0;
  // The best segmentation of every prefix. Pieces are relaxed forwards from
  // each start a: by the time a is reached, every piece ending at a has been
  // tried, so the fallback for a character no piece covers applies there.
  // Starts come in increasing order and an equal score replaces the best, so
  // on ties the shorter last piece wins.
  for (size_t a = 0; a <= n; ++a) {
    if (a > 0 && best[a] == kNone && best[a - 1] != kNone) {
      best[a] = best[a - 1] + vocab_[unk_id_].score;
      back_len[a] = 1;
      back_id[a] = unk;
    }
    if (a == n || best[a] == kNone) continue;
    const size_t longest = std::min(max_piece_len_, n - a);
    uint32_t node = 0;
    for (size_t j = 1; j <= longest && node != kNoPiece; ++j) {
      for (size_t b = bounds[a + j - 1]; b < bounds[a + j] && node != kNoPiece; ++b) {
        node = child(node, static_cast<unsigned char>(word[b]));
      }
      if (node == kNoPiece) break;
      const Node& found = nodes_[node];
      const uint32_t id = found.piece;
      if (id == kNoPiece) continue;
      const double candidate = best[a] + found.score;
      if (candidate >= best[a + j]) {
        best[a + j] = candidate;
        back_len[a + j] = static_cast<uint32_t>(j);
        back_id[a + j] = id;
      }
    }
  }
  const size_t first = out.size();
  for (size_t pos = n;;) {
    const size_t len = back_len[pos];
    if (len > 0) {
      out.push_back(back_id[pos]);
      if (pos == len) break;
      pos -= len;
    } else {
      out.push_back(unk);
      if (pos <= 1) break;
      pos -= 1;
    }
  }
  std::reverse(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
  // Collapse runs of unknown ids.
  size_t w = first;
  for (size_t r = first; r < out.size(); ++r) {
    if (out[r] == unk && w > first && out[w - 1] == unk) continue;
    out[w++] = out[r];
  }
  out.resize(w);
}

}  // namespace selvo

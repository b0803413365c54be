// Subword tokenizer over a Unigram language model.
//
// The vocabulary (piece strings with log-probability scores) is read from a
// tokenizer description in the JSON layout of the Hugging Face tokenizers
// library, format "1.0"; only the model's type, unknown id and vocabulary are
// read. Normalization and pre-tokenization are fixed here: NFKC, a split at
// runs of Unicode whitespace, and the marker "\u2581" before every word. Each
// word is segmented into the pieces of highest total score (Viterbi); a
// character that no piece covers costs one unknown id, and consecutive
// unknown ids within a word collapse into one. Nothing is lowercased and no
// special ids are added around the result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "embeddings/load_result.h"

namespace selvo {

struct VocabEntry {
  std::string piece;  // UTF-8
  double score = 0;   // log probability; higher is more likely
};

// The error of loading a tokenizer description. Its single kind is an
// invalid description; `message` says what is wrong.
struct TokenizerError {
  enum class Kind { InvalidJson };
  Kind kind = Kind::InvalidJson;
  std::string message;

  bool operator==(const TokenizerError&) const = default;
};

class UnigramTokenizer {
 public:
  // Pieces are looked up by at most this many characters.
  static constexpr size_t kMaxPieceChars = 64;

  static LoadResult<UnigramTokenizer, TokenizerError> from_json_bytes(std::string_view bytes);

  // Subword ids of `text`, never failing; empty for blank text.
  std::vector<uint32_t> encode(std::string_view text) const;

  // The tokenizer built from the embedded description, on first use. A
  // broken description is an internal fault.
  static const UnigramTokenizer& shared();
  // Loads a description compiled into the library: an InternalFault
  // "failed to load embedded tokenizer" if it does not load.
  static UnigramTokenizer from_embedded(std::string_view bytes);

  const std::vector<VocabEntry>& vocabulary() const { return vocab_; }
  size_t unknown_id() const { return unk_id_; }
  size_t max_piece_length() const { return max_piece_len_; }

 private:
  // The piece index: a byte trie over the piece texts, flattened in
  // depth-first order so that a walk down it moves forward through memory.
  // Node i has the edges [nodes_[i].edges, nodes_[i + 1].edges), sorted by
  // byte; nodes with many edges (the root, the word marker) also have a
  // direct table of 256 children at dense_[nodes_[i].dense * 256]. `piece`
  // is the id of the piece spelled by the path to the node (the later id
  // when a text occurs twice) or kNoPiece, and `score` its score. One walk
  // from a start position finds every piece that begins there.
  static constexpr uint32_t kNoPiece = UINT32_MAX;
  static constexpr size_t kDenseEdges = 12;
  struct Node {
    double score = 0;
    uint32_t piece = kNoPiece;
    uint32_t edges = 0;
    uint32_t dense = kNoPiece;
  };
  inline uint32_t child(uint32_t node, unsigned char byte) const;
  void build_index();
  // Appends the ids of one word (already prefixed with the marker).
  void encode_word(std::string_view word, std::vector<uint32_t>& out, std::vector<size_t>& bounds,
                   std::vector<double>& best, std::vector<uint32_t>& back_len,
                   std::vector<uint32_t>& back_id) const;

  std::vector<VocabEntry> vocab_;
  std::vector<Node> nodes_;  // one more than the trie has, closing the last edge range
  std::vector<unsigned char> edge_byte_;
  std::vector<uint32_t> edge_child_;
  std::vector<uint32_t> dense_;
  size_t unk_id_ = 3;
  size_t max_piece_len_ = 1;
};

// The process-wide tokenizer of the embedding models.
inline const UnigramTokenizer& TOKENIZER() { return UnigramTokenizer::shared(); }

}  // namespace selvo

// The embedding context scorer: eight anchor phrases embedded once, against
// which the text around a doubtful name or date is compared.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

namespace selvo {

class TurkishEmbeddings;

class PiiEmbeddingScorer {
 public:
  // Anchor indexes.
  enum Anchor : size_t {
    Health = 0,
    Finance = 1,
    Credentials = 2,
    Address = 3,
    PrivateDate = 4,
    PublicEvent = 5,
    Person = 6,
    Nature = 7,
  };
  static constexpr size_t kAnchorCount = 8;

  // Embeds the eight anchor texts, in index order, with `embeddings`.
  explicit PiiEmbeddingScorer(std::shared_ptr<const TurkishEmbeddings> embeddings);

  // Cosine similarity of embed(text) and the anchor's vector; 0 when either
  // vector has a norm below 1e-12.
  float score_similarity(std::string_view text, size_t anchor) const;
  // Person (6) at least as similar as nature (7); ties count as person.
  bool is_person_context(std::string_view text) const;
  // Private date (4) similarity p >= 0.35, or p > public event (5) and
  // p >= 0.15.
  bool is_private_date_context(std::string_view text) const;

  const std::vector<float>& anchor(size_t index) const { return anchors_.at(index); }

  // The cosine rule of the scorer, over the first min(m, n) elements with
  // each norm over its vector's full length.
  static float cosine(const std::vector<float>& a, const std::vector<float>& b) noexcept;

 private:
  std::shared_ptr<const TurkishEmbeddings> embeddings_;
  std::array<std::vector<float>, kAnchorCount> anchors_;
};

}  // namespace selvo

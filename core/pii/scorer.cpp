#include "pii/scorer.h"

#include <cmath>

#include "embeddings/embeddings.h"
#include "util/error.h"

namespace selvo {

namespace {

constexpr const char* kAnchorTexts[PiiEmbeddingScorer::kAnchorCount] = {
    "hastalık tanı teşhis tedavi ilaç kanser diyabet ameliyat tahlil sağlık raporu",
    "maaş aylık gelir net kazanç borç bakiye para tutarı hesap bakiyesi",
    "şifre parola gizli pin kodu kimlik doğrulama giriş şifresi secret key",
    "ikametgah ev adresi teslimat adresi mahalle cadde sokak numara daire ilçe",
    "doğum günü randevu muayene ameliyat fatura kesim teslimat abonelik sözleşme mezuniyet başvuru işe giriş "
    "rezervasyon",
    "kampanya indirim duyuru genelge resmi tatil festival konser seminer konferans basın bülteni mevzuat kanun",
    "insan kişi vatandaş müşteri çalışan hasta hekim avukat müvekkil öğrenci yetkili müdür uzman",
    "deniz göl nehir su dağ kaya taş toprak tarla bahçe gül çiçek ağaç yağmur rüzgar fırtına bulut hava",
};

}  // namespace

PiiEmbeddingScorer::PiiEmbeddingScorer(std::shared_ptr<const TurkishEmbeddings> embeddings)
    : embeddings_(std::move(embeddings)) {
  SELVO_ASSERT(embeddings_ != nullptr, "PiiEmbeddingScorer needs an embeddings model");
  for (size_t i = 0; i < kAnchorCount; ++i) anchors_[i] = embeddings_->embed(kAnchorTexts[i]);
}

float PiiEmbeddingScorer::cosine(const std::vector<float>& a, const std::vector<float>& b) noexcept {
  size_t n = std::min(a.size(), b.size());
  float dot = 0.0f;
  for (size_t i = 0; i < n; ++i) dot += a[i] * b[i];
  float na = 0.0f, nb = 0.0f;
  for (float x : a) na += x * x;
  for (float x : b) nb += x * x;
  na = std::sqrt(na);
  nb = std::sqrt(nb);
  if (na < 1e-12f || nb < 1e-12f) return 0.0f;
  return dot / (na * nb);
}

float PiiEmbeddingScorer::score_similarity(std::string_view text, size_t anchor) const {
  SELVO_ASSERT(anchor < kAnchorCount, "anchor index out of range");
  return cosine(embeddings_->embed(text), anchors_[anchor]);
}

bool PiiEmbeddingScorer::is_person_context(std::string_view text) const {
  std::vector<float> v = embeddings_->embed(text);
  return cosine(v, anchors_[Person]) >= cosine(v, anchors_[Nature]);
}

bool PiiEmbeddingScorer::is_private_date_context(std::string_view text) const {
  std::vector<float> v = embeddings_->embed(text);
  float p = cosine(v, anchors_[PrivateDate]);
  float q = cosine(v, anchors_[PublicEvent]);
  return p >= 0.35f || (p > q && p >= 0.15f);
}

}  // namespace selvo

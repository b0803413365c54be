// Static embeddings: dense and packed sentence vectors, their distances, the
// metric addresses for USearch, the subword tokenizer, class Embeddings and
// the constants of the packed forms.
#include "bindings.h"
#include "embeddings/embeddings.h"

namespace selvo::py {

namespace {

EngineSlot<TurkishEmbeddings> GLOBAL_EMBEDDINGS;

const TurkishEmbeddings& shared_model() { return GLOBAL_EMBEDDINGS.get(); }

template <size_t N>
Bytes to_bytes(const std::array<uint8_t, N>& packed) {
  return Bytes{std::string(reinterpret_cast<const char*>(packed.data()), N)};
}

template <size_t N>
std::vector<Bytes> to_bytes(const std::vector<std::array<uint8_t, N>>& packed) {
  std::vector<Bytes> out;
  out.reserve(packed.size());
  for (const auto& p : packed) out.push_back(to_bytes(p));
  return out;
}

const uint8_t* bytes_of(BytesArg b) { return reinterpret_cast<const uint8_t*>(b.data.data()); }

// --- on a given model -------------------------------------------------------

std::vector<float> m_embed(const TurkishEmbeddings& m, std::string_view text) { return m.embed(text); }
std::vector<std::vector<float>> m_embed_batch(const TurkishEmbeddings& m, const std::vector<std::string>& texts) {
  return m.embed_batch(texts);
}
float m_similarity(const TurkishEmbeddings& m, std::string_view a, std::string_view b) { return m.similarity(a, b); }
Bytes m_packed_1bit(const TurkishEmbeddings& m, std::string_view text) { return to_bytes(m.embed_packed_1bit(text)); }
Bytes m_packed_2bit(const TurkishEmbeddings& m, std::string_view text) { return to_bytes(m.embed_packed_2bit(text)); }
std::vector<Bytes> m_batch_packed_1bit(const TurkishEmbeddings& m, const std::vector<std::string>& texts) {
  return to_bytes(m.embed_batch_packed_1bit(texts));
}
std::vector<Bytes> m_batch_packed_2bit(const TurkishEmbeddings& m, const std::vector<std::string>& texts) {
  return to_bytes(m.embed_batch_packed_2bit(texts));
}
std::vector<uint32_t> m_tokenize(const TurkishEmbeddings& m, std::string_view text) { return m.tokenize(text); }
uint64_t m_dimension(const TurkishEmbeddings&) { return TurkishEmbeddings::dimension; }

Result<float> m_distance_1bit(const TurkishEmbeddings&, BytesArg a, BytesArg b) {
  if (a.data.size() != PACKED_1BIT_BYTES || b.data.size() != PACKED_1BIT_BYTES) {
    return Error::domain("1-bit packed vectors must be exactly 32 bytes");
  }
  return distance_1bit(bytes_of(a), bytes_of(b));
}

bool valid_2bit(BytesArg a, BytesArg b) {
  return a.data.size() == PACKED_2BIT_BYTES && b.data.size() == PACKED_2BIT_BYTES;
}

Result<float> m_distance_2bit(const TurkishEmbeddings&, BytesArg a, BytesArg b) {
  if (!valid_2bit(a, b)) return Error::domain("2-bit packed vectors must be exactly 64 bytes");
  return distance_2bit(bytes_of(a), bytes_of(b));
}

Result<float> m_similarity_2bit(const TurkishEmbeddings&, BytesArg a, BytesArg b) {
  if (!valid_2bit(a, b)) return Error::domain("2-bit packed vectors must be exactly 64 bytes");
  return cosine_2bit(bytes_of(a), bytes_of(b));
}

float similarity_vectors(std::vector<float> a, std::vector<float> b) { return cosine_similarity(a, b); }

TurkishEmbeddings make_embeddings() { return TurkishEmbeddings(); }

// --- on the shared model ----------------------------------------------------

std::vector<float> embed(std::string_view text) { return m_embed(shared_model(), text); }
std::vector<std::vector<float>> embed_batch(const std::vector<std::string>& texts) {
  return m_embed_batch(shared_model(), texts);
}
float similarity(std::string_view a, std::string_view b) { return m_similarity(shared_model(), a, b); }
Bytes embed_packed_1bit(std::string_view text) { return m_packed_1bit(shared_model(), text); }
Bytes embed_packed_2bit(std::string_view text) { return m_packed_2bit(shared_model(), text); }
std::vector<Bytes> embed_batch_packed_1bit(const std::vector<std::string>& texts) {
  return m_batch_packed_1bit(shared_model(), texts);
}
std::vector<Bytes> embed_batch_packed_2bit(const std::vector<std::string>& texts) {
  return m_batch_packed_2bit(shared_model(), texts);
}
std::vector<uint32_t> tokenize_embedding_text(std::string_view text) { return m_tokenize(shared_model(), text); }

uint64_t metric_pointer_1bit() { return reinterpret_cast<uintptr_t>(&selvo_usearch_metric_1bit); }
uint64_t metric_pointer_2bit() { return reinterpret_cast<uintptr_t>(&selvo_usearch_metric_2bit); }

}  // namespace

void register_embeddings(Registry& r) {
  r.function<&embed>("embed(text)");
  r.function<&embed_packed_2bit>("embed_packed_2bit(text)");
  r.function<&embed_packed_1bit>("embed_packed_1bit(text)");
  r.function<&embed_batch_packed_2bit>("embed_batch_packed_2bit(texts)");
  r.function<&embed_batch_packed_1bit>("embed_batch_packed_1bit(texts)");
  r.function<&metric_pointer_2bit>("get_usearch_metric_pointer_2bit()");
  r.function<&metric_pointer_1bit>("get_usearch_metric_pointer_1bit()");

  r.constant("EMBEDDING_SCALE_2BIT", check(PyFloat_FromDouble(EMBEDDING_SCALE_2BIT)));
  r.constant("HYBRID_VECTOR_BYTES", check(PyLong_FromLong(128)));
  r.constant("PACKED_2BIT_BYTES", check(PyLong_FromSize_t(PACKED_2BIT_BYTES)));
  r.constant("PACKED_1BIT_BYTES", check(PyLong_FromSize_t(PACKED_1BIT_BYTES)));

  r.function<&tokenize_embedding_text>("tokenize_embedding_text(text)");
  r.function<&embed_batch>("embed_batch(texts)");
  r.function<&similarity>("similarity(text_a, text_b)");
  r.function<&similarity_vectors>("similarity_vectors(vec_a, vec_b)");

  r.cls("Embeddings")
      .wraps<TurkishEmbeddings>()
      .constructor<&make_embeddings>("Embeddings()")
      .method<&m_embed>("embed($self, text)")
      .method<&m_packed_2bit>("embed_packed_2bit($self, text)")
      .method<&m_packed_1bit>("embed_packed_1bit($self, text)")
      .method<&m_batch_packed_2bit>("embed_batch_packed_2bit($self, texts)")
      .method<&m_batch_packed_1bit>("embed_batch_packed_1bit($self, texts)")
      .method<&m_similarity_2bit>("similarity_packed_2bit($self, a, b)")
      .method<&m_distance_2bit>("distance_packed_2bit($self, a, b)")
      .method<&m_distance_1bit>("distance_packed_1bit($self, a, b)")
      .method<&m_tokenize>("tokenize($self, text)")
      .method<&m_embed_batch>("embed_batch($self, texts)")
      .method<&m_similarity>("similarity($self, text_a, text_b)")
      .static_method<&similarity_vectors>("similarity_vectors(vec_a, vec_b)")
      .property<&m_dimension>("dimension");
}

}  // namespace selvo::py

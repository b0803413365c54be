// Chunks of a text for retrieval: the Chunk record and the sentence chunker.
#include "bindings.h"
#include "chunking/sentence_chunker.h"

namespace selvo::py {

namespace {

std::string chunk_text(const Chunk& c) { return c.text; }
uint64_t chunk_start(const Chunk& c) { return c.start_index; }
uint64_t chunk_end(const Chunk& c) { return c.end_index; }
uint64_t chunk_tokens(const Chunk& c) { return c.token_count; }
std::vector<std::string> chunk_sentences_of(const Chunk& c) { return c.sentences; }
std::string chunk_repr(const Chunk& c) { return c.repr(); }

Ref chunk_to_dict(const Chunk& c) {
  Ref d = check(PyDict_New());
  auto set = [&](const char* key, PyObject* value) { set_item(d.get(), key, check(value)); };
  set("text", to_py(c.text));
  set("start_index", to_py(static_cast<uint64_t>(c.start_index)));
  set("end_index", to_py(static_cast<uint64_t>(c.end_index)));
  set("token_count", to_py(static_cast<uint64_t>(c.token_count)));
  set("sentences", to_py(c.sentences));
  return d;
}

std::vector<NewInstance<Chunk>> wrap(std::vector<Chunk> chunks) {
  std::vector<NewInstance<Chunk>> out;
  out.reserve(chunks.size());
  for (Chunk& c : chunks) out.push_back(NewInstance<Chunk>{std::move(c)});
  return out;
}

size_t or_default(std::optional<uint64_t> v, size_t fallback) { return v ? static_cast<size_t>(*v) : fallback; }

SentenceChunker make_chunker(std::optional<uint64_t> chunk_size, std::optional<uint64_t> chunk_overlap,
                             std::optional<uint64_t> min_sentences) {
  return SentenceChunker(or_default(chunk_size, SentenceChunker::kDefaultChunkSize),
                         or_default(chunk_overlap, SentenceChunker::kDefaultOverlap),
                         or_default(min_sentences, SentenceChunker::kDefaultMinSentences));
}

std::vector<NewInstance<Chunk>> chunker_chunk(const SentenceChunker& c, std::string_view text) {
  return wrap(c.chunk(text));
}

std::vector<std::vector<NewInstance<Chunk>>> chunker_chunk_batch(const SentenceChunker& c,
                                                                 const std::vector<std::string>& texts) {
  std::vector<std::vector<NewInstance<Chunk>>> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(wrap(c.chunk(t)));
  return out;
}

std::vector<NewInstance<Chunk>> chunk_sentences(std::string_view text, std::optional<uint64_t> chunk_size,
                                                std::optional<uint64_t> chunk_overlap,
                                                std::optional<uint64_t> min_sentences_per_chunk) {
  return wrap(make_chunker(chunk_size, chunk_overlap, min_sentences_per_chunk).chunk(text));
}

}  // namespace

void register_chunking(Registry& r) {
  r.function<&chunk_sentences>(
      "chunk_sentences(text, chunk_size=None, chunk_overlap=None, min_sentences_per_chunk=None)");

  r.cls("Chunk")
      .wraps<Chunk>()
      .no_constructor()
      .property<&chunk_text>("text")
      .property<&chunk_start>("start_index")
      .property<&chunk_end>("end_index")
      .property<&chunk_tokens>("token_count")
      .property<&chunk_sentences_of>("sentences")
      .method<&chunk_to_dict>("to_dict($self)")
      .repr<&chunk_repr>();

  r.cls("SentenceChunker")
      .wraps<SentenceChunker>()
      .constructor<&make_chunker>("SentenceChunker(chunk_size=None, chunk_overlap=None, min_sentences_per_chunk=None)")
      .method<&chunker_chunk>("chunk($self, text)")
      .method<&chunker_chunk_batch>("chunk_batch($self, texts)")
      .call<&chunker_chunk>("__call__($self, text)");
}

}  // namespace selvo::py

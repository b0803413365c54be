// Resources compiled into the library.
//
// Every embedded file is assembled into read-only data by core/data/resources.S
// as a byte array selvo_resource_<name> with its length in
// selvo_resource_<name>_size; SELVO_EMBEDDED_RESOURCE(<name>) declares the pair
// and the accessor selvo::resources::<name>(). Nothing is read from disk at
// run time. To add a resource, add a SELVO_RESOURCE line to resources.S and a
// SELVO_EMBEDDED_RESOURCE line below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#define SELVO_EMBEDDED_RESOURCE(name)                                                         \
  extern "C" __attribute__((visibility("hidden"))) const char selvo_resource_##name[];        \
  extern "C" __attribute__((visibility("hidden"))) const std::uint64_t                        \
      selvo_resource_##name##_size;                                                           \
  namespace selvo::resources {                                                                \
  inline std::string_view name() noexcept {                                                   \
    return {selvo_resource_##name, static_cast<std::size_t>(selvo_resource_##name##_size)};   \
  }                                                                                           \
  }

// The root lexicon text (morphology/root_lexicon.h): CRLF lines of
// "lemma root Primary Secondary [Attribute...]".
SELVO_EMBEDDED_RESOURCE(root_lexicon)
// The syntactic lexicon text: two comment lines, then lines in the layout of
// the root lexicon; CRLF between lines, none after the last.
SELVO_EMBEDDED_RESOURCE(syntactic_lexicon)
// The subword vocabulary of the embedding tokenizer (embeddings/
// unigram_tokenizer.h): a tokenizer description in the JSON layout of the
// Hugging Face tokenizers library with a Unigram model.
SELVO_EMBEDDED_RESOURCE(embedding_tokenizer)
// The 2-bit quantized embedding table (embeddings/embedding_table.h): a
// NumPy ZIP archive of packed_indices.npy and scales.npy.
SELVO_EMBEDDED_RESOURCE(embedding_weights)

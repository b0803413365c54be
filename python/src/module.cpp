// The extension module selvo._core: its registration order and entry point.
#include "bindings.h"
#include "frame.h"

namespace {

using namespace std::string_view_literals;

// The order in which names appear in the module: functions, the embedding
// constants, more functions, then the classes. A binding file registers
// what it implements; names not implemented yet are simply absent.
const std::vector<std::string_view>& module_order() {
  static const std::vector<std::string_view> order = {
      "to_turkish_lower", "to_turkish_upper", "to_turkish_title", "check_major_vowel_harmony",
      "check_minor_vowel_harmony", "asciify", "deasciify", "normalize_informal", "tokenize_words",
      "analyze_document_json", "analyze_readability_json", "syllabify", "hyphenate", "count_syllables",
      "number_to_words", "ordinal_to_words", "currency_to_words", "words_to_number", "stem", "is_stopword",
      "remove_stopwords", "extract_entities_json", "extract_keywords_json", "summarize", "audit_ai_style_json",
      "generate_humanizer_prompt", "check_grammar_json", "correct_grammar", "embed", "embed_packed_2bit",
      "embed_packed_1bit", "embed_batch_packed_2bit", "embed_batch_packed_1bit", "sparse_embed", "hybrid_embed",
      "embed_hybrid", "embed_batch_hybrid", "get_usearch_metric_pointer_2bit", "get_usearch_metric_pointer_1bit",
      "get_usearch_metric_pointer_hybrid", "set_hybrid_metric_alpha", "get_hybrid_metric_alpha",
      "reciprocal_rank_fusion",
      // constants
      "EMBEDDING_SCALE_2BIT", "HYBRID_VECTOR_BYTES", "PACKED_2BIT_BYTES", "PACKED_1BIT_BYTES",
      // functions 44-59
      "tokenize_embedding_text", "embed_batch", "similarity", "similarity_vectors", "chunk_semantic",
      "chunk_sentences", "chunk_sdpm", "validate_tckn", "validate_vkn", "validate_iban", "validate_credit_card",
      "validate_plate", "validate_vin", "validate_imei", "validate_ssn", "harmonize_suffix",
      // classes
      "SpellChecker", "Morphology", "SyntacticMorphology", "CompoundDecomposer", "Disambiguator",
      "DependencyParser", "GrammarChecker", "Embeddings", "Chunk", "SemanticChunker", "SentenceChunker",
      "SDPMChunker", "PiiVault", "TurkishPiiEngine"};
  return order;
}

PyModuleDef g_module_def = {PyModuleDef_HEAD_INIT, "_core", "", 0, nullptr, nullptr, nullptr, nullptr, nullptr};

selvo::py::ModuleOnce g_once;

PyObject* build() {
  return selvo::py::build_module(&g_module_def, "selvo._core.InternalFault", &selvo::py::register_all, &module_order());
}

}  // namespace

PyMODINIT_FUNC PyInit__core(void) { return g_once.init(build); }

// Morphology: the analyser, generator, disambiguator, stemmer, stopwords
// and compound splitter.
#include "bindings.h"
#include "morphology/analyzer.h"
#include "morphology/compound_decomposer.h"
#include "morphology/disambiguator.h"
#include "morphology/generator.h"
#include "morphology/stemmer.h"
#include "morphology/stopwords.h"

namespace selvo::py {

namespace {

// "surface", "lemma", "root", "primary_pos", "secondary_pos", "morphemes",
// "formatted", then "score" when asked for.
Ref parse_dict(const MorphParse& p, bool with_score) {
  Ref d = check(PyDict_New());
  set_item(d.get(), "surface", check(str_from(p.surface)));
  set_item(d.get(), "lemma", check(str_from(p.lemma)));
  set_item(d.get(), "root", check(str_from(p.root)));
  set_item(d.get(), "primary_pos", check(str_from(short_tag(p.primary_pos))));
  set_item(d.get(), "secondary_pos", check(str_from(secondary_short_code(p.secondary_pos))));
  set_item(d.get(), "morphemes", check(to_py(p.morpheme_tags)));
  set_item(d.get(), "formatted", check(str_from(p.formatted)));
  if (with_score) set_item(d.get(), "score", check(PyFloat_FromDouble(static_cast<double>(p.score))));
  return d;
}

Ref parse_list(const std::vector<MorphParse>& ps, bool with_score) {
  Ref list = check(PyList_New(static_cast<Py_ssize_t>(ps.size())));
  for (size_t i = 0; i < ps.size(); ++i) {
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), parse_dict(ps[i], with_score).release());
  }
  return list;
}

// --- module functions ---------------------------------------------------

std::string stem(std::string_view word) { return TurkishStemmer::shared().stem(word); }

bool is_stopword(std::string_view word) { return TurkishStopwords::shared().is_stopword(word); }

std::vector<std::string> remove_stopwords(std::vector<std::string> tokens) {
  return TurkishStopwords::shared().filter_tokens(tokens);
}

// --- Morphology ---------------------------------------------------------

TurkishMorphology make_morphology() { return TurkishMorphology(); }

Ref morphology_analyze(const TurkishMorphology& m, std::string_view word) {
  return parse_list(m.analyze(word), true);
}

// Generation reads the built-in roots and the embedded lexicon only, never
// the entries loaded into this instance.
std::optional<std::string> morphology_generate(const TurkishMorphology&, std::string_view lemma,
                                               std::vector<std::string> tags) {
  static const TurkishGenerator generator;
  return generator.generate(lemma, tags);
}

Result<void> morphology_load_file(TurkishMorphology& m, std::string path) {
  return m.load_dictionary_file(path);
}

void morphology_load_str(TurkishMorphology& m, std::string_view text) { m.load_dictionary_str(text); }

// --- CompoundDecomposer -------------------------------------------------

CompoundDecomposer make_decomposer() { return CompoundDecomposer(); }

Ref part_dict(const MorphParse& p) {
  Ref d = check(PyDict_New());
  set_item(d.get(), "root", check(str_from(p.root)));
  set_item(d.get(), "pos", check(str_from(short_tag(p.primary_pos))));
  return d;
}

Ref decomposer_decompose(const CompoundDecomposer& d, std::string_view word) {
  std::vector<CompoundAnalysis> found = d.decompose(word);
  Ref list = check(PyList_New(static_cast<Py_ssize_t>(found.size())));
  for (size_t i = 0; i < found.size(); ++i) {
    const CompoundAnalysis& c = found[i];
    Ref item = check(PyDict_New());
    set_item(item.get(), "surface", check(str_from(c.surface)));
    set_item(item.get(), "part1", check(str_from(c.part1)));
    set_item(item.get(), "part2", check(str_from(c.part2)));
    set_item(item.get(), "parse1", part_dict(c.parse1));
    set_item(item.get(), "parse2", part_dict(c.parse2));
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), item.release());
  }
  return list;
}

// --- Disambiguator ------------------------------------------------------

MorphologicalDisambiguator make_disambiguator() { return MorphologicalDisambiguator(); }

Ref disambiguator_disambiguate(const MorphologicalDisambiguator& d, std::vector<std::string> tokens) {
  return parse_list(d.disambiguate(tokens), false);
}

}  // namespace

void register_morphology(Registry& r) {
  r.function<&stem>("stem(word)");
  r.function<&is_stopword>("is_stopword(word)");
  r.function<&remove_stopwords>("remove_stopwords(tokens)");

  r.cls("Morphology")
      .wraps<TurkishMorphology>()
      .constructor<&make_morphology>("Morphology()")
      .method<&morphology_analyze>("analyze($self, word)")
      .method<&morphology_generate>("generate($self, lemma, tags)")
      .method<&morphology_load_file>("load_dictionary_file($self, path)")
      .method<&morphology_load_str>("load_dictionary_str($self, text)");
  r.cls("CompoundDecomposer")
      .wraps<CompoundDecomposer>()
      .constructor<&make_decomposer>("CompoundDecomposer()")
      .method<&decomposer_decompose>("decompose($self, word)");
  r.cls("Disambiguator")
      .wraps<MorphologicalDisambiguator>()
      .constructor<&make_disambiguator>("Disambiguator()")
      .method<&disambiguator_disambiguate>("disambiguate($self, tokens)");
}

}  // namespace selvo::py

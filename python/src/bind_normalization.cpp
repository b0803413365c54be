// Diacritics, informal text, number and currency words, spelling.
#include "bindings.h"
#include "normalization/deasciifier.h"
#include "normalization/informal_normalizer.h"
#include "normalization/asciifier.h"
#include "normalization/number_words.h"
#include "normalization/spell_checker.h"

namespace selvo::py {

namespace {

std::string currency_to_words(double amount, std::optional<std::string_view> currency) {
  return TurkishNumberConverter::currency_to_words(amount, currency.value_or("TL"));
}

std::string deasciify(std::string_view text) { return TurkishDeasciifier::deasciify(text); }
std::string normalize_informal(std::string_view text) { return TurkishInformalNormalizer::normalize_text(text); }

TurkishSpellChecker make_spell_checker() { return TurkishSpellChecker(); }
void spell_add_word(TurkishSpellChecker& checker, std::string_view word) { checker.add_word(word); }
bool spell_is_correct(const TurkishSpellChecker& checker, std::string_view word) { return checker.is_correct(word); }

// [{"word": str, "distance": int, "score": float}, ...]
Ref spell_suggest(const TurkishSpellChecker& checker, std::string_view word, std::optional<uint64_t> max_distance,
                  std::optional<uint64_t> max_suggestions) {
  std::vector<SpellSuggestion> found =
      checker.suggest(word, max_distance.value_or(TurkishSpellChecker::kDefaultMaxDistance),
                      max_suggestions.value_or(TurkishSpellChecker::kDefaultMaxSuggestions));
  Ref list = check(PyList_New(static_cast<Py_ssize_t>(found.size())));
  for (size_t i = 0; i < found.size(); ++i) {
    Ref item = check(PyDict_New());
    set_item(item.get(), "word", check(to_py(found[i].word)));
    set_item(item.get(), "distance", check(to_py(found[i].distance)));
    set_item(item.get(), "score", check(to_py(found[i].score)));
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), item.release());
  }
  return list;
}

}  // namespace

void register_normalization(Registry& r) {
  r.function<&TurkishAsciifier::asciify>("asciify(text)");
  r.function<&deasciify>("deasciify(text)");
  r.function<&normalize_informal>("normalize_informal(text)");
  r.function<&TurkishNumberConverter::number_to_words>("number_to_words(n)");
  r.function<&TurkishNumberConverter::ordinal_to_words>("ordinal_to_words(n)");
  r.function<&currency_to_words>("currency_to_words(amount, currency=None)");
  r.function<&TurkishNumberConverter::words_to_number>("words_to_number(text)");
  r.cls("SpellChecker")
      .wraps<TurkishSpellChecker>()
      .constructor<&make_spell_checker>("SpellChecker()")
      .method<&spell_add_word>("add_word($self, word)")
      .method<&spell_is_correct>("is_correct($self, word)")
      .method<&spell_suggest>("suggest($self, word, max_distance=None, max_suggestions=None)");
}

}  // namespace selvo::py

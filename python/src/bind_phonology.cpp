// Case mapping, vowel harmony and syllables.
#include "bindings.h"
#include "phonology/alphabet.h"
#include "phonology/harmony.h"
#include "phonology/syllables.h"

namespace selvo::py {

namespace {

std::string hyphenate(std::string_view word, std::optional<std::string_view> delimiter) {
  return TurkishSyllabifier::hyphenate(word, delimiter.value_or("-"));
}

std::vector<std::string> syllabify(std::string_view word) { return TurkishSyllabifier::syllabify(word); }

uint64_t count_syllables(std::string_view word) { return selvo::count_syllables(word); }

}  // namespace

void register_phonology(Registry& r) {
  r.function<&to_turkish_lower>("to_turkish_lower(text)");
  r.function<&to_turkish_upper>("to_turkish_upper(text)");
  r.function<&to_turkish_title>("to_turkish_title(text)");
  r.function<&check_major_vowel_harmony>("check_major_vowel_harmony(word)");
  r.function<&check_minor_vowel_harmony>("check_minor_vowel_harmony(word)");
  r.function<&syllabify>("syllabify(word)");
  r.function<&hyphenate>("hyphenate(word, delimiter=None)");
  r.function<&count_syllables>("count_syllables(word)");
}

}  // namespace selvo::py

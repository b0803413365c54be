#include "morphology/generator.h"

#include "phonology/alphabet.h"
#include "phonology/harmony.h"
#include "util/utf8.h"

namespace selvo {

namespace {

char32_t last_char(std::string_view s) {
  if (s.empty()) return 0;
  size_t i = s.size();
  return utf8::prev(s, i);
}

bool vowel_final(std::string_view s) { return !s.empty() && is_vowel(last_char(s)); }

// "e" or "a".
std::string_view two_way(std::string_view text, bool front_override) {
  if (front_override) return "e";
  std::optional<char32_t> v = last_vowel(text);
  if (!v) return "e";
  switch (*v) {
    case U'e': case U'i': case U'ö': case U'ü': case U'î':
    case U'E': case U'İ': case U'Ö': case U'Ü': case U'Î':
      return "e";
    default:
      return "a";
  }
}

// "ı", "i", "u" or "ü".
std::string_view four_way(std::string_view text, bool front_override) {
  if (front_override) return "i";
  std::optional<char32_t> v = last_vowel(text);
  if (!v) return "i";
  switch (*v) {
    case U'a': case U'ı': case U'â': case U'A': case U'I': case U'Â':
      return "ı";
    case U'o': case U'u': case U'û': case U'O': case U'U': case U'Û':
      return "u";
    case U'ö': case U'ü': case U'Ö': case U'Ü':
      return "ü";
    default:
      return "i";
  }
}

// "t" after a voiceless consonant, otherwise "d".
std::string_view start_consonant(std::string_view text) {
  switch (last_char(text)) {
    case U'f': case U'h': case U'k': case U'p': case U's': case U't': case U'ç': case U'ş':
    case U'F': case U'H': case U'K': case U'P': case U'S': case U'T': case U'Ç': case U'Ş':
      return "t";
    default:
      return "d";
  }
}

}  // namespace

TurkishGenerator::TurkishGenerator() : lexicon_(&RootLexicon::shared()) {}

std::string TurkishGenerator::apply_stem_mutation(std::string_view stem, bool soften, bool drop_vowel,
                                                  bool double_consonant) {
  return selvo::apply_stem_mutation(stem, soften, drop_vowel, double_consonant);
}

std::optional<std::string> TurkishGenerator::generate(std::string_view root,
                                                      const std::vector<std::string>& tags) const {
  RootLexicon::Items items = lexicon_->lookup(root);
  if (items.empty()) return std::nullopt;
  const DictionaryItem& item = items.front();
  const bool voicing = item.has(RootAttribute::Voicing);
  const bool drop = item.has(RootAttribute::VowelDrop);
  const bool doubling = item.has(RootAttribute::Doubling);
  const bool inverse = item.has(RootAttribute::InverseHarmony);

  std::string text = item.root;
  bool mutated = false;
  auto mutate = [&] {
    if (!mutated) text = selvo::apply_stem_mutation(text, voicing, drop, doubling);
  };
  auto soften = [&] {
    if (voicing) text = apply_stem_softening(text);
  };

  for (const std::string& t : tags) {
    if (t == "A3pl") {
      text += two_way(text, inverse) == "e" ? "ler" : "lar";
    } else if (t == "P1sg" || t == "P2sg") {
      mutate();
      if (!vowel_final(text)) text += four_way(text, inverse);
      text += t == "P1sg" ? "m" : "n";
      mutated = true;
    } else if (t == "P3sg") {
      mutate();
      if (vowel_final(text)) text += 's';
      text += four_way(text, inverse);
      mutated = true;
    } else if (t == "Acc") {
      mutate();
      if (vowel_final(text)) text += 'y';
      text += four_way(text, inverse);
      mutated = true;
    } else if (t == "Dat") {
      mutate();
      if (vowel_final(text)) text += 'y';
      text += two_way(text, inverse);
      mutated = true;
    } else if (t == "Gen") {
      mutate();
      if (vowel_final(text)) text += 'n';
      text += four_way(text, inverse);
      text += 'n';
      mutated = true;
    } else if (t == "Loc") {
      std::string_view c = start_consonant(text);
      text += c;
      text += two_way(text, inverse);
    } else if (t == "Abl") {
      std::string_view c = start_consonant(text);
      text += c;
      text += two_way(text, inverse);
      text += 'n';
    } else if (t == "Past") {
      std::string_view c = start_consonant(text);
      text += c;
      text += four_way(text, false);
    } else if (t == "Fut") {
      soften();
      if (vowel_final(text)) text += 'y';
      text += two_way(text, false) == "e" ? "ecek" : "acak";
    } else if (t == "Prog") {
      soften();
      if (vowel_final(text)) {
        size_t i = text.size();
        utf8::prev(text, i);
        text.resize(i);
      }
      text += four_way(text, false);
      text += "yor";
    } else if (t == "A1sg") {
      if (text.empty()) continue;
      const char32_t last = last_char(text);
      if (last == U'k') {
        text.pop_back();
        text += "ğ";
        text += four_way(text, false);
        text += 'm';
      } else if (text.size() >= 3 && text.ends_with("yor")) {
        text += "um";
      } else if (last == U'ı' || last == U'i' || last == U'u' || last == U'ü') {
        text += 'm';
      }
    }
  }
  return text;
}

}  // namespace selvo

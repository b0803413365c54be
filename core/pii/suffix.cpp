#include "pii/suffix.h"

#include "phonology/alphabet.h"
#include "pii/text.h"
#include "util/utf8.h"

namespace selvo {

namespace {

bool is_plain_vowel(char32_t c) {
  switch (c) {
    case U'a': case U'e': case U'ı': case U'i': case U'o': case U'ö': case U'u': case U'ü': return true;
    default: return false;
  }
}

bool is_front(char32_t c) { return c == U'e' || c == U'i' || c == U'ö' || c == U'ü'; }

bool is_voiceless(char32_t c) {
  switch (c) {
    case U'f': case U'h': case U'k': case U'p': case U's': case U't': case U'ç': case U'ş': return true;
    default: return false;
  }
}

}  // namespace

StemSuffix split_stem_suffix(std::string_view token, size_t offset) {
  StemSuffix out;
  size_t cut = std::string_view::npos;
  size_t cut_len = 0;
  for (size_t i = 0; i < token.size();) {
    size_t start = i;
    char32_t c = utf8::next(token, i);
    if (c == U'\'' || c == U'\u2019' || c == U'\u00B4') {
      cut = start;
      cut_len = i - start;
      out.apostrophe = c;
      break;
    }
  }
  if (cut == std::string_view::npos) {
    out.stem = token;
  } else {
    out.stem = token.substr(0, cut);
    std::string_view rest = token.substr(cut + cut_len);
    if (!rest.empty()) out.suffix = rest;
  }
  out.stem_start = offset;
  out.stem_end = offset + out.stem.size();
  return out;
}

std::optional<SuffixCase> detect_suffix_case(std::string_view suffix) {
  size_t a = 0;
  while (a < suffix.size()) {
    size_t i = a;
    if (pii::is_alphabetic(utf8::next(suffix, i))) break;
    a = i;
  }
  size_t b = suffix.size();
  while (b > a) {
    size_t i = b;
    if (pii::is_alphabetic(utf8::prev(suffix, i))) break;
    b = i;
  }
  std::string l = to_turkish_lower(suffix.substr(a, b - a));
  struct Ending {
    std::string_view text;
    SuffixCase c;
  };
  static constexpr Ending kEndings[] = {
      {"a", SuffixCase::Dative},         {"e", SuffixCase::Dative},         {"ya", SuffixCase::Dative},
      {"ye", SuffixCase::Dative},        {"in", SuffixCase::Genitive},      {"un", SuffixCase::Genitive},
      {"ın", SuffixCase::Genitive},      {"ün", SuffixCase::Genitive},      {"nin", SuffixCase::Genitive},
      {"nun", SuffixCase::Genitive},     {"nın", SuffixCase::Genitive},     {"nün", SuffixCase::Genitive},
      {"i", SuffixCase::Accusative},     {"u", SuffixCase::Accusative},     {"ı", SuffixCase::Accusative},
      {"ü", SuffixCase::Accusative},     {"yi", SuffixCase::Accusative},    {"yu", SuffixCase::Accusative},
      {"yı", SuffixCase::Accusative},    {"yü", SuffixCase::Accusative},    {"de", SuffixCase::Locative},
      {"da", SuffixCase::Locative},      {"te", SuffixCase::Locative},      {"ta", SuffixCase::Locative},
      {"den", SuffixCase::Ablative},     {"dan", SuffixCase::Ablative},     {"ten", SuffixCase::Ablative},
      {"tan", SuffixCase::Ablative},     {"le", SuffixCase::Instrumental},  {"la", SuffixCase::Instrumental},
      {"yle", SuffixCase::Instrumental}, {"yla", SuffixCase::Instrumental}, {"ler", SuffixCase::Plural},
      {"lar", SuffixCase::Plural},
  };
  for (const Ending& e : kEndings) {
    if (e.text == l) return e.c;
  }
  return std::nullopt;
}

std::string harmonize_suffix(std::string_view stem, SuffixCase c) {
  std::string l = to_turkish_lower(stem);
  char32_t last = U'a';
  if (!l.empty()) {
    size_t i = l.size();
    last = utf8::prev(l, i);
  }
  char32_t v = U'e';
  for (size_t i = l.size(); i > 0;) {
    char32_t ch = utf8::prev(l, i);
    if (is_plain_vowel(ch)) {
      v = ch;
      break;
    }
  }
  const bool vowel_final = is_plain_vowel(last);
  const bool front = is_front(v);
  const bool voiceless = is_voiceless(last);
  auto four_way = [&]() -> std::string_view {
    switch (v) {
      case U'a': case U'ı': return "ı";
      case U'o': case U'u': return "u";
      case U'ö': case U'ü': return "ü";
      default: return "i";
    }
  };
  std::string ending;
  switch (c) {
    case SuffixCase::Dative:
      if (vowel_final) ending += 'y';
      ending += front ? "e" : "a";
      break;
    case SuffixCase::Genitive:
      if (vowel_final) ending += 'n';
      ending += four_way();
      ending += 'n';
      break;
    case SuffixCase::Accusative:
      if (vowel_final) ending += 'y';
      ending += four_way();
      break;
    case SuffixCase::Locative:
    case SuffixCase::Ablative:
      ending += voiceless ? 't' : 'd';
      ending += front ? "e" : "a";
      if (c == SuffixCase::Ablative) ending += 'n';
      break;
    case SuffixCase::Instrumental:
      if (vowel_final) ending += 'y';
      ending += front ? "le" : "la";
      break;
    case SuffixCase::Plural:
      ending += front ? "ler" : "lar";
      break;
  }
  std::string out(stem);
  out += '\'';
  out += ending;
  return out;
}

std::optional<SuffixCase> suffix_case_from_name(std::string_view name) {
  std::string key = pii::unicode_lower(name);
  struct Name {
    std::string_view text;
    SuffixCase c;
  };
  static constexpr Name kNames[] = {
      {"dat", SuffixCase::Dative},       {"dative", SuffixCase::Dative},
      {"yonelme", SuffixCase::Dative},   {"gen", SuffixCase::Genitive},
      {"genitive", SuffixCase::Genitive}, {"ilgi", SuffixCase::Genitive},
      {"tamlayan", SuffixCase::Genitive}, {"acc", SuffixCase::Accusative},
      {"accusative", SuffixCase::Accusative}, {"belirtme", SuffixCase::Accusative},
      {"loc", SuffixCase::Locative},     {"locative", SuffixCase::Locative},
      {"bulunma", SuffixCase::Locative}, {"abl", SuffixCase::Ablative},
      {"ablative", SuffixCase::Ablative}, {"ayrilma", SuffixCase::Ablative},
      {"ins", SuffixCase::Instrumental}, {"instrumental", SuffixCase::Instrumental},
      {"vasita", SuffixCase::Instrumental}, {"plu", SuffixCase::Plural},
      {"plural", SuffixCase::Plural},    {"cogul", SuffixCase::Plural},
  };
  for (const Name& n : kNames) {
    if (n.text == key) return n.c;
  }
  return std::nullopt;
}

}  // namespace selvo

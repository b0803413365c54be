#include "morphology/disambiguator.h"

#include <unicode/uchar.h>

#include "util/utf8.h"

namespace selvo {

namespace {

// Tags other than Nom and A3sg.
size_t counted_tags(const MorphParse& p) {
  size_t n = 0;
  for (const std::string& t : p.morpheme_tags) {
    if (t != "Nom" && t != "A3sg") ++n;
  }
  return n;
}

bool has_copula_tag(const MorphParse& p) {
  for (const std::string& t : p.morpheme_tags) {
    if (t.size() >= 3 && t.starts_with("Cop")) return true;
  }
  return false;
}

bool has_tag(const MorphParse& p, std::string_view tag) {
  for (const std::string& t : p.morpheme_tags) {
    if (t == tag) return true;
  }
  return false;
}

bool is_bare_function_reading(const MorphParse& p) {
  return p.morpheme_tags.size() == 1 &&
         (p.primary_pos == PrimaryPos::Conj || p.primary_pos == PrimaryPos::Postp || p.primary_pos == PrimaryPos::Q);
}

bool any_bare_function_reading(const std::vector<MorphParse>& ps) {
  for (const MorphParse& p : ps) {
    if (is_bare_function_reading(p)) return true;
  }
  return false;
}

bool is_common_noun_reading(const MorphParse& p) {
  return p.pos == PrimaryPos::Noun && p.secondary_pos != SecondaryPos::ProperNoun;
}

bool starts_uppercase(std::string_view token) {
  if (token.empty()) return false;
  size_t i = 0;
  char32_t c = utf8::next(token, i);
  if (c >= U'A' && c <= U'Z') return true;
  return c >= 0xC0 && u_isUUppercase(static_cast<UChar32>(c));
}

bool has_apostrophe(std::string_view s) {
  return s.find('\'') != std::string_view::npos || s.find("\u2019") != std::string_view::npos;
}

bool is_sentence_end_mark(std::string_view t) { return t == "\u2026" || t == "." || t == "!" || t == "?"; }

}  // namespace

MorphParse MorphologicalDisambiguator::unknown_word(std::string_view token) {
  MorphParse p;
  p.surface = std::string(token);
  p.lemma = p.surface;
  p.root = p.surface;
  p.morpheme_tags = {"Unk"};
  p.formatted = "[" + p.surface + ":Unk]";
  p.primary_pos = PrimaryPos::Unknown;
  p.pos = PrimaryPos::Unknown;
  p.secondary_pos = SecondaryPos::None;
  p.score = 0.0f;
  return p;
}

std::vector<MorphParse> MorphologicalDisambiguator::disambiguate(const std::vector<std::string>& tokens) const {
  const size_t n = tokens.size();
  std::vector<std::vector<MorphParse>> analyses;
  analyses.reserve(n);
  for (const std::string& t : tokens) analyses.push_back(morphology_.analyze(t));

  std::vector<MorphParse> chosen;
  chosen.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const std::vector<MorphParse>& cands = analyses[i];
    if (cands.empty()) {
      chosen.push_back(unknown_word(tokens[i]));
      continue;
    }
    if (cands.size() == 1) {
      chosen.push_back(cands.front());
      continue;
    }
    const bool sentence_final = i + 1 == n || (i + 2 == n && is_sentence_end_mark(tokens[n - 1]));
    const bool capitalised = starts_uppercase(tokens[i]);
    const bool apostrophe = has_apostrophe(tokens[i]);
    const bool own_function_reading = any_bare_function_reading(cands);

    size_t best = 0;
    float best_value = 0.0f;
    for (size_t ci = 0; ci < cands.size(); ++ci) {
      const MorphParse& c = cands[ci];
      const size_t counted = counted_tags(c);
      float value = c.score;
      // Sentence end.
      if (sentence_final) {
        if (c.pos == PrimaryPos::Verb) {
          value += 3.5f;
        } else if (has_copula_tag(c)) {
          value += 2.5f;
        }
      }
      // Proper noun.
      if (capitalised && c.secondary_pos == SecondaryPos::ProperNoun) {
        if (counted == 1 || (counted > 1 && apostrophe)) value += 5.0f;
      }
      // Following noun.
      for (size_t j = i + 1; j < n; ++j) {
        const std::vector<MorphParse>& next = analyses[j];
        if (next.empty() || any_bare_function_reading(next)) break;
        bool adjective = false;
        for (const MorphParse& q : next) adjective = adjective || q.pos == PrimaryPos::Adj;
        if (adjective) continue;
        bool noun = false;
        for (const MorphParse& q : next) noun = noun || is_common_noun_reading(q);
        if (noun) {
          if (c.pos == PrimaryPos::Det) {
            value += 2.1f;
          } else if (c.pos == PrimaryPos::Adj) {
            value += 2.0f;
          }
        }
        break;
      }
      // Previous choice.
      if (i > 0) {
        const MorphParse& p = chosen[i - 1];
        if (p.pos == PrimaryPos::Adj && c.pos == PrimaryPos::Noun && !has_copula_tag(p) && !has_copula_tag(c) &&
            !own_function_reading) {
          value += 1.5f;
        }
        if (p.pos == PrimaryPos::Pron && c.pos == PrimaryPos::Verb && counted >= 2) value += 1.0f;
      }
      // Length.
      value -= 0.05f * static_cast<float>(counted);
      // Closed classes.
      if (c.primary_pos == PrimaryPos::Q ||
          (counted == 1 && (c.primary_pos == PrimaryPos::Pron || c.primary_pos == PrimaryPos::Conj))) {
        value += 0.1f;
      }

      if (ci == 0 || value > best_value ||
          (value == best_value && !has_tag(c, "P2sg") && has_tag(cands[best], "P2sg"))) {
        best = ci;
        best_value = value;
      }
    }
    chosen.push_back(cands[best]);
  }
  return chosen;
}

}  // namespace selvo

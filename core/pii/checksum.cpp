#include "pii/checksum.h"

#include <optional>
#include <string>

#include "phonology/alphabet.h"
#include "pii/text.h"
#include "pii/validators.h"
#include "util/regex.h"
#include "util/utf8.h"

namespace selvo {

namespace {

size_t ascii_digit_count(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += (c >= '0' && c <= '9') ? 1 : 0;
  return n;
}

bool has_ascii_digit(std::string_view s) {
  for (char c : s) {
    if (c >= '0' && c <= '9') return true;
  }
  return false;
}

void append(std::vector<PiiEntity>& out, std::string_view text, Span span, PiiType type, float confidence) {
  PiiEntity e;
  e.text = std::string(span.of(text));
  e.label = std::string(as_str(type));
  e.pii_type = type;
  e.start = span.start;
  e.end = span.end;
  e.confidence = confidence;
  e.stem = e.text;
  out.push_back(std::move(e));
}

// The span of group `g` of `m`, trimmed of white space; nullopt when the
// group did not take part or holds only white space.
std::optional<Span> trimmed_group(const Match& m, size_t g) {
  std::optional<Span> span = m.group_span(g);
  if (!span) return std::nullopt;
  auto [a, b] = pii::trim_space_range(span->of(m.subject()));
  if (a == b) return std::nullopt;
  return Span{span->start + a, span->start + b};
}

// Shortens an IBAN candidate from the right, a white-space-separated group
// at a time, until it validates: the grouped shape often swallows a short
// word after the number.
std::optional<Span> shortened_iban(std::string_view text, Span span) {
  std::string_view v = span.of(text);
  for (;;) {
    if (validate_iban(v)) return Span{span.start, span.start + v.size()};
    if (v.empty()) return std::nullopt;
    size_t i = v.size();
    std::optional<size_t> cut;
    while (i > 0) {
      size_t at = i;
      char32_t c = utf8::prev(v, at);
      if (utf8::is_space(c)) {
        cut = at;
        break;
      }
      i = at;
    }
    if (!cut) return std::nullopt;
    v = v.substr(0, *cut);
    v = v.substr(0, pii::trim_space_range(v).second);
    if (v.size() < 15) return std::nullopt;
  }
}

}  // namespace

void detect_checksum_entities(const TurkishPiiEngine&, std::string_view text, std::vector<PiiEntity>& out) {
  if (!has_ascii_digit(text)) return;

  static const Regex TCKN_CANDIDATE_REGEX(R"re(\b\d{11}\b)re");
  static const Regex GROUPED_TCKN_REGEX(R"re(\b(?:\d{3}[- ]\d{3}[- ]\d{3}[- ]\d{2}|\d{4}[- ]\d{4}[- ]\d{3})\b)re");
  static const Regex TCKN_TRIGGER_REGEX(
      R"re((?i)\b(?:tc|tckn|tc\s*no|tc\s*kimlik|kimlik\s*no|tc\s*si)[:\s]*([0-9- ]{11,16})\b)re");
  static const Regex VKN_CANDIDATE_REGEX(R"re(\b\d{10}\b)re");
  static const Regex IBAN_CANDIDATE_REGEX(
      R"re((?i)\b[A-Z]{2}\d{2}(?:[0-9A-Z]{11,30}|(?:\s+[0-9A-Z]{1,4}){3,8})\b)re");
  static const Regex IBAN_TRIGGER_REGEX(
      R"re((?i)\b(?:iban|iban\s*no)[:\s]*([A-Z]{2}\d{2}(?:[0-9A-Z]{11,30}|(?:\s+[0-9A-Z]{1,4}){3,8}))\b)re");
  static const Regex PLATE_TRIGGER_REGEX(
      R"re((?i)\b(?:plaka(?:\s*no(?:su)?)?)[:\s]*([0-8][0-9]\s*[A-ZÇĞİÖŞÜ]{1,3}\s*[0-9]{2,5})\b)re");
  static const Regex CARD_CANDIDATE_REGEX(R"re(\b(?:\d[ -]?){13,19}\b)re");
  static const Regex CARD_TRIGGER_REGEX(R"re((?i)\b(?:kart\s*no|kredi\s*kart[ıi]|kart)[:\s]*((?:\d[ -]?){13,19})\b)re");
  static const Regex PLATE_CANDIDATE_REGEX(R"re((?i)\b\d{2}\s*[A-ZÇĞİÖŞÜ]{1,3}\s*\d{2,5}\b)re");
  static const Regex VIN_CANDIDATE_REGEX(R"re(\b[A-HJ-NPR-Z0-9]{17}\b)re");

  // 1, 2: bare and grouped identity numbers.
  TCKN_CANDIDATE_REGEX.for_each_match(text, [&](const Match& m) {
    if (validate_tckn(m.str())) append(out, text, m.span(), PiiType::Tckn, 1.0f);
  });
  GROUPED_TCKN_REGEX.for_each_match(text, [&](const Match& m) {
    std::string_view v = m.str();
    if (ascii_digit_count(v) == 11 && validate_tckn(v)) append(out, text, m.span(), PiiType::Tckn, 0.99f);
  });

  // The gates are tried on the Turkish lowercase and on the general one:
  // the patterns match "IBAN" case-insensitively, but its Turkish lowercase
  // is "ıban", and a gate must never reject what its pattern would find.
  const std::string lower = to_turkish_lower(text);
  const std::string general_lower = pii::unicode_lower(text);
  auto lower_has = [&](std::string_view needle) {
    return lower.find(needle) != std::string::npos || general_lower.find(needle) != std::string::npos;
  };

  // 3: an identity number announced by its trigger words.
  if (lower_has("tc") || lower_has("kimlik")) {
    TCKN_TRIGGER_REGEX.for_each_match(text, [&](const Match& m) {
      std::optional<Span> span = trimmed_group(m, 1);
      if (!span) return;
      std::string_view v = span->of(text);
      if (ascii_digit_count(v) != 11) return;
      append(out, text, *span, PiiType::Tckn, validate_tckn(v) ? 1.0f : 0.95f);
    });
  }
  // 4: tax numbers.
  VKN_CANDIDATE_REGEX.for_each_match(text, [&](const Match& m) {
    if (validate_vkn(m.str())) append(out, text, m.span(), PiiType::Vkn, 1.0f);
  });
  // 5, 6: IBANs, bare and announced.
  IBAN_CANDIDATE_REGEX.for_each_match(text, [&](const Match& m) {
    std::optional<Span> span = trimmed_group(m, 0);
    if (!span) return;
    if (auto found = shortened_iban(text, *span)) append(out, text, *found, PiiType::Iban, 1.0f);
  });
  if (lower_has("iban")) {
    IBAN_TRIGGER_REGEX.for_each_match(text, [&](const Match& m) {
      std::optional<Span> span = trimmed_group(m, 1);
      if (!span) return;
      if (auto found = shortened_iban(text, *span)) append(out, text, *found, PiiType::Iban, 1.0f);
    });
  }
  // 7: a plate announced by "plaka", unvalidated.
  if (lower_has("plaka")) {
    PLATE_TRIGGER_REGEX.for_each_match(text, [&](const Match& m) {
      if (std::optional<Span> span = trimmed_group(m, 1)) append(out, text, *span, PiiType::Plaka, 0.98f);
    });
  }
  // 8, 9: payment cards, bare and announced.
  CARD_CANDIDATE_REGEX.for_each_match(text, [&](const Match& m) {
    if (validate_credit_card(m.str())) append(out, text, m.span(), PiiType::Kart, 1.0f);
  });
  if (lower_has("kart")) {
    CARD_TRIGGER_REGEX.for_each_match(text, [&](const Match& m) {
      std::optional<Span> span = trimmed_group(m, 1);
      if (!span) return;
      std::string_view v = span->of(text);
      size_t digits = ascii_digit_count(v);
      if (digits < 13 || digits > 19) return;
      append(out, text, *span, PiiType::Kart, validate_credit_card(v) ? 1.0f : 0.95f);
    });
  }
  // 10, 11: bare plates and VINs.
  PLATE_CANDIDATE_REGEX.for_each_match(text, [&](const Match& m) {
    if (validate_plate(m.str())) append(out, text, m.span(), PiiType::Plaka, 0.98f);
  });
  VIN_CANDIDATE_REGEX.for_each_match(text, [&](const Match& m) {
    if (validate_vin(m.str())) append(out, text, m.span(), PiiType::SasiNo, 1.0f);
  });
}

}  // namespace selvo

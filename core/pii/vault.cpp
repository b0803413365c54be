#include "pii/vault.h"

// GCC 12 reports a false -Wrestrict on string concatenations (bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "pii/suffix.h"
#include "pii/text.h"
#include "util/json_writer.h"
#include "util/regex.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// Fictitious values for surrogate mode. The numbers fail their check
// digits on purpose, so that no surrogate can be somebody's real number.
constexpr std::string_view kSurrogateNames[] = {"Selin Aktuğ", "Kerem Soyer", "Ela Durukan", "Baran Oğuzer",
                                                "Defne Aras"};
constexpr std::string_view kSurrogateTckn[] = {"10000000000", "20000000001", "30000000002", "40000000003"};
constexpr std::string_view kSurrogateIban[] = {"TR000000000000000000000001", "TR000000000000000000000002",
                                               "TR000000000000000000000003"};
constexpr std::string_view kSurrogatePhones[] = {"0500 000 00 01", "0500 000 00 02", "0500 000 00 03"};
constexpr std::string_view kSurrogateUrlPrefix = "https://example.com/dosya/";

std::string surrogate_value(std::string_view label, uint64_t m) {
  const uint64_t n = m + 1;
  if (label == "AD" || label == "NAME" || label == "KISI" || label == "PERSON") {
    return std::string(kSurrogateNames[m % 5]);
  }
  if (label == "TCKN" || label == "TC") return std::string(kSurrogateTckn[m % 4]);
  if (label == "IBAN") return std::string(kSurrogateIban[m % 3]);
  if (label == "TEL" || label == "PHONE") return std::string(kSurrogatePhones[m % 3]);
  if (label == "OZEL_URL") return std::string(kSurrogateUrlPrefix) + std::to_string(m + 100001);
  if (label == "OZEL_TARIH" || label == "DOGUM_TARIHI") {
    return std::to_string(n % 18 + 10) + ".05.1990";
  }
  std::string out = "[";
  out += label;
  out += '_';
  out += std::to_string(n);
  out += ']';
  return out;
}

std::string build_placeholder(std::string_view label, uint64_t m, MaskMode mode) {
  switch (mode) {
    case MaskMode::Placeholder:
    {
      std::string out = "{{";
      out += pii::unicode_upper(label);
      out += '_';
      out += std::to_string(m + 1);
      out += "}}";
      return out;
    }
    case MaskMode::Tag:
    case MaskMode::Anonymize: {
      std::string out = "[";
      out += pii::unicode_upper(label);
      out += ']';
      return out;
    }
    case MaskMode::Surrogate:
      return surrogate_value(label, m);
  }
  return {};
}

struct Occurrence {
  size_t pos;
  size_t len;
  const VaultEntry* entry;
};

// The placeholders of the vault in `text`, leftmost first and, at one
// position, longest first; non-overlapping. One pass over the text.
std::vector<Occurrence> find_placeholders(std::string_view text, const PiiVault& vault) {
  std::vector<Occurrence> found;
  if (vault.size() == 0) return found;
  for (size_t pos = 0; pos < text.size();) {
    auto [len, entry] = vault.placeholder_at(text, pos);
    if (entry) {
      found.push_back({pos, len, entry});
      pos += len;
    } else {
      ++pos;
    }
  }
  return found;
}

const Regex& placeholder_shape_regex() {
  static const Regex re(R"(\{\{[A-Z_]+_[0-9]+\}\})");
  return re;
}

// Length of the apostrophe (U+0027, U+2019, U+00B4) at byte i, or 0.
size_t apostrophe_at(std::string_view text, size_t i) {
  if (i >= text.size()) return 0;
  if (text[i] == '\'') return 1;
  if (text.substr(i, 3) == "\u2019") return 3;
  if (text.substr(i, 2) == "\u00B4") return 2;
  return 0;
}

}  // namespace

std::optional<MaskMode> mask_mode_from_name(std::string_view name) {
  std::string key = pii::unicode_lower(name);
  if (key == "placeholder") return MaskMode::Placeholder;
  if (key == "tag") return MaskMode::Tag;
  if (key == "anonymize") return MaskMode::Anonymize;
  if (key == "surrogate" || key == "syntheticsurrogate") return MaskMode::Surrogate;
  return std::nullopt;
}

bool is_placeholder_shape(std::string_view s) noexcept {
  if (s.size() < 7 || !s.starts_with("{{") || !s.ends_with("}}")) return false;
  std::string_view body = s.substr(2, s.size() - 4);
  size_t us = body.rfind('_');
  if (us == std::string_view::npos || us == 0 || us + 1 == body.size()) return false;
  for (size_t i = 0; i < us; ++i) {
    if (!((body[i] >= 'A' && body[i] <= 'Z') || body[i] == '_')) return false;
  }
  for (size_t i = us + 1; i < body.size(); ++i) {
    if (body[i] < '0' || body[i] > '9') return false;
  }
  return true;
}

TextPlaceholders::TextPlaceholders(std::string_view text) : text_(text) {
  if (text.find("{{") == std::string_view::npos) return;
  placeholder_shape_regex().for_each_match(text, [&](const Match& m) { shaped_.insert(m.str()); });
}

bool TextPlaceholders::occurs(std::string_view placeholder) const {
  if (is_placeholder_shape(placeholder)) return shaped_.contains(placeholder);
  return text_.find(placeholder) != std::string_view::npos;
}

void PiiVault::add_entry(std::string placeholder, VaultEntry entry) {
  if (!placeholder.empty()) {
    first_bytes_[static_cast<unsigned char>(placeholder[0])] = true;
    if (std::find(key_lengths_.begin(), key_lengths_.end(), placeholder.size()) == key_lengths_.end()) {
      key_lengths_.push_back(placeholder.size());
      std::sort(key_lengths_.begin(), key_lengths_.end(), std::greater<>());
    }
  }
  placeholder_to_entry_.set(std::move(placeholder), std::move(entry));
}

std::pair<size_t, const VaultEntry*> PiiVault::placeholder_at(std::string_view text, size_t pos) const {
  if (pos >= text.size() || !first_bytes_[static_cast<unsigned char>(text[pos])]) return {0, nullptr};
  for (size_t len : key_lengths_) {
    if (len > text.size() - pos) continue;
    if (const VaultEntry* e = placeholder_to_entry_.find(text.substr(pos, len))) return {len, e};
  }
  return {0, nullptr};
}

std::string PiiVault::register_value(std::string_view original, std::string_view label, std::string_view stem,
                                     const std::optional<std::string>& suffix, MaskMode mode,
                                     const TextPlaceholders* avoid) {
  if (const std::string* p = original_to_placeholder_.find(original)) return *p;
  const bool distinct_stem = !stem.empty() && stem != original;
  if (distinct_stem) {
    if (const std::string* p = original_to_placeholder_.find(stem)) return *p;
  }
  const uint64_t* counter = label_counters_.find(label);
  uint64_t m = counter ? *counter : 0;
  if (m == UINT64_MAX) m = UINT64_MAX - 1;  // a counter read from JSON cannot grow past the top
  std::string placeholder = build_placeholder(label, m, mode);
  if (mode == MaskMode::Placeholder) {
    // A number whose placeholder is taken already (by an entry read from a
    // mapping or JSON, or by text the caller wrote) would overwrite that
    // entry or make restoring rewrite that text: skip it.
    while (m < UINT64_MAX - 1 &&
           (placeholder_to_entry_.contains(placeholder) || (avoid && avoid->occurs(placeholder)))) {
      ++m;
      placeholder = build_placeholder(label, m, mode);
    }
  }
  label_counters_.set(std::string(label), m + 1);
  add_entry(placeholder, VaultEntry{placeholder, std::string(original), std::string(label), std::string(stem),
                                    suffix});
  original_to_placeholder_.set(std::string(original), placeholder);
  if (distinct_stem) original_to_placeholder_.set(std::string(stem), placeholder);
  return placeholder;
}

std::string PiiVault::restore(std::string_view text) const {
  std::vector<Occurrence> found = find_placeholders(text, *this);
  if (found.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t p = 0;
  for (const Occurrence& o : found) {
    if (o.pos < p) continue;  // inside an ending consumed before
    out.append(text.substr(p, o.pos - p));
    const VaultEntry& e = *o.entry;
    size_t after = o.pos + o.len;
    size_t apos = e.pii_label == kLiteralLabel ? 0 : apostrophe_at(text, after);
    if (apos == 0) {
      out += e.original_text;
      p = after;
      continue;
    }
    size_t suffix_start = after + apos;
    size_t suffix_end = suffix_start;
    while (suffix_end < text.size()) {
      size_t i = suffix_end;
      if (!pii::is_alphabetic(utf8::next(text, i))) break;
      suffix_end = i;
    }
    std::string_view suffix = text.substr(suffix_start, suffix_end - suffix_start);
    if (std::optional<SuffixCase> c = detect_suffix_case(suffix)) {
      out += harmonize_suffix(e.original_stem, *c);
    } else {
      out += e.original_stem;
      out += '\'';
      out += suffix;
    }
    p = suffix_end;
  }
  out.append(text.substr(p));
  return out;
}

void PiiVault::reserve_literal(std::string_view placeholder) {
  if (placeholder_to_entry_.contains(placeholder)) return;
  std::string p(placeholder);
  add_entry(p, VaultEntry{p, p, std::string(kLiteralLabel), p, std::nullopt});
  original_to_placeholder_.set(p, p);
}

PlaceholderMapping PiiVault::get_mapping() const {
  PlaceholderMapping m;
  m.reserve(placeholder_to_entry_.size());
  for (const auto& [key, entry] : placeholder_to_entry_) m.emplace_back(key, entry.original_text);
  return m;
}

PiiVault PiiVault::from_mapping(const PlaceholderMapping& mapping) {
  PiiVault v;
  for (const auto& [placeholder, value] : mapping) {
    v.add_entry(placeholder, VaultEntry{placeholder, value, "PII", value, std::nullopt});
    v.original_to_placeholder_.set(value, placeholder);
  }
  return v;
}

std::string PiiVault::restore_with_mapping(std::string_view text, const PlaceholderMapping& mapping) {
  return from_mapping(mapping).restore(text);
}

Result<std::string> PiiVault::to_json() const {
  JsonWriter w;
  w.begin_object();
  w.key("placeholder_to_entry").begin_object();
  for (const auto& [key, e] : placeholder_to_entry_) {
    w.key(key).begin_object();
    w.key("placeholder").value(e.placeholder);
    w.key("original_text").value(e.original_text);
    w.key("pii_label").value(e.pii_label);
    w.key("original_stem").value(e.original_stem);
    w.key("original_suffix");
    if (e.original_suffix) {
      w.value(*e.original_suffix);
    } else {
      w.null();
    }
    w.end_object();
  }
  w.end_object();
  w.key("original_to_placeholder").begin_object();
  for (const auto& [key, value] : original_to_placeholder_) w.key(key).value(value);
  w.end_object();
  w.key("label_counters").begin_object();
  for (const auto& [key, value] : label_counters_) w.key(key).value(value);
  w.end_object();
  w.end_object();
  return std::move(w).finish();
}

Result<PiiVault> PiiVault::from_json(std::string_view text) {
  using json = nlohmann::ordered_json;
  json doc;
  try {
    doc = json::parse(text.begin(), text.end());
  } catch (const json::exception& ex) {
    return Error::domain(std::string("Invalid vault JSON: ") + ex.what());
  }
  auto fail = [](std::string what) { return Error::domain("Invalid vault JSON: " + what); };
  if (!doc.is_object()) return fail("expected an object");
  for (const char* k : {"placeholder_to_entry", "original_to_placeholder", "label_counters"}) {
    if (!doc.contains(k)) return fail(std::string("missing key \"") + k + "\"");
    if (!doc[k].is_object()) return fail(std::string("\"") + k + "\" must be an object");
  }
  PiiVault v;
  for (const auto& [key, entry] : doc["placeholder_to_entry"].items()) {
    if (!entry.is_object()) return fail("an entry must be an object: \"" + key + "\"");
    VaultEntry e;
    std::string* fields[] = {&e.placeholder, &e.original_text, &e.pii_label, &e.original_stem};
    const char* names[] = {"placeholder", "original_text", "pii_label", "original_stem"};
    for (size_t i = 0; i < 4; ++i) {
      auto it = entry.find(names[i]);
      if (it == entry.end()) return fail("entry \"" + key + "\" has no \"" + names[i] + "\"");
      if (!it->is_string()) return fail("\"" + std::string(names[i]) + "\" of entry \"" + key + "\" must be a string");
      *fields[i] = it->get<std::string>();
    }
    if (auto it = entry.find("original_suffix"); it != entry.end() && !it->is_null()) {
      if (!it->is_string()) return fail("\"original_suffix\" of entry \"" + key + "\" must be a string or null");
      e.original_suffix = it->get<std::string>();
    }
    v.add_entry(key, std::move(e));
  }
  for (const auto& [key, value] : doc["original_to_placeholder"].items()) {
    if (!value.is_string()) return fail("\"original_to_placeholder\" value of \"" + key + "\" must be a string");
    v.original_to_placeholder_.set(key, value.get<std::string>());
  }
  for (const auto& [key, value] : doc["label_counters"].items()) {
    if (!value.is_number_unsigned() && !(value.is_number_integer() && value.get<int64_t>() >= 0)) {
      return fail("\"label_counters\" value of \"" + key + "\" must be a non-negative integer");
    }
    v.label_counters_.set(key, value.get<uint64_t>());
  }
  return v;
}

// ---------------------------------------------------------------------------
// Masking

MaskResult TurkishPiiEngine::mask_with_vault(std::string_view text, MaskMode mode, PiiVault& vault) const {
  MaskResult r;
  r.original_text = std::string(text);
  r.entities = detect(text);
  std::string& out = r.masked_text;
  out.reserve(text.size());
  const TextPlaceholders in_text(text);

  // Caller text between entities, in placeholder mode. Text that has the
  // shape of a placeholder is kept from ever being restored into something
  // else: a placeholder the vault has issued for a value is itself masked
  // (label METIN), and any other placeholder-shaped text is reserved in the
  // vault as standing for itself, so that no later value is given it.
  const Regex& kPlaceholderShape = placeholder_shape_regex();
  // Placeholders this mode issues all begin with "{{"; when every key of the
  // vault does, a piece without "{{" needs no search.
  bool all_keys_braced = true;
  for (const auto& [key, entry] : vault.placeholder_to_entry()) all_keys_braced = all_keys_braced && key.starts_with("{{");
  auto append_literal = [&](size_t from, size_t to) {
    std::string_view piece = text.substr(from, to - from);
    if (mode != MaskMode::Placeholder || (all_keys_braced && piece.find("{{") == std::string_view::npos)) {
      out.append(piece);
      return;
    }
    struct Literal {
      size_t pos;
      size_t len;
      bool in_vault;
      bool stands_for_itself;
    };
    std::vector<Literal> found;
    for (const Occurrence& o : find_placeholders(piece, vault)) {
      const VaultEntry& e = *o.entry;
      found.push_back({o.pos, o.len, true, e.pii_label == kLiteralLabel && e.original_text == e.placeholder});
    }
    kPlaceholderShape.for_each_match(piece, [&](const Match& m) {
      found.push_back({m.start(), m.end() - m.start(), false, true});
    });
    std::stable_sort(found.begin(), found.end(), [](const Literal& a, const Literal& b) { return a.pos < b.pos; });
    size_t p = 0;
    for (const Literal& l : found) {
      if (l.pos < p) continue;
      out.append(piece.substr(p, l.pos - p));
      std::string_view literal = piece.substr(l.pos, l.len);
      if (l.in_vault && !l.stands_for_itself) {
        out += vault.register_value(literal, kLiteralLabel, literal, std::nullopt, mode, &in_text);
      } else {
        if (!l.in_vault) vault.reserve_literal(literal);
        out.append(literal);
      }
      p = l.pos + l.len;
    }
    out.append(piece.substr(p));
  };

  size_t p = 0;
  for (const PiiEntity& e : r.entities) {
    if (e.start < p) continue;
    append_literal(p, e.start);
    out += vault.register_value(e.text, as_str(e.pii_type), e.stem, e.suffix, mode, &in_text);
    p = e.end;
  }
  append_literal(p, text.size());
  r.mapping = vault.get_mapping();
  r.vault = vault;
  return r;
}

MaskResult TurkishPiiEngine::mask(std::string_view text, MaskMode mode) const {
  PiiVault vault;
  return mask_with_vault(text, mode, vault);
}

std::string TurkishPiiEngine::restore_response(std::string_view text, const PiiVault& vault) const {
  return vault.restore(text);
}

}  // namespace selvo

namespace selvo {

std::optional<PlaceholderMapping> mapping_from_json(std::string_view text) {
  // Document order matters (it decides which of two equal-length
  // placeholders is tried first), so the object is read with the
  // order-preserving flavour of the reader.
  nlohmann::ordered_json doc = nlohmann::ordered_json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
  PlaceholderMapping m;
  for (const auto& [key, value] : doc.items()) {
    if (!value.is_string()) return std::nullopt;
    m.emplace_back(key, value.get<std::string>());
  }
  return m;
}

}  // namespace selvo

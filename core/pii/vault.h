// The vault: placeholders issued while masking a prompt, and the originals
// they stand for, so that a model's answer can be restored.
//
// One vault can serve a whole conversation: the same value (or the same
// word without its suffix) always gets the same placeholder, and new values
// continue the numbering per label. Restoring replaces every placeholder,
// also when a model wrote a Turkish case ending after it with an apostrophe
// ({{AD_1}}'e, {{AD_1}}’den), in which case the ending is re-formed for the
// original word.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "pii/engine.h"
#include "pii/types.h"
#include "util/error.h"

namespace selvo {

enum class MaskMode : uint8_t { Placeholder, Tag, Anonymize, Surrogate };

// "placeholder", "tag", "anonymize", "surrogate", "syntheticsurrogate",
// in any case.
std::optional<MaskMode> mask_mode_from_name(std::string_view name);

struct VaultEntry {
  std::string placeholder;
  std::string original_text;
  std::string pii_label;
  std::string original_stem;
  std::optional<std::string> original_suffix;

  bool operator==(const VaultEntry&) const = default;
};

// A string-keyed map that iterates in insertion order (an overwritten key
// keeps its place), so that vaults, their JSON and their dicts are
// reproducible.
template <class V>
class OrderedMap {
 public:
  const V* find(std::string_view key) const {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &items_[it->second].second;
  }
  bool contains(std::string_view key) const { return find(key) != nullptr; }
  void set(std::string key, V value) {
    auto it = index_.find(std::string_view(key));
    if (it != index_.end()) {
      items_[it->second].second = std::move(value);
      return;
    }
    index_.emplace(key, items_.size());
    items_.emplace_back(std::move(key), std::move(value));
  }
  size_t size() const noexcept { return items_.size(); }
  bool empty() const noexcept { return items_.empty(); }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }
  bool operator==(const OrderedMap& o) const { return items_ == o.items_; }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, size_t, Hash, std::equal_to<>> index_;
  std::vector<std::pair<std::string, V>> items_;
};

using PlaceholderMapping = std::vector<std::pair<std::string, std::string>>;

// The placeholder-shaped pieces ("{{LABEL_n}}") of a text being masked,
// found once, so that issuing a placeholder can ask whether the text holds
// it without searching the whole text again.
class TextPlaceholders {
 public:
  explicit TextPlaceholders(std::string_view text);
  bool occurs(std::string_view placeholder) const;

 private:
  std::string_view text_;
  std::unordered_set<std::string_view> shaped_;
};

// Whether `s` is exactly "{{", one or more of A-Z and "_", "_", digits, "}}".
bool is_placeholder_shape(std::string_view s) noexcept;

class PiiVault {
 public:
  PiiVault() = default;

  // Issues (or reuses) the placeholder of `original`. In placeholder mode a
  // number whose placeholder already occurs in `avoid` (the text being
  // masked) is skipped, so a placeholder never collides with text the
  // caller wrote.
  std::string register_value(std::string_view original, std::string_view label, std::string_view stem,
                             const std::optional<std::string>& suffix, MaskMode mode,
                             const TextPlaceholders* avoid = nullptr);

  // The longest placeholder of the vault that starts at byte `pos` of
  // `text`: its length and entry (0 and null when none does).
  std::pair<size_t, const VaultEntry*> placeholder_at(std::string_view text, size_t pos) const;

  // Records placeholder-shaped text that a caller wrote as an entry that
  // stands for itself (label METIN), so that no value is ever given it.
  void reserve_literal(std::string_view placeholder);

  // `text` with every placeholder of the vault replaced by its original.
  // One pass from left to right: text put back is never searched again.
  std::string restore(std::string_view text) const;

  PlaceholderMapping get_mapping() const;
  static PiiVault from_mapping(const PlaceholderMapping& mapping);
  static std::string restore_with_mapping(std::string_view text, const PlaceholderMapping& mapping);

  Result<std::string> to_json() const;
  // A vault read from its JSON, or the reader's error (no vault is built).
  static Result<PiiVault> from_json(std::string_view json);

  size_t size() const noexcept { return placeholder_to_entry_.size(); }
  const OrderedMap<VaultEntry>& placeholder_to_entry() const noexcept { return placeholder_to_entry_; }
  const OrderedMap<std::string>& original_to_placeholder() const noexcept { return original_to_placeholder_; }
  const OrderedMap<uint64_t>& label_counters() const noexcept { return label_counters_; }

  bool operator==(const PiiVault& o) const {
    return placeholder_to_entry_ == o.placeholder_to_entry_ &&
           original_to_placeholder_ == o.original_to_placeholder_ && label_counters_ == o.label_counters_;
  }

 private:
  void add_entry(std::string placeholder, VaultEntry entry);

  // An index of the placeholders for restoring in one pass: the distinct
  // key lengths, longest first, and which bytes a key can begin with.
  std::vector<size_t> key_lengths_;
  std::array<bool, 256> first_bytes_{};

  OrderedMap<VaultEntry> placeholder_to_entry_;
  OrderedMap<std::string> original_to_placeholder_;
  OrderedMap<uint64_t> label_counters_;
};

// The label of the entries that protect placeholder-like text a caller
// wrote into a prompt (restored as written, endings untouched).
inline constexpr std::string_view kLiteralLabel = "METIN";

struct MaskResult {
  std::string original_text;
  std::string masked_text;
  std::vector<PiiEntity> entities;
  PlaceholderMapping mapping;
  PiiVault vault;  // a copy of the vault after masking
};

}  // namespace selvo

namespace selvo {

// A flat JSON object whose values are all strings, read as a placeholder
// mapping in document order; nothing for any other text.
std::optional<PlaceholderMapping> mapping_from_json(std::string_view text);

}  // namespace selvo

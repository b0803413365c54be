// The root lexicon: the dictionary of Turkish roots that the morphological
// analyser looks stems up in.
//
// A DictionaryItem gives a word's citation form (lemma), the stem that
// suffixes attach to (root), its parts of speech and the sound changes the
// root undergoes before suffixes. RootLexicon maps each root text to its
// items in insertion order and never holds two equal items under one root.
//
// A fresh lexicon holds the built-in roots followed by the embedded lexicon
// text (resources::root_lexicon()). Building one parses about 2 MB of text,
// so RootLexicon::shared() builds it once per process and hands out a const
// reference; a component that adds entries of its own copies it first.
//
// Lexicon text format, one entry a line (LF or CRLF):
//   lemma root Primary [Secondary] [Attribute...]
// Lines are trimmed; empty lines, lines starting with "#" and lines of fewer
// than three fields are skipped. Names are case-insensitive; an unknown
// primary name reads as Noun, unknown further fields are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/error.h"

namespace selvo {

// Primary part of speech; the code is the declaration order.
enum class PrimaryPos : uint8_t {
  Noun, Verb, Adj, Adv, Pron, Num, Conj, Postp, Interj, Q, Punc, Dup, Unknown, Det,
};
inline constexpr size_t kPrimaryPosCount = 14;

// Secondary part of speech; the code is the declaration order.
enum class SecondaryPos : uint8_t {
  None, ProperNoun, Time, Ordinal, Cardinal, Distributive, Percentage, Demonstrative,
  Personal, Reflexive, Reciprocal, Quantitive, Question, Relative, Abbreviation,
};
inline constexpr size_t kSecondaryPosCount = 15;

// Root attributes; the value is the bit in RootAttributes.
enum class RootAttribute : uint32_t {
  Voicing = 1,          // final p, ç, t, k softens before a vowel (kitap, kitabı)
  VowelDrop = 2,        // the last syllable's vowel drops before a vowel (burun, burnu)
  Doubling = 4,         // the final consonant doubles before a vowel (hak, hakkı)
  InverseHarmony = 8,   // front-vowel suffixes after a back last vowel (saat, saatler)
  ProperNoun = 16,      // a proper noun; set by a secondary name meaning ProperNoun
  VowelMutation = 32,   // the final stem vowel changes before some suffixes (ye, yiyor)
  CompoundP3sg = 64,    // a compound ending in the 3rd-person possessive (veritabanı)
  Plural = 128,         // inherently plural
};
inline constexpr RootAttribute kRootAttributes[] = {
    RootAttribute::Voicing,      RootAttribute::VowelDrop,     RootAttribute::Doubling,
    RootAttribute::InverseHarmony, RootAttribute::ProperNoun, RootAttribute::VowelMutation,
    RootAttribute::CompoundP3sg, RootAttribute::Plural,
};

// A 32-bit set of RootAttribute flags.
class RootAttributes {
 public:
  constexpr RootAttributes() noexcept = default;
  constexpr RootAttributes(RootAttribute a) noexcept : bits_(static_cast<uint32_t>(a)) {}
  constexpr explicit RootAttributes(uint32_t bits) noexcept : bits_(bits) {}

  constexpr bool has(RootAttribute a) const noexcept { return (bits_ & static_cast<uint32_t>(a)) != 0; }
  constexpr void add(RootAttribute a) noexcept { bits_ |= static_cast<uint32_t>(a); }
  constexpr bool empty() const noexcept { return bits_ == 0; }
  constexpr uint32_t bits() const noexcept { return bits_; }

  friend constexpr RootAttributes operator|(RootAttributes a, RootAttributes b) noexcept {
    return RootAttributes(a.bits_ | b.bits_);
  }
  friend constexpr bool operator==(RootAttributes, RootAttributes) noexcept = default;

 private:
  uint32_t bits_ = 0;
};

constexpr RootAttributes operator|(RootAttribute a, RootAttribute b) noexcept {
  return RootAttributes(a) | RootAttributes(b);
}

// Names as serialised ("Noun" ... "Det"; "None", "ProperNoun" ... "Abbreviation";
// "Voicing" ... "Plural").
std::string_view name(PrimaryPos pos) noexcept;
std::string_view name(SecondaryPos pos) noexcept;
std::string_view name(RootAttribute attribute) noexcept;

// The names accepted when reading lexicon text, case-insensitively: "noun",
// "q"/"ques", ... for the primary; "prop"/"proper"/"propernoun", "ord"/"ordinal",
// ... for the secondary (None has no name); "voicing" ... "plural" for the
// attributes (ProperNoun has no word of its own). Nothing for any other word.
std::optional<PrimaryPos> parse_primary_pos(std::string_view word);
std::optional<SecondaryPos> parse_secondary_pos(std::string_view word);
std::optional<RootAttribute> parse_root_attribute(std::string_view word);

// One lexicon entry; owns its texts.
struct DictionaryItem {
  std::string lemma;  // citation form (verbs: the infinitive, abanmak)
  std::string root;   // the stem suffixes attach to (aban); the lookup key
  RootAttributes attributes;
  PrimaryPos primary_pos = PrimaryPos::Noun;
  SecondaryPos secondary_pos = SecondaryPos::None;

  DictionaryItem() = default;
  DictionaryItem(std::string lemma, std::string root, PrimaryPos primary_pos,
                 SecondaryPos secondary_pos, RootAttributes attributes = {})
      : lemma(std::move(lemma)), root(std::move(root)), attributes(attributes),
        primary_pos(primary_pos), secondary_pos(secondary_pos) {}

  bool has(RootAttribute a) const noexcept { return attributes.has(a); }
  bool operator==(const DictionaryItem&) const = default;
};

class RootLexicon {
 public:
  // The items of one key in insertion order: a forward range of
  // const DictionaryItem&. Valid until the lexicon is next changed.
  class Items {
   public:
    class iterator {
     public:
      using iterator_category = std::forward_iterator_tag;
      using value_type = DictionaryItem;
      using difference_type = std::ptrdiff_t;
      using pointer = const DictionaryItem*;
      using reference = const DictionaryItem&;

      iterator() = default;
      reference operator*() const { return (*items_)[at_]; }
      pointer operator->() const { return &(*items_)[at_]; }
      iterator& operator++() {
        at_ = (*next_)[at_];
        return *this;
      }
      iterator operator++(int) {
        iterator old = *this;
        ++*this;
        return old;
      }
      bool operator==(const iterator& o) const { return at_ == o.at_; }

     private:
      friend class Items;
      iterator(const std::vector<DictionaryItem>* items, const std::vector<uint32_t>* next,
               uint32_t at)
          : items_(items), next_(next), at_(at) {}
      const std::vector<DictionaryItem>* items_ = nullptr;
      const std::vector<uint32_t>* next_ = nullptr;
      uint32_t at_ = kEnd;
    };

    Items() = default;
    iterator begin() const { return iterator(items_, next_, head_); }
    iterator end() const { return iterator(items_, next_, kEnd); }
    size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const DictionaryItem& front() const;

   private:
    friend class RootLexicon;
    Items(const std::vector<DictionaryItem>* items, const std::vector<uint32_t>* next,
          uint32_t head, uint32_t size)
        : items_(items), next_(next), head_(head), size_(size) {}
    const std::vector<DictionaryItem>* items_ = nullptr;
    const std::vector<uint32_t>* next_ = nullptr;
    uint32_t head_ = kEnd;
    uint32_t size_ = 0;
  };

  // The built-in roots followed by the embedded lexicon text.
  RootLexicon();
  // A lexicon with no entries at all, and one with only the built-in roots.
  static RootLexicon empty();
  static RootLexicon builtin_only();

  // The fresh lexicon, built once per process on first use (thread-safe) and
  // never changed afterwards. Copy it to add entries.
  static const RootLexicon& shared();

  RootLexicon(const RootLexicon&) = default;
  RootLexicon(RootLexicon&&) noexcept = default;
  RootLexicon& operator=(const RootLexicon&) = default;
  RootLexicon& operator=(RootLexicon&&) noexcept = default;

  // Appends `item` to the list of its root unless an item equal in all five
  // fields is already there. Returns whether it was added.
  bool add_item(DictionaryItem item);

  // Parses lexicon text and adds every entry in line order. Never fails;
  // malformed lines are skipped.
  void load_from_str(std::string_view text);

  // Reads the file line by line into load_from_str. A file that cannot be
  // opened is an Io error and changes nothing; a read error or a line that
  // is not valid UTF-8 stops the load with an Io error, keeping the entries
  // of the lines before it.
  Result<void> load_from_file(const std::string& path);

  // The items whose root is exactly `root` (empty if there are none).
  Items lookup(std::string_view root) const;
  bool contains_root(std::string_view root) const;
  // The items whose lemma is exactly `lemma`, in insertion order.
  std::vector<const DictionaryItem*> lookup_lemma(std::string_view lemma) const;

  size_t root_count() const noexcept { return roots_.size(); }
  size_t item_count() const noexcept { return items_.size(); }
  // Every item in insertion order.
  const std::vector<DictionaryItem>& items() const noexcept { return items_; }

  // The built-in roots, in the order the constructor adds them.
  static const std::vector<DictionaryItem>& builtin_items();

 private:
  static constexpr uint32_t kEnd = 0xFFFFFFFFu;

  // An open-addressing hash table from a text of the items (their root, or
  // their lemma) to the chain of items that have it. The key is not stored:
  // it is the text of the chain's first item, so the table holds 16 bytes a
  // key and a lookup touches one slot and one item.
  class KeyIndex {
   public:
    struct Slot {
      uint32_t hash = 0;
      uint32_t head = kEnd;  // kEnd: an empty slot
      uint32_t tail = kEnd;
      uint32_t size = 0;
    };
    using Field = std::string DictionaryItem::*;

    static uint32_t hash_of(std::string_view key) noexcept {
      return static_cast<uint32_t>(std::hash<std::string_view>{}(key));
    }
    // The slot of `key`, or nullptr.
    const Slot* find(std::string_view key, uint32_t hash, const std::vector<DictionaryItem>& items,
                     Field field) const noexcept;
    Slot* find(std::string_view key, uint32_t hash, const std::vector<DictionaryItem>& items,
               Field field) noexcept {
      return const_cast<Slot*>(static_cast<const KeyIndex*>(this)->find(key, hash, items, field));
    }
    // Starts the chain of a key that is not in the table yet.
    void insert_new(uint32_t hash, uint32_t item);
    void reserve(size_t keys);
    size_t size() const noexcept { return size_; }

   private:
    void rehash(size_t capacity);
    std::vector<Slot> slots_;  // capacity is a power of two, at most half full
    size_t size_ = 0;
  };

  struct NoEntries {};
  explicit RootLexicon(NoEntries) {}
  void add_builtins();
  void load_line(std::string_view line);

  std::vector<DictionaryItem> items_;
  std::vector<uint32_t> next_same_root_;   // per item: the next item of its root
  std::vector<uint32_t> next_same_lemma_;  // per item: the next item in lemmas_, if listed
  KeyIndex roots_;
  // Items whose lemma differs from their root (verbs above all), by lemma;
  // the others are found through roots_.
  KeyIndex lemmas_;
};

}  // namespace selvo

// The analyser. For a word it runs, in order:
//  1. trimming and normalisation (Turkish lowercase, â î û to a i u, the
//     typographic apostrophe ’ to ');
//  2. for a word with an inner apostrophe (Ankara'da), the analysis of the
//     joined word restricted to noun readings of the part before the
//     apostrophe, or failing that a temporary proper noun for that part;
//  3. otherwise whole-word entries, then every split into stem and remainder
//     with seven stem lookups, each followed by a depth-first suffix search;
//  4. a stable sort by score (highest first) and formatted string, and the
//     removal of repeated (formatted, secondary part of speech) pairs.
#include "morphology/analyzer.h"

#include "util/json_writer.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

namespace {

constexpr size_t kMaxSuffixes = 10;

bool is_proper_or_abbreviation(SecondaryPos pos) {
  return pos == SecondaryPos::ProperNoun || pos == SecondaryPos::Abbreviation;
}

bool is_uppercase_char(char32_t c) {
  return (c >= U'A' && c <= U'Z') || u_isUUppercase(static_cast<UChar32>(c));
}

std::string normalize(std::string_view trimmed) {
  std::string lower = to_turkish_lower(trimmed);
  std::string out;
  out.reserve(lower.size());
  for (size_t i = 0; i < lower.size();) {
    char32_t c = utf8::next(lower, i);
    switch (c) {
      case U'â': out += 'a'; break;
      case U'î': out += 'i'; break;
      case U'û': out += 'u'; break;
      case U'\u2019': out += '\''; break;
      default: utf8::append(out, c);
    }
  }
  return out;
}

char32_t last_char(std::string_view s) {
  if (s.empty()) return 0;
  size_t i = s.size();
  return utf8::prev(s, i);
}

bool has_apostrophe(std::string_view s) {
  return s.find('\'') != std::string_view::npos || s.find("\u2019") != std::string_view::npos;
}

std::vector<std::string> tags_of(const std::vector<std::string_view>& tags) {
  return std::vector<std::string>(tags.begin(), tags.end());
}

// The depth-first suffix search from one root entry.
//
// Two transitions can carry the same suffix type and forms (the causative
// and the passive appear twice), so the same chain of tags can reach the
// same point of the word along several paths, and a word like gel+dir+dir+...
// would otherwise cost 2^depth. Two memos keep the search linear in
// practice without changing what it returns:
//  - a point (state, part of speech, class of the last letter, position,
//    depth) from which the search once emitted nothing never emits anything,
//    so it is not searched again;
//  - when the caller deduplicates anyway (`collapse_repeats`), a point
//    reached again with the same chain of tags would only emit copies of
//    analyses already emitted, so it is skipped as well.
class SuffixSearch {
 public:
  SuffixSearch(const TurkishMorphotactics& graph, const DictionaryItem& item, std::string_view surface,
               float score, bool collapse_repeats, std::vector<MorphParse>& out)
      : graph_(graph), item_(item), surface_(surface), score_(score), collapse_(collapse_repeats), out_(out) {
    tags_.reserve(kMaxSuffixes + 1);
  }

  void run(MorphState state, PrimaryPos pos, char32_t last_letter, std::string_view rest) {
    tags_.assign(1, short_tag(item_.primary_pos));
    chain_ = 0;
    total_ = rest.size();
    step(state, pos, last_letter, rest, 0);
  }

 private:
  // What the passive's form conditions look at.
  static uint64_t letter_class(char32_t c) { return is_vowel(c) ? 0 : c == U'l' ? 1 : 2; }

  // Below this depth a point can be reached along few paths; the memos
  // only pay for themselves deeper down.
  static constexpr size_t kMemoDepth = 3;
  // Positions are packed into 24 bits; longer words go without memos (the
  // depth limit still bounds their search).
  static constexpr size_t kMemoMaxText = size_t{1} << 24;

  struct Key128Hash {
    size_t operator()(unsigned __int128 k) const noexcept {
      uint64_t lo = static_cast<uint64_t>(k), hi = static_cast<uint64_t>(k >> 64);
      return std::hash<uint64_t>{}(lo ^ (hi * 0x9E3779B97F4A7C15ull));
    }
  };

  void step(MorphState state, PrimaryPos pos, char32_t last_letter, std::string_view rest, size_t depth) {
    if (depth > kMaxSuffixes) return;
    if (rest.empty()) {
      emit(pos);
      return;
    }
    const bool memo = depth >= kMemoDepth && total_ < kMemoMaxText;
    // The point: position (24 bits), depth (4), state (5), part of speech
    // (4), letter class (2).
    uint64_t point = 0;
    unsigned __int128 seen = 0;
    if (memo) {
      point = (static_cast<uint64_t>(total_ - rest.size()) << 16) | (static_cast<uint64_t>(depth) << 12) |
              (static_cast<uint64_t>(state) << 6) | (static_cast<uint64_t>(pos) << 2) | letter_class(last_letter);
      if (dead_.contains(point)) return;
      if (collapse_) {
        // The chain of suffix types (7 bits each, at most 10) and the point.
        seen = (chain_ << 40) | point;
        auto it = visited_.find(seen);
        if (it != visited_.end()) {
          // The earlier visit is complete (every step consumes text, so it
          // is not an ancestor); count what it emitted for the dead memo.
          if (it->second) ++emitted_;
          return;
        }
      }
    }
    const size_t emitted_before = emitted_;
    const auto& table = graph_.table();
    for (uint16_t index : graph_.leaving(state)) {
      const SuffixTransition& t = table[index];
      if (!suffix_allowed(t.suffix, pos, depth)) continue;
      const PrimaryPos next_pos = pos_after(t.suffix, pos);
      for (const std::string& form : t.surfaces) {
        if (!rest.starts_with(form)) continue;
        if (!surface_allowed(t.suffix, form, last_letter)) continue;
        tags_.push_back(tag(t.suffix));
        const unsigned __int128 saved = chain_;
        chain_ = (chain_ << 7) | static_cast<unsigned __int128>(static_cast<uint8_t>(t.suffix) + 1);
        step(t.to, next_pos, last_char(form), rest.substr(form.size()), depth + 1);
        chain_ = saved;
        tags_.pop_back();
      }
    }
    if (memo) {
      const bool productive = emitted_ != emitted_before;
      if (!productive) dead_.insert(point);
      if (collapse_) visited_.emplace(seen, productive);
    }
  }

  void emit(PrimaryPos pos) {
    ++emitted_;
    MorphParse p;
    p.surface = std::string(surface_);
    p.lemma = item_.lemma;
    p.root = item_.root;
    p.primary_pos = item_.primary_pos;
    p.pos = pos;
    p.secondary_pos = item_.secondary_pos;
    p.morpheme_tags = tags_of(tags_);
    p.formatted = format_parse(p.lemma, p.primary_pos, p.root, p.morpheme_tags);
    p.score = score_;
    out_.push_back(std::move(p));
  }

  const TurkishMorphotactics& graph_;
  const DictionaryItem& item_;
  std::string_view surface_;
  float score_;
  bool collapse_;
  std::vector<MorphParse>& out_;
  std::vector<std::string_view> tags_;
  unsigned __int128 chain_ = 0;  // suffix types taken so far, 7 bits each (type + 1)
  size_t total_ = 0;
  size_t emitted_ = 0;
  std::unordered_set<uint64_t> dead_;
  std::unordered_map<unsigned __int128, bool, Key128Hash> visited_;  // chain + point -> emitted anything
};

float suffixed_score(const DictionaryItem& item, bool apostrophe) {
  if (is_proper_or_abbreviation(item.secondary_pos)) return apostrophe ? 0.98f : 0.6f;
  return 0.95f;
}

void sort_and_dedupe(std::vector<MorphParse>& parses) {
  std::stable_sort(parses.begin(), parses.end(), [](const MorphParse& a, const MorphParse& b) {
    if (a.score != b.score) return a.score > b.score;
    return a.formatted < b.formatted;
  });
  std::unordered_set<std::string> seen;
  std::vector<MorphParse> kept;
  kept.reserve(parses.size());
  for (MorphParse& p : parses) {
    std::string key = p.formatted;
    key += '\0';
    key += static_cast<char>(p.secondary_pos);
    if (seen.insert(std::move(key)).second) kept.push_back(std::move(p));
  }
  parses = std::move(kept);
}

size_t longest_root(const RootLexicon& lex) {
  size_t n = 0;
  for (const DictionaryItem& item : lex.items()) n = std::max(n, item.root.size());
  return n;
}

}  // namespace

std::string_view secondary_short_code(SecondaryPos pos) noexcept {
  static constexpr std::string_view kCodes[kSecondaryPosCount] = {
      "", "Prop", "Time", "Ord", "Card", "Dist", "Percent", "Demons", "Pers", "Reflex", "Recip",
      "Quant", "Ques", "Rel", "Abbrv",
  };
  auto i = static_cast<size_t>(pos);
  return i < kSecondaryPosCount ? kCodes[i] : std::string_view();
}

std::string format_parse(std::string_view lemma, PrimaryPos primary_pos, std::string_view root,
                         const std::vector<std::string>& morpheme_tags) {
  std::string s;
  s.reserve(lemma.size() + root.size() + 16 + morpheme_tags.size() * 6);
  s += '[';
  s += lemma;
  s += ':';
  s += short_tag(primary_pos);
  s += "] ";
  s += root;
  s += ':';
  for (size_t i = 0; i < morpheme_tags.size(); ++i) {
    if (i) s += '+';
    s += morpheme_tags[i];
  }
  return s;
}

void MorphParse::write_json(JsonWriter& w) const {
  w.begin_object();
  w.key("surface").value(surface);
  w.key("lemma").value(lemma);
  w.key("root").value(root);
  w.key("primary_pos").value(name(primary_pos));
  w.key("pos").value(name(pos));
  w.key("secondary_pos").value(name(secondary_pos));
  w.key("morpheme_tags").begin_array();
  for (const std::string& tag : morpheme_tags) w.value(tag);
  w.end_array();
  w.key("formatted").value(formatted);
  w.key("score").value(score);
  w.end_object();
}

Result<std::string> MorphParse::to_json() const {
  JsonWriter w;
  write_json(w);
  return std::move(w).finish();
}

// ---------------------------------------------------------------------------

TurkishMorphology::TurkishMorphology()
    : graph_(&TurkishMorphotactics::shared()), lexicon_(&RootLexicon::shared()) {
  static const size_t shared_longest = longest_root(RootLexicon::shared());
  longest_root_ = shared_longest;
}

TurkishMorphology::TurkishMorphology(RootLexicon lexicon)
    : graph_(&TurkishMorphotactics::shared()),
      owned_(std::make_unique<RootLexicon>(std::move(lexicon))),
      lexicon_(owned_.get()),
      longest_root_(longest_root(*owned_)) {}

TurkishMorphology::TurkishMorphology(const TurkishMorphology& other)
    : graph_(other.graph_),
      owned_(other.owned_ ? std::make_unique<RootLexicon>(*other.owned_) : nullptr),
      lexicon_(owned_ ? owned_.get() : other.lexicon_),
      longest_root_(other.longest_root_) {}

TurkishMorphology& TurkishMorphology::operator=(const TurkishMorphology& other) {
  if (this != &other) {
    TurkishMorphology copy(other);
    *this = std::move(copy);
  }
  return *this;
}

size_t TurkishMorphology::max_suffix_bytes() const noexcept {
  static const size_t bound = [] {
    size_t longest_form = 0;
    for (const SuffixTransition& t : TurkishMorphotactics::shared().transitions()) {
      for (const std::string& form : t.surfaces) longest_form = std::max(longest_form, form.size());
    }
    return 10 * longest_form;  // at most ten suffixes
  }();
  return bound;
}

size_t TurkishMorphology::max_plain_bytes() const noexcept { return longest_root_ + 4 + max_suffix_bytes(); }

RootLexicon& TurkishMorphology::own_lexicon() {
  if (!owned_) {
    owned_ = std::make_unique<RootLexicon>(*lexicon_);
    lexicon_ = owned_.get();
  }
  return *owned_;
}

void TurkishMorphology::load_dictionary_str(std::string_view text) {
  own_lexicon().load_from_str(text);
  longest_root_ = longest_root(*owned_);
}

Result<void> TurkishMorphology::load_dictionary_file(const std::string& path) {
  if (owned_) {
    Result<void> r = owned_->load_from_file(path);
    longest_root_ = longest_root(*owned_);
    return r;
  }
  // Load into a copy first, so that a file that cannot be opened leaves
  // this instance reading the shared lexicon.
  auto copy = std::make_unique<RootLexicon>(*lexicon_);
  size_t before = copy->item_count();
  Result<void> r = copy->load_from_file(path);
  if (r.ok() || copy->item_count() != before) {
    owned_ = std::move(copy);
    lexicon_ = owned_.get();
    longest_root_ = longest_root(*owned_);
  }
  return r;
}

void TurkishMorphology::analyze_plain(std::string_view word, std::string_view surface, bool capitalized,
                                      bool apostrophe, std::vector<MorphParse>& out) const {
  const RootLexicon& lex = *lexicon_;

  // Whole-word entries.
  for (const DictionaryItem& item : lex.lookup(word)) {
    MorphParse p;
    p.surface = std::string(surface);
    p.lemma = item.lemma;
    p.root = item.root;
    p.primary_pos = item.primary_pos;
    p.pos = item.primary_pos;
    p.secondary_pos = item.secondary_pos;
    switch (item.primary_pos) {
      case PrimaryPos::Pron: p.morpheme_tags = {"Pron", "A3sg", "Nom"}; break;
      case PrimaryPos::Verb: p.morpheme_tags = {"Verb", "Imp", "A2sg"}; break;
      case PrimaryPos::Adj: case PrimaryPos::Adv: case PrimaryPos::Num: case PrimaryPos::Conj:
      case PrimaryPos::Postp: case PrimaryPos::Interj: case PrimaryPos::Q: case PrimaryPos::Punc:
      case PrimaryPos::Dup: case PrimaryPos::Unknown: case PrimaryPos::Det:
        p.morpheme_tags = {std::string(short_tag(item.primary_pos))};
        break;
      default: p.morpheme_tags = {"Noun", "A3sg", "Nom"}; break;
    }
    p.formatted = format_parse(p.lemma, p.primary_pos, p.root, p.morpheme_tags);
    if (!capitalized && is_proper_or_abbreviation(item.secondary_pos)) {
      p.score = 0.65f;
    } else if (item.primary_pos == PrimaryPos::Verb) {
      p.score = 0.95f;
    } else {
      p.score = 1.0f;
    }
    out.push_back(std::move(p));
  }

  // Character boundaries of the word.
  std::vector<size_t> bounds;
  bounds.reserve(word.size() + 1);
  for (size_t i = 0; i < word.size();) {
    bounds.push_back(i);
    utf8::next(word, i);
  }
  bounds.push_back(word.size());
  const size_t n = bounds.size() - 1;

  enum class Need { Any, Voicing, VowelDrop, Doubling, Verb };
  std::string variant;
  variant.reserve(word.size() + 4);

  for (size_t k = 1; k < n; ++k) {
    // No stem variant is more than 4 bytes shorter than the stem (undoubling
    // drops one character), so beyond this no lookup can find a root.
    if (bounds[k] > longest_root_ + 4) break;
    const std::string_view stem = word.substr(0, bounds[k]);
    const std::string_view rest = word.substr(bounds[k]);

    auto search = [&](std::string_view s, Need need) {
      for (const DictionaryItem& item : lex.lookup(s)) {
        switch (need) {
          case Need::Any: break;
          case Need::Voicing: if (!item.has(RootAttribute::Voicing)) continue; break;
          case Need::VowelDrop: if (!item.has(RootAttribute::VowelDrop)) continue; break;
          case Need::Doubling: if (!item.has(RootAttribute::Doubling)) continue; break;
          case Need::Verb: if (item.primary_pos != PrimaryPos::Verb) continue; break;
        }
        StartState start = start_state(item.primary_pos, item.root);
        if (!start.searches) continue;
        SuffixSearch walk(*graph_, item, surface, suffixed_score(item, apostrophe), true, out);
        walk.run(start.state, item.primary_pos, last_char(s), rest);
      }
    };

    // a. The stem itself.
    search(stem, Need::Any);

    const size_t last_start = bounds[k - 1];
    const std::string_view head = stem.substr(0, last_start);
    size_t tmp = last_start;
    const char32_t last = utf8::next(stem, tmp);

    // b. A softened final consonant restored.
    char32_t hard = 0;
    switch (last) {
      case U'b': hard = U'p'; break;
      case U'c': hard = U'ç'; break;
      case U'd': hard = U't'; break;
      case U'g': case U'ğ': hard = U'k'; break;
      default: break;
    }
    if (hard) {
      variant.assign(head);
      utf8::append(variant, hard);
      search(variant, Need::Voicing);
    }

    // c. A dropped vowel restored before the last consonant.
    if (k >= 2) {
      size_t t2 = bounds[k - 2];
      const char32_t before_last = utf8::next(stem, t2);
      if (!is_vowel(last) && !is_vowel(before_last)) {
        for (char32_t v : {U'ı', U'i', U'u', U'ü'}) {
          variant.assign(head);
          utf8::append(variant, v);
          utf8::append(variant, last);
          search(variant, Need::VowelDrop);
        }
      }
      // d. A doubled final consonant undone.
      if (k >= 3 && last == before_last && !is_vowel(last)) search(head, Need::Doubling);
    }

    // e. A final k softened to c/ç before the remainder (the remainder keeps it).
    if (rest.starts_with("c") || rest.starts_with("ç")) {
      variant.assign(stem);
      variant += 'k';
      search(variant, Need::Any);
    }

    // f. ye/de written yi/di before y (yiyor, diyor).
    if ((stem == "yi" || stem == "di") && rest.starts_with("y")) {
      search(stem == "yi" ? "ye" : "de", Need::Verb);
    }

    // g. A stem-final a/e narrowed before the progressive (başlıyor).
    if (rest.starts_with("iyor") || rest.starts_with("ıyor") || rest.starts_with("uyor") ||
        rest.starts_with("üyor")) {
      variant.assign(stem);
      variant += 'a';
      search(variant, Need::Verb);
      variant.assign(stem);
      variant += 'e';
      search(variant, Need::Verb);
    }
  }
}

std::vector<MorphParse> TurkishMorphology::analyze(std::string_view word) const {
  std::vector<MorphParse> out;
  const std::string_view surface = utf8::trim_space(word);
  if (surface.empty()) return out;
  const std::string normalized = normalize(surface);
  size_t first = 0;
  const bool capitalized = is_uppercase_char(utf8::next(surface, first));
  const bool apostrophe = has_apostrophe(surface);

  const size_t mark = normalized.find('\'');
  if (mark == std::string::npos || mark == 0 || mark + 1 == normalized.size()) {
    analyze_plain(normalized, surface, capitalized, apostrophe, out);
    sort_and_dedupe(out);
    return out;
  }

  // An inner apostrophe: a name with its suffixes (Ankara'da).
  const std::string stem = normalized.substr(0, mark);
  const std::string_view suffixes = std::string_view(normalized).substr(mark + 1);
  std::string joined = stem;
  joined += suffixes;
  analyze_plain(joined, surface, capitalized, apostrophe, out);
  sort_and_dedupe(out);
  std::erase_if(out, [&](const MorphParse& p) { return p.primary_pos != PrimaryPos::Noun || p.root != stem; });
  if (!out.empty()) return out;

  const DictionaryItem temporary(stem, stem, PrimaryPos::Noun, SecondaryPos::ProperNoun,
                                 RootAttributes(RootAttribute::ProperNoun));
  SuffixSearch walk(*graph_, temporary, surface, suffixed_score(temporary, apostrophe), false, out);
  walk.run(MorphState::NominalRoot, PrimaryPos::Noun, last_char(stem), suffixes);
  return out;
}

}  // namespace selvo

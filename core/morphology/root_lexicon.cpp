#include "morphology/root_lexicon.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "phonology/alphabet.h"
#include "util/resource.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// ---------------------------------------------------------------------------
// Names.

constexpr std::array<std::string_view, kPrimaryPosCount> kPrimaryNames = {
    "Noun", "Verb", "Adj", "Adv", "Pron", "Num", "Conj",
    "Postp", "Interj", "Q", "Punc", "Dup", "Unknown", "Det",
};

constexpr std::array<std::string_view, kSecondaryPosCount> kSecondaryNames = {
    "None",          "ProperNoun", "Time",      "Ordinal",    "Cardinal",
    "Distributive",  "Percentage", "Demonstrative", "Personal", "Reflexive",
    "Reciprocal",    "Quantitive", "Question",  "Relative",   "Abbreviation",
};

template <class T>
struct NameEntry {
  std::string_view word;  // lowercase
  T value;
};

constexpr NameEntry<PrimaryPos> kPrimaryWords[] = {
    {"noun", PrimaryPos::Noun},     {"verb", PrimaryPos::Verb},   {"adj", PrimaryPos::Adj},
    {"adv", PrimaryPos::Adv},       {"pron", PrimaryPos::Pron},   {"num", PrimaryPos::Num},
    {"conj", PrimaryPos::Conj},     {"postp", PrimaryPos::Postp}, {"interj", PrimaryPos::Interj},
    {"q", PrimaryPos::Q},           {"ques", PrimaryPos::Q},      {"punc", PrimaryPos::Punc},
    {"dup", PrimaryPos::Dup},       {"det", PrimaryPos::Det},
};

constexpr NameEntry<SecondaryPos> kSecondaryWords[] = {
    {"prop", SecondaryPos::ProperNoun},        {"proper", SecondaryPos::ProperNoun},
    {"propernoun", SecondaryPos::ProperNoun},  {"time", SecondaryPos::Time},
    {"ord", SecondaryPos::Ordinal},            {"ordinal", SecondaryPos::Ordinal},
    {"card", SecondaryPos::Cardinal},          {"cardinal", SecondaryPos::Cardinal},
    {"dist", SecondaryPos::Distributive},      {"distributive", SecondaryPos::Distributive},
    {"percent", SecondaryPos::Percentage},     {"demons", SecondaryPos::Demonstrative},
    {"demonstrative", SecondaryPos::Demonstrative}, {"pers", SecondaryPos::Personal},
    {"personal", SecondaryPos::Personal},      {"reflex", SecondaryPos::Reflexive},
    {"reflexive", SecondaryPos::Reflexive},    {"recip", SecondaryPos::Reciprocal},
    {"reciprocal", SecondaryPos::Reciprocal},  {"quant", SecondaryPos::Quantitive},
    {"quantitive", SecondaryPos::Quantitive},  {"ques", SecondaryPos::Question},
    {"question", SecondaryPos::Question},      {"rel", SecondaryPos::Relative},
    {"relative", SecondaryPos::Relative},      {"abbrv", SecondaryPos::Abbreviation},
    {"abbreviation", SecondaryPos::Abbreviation},
};

constexpr NameEntry<RootAttribute> kAttributeWords[] = {
    {"voicing", RootAttribute::Voicing},
    {"voweldrop", RootAttribute::VowelDrop},
    {"doubling", RootAttribute::Doubling},
    {"inverseharmony", RootAttribute::InverseHarmony},
    {"vowelmutation", RootAttribute::VowelMutation},
    {"compoundp3sg", RootAttribute::CompoundP3sg},
    {"plural", RootAttribute::Plural},
};

// The longest word of the three tables, "demonstrative" and "abbreviation"
// included, is shorter than this; longer fields cannot be names.
constexpr size_t kMaxNameBytes = 16;

// Lowercases a field for name matching. The names are ASCII, so ASCII
// letters fold directly (VOICING is voicing, not the Turkish "voıcıng");
// anything else goes through the Turkish lowercase, so that a field typed
// with İ (VOİCİNG) matches too. Returns false when the field is too long to
// be a name.
bool fold_name(std::string_view field, std::array<char, kMaxNameBytes>& buf, std::string_view& out) {
  if (field.size() > kMaxNameBytes * 2) return false;
  bool ascii = true;
  for (char ch : field) {
    if (static_cast<unsigned char>(ch) >= 0x80) {
      ascii = false;
      break;
    }
  }
  std::string folded;
  std::string_view src = field;
  if (!ascii) {
    folded = to_turkish_lower(field);
    src = folded;
  }
  if (src.size() > kMaxNameBytes) return false;
  for (size_t i = 0; i < src.size(); ++i) {
    char ch = src[i];
    buf[i] = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
  }
  out = std::string_view(buf.data(), src.size());
  return true;
}

template <class T, size_t N>
std::optional<T> find_name(const NameEntry<T> (&table)[N], std::string_view word) {
  std::array<char, kMaxNameBytes> buf;
  std::string_view folded;
  if (!fold_name(word, buf, folded)) return std::nullopt;
  for (const auto& e : table) {
    if (e.word == folded) return e.value;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Whitespace (Unicode White_Space) and fields.

// White space is rare outside ASCII, and every non-ASCII White_Space
// character starts with one of the lead bytes C2, E1, E2 or E3; other
// characters (all Turkish letters among them) are stepped over by length.
bool is_space_at(std::string_view s, size_t i, size_t& len) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    len = 1;
    return b == ' ' || (b >= 0x09 && b <= 0x0D);
  }
  if (b == 0xC2 || (b >= 0xE1 && b <= 0xE3)) {
    size_t j = i;
    char32_t c = utf8::next(s, j);
    len = j - i;
    return u_isUWhiteSpace(static_cast<UChar32>(c));
  }
  // Any other lead byte: skip the sequence (an ill-formed one byte by byte).
  size_t j = i;
  utf8::next(s, j);
  len = j - i;
  return false;
}

// Splits a line into fields at runs of white space.
class Fields {
 public:
  explicit Fields(std::string_view line) : s_(line) {}

  std::optional<std::string_view> next() {
    size_t len = 0;
    while (pos_ < s_.size() && is_space_at(s_, pos_, len)) pos_ += len;
    if (pos_ >= s_.size()) return std::nullopt;
    size_t start = pos_;
    while (pos_ < s_.size() && !is_space_at(s_, pos_, len)) pos_ += len;
    return s_.substr(start, pos_ - start);
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

// ---------------------------------------------------------------------------
// Built-in roots, added before the embedded text in this order. Lemma and
// root are equal for all of them, verbs included.
// (tools/build_lexicon.py reads this table to compare it with its source.)

struct BuiltinGroup {
  PrimaryPos primary;
  SecondaryPos secondary;
  RootAttributes attributes;
  const char* roots;  // separated by single spaces
};

// BEGIN BUILT-IN ROOTS
constexpr RootAttributes kNoAttributes{};
constexpr BuiltinGroup kBuiltinGroups[] = {
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::Voicing,
     "kitap ağaç kanat ayak bebek çiçek köpek renk yurt dert kurt ekmek kapak tabak bardak "
     "çorap kulak dolap hesap sebep cevap kasap kırbaç araç amaç sonuç inanç kazanç sevinç "
     "bayrak toprak yaprak sokak kaynak örnek ördek böcek etek gömlek bilek kemik gözlük "
     "sözlük yüzük kütük bellek çocuk ilaç sağlık müzik"},
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::Voicing | RootAttribute::InverseHarmony,
     "kalp"},
    {PrimaryPos::Adj, SecondaryPos::None, RootAttribute::Voicing,
     "korkunç büyük küçük yüksek alçak sıcak soğuk genç"},
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::VowelDrop,
     "burun akıl karın şehir ağız alın oğul fikir resim isim cisim nesil asıl sabır omuz "
     "göğüs boyun bağır zehir nehir emir devir tavır kavim metin"},
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::Voicing | RootAttribute::VowelDrop,
     "vakit"},
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::Doubling,
     "hak his af hat sır zam had haz şan şer fen"},
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::Voicing | RootAttribute::Doubling,
     "tıp ret"},
    {PrimaryPos::Noun, SecondaryPos::Time, RootAttribute::InverseHarmony, "saat"},
    {PrimaryPos::Noun, SecondaryPos::None, RootAttribute::InverseHarmony,
     "alkol rol gol petrol sembol harf kontrol santral general moral helal hilal kemal cemal "
     "hayal meal sual misal itidal usul kabul mahsul meçhul meşgul makul"},
    {PrimaryPos::Noun, SecondaryPos::None, kNoAttributes,
     "türkü şarkı yazılım donanım bilişim bilgisayar internet ağ veri veritabanı sunucu "
     "istemci zeka algoritma model kod program uygulama geliştirici arayüz sistem işlemci "
     "ekran kamera sensör robot otomasyon bulut ev araba kapı kedi masa oda okul sınıf yol su "
     "adam kadın arkadaş kardeş insan deniz göz el kol baş dil anne baba öğrenci öğretmen "
     "doktor hastane eczane hasta devlet hükümet kanun yasa mahkeme avukat hâkim savcı sanat "
     "edebiyat sinema tiyatro tarih coğrafya matematik fizik kimya biyoloji felsefe sosyoloji "
     "psikoloji ekonomi para banka şirket fabrika iş işçi patron müdür memur yardım"},
    {PrimaryPos::Adj, SecondaryPos::None, kNoAttributes,
     "yapay güzel iyi kötü yeni eski hızlı yavaş zor kolay ak kara uzun kısa geniş dar ağır "
     "hafif zengin fakir mutlu üzgün yaşlı temiz kirli doğru yanlış"},
    {PrimaryPos::Noun, SecondaryPos::Time, kNoAttributes, "gün yıl hafta ay gece sabah akşam"},
    {PrimaryPos::Noun, SecondaryPos::ProperNoun, RootAttribute::ProperNoun,
     "türkiye türk türkçe ankara istanbul izmir bursa antalya adana trabzon konya "
     "ayşe fatma ali mustafa emine selvo"},
    {PrimaryPos::Noun, SecondaryPos::ProperNoun, RootAttribute::Voicing | RootAttribute::ProperNoun,
     "ahmet mehmet murat"},
    {PrimaryPos::Verb, SecondaryPos::None, kNoAttributes,
     "gel yap al ver ol kal bak gör sev yaz oku bil bul koş dur anla anlat dinle öğren öğret "
     "çalış konuş otur kalk gül ağla uyu uyan düşün başla bitir kazan tanı unut hatırla"},
    {PrimaryPos::Verb, SecondaryPos::None, RootAttribute::Voicing, "git et tat güt hisset kaybet"},
    {PrimaryPos::Verb, SecondaryPos::None, RootAttribute::VowelMutation, "ye de"},
    {PrimaryPos::Pron, SecondaryPos::Personal, kNoAttributes, "ben sen o biz siz onlar"},
    {PrimaryPos::Pron, SecondaryPos::Demonstrative, kNoAttributes, "bu şu"},
    {PrimaryPos::Pron, SecondaryPos::Reflexive, kNoAttributes, "kendi"},
    {PrimaryPos::Pron, SecondaryPos::Question, kNoAttributes, "kim ne nere hangi kaç"},
    {PrimaryPos::Adv, SecondaryPos::Quantitive, kNoAttributes, "çok az"},
    {PrimaryPos::Adv, SecondaryPos::None, kNoAttributes,
     "daha en hiç hep genellikle mutlaka kesinlikle belki birlikte"},
    {PrimaryPos::Adv, SecondaryPos::Time, kNoAttributes, "şimdi sonra önce erken geç bazen"},
    {PrimaryPos::Conj, SecondaryPos::None, kNoAttributes,
     "ve ile veya ama fakat ancak çünkü oysa madem halbuki"},
    {PrimaryPos::Postp, SecondaryPos::None, kNoAttributes,
     "için gibi kadar göre karşı rağmen doğru"},
    {PrimaryPos::Num, SecondaryPos::Cardinal, kNoAttributes,
     "bir iki üç beş altı yedi sekiz dokuz on yirmi otuz kırk elli altmış yetmiş seksen "
     "doksan yüz bin milyon milyar"},
    {PrimaryPos::Num, SecondaryPos::Cardinal, RootAttribute::Voicing, "dört"},
};
// END BUILT-IN ROOTS

constexpr size_t kBuiltinCount = 380;

std::vector<DictionaryItem> make_builtin_items() {
  std::vector<DictionaryItem> items;
  items.reserve(kBuiltinCount);
  for (const auto& g : kBuiltinGroups) {
    std::string_view roots(g.roots);
    while (!roots.empty()) {
      size_t sp = roots.find(' ');
      std::string_view root = roots.substr(0, sp);
      if (!root.empty()) {
        items.emplace_back(std::string(root), std::string(root), g.primary, g.secondary,
                           g.attributes);
      }
      if (sp == std::string_view::npos) break;
      roots.remove_prefix(sp + 1);
    }
  }
  SELVO_ASSERT(items.size() == kBuiltinCount, "the built-in root table has the wrong size");
  return items;
}

}  // namespace

// ---------------------------------------------------------------------------

std::string_view name(PrimaryPos pos) noexcept {
  auto i = static_cast<size_t>(pos);
  return i < kPrimaryNames.size() ? kPrimaryNames[i] : std::string_view("Unknown");
}

std::string_view name(SecondaryPos pos) noexcept {
  auto i = static_cast<size_t>(pos);
  return i < kSecondaryNames.size() ? kSecondaryNames[i] : std::string_view("None");
}

std::string_view name(RootAttribute attribute) noexcept {
  switch (attribute) {
    case RootAttribute::Voicing: return "Voicing";
    case RootAttribute::VowelDrop: return "VowelDrop";
    case RootAttribute::Doubling: return "Doubling";
    case RootAttribute::InverseHarmony: return "InverseHarmony";
    case RootAttribute::ProperNoun: return "ProperNoun";
    case RootAttribute::VowelMutation: return "VowelMutation";
    case RootAttribute::CompoundP3sg: return "CompoundP3sg";
    case RootAttribute::Plural: return "Plural";
  }
  return {};
}

std::optional<PrimaryPos> parse_primary_pos(std::string_view word) {
  return find_name(kPrimaryWords, word);
}

std::optional<SecondaryPos> parse_secondary_pos(std::string_view word) {
  return find_name(kSecondaryWords, word);
}

std::optional<RootAttribute> parse_root_attribute(std::string_view word) {
  return find_name(kAttributeWords, word);
}

const DictionaryItem& RootLexicon::Items::front() const {
  SELVO_ASSERT(size_ != 0, "front() of an empty item list");
  return (*items_)[head_];
}

// ---------------------------------------------------------------------------

RootLexicon::RootLexicon() {
  std::string_view text = resources::root_lexicon();
  SELVO_ASSERT(!text.empty(), "the embedded root lexicon is empty");
  // About one key per 40 bytes of text; reserving avoids rehashing.
  roots_.reserve(kBuiltinCount + text.size() / 34);
  items_.reserve(kBuiltinCount + text.size() / 34);
  next_same_root_.reserve(items_.capacity());
  next_same_lemma_.reserve(items_.capacity());
  add_builtins();
  load_from_str(text);
}

RootLexicon RootLexicon::empty() { return RootLexicon(NoEntries{}); }

RootLexicon RootLexicon::builtin_only() {
  RootLexicon lex{NoEntries{}};
  lex.add_builtins();
  return lex;
}

const RootLexicon& RootLexicon::shared() {
  static const RootLexicon instance;
  return instance;
}

const std::vector<DictionaryItem>& RootLexicon::builtin_items() {
  static const std::vector<DictionaryItem> items = make_builtin_items();
  return items;
}

void RootLexicon::add_builtins() {
  for (const DictionaryItem& item : builtin_items()) add_item(item);
}

// ---------------------------------------------------------------------------
// KeyIndex

const RootLexicon::KeyIndex::Slot* RootLexicon::KeyIndex::find(std::string_view key, uint32_t hash,
                                                               const std::vector<DictionaryItem>& items,
                                                               Field field) const noexcept {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.head == kEnd) return nullptr;
    if (slot.hash == hash && items[slot.head].*field == key) return &slot;
  }
}

void RootLexicon::KeyIndex::insert_new(uint32_t hash, uint32_t item) {
  if ((size_ + 1) * 2 > slots_.size()) rehash(std::max<size_t>(64, slots_.size() * 2));
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].head != kEnd) i = (i + 1) & mask;
  slots_[i] = Slot{hash, item, item, 1};
  ++size_;
}

void RootLexicon::KeyIndex::reserve(size_t keys) {
  size_t capacity = 64;
  while (capacity < keys * 2) capacity *= 2;
  if (capacity > slots_.size()) rehash(capacity);
}

void RootLexicon::KeyIndex::rehash(size_t capacity) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(capacity, Slot{});
  const size_t mask = capacity - 1;
  for (const Slot& slot : old) {
    if (slot.head == kEnd) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].head != kEnd) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

// ---------------------------------------------------------------------------

bool RootLexicon::add_item(DictionaryItem item) {
  const uint32_t root_hash = KeyIndex::hash_of(item.root);
  KeyIndex::Slot* chain = roots_.find(item.root, root_hash, items_, &DictionaryItem::root);
  if (chain != nullptr) {
    for (uint32_t i = chain->head; i != kEnd; i = next_same_root_[i]) {
      if (items_[i] == item) return false;
    }
  }
  SELVO_ASSERT(items_.size() < kEnd - 1, "root lexicon is full");
  const auto at = static_cast<uint32_t>(items_.size());
  items_.push_back(std::move(item));
  next_same_root_.push_back(kEnd);
  next_same_lemma_.push_back(kEnd);
  if (chain != nullptr) {
    next_same_root_[chain->tail] = at;
    chain->tail = at;
    ++chain->size;
  } else {
    roots_.insert_new(root_hash, at);
  }
  const DictionaryItem& added = items_.back();
  if (added.lemma != added.root) {
    const uint32_t lemma_hash = KeyIndex::hash_of(added.lemma);
    KeyIndex::Slot* lemma_chain = lemmas_.find(added.lemma, lemma_hash, items_, &DictionaryItem::lemma);
    if (lemma_chain != nullptr) {
      next_same_lemma_[lemma_chain->tail] = at;
      lemma_chain->tail = at;
      ++lemma_chain->size;
    } else {
      lemmas_.insert_new(lemma_hash, at);
    }
  }
  return true;
}

void RootLexicon::load_line(std::string_view line) {
  Fields fields(line);
  auto lemma = fields.next();
  if (!lemma || lemma->front() == '#') return;
  auto root = fields.next();
  auto primary_name = fields.next();
  if (!root || !primary_name) return;

  PrimaryPos primary = parse_primary_pos(*primary_name).value_or(PrimaryPos::Noun);
  SecondaryPos secondary = SecondaryPos::None;
  RootAttributes attributes;
  while (auto field = fields.next()) {
    if (auto s = parse_secondary_pos(*field)) {
      secondary = *s;
      if (secondary == SecondaryPos::ProperNoun) attributes.add(RootAttribute::ProperNoun);
    } else if (auto a = parse_root_attribute(*field)) {
      attributes.add(*a);
    }
  }
  add_item(DictionaryItem(std::string(*lemma), std::string(*root), primary, secondary, attributes));
}

void RootLexicon::load_from_str(std::string_view text) {
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    load_line(line);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
}

Result<void> RootLexicon::load_from_file(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    int err = errno;
    return Error::io(err, std::strerror(err));
  }
  char* buf = nullptr;
  size_t cap = 0;
  Result<void> result;
  size_t line_no = 0;
  for (;;) {
    errno = 0;
    ssize_t n = ::getline(&buf, &cap, f);
    if (n < 0) {
      if (std::ferror(f)) {
        int err = errno != 0 ? errno : EIO;
        result = Error::io(err, std::strerror(err));
      }
      break;
    }
    ++line_no;
    std::string_view line(buf, static_cast<size_t>(n));
    if (!utf8::is_valid(line)) {
      result = Error::io(EILSEQ, "stream did not contain valid UTF-8 (line " +
                                     std::to_string(line_no) + ")");
      break;
    }
    load_from_str(line);
  }
  std::free(buf);
  std::fclose(f);
  return result;
}

RootLexicon::Items RootLexicon::lookup(std::string_view root) const {
  const KeyIndex::Slot* chain = roots_.find(root, KeyIndex::hash_of(root), items_, &DictionaryItem::root);
  if (chain == nullptr) return Items(&items_, &next_same_root_, kEnd, 0);
  return Items(&items_, &next_same_root_, chain->head, chain->size);
}

bool RootLexicon::contains_root(std::string_view root) const {
  return roots_.find(root, KeyIndex::hash_of(root), items_, &DictionaryItem::root) != nullptr;
}

std::vector<const DictionaryItem*> RootLexicon::lookup_lemma(std::string_view lemma) const {
  std::vector<uint32_t> at;
  const uint32_t hash = KeyIndex::hash_of(lemma);
  if (const auto* chain = roots_.find(lemma, hash, items_, &DictionaryItem::root)) {
    for (uint32_t i = chain->head; i != kEnd; i = next_same_root_[i]) {
      if (items_[i].lemma == lemma) at.push_back(i);
    }
  }
  if (const auto* chain = lemmas_.find(lemma, hash, items_, &DictionaryItem::lemma)) {
    for (uint32_t i = chain->head; i != kEnd; i = next_same_lemma_[i]) at.push_back(i);
  }
  std::sort(at.begin(), at.end());
  std::vector<const DictionaryItem*> out;
  out.reserve(at.size());
  for (uint32_t i : at) out.push_back(&items_[i]);
  return out;
}

}  // namespace selvo

#include "pii/names.h"

#include <unicode/uchar.h>

#include <optional>

#include "normalization/asciifier.h"
#include "phonology/alphabet.h"
#include "pii/engine.h"
#include "pii/scorer.h"
#include "pii/suffix.h"
#include "pii/text.h"
#include "tokenization/tokenizer.h"
#include "util/utf8.h"

namespace selvo {

void insert_with_ascii(std::unordered_set<std::string>& set, std::initializer_list<const char*> words) {
  for (const char* w : words) {
    set.insert(w);
    std::string a = TurkishAsciifier::asciify(w);
    if (a != w) set.insert(std::move(a));
  }
}

namespace {

std::unordered_set<std::string> insert_with_ascii(std::initializer_list<const char*> words) {
  std::unordered_set<std::string> set;
  selvo::insert_with_ascii(set, words);
  return set;
}

}  // namespace

const std::unordered_set<std::string>& TITLE_TRIGGERS() {
  static const std::unordered_set<std::string> set = insert_with_ascii({"bey", "hanım", "sayın", "prof.", "prof", "dr.", "dr", "doç.", "doç", "yrd.", "yrd", "av.", "av", "müh.", "müh", "bakan", "bakanı", "başkan", "başkanı", "vali", "valisi", "kaymakam", "kaymakamı", "rektör", "rektörü", "dekan", "dekanı", "müdür", "müdürü", "öğretmen", "öğretmeni", "cumhurbaşkanı", "başbakan", "general", "albay", "kaptan", "binbaşı", "teğmen", "astsubay", "çavuş", "bey", "hanım", "efendi", "paşa", "hoca", "hocam", "uzm.", "uzm", "uzman", "uzmanı", "milletvekili", "hakim", "savcı", "komiser", "başkomiser", "mimar", "eczacı", "doktor", "tabip", "hemşire", "ebe", "psikolog", "sosyolog", "prof. dr.", "prof dr", "doç. dr.", "doç dr", "uzm. dr.", "uzm dr", "avukat", "stajyer", "müfettiş", "uzman yardımcısı", "başkan yardımcısı", "müşteri", "müşterisi", "müşterimiz", "kullanıcı", "kullanıcısı", "kullanıcımız", "hasta", "hastası", "hastamız", "çalışan", "çalışanı", "çalışanımız", "personel", "personeli", "personelimiz", "yetkili", "yetkilisi", "yetkilimiz", "müvekkil", "müvekkili", "müvekkilimiz", "davacı", "davalı", "sigortalı", "abone", "abonesi", "abonemiz", "üye", "üyesi", "üyemiz", "yolcu", "yolcusu", "öğrenci", "öğrencisi", "veli", "velisi", "borçlu", "alacaklı"});
  return set;
}

const std::unordered_set<std::string>& POLYSEMOUS_NAMES() {
  static const std::unordered_set<std::string> set = insert_with_ascii({"deniz", "barış", "gül", "toprak", "kaya", "demir", "bahar", "güneş", "can", "çiçek", "umut", "zafer", "dilek", "sevgi", "melek", "kartal", "aslan", "bulut", "yağmur", "rüzgar", "derya", "yiğit", "aydın", "mutlu", "oğuz", "ilker", "pınar", "başak", "sarp", "savaş", "yavuz", "özgür", "mert", "bora", "koray", "onur", "taner", "alper", "bilge", "damla", "defne", "engin", "erdem", "fırat", "meriç", "dicle", "tuna", "inanç", "özlem", "duygu", "ezgi", "çağrı", "şafak", "ufuk", "sevinç", "huzur", "ışık", "doğa", "evren", "volkan", "görkem", "sefa", "cihan", "arda", "efe", "eren", "ozan", "doruk", "yaman", "çetin", "coşkun"});
  return set;
}

const std::unordered_set<std::string>& GIVEN_NAMES() {
  static const std::unordered_set<std::string> set = insert_with_ascii({"mehmet", "mustafa", "ahmet", "ali", "hüseyin", "hasan", "ibrahim", "ismail", "osman", "halil", "süleyman", "yusuf", "ömer", "ramazan", "murat", "mahmut", "salih", "kemal", "recep", "fatih", "şaban", "abdullah", "emre", "adem", "hakan", "bekir", "cemal", "burak", "serkan", "selim", "cihan", "orhan", "sinan", "bülent", "tarık", "sedat", "erhan", "metin", "vedat", "levent", "kaan", "kerem", "batuhan", "furkan", "tolga", "berk", "berkay", "alperen", "oğuzhan", "gökhan", "ferhat", "serdar", "engin", "kenan", "semih", "tayfun", "volkan", "koray", "tuncay", "taner", "ercan", "şerif", "muzaffer", "necati", "sabri", "sadık", "rasim", "nihat", "zeki", "hamza", "yakup", "ilyas", "yunus", "bilal", "harun", "mikail", "lokman", "davut", "eyüp", "enes", "muhammed", "muhammet", "mirac", "berat", "ayaz", "eymen", "alparslan", "göktuğ", "metehan", "emirhan", "bedirhan", "doruk", "poyraz", "kuzey", "rüzgar", "çınar", "atlas", "toprak", "baran", "mert", "arda", "kerim", "selçuk", "caner", "alp", "alper", "cenk", "cem", "çağlar", "çağrı", "serhat", "kadir", "turgut", "tevfik", "cüneyt", "zafer", "uğur", "veysel", "veli", "şinasi", "rıza", "suat", "ferdi", "sadettin", "samet", "fatma", "ayşe", "emine", "hatice", "zeynep", "elif", "meryem", "özlem", "sevim", "filiz", "hülya", "zehra", "hanife", "dilek", "yasemin", "songül", "sultan", "rabia", "esra", "ebru", "büşra", "merve", "kübra", "tuğba", "gülşen", "ayten", "nurten", "nuray", "gülay", "nuran", "neriman", "sevil", "güler", "leyla", "nermin", "nesrin", "figen", "aslı", "şule", "banu", "belgin", "berna", "arzu", "didem", "derya", "damla", "defne", "ece", "ecem", "gamze", "hande", "ilknur", "ipek", "irem", "jale", "melike", "melis", "melisa", "nihal", "nilgün", "nurgül", "pelin", "rüya", "selin", "serap", "seval", "sezen", "simge", "sinem", "sude", "şeyma", "tuba", "tülay", "vildan", "yağmur", "yıldız", "yonca", "zerrin", "zuhal", "zümrüt", "asude", "azra", "bade", "begüm", "beril", "beren", "ceyda", "dilara", "eda", "ela", "elçin", "esma", "eylül", "gaye", "gökçe", "gözde", "gülce", "hale", "hazan", "hilal", "ılgın", "ırmak", "idil", "ilayda", "mina", "miray", "neva", "nisa", "öykü", "sare", "su", "şevval", "alara", "derin", "duru", "lina", "masal", "mira", "parla", "asya", "aylin", "burcu", "ceren", "gizem", "neslihan", "sedef", "nur", "cansu", "reyhan", "sema", "demet", "sevda", "sibel", "meltem", "buket", "inci", "betül", "tülin", "buse", "funda", "gülfem", "serra", "seçil"});
  return set;
}

const std::unordered_set<std::string>& SURNAMES() {
  static const std::unordered_set<std::string> set = insert_with_ascii({"yılmaz", "kaya", "demir", "çelik", "şahin", "yıldız", "yıldırım", "öztürk", "aydın", "özdemir", "arslan", "doğan", "kılıç", "aslan", "çetin", "kara", "koç", "kurt", "özkan", "şimşek", "polat", "özcan", "korkmaz", "çakır", "erdoğan", "yavuz", "avcı", "şen", "acar", "keskin", "yüksel", "güler", "aksoy", "güneş", "bozkurt", "aktaş", "bulut", "ünal", "özmen", "özbal", "turan", "can", "gül", "özer", "sarıkaya", "tekeli", "akın", "aydem", "bayram", "coşkun", "duran", "ergin", "göksu", "gündoğdu", "inan", "ışık", "kahraman", "kaplan", "karaca", "karagöz", "karahan", "karataş", "kocaman", "mutlu", "ocak", "orhan", "sarı", "savaş", "soylu", "taş", "tekin", "topal", "toprak", "tunç", "türker", "türkmen", "uğur", "uzun", "varol", "yalçın", "yanık", "yücel", "zorlu", "özkaya", "albayrak", "barış", "bayrak", "bilgin", "bostancı", "çavuş", "çelebi", "çiftçi", "dalgıç", "duman", "durgun", "ekici", "elmas", "engin", "ergün", "genç", "göçer", "gök", "güzel", "hasanoğlu", "ilhan", "ipek", "karabulut", "kartal", "kavuk", "koca", "mert", "mor", "nalbant", "narin", "ocakoğlu", "oflu", "okur", "pamuk", "pehlivan", "sağlam", "sezer", "sürek", "tamgör", "tanrıverdi", "tatar", "torun", "tüfekçi", "akar", "gündüz", "aydoğan", "kök", "ekinci", "bakır", "yalçınkaya", "kandemir", "dağ", "karakuş", "şentürk", "çakmak", "özbek", "güngör", "yaman", "kocabaş", "başaran"});
  return set;
}

namespace {

bool is_apostrophe(char32_t c) { return c == U'\'' || c == U'\u2019'; }

// `s` without leading and trailing characters for which `drop` holds.
std::string_view strip(std::string_view s, bool (*drop)(char32_t)) {
  size_t a = 0;
  while (a < s.size()) {
    size_t i = a;
    if (!drop(utf8::next(s, i))) break;
    a = i;
  }
  size_t b = s.size();
  while (b > a) {
    size_t i = b;
    if (!drop(utf8::prev(s, i))) break;
    b = i;
  }
  return s.substr(a, b - a);
}

bool not_word_char(char32_t c) { return !pii::is_alphabetic(c) && !is_apostrophe(c); }
bool not_alphabetic(char32_t c) { return !pii::is_alphabetic(c); }

bool is_capitalised(std::string_view s) {
  if (s.empty()) return false;
  size_t i = 0;
  char32_t c = utf8::next(s, i);
  if (c >= U'A' && c <= U'Z') return true;
  return c >= 0xC0 && u_isupper(static_cast<UChar32>(c));
}

std::string title_key(std::string_view token) { return to_turkish_lower(strip(token, &not_alphabetic)); }

PiiEntity name_entity(std::string text, size_t start, size_t end, std::optional<std::string_view> suffix) {
  PiiEntity e;
  e.text = std::move(text);
  e.stem = e.text;
  e.label = "AD";
  e.pii_type = PiiType::Ad;
  e.start = start;
  e.end = end;
  e.confidence = 0.95f;
  if (suffix) e.suffix = std::string(*suffix);
  return e;
}

}  // namespace

void detect_names_and_persons(const TurkishPiiEngine& engine, std::string_view text, std::vector<PiiEntity>& out) {
  const std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
  const size_t n = tokens.size();
  const auto& titles = TITLE_TRIGGERS();
  const auto& given = GIVEN_NAMES();
  const auto& polysemous = POLYSEMOUS_NAMES();
  const auto& surnames = SURNAMES();
  auto raw_split = [&](size_t k) { return split_stem_suffix(tokens[k].text, tokens[k].start); };

  for (size_t i = 0; i < n;) {
    std::string_view word = strip(tokens[i].text, &not_word_char);
    if (word.empty()) {
      ++i;
      continue;
    }
    size_t word_start = tokens[i].start + static_cast<size_t>(word.data() - tokens[i].text.data());
    StemSuffix split = split_stem_suffix(word, word_start);
    std::string key = to_turkish_lower(split.stem);
    const bool is_title = titles.contains(key);
    const bool prev_title = i > 0 && titles.contains(title_key(tokens[i - 1].text));
    const bool next_title = i + 1 < n && titles.contains(title_key(tokens[i + 1].text));
    const bool is_given = given.contains(key);
    const bool is_polysemous = polysemous.contains(key);

    auto one_word = [&] {
      out.push_back(name_entity(std::string(split.stem), split.stem_start, split.stem_end, split.suffix));
    };
    auto two_words = [&](const StemSuffix& next) {
      out.push_back(name_entity(std::string(split.stem) + " " + std::string(next.stem), split.stem_start,
                                next.stem_end, split.suffix));
    };
    // The next token's split, when its raw text is capitalised.
    auto capitalised_next = [&]() -> std::optional<StemSuffix> {
      if (i + 1 >= n || !is_capitalised(tokens[i + 1].text)) return std::nullopt;
      return raw_split(i + 1);
    };

    if (is_title && i + 1 < n) {
      StemSuffix first = raw_split(i + 1);
      if (!is_capitalised(first.stem)) {
        ++i;
        continue;
      }
      std::string name(first.stem);
      size_t end = first.stem_end;
      size_t consumed = 2;
      if (i + 2 < n && is_capitalised(tokens[i + 2].text)) {
        StemSuffix second = raw_split(i + 2);
        name += " ";
        name += second.stem;
        end = second.stem_end;
        consumed = 3;
      }
      out.push_back(name_entity(std::move(name), first.stem_start, end, split.suffix));
      i += consumed;
      continue;
    }
    if (!is_capitalised(split.stem)) {
      ++i;
      continue;
    }
    if (!is_polysemous && is_given) {
      if (auto next = capitalised_next()) {
        std::string next_key = to_turkish_lower(next->stem);
        if (surnames.contains(next_key) || given.contains(next_key) || prev_title) {
          two_words(*next);
          i += 2;
          continue;
        }
      }
      one_word();
      ++i;
      continue;
    }
    if (!is_polysemous) {
      if (auto next = capitalised_next(); next && surnames.contains(to_turkish_lower(next->stem))) {
        two_words(*next);
        i += 2;
        continue;
      }
      ++i;
      continue;
    }
    // A polysemous name.
    if (prev_title || next_title) {
      one_word();
      ++i;
      continue;
    }
    if (auto next = capitalised_next()) {
      std::string next_key = to_turkish_lower(next->stem);
      if (surnames.contains(next_key) || given.contains(next_key)) {
        two_words(*next);
        i += 2;
        continue;
      }
      ++i;
      continue;
    }
    // Without a neighbour to decide, the embedding scorer judges the 40
    // bytes on each side of the word (bounds moved inward to character
    // boundaries); an engine without one reports nothing.
    if (const PiiEmbeddingScorer* scorer = engine.embedding_scorer()) {
      auto is_cont = [&](size_t k) { return (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80; };
      size_t start = tokens[i].start;
      size_t from = start >= 40 ? start - 40 : 0;
      while (from < start && is_cont(from)) ++from;
      size_t to = std::min(text.size(), split.stem_end + 40);
      while (to > split.stem_end && to < text.size() && is_cont(to)) --to;
      std::string context(text.substr(from, start - from));
      context += ' ';
      context += text.substr(split.stem_end, to - split.stem_end);
      if (scorer->is_person_context(pii::trim_space(context))) one_word();
    }
    ++i;
  }
}

}  // namespace selvo

#include "pii/engine.h"

#include <algorithm>

#include "normalization/asciifier.h"
#include "pii/checksum.h"
#include "pii/names.h"
#include "pii/scorer.h"
#include "pii/secrets.h"
#include "pii/spelled_numbers.h"
#include "pii/text.h"
#include "util/regex.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// Each word, followed by its diacritic-free form when that differs and is
// not listed already.
std::vector<std::string> with_ascii_forms(std::initializer_list<const char*> words) {
  std::vector<std::string> out;
  auto add = [&](std::string w) {
    if (std::find(out.begin(), out.end(), w) == out.end()) out.push_back(std::move(w));
  };
  for (const char* w : words) {
    add(w);
    add(TurkishAsciifier::asciify(w));
  }
  return out;
}

PiiEntity make_entity(std::string_view text, size_t start, size_t end, std::string_view label, PiiType type,
                      float confidence) {
  PiiEntity e;
  e.text = std::string(text.substr(start, end - start));
  e.label = std::string(label);
  e.pii_type = type;
  e.start = start;
  e.end = end;
  e.confidence = confidence;
  e.stem = e.text;
  return e;
}

// A detector step of the pipeline that another module provides: it runs
// when `wanted` says so for the engine.
struct DetectorStep {
  int step;
  bool (*wanted)(const TurkishPiiEngine&);
  void (*run)(const TurkishPiiEngine&, std::string_view, std::vector<PiiEntity>&);
};

// The pipeline runs every entry at its place; step 8 runs inside step 7
// (detect_sensitive_categories).
constexpr DetectorStep kDetectorSteps[] = {
    {1, [](const TurkishPiiEngine&) { return true; },
     [](const TurkishPiiEngine& engine, std::string_view text, std::vector<PiiEntity>& out) {
       detect_checksum_entities(engine, text, out);
     }},
    {2, [](const TurkishPiiEngine&) { return true; },
     [](const TurkishPiiEngine& engine, std::string_view text, std::vector<PiiEntity>& out) {
       PatternInput in(text);
       in.settings.preserve_corporate_emails = engine.preserve_corporate_emails();
       in.settings.has_embedding_scorer = engine.has_embedding_scorer();
       in.settings.scorer = engine.embedding_scorer();
       detect_pattern_entities(in, out);
     }},
    {3, [](const TurkishPiiEngine&) { return true; },
     [](const TurkishPiiEngine&, std::string_view text, std::vector<PiiEntity>& out) {
       detect_spelled_numbers(text, out);
     }},
    {4, [](const TurkishPiiEngine& engine) { return engine.is_type_enabled(PiiType::Sifre); },
     [](const TurkishPiiEngine&, std::string_view text, std::vector<PiiEntity>& out) { detect_secrets(text, out); }},
    {5,
     [](const TurkishPiiEngine& engine) {
       return engine.is_type_enabled(PiiType::Ad) || engine.is_type_enabled(PiiType::Kisi);
     },
     [](const TurkishPiiEngine& engine, std::string_view text, std::vector<PiiEntity>& out) {
       detect_names_and_persons(engine, text, out);
     }},
    {6, [](const TurkishPiiEngine& engine) { return engine.is_type_enabled(PiiType::Adres); },
     [](const TurkishPiiEngine&, std::string_view text, std::vector<PiiEntity>& out) {
       detect_addresses(text, out);
     }},
    {7,
     [](const TurkishPiiEngine& engine) {
       return engine.is_type_enabled(PiiType::KanGrubu) || engine.is_type_enabled(PiiType::Saglik) ||
              engine.is_type_enabled(PiiType::Cinsiyet);
     },
     [](const TurkishPiiEngine& engine, std::string_view text, std::vector<PiiEntity>& out) {
       engine.detect_sensitive_categories(text, out);
     }},
};

}  // namespace

const std::vector<std::string>& BLOOD_TYPES() {
  static const std::vector<std::string> set = with_ascii_forms({
      "a rh+",    "a rh-",    "a rh (+)",    "a rh (-)",    "a rh pozitif",    "a rh negatif",
      "b rh+",    "b rh-",    "b rh (+)",    "b rh (-)",    "b rh pozitif",    "b rh negatif",
      "ab rh+",   "ab rh-",   "ab rh (+)",   "ab rh (-)",   "ab rh pozitif",   "ab rh negatif",
      "0 rh+",    "0 rh-",    "0 rh (+)",    "0 rh (-)",    "0 rh pozitif",    "0 rh negatif",
      "sıfır rh+", "sıfır rh-", "sıfır rh pozitif", "sıfır rh negatif",
  });
  return set;
}

const std::vector<std::string>& HEALTH_TERMS() {
  static const std::vector<std::string> set = with_ascii_forms({
      "diyabet",     "şeker hastalığı", "hipertansiyon", "tansiyon",     "kanser",
      "tümör",       "lösemi",          "kemoterapi",    "radyoterapi",  "depresyon",
      "bipolar",     "şizofreni",       "anksiyete",     "panik atak",   "astım",
      "bronşit",     "koah",            "epilepsi",      "sara",         "alzheimer",
      "demans",      "parkinson",       "hepatit",       "hepatit b",    "hepatit c",
      "aids",        "hiv",             "koroner",       "enfarktüs",    "kalp krizi",
      "anjiyo",      "bypass",          "diyaliz",       "böbrek yetmezliği", "otizm",
      "down sendromu", "engelli",       "engellilik",    "özürlü",       "işitme engelli",
      "görme engelli", "ortopedik engelli", "zihinsel engelli", "sağlık kurulu raporu", "ilaç raporu",
      "psikiyatri",  "onkoloji",        "kardiyoloji",   "nöroloji",     "ortopedi",
  });
  return set;
}

const std::vector<std::string>& RELIGION_TERMS() {
  static const std::vector<std::string> set = with_ascii_forms({
      "müslüman", "islam",   "hristiyan", "hıristiyan", "yahudi", "musevi",   "alevi",
      "sünni",    "caferi",  "ortodoks",  "katolik",    "protestan", "budist", "hindu",
      "ateist",   "deist",   "agnostik",  "şinto",      "zerdüşt",
  });
  return set;
}

void detect_addresses(std::string_view text, std::vector<PiiEntity>& out) {
  // The street name before "Caddesi", "Sokağı", ... is at most 80
  // characters: unbounded, the letters-and-blanks run would be re-scanned to
  // the end of the text from every "Mahallesi", which makes a long text of
  // repeated neighbourhood names quadratic.
  static const Regex ADDRESS_REGEX(
      R"re((?ix) \b[A-ZÇĞİÖŞÜ][a-zçğıöşü]+\s+(?:Mahallesi|Mah\.|Mah)\b (?:[,\s]+[A-ZÇĞİÖŞÜ][a-zçğıöşü\s]{1,80}(?:Caddesi|Cad\.|Cad|Sokağı|Sok\.|Sok|Bulvarı|Bulv\.|Bulv))? (?:[,\s]+(?:No|Kapı\s*No|Daire|Kat)[:\s]*[0-9/A-Za-z]+)? (?:[,\s]+[A-ZÇĞİÖŞÜ][a-zçğıöşü]+(?:\s*/\s*[A-ZÇĞİÖŞÜ][a-zçğıöşü]+)?)?)re");
  // Every match holds "Mahallesi", "Mah." or "Mah" in some letter case
  // (no other character folds to m, a or h): text without it is skipped.
  bool has_mah = false;
  for (size_t i = 0; i + 3 <= text.size() && !has_mah; ++i) {
    has_mah = (text[i] | 0x20) == 'm' && (text[i + 1] | 0x20) == 'a' && (text[i + 2] | 0x20) == 'h';
  }
  if (!has_mah) return;
  ADDRESS_REGEX.for_each_match(text, [&](const Match& m) {
    // The entity covers the match without surrounding white space, so that
    // its text is exactly the input between its offsets.
    auto [a, b] = pii::trim_space_range(m.str());
    if (a == b) return;
    out.push_back(make_entity(text, m.start() + a, m.start() + b, "ADRES", PiiType::Adres, 0.9f));
  });
}

void TurkishPiiEngine::detect_sensitive_categories(std::string_view text, std::vector<PiiEntity>& out) const {
  pii::LoweredText lowered(text);
  const std::string& lower = lowered.lower();
  auto emit = [&](size_t pos, size_t len, std::string_view label, PiiType type, float confidence) {
    size_t start = lowered.input_start(pos);
    size_t end = lowered.input_end(pos + len);
    if (end > start) out.push_back(make_entity(text, start, end, label, type, confidence));
  };
  for (const std::string& term : BLOOD_TYPES()) {
    if (size_t pos = lower.find(term); pos != std::string::npos) {
      emit(pos, term.size(), "KAN_GRUBU", PiiType::KanGrubu, 0.98f);
    }
  }
  for (const std::string& term : HEALTH_TERMS()) {
    for (size_t pos = lower.find(term); pos != std::string::npos; pos = lower.find(term, pos + term.size())) {
      emit(pos, term.size(), "SAGLIK", PiiType::Saglik, 0.95f);
    }
  }
  for (const std::string& term : RELIGION_TERMS()) {
    if (size_t pos = lower.find(term); pos != std::string::npos) {
      emit(pos, term.size(), "DIN", PiiType::Saglik, 0.9f);
    }
  }
  // Step 8: the word right before a health trigger ("tanısı", ...) is
  // health data when the scorer finds it close to the health anchor.
  if (!scorer_) return;
  static constexpr std::string_view kHealthTriggers[] = {"tanısı",    "tanisi",     "teşhisi", "teshisi",
                                                         "tedavisi",  "ameliyatı",  "ameliyati", "hastalığı",
                                                         "hastaligi", "hastası",    "hastasi"};
  for (std::string_view trigger : kHealthTriggers) {
    for (size_t pos = lower.find(trigger); pos != std::string::npos; pos = lower.find(trigger, pos + trigger.size())) {
      size_t at = lowered.input_start(pos);
      size_t from = at >= 40 ? at - 40 : 0;
      while (from < at && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
      std::string_view window = text.substr(from, at - from);
      auto [a, b] = pii::trim_space_range(window);
      window = window.substr(a, b - a);
      size_t word_begin = window.size();
      while (word_begin > 0) {
        size_t k = word_begin;
        if (utf8::is_space(utf8::prev(window, k))) break;
        word_begin = k;
      }
      std::string_view word = window.substr(word_begin);
      // Strip non-alphabetic characters at both ends.
      size_t ws = 0;
      while (ws < word.size()) {
        size_t k = ws;
        if (pii::is_alphabetic(utf8::next(word, k))) break;
        ws = k;
      }
      size_t we = word.size();
      while (we > ws) {
        size_t k = we;
        if (pii::is_alphabetic(utf8::prev(word, k))) break;
        we = k;
      }
      word = word.substr(ws, we - ws);
      if (word.size() <= 3) continue;
      if (scorer_->score_similarity(word, PiiEmbeddingScorer::Health) < 0.25f) continue;
      size_t in_window = window.rfind(word);
      if (in_window == std::string_view::npos) continue;
      size_t start = static_cast<size_t>(window.data() - text.data()) + in_window;
      out.push_back(make_entity(text, start, start + word.size(), "SAGLIK", PiiType::Saglik, 0.9f));
    }
  }
}

TurkishPiiEngine TurkishPiiEngine::with_embeddings(std::shared_ptr<const TurkishEmbeddings> embeddings) {
  TurkishPiiEngine engine;
  engine.scorer_ = std::make_shared<const PiiEmbeddingScorer>(std::move(embeddings));
  return engine;
}

std::vector<PiiEntity> resolve_conflicts(std::vector<PiiEntity> entities, std::string_view text) {
  std::stable_sort(entities.begin(), entities.end(), [](const PiiEntity& a, const PiiEntity& b) {
    if (a.start != b.start) return a.start < b.start;
    return (a.end - a.start) > (b.end - b.start);
  });
  std::vector<PiiEntity> kept;
  for (PiiEntity& e : entities) {
    if (kept.empty() || e.start >= kept.back().end) {
      kept.push_back(std::move(e));
      continue;
    }
    PiiEntity& last = kept.back();
    if (e.confidence <= last.confidence) continue;
    if (e.start == last.start && e.end == last.end) {
      last = std::move(e);  // the same span, found with more confidence
    } else if (e.end > last.end) {
      // A more confident entity reaching beyond the one kept replaces it;
      // what the kept entity covered before it stays masked as a shorter
      // entity of its own, instead of leaking.
      auto [from, to] = pii::trim_space_range(text.substr(last.start, e.start - last.start));
      if (to > from) {
        last.end = last.start + to;
        last.start += from;
        last.text = std::string(text.substr(last.start, last.end - last.start));
        last.stem = last.text;
        last.suffix.reset();
        kept.push_back(std::move(e));
      } else {
        last = std::move(e);
      }
    }
    // A more confident entity inside the kept one (ending with it or before
    // it) does not replace it: the rest of the outer span (a token around a
    // number that passes a checksum) would be left unmasked.
  }
  return kept;
}

std::vector<PiiEntity> TurkishPiiEngine::detect(std::string_view text) const {
  std::vector<PiiEntity> found;
  for (const DetectorStep& step : kDetectorSteps) {
    if (step.wanted(*this)) step.run(*this, text, found);
  }
  std::erase_if(found, [&](const PiiEntity& e) { return disabled_.contains(e.pii_type); });
  return resolve_conflicts(std::move(found), text);
}

}  // namespace selvo

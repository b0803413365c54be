#include "normalization/informal_normalizer.h"

#include <array>
#include <utility>

#include "morphology/analyzer.h"
#include "normalization/letter_runs.h"
#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

const std::unordered_map<std::string_view, std::string_view>& INFORMAL_CONTRACTIONS() {
  static const std::unordered_map<std::string_view, std::string_view> table = {
      {"tmm", "tamam"},          {"tmmdır", "tamamdır"},
      {"ok", "tamam"},           {"oki", "tamam"},
      {"nbr", "ne haber"},       {"naber", "ne haber"},
      {"slm", "selam"},          {"mrb", "merhaba"},
      {"meraba", "merhaba"},     {"tşk", "teşekkürler"},
      {"tskk", "teşekkürler"},   {"tşkler", "teşekkürler"},
      {"teşekkür", "teşekkür ederim"}, {"eyw", "eyvallah"},
      {"kib", "kendine iyi bak"}, {"hoscakal", "hoşça kal"},
      {"hoşçakal", "hoşça kal"}, {"aynen", "aynen"},
      {"nslsn", "nasılsın"},     {"hadi", "hadi"},
      {"aynn", "aynen"},         {"ztn", "zaten"},
      {"bgn", "bugün"},          {"yarin", "yarın"},
      {"inş", "inşallah"},       {"hçbr", "hiçbir"},
      {"hç", "hiç"},             {"bşy", "bir şey"},
      {"bişey", "bir şey"},      {"herşey", "her şey"},
      {"noldu", "ne oldu"},      {"nooldu", "ne oldu"},
      {"nolur", "ne olur"},      {"naptın", "ne yaptın"},
      {"napıyon", "ne yapıyorsun"}, {"napıyorsun", "ne yapıyorsun"},
      {"napıon", "ne yapıyorsun"}, {"nasılsın", "nasılsın"},
      {"napıyonuz", "ne yapıyorsunuz"},
  };
  return table;
}

namespace {

// The normalizer's own analyser, built on first use.
const TurkishMorphology& global_morphology() {
  static const TurkishMorphology morphology;
  return morphology;
}

bool accepted(std::string_view candidate) { return !global_morphology().analyze(candidate).empty(); }

bool ends_with(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kProgressive = {{
    {"yolar", "yorlar"}, {"yonuz", "yorsunuz"}, {"yom", "yorum"},
    {"yon", "yorsun"},   {"yoz", "yoruz"},      {"yo", "yor"},
}};
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kNegativeProgressive = {{
    {"mıom", "mıyorum"}, {"miom", "miyorum"}, {"muom", "muyorum"}, {"müom", "müyorum"},
}};
constexpr std::array<std::string_view, 10> kFutureEndings = {
    "cam", "can", "caz", "cak", "caklar", "cem", "cen", "cez", "cek", "cekler"};

// The written future ending for what follows the "c" of a clipped form.
std::string future_ending(std::string_view rest, bool back) {
  if (rest == "am") return back ? "cağım" : "ceğim";
  if (rest == "em") return "ceğim";
  if (rest == "az") return back ? "cağız" : "ceğiz";
  if (rest == "ez") return "ceğiz";
  if (rest == "an") return back ? "caksın" : "ceksin";
  if (rest == "en") return "ceksin";
  if (rest == "ak") return back ? "cak" : "cek";
  if (rest == "ek") return "cek";
  if (rest == "aklar") return back ? "caklar" : "cekler";
  if (rest == "ekler") return "cekler";
  std::string other = "c";
  other.append(rest);
  return other;
}

// yapcam -> yapacağım, gelcez -> geleceğiz, okucam -> okuyacağım.
std::optional<std::string> clipped_future(const std::string& lower) {
  if (lower.size() <= 2) return std::nullopt;
  bool matches = false;
  for (std::string_view e : kFutureEndings) matches = matches || ends_with(lower, e);
  if (!matches) return std::nullopt;
  size_t c = lower.rfind('c');
  std::string_view stem = std::string_view(lower).substr(0, c);
  std::string_view rest = std::string_view(lower).substr(c + 1);
  if (stem.empty()) return std::nullopt;
  std::optional<char32_t> vowel = last_vowel(stem);
  bool back = !vowel || is_back_vowel(*vowel);
  size_t last = stem.size();
  bool vowel_final = is_vowel(utf8::prev(stem, last));
  // After a vowel the link is "y" and the harmony vowel (oku-ya-cağım).
  std::string link = vowel_final ? (back ? "ya" : "ye") : (back ? "a" : "e");
  std::string candidate = std::string(stem) + link + future_ending(rest, back);
  if (accepted(candidate)) return candidate;
  return std::nullopt;
}

template <size_t N>
std::optional<std::string> replaced_ending(const std::string& lower,
                                           const std::array<std::pair<std::string_view, std::string_view>, N>& pairs) {
  for (const auto& [informal, written] : pairs) {
    if (lower.size() > informal.size() && ends_with(lower, informal)) {
      std::string candidate = lower.substr(0, lower.size() - informal.size()) + std::string(written);
      if (accepted(candidate)) return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string TurkishInformalNormalizer::deduplicate_repeated_chars(std::string_view word) {
  std::string kept;       // runs cut to two characters
  std::string collapsed;  // runs cut to one character
  kept.reserve(word.size());
  char32_t previous = 0;
  size_t run = 0;
  for (size_t i = 0; i < word.size();) {
    size_t start = i;
    char32_t c = utf8::next(word, i);
    run = (run > 0 && c == previous) ? run + 1 : 1;
    previous = c;
    std::string_view ch = word.substr(start, i - start);
    if (run <= 2) kept.append(ch);
    if (run == 1) collapsed.append(ch);
  }
  if (run < 2) return kept;  // no repeated run at the end of the word
  if (accepted(to_turkish_lower(collapsed))) return collapsed;
  return kept;
}

std::string TurkishInformalNormalizer::normalize_word(std::string_view word) {
  const auto& contractions = INFORMAL_CONTRACTIONS();
  // The word as typed is looked up first, so keys that end in a doubled
  // letter ("tmm", "aynn") are reached before the repeats are cut.
  if (auto hit = contractions.find(to_turkish_lower(word)); hit != contractions.end()) {
    return std::string(hit->second);
  }
  std::string w = deduplicate_repeated_chars(word);
  std::string lower = to_turkish_lower(w);
  if (auto hit = contractions.find(lower); hit != contractions.end()) return std::string(hit->second);
  if (auto future = clipped_future(lower)) return *future;
  if (auto progressive = replaced_ending(lower, kProgressive)) return *progressive;
  if (auto negative = replaced_ending(lower, kNegativeProgressive)) return *negative;
  return w;
}

std::string TurkishInformalNormalizer::normalize_text(std::string_view text) {
  return rewrite_letter_runs(text, [](std::string_view word) { return normalize_word(word); });
}

}  // namespace selvo

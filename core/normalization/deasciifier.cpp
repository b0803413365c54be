#include "normalization/deasciifier.h"

#include <unicode/uchar.h>

#include <unordered_map>
#include <vector>

#include "morphology/analyzer.h"
#include "normalization/letter_runs.h"
#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

namespace {

const std::unordered_map<std::string_view, std::string_view>& frequent_words() {
  static const std::unordered_map<std::string_view, std::string_view> table = {
      {"cok", "çok"},         {"icin", "için"},       {"cunku", "çünkü"},        {"eger", "eğer"},
      {"simdi", "şimdi"},     {"hizli", "hızlı"},     {"turkce", "türkçe"},      {"turkiye", "türkiye"},
      {"guzel", "güzel"},     {"kucuk", "küçük"},     {"buyuk", "büyük"},        {"ogrenci", "öğrenci"},
      {"ogretmen", "öğretmen"}, {"saglik", "sağlık"}, {"yasam", "yaşam"},        {"cagdas", "çağdaş"},
      {"yazi", "yazı"},       {"yazilim", "yazılım"}, {"degil", "değil"},        {"dunya", "dünya"},
      {"gun", "gün"},         {"gunes", "güneş"},     {"goz", "göz"},            {"yurek", "yürek"},
      {"gonul", "gönül"},     {"arkadas", "arkadaş"}, {"kardes", "kardeş"},      {"sehir", "şehir"},
      {"ulke", "ülke"},       {"caliskan", "çalışkan"}, {"calismak", "çalışmak"}, {"calisiyor", "çalışıyor"},
  };
  return table;
}

// The deasciifier's own analyser, built on first use.
const TurkishMorphology& analyzer() {
  static const TurkishMorphology morphology;
  return morphology;
}

// The Turkish option of an ambiguous letter (0 when the letter is not one).
std::string_view turkish_option(char c) {
  switch (c) {
    case 'c': return "ç";
    case 'g': return "ğ";
    case 'i': return "ı";
    case 'o': return "ö";
    case 's': return "ş";
    case 'u': return "ü";
    default: return {};
  }
}

size_t turkish_letter_count(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size();) {
    switch (utf8::next(s, i)) {
      case U'ç': case U'ğ': case U'ı': case U'ö': case U'ş': case U'ü':
        ++n;
        break;
      default:
        break;
    }
  }
  return n;
}

}  // namespace

std::string TurkishDeasciifier::deasciify(std::string_view text) {
  return rewrite_letter_runs(text, [](std::string_view word) { return deasciify_word(word); });
}

std::string TurkishDeasciifier::deasciify_word(std::string_view word) {
  if (word.empty()) return {};

  bool first_upper = false;
  bool all_upper = word.size() > 1;
  bool first = true;
  for (size_t i = 0; i < word.size();) {
    char32_t c = utf8::next(word, i);
    bool upper = u_isupper(static_cast<UChar32>(c));
    if (first) first_upper = upper;
    first = false;
    if (!upper) all_upper = false;
  }

  const std::string lower = to_turkish_lower(word);
  std::string result;
  if (auto hit = frequent_words().find(lower); hit != frequent_words().end()) {
    result = std::string(hit->second);
  } else {
    // Byte offsets of the ambiguous letters (all ASCII, so one byte each).
    std::vector<size_t> positions;
    for (size_t i = 0; i < lower.size() && positions.size() < kMaxAmbiguous; ++i) {
      if (!turkish_option(lower[i]).empty()) positions.push_back(i);
    }
    if (positions.empty()) return std::string(word);

    // Candidate j of the 2^k spellings: setting the positions one after the
    // other, plain option before Turkish, puts position p's choice at bit
    // (k - 1 - p) of j; candidate 0 is the lowercase word itself.
    const size_t k = positions.size();
    auto candidate = [&](size_t j) {
      std::string out;
      out.reserve(lower.size() + k);
      size_t from = 0;
      for (size_t p = 0; p < k; ++p) {
        out.append(lower, from, positions[p] - from);
        if ((j >> (k - 1 - p)) & 1) {
          out += turkish_option(lower[positions[p]]);
        } else {
          out += lower[positions[p]];
        }
        from = positions[p] + 1;
      }
      out.append(lower, from, std::string::npos);
      return out;
    };

    const TurkishMorphology& morphology = analyzer();
    const bool lower_known = !morphology.analyze(lower).empty();
    result = lower;
    double best = lower_known ? 0.5 : -1.0;
    for (size_t j = 0; j < (size_t{1} << k); ++j) {
      if (j == 0 && lower_known) continue;  // the only candidate equal to the word
      std::string cand = candidate(j);
      std::vector<MorphParse> parses = morphology.analyze(cand);
      if (parses.empty()) continue;
      double score = 1.0 + 0.2 * static_cast<double>(turkish_letter_count(cand)) + parses.front().score;
      if (score > best) {
        best = score;
        result = std::move(cand);
      }
    }
  }

  if (all_upper) return to_turkish_upper(result);
  if (first_upper) return to_turkish_title(result);
  return result;
}

}  // namespace selvo

#include "normalization/number_words.h"

#include <unicode/uchar.h>

#include <array>
#include <cmath>
#include <limits>

#include "phonology/alphabet.h"
#include "util/case_map.h"
#include "util/utf8.h"

namespace selvo {

namespace {

constexpr std::array<std::string_view, 10> DIGITS = {
    "", "bir", "iki", "üç", "dört", "beş", "altı", "yedi", "sekiz", "dokuz"};
constexpr std::array<std::string_view, 10> TENS = {
    "", "on", "yirmi", "otuz", "kırk", "elli", "altmış", "yetmiş", "seksen", "doksan"};
constexpr std::array<std::string_view, 7> SCALES = {
    "", "bin", "milyon", "milyar", "trilyon", "katrilyon", "kentilyon"};
constexpr std::string_view HUNDRED = "yüz";
constexpr std::string_view ZERO = "sıfır";
constexpr std::string_view MINUS = "eksi ";

struct WordValue {
  std::string_view word;
  int64_t value;
};

constexpr std::array<WordValue, 24> WORD_TO_VAL = {{
    {"sıfır", 0},       {"bir", 1},          {"iki", 2},          {"üç", 3},
    {"dört", 4},        {"beş", 5},          {"altı", 6},         {"yedi", 7},
    {"sekiz", 8},       {"dokuz", 9},        {"on", 10},          {"yirmi", 20},
    {"otuz", 30},       {"kırk", 40},        {"elli", 50},        {"altmış", 60},
    {"yetmiş", 70},     {"seksen", 80},      {"doksan", 90},      {"yüz", 100},
    {"bin", 1000},      {"milyon", 1000000}, {"milyar", 1000000000},
    {"trilyon", 1000000000000},
}};

void append_word(std::string& out, std::string_view word) {
  if (!out.empty()) out += ' ';
  out.append(word);
}

// Words of a three-digit group value 1..999.
void append_group(std::string& out, unsigned w) {
  const unsigned hundreds = w / 100;
  const unsigned tens = (w / 10) % 10;
  const unsigned units = w % 10;
  if (hundreds > 0) {
    if (hundreds >= 2) append_word(out, DIGITS[hundreds]);
    append_word(out, HUNDRED);
  }
  if (tens > 0) append_word(out, TENS[tens]);
  if (units > 0) append_word(out, DIGITS[units]);
}

// Spelling of a magnitude; 0 is "sıfır".
std::string spell_magnitude(uint64_t m) {
  if (m == 0) return std::string(ZERO);
  // 2^64 - 1 has seven three-digit groups, so SCALES covers every group.
  std::array<unsigned, 7> groups{};
  size_t count = 0;
  for (uint64_t v = m; v > 0; v /= 1000) groups[count++] = static_cast<unsigned>(v % 1000);
  std::string out;
  for (size_t g = count; g-- > 0;) {
    const unsigned w = groups[g];
    if (w == 0) continue;
    if (g == 1 && w == 1) {
      append_word(out, SCALES[1]);
      continue;
    }
    append_group(out, w);
    if (g > 0) append_word(out, SCALES[g]);
  }
  return out;
}

uint64_t magnitude(int64_t n) {
  return n < 0 ? uint64_t{0} - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
}

// The ordinal ending that the last word of a spelled number takes ("dört"
// also changes its stem, handled by the caller).
std::string_view ordinal_suffix(std::string_view last) {
  if (last == "iki" || last == "yedi" || last == "elli" || last == "yirmi") return "nci";
  if (last == "altı") return "ncı";
  if (last == "üç" || last == "yüz" || last == "dört") return "üncü";
  if (last == "on" || last == "dokuz" || last == "otuz" || last == "milyon" || last == "trilyon")
    return "uncu";
  if (last == "kırk" || last == "altmış" || last == "doksan" || last == "milyar" || last == "sıfır")
    return "ıncı";
  return "inci";
}

struct CurrencyUnits {
  std::string_view main;
  std::string_view sub;
};

CurrencyUnits currency_units(std::string_view code) {
  // Uppercasing never maps a character to nothing, so a code that could
  // match one of at most three characters has at most three (of at most
  // four bytes each); longer input is not case-mapped at all.
  if (code.size() <= 12) {
    const std::string up = unicode_upper(code);
    if (up == "USD" || up == "$") return {"dolar", "sent"};
    if (up == "EUR" || up == "€") return {"avro", "sent"};
    if (up == "GBP" || up == "£") return {"sterlin", "peni"};
  }
  return {"lira", "kuruş"};
}

bool is_space(char32_t c) { return u_isUWhiteSpace(static_cast<UChar32>(c)); }

}  // namespace

std::string TurkishNumberConverter::number_to_words(int64_t n) {
  if (n >= 0) return spell_magnitude(static_cast<uint64_t>(n));
  std::string out(MINUS);
  out += spell_magnitude(magnitude(n));
  return out;
}

std::string TurkishNumberConverter::ordinal_to_words(int64_t n) {
  std::string out = number_to_words(n);
  const size_t sp = out.rfind(' ');
  const size_t last_start = sp == std::string::npos ? 0 : sp + 1;
  const std::string_view last = std::string_view(out).substr(last_start);
  const std::string_view suffix = ordinal_suffix(last);
  if (last == "dört") {
    out.resize(last_start);
    out += "dörd";
  }
  out += suffix;
  return out;
}

std::string TurkishNumberConverter::currency_to_words(double amount, std::string_view currency) {
  const CurrencyUnits units = currency_units(currency);

  // 2^63 as a double: the first value above the signed 64-bit range.
  constexpr double kTwo63 = 9223372036854775808.0;
  bool negative = false;
  uint64_t whole = 0;
  unsigned sub = 0;
  if (!std::isnan(amount)) {
    negative = amount < 0;
    if (amount >= kTwo63) {
      whole = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    } else if (amount < -kTwo63) {
      whole = magnitude(std::numeric_limits<int64_t>::min());
    } else {
      const double t = std::trunc(amount);
      whole = magnitude(static_cast<int64_t>(t));
      // Exact: the fraction of a double is representable. Beyond 2^53 it is 0.
      const double frac = std::fabs(amount - t);
      const double cents = std::round(frac * 100.0);  // 0..100, half away from zero
      sub = static_cast<unsigned>(cents);
      if (sub >= 100) {
        // 0.999 is one lira, not "sıfır lira yüz kuruş". A fraction exists
        // only below 2^53, so the carry cannot leave the range.
        ++whole;
        sub = 0;
      }
    }
  }

  std::string out;
  if (negative) out += MINUS;
  out += spell_magnitude(whole);
  out += ' ';
  out += units.main;
  if (sub > 0) {
    out += ' ';
    out += spell_magnitude(sub);
    out += ' ';
    out += units.sub;
  }
  return out;
}

Result<int64_t> TurkishNumberConverter::words_to_number(std::string_view text) {
  int64_t total = 0;
  int64_t current = 0;
  bool any_word = false;
  auto out_of_range = [&] {
    return Error::domain("Number out of range: " + std::string(text));
  };

  size_t i = 0;
  while (i < text.size()) {
    // Skip whitespace, then take the run of non-whitespace characters.
    size_t start = i;
    if (is_space(utf8::next(text, i))) continue;
    size_t end = i;
    while (end < text.size()) {
      size_t j = end;
      if (is_space(utf8::next(text, j))) break;
      end = j;
    }
    const std::string_view word = text.substr(start, end - start);
    i = end;
    any_word = true;

    const std::string lower = to_turkish_lower(word);
    const WordValue* hit = nullptr;
    for (const WordValue& wv : WORD_TO_VAL) {
      if (wv.word == lower) {
        hit = &wv;
        break;
      }
    }
    if (hit == nullptr) return Error::domain("Unrecognized number word: " + std::string(word));

    // Every value is non-negative and every step only grows the result, so
    // an overflow here means the phrase's value is out of range.
    const int64_t value = hit->value;
    const int64_t m = current > 1 ? current : 1;
    if (value >= 1000) {
      int64_t add;
      if (__builtin_mul_overflow(m, value, &add) || __builtin_add_overflow(total, add, &total))
        return out_of_range();
      current = 0;
    } else if (value == 100) {
      if (__builtin_mul_overflow(m, int64_t{100}, &current)) return out_of_range();
    } else {
      if (__builtin_add_overflow(current, value, &current)) return out_of_range();
    }
  }
  if (!any_word) return Error::domain("Empty input");
  int64_t result;
  if (__builtin_add_overflow(total, current, &result)) return out_of_range();
  return result;
}

}  // namespace selvo

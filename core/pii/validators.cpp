#include "pii/validators.h"

#include <unicode/uchar.h>

#include <string>

#include "pii/text.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// The ASCII digits of s, in order, as values 0..9 (non-ASCII digits are
// dropped). Stops collecting once more than `limit` digits were seen, since
// every caller needs an exact count below it.
std::string ascii_digits(std::string_view s, size_t limit) {
  std::string d;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      d.push_back(static_cast<char>(c - '0'));
      if (d.size() > limit) break;
    }
  }
  return d;
}

bool luhn_ok(const std::string& d) {
  int sum = 0;
  size_t n = d.size();
  for (size_t k = 0; k < n; ++k) {
    int v = d[n - 1 - k];
    if (k % 2 == 1) {
      v *= 2;
      if (v > 9) v -= 9;
    }
    sum += v;
  }
  return sum % 10 == 0;
}

bool starts_with_digits(const std::string& d, std::string_view prefix) {
  if (d.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (d[i] != prefix[i] - '0') return false;
  }
  return true;
}

int leading_number(const std::string& d, size_t n) {
  int v = 0;
  for (size_t i = 0; i < n && i < d.size(); ++i) v = v * 10 + d[i];
  return v;
}

}  // namespace

std::string_view card_brand_name(CardBrand brand) noexcept {
  switch (brand) {
    case CardBrand::Troy: return "Troy";
    case CardBrand::Visa: return "Visa";
    case CardBrand::MasterCard: return "MasterCard";
    case CardBrand::AmericanExpress: return "AmericanExpress";
    case CardBrand::Unknown: return "Unknown";
  }
  return "Unknown";
}

bool validate_tckn(std::string_view s) {
  std::string d = ascii_digits(s, 11);
  if (d.size() != 11 || d[0] == 0) return false;
  bool all_same = true;
  for (size_t i = 1; i < 10; ++i) all_same = all_same && d[i] == d[0];
  if (all_same) return false;
  int odd = d[0] + d[2] + d[4] + d[6] + d[8];
  int even = d[1] + d[3] + d[5] + d[7];
  int d10 = ((7 * odd - even) % 10 + 10) % 10;
  if (d[9] != d10) return false;
  int sum = 0;
  for (size_t i = 0; i < 10; ++i) sum += d[i];
  return d[10] == sum % 10;
}

bool validate_vkn(std::string_view s) {
  std::string d = ascii_digits(s, 10);
  if (d.size() != 10) return false;
  int total = 0;
  for (int i = 1; i <= 9; ++i) {
    int t = (d[i - 1] + 10 - i) % 10;
    if (t == 0) continue;
    int v = (t * (1 << (10 - i))) % 9;
    total += v == 0 ? 9 : v;
  }
  return (10 - total % 10) % 10 == d[9];
}

std::optional<size_t> expected_iban_length(char c1, char c2) noexcept {
  struct Entry {
    char code[3];
    unsigned char length;
  };
  static constexpr Entry kTable[] = {
      {"NO", 15}, {"BE", 16}, {"DK", 18}, {"FI", 18}, {"FO", 18}, {"GL", 18}, {"NL", 18}, {"MK", 19},
      {"SI", 19}, {"AT", 20}, {"BA", 20}, {"EE", 20}, {"KZ", 20}, {"LT", 20}, {"LU", 20}, {"XK", 20},
      {"CH", 21}, {"HR", 21}, {"LI", 21}, {"LV", 21}, {"BG", 22}, {"BH", 22}, {"CR", 22}, {"DE", 22},
      {"GB", 22}, {"GE", 22}, {"IE", 22}, {"ME", 22}, {"RS", 22}, {"VA", 22}, {"AE", 23}, {"GI", 23},
      {"IL", 23}, {"TL", 23}, {"AD", 24}, {"CZ", 24}, {"ES", 24}, {"MD", 24}, {"PK", 24}, {"RO", 24},
      {"SA", 24}, {"SE", 24}, {"SK", 24}, {"TN", 24}, {"VG", 24}, {"PT", 25}, {"ST", 25}, {"IS", 26},
      {"TR", 26}, {"FR", 27}, {"GR", 27}, {"IT", 27}, {"MC", 27}, {"MR", 27}, {"SM", 27}, {"AL", 28},
      {"AZ", 28}, {"BY", 28}, {"CY", 28}, {"DO", 28}, {"GT", 28}, {"HU", 28}, {"LB", 28}, {"PL", 28},
      {"BR", 29}, {"PS", 29}, {"QA", 29}, {"UA", 29}, {"JO", 30}, {"KW", 30}, {"MU", 30}, {"MT", 31},
      {"SC", 31}, {"LC", 32},
  };
  for (const Entry& e : kTable) {
    if (e.code[0] == c1 && e.code[1] == c2) return e.length;
  }
  return std::nullopt;
}

bool validate_iban(std::string_view s) {
  std::string v;
  for (size_t i = 0; i < s.size();) {
    size_t start = i;
    char32_t c = utf8::next(s, i);
    if (utf8::is_space(c)) continue;
    v.append(s.substr(start, i - start));
    if (v.size() > 34) return false;
  }
  size_t n = v.size();
  if (n < 15 || n > 34) return false;
  for (char& c : v) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  auto is_upper = [](char c) { return c >= 'A' && c <= 'Z'; };
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!is_upper(v[0]) || !is_upper(v[1]) || !is_digit(v[2]) || !is_digit(v[3])) return false;
  for (size_t i = 4; i < n; ++i) {
    if (!is_upper(v[i]) && !is_digit(v[i])) return false;
  }
  if (auto len = expected_iban_length(v[0], v[1]); len && *len != n) return false;
  int r = 0;
  for (size_t k = 0; k < n; ++k) {
    char c = v[(k + 4) % n];
    if (is_digit(c)) {
      r = (r * 10 + (c - '0')) % 97;
    } else {
      r = (r * 100 + (c - 'A' + 10)) % 97;
    }
  }
  return r == 1;
}

std::optional<CardBrand> validate_credit_card(std::string_view s) {
  std::string d = ascii_digits(s, 19);
  if (d.size() < 13 || d.size() > 19) return std::nullopt;
  if (!luhn_ok(d)) return std::nullopt;
  if (starts_with_digits(d, "9792")) return CardBrand::Troy;
  if (d[0] == 4) return CardBrand::Visa;
  int two = leading_number(d, 2);
  if (two >= 51 && two <= 55) return CardBrand::MasterCard;
  int four = leading_number(d, 4);
  if (four >= 2221 && four <= 2720) return CardBrand::MasterCard;
  if (two == 34 || two == 37) return CardBrand::AmericanExpress;
  return CardBrand::Unknown;
}

bool validate_plate(std::string_view s) {
  // Letters and ASCII digits, upper-cased and with the Turkish letters
  // folded to their plain forms.
  std::string kept;
  for (size_t i = 0; i < s.size();) {
    size_t start = i;
    char32_t c = utf8::next(s, i);
    if ((c >= U'0' && c <= U'9') || pii::is_alphabetic(c)) kept.append(s.substr(start, i - start));
    if (kept.size() > 64) return false;
  }
  std::string upper = pii::unicode_upper(kept);
  std::string v;
  for (size_t i = 0; i < upper.size();) {
    char32_t c = utf8::next(upper, i);
    switch (c) {
      case U'Ç': c = U'C'; break;
      case U'Ğ': c = U'G'; break;
      case U'İ': c = U'I'; break;
      case U'Ö': c = U'O'; break;
      case U'Ş': c = U'S'; break;
      case U'Ü': c = U'U'; break;
      default: break;
    }
    utf8::append(v, c);
  }
  if (v.size() < 7 || v.size() > 9) return false;
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!is_digit(v[0]) || !is_digit(v[1])) return false;
  int province = (v[0] - '0') * 10 + (v[1] - '0');
  if (province < 1 || province > 81) return false;
  size_t i = 2;
  size_t letters = 0;
  while (i < v.size() && v[i] >= 'A' && v[i] <= 'Z') ++i, ++letters;
  size_t digits = 0;
  while (i < v.size() && is_digit(v[i])) ++i, ++digits;
  if (i != v.size()) return false;
  switch (letters) {
    case 1: return digits == 4 || digits == 5;
    case 2: return digits == 3 || digits == 4;
    case 3: return digits >= 2 && digits <= 4;
    default: return false;
  }
}

bool validate_vin(std::string_view s) {
  std::string v;
  for (char c : s) {
    bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) continue;
    v.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    if (v.size() > 17) return false;
  }
  if (v.size() != 17) return false;
  static constexpr int kLetterValue[26] = {1, 2, 3, 4, 5, 6, 7, 8, -1, 1, 2, 3, 4,
                                           5, -1, 7, -1, 9, 2, 3, 4, 5, 6, 7, 8, 9};
  static constexpr int kWeights[17] = {8, 7, 6, 5, 4, 3, 2, 10, 0, 9, 8, 7, 6, 5, 4, 3, 2};
  int sum = 0;
  for (size_t i = 0; i < 17; ++i) {
    char c = v[i];
    int value;
    if (c >= '0' && c <= '9') {
      value = c - '0';
    } else {
      value = kLetterValue[c - 'A'];
      if (value < 0) return false;  // I, O and Q never occur in a VIN
    }
    sum += value * kWeights[i];
  }
  int r = sum % 11;
  char expected = r == 10 ? 'X' : static_cast<char>('0' + r);
  return v[8] == expected;
}

bool validate_imei(std::string_view s) {
  std::string d = ascii_digits(s, 15);
  return d.size() == 15 && luhn_ok(d);
}

bool validate_ssn(std::string_view s) {
  if (s.size() != 11 || s[3] != '-' || s[6] != '-') return false;
  for (size_t i = 0; i < 11; ++i) {
    if (i == 3 || i == 6) continue;
    if (s[i] < '0' || s[i] > '9') return false;
  }
  int area = (s[0] - '0') * 100 + (s[1] - '0') * 10 + (s[2] - '0');
  int group = (s[4] - '0') * 10 + (s[5] - '0');
  int serial = (s[7] - '0') * 1000 + (s[8] - '0') * 100 + (s[9] - '0') * 10 + (s[10] - '0');
  if (area == 0 || area == 666 || area >= 900) return false;
  return group != 0 && serial != 0;
}

}  // namespace selvo

// Turkish number words: cardinals, ordinals and money amounts spelled out,
// and phrases of number words read back into integers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/error.h"

namespace selvo {

class TurkishNumberConverter {
 public:
  // "iki bin yirmi dört"; negatives are "eksi " and the spelled magnitude
  // (INT64_MIN included).
  static std::string number_to_words(int64_t n);

  // "yirmi dördüncü": the cardinal with the ordinal suffix that its last word
  // takes ("eksi üçüncü" for -3).
  static std::string ordinal_to_words(int64_t n);

  // "on iki lira elli kuruş". The code is matched after Unicode uppercasing:
  // "USD"/"$" dollars, "EUR"/"€" euros, "GBP"/"£" pounds, anything else lira.
  // The whole part is the amount truncated towards zero (saturated to the
  // 64-bit range, 0 for NaN); the fraction is rounded half away from zero to
  // subunits, and 100 of them carry into the whole part. A negative amount is
  // "eksi " followed by the spelling of its absolute value.
  static std::string currency_to_words(double amount, std::string_view currency = "TL");

  // Reads a phrase such as "Bin Dokuz Yüz Seksen Dört" (words split at
  // Unicode whitespace, compared in Turkish lowercase). Fails with "Empty
  // input", "Unrecognized number word: {word as written}", or "Number out of
  // range: {text}" when the value does not fit a signed 64-bit integer.
  static Result<int64_t> words_to_number(std::string_view text);
};

}  // namespace selvo

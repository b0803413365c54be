// Number and currency words.
#include "bindings.h"
#include "normalization/number_words.h"

namespace selvo::py {

namespace {

std::string currency_to_words(double amount, std::optional<std::string_view> currency) {
  return TurkishNumberConverter::currency_to_words(amount, currency.value_or("TL"));
}

}  // namespace

void register_normalization(Registry& r) {
  r.function<&TurkishNumberConverter::number_to_words>("number_to_words(n)");
  r.function<&TurkishNumberConverter::ordinal_to_words>("ordinal_to_words(n)");
  r.function<&currency_to_words>("currency_to_words(amount, currency=None)");
  r.function<&TurkishNumberConverter::words_to_number>("words_to_number(text)");
}

}  // namespace selvo::py

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "pii/validators.h"

namespace selvo {
namespace {

struct BoolCase {
  const char* input;
  bool expected;
};

TEST(PiiValidators, Tckn) {
  const BoolCase cases[] = {
      {"10000000146", true},       {"100 000 001 46", true},    {"12345678950", true},
      {"1234-5678-950", true},     {"12345678951", false},      {"12345678960", false},  // d10 wrong
      {"02345678950", false},      {"11111111110", false},      {"1234567895", false},
      {"123456789500", false},     {"", false},                 {"١٢٣٤٥٦٧٨٩٥٠", false},  // not ASCII digits
      {"1234567895\xD9\xA0", false}, {"abc12345678950xyz", true},
  };
  for (const auto& c : cases) EXPECT_EQ(validate_tckn(c.input), c.expected) << c.input;
}

TEST(PiiValidators, Vkn) {
  const BoolCase cases[] = {
      {"1234567890", true}, {"9876543217", true}, {"987 654 32 17", true},
      {"9876543210", false}, {"123456789", false}, {"12345678901", false}, {"0000000001", true}, {"0000000000", false},
  };
  for (const auto& c : cases) EXPECT_EQ(validate_vkn(c.input), c.expected) << c.input;
}

TEST(PiiValidators, Iban) {
  const BoolCase cases[] = {
      {"TR330006100519786457841326", true},
      {"TR33 0006 1005 1978 6457 8413 26", true},
      {"tr33 0006 1005 1978 6457 8413 26", true},
      {"TR33\u00a00006\u30001005 1978 6457 8413 26", true},  // any Unicode white space
      {"TR340006100519786457841326", false},                  // check digits
      {"TR24000120094000001234567", false},                   // 25 characters for TR
      {"TR71001000000000001234567890", false},                // 28 characters for TR
      {"DE89370400440532013000", true},
      {"GB82WEST12345698765432", true},
      {"ZZ00", false},
      {"TR33-0006-1005-1978-6457-8413-26", false},  // dashes are not removed
      {"1R330006100519786457841326", false},
      {"TR3A0006100519786457841326", false},
      {"TR330006100519786457841326TR330006100519786457841326", false},
  };
  for (const auto& c : cases) EXPECT_EQ(validate_iban(c.input), c.expected) << c.input;
  // A country outside the table is judged by the check digits alone.
  EXPECT_FALSE(expected_iban_length('Z', 'Z').has_value());
  EXPECT_EQ(expected_iban_length('T', 'R'), 26u);
  EXPECT_EQ(expected_iban_length('N', 'O'), 15u);
  EXPECT_EQ(expected_iban_length('L', 'C'), 32u);
}

TEST(PiiValidators, CreditCardBrands) {
  struct Case {
    const char* input;
    std::optional<CardBrand> expected;
  };
  const Case cases[] = {
      {"4111111111111111", CardBrand::Visa},
      {"4111 1111 1111 1111", CardBrand::Visa},
      {"5555555555554444", CardBrand::MasterCard},
      {"2221000000000009", CardBrand::MasterCard},
      {"2720000000000005", CardBrand::MasterCard},
      {"2721000000000004", CardBrand::Unknown},
      {"6000000000000007", CardBrand::Unknown},
      {"9792000000000003", CardBrand::Troy},
      {"370000000000002", CardBrand::AmericanExpress},
      {"4111111111111112", std::nullopt},  // Luhn
      {"400000000002", std::nullopt},      // 12 digits
      {"41111111111111111111", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(validate_credit_card(c.input), c.expected) << c.input;
  EXPECT_EQ(card_brand_name(CardBrand::AmericanExpress), "AmericanExpress");
}

TEST(PiiValidators, Plate) {
  const BoolCase cases[] = {
      {"34 ABC 123", true}, {"06 a 1234", true},  {"35 ÇŞ 456", true},   {"34ABC12", true},
      {"01 A 12345", true}, {"81 AB 1234", true}, {"00 ABC 123", false}, {"82 ABC 123", false},
      {"34 ABCD 12", false}, {"34 A 123", false}, {"34 AB 12", false},  {"34 123 ABC", false},
      {"3A BC 123", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(validate_plate(c.input), c.expected) << c.input;
}

TEST(PiiValidators, Vin) {
  const BoolCase cases[] = {
      {"1M8GDM9AXKP042788", true},  {"1m8gdm9axkp042788", true}, {"WVWZZZ1J30W000001", true},
      {"1M8GDM9A0KP042788", false}, {"1M8GDM9AXKP04278", false}, {"1M8GDM9AXKP0427O8", false},
      {"1M8-GDM9AXKP042788", true},
  };
  for (const auto& c : cases) EXPECT_EQ(validate_vin(c.input), c.expected) << c.input;
}

TEST(PiiValidators, ImeiAndSsn) {
  const BoolCase imei[] = {{"356938030000005", true}, {"356938030000006", false}, {"35693803000000", false},
                           {"35-693803-000000-5", true}};
  for (const auto& c : imei) EXPECT_EQ(validate_imei(c.input), c.expected) << c.input;
  const BoolCase ssn[] = {{"123-45-6789", true},  {"123456789", false},   {"666-12-3456", false},
                          {"000-12-3456", false}, {"900-12-3456", false}, {"123-00-6789", false},
                          {"123-45-0000", false}, {"123-45-678", false},  {" 123-45-6789", false}};
  for (const auto& c : ssn) EXPECT_EQ(validate_ssn(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace selvo

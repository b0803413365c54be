// Check-digit and shape validators of identifiers: Turkish identity and tax
// numbers, IBAN, payment cards (with brand), Turkish plates, VIN, IMEI and
// US social security numbers. Pure functions of one string; they never fail
// and run in time linear in the input.
#pragma once

#include <optional>
#include <string_view>

namespace selvo {

enum class CardBrand : uint8_t { Troy, Visa, MasterCard, AmericanExpress, Unknown };

std::string_view card_brand_name(CardBrand brand) noexcept;

bool validate_tckn(std::string_view s);
bool validate_vkn(std::string_view s);
bool validate_iban(std::string_view s);
std::optional<CardBrand> validate_credit_card(std::string_view s);
bool validate_plate(std::string_view s);
bool validate_vin(std::string_view s);
bool validate_imei(std::string_view s);
bool validate_ssn(std::string_view s);

// Total IBAN length of a two-letter upper-case country code, if known.
std::optional<size_t> expected_iban_length(char c1, char c2) noexcept;

}  // namespace selvo

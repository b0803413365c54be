// The vocabulary of personal-data protection: the 28 categories, the record
// of one detected span, and the set of disabled categories.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace selvo {

enum class PiiType : uint8_t {
  Tckn = 0,
  Vkn,
  Iban,
  Kart,
  Tel,
  Email,
  Ad,
  Kisi,
  Adres,
  Pasaport,
  Ehliyet,
  Plaka,
  SasiNo,
  Imei,
  IpAdres,
  Port,
  Yas,
  YasAraligi,
  DogumTarihi,
  OzelTarih,
  OzelUrl,
  KanGrubu,
  Saglik,
  Cinsiyet,
  Maas,
  Sifre,
  HesapNo,
  Ssn,
};

inline constexpr size_t kPiiTypeCount = 28;

// Canonical name ("TCKN", "AD", "SASI_NO", ...): the name reported to
// callers and the label placeholders are built from.
std::string_view as_str(PiiType type) noexcept;

// Looks a caller's name up: trimmed of Unicode white space, upper-cased
// with the general Unicode mapping, then compared with the accepted names
// ("kisi", " Person " → Kisi; "kişi" is unknown).
std::optional<PiiType> pii_type_from_name(std::string_view name);

// The message of a name that pii_type_from_name does not know.
std::string unknown_pii_type_message(std::string_view name);

// One detected span. Offsets are bytes of the UTF-8 input, on character
// boundaries; `text` is the input between them (the two-word name of the
// name detector, joined by one blank, is the documented exception).
struct PiiEntity {
  std::string text;
  std::string label;  // the detector's label, often as_str(pii_type)
  PiiType pii_type = PiiType::Tckn;
  size_t start = 0;
  size_t end = 0;
  float confidence = 0.0f;
  std::string stem;                   // what the vault re-forms endings for
  std::optional<std::string> suffix;  // an ending split off after an apostrophe

  bool operator==(const PiiEntity&) const = default;
};

// A set of categories.
class PiiTypeSet {
 public:
  void insert(PiiType t) noexcept { bits_ |= bit(t); }
  void erase(PiiType t) noexcept { bits_ &= ~bit(t); }
  bool contains(PiiType t) const noexcept { return (bits_ & bit(t)) != 0; }
  bool empty() const noexcept { return bits_ == 0; }
  bool operator==(const PiiTypeSet&) const = default;

 private:
  static uint32_t bit(PiiType t) noexcept { return uint32_t{1} << static_cast<unsigned>(t); }
  uint32_t bits_ = 0;
};

}  // namespace selvo

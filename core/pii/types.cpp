#include "pii/types.h"

#include <array>
#include <utility>

#include "pii/text.h"

namespace selvo {

namespace {

constexpr std::array<std::string_view, kPiiTypeCount> kNames = {
    "TCKN",       "VKN",          "IBAN",       "KART",     "TEL",     "EMAIL",   "AD",
    "KISI",       "ADRES",        "PASAPORT",   "EHLIYET",  "PLAKA",   "SASI_NO", "IMEI",
    "IP_ADRES",   "PORT",         "YAS",        "YAS_ARALIGI", "DOGUM_TARIHI", "OZEL_TARIH", "OZEL_URL",
    "KAN_GRUBU",  "SAGLIK",       "CINSIYET",   "MAAS",     "SIFRE",   "HESAP_NO", "SSN",
};

struct Alias {
  std::string_view name;
  PiiType type;
};

constexpr Alias kAliases[] = {
    {"TCKN", PiiType::Tckn},
    {"VKN", PiiType::Vkn},
    {"IBAN", PiiType::Iban},
    {"KART", PiiType::Kart},
    {"CREDITCARD", PiiType::Kart},
    {"CREDIT_CARD", PiiType::Kart},
    {"TEL", PiiType::Tel},
    {"PHONE", PiiType::Tel},
    {"EMAIL", PiiType::Email},
    {"E_MAIL", PiiType::Email},
    {"EPOSTA", PiiType::Email},
    {"E-POSTA", PiiType::Email},
    {"AD", PiiType::Ad},
    {"NAME", PiiType::Ad},
    {"KISI", PiiType::Kisi},
    {"PERSON", PiiType::Kisi},
    {"ADRES", PiiType::Adres},
    {"ADDRESS", PiiType::Adres},
    {"PASAPORT", PiiType::Pasaport},
    {"PASSPORT", PiiType::Pasaport},
    {"EHLIYET", PiiType::Ehliyet},
    {"DRIVERLICENSE", PiiType::Ehliyet},
    {"DRIVER_LICENSE", PiiType::Ehliyet},
    {"PLAKA", PiiType::Plaka},
    {"PLATE", PiiType::Plaka},
    {"SASI_NO", PiiType::SasiNo},
    {"VIN", PiiType::SasiNo},
    {"IMEI", PiiType::Imei},
    {"IP", PiiType::IpAdres},
    {"IP_ADRES", PiiType::IpAdres},
    {"IPADDRESS", PiiType::IpAdres},
    {"IP_ADDRESS", PiiType::IpAdres},
    {"PORT", PiiType::Port},
    {"YAS", PiiType::Yas},
    {"AGE", PiiType::Yas},
    {"YAS_ARALIGI", PiiType::YasAraligi},
    {"AGERANGE", PiiType::YasAraligi},
    {"AGE_RANGE", PiiType::YasAraligi},
    {"DOGUM_TARIHI", PiiType::DogumTarihi},
    {"BIRTHDATE", PiiType::DogumTarihi},
    {"BIRTH_DATE", PiiType::DogumTarihi},
    {"OZEL_TARIH", PiiType::OzelTarih},
    {"PRIVATEDATE", PiiType::OzelTarih},
    {"PRIVATE_DATE", PiiType::OzelTarih},
    {"OZEL_URL", PiiType::OzelUrl},
    {"PRIVATEURL", PiiType::OzelUrl},
    {"PRIVATE_URL", PiiType::OzelUrl},
    {"KAN_GRUBU", PiiType::KanGrubu},
    {"BLOODTYPE", PiiType::KanGrubu},
    {"BLOOD_TYPE", PiiType::KanGrubu},
    {"SAGLIK", PiiType::Saglik},
    {"HEALTH", PiiType::Saglik},
    {"CINSIYET", PiiType::Cinsiyet},
    {"GENDER", PiiType::Cinsiyet},
    {"MAAS", PiiType::Maas},
    {"SALARY", PiiType::Maas},
    {"SIFRE", PiiType::Sifre},
    {"SECRET", PiiType::Sifre},
    {"CREDENTIAL", PiiType::Sifre},
    {"CREDENTIALS", PiiType::Sifre},
    {"HESAP_NO", PiiType::HesapNo},
    {"ACCOUNTNO", PiiType::HesapNo},
    {"ACCOUNT_NO", PiiType::HesapNo},
    {"SSN", PiiType::Ssn},
};

}  // namespace

std::string_view as_str(PiiType type) noexcept {
  auto i = static_cast<size_t>(type);
  return i < kNames.size() ? kNames[i] : std::string_view("UNKNOWN");
}

std::optional<PiiType> pii_type_from_name(std::string_view name) {
  std::string key = pii::unicode_upper(pii::trim_space(name));
  for (const Alias& a : kAliases) {
    if (a.name == key) return a.type;
  }
  return std::nullopt;
}

std::string unknown_pii_type_message(std::string_view name) {
  return "Unknown PiiType: " + std::string(name);
}

}  // namespace selvo

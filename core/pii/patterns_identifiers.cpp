// Pattern rules for contact data, network data, identity and account
// numbers, payment and vehicle data, and credentials.
#include <charconv>
#include <string>
#include <unordered_set>

#include "pii/patterns.h"
#include "pii/text.h"
#include "pii/validators.h"

// The rule table is written with designated initializers that name only
// the fields a rule sets.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace selvo {

namespace {

bool email_post_check(const PatternInput& in, std::string_view span, RuleHit&) {
  if (is_file_like_email(span)) return false;
  return !(in.settings.preserve_corporate_emails && is_corporate_email(span));
}

bool port_post_check(const PatternInput&, std::string_view span, RuleHit&) {
  if (span.empty() || span.size() > 5) return false;
  unsigned value = 0;
  for (char c : span) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value >= 1 && value <= 65535;
}

bool ssn_post_check(const PatternInput&, std::string_view span, RuleHit&) { return validate_ssn(span); }

bool credentials_post_check(const PatternInput&, std::string_view span, RuleHit&) {
  static const std::unordered_set<std::string> kExcluded = {
      "islemi",    "talebi",     "işlemi",     "isteği",     "hatası",     "ekranı",
      "sifirlama", "sıfırlama",  "degistirme", "değiştirme", "guncelleme", "güncelleme"};
  return !kExcluded.contains(pii::unicode_lower(span));
}

bool imei_post_check(const PatternInput&, std::string_view span, RuleHit& hit) {
  hit.confidence = validate_imei(span) ? 1.0f : 0.95f;
  return true;
}

bool longer_than_14_bytes(const PatternInput& in) { return in.text.size() > 14; }

}  // namespace

std::vector<PatternRule> identifier_pattern_rules() {
  std::vector<PatternRule> r;
  auto whole = [](std::string_view label) { return std::vector<std::pair<int, std::string_view>>{{0, label}}; };
  auto group = [](int g, std::string_view label) {
    return std::vector<std::pair<int, std::string_view>>{{g, label}};
  };

  r.push_back({1, "PHONE_REGEX",
               R"re((?x) (?:(?:\+90|0090)\s*|\b) (?: (?:\(?0?[2-5][0-9]{2}\)?[\s.-]?[0-9]{3}[\s.-]?[0-9]{2}[\s.-]?[0-9]{2}) | (?:\(?0?850\)?[\s.-]?[0-9]{3}[\s.-]?[0-9]{2}[\s.-]?[0-9]{2}) | (?:444[\s.-]?[0-9][\s.-]?[0-9]{3}) | (?:444[\s.-]?[0-9]{4}) ) \b)re",
               {.digit = true}, whole("TEL"), PiiType::Tel, 0.98f});
  r.push_back({2, "PRIVATE_URL_REGEX",
               R"re((?i)\bhttps?://[^\s<>"'{}|\\^`]+(?:[?&](?:token|k|key|oturum|session|dosya|auth|kod|secret)=[^\s<>"'{}|\\^`]+|/(?:dosya|paylas|u|ticket|kisisel|private|secure)/[^\s<>"'{}|\\^`]+))re",
               {.text_has = {"http://", "https://"}}, whole("OZEL_URL"), PiiType::OzelUrl, 0.98f});
  r.push_back({3, "PRIVATE_URL_TRIGGER_REGEX",
               R"re((?i)\b(?:özel\s+(?:dosya\s+)?linki?|kişisel\s+(?:dosya\s+)?linki?|teslim\s+linki?|takip\s+linki?|belge\s+linki?|hesap\s+linki?|profil\s+linki?|özel\s+url)[:\s]+(https?://[^\s<>"'{}|\\^`]+))re",
               {.text_has = {"http://", "https://"}}, group(1, "OZEL_URL"), PiiType::OzelUrl, 0.98f});
  r.push_back({4, "EMAIL_REGEX", R"re((?i)\b[A-Z0-9._%+-]+@[A-Z0-9.-]+\.[A-Z]{2,}\b)re",
               {.lower_has = {"[at]", "(at)"}, .text_has = {"@"}}, whole("EMAIL"), PiiType::Email, 1.0f,
               &email_post_check});
  r.push_back({5, "EMAIL_OBFUSCATED_REGEX",
               R"re((?i)\b(?:[A-Z0-9._%+-]+\s*(?:\[at\]|\(at\))\s*[A-Z0-9.-]+\s*(?:\[dot\]|\(dot\)|\.)\s*[A-Z]{2,}|[A-Z0-9._%+-]+@[A-Z0-9.-]+\s*(?:\[dot\]|\(dot\)|\.)\s*[A-Z]{2,})\b)re",
               {.lower_has = {"[at]", "(at)"}, .text_has = {"@"}}, whole("EMAIL"), PiiType::Email, 0.95f,
               &email_post_check});
  r.push_back({6, "IPV4_REGEX",
               R"re(\b(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\.){3}(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\b)re",
               {.digit = true, .text_has = {"."}}, whole("IP_ADRES"), PiiType::IpAdres, 0.95f});
  r.push_back({7, "PORT_REGEX",
               R"re((?i)\b(\d{1,5})\s*(?:nolu\s+|numaralı\s+)?port(?:u|unda|undan|una)?\b|:([0-9]{2,5})\b)re",
               {.digit = true, .lower_has = {"port"}, .text_has = {":"}}, {{1, "PORT"}, {2, "PORT"}},
               PiiType::Port, 0.95f, &port_post_check});
  r.push_back({8, "PASSPORT_REGEX",
               R"re((?i)\b(?:pasaport(?:\s*no(?:su)?)?[:\s]*)?([UuAa][0-9]{7,8}|[Ee][Pp][0-9]{7,8})\b)re",
               {.digit = true, .lower_has = {"pasaport"}, .text_has = {"U", "u", "A", "a", "EP", "ep"}},
               group(1, "PASAPORT"), PiiType::Pasaport, 0.95f});
  r.push_back({11, "CVV_REGEX",
               R"re((?i)\b(?:cvv(?:(?:\s*['’]?\s*s?[iı])|\s+kodu)?|cvc2?|güvenlik\s+kodu(?:m|nu)?|güvenlik\s+no(?:su)?)[:\s]*([0-9]{3,4})\b)re",
               {.digit = true, .lower_has = {"cvv", "cvc", "güvenlik", "guvenlik"}}, group(1, "CVV"),
               PiiType::Kart, 0.98f});
  r.push_back({12, "CARD_EXPIRY_REGEX",
               R"re((?i)\b(?:skt|son\s+kullanma\s+tarihi|exp(?:\.|\s+date)?)[:\s]*(0[1-9]|1[0-2])\s*[/.-]\s*([0-9]{2}|20[2-3][0-9])\b)re",
               {.digit = true, .lower_has = {"skt", "son kullanma", "exp"}}, whole("KART_SKT"), PiiType::Kart,
               0.95f});
  r.push_back({13, "ACCOUNT_NO_REGEX",
               R"re((?i)\b(?:m[üuÜU][şsŞS]ter[iİıI]\s*(?:no(?:su)?|numaras[ıiIİ]|id(?:s[iİıI])?|kodu)|muster[iİıI]\s*no)[:\s]*([A-Za-z0-9_-]{4,16})\b|\b(?:hesap(?:\s*no(?:su)?)?)[:\s]*([0-9]{3,5}[- ][0-9]{5,8}(?:[- ][0-9]{2,4})?|[0-9]{6,16})\b|\b(?:[öoÖO]deme\s+tal[iİıI]mat[ıiIİ](?:n[ıiIİ])?)[:\s]*([0-9]{3,5}[- ][0-9]{5,8}(?:[- ][0-9]{2,4})?)\b)re",
               {.lower_has = {"müşteri", "musteri", "hesap", "ödeme", "odeme"}},
               {{1, "MUSTERI_NO"}, {2, "HESAP_NO"}, {3, "HESAP_NO"}}, PiiType::HesapNo, 0.95f});
  r.push_back({14, "BANK_ACCOUNT_FORMAT_REGEX", R"re(\b\d{3,5}-\d{5,8}-\d{2,4}\b)re",
               {.digit = true, .text_has = {"-"}}, whole("HESAP_NO"), PiiType::HesapNo, 0.94f});
  r.push_back({15, "SSN_CANDIDATE_REGEX", R"re(\b\d{3}-\d{2}-\d{4}\b)re", {.digit = true, .text_has = {"-"}},
               whole("SSN"), PiiType::Ssn, 1.0f, &ssn_post_check});
  r.push_back({16, "VERGI_NO_REGEX",
               R"re((?i)\b(?:verg[iİıI]\s*(?:k[iİıI]ml[iİıI]k)?\s*no(?:su)?|vkn)[\s:]*([0-9]{10})\b)re",
               {.digit = true, .lower_has = {"vergi", "vkn"}}, group(1, "VERGI_NO"), PiiType::Tckn, 0.98f});
  r.push_back({18, "CREDENTIALS_REGEX",
               R"re((?i)\b(?:şifre(?:m|si)?|parola(?:m|sı)?|pin(?:\s*kodu)?|kullanıcı\s+şifresi)[:\s]*([A-Za-z0-9!@#$%^&*()_+=\-]{4,32})\b)re",
               {.lower_has = {"şifre", "sifre", "parola", "pin"}}, group(1, "SIFRE"), PiiType::Sifre, 0.95f,
               &credentials_post_check});
  r.push_back({19, "SALARY_REGEX",
               R"re((?i)\b(?:maaş(?:ım|ı)?|aylık\s+gelir(?:im|i)?|ücret(?:im|i)?)[:\s]*((?:aylık\s+)?[0-9]{1,3}(?:[.,][0-9]{3})*(?:[.,][0-9]{2})?|[0-9]+)\s*(?:tl|try|lira|₺)\b)re",
               {.digit = true, .lower_has = {"maaş", "maas", "gelir", "ücret", "ucret"}}, whole("MAAS"),
               PiiType::Maas, 0.95f});
  r.push_back({20, "DRIVER_LICENSE_REGEX",
               R"re((?i)\b(?:ehl[iİıI]yet(?:\s*no(?:su)?)?|s[üuÜU]r[üuÜU]c[üuÜU]\s+belges[iİıI](?:\s*no(?:su)?)?|[şsŞS]of[öoÖO]r\s+belge(?:s[iİıI]|m)?(?:\s*no(?:su)?)?)(?:[\s:]+(?:yen[iİıI]lend[iİıI]|ver[iİıI]ld[iİıI]))?[:\s]*([A-Z]?[0-9]{6,8})\b)re",
               {.lower_has = {"ehliyet", "sürücü", "surucu", "şoför", "sofor"}}, group(1, "EHLIYET"),
               PiiType::Ehliyet, 0.95f});
  r.push_back({21, "SGK_NO_REGEX",
               R"re((?i)\b(?:sgk|ssk|bağkur)(?:\s*(?:sicil\s+no|sicil\s+numarası|no))?[:\s]*([0-9- ]{9,16})\b)re",
               {.digit = true, .lower_has = {"sgk", "ssk", "bağkur", "bagkur"}}, group(1, "SGK_NO"),
               PiiType::Tckn, 0.95f});
  r.push_back({27, "IMEI_REGEX", R"re((?i)\b(?:imei(?:\s*no(?:su)?)?[:\s]*)?([0-9]{15})\b)re",
               {.lower_has = {"imei"}, .custom_or = &longer_than_14_bytes}, group(1, "IMEI"), PiiType::Imei,
               0.95f, &imei_post_check});
  r.push_back({28, "MAC_ADDRESS_REGEX",
               R"re((?i)\b(?:mac(?:\s*adresi?)?[:\s]*)?((?:[0-9A-Fa-f]{2}[:-]){5}[0-9A-Fa-f]{2})\b)re",
               {.text_has = {":", "-"}}, group(1, "MAC_ADRES"), PiiType::IpAdres, 0.98f});
  r.push_back({29, "CRYPTO_WALLET_REGEX",
               R"re(\b(bc1[a-zA-HJ-NP-Z0-9]{25,59}|0x[a-fA-F0-9]{40}|T[A-Za-z1-9]{33})\b)re",
               {.text_has = {"bc1", "0x", "0X", "T"}, .case_sensitive = true}, whole("KRIPTO_CUZDAN"),
               PiiType::HesapNo, 0.98f});
  r.push_back({30, "RUHSAT_NO_REGEX", R"re((?i)\b(?:ruhsat(?:\s*no(?:su)?)?)[:\s]*([A-Z]{2}[- ][0-9]{6})\b)re",
               {.lower_has = {"ruhsat"}}, group(1, "RUHSAT_NO"), PiiType::Plaka, 0.95f});
  r.push_back({31, "CONTRACT_NO_REGEX",
               R"re((?i)\b(?:sözleşme(?:\s*no(?:su)?)?|sozlesme_no)[:\s]*([A-Za-z0-9]+(?:[-/][A-Za-z0-9]+)+|[0-9]{5,10})\b)re",
               {.lower_has = {"sözleşme", "sozlesme"}}, group(1, "SOZLESME_NO"), PiiType::HesapNo, 0.95f});
  r.push_back({32, "POLICY_NO_REGEX",
               R"re((?i)\b(?:poliçe(?:\s*no(?:su)?)?|police_no)[:\s]*([A-Za-z0-9]{2,6}[-/][A-Za-z0-9]{4,12}|[A-Za-z0-9]{8,14})\b)re",
               {.lower_has = {"poliçe", "police"}}, group(1, "POLICE_NO"), PiiType::HesapNo, 0.95f});
  r.push_back({33, "REFERENCE_NO_REGEX",
               R"re((?i)\b(?:referans(?:[ıiIİ])?(?:\s*olarak)?(?:\s*no(?:su)?)?)[:\s]*(REF-[0-9]{4}-[0-9]{3,5}|RF[0-9]{6,10}|[A-ZÇĞİÖŞÜ][a-zçğıöşü]+(?:\s+[A-ZÇĞİÖŞÜ][a-zçğıöşü]+)+)\b)re",
               {.lower_has = {"referans"}, .text_has = {"REF-", "RF"}}, group(1, "REFERANS"), PiiType::HesapNo,
               0.95f});
  r.push_back({34, "CHASSIS_NO_REGEX",
               R"re((?i)\b(?:şasi(?:\s*no(?:su)?)?|sasi(?:\s*no(?:su)?)?|vin)[:\s]*([A-HJ-NPR-Z0-9]{17})\b)re",
               {.lower_has = {"şasi", "sasi", "vin"}}, group(1, "SASI_NO"), PiiType::SasiNo, 0.98f});
  r.push_back({35, "MOTOR_NO_REGEX", R"re((?i)\b(?:motor(?:\s*no(?:su)?)?)[:\s]*([A-Z0-9]{8,14})\b)re",
               {.lower_has = {"motor"}}, group(1, "MOTOR_NO"), PiiType::Plaka, 0.95f});
  r.push_back({36, "PIN_REGEX",
               R"re((?i)\b(?:pin(?:(?:\s*['’]?\s*i)|\s+kodu)?|kullanıcı\s+pini?)[:\s]*([0-9]{4,8})\b)re",
               {.digit = true, .lower_has = {"pin"}}, group(1, "PIN"), PiiType::Sifre, 0.95f});
  r.push_back({37, "CREDIT_SCORE_REGEX",
               R"re((?i)\b(?:kredi\s+notu(?:m|nu)?|findeks(?:\s*notu)?)[:\s]*([0-9]{3,4})\b)re",
               {.digit = true, .lower_has = {"kredi", "findeks"}}, group(1, "KREDI_NOTU"), PiiType::HesapNo,
               0.95f});
  r.push_back({40, "DEVICE_ID_REGEX",
               R"re((?i)\b(?:c[iİıI]haz\s+id(?:s[iİıI])?|dev[iİıI]ce\s+id|c[iİıI]haz\s+(?:e[şsŞS]le[şsŞS]t[iİıI]rme\s+)?kodu)[:\s]*([A-Za-z0-9_-]{8,36})\b)re",
               {.lower_has = {"cihaz", "device"}}, group(1, "CIHAZ_ID"), PiiType::HesapNo, 0.95f});
  r.push_back({41, "SICIL_NO_REGEX", R"re((?i)\b(?:sicil(?:\s*no(?:su)?)?)[:\s]*([A-Za-z0-9]{4,10})\b)re",
               {.lower_has = {"sicil"}}, group(1, "SICIL_NO"), PiiType::Tckn, 0.95f});
  r.push_back({42, "SIGNATURE_REGEX",
               R"re((?i)\b(?:dijital\s+imza(?:\s*özeti)?\s+[A-Za-z0-9]+|imza\s*hash\s+[a-f0-9]+|e-imza(?:\s*sertifika(?:\s*seri\s*no)?)?[:\s]*[0-9]+)\b)re",
               {.lower_has = {"imza"}}, whole("IMZA"), PiiType::Sifre, 0.98f});
  r.push_back({48, "USERNAME_REGEX",
               R"re((?i)\b(?:kullan[ıiIİ]c[ıiIİ]\s+ad[ıiIİ](?:m|n[ıiIİ]z|s[ıiIİ])?|kullan[iİıI]c[iİıI]\s*ad[iİıI]|username)[:\s]*([A-Za-z0-9_.-]{4,24})\b|\b([A-Za-z0-9_.-]{4,24})'(?:[iİıI]n|[ıiIİ]n|[üuÜU]n|[uU]n)\s+oturumlar[ıiIİ]\b)re",
               {.lower_has = {"kullanıcı", "kullanici", "username", "oturum"}},
               {{1, "KULLANICI_ADI"}, {2, "KULLANICI_ADI"}}, PiiType::HesapNo, 0.95f});
  return r;
}

}  // namespace selvo

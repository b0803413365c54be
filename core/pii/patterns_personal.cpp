// Pattern rules for birth dates and other private dates, age, and the
// personal attributes and special categories of personal data (disability,
// health, criminal records, biometrics, gender, nationality, family status,
// ethnic origin, trade-union membership, workplace, birthplace, location,
// parents' names). Their numbers interleave with the identifier rules.
#include <string>

#include "pii/patterns.h"
#include "pii/scorer.h"
#include "util/utf8.h"
#include "pii/text.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace selvo {

namespace {

bool parent_label(const PatternInput&, std::string_view match, RuleHit& hit) {
  std::string lower = pii::unicode_lower(match);
  hit.label = lower.size() >= 4 && lower.starts_with("anne") ? "ANNE_ADI" : "BABA_ADI";
  return true;
}

bool has_scorer(const PatternInput& in) { return in.settings.scorer != nullptr; }

bool has_scorer_and_separator(const PatternInput& in) {
  return in.settings.scorer != nullptr && in.text.find_first_of("./-") != std::string_view::npos;
}

// The match is a private date when the scorer judges the 40 bytes on each
// side of it (bounds moved inward to character boundaries) to be about one.
bool private_date_context(const PatternInput& in, std::string_view match, RuleHit&) {
  if (!in.settings.scorer) return false;
  const std::string_view t = in.text;
  size_t start = static_cast<size_t>(match.data() - t.data());
  size_t end = start + match.size();
  size_t from = start >= 40 ? start - 40 : 0;
  size_t to = std::min(t.size(), end + 40);
  while (from < start && (static_cast<unsigned char>(t[from]) & 0xC0) == 0x80) ++from;
  while (to > end && to < t.size() && (static_cast<unsigned char>(t[to]) & 0xC0) == 0x80) --to;
  return in.settings.scorer->is_private_date_context(t.substr(from, to - from));
}

}  // namespace

std::vector<PatternRule> personal_pattern_rules() {
  std::vector<PatternRule> r;
  using Groups = std::vector<std::pair<int, std::string_view>>;
  auto whole = [](std::string_view label) { return Groups{{0, label}}; };
  auto group = [](int g, std::string_view label) { return Groups{{g, label}}; };

  r.push_back({9, "AGE_REGEX", R"re((?i)\b([1-9][0-9]?)\s*(?:yaşında|yaşındayım|yaşındaki)\b)re",
               {.digit = true, .lower_has = {"yaş", "yas"}}, group(1, "YAS"), PiiType::Yas, 0.95f});
  r.push_back({10, "AGE_RANGE_REGEX",
               R"re((?i)\b([1-9][0-9]?)\s*[-–]\s*([1-9][0-9]?)\s*(?:yaş|yaşlarında|yaş\s*arası|yaş\s*aralığı(?:nda)?)\b)re",
               {.digit = true, .lower_has = {"yaş", "yas"}}, whole("YAS_ARALIGI"), PiiType::YasAraligi, 0.95f});
  r.push_back({17, "DISABILITY_REGEX",
               R"re((?i)\b(?:engel\s*durumu|engell[iİıI]l[iİıI]k(?:\s*oran[ıiIİ])?|engell[iİıI](?:\s*raporu)?|[öoÖO]z[üuÜU]r\s*durumu)[\s:]*([a-zA-ZçğıöşüÇĞİÖŞÜ0-9%\s]+?)(?:\s+(?:olarak|sebeb[iİıI]yle|neden[iİıI]yle|var)|[,;.\n]|$))re",
               {.lower_has = {"engel", "özür", "ozur"}}, group(1, "ENGEL_DURUMU"), PiiType::Saglik, 0.98f, nullptr,
               true});

  r.push_back({22, "BIRTH_DATE_POSITIVE_REGEX",
               R"re((?ix) (?: (?:doğum\s+tarihi(?:m|miz)?[:\s]*) (?: ([0-3]?[0-9])\s+(ocak|şubat|mart|nisan|mayıs|haziran|temmuz|ağustos|eylül|ekim|kasım|aralık)\s+(19[2-9][0-9]|20[0-2][0-9]) | (0[1-9]|[12][0-9]|3[01])[./-](0[1-9]|1[0-2])[./-](19[2-9][0-9]|20[0-2][0-9]) | (19[2-9][0-9]|20[0-2][0-9])-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01]) ) ) | (?: (?: ([0-3]?[0-9])\s+(ocak|şubat|mart|nisan|mayıs|haziran|temmuz|ağustos|eylül|ekim|kasım|aralık)\s+(19[2-9][0-9]|20[0-2][0-9]) | (0[1-9]|[12][0-9]|3[01])[./-](0[1-9]|1[0-2])[./-](19[2-9][0-9]|20[0-2][0-9]) | (19[2-9][0-9]|20[0-2][0-9])-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01]) ) (?:\s*(?:'de|'da|'te|'ta|'e|'a)?\s*(?:doğumlu(?:yum)?|doğan(?:lar)?(?:a|a\s+özel)?)) ))re",
               {.digit = true, .lower_has = {"doğ", "dog"}},
               {{1, "DOGUM_TARIHI"}, {4, "DOGUM_TARIHI"}, {0, "DOGUM_TARIHI"}}, PiiType::DogumTarihi, 0.98f});
  r.push_back({23, "PRIVATE_DATE_TRIGGER_REGEX",
               R"re((?ix) \b(?: fatura\s+kesim\s+tarihi(?:m)? |son\s+ödeme\s+tarihi(?:m)? |ödeme\s+itiraz\s+tarihi(?:m)? |iptal\s+talebi\s+tarihi(?:m)? |servis\s+(?:ziyaret\s+)?tarihi(?:m)? |abonelik\s+(?:başlangıç|başlangıcı|tarihi)(?:m)? |üyelik\s+tarihi(?:m)? |randevu\s+(?:günü|tarihi)(?:m)? |kurulum\s+(?:randevum?|günü|tarihi)(?:m)? |muayene\s+randevum? |seçtiğim\s+teslim(?:at)?\s+(?:günü|tarihi)(?:m)? |teslim(?:at)?\s+(?:günü|tarihi)(?:m)? |adresime\s+teslim\s+tarihi |rezervasyon\s+tarihi(?:m)? |işlem\s+tarihi(?:m)? |mezuniyet\s+tarihi(?:m)? |sınav\s+kayıt\s+tarihi(?:m)? |kayıt\s+tarihi(?:m)? |üniversite\s+kayıt\s+tarihi(?:m)? |işe\s+giriş\s+tarihi(?:m)? |işten\s+ayrılış\s+tarihi(?:m)? |sözleşme\s+(?:başlangıç|bitiş|imza)?\s*tarihi(?:m)? |başvuru\s+tarihi(?:m)? |talep\s+tarihi(?:m)? |doğum\s+tarihi(?:m)? )\s*(?:için)?[:\s]+ ( (?:(?:pazartesi|salı|sali|çarşamba|carsamba|perşembe|persembe|cuma|cumartesi|pazar)\s+)?[0-3]?[0-9]\s+(?:ocak|şubat|mart|nisan|mayıs|haziran|temmuz|ağustos|eylül|ekim|kasım|aralık)(?:\s+(?:19[2-9][0-9]|20[0-3][0-9]))? | (?:0[1-9]|[12][0-9]|3[01])[./-](?:0[1-9]|1[0-2])[./-](?:19[2-9][0-9]|20[0-3][0-9]) | (?:19[2-9][0-9]|20[0-3][0-9])-(?:0[1-9]|1[0-2])-(?:0[1-9]|[12][0-9]|3[01]) | ayın\s+[0-3]?[0-9](?:\'?(?:i|si|sı|ü|u))? )\b)re",
               {.digit = true,
                .lower_has = {"fatura", "ödeme", "odeme", "itiraz", "iptal", "servis", "abonelik", "üyelik", "uyelik",
                              "randevu", "kurulum", "muayene", "teslim", "rezervasyon", "işlem", "islem",
                              "mezuniyet", "sınav", "sinav", "kayıt", "kayit", "üniversite", "universite", "işe",
                              "ise", "işten", "isten", "sözleşme", "sozlesme", "başvuru", "basvuru", "talep",
                              "doğum", "dogum", "tarih", "günü", "gunu"}},
               group(1, "OZEL_TARIH"), PiiType::OzelTarih, 0.98f});
  r.push_back({24, "PRIVATE_DATE_POST_TRIGGER_REGEX",
               R"re((?ix) \b( (?:(?:pazartesi|salı|sali|çarşamba|carsamba|perşembe|persembe|cuma|cumartesi|pazar)\s+)?[0-3]?[0-9]\s+(?:ocak|şubat|mart|nisan|mayıs|haziran|temmuz|ağustos|eylül|ekim|kasım|aralık)(?:\s+(?:19[2-9][0-9]|20[0-3][0-9]))? | (?:0[1-9]|[12][0-9]|3[01])[./-](?:0[1-9]|1[0-2])[./-](?:19[2-9][0-9]|20[0-3][0-9]) | (?:19[2-9][0-9]|20[0-3][0-9])-(?:0[1-9]|1[0-2])-(?:0[1-9]|[12][0-9]|3[01]) | ayın\s+[0-3]?[0-9](?:\'?(?:i|si|sı|ü|u))? )\s+olan\s+(?:[^\s,;.]+\s+){1,3}(?:tarihi(?:m)?|günü(?:m)?|randevum?)\b)re",
               {.digit = true, .lower_has = {"olan"}}, group(1, "OZEL_TARIH"), PiiType::OzelTarih, 0.98f});
  // 25, 26: dates in any context, kept when the embedding scorer judges
  // their surroundings private.
  r.push_back({25, "TURKISH_DATE_CANDIDATE_REGEX",
               R"re((?i)\b([0-3]?[0-9])\s+(ocak|şubat|mart|nisan|mayıs|haziran|temmuz|ağustos|eylül|ekim|kasım|aralık)(?:\s+(19[2-9][0-9]|20[0-3][0-9]))?\b)re",
               {.digit = true, .custom = &has_scorer}, whole("DOGUM_TARIHI"), PiiType::DogumTarihi, 0.9f,
               &private_date_context});
  r.push_back({26, "NUMERIC_DATE_CANDIDATE_REGEX",
               R"re(\b(?:(0[1-9]|[12][0-9]|3[01])[./-](0[1-9]|1[0-2])[./-](19[2-9][0-9]|20[0-3][0-9])|(19[2-9][0-9]|20[0-3][0-9])-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01]))\b)re",
               {.digit = true, .custom = &has_scorer_and_separator}, whole("DOGUM_TARIHI"), PiiType::DogumTarihi,
               0.9f, &private_date_context});
  r.push_back({38, "MOTHER_MAIDEN_REGEX",
               R"re((?i)\b(?:anne(?:min|m)?\s+kızlık\s+soyadı(?:m|nız|nın)?|anne\s+kizlik\s+soyadi)[:\s]*([A-ZÇĞİÖŞÜa-zçğıöşü]+)\b)re",
               {.lower_has = {"kızlık", "kizlik"}}, group(1, "ANNE_KIZLIK"), PiiType::Ad, 0.95f});
  r.push_back({39, "GENDER_REGEX",
               R"re((?i)\b(?:c[iİıI]ns[iİıI]yet(?:[iİıI]|m)?|c[iİıI]ns[iİıI]yet[iİıI])[\s:]*(kad[ıiIİ]n|k[ıiIİ]z|erkek|bayan|d[iİıI][şsŞS][iİıI]|bay|er)\b|\b(?:ya[şsŞS][ıiIİ]nda|ya[şsŞS][ıiIİ]ndak[iİıI])\s+(kad[ıiIİ]n|erkek|k[ıiIİ]z|bayan)\b)re",
               {.lower_has = {"cinsiyet", "kadın", "kadin", "erkek", "bayan", "dişi", "disi"}},
               {{1, "CINSIYET"}, {2, "CINSIYET"}}, PiiType::Cinsiyet, 0.95f});
  r.push_back({43, "CRIMINAL_RECORD_REGEX",
               R"re((?i)\b(?:adli\s+para\s+cezası\s+kaydı|kabahat\s+kaydı(?:\s*mevcut)?|denetimli\s+serbestlik\s+kaydı|icra\s+takibi\s+kaydı|adli\s+sicil\s+kaydı|sabıka\s+kaydı)\b)re",
               {.lower_has = {"ceza", "kabahat", "serbestlik", "icra", "sicil", "sabıka", "sabika"}},
               whole("CEZA_KAYDI"), PiiType::Saglik, 0.98f});
  r.push_back({44, "NATIONALITY_REGEX",
               R"re((?i)\b(?:uyruğu|uyruk|vatandaşlığı|vatandaşlık)[:\s]*([A-ZÇĞİÖŞÜa-zçğıöşü]+)\b)re",
               {.lower_has = {"uyruk", "uyruğu", "uyrugu", "vatandaş", "vatandas"}}, group(1, "UYRUK"),
               PiiType::Kisi, 0.95f});
  r.push_back({45, "COORDINATES_REGEX", R"re(\b([1-4][0-9]\.[0-9]{4,7})[,\s]+([2-4][0-9]\.[0-9]{4,7})\b)re",
               {.digit = true, .text_has = {"."}}, whole("KONUM"), PiiType::Adres, 0.98f});
  r.push_back({46, "HEALTH_RECORD_REGEX",
               R"re((?i)\b(?:sağlık\s+raporu(?:m)?(?:nda)?|rahatsızlığı|kronik\s+rahatsızlık|engel\s+durumu)[:\s]*([A-ZÇĞİÖŞÜa-zçğıöşü\s]{4,35})\b)re",
               {.lower_has = {"sağlık", "saglik", "rahatsızlık", "rahatsizlik", "kronik", "engel"}},
               group(1, "SAGLIK"), PiiType::Saglik, 0.95f, nullptr, true});
  r.push_back({47, "TRADE_UNION_REGEX",
               R"re((?i)\b(?:sendika(?:\s*bilgisi)?|sendikası)[:\s]*([A-ZÇĞİÖŞÜa-zçğıöşü\s-]+?(?:Sendikası|Sen|-İş)(?:\s+üyesi)?)\b|\b([A-ZÇĞİÖŞÜa-zçğıöşü\s-]+?(?:Sendikası|Sen|-İş)\s+üyesi)\b)re",
               {.lower_has = {"sendika", "sendikası", "sendikasi", "-iş", "-is", "sen ", "sen\n"}},
               whole("SENDIKA"), PiiType::Kisi, 0.98f});
  r.push_back({49, "BIOMETRIC_REGEX",
               R"re((?i)\b(?:avuç\s+içi\s+damar\s+izi|avuc\s+ici\s+damar\s+izi|parmak\s*izi|yüz\s*taraması|yuz\s*taramasi|iris\s*taraması|iris\s*taramasi|retina\s*taraması|retina\s*taramasi|biyometrik\s*(?:veri|imza|kayıt|giriş))\b)re",
               {.lower_has = {"damar", "parmak", "yüz", "yuz", "iris", "retina", "biyometrik"}},
               whole("BIYOMETRIK"), PiiType::Saglik, 0.98f});
  r.push_back({50, "BIRTHPLACE_REGEX",
               R"re((?i)\b(?:doğum\s+yer(?:i|im|iniz)?|dogum\s+yeri)[:\s]*([A-ZÇĞİÖŞÜ][a-zçğıöşü]+)\b)re",
               {.lower_has = {"doğum", "dogum"}}, group(1, "DOGUM_YERI"), PiiType::Adres, 0.95f});
  r.push_back({51, "FAMILY_STATUS_REGEX",
               R"re((?i)\b(?:a[iİıI]le\s+durumu|meden[iİıI]\s+hal[iİıI])[:\s]*([a-zçğıöşüA-ZÇĞİÖŞÜ0-9\s]+?)(?:[,;.\n]|$))re",
               {.lower_has = {"aile", "medeni"}}, group(1, "AILE"), PiiType::Kisi, 0.95f, nullptr, true});
  r.push_back({52, "ETHNIC_ORIGIN_REGEX",
               R"re((?i)\b(?:etn[iİıI]k\s+k[öoÖO]ken(?:[iİıI])?|etn[iİıI]k\s+k[öoÖO]ken)[\s:]*(?:alan[iİıI]\s*)?([A-ZÇĞİÖŞÜa-zçğıöşü]+)\b)re",
               {.lower_has = {"etnik"}}, group(1, "ETNIK_KOKEN"), PiiType::Kisi, 0.95f});
  // "Hastan(?:[iİıI]|e)s[iİıI]": the ordinary spelling "Hastanesi" is
  // matched as well as the variants with i.
  r.push_back({53, "WORKPLACE_REGEX",
               R"re((?i)\b(?:[iİıI][şsŞS]yer[iİıI]|[iİıI]syer[iİıI]|kurum|[şsŞS][iİıI]rket)[:\s]*([A-ZÇĞİÖŞÜ][A-Za-zÇĞİÖŞÜçğıöşü0-9\s.&-]+?(?:Hastan(?:[iİıI]|e)s[iİıI]|Beled[iİıI]yes[iİıI]|M[üuÜU]d[üuÜU]rl[üuÜU][ğgĞG][üuÜU]|Bakanl[ıiIİ][ğgĞG][ıiIİ]|A\.Ş\.|AŞ|Ltd\.\s*[ŞS]t[iİıI]\.|[ÜU]n[iİıI]vers[iİıI]tes[iİıI]|Hold[iİıI]ng|Anon[iİıI]m\s*[ŞS][iİıI]rket[iİıI]))\b|\b([A-ZÇĞİÖŞÜ][A-Za-zÇĞİÖŞÜçğıöşü0-9\s&-]{2,50}?(?:A\.Ş\.|AŞ|Ltd\.\s*[ŞS]t[iİıI]\.|[ŞS][iİıI]rket[iİıI]|[ÜU]n[iİıI]vers[iİıI]tes[iİıI]|Beled[iİıI]yes[iİıI]))\s+b[üuÜU]nyes[iİıI]nde\b)re",
               {.lower_has = {"işyeri", "isyeri", "kurum", "şirket", "sirket", "hastane", "hastanes", "belediye",
                              "belediyes", "müdürlük", "müdürlüğ", "mudurluk", "mudurlug", "bakanlık", "bakanlığ",
                              "bakanlik", "bakanlig", "a.ş", "aş", "ltd", "üniversite", "universite", "holding"}},
               whole("ISYERI"), PiiType::Adres, 0.95f});
  r.push_back({54, "PARENT_NAMES_REGEX",
               R"re((?i)\b(?:anne|annem(?:in)?|baba|babam(?:ın)?)\s+adı(?:m|nın|sı)?[:\s]*([A-ZÇĞİÖŞÜ][a-zçğıöşü]+)\b)re",
               {.lower_has = {"anne", "baba"}}, group(1, "ANNE_ADI"), PiiType::Ad, 0.95f, nullptr, false,
               &parent_label});
  return r;
}

}  // namespace selvo

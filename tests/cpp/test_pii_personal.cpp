#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pii/engine.h"
#include "pii/patterns.h"

namespace selvo {
namespace {

struct Found {
  std::string label;
  std::string text;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) { return os << "(" << f.label << ", '" << f.text << "')"; }

// The entities of the personal-attribute rules (numbers 9-10, 17, 22-24,
// 38-39, 43-47, 49-54) only, in rule order.
std::vector<Found> personal(std::string_view text) {
  std::vector<PiiEntity> out;
  detect_pattern_entities(text, PatternSettings{}, out);
  static const std::vector<std::string> kLabels = {
      "YAS",  "YAS_ARALIGI", "ENGEL_DURUMU", "DOGUM_TARIHI", "OZEL_TARIH", "ANNE_KIZLIK", "CINSIYET",
      "CEZA_KAYDI", "UYRUK", "KONUM", "SAGLIK", "SENDIKA", "BIYOMETRIK", "DOGUM_YERI", "AILE",
      "ETNIK_KOKEN", "ISYERI", "ANNE_ADI", "BABA_ADI"};
  std::vector<Found> found;
  for (const PiiEntity& e : out) {
    EXPECT_EQ(e.text, std::string(text.substr(e.start, e.end - e.start))) << text;
    if (std::find(kLabels.begin(), kLabels.end(), e.label) != kLabels.end()) found.push_back({e.label, e.text});
  }
  return found;
}

TEST(PiiPersonalRules, EdgeCases) {
  struct Case {
    const char* text;
    std::vector<Found> expected;
  };
  const Case cases[] = {
      {"45 yaşındayım", {{"YAS", "45"}}},
      {"25-34 yaş arası kullanıcılar", {{"YAS_ARALIGI", "25-34 yaş"}}},
      {"doğum tarihim: 12 mayıs 1990", {{"DOGUM_TARIHI", "12"}, {"OZEL_TARIH", "12 mayıs 1990"}}},
      {"doğum tarihi 12.05.1990", {{"DOGUM_TARIHI", "12"}, {"OZEL_TARIH", "12.05.1990"}}},
      {"1990-05-12 doğumluyum", {{"DOGUM_TARIHI", "1990-05-12 doğumluyum"}}},
      {"12.05.2021 tarihinde geldi", {}},
      {"randevu tarihim: salı 5 mart", {{"OZEL_TARIH", "salı 5 mart"}}},
      {"ayın 15'i olan ödeme günüm", {{"OZEL_TARIH", "ayın 15'i"}}},
      // A trimmed span moves its offsets with the text.
      {"engelli raporu: yüzde 40 olarak verildi", {{"ENGEL_DURUMU", "yüzde 40"}}},
      {"annemin adı Fatma", {{"ANNE_ADI", "Fatma"}}},
      {"babamın adı Ali", {{"BABA_ADI", "Ali"}}},
      {"Annemin adı: Fatma", {{"ANNE_ADI", "Fatma"}}},
      {"annemin kızlık soyadı Demir", {{"ANNE_KIZLIK", "Demir"}}},
      {"cinsiyet: kadın", {{"CINSIYET", "kadın"}}},
      {"35 yaşında erkek hasta", {{"YAS", "35"}, {"CINSIYET", "erkek"}}},
      {"adli sicil kaydı var", {{"CEZA_KAYDI", "adli sicil kaydı"}}},
      {"uyruğu: Alman", {{"UYRUK", "Alman"}}},
      {"konum 41.0082, 28.9784 civarı", {{"KONUM", "41.0082, 28.9784"}}},
      {"kronik rahatsızlık: astım ve alerji", {{"SAGLIK", "astım ve alerji"}}},
      {"Eğitim-İş üyesi olarak", {{"SENDIKA", "Eğitim-İş üyesi"}}},
      {"parmak izi ile giriş", {{"BIYOMETRIK", "parmak izi"}}},
      {"doğum yeri: Konya", {{"DOGUM_YERI", "Konya"}}},
      {"medeni hali: evli, iki çocuk", {{"AILE", "evli"}}},
      {"etnik kökeni Kürt", {{"ETNIK_KOKEN", "Kürt"}}},
      // The ordinary spelling of "Hastanesi".
      {"işyeri: Ankara Şehir Hastanesi", {{"ISYERI", "işyeri: Ankara Şehir Hastanesi"}}},
      {"işyeri: Ankara Şehir Hastanisi", {{"ISYERI", "işyeri: Ankara Şehir Hastanisi"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(personal(c.text), c.expected) << c.text;
}

TEST(PiiPersonalRules, InterleaveWithIdentifierRulesByNumber) {
  const auto& rules = pattern_rules();
  std::vector<int> numbers;
  for (const PatternRule& r : rules) numbers.push_back(r.number);
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
  for (int n : {9, 10, 17, 22, 23, 24, 38, 39, 43, 44, 45, 46, 47, 49, 50, 51, 52, 53, 54}) {
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), n), numbers.end()) << n;
  }
}

TEST(PiiPersonalRules, PipelineKeepsTheMoreConfidentDate) {
  TurkishPiiEngine engine;
  auto found = engine.detect("doğum tarihim: 12 mayıs 1990");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].label, "OZEL_TARIH");
  EXPECT_EQ(found[0].text, "12 mayıs 1990");
}

}  // namespace
}  // namespace selvo

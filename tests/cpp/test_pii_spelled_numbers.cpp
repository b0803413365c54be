#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pii/engine.h"
#include "pii/spelled_numbers.h"

namespace selvo {
namespace {

struct Found {
  std::string label;
  PiiType type;
  std::string text;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
  return os << "(" << f.label << ", " << as_str(f.type) << ", '" << f.text << "')";
}

std::vector<Found> spelled(std::string_view text) {
  std::vector<PiiEntity> out;
  detect_spelled_numbers(text, out);
  std::vector<Found> found;
  for (const PiiEntity& e : out) {
    EXPECT_EQ(e.text, std::string(text.substr(e.start, e.end - e.start))) << text;
    EXPECT_EQ(e.confidence, 0.98f);
    found.push_back({e.label, e.pii_type, e.text});
  }
  return found;
}

TEST(PiiSpelledNumbers, TriggersAndRuns) {
  const std::string eleven = "bir iki üç dört beş altı yedi sekiz dokuz sıfır bir";
  struct Case {
    std::string text;
    std::vector<Found> expected;
  };
  const Case cases[] = {
      {"TC kimlik no: " + eleven + " olarak yazdım", {{"TCKN", PiiType::Tckn, eleven}}},
      {"IBAN TR otuz iki sıfır sıfır altı", {{"IBAN", PiiType::Iban, "TR otuz iki sıfır sıfır altı"}}},
      {"kart güvenlik kodu yedi iki dört", {{"CVV", PiiType::Kart, "yedi iki dört"}}},
      {"PIN kodu bir dokuz sekiz dört", {{"PIN", PiiType::Sifre, "bir dokuz sekiz dört"}}},
      {"müşteri no: on iki otuz", {{"MUSTERI_NO", PiiType::HesapNo, "on iki otuz"}}},
      {"hesap no iki yüz bin", {{"HESAP_NO", PiiType::HesapNo, "iki yüz bin"}}},
      // Two words are not a run.
      {"pin iki üç", {}},
      // The trigger must end the window.
      {"kart bilgim yok ama bir iki üç", {}},
      {"TC kimlik numaramı sonra söylerim, bugün hava çok güzel ve sıcak, yani bir iki üç dört", {}},
      // No gate word at all.
      {"bir iki üç dört beş", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(spelled(c.text), c.expected) << c.text;
}

TEST(PiiSpelledNumbers, MaskedByThePipeline) {
  TurkishPiiEngine engine;
  auto found = engine.detect("Kart no: dört bir bir bir dört bir bir bir, tamam mı?");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].label, "KART");
  EXPECT_EQ(found[0].text, "dört bir bir bir dört bir bir bir");
}

}  // namespace
}  // namespace selvo

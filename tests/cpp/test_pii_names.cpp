#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pii/engine.h"
#include "pii/names.h"

namespace selvo {
namespace {

struct Found {
  std::string text;
  size_t start;
  size_t end;
  std::optional<std::string> suffix;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
  return os << "('" << f.text << "', " << f.start << "-" << f.end << ", " << f.suffix.value_or("-") << ")";
}

std::vector<Found> names(std::string_view text) {
  TurkishPiiEngine engine;
  std::vector<PiiEntity> out;
  detect_names_and_persons(engine, text, out);
  std::vector<Found> found;
  for (const PiiEntity& e : out) {
    EXPECT_EQ(e.label, "AD");
    EXPECT_EQ(e.confidence, 0.95f);
    found.push_back({e.text, e.start, e.end, e.suffix});
  }
  return found;
}

TEST(PiiNames, Rules) {
  struct Case {
    const char* text;
    std::vector<Found> expected;
  };
  const Case cases[] = {
      {"Ahmet Yılmaz geldi", {{"Ahmet Yılmaz", 0, 13, std::nullopt}}},
      {"Ahmet'in", {{"Ahmet", 0, 5, "in"}}},
      {"Dr. Ahmet Kaya", {{"Ahmet Kaya", 4, 14, std::nullopt}}},
      {"sayın müdür", {}},
      {"Deniz Hanım geldi", {{"Deniz", 0, 5, std::nullopt}}},
      {"Deniz kenarında oturduk", {}},
      {"Bugün Ankara güzeldi", {}},
      {"Tuncer Yılmaz aradı", {{"Tuncer Yılmaz", 0, 14, std::nullopt}}},
      {"Ayse Ozturk aradı", {{"Ayse Ozturk", 0, 11, std::nullopt}}},
      // Two words joined by one blank whatever separated them.
      {"Mehmet\n  Demir", {{"Mehmet Demir", 0, 14, std::nullopt}}},
      // A given name alone, and a polysemous one followed by a surname.
      {"dün Zeynep aradı", {{"Zeynep", 5, 11, std::nullopt}}},
      {"Umut Kaya burada", {{"Umut Kaya", 0, 9, std::nullopt}}},
  };
  for (const Case& c : cases) EXPECT_EQ(names(c.text), c.expected) << c.text;
}

TEST(PiiNames, GazetteersHoldTheAsciiForms) {
  EXPECT_TRUE(GIVEN_NAMES().contains("ayşe"));
  EXPECT_TRUE(GIVEN_NAMES().contains("ayse"));
  EXPECT_TRUE(SURNAMES().contains("ozturk"));
  EXPECT_TRUE(TITLE_TRIGGERS().contains("sayin"));
  EXPECT_TRUE(POLYSEMOUS_NAMES().contains("baris"));
}

TEST(PiiNames, MaskedWithTheirEnding) {
  TurkishPiiEngine engine;
  auto found = engine.detect("Ahmet'e söyle, Ayşe Demir de gelsin.");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].text, "Ahmet");
  EXPECT_EQ(found[1].text, "Ayşe Demir");
  engine.disable_type(PiiType::Ad);
  engine.disable_type(PiiType::Kisi);
  EXPECT_TRUE(engine.detect("Ahmet'e söyle").empty());
}

}  // namespace
}  // namespace selvo

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "pii/checksum.h"
#include "pii/engine.h"

namespace selvo {
namespace {

struct Found {
  std::string label;
  std::string text;
  float confidence;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
  return os << "(" << f.label << ", '" << f.text << "', " << f.confidence << ")";
}

std::vector<Found> checksum(std::string_view text) {
  TurkishPiiEngine engine;
  std::vector<PiiEntity> out;
  detect_checksum_entities(engine, text, out);
  std::vector<Found> found;
  for (const PiiEntity& e : out) {
    // Every span is the input between its offsets.
    EXPECT_EQ(e.text, std::string(text.substr(e.start, e.end - e.start))) << text;
    EXPECT_EQ(e.stem, e.text);
    EXPECT_FALSE(e.suffix.has_value());
    EXPECT_EQ(e.label, std::string(as_str(e.pii_type)));
    found.push_back({e.label, e.text, e.confidence});
  }
  return found;
}

TEST(PiiChecksum, RulesAndConfidences) {
  struct Case {
    const char* text;
    std::vector<Found> expected;
  };
  const Case cases[] = {
      // No ASCII digit: nothing, even for a VIN-shaped word.
      {"ABCDEFGHJKLMNPRST ve ١٢٣٤٥٦٧٨٩٠١", {}},
      {"Numaram 10000000146 dir", {{"TCKN", "10000000146", 1.0f}}},
      {"Numaram 10000000147 dir", {}},
      {"No: 100 000 001 46 tamam", {{"TCKN", "100 000 001 46", 0.99f}}},
      {"No: 1000-0000-146 tamam", {{"TCKN", "1000-0000-146", 0.99f}}},
      // Wrong check digits after the trigger: rule 3 alone, at 0.95.
      {"TC kimlik no: 10000000147", {{"TCKN", "10000000147", 0.95f}}},
      // Valid: both rule 1 and rule 3, at 1.0.
      {"TC kimlik no: 10000000146", {{"TCKN", "10000000146", 1.0f}, {"TCKN", "10000000146", 1.0f}}},
      // The trigger group takes the trailing blank; the value is trimmed.
      {"tc: 100-000-001-46 dedi",
       {{"TCKN", "100-000-001-46", 0.99f}, {"TCKN", "100-000-001-46", 1.0f}}},
      // The trailing word is dropped; the capital trigger still passes its
      // gate although "IBAN" is "ıban" in Turkish lowercase.
      {"IBAN: TR33 0006 1005 1978 6457 8413 26 ve", {{"IBAN", "TR33 0006 1005 1978 6457 8413 26", 1.0f},
                                                     {"IBAN", "TR33 0006 1005 1978 6457 8413 26", 1.0f}}},
      {"hesabım TR330006100519786457841326.", {{"IBAN", "TR330006100519786457841326", 1.0f}}},
      // Shortened below 15 bytes: dropped.
      {"TR12 3456 7890 ab", {}},
      // The card's optional separator keeps the blank before a word...
      {"kart 4111 1111 1111 1111 ile", {{"KART", "4111 1111 1111 1111 ", 1.0f}, {"KART", "4111 1111 1111 1111", 1.0f}}},
      // ... but not before a full stop.
      {"numara 4111 1111 1111 1111.", {{"KART", "4111 1111 1111 1111", 1.0f}}},
      {"kart no: 4111111111111112", {{"KART", "4111111111111112", 0.95f}}},
      {"kart no: 411111111111", {}},
      {"plaka 34 ABC 123", {{"PLAKA", "34 ABC 123", 0.98f}, {"PLAKA", "34 ABC 123", 0.98f}}},
      {"plaka 99 AB 123", {}},
      {"şasi 1M8GDM9AXKP042788 kayıtlı", {{"SASI_NO", "1M8GDM9AXKP042788", 1.0f}}},
      {"şasi 1m8gdm9axkp042788 kayıtlı", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(checksum(c.text), c.expected) << c.text;
}

TEST(PiiChecksum, RunsFirstInThePipeline) {
  TurkishPiiEngine engine;
  auto found = engine.detect("Kimlik 10000000146, kart 4111111111111111.");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].pii_type, PiiType::Tckn);
  EXPECT_EQ(found[1].pii_type, PiiType::Kart);
  engine.disable_type(PiiType::Tckn);
  found = engine.detect("Kimlik 10000000146.");
  EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace selvo

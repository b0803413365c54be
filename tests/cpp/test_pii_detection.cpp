#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pii/engine.h"
#include "pii/patterns.h"

namespace selvo {
namespace {

std::vector<PiiEntity> patterns(std::string_view text, bool preserve_corporate = true) {
  std::vector<PiiEntity> out;
  detect_pattern_entities(text, PatternSettings{preserve_corporate, false}, out);
  return out;
}

// (label, text) of every entity, in order.
std::vector<std::pair<std::string, std::string>> labels(const std::vector<PiiEntity>& es) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& e : es) out.emplace_back(e.label, e.text);
  return out;
}

bool has(const std::vector<PiiEntity>& es, std::string_view label, std::string_view text) {
  for (const auto& e : es) {
    if (e.label == label && e.text == text) return true;
  }
  return false;
}

const PatternRule& rule(int number) {
  for (const PatternRule& r : pattern_rules()) {
    if (r.number == number) return r;
  }
  throw std::runtime_error("no rule " + std::to_string(number));
}

// The pre-filters were written for the Turkish lowercase, which turns "PIN"
// into "pın" and "ŞIFRE" into "şıfre"; the case-insensitive patterns still
// match those spellings. Each of these must pass its gate and be found.
TEST(PiiPatternGates, NeverRejectWhatThePatternMatches) {
  struct Case {
    int rule;
    const char* text;
    const char* label;
    const char* value;
  };
  const Case cases[] = {
      {36, "PIN: 4831", "PIN", "4831"},
      {36, "Kart PIN'i 9921", "PIN", "9921"},
      {18, "PIN KODU: abcd9921", "SIFRE", "abcd9921"},
      {18, "ŞIFRE: Gizli1234", "SIFRE", "Gizli1234"},
      {13, "MÜŞTERI NO: AB1234", "MUSTERI_NO", "AB1234"},
      {13, "muşteri no: AB1234", "MUSTERI_NO", "AB1234"},
      {16, "VERGI NO: 1234567890", "VERGI_NO", "1234567890"},
      {12, "son  kullanma tarihi 05/27", "KART_SKT", "son  kullanma tarihi 05/27"},
      {12, "son\tkullanma tarihi 05/27", "KART_SKT", "son\tkullanma tarihi 05/27"},
      {8, "Ep1234567 numaralı", "PASAPORT", "Ep1234567"},
      {20, "SÜRÜCÜ BELGESI NO: 1234567", "EHLIYET", "1234567"},
      {40, "CIHAZ ID: ABCDEF123456", "CIHAZ_ID", "ABCDEF123456"},
      {41, "SICIL NO: 884512", "SICIL_NO", "884512"},
      {30, "RUHSAT NO: AB-123456", "RUHSAT_NO", "AB-123456"},
  };
  for (const auto& c : cases) {
    PatternInput in(c.text);
    EXPECT_TRUE(gate_passes(rule(c.rule), in)) << c.text;
    auto found = patterns(c.text);
    EXPECT_TRUE(has(found, c.label, c.value)) << c.text;
  }
}

TEST(PiiPatternGates, StillSkipUnrelatedText) {
  PatternInput in("Bugün hava çok güzel, yarın görüşürüz.");
  for (int n : {1, 6, 7, 12, 13, 14, 15, 16, 18, 21, 36}) EXPECT_FALSE(gate_passes(rule(n), in)) << n;
}

TEST(PiiPatternRules, EdgeCases) {
  struct Case {
    const char* text;
    std::vector<std::pair<std::string, std::string>> expected;
  };
  const Case cases[] = {
      {"Numaram 0532 123 45 67 dir", {{"TEL", "0532 123 45 67"}}},
      {"Numaram +90 532 123 45 67", {{"TEL", "+90 532 123 45 67"}}},
      {"saat 10:30 gibi", {{"PORT", "30"}}},
      {"oran :0 ve :70000", {}},
      {"vkn: 1111111111", {{"VERGI_NO", "1111111111"}}},
      {"şifre sifirlama yaptım", {}},
      {"şifrem: Kedi2024!", {{"SIFRE", "Kedi2024"}}},
      {"hesap no: 12345 678901", {{"HESAP_NO", "12345 678901"}}},
      {"müşteri no: AB1234", {{"MUSTERI_NO", "AB1234"}}},
      {"IMEI 356938030000006", {{"IMEI", "356938030000006"}}},
      {"SSN 123-45-6789 ve 666-12-3456", {{"SSN", "123-45-6789"}}},
      {"sunucu 192.168.1.20 portu", {{"IP_ADRES", "192.168.1.20"}}},
      {"cvv: 123", {{"CVV", "123"}}},
      {"maaşım 45.000 TL oldu", {{"MAAS", "maaşım 45.000 TL"}}},
      {"mac 00:1A:2B:3C:4D:5E", {{"MAC_ADRES", "00:1A:2B:3C:4D:5E"}}},
  };
  for (const auto& c : cases) {
    auto found = patterns(c.text);
    for (const auto& [label, value] : c.expected) EXPECT_TRUE(has(found, label, value)) << c.text << " " << label;
    if (c.expected.empty()) {
      EXPECT_TRUE(found.empty()) << c.text;
    }
  }
  // Every entity's text is the input between its offsets.
  std::string text = "Özel link: https://ornek.com/dosya/abc?token=xyz ve IMEI 356938030000005.";
  for (const auto& e : patterns(text)) EXPECT_EQ(text.substr(e.start, e.end - e.start), e.text) << e.label;
  // The IMEI confidence follows the check digit.
  for (const auto& e : patterns("imei: 356938030000005")) {
    if (e.label == "IMEI") {
      EXPECT_FLOAT_EQ(e.confidence, 1.0f);
    }
  }
}

TEST(PiiEmailTests, CorporateAndFileLike) {
  struct Case {
    const char* s;
    bool corporate;
    bool file_like;
  };
  const Case cases[] = {
      {"destek@firma.com.tr", true, false},  {"destek.ekibi@firma.com", false, false},
      {"Müşteri.Hizmetleri@x.com", false, false}, {"musteri-hizmetleri@x.com", true, false},
      {"İK@firma.com", false, false},  // general lower-casing: i̇k, not ik
      {"ayse.yilmaz@gmail.com", false, false}, {"config@settings.json", false, true},
      {"x@readme.md", false, true},           {"x@notlar.rs", false, false},
      {"a @b.com", false, true},              {"@b.com", false, true},
      {"info [at] firma [dot] com", true, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_corporate_email(c.s), c.corporate) << c.s;
    EXPECT_EQ(is_file_like_email(c.s), c.file_like) << c.s;
  }
  EXPECT_TRUE(patterns("Bize destek@firma.com adresinden").empty());
  auto found = patterns("Bize destek@firma.com adresinden", false);
  ASSERT_EQ(found.size(), 2u);  // rules 4 and 5; the pipeline keeps one
}

TEST(PiiPipeline, ResolveConflicts) {
  auto e = [](size_t s, size_t end, float conf, const char* label) {
    PiiEntity x;
    x.start = s;
    x.end = end;
    x.confidence = conf;
    x.label = label;
    return x;
  };
  const std::string text = "0123456789 123456789 123456789";
  // Equal spans keep the first unless a later one is more confident.
  auto r = resolve_conflicts({e(0, 5, 0.95f, "A"), e(0, 5, 0.95f, "B"), e(0, 5, 0.98f, "C"), e(0, 5, 0.98f, "D")},
                             text);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].label, "C");
  // A confident span strictly inside the kept one does not replace it (the
  // rest of the long span would be left unmasked), nor one that shares only
  // its end.
  r = resolve_conflicts({e(0, 20, 0.9f, "LONG"), e(5, 8, 0.98f, "SHORT"), e(10, 12, 0.9f, "AFTER")}, text);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].label, "LONG");
  r = resolve_conflicts({e(0, 20, 0.9f, "LONG"), e(5, 20, 0.98f, "END")}, text);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].label, "LONG");
  // One reaching beyond it is kept, and the kept one is cut back to what
  // comes before it (trailing blanks dropped), so that part stays masked.
  r = resolve_conflicts({e(0, 20, 0.9f, "LONG"), e(11, 21, 0.98f, "TAIL"), e(21, 22, 0.9f, "AFTER")}, text);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].label, "LONG");
  EXPECT_EQ(r[0].start, 0u);
  EXPECT_EQ(r[0].end, 10u);
  EXPECT_EQ(r[0].text, "0123456789");
  EXPECT_EQ(r[1].label, "TAIL");
  EXPECT_EQ(r[2].label, "AFTER");
  // If nothing but blanks comes before it, it simply replaces the kept one.
  r = resolve_conflicts({e(10, 20, 0.9f, "LONG"), e(11, 21, 0.98f, "TAIL")}, text);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].label, "TAIL");
  // At equal starts the longer span comes first and wins ties.
  r = resolve_conflicts({e(3, 5, 0.95f, "SHORT"), e(3, 9, 0.95f, "LONG"), e(0, 2, 0.5f, "FIRST")}, text);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].label, "FIRST");
  EXPECT_EQ(r[1].label, "LONG");
}

TEST(PiiPipeline, SensitiveTermsMapBackToInput) {
  TurkishPiiEngine engine;
  struct Case {
    std::string text;
    std::vector<std::pair<std::string, std::string>> expected;
  };
  const Case cases[] = {
      {"kan grubum A Rh+", {{"KAN_GRUBU", "A Rh+"}}},
      {"Diyabet ve hipertansiyon hastasıyım", {{"SAGLIK", "Diyabet"}, {"SAGLIK", "hipertansiyon"}}},
      {"Hepatit B tanısı", {{"SAGLIK", "Hepatit B"}}},
      {"İIİI DİYABET ve IŞIK", {{"SAGLIK", "DİYABET"}}},
      {"Ailem MÜSLÜMAN", {{"DIN", "MÜSLÜMAN"}}},
  };
  for (const auto& c : cases) {
    auto found = engine.detect(c.text);
    EXPECT_EQ(labels(found), c.expected) << c.text;
    for (const auto& e : found) EXPECT_EQ(c.text.substr(e.start, e.end - e.start), e.text);
  }
}

TEST(PiiPipeline, AddressesAndDisabledTypes) {
  TurkishPiiEngine engine;
  std::string text = "Adresim Caferağa Mahallesi, Moda Caddesi No: 12 Kadıköy/İstanbul, bekliyorum.";
  auto found = engine.detect(text);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].label, "ADRES");
  EXPECT_EQ(found[0].text, "Caferağa Mahallesi, Moda Caddesi No: 12 Kadıköy/İstanbul");
  EXPECT_EQ(text.substr(found[0].start, found[0].end - found[0].start), found[0].text);
  engine.disable_type(PiiType::Adres);
  EXPECT_TRUE(engine.detect(text).empty());

  TurkishPiiEngine all_off;
  for (size_t i = 0; i < kPiiTypeCount; ++i) all_off.disable_type(static_cast<PiiType>(i));
  EXPECT_TRUE(all_off.detect("0532 123 45 67, ali@ornek.com, diyabet, A Rh+").empty());
  EXPECT_TRUE(TurkishPiiEngine().detect("").empty());
}

TEST(PiiTypes, Names) {
  EXPECT_EQ(as_str(PiiType::SasiNo), "SASI_NO");
  EXPECT_EQ(as_str(PiiType::Ssn), "SSN");
  struct Case {
    const char* name;
    std::optional<PiiType> type;
  };
  const Case cases[] = {
      {"kisi", PiiType::Kisi},       {" Person\t", PiiType::Kisi}, {"kişi", std::nullopt},
      {"ip", PiiType::IpAdres},      {"e-posta", PiiType::Email},  {"paßport", PiiType::Pasaport},
      {"credit card", std::nullopt}, {"", std::nullopt},           {"ad", PiiType::Ad},
  };
  for (const auto& c : cases) EXPECT_EQ(pii_type_from_name(c.name), c.type) << c.name;
}

}  // namespace
}  // namespace selvo

namespace selvo {
namespace {

// A rule whose group is trimmed reports the trimmed range, so that masking
// replaces exactly the kept characters and the blanks around them survive.
TEST(PiiPatternRules, TrimmedSpansMoveTheirOffsets) {
  PatternRule rule{99, "TEST_REGEX", R"re((?i)\bdurum:([^,;.]*)(?:[,;.]|$))re", {}, {{1, "TEST"}},
                   PiiType::Saglik, 0.95f};
  rule.trim = true;
  Regex re(rule.pattern);
  struct Case {
    std::string text;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"durum:  yüzde 40  , sonra", {"yüzde 40"}},
      {"durum:\u00a0kronik\t.", {"kronik"}},
      {"durum:   ;", {}},
      {"durum:x", {"x"}},
  };
  for (const auto& c : cases) {
    PatternInput in(c.text);
    std::vector<PiiEntity> out;
    apply_pattern_rule(rule, re, in, out);
    std::vector<std::string> values;
    for (const auto& e : out) {
      values.push_back(e.text);
      EXPECT_EQ(c.text.substr(e.start, e.end - e.start), e.text) << c.text;
    }
    EXPECT_EQ(values, c.values) << c.text;
  }
}

}  // namespace
}  // namespace selvo

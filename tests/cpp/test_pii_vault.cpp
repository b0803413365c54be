#include <gtest/gtest.h>

#include <string>

#include "pii/engine.h"
#include "pii/vault.h"

namespace selvo {
namespace {

std::string reg(PiiVault& v, std::string_view original, std::string_view label, MaskMode mode = MaskMode::Placeholder,
                std::string_view stem = {}) {
  return v.register_value(original, label, stem.empty() ? original : stem, std::nullopt, mode);
}

TEST(PiiVault, NumberingReuseAndStems) {
  PiiVault v;
  EXPECT_EQ(reg(v, "Ahmet", "AD"), "{{AD_1}}");
  EXPECT_EQ(reg(v, "Ayşe", "AD"), "{{AD_2}}");
  EXPECT_EQ(reg(v, "0532 123 45 67", "TEL"), "{{TEL_1}}");
  EXPECT_EQ(reg(v, "Ahmet", "AD"), "{{AD_1}}");
  // A suffixed word whose stem was seen gets the stem's placeholder, and a
  // stem first seen with a suffix is found again alone.
  EXPECT_EQ(v.register_value("Ahmet'in", "AD", "Ahmet", std::string("in"), MaskMode::Placeholder), "{{AD_1}}");
  EXPECT_EQ(v.register_value("Mehmet'e", "AD", "Mehmet", std::string("e"), MaskMode::Placeholder), "{{AD_3}}");
  EXPECT_EQ(reg(v, "Mehmet", "AD"), "{{AD_3}}");
  EXPECT_EQ(v.size(), 4u);
  EXPECT_EQ(*v.label_counters().find("AD"), 3u);
}

TEST(PiiVault, ModesAndSurrogates) {
  PiiVault tag;
  EXPECT_EQ(reg(tag, "Ahmet", "AD", MaskMode::Tag), "[AD]");
  EXPECT_EQ(reg(tag, "Ayşe", "AD", MaskMode::Anonymize), "[AD]");
  EXPECT_EQ(tag.size(), 1u);
  EXPECT_EQ(tag.restore("[AD] geldi"), "Ayşe geldi");  // the later value wins the shared tag

  PiiVault s;
  std::vector<std::string> names;
  for (const char* n : {"A1", "A2", "A3", "A4", "A5", "A6"}) names.push_back(reg(s, n, "AD", MaskMode::Surrogate));
  EXPECT_EQ(names[5], names[0]);
  EXPECT_NE(names[1], names[0]);
  EXPECT_EQ(reg(s, "1.1.1990", "DOGUM_TARIHI", MaskMode::Surrogate), "11.05.1990");
  EXPECT_EQ(reg(s, "https://x/dosya/1", "OZEL_URL", MaskMode::Surrogate), "https://example.com/dosya/100001");
  EXPECT_EQ(reg(s, "50.000 TL", "MAAS", MaskMode::Surrogate), "[MAAS_1]");
  EXPECT_EQ(mask_mode_from_name("PLACEHOLDER"), MaskMode::Placeholder);
  EXPECT_EQ(mask_mode_from_name("SyntheticSurrogate"), MaskMode::Surrogate);
  EXPECT_EQ(mask_mode_from_name("synthetic_surrogate"), std::nullopt);
}

TEST(PiiVault, RestoreForms) {
  PiiVault v;
  reg(v, "Ahmet", "AD");
  for (int i = 2; i <= 10; ++i) reg(v, "Kişi" + std::to_string(i), "AD");
  v.register_value("Ankara'da", "ADRES", "Ankara", std::string("da"), MaskMode::Placeholder);
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"{{AD_1}} ve {{AD_10}}", "Ahmet ve Kişi10"},
      {"{{AD_1}}'a sor", "Ahmet'e sor"},
      {"{{AD_1}}’dan aldım", "Ahmet'ten aldım"},
      {"{{AD_1}}´ın kalemi", "Ahmet'in kalemi"},
      {"{{AD_1}}'cığım", "Ahmet'cığım"},
      {"{{AD_1}}' dedi", "Ahmet' dedi"},
      {"{{ADRES_1}}", "Ankara'da"},          // bare: the original text
      {"{{ADRES_1}}'e gittim", "Ankara'ya gittim"},  // with an ending: the stem re-formed
      {"{{ad_1}} {{AD_1 }} {AD_1}", "{{ad_1}} {{AD_1 }} {AD_1}"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(v.restore(c.in), c.out) << c.in;
  EXPECT_EQ(PiiVault().restore("{{AD_1}} aynen"), "{{AD_1}} aynen");
}

TEST(PiiVault, RestoredTextIsNotSearchedAgain) {
  // A value that itself looks like another placeholder stays as it is.
  PiiVault v = PiiVault::from_mapping({{"{{A_1}}", "{{B_1}}"}, {"{{B_1}}", "Ali"}, {"", "boş"}});
  EXPECT_EQ(v.restore("{{A_1}} ve {{B_1}}"), "{{B_1}} ve Ali");
}

TEST(PiiVault, MaskingKeepsPlaceholderLikeText) {
  TurkishPiiEngine engine;
  const std::string prompt = "Numaram 0532 123 45 67, şablonda {{TEL_1}} ve {{TEL_2}} yazıyor.";
  PiiVault vault;
  MaskResult r = engine.mask_with_vault(prompt, MaskMode::Placeholder, vault);
  EXPECT_EQ(r.masked_text, "Numaram {{TEL_3}}, şablonda {{TEL_1}} ve {{TEL_2}} yazıyor.");
  EXPECT_EQ(vault.restore(r.masked_text), prompt);

  // The next prompt of the conversation quotes a placeholder issued before.
  const std::string second = "Önceki mesajdaki {{TEL_3}} yazısı neydi? Yeni numara 0212 555 66 77.";
  MaskResult r2 = engine.mask_with_vault(second, MaskMode::Placeholder, vault);
  EXPECT_EQ(r2.masked_text.find("{{TEL_3}}"), std::string::npos);
  EXPECT_EQ(vault.restore(r2.masked_text), second);
  EXPECT_EQ(vault.restore(r.masked_text), prompt);
}

TEST(PiiVault, JsonRoundTripAndErrors) {
  TurkishPiiEngine engine;
  PiiVault v;
  (void)engine.mask_with_vault("Ali ali@ornek.com ve 0532 123 45 67, \"tırnak\"\n", MaskMode::Placeholder, v);
  v.register_value("Ayşe'nin", "AD", "Ayşe", std::string("nin"), MaskMode::Placeholder);
  Result<std::string> json = v.to_json();
  ASSERT_TRUE(json.ok());
  Result<PiiVault> back = PiiVault::from_json(json.value());
  ASSERT_TRUE(back.ok()) << back.error().message;
  EXPECT_EQ(back.value(), v);
  EXPECT_EQ(back.value().to_json().value(), json.value());
  // Counters survive: the next value continues the numbering.
  PiiVault next = back.value();
  EXPECT_EQ(next.register_value("x@y.org", "EMAIL", "x@y.org", std::nullopt, MaskMode::Placeholder), "{{EMAIL_2}}");

  const char* bad[] = {
      "",
      "{",
      "[]",
      R"({"placeholder_to_entry":{},"original_to_placeholder":{}})",
      R"({"placeholder_to_entry":[],"original_to_placeholder":{},"label_counters":{}})",
      R"({"placeholder_to_entry":{"{{A_1}}":{"placeholder":"{{A_1}}","original_text":"x","pii_label":"A"}},"original_to_placeholder":{},"label_counters":{}})",
      R"({"placeholder_to_entry":{"{{A_1}}":{"placeholder":1,"original_text":"x","pii_label":"A","original_stem":"x"}},"original_to_placeholder":{},"label_counters":{}})",
      R"({"placeholder_to_entry":{},"original_to_placeholder":{"x":2},"label_counters":{}})",
      R"({"placeholder_to_entry":{},"original_to_placeholder":{},"label_counters":{"A":-1}})",
      R"({"placeholder_to_entry":{},"original_to_placeholder":{},"label_counters":{"A":1.5}})",
      "{\"placeholder_to_entry\":{},\"original_to_placeholder\":{\"\xff\":\"x\"},\"label_counters\":{}}",
  };
  for (const char* b : bad) {
    Result<PiiVault> r = PiiVault::from_json(b);
    ASSERT_FALSE(r.ok()) << b;
    EXPECT_EQ(r.error().kind, ErrorKind::Domain);
    EXPECT_TRUE(r.error().message.starts_with("Invalid vault JSON: ")) << r.error().message;
  }
  // Optional suffix may be absent or null; unknown keys are ignored.
  Result<PiiVault> ok = PiiVault::from_json(
      R"({"x":1,"placeholder_to_entry":{"{{A_1}}":{"placeholder":"{{A_1}}","original_text":"x","pii_label":"A","original_stem":"x","extra":true}},"original_to_placeholder":{"x":"{{A_1}}"},"label_counters":{"A":18446744073709551615}})");
  ASSERT_TRUE(ok.ok());
  EXPECT_EQ(ok.value().restore("{{A_1}}"), "x");
  PiiVault top = ok.value();
  EXPECT_FALSE(top.register_value("y", "A", "y", std::nullopt, MaskMode::Placeholder).empty());
}

}  // namespace
}  // namespace selvo

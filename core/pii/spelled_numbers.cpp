#include "pii/spelled_numbers.h"

#include <string>

#include "pii/text.h"
#include "util/regex.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// The trigger groups in the order they are tested, with label and category.
struct TriggerGroup {
  const char* group;
  const char* label;
  PiiType type;
};
constexpr TriggerGroup kTriggerGroups[] = {
    {"tckn", "TCKN", PiiType::Tckn},       {"iban", "IBAN", PiiType::Iban},
    {"card", "KART", PiiType::Kart},       {"cvv", "CVV", PiiType::Kart},
    {"pin", "PIN", PiiType::Sifre},        {"customer", "MUSTERI_NO", PiiType::HesapNo},
    {"account", "HESAP_NO", PiiType::HesapNo},
};

constexpr std::string_view kGateWords[] = {"tc",     "kimlik", "iban", "kart",     "müşteri",  "musteri", "hesap",
                                           "ödeme",  "odeme",  "cvv",  "cvc",      "pin",      "güvenlik", "guvenlik"};

// The byte offset of the start of the 56th character before `pos`, or 0.
size_t window_start(std::string_view text, size_t pos) {
  size_t i = pos;
  for (int n = 0; n < 56 && i > 0; ++n) utf8::prev(text, i);
  return i;
}

}  // namespace

void detect_spelled_numbers(std::string_view text, std::vector<PiiEntity>& out) {
  const std::string lower = pii::unicode_lower(text);
  bool gate = false;
  for (std::string_view w : kGateWords) gate = gate || lower.find(w) != std::string::npos;
  if (!gate) return;

#define SELVO_NUMBER_WORD \
  R"re((?:s[ıiIİ]f[ıiIİ]r|b[iİıI]r|[iİıI]k[iİıI]|[üuÜU][çcÇC]|d[öoÖO]rt|be[şsŞS]|alt[ıiIİ]|yed[iİıI]|sek[iİıI]z|dokuz|on|y[iİıI]rm[iİıI]|otuz|k[ıiIİ]rk|ell[iİıI]|altm[ıiIİ][şsŞS]|yetm[iİıI][şsŞS]|seksen|doksan|y[üuÜU]z|b[iİıI]n))re"
  static const Regex SPELLED_NUMBER_SEQUENCE_REGEX(R"re((?ix) \b )re" SELVO_NUMBER_WORD R"re( (?:\s+)re" SELVO_NUMBER_WORD
                                                   R"re(){2,25} \b)re");
#undef SELVO_NUMBER_WORD
  static const Regex SPELLED_TRIGGER_REGEX(
      R"re((?ix) \b (?: (?P<tckn>t\.?c\.?(?:\s*k[iİıI]ml[iİıI]k(?:\s*no(?:su)?)?|\s*no)?|k[iİıI]ml[iİıI]k\s*no) | (?P<iban>[iİıI]ban\s*no|[iİıI]ban(?:[ıiIİ]m)?|[iİıI]ban) | (?P<card>kred[iİıI]\s*kart[ıiIİ]|kart\s*no(?:su)?|kart) | (?P<customer>m[üuÜU][şsŞS]ter[iİıI]\s*no(?:su)?|muster[iİıI]\s*no) | (?P<account>hesap(?:\s*no(?:su)?)?|hesap|[öoÖO]deme\s*tal[iİıI]mat[ıiIİ](?:n[ıiIİ])?) | (?P<cvv>kart\s*g[üuÜU]venl[iİıI]k\s*kod(?:um|u)?|g[üuÜU]venl[iİıI]k\s*kodu|cvv2?|cvc2?) | (?P<pin>p[iİıI]n\s*kodu|p[iİıI]n) ) \b [:\s]* (?P<tr>tr)? \s* $)re");

  SPELLED_NUMBER_SEQUENCE_REGEX.for_each_match(text, [&](const Match& run) {
    const size_t s = run.start();
    const size_t ws = window_start(text, s);
    const std::string_view window = text.substr(ws, s - ws);
    const std::string_view trimmed = window.substr(0, pii::trim_space_range(window).second);
    std::optional<Match> m = SPELLED_TRIGGER_REGEX.search(trimmed);
    if (!m) return;
    const TriggerGroup* found = nullptr;
    for (const TriggerGroup& g : kTriggerGroups) {
      if (m->has(g.group)) {
        found = &g;
        break;
      }
    }
    if (!found) return;
    // A country code before the words is masked with them.
    size_t start = s;
    std::string upper = pii::unicode_upper(window);
    if (m->has("tr") || (upper.size() > 2 && upper.ends_with("TR "))) {
      size_t at = window.rfind("TR ");
      if (at == std::string_view::npos) at = window.rfind("tr ");
      if (at != std::string_view::npos) start = ws + at;
    }
    PiiEntity e;
    e.text = std::string(text.substr(start, run.end() - start));
    e.label = found->label;
    e.pii_type = found->type;
    e.start = start;
    e.end = run.end();
    e.confidence = 0.98f;
    e.stem = e.text;
    out.push_back(std::move(e));
  });
}

}  // namespace selvo

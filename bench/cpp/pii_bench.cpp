// Time of each pattern rule and of the pipeline steps over one text file
// (default: a built-in mixed prompt repeated to 1 MB). Prints figures only.
//
//   pii_bench [FILE]
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pii/engine.h"
#include "pii/patterns.h"
#include "util/regex.h"

using namespace selvo;

namespace {

template <class F>
double best_ms(F&& f, int rounds = 3) {
  double best = 1e300;
  for (int i = 0; i < rounds; ++i) {
    auto t = std::chrono::steady_clock::now();
    f();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
    if (ms < best) best = ms;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string text;
  if (argc > 1) {
    std::ifstream f(argv[1], std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    text = ss.str();
  } else {
    const std::string prompt =
        "Merhaba, ben müşteriyim. Müşteri no: AB12345, telefonum 0532 123 45 67, e-posta ali.kaya@ornek.com. "
        "Adresim Caferağa Mahallesi, Moda Caddesi No: 12 Kadıköy/İstanbul. Diyabet hastasıyım, kan grubum A Rh+. ";
    while (text.size() < (1u << 20)) text += prompt;
  }
  const double mb = static_cast<double>(text.size()) / 1e6;
  TurkishPiiEngine engine;
  size_t n = 0;
  double total = best_ms([&] { n = engine.detect(text).size(); });
  std::printf("detect: %.1f ms for %.2f MB = %.2f MB/s, %zu entities\n", total, mb, mb / total * 1e3, n);

  double prep = best_ms([&] { PatternInput in(text); });
  std::printf("  pattern input (lowercase, skeleton, digit scan): %.1f ms\n", prep);
  PatternInput in(text);
  for (const PatternRule& rule : pattern_rules()) {
    Regex re(rule.pattern);
    size_t matches = 0;
    bool gate = gate_passes(rule, in);
    double ms = gate ? best_ms([&] { matches = re.count_matches(text); }, 1) : 0.0;
    std::printf("  rule %2d %-28s gate %-5s %8.2f ms %7zu matches\n", rule.number, rule.name, gate ? "pass" : "skip",
                ms, matches);
  }
  std::vector<PiiEntity> out;
  std::printf("  addresses: %.1f ms\n", best_ms([&] { out.clear(); detect_addresses(text, out); }));
  std::printf("  sensitive terms: %.1f ms\n",
              best_ms([&] { out.clear(); engine.detect_sensitive_categories(text, out); }));
  return 0;
}

// Measures the root lexicon: its shape, its coverage of the lemmas of real
// text, and the time and memory it takes to build.
//
//   lexicon_bench [UD_DIR]     (default /work/shared/data/ud-turkish)
//
// Coverage uses the development splits of the UD Turkish treebanks except
// IMST and imst2. A lemma (Turkish-lowercased) counts as covered when it is a
// root or a lemma of the lexicon; the treebanks give verbs as bare stems, so
// they are also reported against the roots of Verb items alone. Punctuation,
// symbols and lemmas without a letter are left out.
#include <malloc.h>
#include <sys/resource.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "morphology/root_lexicon.h"
#include "phonology/alphabet.h"
#include "util/resource.h"
#include "util/utf8.h"

using namespace selvo;
using Clock = std::chrono::steady_clock;

namespace {

long peak_rss_kib() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

size_t heap_in_use() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

double ms_since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

bool has_letter(std::string_view s) {
  bool any = false;
  utf8::for_each(s, [&](char32_t c, size_t, size_t) { any = any || u_isalpha(static_cast<UChar32>(c)); });
  return any;
}

struct Coverage {
  std::unordered_map<std::string, size_t> types;  // lemma -> tokens
  std::unordered_map<std::string, size_t> verb_types;
};

void read_conllu(const std::filesystem::path& path, Coverage& cov) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string_view> cols;
    std::string_view rest(line);
    for (int i = 0; i < 4; ++i) {
      size_t tab = rest.find('\t');
      cols.push_back(rest.substr(0, tab));
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
    if (cols.size() < 4) continue;
    if (cols[0].find_first_of("-.") != std::string_view::npos) continue;  // ranges, empty nodes
    std::string_view lemma = cols[2], upos = cols[3];
    if (upos == "PUNCT" || upos == "SYM" || lemma == "_" || !has_letter(lemma)) continue;
    std::string lower = to_turkish_lower(lemma);
    ++cov.types[lower];
    if (upos == "VERB") ++cov.verb_types[lower];
  }
}

template <class Pred>
void report(const char* what, const std::unordered_map<std::string, size_t>& types, Pred covered) {
  size_t t_all = 0, t_hit = 0, n_all = 0, n_hit = 0;
  for (const auto& [lemma, n] : types) {
    bool hit = covered(lemma);
    ++t_all;
    n_all += n;
    if (hit) {
      ++t_hit;
      n_hit += n;
    }
  }
  std::printf("  %-38s types %6zu/%6zu = %5.1f%%   tokens %7zu/%7zu = %5.1f%%\n", what, t_hit, t_all,
              t_all ? 100.0 * t_hit / t_all : 0.0, n_hit, n_all, n_all ? 100.0 * n_hit / n_all : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path ud_dir = argc > 1 ? argv[1] : "/work/shared/data/ud-turkish";

  // ---- build time and memory of the shared lexicon (first thing, cold)
  const long rss0 = peak_rss_kib();
  const size_t heap0 = heap_in_use();
  auto t0 = Clock::now();
  const RootLexicon& lex = RootLexicon::shared();
  const double first_ms = ms_since(t0);
  const long rss1 = peak_rss_kib();
  const size_t heap1 = heap_in_use();

  std::vector<double> fresh;
  for (int i = 0; i < 10; ++i) {
    auto t = Clock::now();
    RootLexicon l;
    fresh.push_back(ms_since(t));
  }
  std::sort(fresh.begin(), fresh.end());
  std::vector<double> copies;
  for (int i = 0; i < 10; ++i) {
    auto t = Clock::now();
    RootLexicon c = lex;
    copies.push_back(ms_since(t));
  }
  std::sort(copies.begin(), copies.end());

  // ---- shape
  std::string_view text = resources::root_lexicon();
  size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  std::printf("embedded root lexicon: %zu bytes, %zu lines; syntactic lexicon: %zu bytes\n", text.size(),
              lines, resources::syntactic_lexicon().size());
  std::printf("fresh lexicon: %zu items under %zu roots (%zu built-in + %zu text lines; %zu lines not added again)\n",
              lex.item_count(), lex.root_count(), RootLexicon::builtin_items().size(), lines,
              RootLexicon::builtin_items().size() + lines - lex.item_count());

  std::map<int, size_t> primary, secondary;
  std::map<uint32_t, size_t> attrs;
  for (const DictionaryItem& item : lex.items()) {
    ++primary[static_cast<int>(item.primary_pos)];
    ++secondary[static_cast<int>(item.secondary_pos)];
    for (RootAttribute a : kRootAttributes) {
      if (item.has(a)) ++attrs[static_cast<uint32_t>(a)];
    }
  }
  auto by_count = [](const auto& m) {
    std::vector<std::pair<size_t, int>> v;
    for (auto [k, n] : m) v.emplace_back(n, static_cast<int>(k));
    std::sort(v.rbegin(), v.rend());
    return v;
  };
  std::printf("items per primary:");
  for (auto [n, k] : by_count(primary)) std::printf(" %s %zu,", std::string(name(static_cast<PrimaryPos>(k))).c_str(), n);
  std::printf("\nitems per secondary:");
  for (auto [n, k] : by_count(secondary)) std::printf(" %s %zu,", std::string(name(static_cast<SecondaryPos>(k))).c_str(), n);
  std::printf("\nitems per attribute:");
  for (auto [n, k] : by_count(attrs)) std::printf(" %s %zu,", std::string(name(static_cast<RootAttribute>(k))).c_str(), n);
  std::printf("\n");

  // ---- coverage
  Coverage all;
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(ud_dir)) {
    std::string f = e.path().filename().string();
    if (f.ends_with("-dev.conllu") && f.find("imst") == std::string::npos) files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  RootLexicon builtins = RootLexicon::builtin_only();
  auto known_in = [](const RootLexicon& l) {
    return [&l](const std::string& s) { return l.contains_root(s) || !l.lookup_lemma(s).empty(); };
  };
  auto verb_in = [](const RootLexicon& l) {
    return [&l](const std::string& s) {
      for (const DictionaryItem& item : l.lookup(s)) {
        if (item.primary_pos == PrimaryPos::Verb) return true;
      }
      return false;
    };
  };
  std::printf("coverage of UD dev lemmas (Turkish-lowercased; PUNCT, SYM, letterless left out):\n");
  for (const std::string& f : files) {
    Coverage one;
    read_conllu(f, one);
    read_conllu(f, all);
    std::string label = std::filesystem::path(f).filename().string();
    report(label.c_str(), one.types, known_in(lex));
  }
  report("all (root or lemma)", all.types, known_in(lex));
  report("all VERB lemmas as Verb roots", all.verb_types, verb_in(lex));
  report("all, built-in roots alone", all.types, known_in(builtins));

  // ---- lookup cost (the analyser probes a handful of stems per split)
  std::vector<std::string> probes;
  for (const auto& [lemma, n] : all.types) probes.push_back(lemma);
  for (const auto& [lemma, n] : all.types) probes.push_back(lemma + "x");  // misses
  std::mt19937 rng(7);
  std::shuffle(probes.begin(), probes.end(), rng);
  size_t found = 0;
  auto tl = Clock::now();
  const int rounds = 20;
  for (int r = 0; r < rounds; ++r) {
    for (const std::string& p : probes) found += lex.lookup(p).size();
  }
  double ns = ms_since(tl) * 1e6 / (static_cast<double>(probes.size()) * rounds);

  std::printf("build of the shared lexicon (first use): %.1f ms; peak RSS %+.1f MiB (%.1f -> %.1f MiB); "
              "heap in use %+.1f MiB\n",
              first_ms, (rss1 - rss0) / 1024.0, rss0 / 1024.0, rss1 / 1024.0,
              (static_cast<double>(heap1) - static_cast<double>(heap0)) / (1024.0 * 1024.0));
  std::printf("fresh builds: median %.1f ms, min %.1f ms (10 runs); copies: median %.1f ms\n", fresh[5], fresh[0],
              copies[5]);
  std::printf("lookup by root: %.0f ns per probe (half hits, half misses; %zu items found)\n", ns, found);
  std::printf("peak RSS of the whole run: %.1f MiB\n", peak_rss_kib() / 1024.0);
  return 0;
}

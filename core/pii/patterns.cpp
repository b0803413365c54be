#include "pii/patterns.h"

// GCC 12 reports a false -Wrestrict on string concatenations (bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"

#include <unicode/uchar.h>

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "normalization/asciifier.h"
#include "phonology/alphabet.h"
#include "pii/text.h"
#include "util/error.h"
#include "util/utf8.h"

namespace selvo {

namespace {

char32_t skeleton_char(char32_t c) {
  c = static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
  switch (c) {
    case U'ç': return U'c';
    case U'ğ': return U'g';
    case U'ı': case U'İ': return U'i';
    case U'ö': return U'o';
    case U'ş': return U's';
    case U'ü': return U'u';
    case U'â': return U'a';
    case U'î': return U'i';
    case U'û': return U'u';
    default: return c;
  }
}

// A rule with its compiled pattern and the skeletons of its needles.
struct CompiledRule {
  const PatternRule* rule;
  Regex re;
  std::vector<std::string> lower_skeletons;
  std::vector<std::string> text_skeletons;
};

const std::vector<CompiledRule>& compiled_rules() {
  static const std::vector<CompiledRule> compiled = [] {
    std::vector<CompiledRule> out;
    for (const PatternRule& rule : pattern_rules()) {
      CompiledRule c{&rule, Regex(rule.pattern), {}, {}};
      for (std::string_view n : rule.gate.lower_has) c.lower_skeletons.push_back(gate_skeleton(n));
      if (!rule.gate.case_sensitive) {
        for (std::string_view n : rule.gate.text_has) c.text_skeletons.push_back(gate_skeleton(n));
      }
      out.push_back(std::move(c));
    }
    return out;
  }();
  return compiled;
}

bool contains(std::string_view hay, std::string_view needle) { return hay.find(needle) != std::string_view::npos; }

bool compiled_gate_passes(const CompiledRule& c, const PatternInput& in) {
  const PatternGate& g = c.rule->gate;
  if (g.digit && !in.has_any_digit) return false;
  if (g.custom && !g.custom(in)) return false;
  if (g.lower_has.empty() && g.text_has.empty() && !g.custom_or) return true;
  for (std::string_view n : g.lower_has) {
    if (contains(in.lower, n)) return true;
  }
  for (std::string_view n : g.text_has) {
    if (contains(in.text, n)) return true;
  }
  for (const std::string& n : c.lower_skeletons) {
    if (contains(in.skeleton, n)) return true;
  }
  for (const std::string& n : c.text_skeletons) {
    if (contains(in.skeleton, n)) return true;
  }
  return g.custom_or && g.custom_or(in);
}

void run_rule(const CompiledRule& c, const PatternInput& in, std::vector<PiiEntity>& out) {
  apply_pattern_rule(*c.rule, c.re, in, out);
}

}  // namespace

std::string gate_skeleton(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  bool in_space = false;
  for (size_t i = 0; i < s.size();) {
    char32_t c = utf8::next(s, i);
    if (utf8::is_space(c)) {  // what \s matches in the patterns
      if (!in_space) out.push_back(' ');
      in_space = true;
      continue;
    }
    in_space = false;
    utf8::append(out, skeleton_char(c));
  }
  return out;
}

PatternInput::PatternInput(std::string_view t) : text(t), lower(to_turkish_lower(t)), skeleton(gate_skeleton(t)) {
  for (size_t i = 0; i < t.size();) {
    unsigned char b = static_cast<unsigned char>(t[i]);
    if (b >= '0' && b <= '9') {
      has_digit = true;
      has_any_digit = true;
      break;
    }
    if (b < 0x80) {
      ++i;
      continue;
    }
    char32_t c = utf8::next(t, i);
    if (u_isdigit(static_cast<UChar32>(c))) has_any_digit = true;
  }
}

void apply_pattern_rule(const PatternRule& rule, const Regex& re, const PatternInput& in,
                        std::vector<PiiEntity>& out) {
  re.for_each_match(in.text, [&](const Match& m) {
    for (const auto& [g, label] : rule.groups) {
      std::optional<Span> span = m.group_span(static_cast<size_t>(g));
      if (!span) continue;
      if (rule.trim) {
        auto [a, b] = pii::trim_space_range(span->of(in.text));
        if (a == b) return;
        span = Span{span->start + a, span->start + b};
      }
      std::string_view value = span->of(in.text);
      RuleHit hit{label, rule.confidence};
      if (rule.post_check && !rule.post_check(in, value, hit)) return;
      if (rule.match_check && !rule.match_check(in, m.str(), hit)) return;
      PiiEntity e;
      e.text = std::string(value);
      e.label = std::string(hit.label);
      e.pii_type = rule.type;
      e.start = span->start;
      e.end = span->end;
      e.confidence = hit.confidence;
      e.stem = e.text;
      out.push_back(std::move(e));
      return;
    }
  });
}

const std::vector<PatternRule>& pattern_rules() {
  static const std::vector<PatternRule> rules = [] {
    std::vector<PatternRule> all = identifier_pattern_rules();
    for (PatternRule& r : personal_pattern_rules()) all.push_back(std::move(r));
    std::stable_sort(all.begin(), all.end(),
                     [](const PatternRule& a, const PatternRule& b) { return a.number < b.number; });
    for (size_t i = 1; i < all.size(); ++i) {
      SELVO_ASSERT(all[i - 1].number != all[i].number, "two pattern rules share a number");
    }
    return all;
  }();
  return rules;
}

bool gate_passes(const PatternRule& rule, const PatternInput& in) {
  for (const CompiledRule& c : compiled_rules()) {
    if (c.rule == &rule) return compiled_gate_passes(c, in);
  }
  SELVO_ASSERT(false, "gate_passes: not a rule of the table");
  return false;
}

void detect_pattern_entities(const PatternInput& in, std::vector<PiiEntity>& out) {
  for (const CompiledRule& c : compiled_rules()) {
    if (compiled_gate_passes(c, in)) run_rule(c, in, out);
  }
}

void detect_pattern_entities(std::string_view text, const PatternSettings& settings, std::vector<PiiEntity>& out) {
  PatternInput in(text);
  in.settings = settings;
  detect_pattern_entities(in, out);
}

// ---------------------------------------------------------------------------
// E-mail tests

namespace {

const std::unordered_set<std::string>& corporate_email_prefixes() {
  static const std::unordered_set<std::string> set = [] {
    const char* words[] = {"info",      "destek",     "iletisim",  "yardim",    "help",       "support",
                           "musteri.hizmetleri",      "musterihizmetleri",    "satis",      "sales",
                           "contact",   "admin",      "administrator",        "webmaster",  "postmaster",
                           "ik",        "hr",         "kariyer",   "career",    "muhasebe",   "finans",
                           "hukuk",     "legal",      "kvkk",      "privacy",   "guvenlik",   "security",
                           "basin",     "press",      "media",     "pazarlama", "marketing",  "bilgi",
                           "operasyon", "lojistik",   "siparis",   "reklam"};
    std::unordered_set<std::string> s;
    for (const char* w : words) {
      s.insert(w);
      std::string a = TurkishAsciifier::asciify(w);
      if (a != w) s.insert(std::move(a));
    }
    return s;
  }();
  return set;
}

std::string without_space(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t start = i;
    char32_t c = utf8::next(s, i);
    if (!utf8::is_space(c)) out.append(s.substr(start, i - start));
  }
  return out;
}

void replace_all(std::string& s, std::string_view from, std::string_view to) {
  for (size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size()) {
    s.replace(pos, from.size(), to);
  }
}

}  // namespace

bool is_corporate_email(std::string_view s) {
  std::string lower = pii::unicode_lower(s);
  size_t at = lower.find('@');
  if (at == std::string::npos) at = lower.find("[at]");
  if (at == std::string::npos) at = lower.find("(at)");
  if (at == std::string::npos) return false;
  std::string local = without_space(std::string_view(lower).substr(0, at));
  const auto& prefixes = corporate_email_prefixes();
  if (prefixes.contains(local)) return true;
  std::string bare;
  for (char c : local) {
    if (c != '-' && c != '.' && c != '_') bare.push_back(c);
  }
  return prefixes.contains(bare);
}

bool is_file_like_email(std::string_view s) {
  std::string lower = pii::unicode_lower(s);
  if (contains(lower, " @") || contains(lower, "@ ") || lower.starts_with("@")) return true;
  size_t cut = std::string::npos;
  size_t width = 0;
  if (size_t p = lower.rfind('@'); p != std::string::npos) {
    cut = p;
    width = 1;
  } else if (size_t q = lower.rfind("[at]"); q != std::string::npos) {
    cut = q;
    width = 4;
  } else if (size_t r = lower.rfind("(at)"); r != std::string::npos) {
    cut = r;
    width = 4;
  }
  if (cut == std::string::npos) return false;
  std::string domain = lower.substr(cut + width);
  replace_all(domain, "[dot]", ".");
  replace_all(domain, "(dot)", ".");
  domain = without_space(domain);
  std::vector<std::string_view> labels;
  std::string_view d = domain;
  for (size_t start = 0;;) {
    size_t dot = d.find('.', start);
    labels.push_back(d.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (labels.size() < 2) return false;
  static const std::unordered_set<std::string_view> kExtensions = {
      "ext",  "txt",  "toml", "json", "yaml", "yml",  "xml",  "html",    "htm",  "css",   "scss", "sass",
      "less", "js",   "jsx",  "ts",   "tsx",  "mjs",  "cjs",  "py",      "pyc",  "pyd",   "rb",   "php",
      "c",    "cpp",  "h",    "hpp",  "cc",   "cxx",  "cs",   "go",      "java", "kt",    "swift", "bash",
      "zsh",  "bat",  "cmd",  "ps1",  "sql",  "graphql", "csv", "tsv",   "parquet", "png", "jpg", "jpeg",
      "gif",  "svg",  "webp", "ico",  "zip",  "tar",  "gz",   "tgz",     "7z",   "rar",   "pdf",  "doc",
      "docx", "xls",  "xlsx", "ppt",  "pptx", "lock", "wasm", "log",     "env",  "bak",   "tmp",  "temp",
      "cfg",  "ini",  "conf", "bin",  "exe",  "dll",  "dylib", "patch",  "diff", "rst",   "adoc"};
  static const std::unordered_set<std::string_view> kStems = {
      "readme", "handoff", "changelog", "license", "contributing", "dockerfile", "makefile",
      "cargo",  "package", "tsconfig",  "file",    "index",        "main",       "lib",
      "mod",    "build",   "deploy",    "setup",   "install",      "test",       "tests",
      "doc",    "docs",    "notes",     "todo",    "guide",        "summary",    "spec",
      "architecture", "arch", "walkthrough", "plan", "rfc"};
  std::string_view last = labels.back();
  if (kExtensions.contains(last)) return true;
  if (last == "md" || last == "rs" || last == "sh") return kStems.contains(labels[labels.size() - 2]);
  return false;
}

}  // namespace selvo

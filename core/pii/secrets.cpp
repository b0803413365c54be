#include "pii/secrets.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>

#include "pii/text.h"
#include "util/regex.h"
#include "util/utf8.h"

namespace selvo {

namespace {

void append(std::vector<PiiEntity>& out, std::string_view text, Span span, float confidence) {
  PiiEntity e;
  e.text = std::string(span.of(text));
  e.label = "SIFRE";
  e.pii_type = PiiType::Sifre;
  e.start = span.start;
  e.end = span.end;
  e.confidence = confidence;
  e.stem = e.text;
  out.push_back(std::move(e));
}

bool contains(std::string_view hay, std::string_view needle) { return hay.find(needle) != std::string_view::npos; }

template <size_t N>
bool contains_any(std::string_view hay, const std::string_view (&needles)[N]) {
  return std::any_of(std::begin(needles), std::end(needles), [&](std::string_view n) { return contains(hay, n); });
}

// `span` without the characters of `set` at both ends.
Span strip_chars(std::string_view text, Span span, std::string_view set) {
  while (span.start < span.end && set.find(text[span.start]) != std::string_view::npos) ++span.start;
  while (span.end > span.start && set.find(text[span.end - 1]) != std::string_view::npos) --span.end;
  return span;
}

Span trim_space(std::string_view text, Span span) {
  auto [a, b] = pii::trim_space_range(span.of(text));
  return Span{span.start + a, span.start + b};
}

// A vendor token rule: the token is group 1 of its pattern.
struct TokenRule {
  const char* name;
  const char* pattern;
  std::vector<std::string_view> prefilter;  // any of these, case-sensitive, in the text
  float confidence;
  bool (*skip)(std::string_view token) = nullptr;
};

void run_token_rule(const TokenRule& rule, const Regex& re, std::string_view text, std::vector<PiiEntity>& out) {
  bool gate = std::any_of(rule.prefilter.begin(), rule.prefilter.end(),
                          [&](std::string_view n) { return contains(text, n); });
  if (!gate) return;
  re.for_each_match(text, [&](const Match& m) {
    std::optional<Span> span = m.group_span(1);
    if (!span || span->empty()) return;
    if (rule.skip && rule.skip(span->of(text))) return;
    append(out, text, *span, rule.confidence);
  });
}

bool starts_with_anthropic_prefix(std::string_view token) { return token.starts_with("sk-ant-"); }

// The vendor rules, in three runs between which the fixed rules (JWT,
// bearer, key blocks, URLs) take their turns.
//
// Prefixes and markers as the services document them:
//   Anthropic "sk-ant-"; OpenAI "sk-" with the project and service-account
//   infixes "proj-" and "svcacct-"; GitHub "ghp_", "gho_", "ghu_", "ghs_"
//   and the refresh tokens "ghr_"; AWS access key ids "AKIA" (long-term) and
//   "ASIA" (temporary); Slack "xoxb-", "xoxa-", "xoxp-", "xoxr-", "xoxs-";
//   Google API keys "AIza"; GitLab personal access tokens "glpat-"; GitHub
//   fine-grained tokens "github_pat_"; Hugging Face "hf_"; Groq "gsk_"; npm
//   "npm_"; Stripe "sk_", "pk_", "rk_" with "live_" or "test_"; SendGrid
//   "SG."; DigitalOcean personal access tokens "dop_v1_"; Shopify "shpat_",
//   "shpca_", "shppa_", "shpss_"; Square "sq0atp-" and "sq0csp-"; Telegram
//   bot tokens "<bot id>:AA...".
const std::vector<TokenRule>& early_token_rules() {
  static const std::vector<TokenRule> rules = {
      {"ANTHROPIC_KEY_REGEX", R"re(\b(sk-ant-[A-Za-z0-9_-]{20,128})\b)re", {"sk-ant"}, 1.0f},
      {"OPENAI_KEY_REGEX", R"re(\b(sk-(?:proj-|svcacct-)?[A-Za-z0-9_-]{32,128})\b)re", {"sk-"}, 0.99f,
       &starts_with_anthropic_prefix},
      {"GITHUB_TOKEN_REGEX", R"re(\b(gh[pousr]_[A-Za-z0-9]{36,40})\b)re", {"gh"}, 0.99f},
      {"AWS_KEY_REGEX", R"re(\b((?:AKIA|ASIA)[0-9A-Z]{16})\b)re", {"AKIA", "ASIA"}, 0.99f},
      {"SLACK_TOKEN_REGEX", R"re(\b(xox[abprs]-[A-Za-z0-9-]{10,72})\b)re", {"xox"}, 0.99f},
      {"GOOGLE_API_KEY_REGEX", R"re(\b(AIza[A-Za-z0-9_-]{35})\b)re", {"AIza"}, 0.99f},
  };
  return rules;
}

const std::vector<TokenRule>& middle_token_rules() {
  static const std::vector<TokenRule> rules = {
      {"GITLAB_TOKEN_REGEX", R"re(\b(glpat-[A-Za-z0-9_-]{20,40})\b)re", {"glpat-"}, 1.0f},
      {"GITHUB_FINE_GRAINED_PAT_REGEX", R"re(\b(github_pat_[A-Za-z0-9_]{60,100})\b)re", {"github_pat_"}, 1.0f},
      {"HUGGINGFACE_TOKEN_REGEX", R"re(\b(hf_[A-Za-z0-9]{30,50})\b)re", {"hf_"}, 1.0f},
      {"GROQ_KEY_REGEX", R"re(\b(gsk_[A-Za-z0-9]{40,70})\b)re", {"gsk_"}, 1.0f},
      {"NPM_TOKEN_REGEX", R"re(\b(npm_[A-Za-z0-9]{32,45})\b)re", {"npm_"}, 1.0f},
      {"STRIPE_KEY_REGEX", R"re(\b((?:sk|pk|rk)_(?:live|test)_[A-Za-z0-9]{24,99})\b)re",
       {"sk_live_", "sk_test_", "pk_live_", "pk_test_", "rk_live_", "rk_test_"}, 1.0f},
      {"SENDGRID_KEY_REGEX", R"re(\b(SG\.[A-Za-z0-9_-]{16,32}\.[A-Za-z0-9_-]{32,64})\b)re", {"SG."}, 1.0f},
  };
  return rules;
}

const std::vector<TokenRule>& late_token_rules() {
  static const std::vector<TokenRule> rules = {
      {"DIGITALOCEAN_TOKEN_REGEX", R"re(\b(dop_v1_[a-f0-9]{64})\b)re", {"dop_v1_"}, 1.0f},
      {"SHOPIFY_TOKEN_REGEX", R"re(\b((?:shpat|shpca|shppa|shpss)_[a-f0-9]{32,})\b)re",
       {"shpat_", "shpca_", "shppa_", "shpss_"}, 1.0f},
      {"SQUARE_TOKEN_REGEX", R"re(\b((?:sq0atp|sq0csp)-[A-Za-z0-9_-]{22,})\b)re", {"sq0atp-", "sq0csp-"}, 1.0f},
      {"TELEGRAM_BOT_TOKEN_REGEX", R"re(\b([0-9]{8,10}:AA[A-Za-z0-9_-]{33})\b)re", {":AA"}, 1.0f},
  };
  return rules;
}

std::vector<Regex> compile(const std::vector<TokenRule>& rules) {
  std::vector<Regex> out;
  for (const TokenRule& r : rules) out.emplace_back(r.pattern);
  return out;
}

void run_token_rules(const std::vector<TokenRule>& rules, const std::vector<Regex>& compiled,
                     std::string_view text, std::vector<PiiEntity>& out) {
  for (size_t i = 0; i < rules.size(); ++i) run_token_rule(rules[i], compiled[i], text, out);
}

constexpr std::string_view kUrlTail = "\"')],.:;>]}";


// Private-key blocks: from a begin line to the nearest end line of the same
// key type. The end is looked up with a plain search, and a type whose end
// line does not occur after a begin line is not searched for again, so that
// a text of many unterminated begin lines stays linear.
void detect_private_key_blocks(std::string_view text, std::vector<PiiEntity>& out) {
  static const Regex PRIVATE_KEY_BLOCK_REGEX(R"re(-----BEGIN ((?:RSA |EC |OPENSSH |DSA )?)PRIVATE KEY-----)re");
  bool unterminated[5] = {false, false, false, false, false};
  auto type_index = [](std::string_view kind) -> size_t {
    if (kind.empty()) return 0;
    if (kind == "RSA ") return 1;
    if (kind == "EC ") return 2;
    if (kind == "OPENSSH ") return 3;
    return 4;
  };
  size_t pos = 0;
  Match m;
  while (pos <= text.size() && PRIVATE_KEY_BLOCK_REGEX.search(text, pos, m) == MatchStatus::Matched) {
    std::string_view kind = m.group(1);
    size_t t = type_index(kind);
    if (unterminated[t]) {
      pos = m.end();
      continue;
    }
    std::string end_line = "-----END " + std::string(kind) + "PRIVATE KEY-----";
    size_t end = text.find(end_line, m.end());
    if (end == std::string_view::npos) {
      unterminated[t] = true;
      pos = m.end();
      continue;
    }
    Span span{m.start(), end + end_line.size()};
    append(out, text, span, 1.0f);
    pos = span.end;
  }
}

// A placeholder of the vault ("{{EMAIL_1}}", "{{AD_2}}'yi"): the library's
// own marker, which a prompt may quote and which is never a key.
bool is_placeholder_like(std::string_view v) {
  if (!v.starts_with("{{")) return false;
  size_t close = v.find("}}", 2);
  if (close == std::string_view::npos || close == 2) return false;
  for (char c : v.substr(2, close - 2)) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

// Letters and apostrophes only: a word with its case ending
// ("Pittsburgh'tan", "Havayolları'nda"), whose capital and apostrophe
// would otherwise count as three character classes.
bool is_word_with_ending(std::string_view v) {
  bool apostrophe = false;
  for (size_t i = 0; i < v.size();) {
    char32_t c = utf8::next(v, i);
    if (c == U'\'' || c == U'\u2019') {
      apostrophe = true;
    } else if (!pii::is_alphabetic(c)) {
      return false;
    }
  }
  return apostrophe;
}

// Rule 26: words random enough to be keys.
void detect_high_entropy_words(std::string_view text, std::vector<PiiEntity>& out) {
  static constexpr std::string_view kPrefixes[] = {
      "sk-",     "gh",      "glpat-",  "dop_v1_", "shpat_", "shpca_", "shppa_", "shpss_", "sq0atp-", "sq0csp-",
      "hf_",     "npm_",    "AIza",    "AKIA",    "ASIA",   "xoxb-",  "xoxa-",  "xoxp-",  "xoxr-",   "xoxs-",
      "eyJ",     "SG."};
  auto visit = [&](size_t start, size_t end) {
    Span span = strip_chars(text, Span{start, end}, ",.:;?");
    std::string_view v = span.of(text);
    if (v.size() < 8 || v.size() > 64) return;
    if (v.starts_with("http://") || v.starts_with("https://")) return;
    if (contains(v, "://") || contains(v, "@") || contains(v, "/") || contains(v, "\\")) return;
    if (v.ends_with(".com") || v.ends_with(".net") || v.ends_with(".org") || v.ends_with(".tr")) return;
    if (v.size() == 42 && v.starts_with("0x")) return;
    if (v.starts_with("bc1")) return;
    auto is_letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    if (v.size() >= 15 && v.size() <= 34 && is_letter(v[0]) && is_letter(v[1]) && is_digit(v[2]) && is_digit(v[3])) {
      return;
    }
    for (std::string_view p : kPrefixes) {
      if (v.starts_with(p)) return;
    }
    if (is_suppressed_entropy_token(v)) return;
    if (is_placeholder_like(v)) return;
    if (is_word_with_ending(v)) return;
    double h = shannon_entropy(v);
    if ((h >= 3.4 && v.size() > 11) || (h >= 2.85 && has_mixed_character_classes(v))) {
      append(out, text, span, static_cast<float>(std::min(0.8 + 0.19 * h / 5.0, 0.99)));
    }
  };
  size_t piece = 0;
  bool in_piece = false;
  for (size_t i = 0; i < text.size();) {
    size_t at = i;
    char32_t c = utf8::next(text, i);
    if (utf8::is_space(c)) {
      if (in_piece) visit(piece, at);
      in_piece = false;
    } else if (!in_piece) {
      piece = at;
      in_piece = true;
    }
  }
  if (in_piece) visit(piece, text.size());
}

// JSON web tokens. The first segment of a token is the whole run of
// segment characters after "eyJ" (the next character must be the dot), so
// whether the rest of a token follows is the same for every start inside
// one run: it is tried once per run, and a long run of "eyJ" without the
// rest of a token stays linear.
void detect_jwts(const Regex& re, std::string_view text, std::vector<PiiEntity>& out) {
  auto is_segment_char = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
  };
  auto is_ascii_word_char = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  };
  size_t pos = 0;
  size_t run_end = 0;
  bool rest_failed = false;
  Match m;
  while ((pos = text.find("eyJ", pos)) != std::string_view::npos) {
    if (pos >= run_end) {
      run_end = pos + 3;
      while (run_end < text.size() && is_segment_char(text[run_end])) ++run_end;
      rest_failed = false;
    }
    // Later starts in the run have shorter first segments.
    if (rest_failed || text.substr(run_end, 4) != ".eyJ" || run_end - (pos + 3) < 10) {
      pos = run_end;
      continue;
    }
    unsigned char before = pos == 0 ? ' ' : static_cast<unsigned char>(text[pos - 1]);
    if (before < 0x80 && is_ascii_word_char(static_cast<char>(before))) {
      pos += 1;  // no word boundary before this start
      continue;
    }
    if (re.match_at(text, pos, m) == MatchStatus::Matched) {
      append(out, text, *m.group_span(1), 0.99f);
      pos = m.end();
      run_end = 0;
    } else {
      // With a boundary before it, a start fails only for what follows the
      // run, unless the character before was a non-ASCII letter.
      if (before < 0x80) rest_failed = true;
      pos += 1;
    }
  }
}

}  // namespace

double shannon_entropy(std::string_view s) {
  std::unordered_map<char32_t, size_t> counts;
  size_t total = 0;
  for (size_t i = 0; i < s.size();) {
    ++counts[utf8::next(s, i)];
    ++total;
  }
  if (total == 0) return 0.0;
  double h = 0.0;
  for (const auto& [c, n] : counts) {
    double p = static_cast<double>(n) / static_cast<double>(total);
    h -= p * std::log2(p);
  }
  return h;
}

bool has_mixed_character_classes(std::string_view s) {
  bool upper = false, lower = false, digit = false, other = false;
  for (size_t i = 0; i < s.size();) {
    char32_t c = utf8::next(s, i);
    if (c >= U'A' && c <= U'Z') {
      upper = true;
    } else if (c >= U'a' && c <= U'z') {
      lower = true;
    } else if (c >= U'0' && c <= U'9') {
      digit = true;
    } else if (!pii::is_alphabetic(c)) {
      other = true;
    }
  }
  return int{upper} + int{lower} + int{digit} + int{other} >= 3;
}

bool is_suppressed_entropy_token(std::string_view s) {
  auto all = [&](auto pred) { return std::all_of(s.begin(), s.end(), pred); };
  return all([](char c) { return c >= '0' && c <= '9'; }) || all([](char c) { return c >= 'a' && c <= 'z'; }) ||
         all([](char c) { return c >= 'A' && c <= 'Z'; });
}

void detect_secrets(std::string_view text, std::vector<PiiEntity>& out) {
  const std::string lower = pii::unicode_lower(text);
  auto lower_has = [&](std::string_view n) { return contains(lower, n); };

  // 1. Passwords and codes announced in words.
  static const Regex CONTEXTUAL_SECRET_REGEX(
      R"re((?ix) \b(?: ş[iİıI]fre(?:m|s[iİıI]|n[iİıI]z)? | parola(?:m|s[ıiIİ])? | p[iİıI]n(?:[iİıI]m|s[iİıI]|_kodu|\s+kodu)? | kullan[ıiIİ]c[ıiIİ]\s*ş[iİıI]fres[iİıI] | (?:sms\s+)?do[ğgĞG]rulama\s+kodu(?:m|nu)? | onay\s+kodu(?:m|nu)? | tek\s+kullan[ıiIİ]ml[ıiIİ]k\s+ş[iİıI]fre(?:m)? | ge[çcÇC][iİıI]c[iİıI]\s+ş[iİıI]fre(?:m)? | mob[iİıI]l\s+onay\s+p[iİıI]n(?:[iİıI]m)? | otp(?:\s*kodu(?:m)?)? | 2fa(?:\s*kodu(?:m)?)? | g[iİıI]zl[iİıI]\s*anahtar(?:[ıiIİ]m)? | ap[iİıI]\s*(?:anahtar[ıiIİ]|key) | secret\s*key | access\s*token | bearer\s*token ) \b [:\s=]+ ([^\s,;:.]{4,64}))re");
  static constexpr std::string_view kContextWords[] = {"şifre", "sifre", "parola", "pin", "kodu",
                                                       "anahtar", "token", "key", "otp", "2fa"};
  if (contains_any(lower, kContextWords)) {
    CONTEXTUAL_SECRET_REGEX.for_each_match(text, [&](const Match& m) {
      std::optional<Span> group = m.group_span(1);
      if (!group) return;
      // The value starts at its first kept character, so that its text is
      // the input between its offsets.
      Span span = strip_chars(text, *group, ",.:;?");
      if (span.size() > 3) append(out, text, span, 0.98f);
    });
  }

  // 2-7. Vendor keys and tokens.
  static const std::vector<Regex> early = compile(early_token_rules());
  run_token_rules(early_token_rules(), early, text, out);

  // 8. JSON web tokens.
  static const Regex JWT_TOKEN_REGEX(
      R"re(\b(eyJ[A-Za-z0-9_-]{10,}\.eyJ[A-Za-z0-9_-]{10,}\.[A-Za-z0-9_-]{10,})\b)re");
  if (contains(text, "eyJ")) detect_jwts(JWT_TOKEN_REGEX, text, out);
  // 9. Bearer tokens: the token without the word.
  static const Regex BEARER_TOKEN_REGEX(R"re((?i)\bBearer\s+([A-Za-z0-9._~+/-]{20,}={0,2})\b)re");
  if (contains(text, "Bearer ") || contains(text, "bearer ")) {
    BEARER_TOKEN_REGEX.for_each_match(text, [&](const Match& m) { append(out, text, *m.group_span(1), 0.99f); });
  }
  // 10. Private-key blocks.
  if (contains(text, "-----BEGIN")) detect_private_key_blocks(text, out);

  // 11-17.
  static const std::vector<Regex> middle = compile(middle_token_rules());
  run_token_rules(middle_token_rules(), middle, text, out);

  // 18. Incoming-webhook URLs of Slack and Discord.
  static const Regex WEBHOOK_URL_REGEX(
      R"re((?i)\bhttps?://(?:hooks\.slack\.com/services/[A-Za-z0-9_-]+/[A-Za-z0-9_-]+/[A-Za-z0-9_-]+|(?:ptb\.|canary\.)?discord(?:app)?\.com/api/webhooks/[0-9]+/[A-Za-z0-9_-]+))re");
  if (lower_has("hooks.slack.com/services") || contains(text, "/api/webhooks/")) {
    WEBHOOK_URL_REGEX.for_each_match(text, [&](const Match& m) {
      Span span = m.span();
      while (span.end > span.start && kUrlTail.find(text[span.end - 1]) != std::string_view::npos) --span.end;
      if (!span.empty()) append(out, text, span, 1.0f);
    });
  }
  // 19. Database connection URLs.
  static const Regex DATABASE_URL_REGEX(
      R"re((?i)\b(?:postgres(?:ql)?|mysql|mongodb(?:\+srv)?|redis|rediss|amqps?|mssql|sqlserver)://[^\s<>'"`)]+)re");
  static constexpr std::string_view kDatabases[] = {"postgres", "mysql", "mongodb", "redis",
                                                    "amqp",     "mssql", "sqlserver"};
  if (contains(text, "://") && contains_any(lower, kDatabases)) {
    DATABASE_URL_REGEX.for_each_match(text, [&](const Match& m) {
      Span span = m.span();
      while (span.end > span.start && kUrlTail.find(text[span.end - 1]) != std::string_view::npos) --span.end;
      if (!span.empty()) append(out, text, span, 1.0f);
    });
  }

  // 20-23.
  static const std::vector<Regex> late = compile(late_token_rules());
  run_token_rules(late_token_rules(), late, text, out);

  // 24. Azure storage account keys.
  static const Regex AZURE_STORAGE_KEY_REGEX(R"re((?i)\bAccountKey\s*=\s*([^;\s"'\r\n]{16,128}))re");
  if (contains(text, "AccountKey") || lower_has("accountkey")) {
    AZURE_STORAGE_KEY_REGEX.for_each_match(text,
                                           [&](const Match& m) { append(out, text, *m.group_span(1), 1.0f); });
  }

  // 25. Assignments.
  static const Regex ASSIGNMENT_SECRET_REGEX(
      R"re((?i)\b(?:password|pwd|secret|api[_-]key)\s*[:=]\s*(?:"([^"\r\n]{2,128})"|'([^'\r\n]{2,128})'|([^\s,;:\r\n"'>}]+)))re");
  static constexpr std::string_view kAssignmentWords[] = {"password", "pwd", "secret", "api_key", "api-key"};
  if (contains_any(lower, kAssignmentWords)) {
    ASSIGNMENT_SECRET_REGEX.for_each_match(text, [&](const Match& m) {
      std::optional<Span> group;
      for (size_t g = 1; g <= 3 && !group; ++g) group = m.group_span(g);
      if (!group) return;
      // The entity covers the trimmed value, so that masking never takes
      // the blanks inside the quotes with it.
      Span span = trim_space(text, *group);
      std::string_view v = span.of(text);
      if (v.size() <= 1) return;
      std::string folded;
      for (char c : v) folded.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
      if (folded == "false" || folded == "true" || folded == "none" || folded == "null") return;
      append(out, text, span, 1.0f);
    });
  }

  // 26. Words random enough to be keys.
  detect_high_entropy_words(text, out);
}

}  // namespace selvo

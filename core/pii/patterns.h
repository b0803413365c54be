// The pattern detector: a table of numbered rules, each a process-wide
// regular expression behind a cheap pre-filter, run in number order over
// one text. Every accepted match appends one PiiEntity; overlaps are left
// to the pipeline's conflict resolution.
//
// Pre-filters only save work: a rule whose filter fails would have found
// nothing. Each filter is a substring test written for the Turkish
// lowercase of the text; since the patterns match case-insensitively with
// Unicode simple case folding and often accept a letter with or without its
// diacritic, a filter is also tried on a "skeleton" of the text (case-folded,
// diacritics removed, the four i letters merged, white-space runs collapsed),
// so that no filter ever rejects text its pattern matches.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pii/types.h"
#include "util/regex.h"

namespace selvo {

// The engine settings the pattern rules read.
class PiiEmbeddingScorer;

struct PatternSettings {
  bool preserve_corporate_emails = true;
  bool has_embedding_scorer = false;
  // The engine's scorer, for the rules that confirm dates by their context.
  const PiiEmbeddingScorer* scorer = nullptr;
};

// The per-call view of the text that pre-filters and post-checks read.
struct PatternInput {
  explicit PatternInput(std::string_view text);

  std::string_view text;
  std::string lower;     // Turkish lowercase
  std::string skeleton;  // see gate_skeleton()
  bool has_digit = false;        // an ASCII digit 0-9
  bool has_any_digit = false;    // any Unicode decimal digit (\d)
  PatternSettings settings;
};

// Case-folded, diacritic-free form used by the pre-filters: simple Unicode
// case folding, then ç ğ ı İ ö ş ü â î û to c g i i o s u a i u, and every run
// of white space as one blank.
std::string gate_skeleton(std::string_view s);

// What a post-check may change about an accepted match.
struct RuleHit {
  std::string_view label;
  float confidence;
};

// A pre-filter: has-digit (when `digit`) and, when any needle or
// `custom_or` is given, at least one of them.
struct PatternGate {
  bool digit = false;                        // needs has-digit
  std::vector<std::string_view> lower_has;   // any of these in the lowercase text
  std::vector<std::string_view> text_has;    // any of these in the text itself
  bool (*custom_or)(const PatternInput&) = nullptr;  // one more alternative to the needles
  // The pattern is case-sensitive: `text_has` is not widened to the
  // skeleton.
  bool case_sensitive = false;
  bool (*custom)(const PatternInput&) = nullptr;  // an extra condition, required as well
};

struct PatternRule {
  int number = 0;
  const char* name = "";       // the rule's static, e.g. "PHONE_REGEX"
  const char* pattern = "";
  PatternGate gate;
  // The span: the first group of this list that took part (0 = the whole
  // match), with the label reported for it.
  std::vector<std::pair<int, std::string_view>> groups;
  PiiType type = PiiType::Tckn;
  float confidence = 0.0f;
  // Optional test on the span; false drops the match. It may change the
  // label or the confidence.
  bool (*post_check)(const PatternInput&, std::string_view span, RuleHit&) = nullptr;
  // The span is trimmed of white space at both ends (the offsets move with
  // it, so the entity's text is still the input between them); a span that
  // is empty after trimming gives no entity.
  bool trim = false;
  // Optional test on the whole match, run after `post_check`; it sees the
  // trigger words that the span leaves out.
  bool (*match_check)(const PatternInput&, std::string_view match, RuleHit&) = nullptr;
};

// Every rule, in number order. Rule families are kept in separate lists
// (identifiers and contact data; dates, age and personal attributes) that
// are merged here by number.
const std::vector<PatternRule>& pattern_rules();

// The rules of the contact, identifier and finance family.
std::vector<PatternRule> identifier_pattern_rules();

// The rules of dates, age, personal attributes and special categories.
std::vector<PatternRule> personal_pattern_rules();

// Whether `rule`'s pre-filter lets `in` through.
bool gate_passes(const PatternRule& rule, const PatternInput& in);

// Runs one rule, compiled as `re`, over `in.text` (its pre-filter is not
// consulted) and appends its entities to `out`.
void apply_pattern_rule(const PatternRule& rule, const Regex& re, const PatternInput& in,
                        std::vector<PiiEntity>& out);

// Runs every rule over `in.text` and appends the entities to `out`.
void detect_pattern_entities(const PatternInput& in, std::vector<PiiEntity>& out);
void detect_pattern_entities(std::string_view text, const PatternSettings& settings,
                             std::vector<PiiEntity>& out);

bool is_corporate_email(std::string_view s);
bool is_file_like_email(std::string_view s);

}  // namespace selvo

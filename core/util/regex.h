// Regular expressions over UTF-8 text, backed by PCRE2.
//
// A Regex is compiled once (typically as a function-local `static const
// Regex` or inside a table built on first use) and is immutable afterwards,
// so one object may be shared by every caller and thread.
//
// Pattern syntax is PCRE2's, compiled with Unicode semantics: \d, \s, \w and
// \b follow Unicode properties, (?i) uses simple Unicode case folding (so
// "i" matches "I" but neither "İ" nor "ı"), and the inline flags (?i), (?x),
// (?m) as well as Python-style named groups (?P<name>...) are available.
// Alternation is leftmost-first. A pattern that does not compile is a bug in
// the library: the constructor throws InternalFault with PCRE2's message and
// the offset of the error.
//
// Subjects. Patterns are compiled with PCRE2_MATCH_INVALID_UTF, so any byte
// string is a valid subject: a sequence that is not well-formed UTF-8 simply
// never matches any pattern item and no match crosses it. The consequence is
// that PCRE2 never validates the whole subject before a match (which would
// make repeated searches over one long text quadratic), and PCRE2_NO_UTF_CHECK
// has no work left to skip; no function here needs the caller to vouch for
// the validity of its text.
//
// Offsets are byte offsets into the subject. A start offset must not exceed
// the subject's length (checked: a larger offset is an InternalFault) and
// should lie on a character boundary.
//
// Resource limits. Every match runs with a match limit, a depth limit and a
// heap limit, and JIT code runs on a per-thread JIT stack of bounded size
// (if that stack is exhausted the match is retried by the interpreter under
// the same limits). A match that hits a limit reports
// MatchStatus::LimitExceeded; the convenience functions treat that as "no
// match". A "^" in a pattern means the start of the subject (or of a line
// under (?m)), never the start offset: use match_at() to anchor a match at a
// position.
//
// Match data is kept per thread and reused, so a match allocates nothing
// unless a pattern has more than Match::kInlineGroups capture groups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace selvo {

// A byte range [start, end) of a subject.
struct Span {
  size_t start = 0;
  size_t end = 0;

  size_t size() const noexcept { return end - start; }
  bool empty() const noexcept { return start == end; }
  std::string_view of(std::string_view subject) const { return subject.substr(start, end - start); }
  bool operator==(const Span&) const = default;
};

enum class MatchStatus : uint8_t {
  Matched,
  NoMatch,
  LimitExceeded,  // the match, depth or heap limit stopped the attempt
};

// How an iteration over matches ended.
enum class ScanEnd : uint8_t {
  Exhausted,      // every match was visited
  Stopped,        // the callback asked to stop
  LimitExceeded,  // a search hit a resource limit; later matches were not looked for
};

class Regex;

// The spans of one successful match: group 0 (the whole match) and every
// capture group. It refers to the subject it was found in, which must
// outlive it. A Match is a plain value; it stays valid after further
// matches with the same Regex.
class Match {
 public:
  static constexpr size_t kInlineGroups = 12;  // capture groups stored without allocation

  Match() = default;

  std::string_view subject() const noexcept { return subject_; }
  size_t start() const noexcept { return at(0).start; }
  size_t end() const noexcept { return at(0).end; }
  Span span() const noexcept { return at(0); }
  std::string_view str() const { return at(0).of(subject_); }

  // Number of capture groups of the pattern (group 0 not counted).
  size_t group_count() const noexcept { return groups_; }

  // Group i (0 = whole match): whether it took part, its span, its text.
  // The text of a group that did not take part, or of an index beyond the
  // pattern's groups, is an empty view; its span is nullopt.
  bool has(size_t i) const noexcept { return i <= groups_ && at(i).start != kUnset; }
  std::optional<Span> group_span(size_t i) const noexcept;
  std::string_view group(size_t i) const;

  // The same by group name. An unknown name is a bug in the caller
  // (InternalFault); resolve names once with Regex::group_index() where a
  // match is examined often.
  bool has(std::string_view name) const;
  std::optional<Span> group_span(std::string_view name) const;
  std::string_view group(std::string_view name) const;

 private:
  friend class Regex;
  static constexpr size_t kUnset = static_cast<size_t>(-1);

  const Span& at(size_t i) const noexcept { return groups_ <= kInlineGroups ? inline_[i] : heap_[i]; }
  Span* reset(const Regex* re, std::string_view subject, size_t groups);

  const Regex* re_ = nullptr;
  std::string_view subject_;
  size_t groups_ = 0;
  Span inline_[kInlineGroups + 1]{};
  std::vector<Span> heap_;
};

class Regex {
 public:
  // Compiles `pattern` (UTF-8). Throws InternalFault if it does not compile.
  explicit Regex(std::string_view pattern);
  ~Regex();
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;

  const std::string& pattern() const noexcept { return pattern_; }
  size_t group_count() const noexcept { return groups_; }
  bool uses_jit() const noexcept { return jit_; }

  // Index of the named group, or nullopt when the pattern has no such name.
  std::optional<size_t> group_index(std::string_view name) const;

  // Leftmost match starting at byte `pos` or later.
  MatchStatus search(std::string_view text, size_t pos, Match& out) const;
  std::optional<Match> search(std::string_view text, size_t pos = 0) const;
  // Only the span of the whole match (no capture groups are recorded).
  std::optional<Span> search_span(std::string_view text, size_t pos = 0) const;

  // A match that starts exactly at byte `pos`.
  MatchStatus match_at(std::string_view text, size_t pos, Match& out) const;
  std::optional<Match> match_at(std::string_view text, size_t pos) const;
  std::optional<Span> match_span_at(std::string_view text, size_t pos) const;

  bool contains(std::string_view text) const { return search_span(text).has_value(); }

  // Visits the non-overlapping matches of `text` from left to right. After
  // an empty match the next match may not be empty at the same position, so
  // the scan moves on by one character. `f` takes a `const Match&` and
  // returns void, or bool where false stops the scan.
  template <class F>
  ScanEnd for_each_match(std::string_view text, F&& f) const;

  // Spans of all non-overlapping matches, left to right (limit: see above).
  std::vector<Span> find_all(std::string_view text) const;
  size_t count_matches(std::string_view text) const;

  // `text` with every match replaced by `replacement`, taken literally.
  std::string replace_all(std::string_view text, std::string_view replacement) const;

 private:
  struct Code;
  enum class Mode : uint8_t { Search, Anchored };

  // Runs one match. `captures` false records group 0 only.
  MatchStatus exec(Mode mode, std::string_view text, size_t pos, bool not_empty_at_start,
                   bool captures, Match* out, Span* span) const;
  const Code& anchored_code() const;

  std::string pattern_;
  size_t groups_ = 0;
  bool jit_ = false;
  std::unique_ptr<Code> code_;                      // the pattern as written
  mutable std::unique_ptr<Code> anchored_;  // compiled with PCRE2_ANCHORED on first use
  mutable std::unique_ptr<std::once_flag> anchored_once_;
  std::vector<std::pair<std::string, size_t>> names_;
};

template <class F>
ScanEnd Regex::for_each_match(std::string_view text, F&& f) const {
  Match m;
  size_t pos = 0;
  bool after_empty = false;
  while (pos <= text.size()) {
    MatchStatus st = exec(Mode::Search, text, pos, after_empty, true, &m, nullptr);
    if (st == MatchStatus::NoMatch) return ScanEnd::Exhausted;
    if (st == MatchStatus::LimitExceeded) return ScanEnd::LimitExceeded;
    if constexpr (std::is_same_v<decltype(f(m)), bool>) {
      if (!f(static_cast<const Match&>(m))) return ScanEnd::Stopped;
    } else {
      f(static_cast<const Match&>(m));
    }
    after_empty = m.start() == m.end();
    pos = m.end();
  }
  return ScanEnd::Exhausted;
}

}  // namespace selvo

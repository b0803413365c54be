#include "util/regex.h"

#include <pcre2.h>

#include <new>

#include "util/error.h"

namespace selvo {

namespace {

// Limits of one match attempt. The match limit bounds the work at one start
// position (catastrophic backtracking ends in LimitExceeded after a few
// milliseconds to a few hundred), the depth limit bounds nested
// backtracking in the interpreter, the heap limit (KiB) its memory.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr uint32_t kDepthLimit = 250'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 4 * 1024 * 1024;

constexpr uint32_t kCompileOptions =
    PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C;

std::string pcre2_message(int code) {
  PCRE2_UCHAR buf[256];
  int n = pcre2_get_error_message(code, buf, sizeof buf);
  if (n < 0) return "PCRE2 error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
}

// Per-thread match context (limits, JIT stack) and match data. Results are
// copied out of the match data before any caller code runs, so nested use
// from a callback is safe.
class ThreadState {
 public:
  ThreadState() {
    ctx_ = pcre2_match_context_create(nullptr);
    if (ctx_ == nullptr) throw std::bad_alloc();
    pcre2_set_match_limit(ctx_, kMatchLimit);
    pcre2_set_depth_limit(ctx_, kDepthLimit);
    pcre2_set_heap_limit(ctx_, kHeapLimitKiB);
    // Without a stack of its own, JIT code runs on 32 KiB of machine stack;
    // if the stack cannot be created that default remains, and a match that
    // exhausts it is retried by the interpreter.
    jit_stack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (jit_stack_ != nullptr) pcre2_jit_stack_assign(ctx_, nullptr, jit_stack_);
  }
  ~ThreadState() {
    pcre2_match_data_free(data_);
    pcre2_jit_stack_free(jit_stack_);
    pcre2_match_context_free(ctx_);
  }
  ThreadState(const ThreadState&) = delete;
  ThreadState& operator=(const ThreadState&) = delete;

  pcre2_match_context* context() const { return ctx_; }

  pcre2_match_data* data(size_t pairs) {
    if (pairs > pairs_) {
      size_t want = pairs < 16 ? 16 : pairs;
      pcre2_match_data* md = pcre2_match_data_create(static_cast<uint32_t>(want), nullptr);
      if (md == nullptr) throw std::bad_alloc();
      pcre2_match_data_free(data_);
      data_ = md;
      pairs_ = want;
    }
    return data_;
  }

 private:
  pcre2_match_context* ctx_ = nullptr;
  pcre2_jit_stack* jit_stack_ = nullptr;
  pcre2_match_data* data_ = nullptr;
  size_t pairs_ = 0;
};

ThreadState& thread_state() {
  thread_local ThreadState state;
  return state;
}

}  // namespace

struct Regex::Code {
  pcre2_code* re = nullptr;
  bool jit = false;

  Code(std::string_view pattern, uint32_t options) {
    int err = 0;
    PCRE2_SIZE offset = 0;
    re = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                       kCompileOptions | options, &err, &offset, nullptr);
    if (re == nullptr) {
      internal_fault(__FILE__, __LINE__,
                     "invalid regular expression at offset " + std::to_string(offset) + ": " +
                         pcre2_message(err) + ": " + std::string(pattern));
    }
    jit = pcre2_jit_compile(re, PCRE2_JIT_COMPLETE) == 0;
  }
  ~Code() { pcre2_code_free(re); }
  Code(const Code&) = delete;
  Code& operator=(const Code&) = delete;
};

Regex::Regex(std::string_view pattern)
    : pattern_(pattern),
      code_(std::make_unique<Code>(pattern, 0)),
      anchored_once_(std::make_unique<std::once_flag>()) {
  jit_ = code_->jit;
  uint32_t captures = 0;
  pcre2_pattern_info(code_->re, PCRE2_INFO_CAPTURECOUNT, &captures);
  groups_ = captures;

  uint32_t name_count = 0, entry_size = 0;
  PCRE2_SPTR table = nullptr;
  pcre2_pattern_info(code_->re, PCRE2_INFO_NAMECOUNT, &name_count);
  if (name_count > 0) {
    pcre2_pattern_info(code_->re, PCRE2_INFO_NAMEENTRYSIZE, &entry_size);
    pcre2_pattern_info(code_->re, PCRE2_INFO_NAMETABLE, &table);
    for (uint32_t i = 0; i < name_count; ++i) {
      PCRE2_SPTR entry = table + static_cast<size_t>(i) * entry_size;
      size_t group = static_cast<size_t>(entry[0]) << 8 | entry[1];
      names_.emplace_back(reinterpret_cast<const char*>(entry + 2), group);
    }
  }
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

std::optional<size_t> Regex::group_index(std::string_view name) const {
  for (const auto& [n, index] : names_) {
    if (n == name) return index;
  }
  return std::nullopt;
}

const Regex::Code& Regex::anchored_code() const {
  // JIT code cannot be anchored at match time (PCRE2 would fall back to the
  // interpreter), so anchored matching uses a second compilation.
  std::call_once(*anchored_once_, [this] { anchored_ = std::make_unique<Code>(pattern_, PCRE2_ANCHORED); });
  return *anchored_;
}

MatchStatus Regex::exec(Mode mode, std::string_view text, size_t pos, bool not_empty_at_start,
                        bool captures, Match* out, Span* span) const {
  SELVO_ASSERT(pos <= text.size(), "regex start offset " + std::to_string(pos) +
                                       " beyond a subject of " + std::to_string(text.size()) + " bytes");
  const Code& code = mode == Mode::Anchored ? anchored_code() : *code_;
  ThreadState& ts = thread_state();
  const size_t pairs = captures ? groups_ + 1 : 1;
  pcre2_match_data* md = ts.data(pairs);
  const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data() != nullptr ? text.data() : "");
  const uint32_t options = not_empty_at_start ? PCRE2_NOTEMPTY_ATSTART : 0;

  int rc = pcre2_match(code.re, subject, text.size(), pos, options, md, ts.context());
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
    rc = pcre2_match(code.re, subject, text.size(), pos, options | PCRE2_NO_JIT, md, ts.context());
  }
  if (rc == PCRE2_ERROR_NOMATCH) return MatchStatus::NoMatch;
  if (rc < 0) {
    switch (rc) {
      case PCRE2_ERROR_MATCHLIMIT:
      case PCRE2_ERROR_DEPTHLIMIT:
      case PCRE2_ERROR_HEAPLIMIT:
      case PCRE2_ERROR_NOMEMORY:
      case PCRE2_ERROR_JIT_STACKLIMIT:
        return MatchStatus::LimitExceeded;
      default:
        internal_fault(__FILE__, __LINE__, "regex match failed: " + pcre2_message(rc) + ": " + pattern_);
    }
  }
  const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
  if (span != nullptr) *span = Span{ov[0], ov[1]};
  if (out != nullptr) {
    Span* slots = out->reset(this, text, captures ? groups_ : 0);
    for (size_t i = 0; i < pairs; ++i) {
      slots[i] = ov[2 * i] == PCRE2_UNSET ? Span{Match::kUnset, Match::kUnset} : Span{ov[2 * i], ov[2 * i + 1]};
    }
  }
  return MatchStatus::Matched;
}

MatchStatus Regex::search(std::string_view text, size_t pos, Match& out) const {
  return exec(Mode::Search, text, pos, false, true, &out, nullptr);
}

std::optional<Match> Regex::search(std::string_view text, size_t pos) const {
  Match m;
  if (exec(Mode::Search, text, pos, false, true, &m, nullptr) != MatchStatus::Matched) return std::nullopt;
  return m;
}

std::optional<Span> Regex::search_span(std::string_view text, size_t pos) const {
  Span s;
  if (exec(Mode::Search, text, pos, false, false, nullptr, &s) != MatchStatus::Matched) return std::nullopt;
  return s;
}

MatchStatus Regex::match_at(std::string_view text, size_t pos, Match& out) const {
  return exec(Mode::Anchored, text, pos, false, true, &out, nullptr);
}

std::optional<Match> Regex::match_at(std::string_view text, size_t pos) const {
  Match m;
  if (exec(Mode::Anchored, text, pos, false, true, &m, nullptr) != MatchStatus::Matched) return std::nullopt;
  return m;
}

std::optional<Span> Regex::match_span_at(std::string_view text, size_t pos) const {
  Span s;
  if (exec(Mode::Anchored, text, pos, false, false, nullptr, &s) != MatchStatus::Matched) return std::nullopt;
  return s;
}

std::vector<Span> Regex::find_all(std::string_view text) const {
  std::vector<Span> spans;
  for_each_match(text, [&](const Match& m) { spans.push_back(m.span()); });
  return spans;
}

size_t Regex::count_matches(std::string_view text) const {
  size_t n = 0;
  for_each_match(text, [&](const Match&) { ++n; });
  return n;
}

std::string Regex::replace_all(std::string_view text, std::string_view replacement) const {
  std::string out;
  size_t copied = 0;
  for_each_match(text, [&](const Match& m) {
    out.append(text, copied, m.start() - copied);
    out.append(replacement);
    copied = m.end();
  });
  out.append(text, copied, std::string_view::npos);
  return out;
}

// --- Match -----------------------------------------------------------------

Span* Match::reset(const Regex* re, std::string_view subject, size_t groups) {
  re_ = re;
  subject_ = subject;
  groups_ = groups;
  if (groups > kInlineGroups) {
    heap_.resize(groups + 1);
    return heap_.data();
  }
  return inline_;
}

std::optional<Span> Match::group_span(size_t i) const noexcept {
  if (!has(i)) return std::nullopt;
  return at(i);
}

std::string_view Match::group(size_t i) const {
  if (!has(i)) return {};
  return at(i).of(subject_);
}

namespace {
size_t named_group(const Regex* re, std::string_view name) {
  SELVO_ASSERT(re != nullptr, "group lookup on an empty Match");
  std::optional<size_t> index = re->group_index(name);
  SELVO_ASSERT(index.has_value(), "no group named '" + std::string(name) + "' in " + re->pattern());
  return *index;
}
}  // namespace

bool Match::has(std::string_view name) const { return has(named_group(re_, name)); }
std::optional<Span> Match::group_span(std::string_view name) const { return group_span(named_group(re_, name)); }
std::string_view Match::group(std::string_view name) const { return group(named_group(re_, name)); }

}  // namespace selvo

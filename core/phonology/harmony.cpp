#include "phonology/harmony.h"

#include <cstddef>
#include <utility>

#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

namespace {

// The last (up to) three characters of a word with their byte starts, and
// the number of characters in it. Found in one forward pass so that the
// character boundaries agree with every other forward decoder here.
struct WordTail {
  size_t count = 0;
  // [0] is the last character, [1] the one before it, [2] the one before that.
  char32_t cp[3] = {0, 0, 0};
  size_t start[3] = {0, 0, 0};
};

WordTail tail_of(std::string_view word) {
  WordTail t;
  for (size_t i = 0; i < word.size();) {
    size_t s = i;
    char32_t c = utf8::next(word, i);
    t.cp[2] = t.cp[1];
    t.start[2] = t.start[1];
    t.cp[1] = t.cp[0];
    t.start[1] = t.start[0];
    t.cp[0] = c;
    t.start[0] = s;
    ++t.count;
  }
  return t;
}

char32_t soften_general(char32_t c) {
  switch (c) {
    case U'p': return U'b';
    case U'P': return U'B';
    case U't': return U'd';
    case U'T': return U'D';
    case U'ç': return U'c';
    case U'Ç': return U'C';
    case U'k': return U'ğ';
    case U'K': return U'Ğ';
    default: return c;
  }
}

char32_t soften_after_n(char32_t c) {
  switch (c) {
    case U'k': return U'g';
    case U'K': return U'G';
    default: return soften_general(c);
  }
}

bool may_follow_rounded(char32_t c) {
  return c == U'a' || c == U'e' || c == U'u' || c == U'ü';
}

}  // namespace

bool check_major_vowel_harmony(std::string_view word) {
  enum class Seen { None, Back, Front } seen = Seen::None;
  for (size_t i = 0; i < word.size();) {
    char32_t c = utf8::next(word, i);
    if (is_back_vowel(c)) {
      if (seen == Seen::Front) return false;
      seen = Seen::Back;
    } else if (is_front_vowel(c)) {
      if (seen == Seen::Back) return false;
      seen = Seen::Front;
    }
  }
  return true;
}

bool check_minor_vowel_harmony(std::string_view word) {
  bool have_prev = false;
  char32_t prev = 0;
  for (size_t i = 0; i < word.size();) {
    char32_t c = utf8::next(word, i);
    if (!is_vowel(c)) continue;
    if (have_prev) {
      if (is_unrounded_vowel(prev) ? !is_unrounded_vowel(c) : !may_follow_rounded(c)) return false;
    }
    prev = c;
    have_prev = true;
  }
  return true;
}

std::optional<std::string> apply_vowel_drop(std::string_view word) {
  const WordTail t = tail_of(word);
  if (t.count < 3) return std::nullopt;
  const char32_t c = t.cp[1];
  if (c != U'ı' && c != U'i' && c != U'u' && c != U'ü') return std::nullopt;
  std::string out;
  out.reserve(word.size());
  out.append(word.substr(0, t.start[1]));
  out.append(word.substr(t.start[0]));
  return out;
}

std::string apply_stem_softening(std::string_view word) {
  const WordTail t = tail_of(word);
  if (t.count == 0) return std::string();
  const bool after_n = t.count >= 2 && (t.cp[1] == U'n' || t.cp[1] == U'N');
  const char32_t soft = after_n ? soften_after_n(t.cp[0]) : soften_general(t.cp[0]);
  if (soft == t.cp[0]) return std::string(word);
  std::string out;
  out.reserve(word.size() + 1);
  out.append(word.substr(0, t.start[0]));
  utf8::append(out, soft);
  return out;
}

std::string apply_consonant_doubling(std::string_view word) {
  const WordTail t = tail_of(word);
  std::string out(word);
  if (t.count > 0) out.append(word.substr(t.start[0]));
  return out;
}

std::string apply_stem_mutation(std::string_view word, bool soften, bool drop_vowel,
                                bool double_consonant) {
  if (drop_vowel) {
    if (std::optional<std::string> dropped = apply_vowel_drop(word)) {
      return soften ? apply_stem_softening(*dropped) : std::move(*dropped);
    }
  }
  if (double_consonant) return apply_consonant_doubling(word);
  if (soften) return apply_stem_softening(word);
  return std::string(word);
}

}  // namespace selvo

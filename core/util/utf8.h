// UTF-8 helpers over ICU's utf8.h macros. Text inside the library is UTF-8
// and every position is a byte offset on a character boundary.
#pragma once

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace selvo::utf8 {

// Decodes the code point starting at byte i and advances i past it. An
// ill-formed sequence yields U+FFFD and advances by at least one byte, so a
// loop over any byte string terminates.
inline char32_t next(std::string_view s, size_t& i) {
  UChar32 c;
  int32_t pos = static_cast<int32_t>(i);
  U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), pos, static_cast<int32_t>(s.size()), c);
  i = static_cast<size_t>(pos);
  return c < 0 ? U'\uFFFD' : static_cast<char32_t>(c);
}

// Decodes the code point that ends at byte i and moves i to its start.
inline char32_t prev(std::string_view s, size_t& i) {
  UChar32 c;
  int32_t pos = static_cast<int32_t>(i);
  U8_PREV(reinterpret_cast<const uint8_t*>(s.data()), 0, pos, c);
  i = static_cast<size_t>(pos);
  return c < 0 ? U'\uFFFD' : static_cast<char32_t>(c);
}

inline void append(std::string& out, char32_t c) {
  uint8_t buf[U8_MAX_LENGTH];
  int32_t n = 0;
  U8_APPEND_UNSAFE(buf, n, static_cast<UChar32>(c));
  out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
}

inline std::string encode(char32_t c) {
  std::string s;
  append(s, c);
  return s;
}

inline size_t length(char32_t c) { return static_cast<size_t>(U8_LENGTH(static_cast<UChar32>(c))); }

// Number of code points in s.
inline size_t count(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++n) next(s, i);
  return n;
}

inline bool is_valid(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    UChar32 c;
    int32_t pos = static_cast<int32_t>(i);
    U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), pos, static_cast<int32_t>(s.size()), c);
    if (c < 0) return false;
    i = static_cast<size_t>(pos);
  }
  return true;
}

// Calls f(code_point, byte_start, byte_end) for every character of s.
template <class F>
inline void for_each(std::string_view s, F&& f) {
  for (size_t i = 0; i < s.size();) {
    size_t start = i;
    char32_t c = next(s, i);
    f(c, start, i);
  }
}

// Unicode White_Space (U+0009..U+000D, U+0020, U+0085, U+00A0, U+1680,
// U+2000..U+200A, U+2028, U+2029, U+202F, U+205F, U+3000).
inline bool is_space(char32_t c) noexcept {
  if (c < 0x80) return c == U' ' || (c >= 0x09 && c <= 0x0D);
  return u_isUWhiteSpace(static_cast<UChar32>(c));
}

// The byte range [first, last) of s without leading and trailing white
// space.
inline std::pair<size_t, size_t> trim_space_range(std::string_view s) noexcept {
  size_t first = 0;
  while (first < s.size()) {
    size_t i = first;
    if (!is_space(next(s, i))) break;
    first = i;
  }
  size_t last = s.size();
  while (last > first) {
    size_t i = last;
    if (!is_space(prev(s, i))) break;
    last = i;
  }
  return {first, last};
}

inline std::string_view trim_space(std::string_view s) noexcept {
  auto [first, last] = trim_space_range(s);
  return s.substr(first, last - first);
}

}  // namespace selvo::utf8

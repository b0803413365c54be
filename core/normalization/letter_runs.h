// Splitting text into letter runs for word-by-word rewriting.
#pragma once

#include <string>
#include <string_view>

#include <unicode/uchar.h>

#include "util/utf8.h"

namespace selvo {

// Cuts `text` after every character that is not alphabetic, giving pieces of
// a (possibly empty) run of letters followed by at most one other character,
// and returns the concatenation of rewrite(letters) + that character. Every
// non-letter (space, digit, punctuation, apostrophe) stays where it was.
template <class Rewrite>
std::string rewrite_letter_runs(std::string_view text, Rewrite&& rewrite) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  size_t run_start = 0;
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    char32_t c = utf8::next(text, i);
    if (u_isUAlphabetic(static_cast<UChar32>(c))) continue;
    if (start > run_start) out += rewrite(text.substr(run_start, start - run_start));
    out.append(text.substr(start, i - start));
    run_start = i;
  }
  if (run_start < text.size()) out += rewrite(text.substr(run_start));
  return out;
}

}  // namespace selvo

#include "normalization/asciifier.h"

#include "util/utf8.h"

namespace selvo {

char32_t TurkishAsciifier::asciify_char(char32_t c) noexcept {
  switch (c) {
    case U'ç': return U'c';
    case U'Ç': return U'C';
    case U'ğ': return U'g';
    case U'Ğ': return U'G';
    case U'ı': return U'i';
    case U'İ': return U'I';
    case U'ö': return U'o';
    case U'Ö': return U'O';
    case U'ş': return U's';
    case U'Ş': return U'S';
    case U'ü': return U'u';
    case U'Ü': return U'U';
    case U'â': return U'a';
    case U'Â': return U'A';
    case U'î': return U'i';
    case U'Î': return U'I';
    case U'û': return U'u';
    case U'Û': return U'U';
    default: return c;
  }
}

std::string TurkishAsciifier::asciify(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    char32_t c = utf8::next(text, i);
    char32_t r = asciify_char(c);
    if (r == c) {
      // Copy the bytes as they are (an ill-formed byte stays itself).
      out.append(text.substr(start, i - start));
    } else {
      utf8::append(out, r);
    }
  }
  return out;
}

}  // namespace selvo

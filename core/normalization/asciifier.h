// Removal of Turkish diacritics: ç→c, ğ→g, ı→i, İ→I, ö→o, ş→s, ü→u and the
// circumflexed â, î, û. Every other character is copied unchanged, so the
// result has as many characters as the input.
#pragma once

#include <string>
#include <string_view>

namespace selvo {

class TurkishAsciifier {
 public:
  static std::string asciify(std::string_view text);
  // The replacement of one character (itself when it has none).
  static char32_t asciify_char(char32_t c) noexcept;
};

}  // namespace selvo

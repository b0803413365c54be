#include "phonology/alphabet.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <array>
#include <cstdint>
#include <vector>

#include "util/utf8.h"

namespace selvo {

namespace {

enum VowelBits : uint8_t { kVowel = 1, kBack = 2, kFront = 4, kRounded = 8, kUnrounded = 16 };

uint8_t vowel_bits(char32_t c) noexcept {
  switch (c) {
    case U'a': case U'A': case U'â': case U'Â':
    case U'ı': case U'I':
      return kVowel | kBack | kUnrounded;
    case U'o': case U'O': case U'u': case U'U': case U'û': case U'Û':
      return kVowel | kBack | kRounded;
    case U'e': case U'E': case U'i': case U'İ': case U'î': case U'Î':
      return kVowel | kFront | kUnrounded;
    case U'ö': case U'Ö': case U'ü': case U'Ü':
      return kVowel | kFront | kRounded;
    default:
      return 0;
  }
}

// Full, context-free case mapping of single code points. The Basic
// Multilingual Plane is tabulated on first use (only the characters whose
// mapping changes them get an entry); characters beyond it are mapped
// through ICU when they occur.
class CaseTable {
 public:
  explicit CaseTable(bool upper) : upper_(upper) {
    entries_.assign(0x10000, 0);
    const UProperty changes = upper ? UCHAR_CHANGES_WHEN_UPPERCASED : UCHAR_CHANGES_WHEN_LOWERCASED;
    for (UChar32 c = 0; c < 0x10000; ++c) {
      if (U_IS_SURROGATE(c) || !u_hasBinaryProperty(c, changes)) continue;
      std::string mapped = map_with_icu(static_cast<char32_t>(c));
      entries_[static_cast<size_t>(c)] = static_cast<uint32_t>(pool_.size() << 5 | mapped.size());
      pool_ += mapped;
    }
  }

  void append(std::string& out, char32_t c) const {
    if (c < 0x10000) {
      uint32_t e = entries_[c];
      if (e == 0) {
        utf8::append(out, c);
      } else {
        out.append(pool_, e >> 5, e & 31);
      }
      return;
    }
    const UProperty changes = upper_ ? UCHAR_CHANGES_WHEN_UPPERCASED : UCHAR_CHANGES_WHEN_LOWERCASED;
    if (u_hasBinaryProperty(static_cast<UChar32>(c), changes)) {
      out += map_with_icu(c);
    } else {
      utf8::append(out, c);
    }
  }

 private:
  std::string map_with_icu(char32_t c) const {
    UChar src[2];
    int32_t n = 0;
    U16_APPEND_UNSAFE(src, n, static_cast<UChar32>(c));
    UChar dst[16];
    UErrorCode status = U_ZERO_ERROR;
    // The root locale: no Turkish or Lithuanian tailoring; a lone character
    // has no context, so the final-sigma rule never applies.
    int32_t len = upper_ ? u_strToUpper(dst, 16, src, n, "", &status)
                         : u_strToLower(dst, 16, src, n, "", &status);
    std::string out;
    if (U_FAILURE(status) || len > 16) {
      utf8::append(out, c);
      return out;
    }
    for (int32_t i = 0; i < len;) {
      UChar32 m;
      U16_NEXT(dst, i, len, m);
      utf8::append(out, static_cast<char32_t>(m));
    }
    return out;
  }

  bool upper_;
  std::vector<uint32_t> entries_;
  std::string pool_;
};

const CaseTable& lower_table() {
  static const CaseTable table(false);
  return table;
}

const CaseTable& upper_table() {
  static const CaseTable table(true);
  return table;
}

inline void lower_into(std::string& out, char32_t c, const CaseTable& t) {
  if (c == U'I') {
    out += "ı";
  } else if (c == U'İ') {
    out += 'i';
  } else {
    t.append(out, c);
  }
}

inline void upper_into(std::string& out, char32_t c, const CaseTable& t) {
  if (c == U'i') {
    out += "İ";
  } else if (c == U'ı') {
    out += 'I';
  } else {
    t.append(out, c);
  }
}

}  // namespace

bool is_vowel(char32_t c) noexcept { return vowel_bits(c) & kVowel; }
bool is_back_vowel(char32_t c) noexcept { return vowel_bits(c) & kBack; }
bool is_front_vowel(char32_t c) noexcept { return vowel_bits(c) & kFront; }
bool is_rounded_vowel(char32_t c) noexcept { return vowel_bits(c) & kRounded; }
bool is_unrounded_vowel(char32_t c) noexcept { return vowel_bits(c) & kUnrounded; }

bool is_title_separator(char32_t c) noexcept {
  switch (c) {
    case U'"': case U'\'': case U'(': case U'-': case U'/':
      return true;
    default:
      return u_isUWhiteSpace(static_cast<UChar32>(c));
  }
}

void append_turkish_lower(std::string& out, char32_t c) { lower_into(out, c, lower_table()); }
void append_turkish_upper(std::string& out, char32_t c) { upper_into(out, c, upper_table()); }

std::string to_turkish_lower(std::string_view text) {
  const CaseTable& t = lower_table();
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80 && b != 'I') {
      out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
      ++i;
      continue;
    }
    lower_into(out, utf8::next(text, i), t);
  }
  return out;
}

std::string to_turkish_upper(std::string_view text) {
  const CaseTable& t = upper_table();
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80 && b != 'i') {
      out += static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b);
      ++i;
      continue;
    }
    upper_into(out, utf8::next(text, i), t);
  }
  return out;
}

std::string to_turkish_title(std::string_view text) {
  const CaseTable& lower = lower_table();
  const CaseTable& upper = upper_table();
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  bool at_word_start = true;
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80 && b != 'i' && b != 'I') {
      // ASCII other than the two i letters maps to ASCII.
      ++i;
      if (b == ' ' || (b >= 0x09 && b <= 0x0D) || b == '"' || b == '\'' || b == '(' || b == '-' || b == '/') {
        at_word_start = true;
      } else if (at_word_start) {
        if (b >= 'a' && b <= 'z') b -= 32;
        at_word_start = false;
      } else if (b >= 'A' && b <= 'Z') {
        b += 32;
      }
      out += static_cast<char>(b);
      continue;
    }
    char32_t c = utf8::next(text, i);
    if (is_title_separator(c)) {
      utf8::append(out, c);
      at_word_start = true;
    } else if (at_word_start) {
      upper_into(out, c, upper);
      at_word_start = false;
    } else {
      lower_into(out, c, lower);
    }
  }
  return out;
}

std::optional<char32_t> last_vowel(std::string_view word) {
  for (size_t i = word.size(); i > 0;) {
    char32_t c = utf8::prev(word, i);
    if (is_vowel(c)) return c;
  }
  return std::nullopt;
}

}  // namespace selvo

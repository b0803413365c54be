// The Turkish alphabet: vowel classes, Turkish case mapping, last vowel.
//
// Turkish has dotted i/İ and dotless ı/I; the mappings here special-case
// those four letters and use the full, context-free Unicode mapping for
// every other character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace selvo {

// Vowel classes. The circumflexed vowels count as their plain counterparts;
// capital I is the dotless vowel.
bool is_vowel(char32_t c) noexcept;
bool is_back_vowel(char32_t c) noexcept;
bool is_front_vowel(char32_t c) noexcept;
bool is_rounded_vowel(char32_t c) noexcept;
bool is_unrounded_vowel(char32_t c) noexcept;

std::string to_turkish_lower(std::string_view text);
std::string to_turkish_upper(std::string_view text);
std::string to_turkish_title(std::string_view text);

// Appends the Turkish lowercase / uppercase mapping of one character.
void append_turkish_lower(std::string& out, char32_t c);
void append_turkish_upper(std::string& out, char32_t c);

// The last character of `word` in the vowel class, if any.
std::optional<char32_t> last_vowel(std::string_view word);

// Word separators of title casing: Unicode White_Space and " ' ( - /.
bool is_title_separator(char32_t c) noexcept;

}  // namespace selvo

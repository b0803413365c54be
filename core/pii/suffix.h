// Turkish case endings after an apostrophe: cutting a word at its
// apostrophe, recognising which case an ending expresses, and re-forming
// the ending for another word by vowel harmony, buffer consonants and
// consonant assimilation (Ahmet'e, Ankara'ya, Sinop'tan).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace selvo {

enum class SuffixCase : uint8_t {
  Dative = 0,
  Genitive = 1,
  Accusative = 2,
  Locative = 3,
  Ablative = 4,
  Instrumental = 5,
  Plural = 6,
};

struct StemSuffix {
  std::string_view stem;
  std::optional<char32_t> apostrophe;  // U+0027, U+2019 or U+00B4
  std::optional<std::string_view> suffix;  // absent when empty
  size_t stem_start = 0;
  size_t stem_end = 0;
};

// Cuts `token` (found at byte `offset` of its text) at the first of the
// three apostrophe characters.
StemSuffix split_stem_suffix(std::string_view token, size_t offset);

// The case of an ending such as "'DEN", "e." or "nın"; nothing for endings
// that are not a bare case ending ("lerden", "cığım", "").
std::optional<SuffixCase> detect_suffix_case(std::string_view suffix);

// `stem`, an ASCII apostrophe and the ending of `c` formed for the stem.
std::string harmonize_suffix(std::string_view stem, SuffixCase c);

// Case names accepted from callers ("dat", "dative", "yonelme", ...),
// compared after lower-casing with the general Unicode mapping.
std::optional<SuffixCase> suffix_case_from_name(std::string_view name);

}  // namespace selvo

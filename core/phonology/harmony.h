// Vowel harmony checks and the consonant/vowel mutations of Turkish stems.
//
// All functions take one UTF-8 word and work per Unicode scalar value. None
// of them lowercases its input: case matters exactly as documented below.
// The mutations copy every character they do not change byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace selvo {

// True when the word's vowels are all back or all front (I/ı and â/û are
// back, İ/i and î are front). Words without vowels pass.
bool check_major_vowel_harmony(std::string_view word);

// True when every pair of neighbouring vowels passes: after an unrounded
// vowel another unrounded one (either case) must follow; after a rounded
// vowel only lowercase "a", "e", "u" or "ü" may follow. Fewer than two
// vowels pass.
bool check_minor_vowel_harmony(std::string_view word);

// Drops the vowel of the last syllable (ağız → ağz): when the word has at
// least three characters and its second-to-last one is lowercase ı, i, u or
// ü, that character is removed. Otherwise there is no result.
std::optional<std::string> apply_vowel_drop(std::string_view word);

// Softens a final voiceless stop (kitap → kitab, köpek → köpeğ); after n/N a
// final k/K becomes g/G instead of ğ/Ğ (renk → reng). Anything else is
// returned unchanged.
std::string apply_stem_softening(std::string_view word);

// Repeats the last character once (hak → hakk). The empty word stays empty.
std::string apply_consonant_doubling(std::string_view word);

// The mutation a stem undergoes before a suffix, as the generator asks for
// it: a vowel drop that applies wins (and is softened too when `soften` is
// set); otherwise doubling, then softening, then the stem as it is.
std::string apply_stem_mutation(std::string_view word, bool soften, bool drop_vowel,
                                bool double_consonant);

}  // namespace selvo

// Secret detection: credentials pasted into a prompt. Passwords and
// one-time codes announced in Turkish, API keys and tokens of well-known
// services by their published shapes, JSON web tokens, bearer tokens,
// private-key blocks, webhook and database URLs, assignments such as
// password=..., and any remaining word random enough to be a key. Every
// finding is a "SIFRE" entity whose text is exactly the input between its
// offsets.
#pragma once

#include <string_view>
#include <vector>

#include "pii/types.h"

namespace selvo {

// Appends the secrets of `text` to `out`, rule by rule. Never fails; every
// rule is linear in the text.
void detect_secrets(std::string_view text, std::vector<PiiEntity>& out);

// Shannon entropy of the code points of `s` in bits per character; 0 for
// an empty string.
double shannon_entropy(std::string_view s);

// At least three of: ASCII upper-case letters, ASCII lower-case letters,
// ASCII digits, characters that are neither letters nor ASCII digits.
bool has_mixed_character_classes(std::string_view s);

// Only ASCII digits, only ASCII lower-case or only ASCII upper-case letters.
bool is_suppressed_entropy_token(std::string_view s);

}  // namespace selvo

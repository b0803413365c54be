// Rewriting of chat-style Turkish into the standard written form: letters
// repeated for emphasis, common contractions and slang, and the clipped
// future and progressive verb forms. A guessed verb form is used only when
// the morphological analyser accepts it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace selvo {

// Lowercase informal word -> standard form.
const std::unordered_map<std::string_view, std::string_view>& INFORMAL_CONTRACTIONS();

class TurkishInformalNormalizer {
 public:
  static std::string normalize_text(std::string_view text);
  static std::string normalize_word(std::string_view word);
  static std::string deduplicate_repeated_chars(std::string_view word);
};

}  // namespace selvo

// Restoration of Turkish diacritics in text typed without them.
//
// Each word is first looked up in a table of frequent words; otherwise the
// spellings that differ in its ambiguous letters (c/ç, g/ğ, i/ı, o/ö, s/ş,
// u/ü; the first six of them) are generated and the one the morphological
// analyser accepts with the best score wins, spellings with more Turkish
// letters preferred. The case of the input word is restored on the result.
#pragma once

#include <string>
#include <string_view>

namespace selvo {

class TurkishDeasciifier {
 public:
  // Rewrites every run of letters; everything else is copied in place, so
  // a word with an apostrophe is handled as two words.
  static std::string deasciify(std::string_view text);
  static std::string deasciify_word(std::string_view word);

  // At most this many ambiguous letters of a word are considered.
  static constexpr size_t kMaxAmbiguous = 6;
};

}  // namespace selvo

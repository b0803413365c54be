// Spells an inflected word from a root and an ordered list of suffix tags.
//
// Each suffix's vowel follows vowel harmony (two-way e/a, four-way ı/i/u/ü,
// with front vowels for roots marked InverseHarmony where the suffix allows
// it), its first consonant follows voicing assimilation (d/t), buffer
// consonants follow vowels, and the root's softening, vowel drop or doubling
// is applied once, at the first suffix that needs it. Thirteen tags are
// known: A3pl, P1sg, P2sg, P3sg, Acc, Dat, Gen, Loc, Abl, Past, Fut, Prog,
// A1sg; any other tag is skipped. Neither tag order nor the root's part of
// speech is checked.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "morphology/root_lexicon.h"

namespace selvo {

class TurkishGenerator {
 public:
  // Reads the shared lexicon (built-in roots and the embedded text only).
  TurkishGenerator();
  // Reads `lexicon`, which must outlive the generator.
  explicit TurkishGenerator(const RootLexicon& lexicon) : lexicon_(&lexicon) {}

  // The word for the first lexicon item of `root` (an exact, case-sensitive
  // root key, not a lemma) followed by `tags`; nothing when the root is not
  // in the lexicon.
  std::optional<std::string> generate(std::string_view root, const std::vector<std::string>& tags) const;

  // The combined stem mutation of the phonology module.
  static std::string apply_stem_mutation(std::string_view stem, bool soften, bool drop_vowel, bool double_consonant);

 private:
  const RootLexicon* lexicon_;
};

}  // namespace selvo

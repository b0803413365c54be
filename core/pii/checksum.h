// Checksum detection: identifiers whose validity the characters themselves
// prove (TCKN, VKN, IBAN, payment cards, Turkish plates, VINs). A bare
// number is reported only when its validator accepts it; a number announced
// by a trigger word is reported on its length alone, at a lower confidence
// when its check digits are wrong.
#pragma once

#include <string_view>
#include <vector>

#include "pii/types.h"

namespace selvo {

class TurkishPiiEngine;

// The first detector of the pipeline. Appends entities grouped by rule, in
// rule order and, within a rule, in match order; reads no engine setting
// and leaves overlaps to the conflict resolution.
void detect_checksum_entities(const TurkishPiiEngine& engine, std::string_view text,
                              std::vector<PiiEntity>& out);

}  // namespace selvo

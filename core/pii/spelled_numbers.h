// Spelled-out numbers: a run of Turkish number words right after a trigger
// phrase ("TC kimlik no", "IBAN", "kart no", "CVV", "PIN", "müşteri no",
// "hesap no", ...) is reported in the category the trigger names. The words
// are not converted and no checksum is tested: the trigger alone decides.
#pragma once

#include <string_view>
#include <vector>

#include "pii/types.h"

namespace selvo {

// Step 3 of the pipeline. Appends to `out`; never fails.
void detect_spelled_numbers(std::string_view text, std::vector<PiiEntity>& out);

}  // namespace selvo

// Full Unicode case mappings of the root locale, for text that is not
// Turkish (codes, labels, identifiers): "i" and "ı" both upper-case to
// "I", "ß" becomes "SS". Turkish text uses phonology/alphabet.h instead.
#pragma once

#include <string>
#include <string_view>

namespace selvo {

std::string unicode_upper(std::string_view s);
std::string unicode_lower(std::string_view s);

}  // namespace selvo

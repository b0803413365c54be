// Text helpers shared by the personal-data detectors, the vault and the
// suffix rules: the general (locale-independent) Unicode case mappings,
// trimming of Unicode white space, the alphabetic test, a lowercase copy
// whose positions map back to the input, and byte/character offsets.
#pragma once

#include "util/case_map.h"
#include "util/utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace selvo::pii {

// Full Unicode case mappings of the root locale (not the Turkish ones).
using ::selvo::unicode_lower;
using ::selvo::unicode_upper;

// ASCII letters and every character with the Unicode Alphabetic property.
bool is_alphabetic(char32_t c) noexcept;

// `s` without leading and trailing Unicode white space.
using utf8::trim_space;
// The byte range [first, last) of trim_space(s) inside s.
using utf8::trim_space_range;

// The Turkish lowercase of a text together with, for every byte of the
// lowercase copy, the byte range of the input character it came from. A
// range found in `lower` is mapped back to whole input characters.
class LoweredText {
 public:
  explicit LoweredText(std::string_view text);
  const std::string& lower() const noexcept { return lower_; }
  // Input byte range of the lowercase byte range [start, end).
  size_t input_start(size_t lower_start) const noexcept;
  size_t input_end(size_t lower_end) const noexcept;

 private:
  std::string lower_;
  std::vector<uint32_t> src_start_;  // per lowercase byte
  std::vector<uint32_t> src_end_;
  size_t input_size_ = 0;
};

// Converts ascending byte offsets of `text` to character counts. Offsets
// that are not ascending are handled too, just more slowly.
class CharOffsets {
 public:
  explicit CharOffsets(std::string_view text) : text_(text) {}
  size_t chars_before(size_t byte_offset);

 private:
  std::string_view text_;
  size_t byte_ = 0;
  size_t chars_ = 0;
};

}  // namespace selvo::pii

#include "pii/text.h"

#include <unicode/uchar.h>

#include <memory>

#include "phonology/alphabet.h"
#include "util/error.h"
#include "util/utf8.h"

namespace selvo::pii {



bool is_alphabetic(char32_t c) noexcept {
  if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_ALPHABETIC);
}

LoweredText::LoweredText(std::string_view text) : input_size_(text.size()) {
  lower_.reserve(text.size());
  src_start_.reserve(text.size());
  src_end_.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    char32_t c = utf8::next(text, i);
    size_t before = lower_.size();
    append_turkish_lower(lower_, c);
    for (size_t k = before; k < lower_.size(); ++k) {
      src_start_.push_back(static_cast<uint32_t>(start));
      src_end_.push_back(static_cast<uint32_t>(i));
    }
  }
}

size_t LoweredText::input_start(size_t lower_start) const noexcept {
  return lower_start < src_start_.size() ? src_start_[lower_start] : input_size_;
}

size_t LoweredText::input_end(size_t lower_end) const noexcept {
  if (lower_end == 0) return 0;
  if (lower_end > src_end_.size()) return input_size_;
  return src_end_[lower_end - 1];
}

size_t CharOffsets::chars_before(size_t byte_offset) {
  if (byte_offset < byte_) {
    byte_ = 0;
    chars_ = 0;
  }
  while (byte_ < byte_offset && byte_ < text_.size()) {
    utf8::next(text_, byte_);
    ++chars_;
  }
  return chars_;
}

}  // namespace selvo::pii

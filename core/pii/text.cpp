#include "pii/text.h"

#include <unicode/uchar.h>
#include <unicode/ucasemap.h>

#include <memory>

#include "phonology/alphabet.h"
#include "util/error.h"
#include "util/utf8.h"

namespace selvo::pii {

namespace {

struct CaseMapDeleter {
  void operator()(UCaseMap* m) const { ucasemap_close(m); }
};

UCaseMap* root_case_map() {
  static const std::unique_ptr<UCaseMap, CaseMapDeleter> map = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCaseMap* m = ucasemap_open("", 0, &status);
    SELVO_ASSERT(U_SUCCESS(status) && m != nullptr, "ucasemap_open failed");
    return std::unique_ptr<UCaseMap, CaseMapDeleter>(m);
  }();
  return map.get();
}

using MapFn = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t, UErrorCode*);

// ICU refuses ill-formed UTF-8, so the text is first made well formed
// (every ill-formed sequence becomes U+FFFD).
std::string well_formed(std::string_view s) {
  if (utf8::is_valid(s)) return std::string(s);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) utf8::append(out, utf8::next(s, i));
  return out;
}

std::string map_case(std::string_view s, MapFn fn) {
  if (s.empty()) return {};
  std::string in = well_formed(s);
  SELVO_ASSERT(in.size() < static_cast<size_t>(INT32_MAX / 4), "text too long for case mapping");
  std::string out(in.size() + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = fn(root_case_map(), out.data(), static_cast<int32_t>(out.size()), in.data(),
                 static_cast<int32_t>(in.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<size_t>(n), '\0');
    status = U_ZERO_ERROR;
    n = fn(root_case_map(), out.data(), static_cast<int32_t>(out.size()), in.data(),
           static_cast<int32_t>(in.size()), &status);
  }
  SELVO_ASSERT(U_SUCCESS(status), std::string("case mapping failed: ") + u_errorName(status));
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace

std::string unicode_upper(std::string_view s) { return map_case(s, &ucasemap_utf8ToUpper); }
std::string unicode_lower(std::string_view s) { return map_case(s, &ucasemap_utf8ToLower); }


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

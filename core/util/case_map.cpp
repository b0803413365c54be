#include "util/case_map.h"

#include <unicode/ucasemap.h>

#include <cstdint>
#include <memory>

#include "util/error.h"
#include "util/utf8.h"

namespace selvo {

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

}  // namespace selvo

// The outcome of loading an embedded resource: the loaded value or the
// loader's own error record (TokenizerError, WeightsError), which carries
// more structure than the library-wide Error.
#pragma once

#include <utility>
#include <variant>

#include "util/error.h"

namespace selvo {

template <class T, class E>
class [[nodiscard]] LoadResult {
 public:
  LoadResult(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  LoadResult(E error) : v_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const noexcept { return v_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }

  const T& value() const& {
    SELVO_ASSERT(ok(), "value() of a failed load");
    return std::get<0>(v_);
  }
  T&& value() && {
    SELVO_ASSERT(ok(), "value() of a failed load");
    return std::get<0>(std::move(v_));
  }
  const E& error() const& {
    SELVO_ASSERT(!ok(), "error() of a successful load");
    return std::get<1>(v_);
  }

 private:
  std::variant<T, E> v_;
};

}  // namespace selvo

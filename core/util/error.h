// Error values of the library.
//
// Operations that can fail for reasons the caller controls (a bad phrase, an
// unknown name, a file that cannot be read, a value that cannot be written as
// JSON) return Result<T>, which holds either the value or an Error. A broken
// invariant inside the library is not the caller's fault: it is thrown as
// InternalFault (see SELVO_ASSERT) and the binding layer turns it into the
// module's own BaseException-derived type. Nothing in the library aborts.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace selvo {

enum class ErrorKind {
  Domain,  // invalid value for the operation (ValueError in Python)
  Type,    // value of the wrong kind where the operation says so (TypeError)
  Io,      // a file could not be read (OSError)
  Json,    // a JSON result could not be written (ValueError)
};

struct Error {
  ErrorKind kind = ErrorKind::Domain;
  std::string message;
  int os_errno = 0;  // set for ErrorKind::Io

  static Error domain(std::string msg) { return {ErrorKind::Domain, std::move(msg), 0}; }
  static Error type(std::string msg) { return {ErrorKind::Type, std::move(msg), 0}; }
  static Error io(int err, std::string msg) { return {ErrorKind::Io, std::move(msg), err}; }
  static Error json(std::string msg) { return {ErrorKind::Json, std::move(msg), 0}; }

  bool operator==(const Error&) const = default;
};

// Either a value or an Error.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : v_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const noexcept { return v_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }

  const T& value() const& { check(); return std::get<0>(v_); }
  T& value() & { check(); return std::get<0>(v_); }
  T&& value() && { check(); return std::get<0>(std::move(v_)); }
  const Error& error() const& { return std::get<1>(v_); }

 private:
  void check() const;
  std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : err_(std::move(error)), ok_(false) {}
  bool ok() const noexcept { return ok_; }
  explicit operator bool() const noexcept { return ok_; }
  const Error& error() const& { return err_; }

 private:
  Error err_;
  bool ok_ = true;
};

// A broken invariant of the library itself.
class InternalFault : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void internal_fault(const char* file, int line, const std::string& what);

#define SELVO_ASSERT(cond, what)                                   \
  do {                                                             \
    if (!(cond)) ::selvo::internal_fault(__FILE__, __LINE__, what); \
  } while (0)

template <class T>
void Result<T>::check() const {
  if (!ok()) internal_fault(__FILE__, __LINE__, "value() of a failed Result: " + error().message);
}

}  // namespace selvo

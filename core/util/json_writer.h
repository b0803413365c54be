// A small streaming JSON writer for compact output: no white space, keys in
// the order they are written, non-ASCII text as raw UTF-8, control
// characters escaped, 64-bit floats in the shortest form that reads back as
// the same value and 32-bit floats in the shortest form that reads back as
// the same 32-bit value (whole numbers keep ".0": 1.0, 0.95), non-finite
// numbers as null.
//
// Writing a string that is not well-formed UTF-8 makes the whole result an
// error (finish() returns it). Calling the writer out of order (a value
// where a key is due, closing what is not open) is a bug in the caller and
// raises InternalFault.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/error.h"

namespace selvo {

class JsonWriter {
 public:
  JsonWriter& begin_object();
  JsonWriter& end_object();
  JsonWriter& begin_array();
  JsonWriter& end_array();
  JsonWriter& key(std::string_view k);

  JsonWriter& value(std::string_view s);
  JsonWriter& value(const char* s) { return value(std::string_view(s)); }
  JsonWriter& value(const std::string& s) { return value(std::string_view(s)); }
  JsonWriter& value(bool b);
  JsonWriter& value(int64_t n);
  JsonWriter& value(uint64_t n);
  JsonWriter& value(int n) { return value(static_cast<int64_t>(n)); }
  JsonWriter& value(double d);
  JsonWriter& value(float f);
  JsonWriter& null();

  // The finished document: every container closed, exactly one top-level
  // value, every string well formed.
  Result<std::string> finish() &&;

 private:
  enum class Frame : uint8_t { Object, Array };
  void before_value();
  void write_string(std::string_view s);

  std::string out_;
  std::vector<Frame> stack_;
  std::vector<bool> first_;  // per open container: nothing written yet
  bool key_pending_ = false;
  bool have_root_ = false;
  std::string error_;
};

// Appends `s` as a JSON string literal. False if `s` is not well-formed
// UTF-8 (then nothing sensible was appended).
bool append_json_string(std::string& out, std::string_view s);
// The number forms used by the writer.
void append_json_number(std::string& out, double d);
void append_json_number(std::string& out, float f);

}  // namespace selvo

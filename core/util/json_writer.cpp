#include "util/json_writer.h"

#include <charconv>
#include <cmath>

#include "util/utf8.h"

namespace selvo {

namespace {

template <class F>
void append_float(std::string& out, F v) {
  if (!std::isfinite(v)) {
    out += "null";
    return;
  }
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
  out += s;
  if (s.find_first_of(".e") == std::string_view::npos) out += ".0";
}

}  // namespace

bool append_json_string(std::string& out, std::string_view s) {
  if (!utf8::is_valid(s)) return false;
  static const char* const kHex = "0123456789abcdef";
  out += '"';
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return true;
}

void append_json_number(std::string& out, double d) { append_float(out, d); }
void append_json_number(std::string& out, float f) { append_float(out, f); }

void JsonWriter::before_value() {
  if (stack_.empty()) {
    SELVO_ASSERT(!have_root_, "JsonWriter: a second top-level value");
    have_root_ = true;
    return;
  }
  if (stack_.back() == Frame::Object) {
    SELVO_ASSERT(key_pending_, "JsonWriter: a value inside an object needs a key first");
    key_pending_ = false;
    return;
  }
  if (!first_.back()) out_ += ',';
  first_.back() = false;
}

JsonWriter& JsonWriter::begin_object() {
  before_value();
  out_ += '{';
  stack_.push_back(Frame::Object);
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::end_object() {
  SELVO_ASSERT(!stack_.empty() && stack_.back() == Frame::Object && !key_pending_,
               "JsonWriter: end_object without an open object");
  out_ += '}';
  stack_.pop_back();
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::begin_array() {
  before_value();
  out_ += '[';
  stack_.push_back(Frame::Array);
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::end_array() {
  SELVO_ASSERT(!stack_.empty() && stack_.back() == Frame::Array, "JsonWriter: end_array without an open array");
  out_ += ']';
  stack_.pop_back();
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view k) {
  SELVO_ASSERT(!stack_.empty() && stack_.back() == Frame::Object && !key_pending_,
               "JsonWriter: a key outside an object");
  if (!first_.back()) out_ += ',';
  first_.back() = false;
  write_string(k);
  out_ += ':';
  key_pending_ = true;
  return *this;
}

void JsonWriter::write_string(std::string_view s) {
  if (!append_json_string(out_, s)) {
    if (error_.empty()) error_ = "cannot write JSON: a string is not valid UTF-8";
    out_ += "\"\"";
  }
}

JsonWriter& JsonWriter::value(std::string_view s) {
  before_value();
  write_string(s);
  return *this;
}

JsonWriter& JsonWriter::value(bool b) {
  before_value();
  out_ += b ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::value(int64_t n) {
  before_value();
  out_ += std::to_string(n);
  return *this;
}

JsonWriter& JsonWriter::value(uint64_t n) {
  before_value();
  out_ += std::to_string(n);
  return *this;
}

JsonWriter& JsonWriter::value(double d) {
  before_value();
  append_float(out_, d);
  return *this;
}

JsonWriter& JsonWriter::value(float f) {
  before_value();
  append_float(out_, f);
  return *this;
}

JsonWriter& JsonWriter::null() {
  before_value();
  out_ += "null";
  return *this;
}

Result<std::string> JsonWriter::finish() && {
  SELVO_ASSERT(stack_.empty(), "JsonWriter: finish() with an open container");
  SELVO_ASSERT(have_root_, "JsonWriter: finish() without a value");
  if (!error_.empty()) return Error::json(error_);
  return std::move(out_);
}

}  // namespace selvo

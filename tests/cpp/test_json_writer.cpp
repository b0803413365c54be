#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "util/error.h"
#include "util/json_writer.h"

namespace selvo {
namespace {

std::string finish(JsonWriter&& w) {
  Result<std::string> r = std::move(w).finish();
  EXPECT_TRUE(r.ok());
  return r.ok() ? r.value() : std::string();
}

TEST(JsonWriter, CompactNestedKeepsKeyOrder) {
  JsonWriter w;
  w.begin_object();
  w.key("z").value(int64_t{-3});
  w.key("a").begin_array().value(true).null().value(uint64_t{18446744073709551615u}).end_array();
  w.key("m").begin_object().end_object();
  w.key("e").begin_array().end_array();
  w.end_object();
  EXPECT_EQ(finish(std::move(w)), R"({"z":-3,"a":[true,null,18446744073709551615],"m":{},"e":[]})");
}

TEST(JsonWriter, StringEscapes) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"düz metin İ ğ 𐐀", "\"düz metin İ ğ 𐐀\""},
      {"a\"b\\c", R"("a\"b\\c")"},
      {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
      {std::string("\x01\x1f\x7f", 3), R"("\u0001\u001f\u007f")"},
      {std::string("a\0b", 3), R"("a\u0000b")"},
      {"/", "\"/\""},
  };
  for (const auto& c : cases) {
    JsonWriter w;
    w.value(c.in);
    EXPECT_EQ(finish(std::move(w)), c.out);
  }
}

TEST(JsonWriter, InvalidUtf8IsAnError) {
  for (std::string bad : {std::string("\xff"), std::string("a\xc3"), std::string("\xed\xa0\x80")}) {
    JsonWriter w;
    w.begin_object().key("k").value(bad).end_object();
    Result<std::string> r = std::move(w).finish();
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, ErrorKind::Json);
  }
  JsonWriter w;  // in a key as well
  w.begin_object().key("\xff").value(1).end_object();
  EXPECT_FALSE(std::move(w).finish().ok());
}

TEST(JsonWriter, FloatsShortestRoundTrip) {
  struct DoubleCase {
    double v;
    const char* out;
  };
  const DoubleCase doubles[] = {
      {1.0, "1.0"},   {0.95, "0.95"}, {-0.0, "-0.0"}, {0.1 + 0.2, "0.30000000000000004"},
      {1e300, "1e+300"}, {123456.0, "123456.0"}, {5e-324, "5e-324"},
      {std::numeric_limits<double>::infinity(), "null"}, {std::nan(""), "null"},
  };
  for (const auto& c : doubles) {
    JsonWriter w;
    w.value(c.v);
    EXPECT_EQ(finish(std::move(w)), c.out) << c.v;
  }
  struct FloatCase {
    float v;
    const char* out;
  };
  // 32-bit values use their own shortest form: 0.95f is not 0.949999988079071.
  const FloatCase floats[] = {{0.95f, "0.95"}, {0.99f, "0.99"}, {1.0f, "1.0"}, {0.1f, "0.1"},
                              {-std::numeric_limits<float>::infinity(), "null"}};
  for (const auto& c : floats) {
    JsonWriter w;
    w.value(c.v);
    EXPECT_EQ(finish(std::move(w)), c.out) << c.v;
  }
}

TEST(JsonWriter, MisuseIsAnInternalFault) {
  {
    JsonWriter w;
    w.begin_object();
    EXPECT_THROW(w.value(1), InternalFault);  // value without a key
  }
  {
    JsonWriter w;
    EXPECT_THROW(w.key("k"), InternalFault);  // key outside an object
  }
  {
    JsonWriter w;
    w.begin_array();
    EXPECT_THROW(w.end_object(), InternalFault);
  }
  {
    JsonWriter w;
    w.begin_array();
    EXPECT_THROW(std::move(w).finish(), InternalFault);  // unclosed
  }
  {
    JsonWriter w;
    w.value(1);
    EXPECT_THROW(w.value(2), InternalFault);  // two top-level values
  }
}

}  // namespace
}  // namespace selvo

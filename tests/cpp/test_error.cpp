#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "util/error.h"

namespace selvo {
namespace {

Result<int> parse_digit(char c) {
  if (c < '0' || c > '9') return Error::domain(std::string("not a digit: ") + c);
  return c - '0';
}

TEST(Result, HoldsValueOrError) {
  Result<int> ok = parse_digit('7');
  ASSERT_TRUE(ok.ok());
  EXPECT_EQ(ok.value(), 7);

  Result<int> bad = parse_digit('x');
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().kind, ErrorKind::Domain);
  EXPECT_EQ(bad.error().message, "not a digit: x");
}

TEST(Result, ErrorKindsKeepTheirDetails) {
  struct Case {
    Error error;
    ErrorKind kind;
    int os_errno;
  } cases[] = {
      {Error::domain("d"), ErrorKind::Domain, 0},
      {Error::type("t"), ErrorKind::Type, 0},
      {Error::io(2, "No such file or directory"), ErrorKind::Io, 2},
      {Error::json("j"), ErrorKind::Json, 0},
  };
  for (const Case& c : cases) {
    Result<std::string> r = c.error;
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, c.kind);
    EXPECT_EQ(r.error().os_errno, c.os_errno);
    EXPECT_EQ(r.error(), c.error);
  }
}

TEST(Result, ValueOfAFailureIsAnInternalFaultNotACrash) {
  Result<int> bad = Error::domain("nope");
  EXPECT_THROW((void)bad.value(), InternalFault);
  try {
    (void)bad.value();
  } catch (const InternalFault& e) {
    EXPECT_NE(std::string(e.what()).find("nope"), std::string::npos);
  }
}

TEST(Result, VoidResults) {
  Result<void> ok;
  EXPECT_TRUE(ok.ok());
  Result<void> bad = Error::io(13, "Permission denied");
  EXPECT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().os_errno, 13);
}

TEST(Result, MoveOnlyValues) {
  Result<std::unique_ptr<int>> r = std::make_unique<int>(4);
  std::unique_ptr<int> p = std::move(r).value();
  EXPECT_EQ(*p, 4);
}

TEST(Assert, ThrowsWithLocation) {
  try {
    SELVO_ASSERT(1 + 1 == 3, "arithmetic is broken");
    FAIL() << "no throw";
  } catch (const InternalFault& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("arithmetic is broken"), std::string::npos);
    EXPECT_NE(what.find("test_error.cpp:"), std::string::npos);
  }
  EXPECT_NO_THROW(SELVO_ASSERT(true, "fine"));
}

}  // namespace
}  // namespace selvo

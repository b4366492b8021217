// Result: reading the side that is not held ends the process instead of
// throwing, so that code which must not throw can use every accessor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/result.hpp"

namespace zevo {
namespace {

TEST(Result, HeldSidesMoveOut) {
  Result<std::unique_ptr<int>> value(std::make_unique<int>(7));
  ASSERT_TRUE(value.ok());
  const std::unique_ptr<int> taken = std::move(value).value();
  EXPECT_EQ(*taken, 7);

  Result<int> failed = fail("no");
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(std::move(failed).error(), "no");
}

// An exception would be caught here and end the child with code 0, which
// is no death; only the abort passes.
#define ZEVO_EXPECT_ABORT(statement)                  \
  EXPECT_DEATH(                                       \
      {                                               \
        try {                                         \
          (void)(statement);                          \
        } catch (...) {                               \
          std::exit(0);                               \
        }                                             \
      },                                              \
      "")

TEST(ResultDeathTest, ReadingTheOtherSideAbortsInsteadOfThrowing) {
  Result<int> failed = fail("no");
  Result<int> value = 1;
  ZEVO_EXPECT_ABORT(failed.value());
  ZEVO_EXPECT_ABORT(*failed);
  ZEVO_EXPECT_ABORT(std::move(failed).value());
  ZEVO_EXPECT_ABORT(value.error());
  ZEVO_EXPECT_ABORT(std::move(value).error());
}

}  // namespace
}  // namespace zevo

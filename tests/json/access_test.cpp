#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "json/json.hpp"

namespace zevo::json {
namespace {

Value parsed(std::string_view text) {
  auto result = parse(text);
  EXPECT_TRUE(result.ok()) << text;
  return result.ok() ? *result : Value();
}

TEST(Access, RawReadsGiveNullForAnythingMissing) {
  const Value v = parsed(R"({"a":{"b":[10,20]},"n":null,"s":"x"})");
  EXPECT_TRUE(get(get(v, "a"), "b").is_array());
  EXPECT_TRUE(get(v, "missing").is_null());
  EXPECT_TRUE(get(get(v, "s"), "b").is_null());  // key in a string
  EXPECT_TRUE(get(get(get(v, "x"), "y"), "z").is_null());
  EXPECT_TRUE(get(parsed("[1]"), "0").is_null());
  EXPECT_TRUE(get(v, "n").is_null());
  // Nothing is inserted by a read.
  EXPECT_EQ(v.size(), 3u);
}

TEST(Access, TypedReadsCheckKindAndRange) {
  struct Case {
    const char* text;
    std::optional<uint32_t> u32;
    std::optional<int32_t> i32;
    std::optional<uint64_t> u64;
  };
  const auto none = std::nullopt;
  const Case cases[] = {
      {"0", 0u, 0, 0u},
      {"255", 255u, 255, 255u},
      {"256", 256u, 256, 256u},
      {"-1", none, -1, none},
      {"3.0", none, none, none},
      {"1e2", none, none, none},
      {"-0", none, none, none},
      {"4294967295", 4294967295u, none, 4294967295u},
      {"4294967296", none, none, 4294967296u},
      {"2147483647", 2147483647u, 2147483647, 2147483647u},
      {"2147483648", 2147483648u, none, 2147483648u},
      {"-2147483648", none, std::numeric_limits<int32_t>::min(), none},
      {"-2147483649", none, none, none},
      {"18446744073709551615", none, none, 18446744073709551615u},
      {"\"5\"", none, none, none},
      {"true", none, none, none},
      {"null", none, none, none},
      {"[1]", none, none, none},
  };
  for (const Case& c : cases) {
    const Value v = parsed(c.text);
    EXPECT_EQ(as_u32(v), c.u32) << c.text;
    EXPECT_EQ(as_i32(v), c.i32) << c.text;
    EXPECT_EQ(as_u64(v), c.u64) << c.text;
  }
  // A signed integer kind holding a non-negative value, as code may build it.
  EXPECT_EQ(as_u32(Value(int64_t{7})), 7u);
  EXPECT_EQ(as_i32(Value(int64_t{-7})), -7);
}

TEST(Access, DescribeNamesValuesAsDecoderTextsDo) {
  struct Case {
    Value value;
    std::string text;
  };
  const Case cases[] = {
      {Value(), "null"},
      {Value(true), "boolean `true`"},
      {Value(false), "boolean `false`"},
      {Value(uint64_t{5}), "integer `5`"},
      {Value(int64_t{-5}), "integer `-5`"},
      {Value(1.5), "floating point `1.5`"},
      {Value(100.0), "floating point `100.0`"},
      {Value(1e100), "floating point `1e100`"},
      {Value(-0.0), "floating point `-0.0`"},
      {Value(std::numeric_limits<double>::infinity()), "floating point `inf`"},
      {Value(std::numeric_limits<double>::quiet_NaN()), "floating point `NaN`"},
      {Value("text"), "string \"text\""},
      {Value::array(), "sequence"},
      {Value::object(), "map"},
      // Quoted as a debug text: escapes, and code points for what cannot be shown.
      {Value("a\"b\\c\n\t\r"), R"(string "a\"b\\c\n\t\r")"},
      {Value(std::string("\0\x01\x7F", 3)), R"(string "\0\u{1}\u{7f}")"},
      {Value("it's ğ ş 😀"), "string \"it's ğ ş 😀\""},
      {Value("i\xCC\x87 \xE2\x80\x8B \xC2\xA0 \xE2\x80\xA8"), R"(string "i\u{307} \u{200b} \u{a0} \u{2028}")"},
  };
  for (const Case& c : cases) EXPECT_EQ(describe(c.value), c.text);
}

}  // namespace
}  // namespace zevo::json

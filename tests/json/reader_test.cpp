#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "json/json.hpp"
#include "json/mixed_text.hpp"

namespace zevo::json {
namespace {

std::string parse_error(std::string_view text) {
  auto result = parse(text);
  return result.ok() ? std::string("(accepted)") : result.error();
}

TEST(Reader, ErrorTexts) {
  struct Case {
    std::string body;
    std::string error;
  };
  const Case cases[] = {
      {"", "EOF while parsing a value at line 1 column 0"},
      {"   ", "EOF while parsing a value at line 1 column 3"},
      {"{} x", "trailing characters at line 1 column 4"},
      {"\xEF\xBB\xBF{}", "expected value at line 1 column 1"},
      {std::string("{}\0", 3), "trailing characters at line 1 column 3"},
      {std::string(128, '['), "recursion limit exceeded at line 1 column 128"},
      {"1e400", "number out of range at line 1 column 5"},
      {"1.", "EOF while parsing a value at line 1 column 2"},
      {"-", "EOF while parsing a value at line 1 column 1"},
      {"nul", "EOF while parsing a value at line 1 column 3"},
      {"nulx", "expected ident at line 1 column 4"},
      {"[1,]", "trailing comma at line 1 column 4"},
      {R"({"a":1,})", "trailing comma at line 1 column 8"},
      {"[1 2]", "expected `,` or `]` at line 1 column 4"},
      {"{1:2}", "key must be a string at line 1 column 2"},
      {"[1,2", "EOF while parsing a list at line 1 column 4"},
      {R"({"a":1)", "EOF while parsing an object at line 1 column 6"},
      {R"("abc)", "EOF while parsing a string at line 1 column 4"},
      {R"("\ud800")", "unexpected end of hex escape at line 1 column 8"},
      {R"("\udc00")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\u12G4")", "invalid escape at line 1 column 7"},
      {"\"a\nb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"},
      // The rest of the family, and where each reports.
      {R"({"a" 1})", "expected `:` at line 1 column 6"},
      {R"({"a":1 "b":2})", "expected `,` or `}` at line 1 column 8"},
      {"[1.x]", "invalid number at line 1 column 4"},
      {"01", "invalid number at line 1 column 2"},
      {"-x", "invalid number at line 1 column 2"},
      {"1e", "EOF while parsing a value at line 1 column 2"},
      {"1e+x", "invalid number at line 1 column 4"},
      {"[", "EOF while parsing a list at line 1 column 1"},
      {"{", "EOF while parsing an object at line 1 column 1"},
      {R"({"a")", "EOF while parsing an object at line 1 column 4"},
      {R"({"a":)", "EOF while parsing a value at line 1 column 5"},
      {"[1,", "EOF while parsing a value at line 1 column 3"},
      {"{,}", "key must be a string at line 1 column 2"},
      {R"({"a":1,,})", "key must be a string at line 1 column 8"},
      {"[,1]", "expected value at line 1 column 2"},
      {"]", "expected value at line 1 column 1"},
      {R"("\x")", "invalid escape at line 1 column 3"},
      {R"("\u12)", "EOF while parsing a string at line 1 column 5"},
      {R"("\)", "EOF while parsing a string at line 1 column 2"},
      {R"("\ud800\u0041")", "lone leading surrogate in hex escape at line 1 column 13"},
      {R"("\ud800\n")", "unexpected end of hex escape at line 1 column 9"},
      {R"("\ud800)", "EOF while parsing a string at line 1 column 7"},
      {"1e9999999999", "number out of range at line 1 column 12"},
      {"-1e400", "number out of range at line 1 column 6"},
      {"truex", "trailing characters at line 1 column 5"},
      {"fals", "EOF while parsing a value at line 1 column 4"},
      // Lines count line feeds only; the column restarts after each.
      {"[\n1,\r\n  x]", "expected value at line 3 column 3"},
      {"{\n\n}\n\n}", "trailing characters at line 5 column 1"},
      {"[1,\n]", "trailing comma at line 2 column 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_error(c.body), c.error) << "body: " << c.body;
}

TEST(Reader, AcceptsOnlyWhiteSpaceAfterTheValue) {
  for (const char* body : {"{}\n", "{} \t\r\n", " \n{}", "null", "[]", "\"\"", "0"}) {
    EXPECT_TRUE(parse(body).ok()) << body;
  }
  // Form feed and vertical tab are not JSON white space.
  EXPECT_EQ(parse_error("{}\f"), "trailing characters at line 1 column 3");
  EXPECT_EQ(parse_error("\v{}"), "expected value at line 1 column 1");
}

std::string nested(int depth, char open, char close) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open == '{' ? "{\"a\":" : "[";
  text += "1";
  for (int i = 0; i < depth; ++i) text.push_back(close);
  return text;
}

TEST(Reader, NestingLimit) {
  EXPECT_TRUE(parse(nested(127, '[', ']')).ok());
  EXPECT_TRUE(parse(nested(127, '{', '}')).ok());
  EXPECT_EQ(parse_error(nested(128, '[', ']')), "recursion limit exceeded at line 1 column 128");
  // Objects and arrays count together; the failing bracket is the 128th open one.
  std::string mixed;
  for (int i = 0; i < 64; ++i) mixed += "[{\"k\":";
  EXPECT_EQ(parse_error(mixed), "recursion limit exceeded at line 1 column " + std::to_string(mixed.rfind('{') + 1));
  // Closed containers free their level again.
  std::string siblings = "[";
  for (int i = 0; i < 1000; ++i) siblings += nested(120, '[', ']') + ",";
  siblings += "1]";
  EXPECT_TRUE(parse(siblings).ok());
  // Far deeper input fails at the limit without exhausting the stack.
  EXPECT_EQ(parse_error(std::string(1'000'000, '[')), "recursion limit exceeded at line 1 column 128");
}

TEST(Reader, BuildsTheTree) {
  auto result = parse(R"( {"b": [1, -2, 3.5, true, false, null], "a": {"x": "y"}, "b2": {}} )");
  ASSERT_TRUE(result.ok()) << result.error();
  const Value& v = *result;
  ASSERT_TRUE(v.is_object());
  EXPECT_EQ(v.size(), 3u);
  EXPECT_EQ(v["a"]["x"], "y");
  const Value& b = v["b"];
  ASSERT_EQ(b.size(), 6u);
  EXPECT_TRUE(b[0].is_number_unsigned());
  EXPECT_EQ(b[1].type(), Value::value_t::number_integer);
  EXPECT_EQ(b[1].get<int64_t>(), -2);
  EXPECT_TRUE(b[2].is_number_float());
  EXPECT_EQ(b[3], true);
  EXPECT_EQ(b[4], false);
  EXPECT_TRUE(b[5].is_null());
  EXPECT_TRUE(v["b2"].is_object());
  EXPECT_TRUE(v["b2"].empty());
}

TEST(Reader, RepeatedKeyKeepsTheLastValue) {
  struct Case {
    const char* body;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"a":1,"a":2})", R"({"a":2})"},
      {R"({"a":[1,2],"a":"s"})", R"({"a":"s"})"},
      {R"({"a":{"x":1},"a":{"y":2}})", R"({"a":{"y":2}})"},
      {R"({"a":"long text","a":null})", R"({"a":null})"},
  };
  for (const Case& c : cases) {
    auto result = parse(c.body);
    ASSERT_TRUE(result.ok()) << c.body;
    EXPECT_EQ(to_text(*result), c.expected);
  }
}

TEST(Reader, Numbers) {
  struct Case {
    const char* text;
    Value::value_t kind;
    const char* written;
  };
  using K = Value::value_t;
  const Case cases[] = {
      {"0", K::number_unsigned, "0"},
      {"-0", K::number_float, "-0.0"},
      {"-0.0", K::number_float, "-0.0"},
      {"18446744073709551615", K::number_unsigned, "18446744073709551615"},
      {"18446744073709551616", K::number_float, "1.8446744073709552e19"},
      {"-1", K::number_integer, "-1"},
      {"-9223372036854775808", K::number_integer, "-9223372036854775808"},
      {"-9223372036854775809", K::number_float, "-9.223372036854776e18"},
      {"1.0", K::number_float, "1.0"},
      {"1e2", K::number_float, "100.0"},
      {"1E+2", K::number_float, "100.0"},
      {"0.1", K::number_float, "0.1"},
      {"1e-400", K::number_float, "0.0"},
      {"-1e-400", K::number_float, "-0.0"},
      {"5e-324", K::number_float, "5e-324"},
      {"1.7976931348623157e308", K::number_float, "1.7976931348623157e308"},
      {"0e99999999999", K::number_float, "0.0"},
      {"1e-99999999999", K::number_float, "0.0"},
      // Correct rounding: the halfway case rounds to even, the digit after it decides.
      {"9007199254740993", K::number_unsigned, "9007199254740993"},
      {"9007199254740993.0", K::number_float, "9007199254740992.0"},
      {"9007199254740993.00001", K::number_float, "9007199254740994.0"},
      {"2.2250738585072011e-308", K::number_float, "2.225073858507201e-308"},
      {"0.000000000000000000000000000000000000000000001e45", K::number_float, "1.0"},
  };
  for (const Case& c : cases) {
    auto result = parse(c.text);
    ASSERT_TRUE(result.ok()) << c.text << ": " << result.error();
    EXPECT_EQ(result->type(), c.kind) << c.text;
    EXPECT_EQ(to_text(*result), c.written) << c.text;
  }
  EXPECT_TRUE(std::signbit(parse("-0")->get<double>()));
}

TEST(Reader, StringEscapes) {
  struct Case {
    const char* body;
    std::string text;
  };
  const Case cases[] = {
      {R"("\"\\\/\b\f\n\r\t")", "\"\\/\b\f\n\r\t"},
      {R"("\u0041\u00e7\u011F")", "A\xC3\xA7\xC4\x9F"},
      {R"("\u0000")", std::string("\0", 1)},
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
      {R"("\uDBFF\uDFFF")", "\xF4\x8F\xBF\xBF"},
      {"\"\x7F \xC3\xBC \xE2\x80\xA8\"", "\x7F \xC3\xBC \xE2\x80\xA8"},
      {"\"\"", ""},
  };
  for (const Case& c : cases) {
    auto result = parse(c.body);
    ASSERT_TRUE(result.ok()) << c.body << ": " << result.error();
    EXPECT_EQ(result->get<std::string>(), c.text) << c.body;
  }
}

// Texts of every length up to a few wide blocks, with escapes at every place
// (across block edges, a backslash as the last byte of a block, an escape as
// the last thing before the quote), read back through the writer's form and
// with more or less text after the string.
TEST(Reader, StringsAcrossBlockEdges) {
  const std::string pieces[] = {"\"", "\\", "\n", "\t", std::string("\0", 2), "ş", "😀", "\x7f", "/"};
  MixedText texts(12345, pieces);
  for (int length = 0; length < 300; ++length) {
    for (int variant = 0; variant < 6; ++variant) {
      const std::string text = texts.next(length);
      Writer writer;
      writer.string(text);
      const std::string body = writer.text();
      // After the string: nothing, a little, or more than a block.
      const std::string tails[] = {"", " ", std::string(70, ' ')};
      const std::string& tail = tails[variant % 3];
      auto result = parse(body + tail);
      ASSERT_TRUE(result.ok()) << body << ": " << result.error();
      ASSERT_EQ(result->get<std::string>(), text) << body;
      // The same string as a key and inside an array.
      auto wrapped = parse("[{" + body + ":" + body + "}]" + tail);
      ASSERT_TRUE(wrapped.ok()) << body;
      ASSERT_EQ(wrapped->at(0).at(text), text);
    }
  }
}

TEST(Reader, StringErrorsAtEveryOffset) {
  for (std::size_t offset = 0; offset < 200; ++offset) {
    const std::string before(offset, 'a');
    const std::string column = std::to_string(offset + 3);
    EXPECT_EQ(parse_error("\"" + before + "\\q" + std::string(100, 'b') + "\""), "invalid escape at line 1 column " + column);
    EXPECT_EQ(parse_error("\"" + before + "\x01" + std::string(100, 'b') + "\""),
              "control character (\\u0000-\\u001F) found while parsing a string at line 1 column " +
                  std::to_string(offset + 2));
    EXPECT_EQ(parse_error("\"" + before + "\\"), "EOF while parsing a string at line 1 column " + std::to_string(offset + 2));
    EXPECT_EQ(parse_error("\"" + before + "\\\""), "EOF while parsing a string at line 1 column " + column);
    EXPECT_EQ(parse_error("\"" + before), "EOF while parsing a string at line 1 column " + std::to_string(offset + 1));
  }
}

TEST(Reader, EveryControlCharacterInAStringFails) {
  for (int byte = 0; byte < 0x20; ++byte) {
    const std::string body = std::string("[\"ab") + static_cast<char>(byte) + "\"]";
    const std::string line = byte == '\n' ? "2 column 0" : "1 column 5";
    EXPECT_EQ(parse_error(body), "control character (\\u0000-\\u001F) found while parsing a string at line " + line)
        << byte;
  }
}

// The read in place against the ordinary read of the same text: the same
// value or the same error text, whether a string took the buffer or not (and
// bytes past the text in the buffer are never read).
struct InPlace {
  std::string outcome;  // the value as text, or the error
  bool taken = false;   // the buffer went to a string
};

InPlace read_in_place(const std::string& text) {
  std::string buffer = text + "]]\"\\";
  auto result = parse_in_place(buffer, text.size());
  return {result.ok() ? to_text(*result) : result.error(), result.ok() && buffer.empty()};
}

std::string outcome(const std::string& text) {
  auto result = parse(text);
  return result.ok() ? to_text(*result) : result.error();
}

TEST(Reader, InPlaceReadsAsTheOrdinaryRead) {
  const std::string plain(200, 'p');
  std::string escaped;
  for (int i = 0; i < 8; ++i) escaped += R"(x\n\"\u00e7\ud83d\ude00\/ab\tcd)";
  const std::string half(100, 'h');
  const std::string in_t = "{\"a\":\n1,\"text\":\"";  // a member on the second line, 16 bytes in
  struct Case {
    std::string text;
    bool taken;
  };
  const Case cases[] = {
      {R"({"jsonrpc":"2.0","text":")" + plain + R"("})", true},
      {R"({"jsonrpc":"2.0","text":")" + escaped + R"("})", true},
      {"{\"a\":\n\n 1,\n\"t\":\"" + escaped + "\"}\n", true},
      {"[1,2,3,4,5,6,7,\n\"" + plain + "\",8]", true},
      {std::string(16, '[') + "\"" + escaped + "\"" + std::string(16, ']'), true},
      // The body must begin 16 bytes in.
      {std::string(14, ' ') + "\"" + plain + "\"", false},
      {std::string(15, ' ') + "\"" + plain + "\"", true},
      {R"({"t":")" + plain + R"("})", false},
      {R"({"padding-padding":")" + plain + R"(","t":")" + plain + R"("})", false},  // no string of half the text
      // Repeated keys: the string taken is replaced, or a neighbour is.
      {R"({"padding-padding":0,"t":")" + escaped + R"(","t":2})", false},
      {R"({"padding-padding":0,"t":")" + escaped + R"(","u":1,"u":[2]})", false},
      {R"({"padding-padding":{"t":")" + plain + R"("},"padding-padding":null})", false},
      // Errors after the string, on its line and on later lines, and inside it.
      {"{\"a\":\n1,\n\"text\":\"" + escaped + "\",\n x}", false},
      {in_t + plain + "\" x}", false},
      {in_t + escaped + "\"", false},
      {in_t + escaped + "\"}\n\n}", false},
      {in_t + half + "\\q" + half + "\"}", false},
      {in_t + half + "\\udc00" + half + "\"}", false},
      {in_t + half + "\\ud800x" + half + "\"}", false},
      {in_t + half + "\\ud800\\u0041" + half + "\"}", false},
      {in_t + half + "\\u12G4" + half + "\"}", false},
      {in_t + plain + "\\u12\"", false},
      {in_t + plain + "\\\"", false},
      {in_t + half + "\n" + half + "\"}", false},
      // A line break can only be in a string after a backslash, in the escape that fails.
      {in_t + escaped + "\\\n" + escaped + "\"}", false},
      {in_t + escaped + "\\u\\\n\\\n" + escaped + "\"}", false},
      {in_t + escaped + "\\ud800\\u1\\\nx" + escaped + "\"}", false},
      {in_t + escaped + "\\ud800\\\n" + escaped + "\"}", false},
      {in_t + escaped + "\\u\\\n\"", false},
      {in_t + plain, false},
  };
  for (const Case& c : cases) {
    const InPlace got = read_in_place(c.text);
    EXPECT_EQ(got.outcome, outcome(c.text)) << c.text;
    EXPECT_EQ(got.taken, c.taken) << c.text;
  }
}

// Strings decoded into the front of the buffer with the least room before
// them, of every length up to a few wide blocks and with escapes at every
// place: what the block copies write past their output never reaches a byte
// still to be read.
TEST(Reader, InPlaceStringsAcrossBlockEdges) {
  const std::string pieces[] = {"\"", "\\", "\n", "\t", std::string("\0", 2), "ş", "😀", "/"};
  MixedText texts(54321, pieces);
  for (int length = 0; length < 300; ++length) {
    for (const std::size_t spaces : {10, 11, 40}) {
      Writer writer;
      writer.string(texts.next(length));
      const std::string text = "{\"k\":" + std::string(spaces, ' ') + writer.text() + "}";
      const InPlace got = read_in_place(text);
      ASSERT_EQ(got.outcome, outcome(text)) << text;
      const bool half_the_text = 2 * (writer.text().size() - 2) >= text.size();
      ASSERT_EQ(got.taken, half_the_text && 4 * static_cast<std::size_t>(length) >= text.size() + 4) << text;
    }
  }
}

// A room kept from a larger message, or a string of many escapes, would hold
// several times the text's memory behind it: the string is a copy instead,
// and the buffer keeps its room.
TEST(Reader, InPlaceRoomFarLargerThanTheStringIsNotTaken) {
  const std::string body = R"({"padding-padding":0,"t":")" + std::string(300, 'p') + R"("})";
  struct Case {
    std::size_t room;
    bool taken;
  };
  for (const Case c : {Case{body.size(), true}, Case{4 * 300, true}, Case{4 * 300 + 1, false}, Case{1 << 20, false}}) {
    std::string buffer = body;
    buffer.resize(c.room, ']');
    auto result = parse_in_place(buffer, body.size());
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(to_text(*result), outcome(body)) << c.room;
    EXPECT_EQ(buffer.empty(), c.taken) << c.room;
    if (!c.taken) {
      EXPECT_EQ(buffer.size(), c.room);
    }
  }
  // Every character an escape six bytes long: the decoded text is a sixth.
  std::string escaped = R"({"padding-padding":0,"t":")";
  for (int i = 0; i < 100; ++i) escaped += "\\u0041";
  escaped += R"("})";
  const InPlace got = read_in_place(escaped);
  EXPECT_EQ(got.outcome, outcome(escaped));
  EXPECT_FALSE(got.taken);
}

}  // namespace
}  // namespace zevo::json

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/json.hpp"
#include "json/mixed_text.hpp"
#include "text/utf8.hpp"

namespace zevo::json {
namespace {

std::string string_text(std::string_view text) {
  Writer out;
  out.string(text);
  return out.text();
}

TEST(Writer, EscapesOnlyQuoteBackslashAndControls) {
  const char* const expected[32] = {
      "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
      "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
      "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
      "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f",
  };
  for (int byte = 0; byte < 0x20; ++byte) {
    EXPECT_EQ(string_text(std::string(1, static_cast<char>(byte))), "\"" + std::string(expected[byte]) + "\"")
        << byte;
  }
  struct Case {
    std::string text;
    std::string written;
  };
  const Case cases[] = {
      {"\"", R"("\"")"},
      {"\\", R"("\\")"},
      {"/", R"("/")"},
      {"\x7F", "\"\x7F\""},
      {"\xE2\x80\xA8\xE2\x80\xA9", "\"\xE2\x80\xA8\xE2\x80\xA9\""},
      {"ğüşıöç İĞÜŞÖÇ 😀", "\"ğüşıöç İĞÜŞÖÇ 😀\""},
      // Long runs go through the wide scan: escapes at every position of a block.
      {std::string(15, 'a') + "\"" + std::string(16, 'b') + "\n" + std::string(17, 'c'),
       "\"" + std::string(15, 'a') + "\\\"" + std::string(16, 'b') + "\\n" + std::string(17, 'c') + "\""},
  };
  for (const Case& c : cases) EXPECT_EQ(string_text(c.text), c.written) << c.text;
}

// Texts of every length up to a few wide blocks with escapes and non-ASCII
// letters at every place, against a byte-by-byte escaper.
TEST(Writer, StringsAcrossBlockEdges) {
  auto reference = [](std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out += '\\';
        out += c;
      } else if (byte >= 0x20) {
        out += c;
      } else {
        const char* named = byte == '\b' ? "\\b" : byte == '\t' ? "\\t" : byte == '\n' ? "\\n" : byte == '\f' ? "\\f" : byte == '\r' ? "\\r" : nullptr;
        if (named != nullptr) {
          out += named;
        } else {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", byte);
          out += code;
        }
      }
    }
    return out + "\"";
  };
  const std::string pieces[] = {"\"", "\\", "\n", "\t", std::string(1, '\0'), "\x1f", "ç", "€", "😀", "\x7f", "/"};
  MixedText texts(99, pieces);
  for (int length = 0; length < 300; ++length) {
    for (int variant = 0; variant < 4; ++variant) {
      const std::string text = texts.next(length);
      ASSERT_EQ(string_text(text), reference(text)) << text;
    }
  }
}

TEST(Writer, IllFormedUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string text;
    std::string written;
  };
  const std::string r = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"a\xFF" "b", "\"a" + r + "b\""},
      {"\x80", "\"" + r + "\""},
      {"\xC3", "\"" + r + "\""},                    // cut short at the end
      {"\xC3" "A", "\"" + r + "A\""},               // continuation missing
      {"\xC0\xAF", "\"" + r + r + "\""},            // overlong
      {"\xED\xA0\x80", "\"" + r + r + r + "\""},    // surrogate
      {"\xF4\x90\x80\x80", "\"" + r + r + r + r + "\""},  // above U+10FFFF
      {"\xE2\x82\x28", "\"" + r + r + "(\""},
      {std::string(20, 'x') + "\xFE" + std::string(20, 'y'), "\"" + std::string(20, 'x') + r + std::string(20, 'y') + "\""},
      // A long text is checked as a whole before the block copy: the bad byte is still replaced.
      {std::string(300, 'x') + "\xFE\n", "\"" + std::string(300, 'x') + r + "\\n\""},
  };
  for (const Case& c : cases) {
    const std::string written = string_text(c.text);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(text::utf8_error(written), std::nullopt);
    EXPECT_TRUE(parse(written).ok());
  }
  // Keys go through the same path.
  Value object = Value::object();
  object["k\xFF"] = 1;
  EXPECT_EQ(to_text(object), "{\"k" + r + "\":1}");
}

TEST(Writer, Doubles) {
  struct Case {
    double value;
    const char* written;
  };
  const Case cases[] = {
      {1.0, "1.0"},
      {100.0, "100.0"},
      {0.1, "0.1"},
      {1e100, "1e100"},
      {1e-7, "1e-7"},
      {1e15, "1000000000000000.0"},
      {1e16, "1e16"},
      {0.00001, "0.00001"},
      {1.5e-5, "0.000015"},
      {1e23, "1e23"},
      {5e-324, "5e-324"},
      {-0.0, "-0.0"},
      {0.0, "0.0"},
      {123456789012345680000.0, "1.2345678901234568e20"},
      {-1.5, "-1.5"},
      {9.5e-6, "9.5e-6"},
      {1.7976931348623157e308, "1.7976931348623157e308"},
      {1234.5678, "1234.5678"},
      {9007199254740993.0, "9007199254740992.0"},
      {std::numeric_limits<double>::infinity(), "null"},
      {-std::numeric_limits<double>::infinity(), "null"},
      {std::numeric_limits<double>::quiet_NaN(), "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(to_text(Value(c.value)), c.written) << c.value;
}

// Random bit patterns of every magnitude: the text reads back to the same
// double and has no more digits than the shortest form.
TEST(Writer, DoublesReadBackExactly) {
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    double value;
    std::memcpy(&value, &state, sizeof value);
    if (!std::isfinite(value)) continue;
    const std::string text = to_text(Value(value));
    auto back = parse(text);
    ASSERT_TRUE(back.ok()) << text;
    ASSERT_TRUE(back->is_number_float()) << text;
    const double read = back->get<double>();
    ASSERT_EQ(std::memcmp(&read, &value, sizeof value), 0) << text;
    char shortest[32];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific).ptr;
    const auto digits = [](std::string_view s) {
      return std::count_if(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(std::min(s.find('e'), s.size())),
                           [](char c) { return c >= '1' && c <= '9'; });
    };
    ASSERT_LE(digits(text), digits(std::string_view(shortest, static_cast<std::size_t>(end - shortest)))) << text;
  }
}

TEST(Writer, IntegersAndStructure) {
  Value value = Value::object();
  value["z"] = Value::array({uint64_t{18446744073709551615u}, int64_t{-9223372036854775807 - 1}, int64_t{42}, true,
                             false, nullptr});
  value["a"] = Value::object();
  value["m"] = Value::array();
  value["b"]["y"] = "t";
  value["b"]["x"] = 1.5;
  EXPECT_EQ(to_text(value),
            R"({"a":{},"b":{"x":1.5,"y":"t"},"m":[],"z":[18446744073709551615,-9223372036854775808,42,true,false,null]})");
  EXPECT_EQ(to_text(Value()), "null");
  EXPECT_EQ(to_text(Value::binary({1, 2})), "null");
}

// Integers at every change of digit count and at the limits of their types,
// one by one and several at once, against the standard library's text.
TEST(Writer, IntegersAtEveryDigitCount) {
  std::vector<uint64_t> unsigned_values = {0, std::numeric_limits<uint64_t>::max()};
  std::vector<int64_t> signed_values = {0, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()};
  for (uint64_t power = 1; power <= 10000000000000000000u; power *= 10) {
    unsigned_values.insert(unsigned_values.end(), {power - 1, power, power + 1});
    if (power <= 1000000000000000000u) {
      const auto p = static_cast<int64_t>(power);
      signed_values.insert(signed_values.end(), {p - 1, p, -p, 1 - p, -p - 1});
    }
    if (power == 10000000000000000000u) break;
  }
  auto twice = [](auto v) {
    Writer out;
    out.begin_array();
    out.number(v);
    out.number(v);
    out.end_array();
    EXPECT_EQ(out.text(), "[" + std::to_string(v) + "," + std::to_string(v) + "]");
  };
  for (const uint64_t v : unsigned_values) twice(v);
  for (const int64_t v : signed_values) twice(v);
  std::vector<uint32_t> small;
  std::string expected = "[";
  for (uint64_t power = 1; power <= 1000000000; power *= 10) {
    for (const uint64_t v : {power - 1, power, power + 1}) {
      small.push_back(static_cast<uint32_t>(v));
      expected += std::to_string(v) + ",";
    }
  }
  small.push_back(std::numeric_limits<uint32_t>::max());
  expected += std::to_string(std::numeric_limits<uint32_t>::max()) + "]";
  Writer out;
  out.begin_array();
  out.numbers(small);
  out.end_array();
  EXPECT_EQ(out.text(), expected);
}

// Several integers at once come out as the same calls one by one would: the
// commas, the block edges, and where the limit refuses them.
TEST(Writer, NumbersAtOnceAsOneByOne) {
  const std::vector<uint32_t> values = {7, 0, 12, 345, 4294967295u, 99, 100};
  for (std::size_t limit = 0; limit < 48; ++limit) {
    Writer together(limit);
    Writer apart(limit);
    for (Writer* out : {&together, &apart}) {
      out->begin_array();
      out->number(uint64_t{1});
    }
    together.numbers(values);
    together.numbers({});
    for (const uint32_t v : values) apart.number(v);
    for (Writer* out : {&together, &apart}) out->end_array();
    EXPECT_EQ(together.text(), apart.text()) << limit;
    EXPECT_EQ(together.refused_at(), apart.refused_at()) << limit;
  }
  // Five at a time past the edges of the first blocks, where the room for
  // all five runs out.
  Writer together;
  Writer apart;
  const std::vector<uint32_t> five = {1234567, 0, 89, 4294967295u, 5};
  for (int i = 0; i < 20000; ++i) {
    together.numbers(five);
    for (const uint32_t v : five) apart.number(v);
  }
  EXPECT_EQ(together.text(), apart.text());
}

TEST(Writer, RoundTripsCanonicalTexts) {
  const char* const texts[] = {
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"languageId":"zevo","text":"fon ana() {\n\t\"çalış\" 😀\\\n}","uri":"file:///tmp/a%20b.zv","version":1}}})",
      R"([1,-1,1.5,-0.0,1e100,1e-7,0.00001,18446744073709551615,-9223372036854775808,"\u0000\u001f\b\t\n\f\r","/",true,false,null,[],{}])",
      R"({"":"","a":{"b":{"c":[[[]]]}},"é":"ş"})",
      "\"\x7F\xE2\x80\xA8\"",
  };
  for (const char* text : texts) {
    auto value = parse(text);
    ASSERT_TRUE(value.ok()) << text << ": " << value.error();
    EXPECT_EQ(to_text(*value), text);
  }
}

}  // namespace
}  // namespace zevo::json

namespace zevo::json {
namespace {

// Members and elements get their commas at every depth; an envelope keeps the
// order its members are written in.
TEST(Writer, StructureAndCommas) {
  Writer out;
  out.begin_envelope();
  out.key("z");
  out.begin_array();
  out.begin_object();
  out.end_object();
  out.begin_array();
  out.end_array();
  out.number(uint64_t{1});
  out.number(int64_t{-2});
  out.number(0.5);
  out.boolean(false);
  out.null();
  out.raw(R"({"b":1,"a":2})");
  out.string("s");
  out.end_array();
  out.key("a");
  out.begin_object();
  out.key("k");
  out.value(Value::array({1, "x"}));
  out.key("l");
  out.number(int32_t{7});
  out.end_object();
  out.end_object();
  EXPECT_EQ(out.text(), R"({"z":[{},[],1,-2,0.5,false,null,{"b":1,"a":2},"s"],"a":{"k":[1,"x"],"l":7}})");
}

// Text far longer than one block comes back whole and in order, also when
// clear() has kept blocks of an earlier, longer or shorter, text for reuse.
TEST(Writer, GrowsWithoutCopyingAndIsReused) {
  struct Round {
    int numbers;
    std::size_t long_text;  // 0: none
  };
  // Shorter after longer, and past the bytes that are kept between texts.
  const Round rounds[] = {{200000, 3 << 20}, {3, 0}, {200000, 3 << 20}, {1000, 20 << 20}, {3, 0}, {1000, 5 << 20}};
  Writer out;
  for (const Round& round : rounds) {
    out.clear();
    out.begin_array();
    std::string expected = "[";
    for (int i = 0; i < round.numbers; ++i) {
      out.number(uint64_t(i) * 7919 % 100003);
      expected += (i == 0 ? "" : ",") + std::to_string(uint64_t(i) * 7919 % 100003);
    }
    if (round.long_text != 0) {
      const std::string long_text(round.long_text, 'q');  // spans several blocks
      out.string(long_text);
      expected += ",\"" + long_text + "\"";
    }
    expected += "]";
    out.end_array();
    EXPECT_EQ(out.size(), expected.size()) << round.long_text;
    EXPECT_EQ(out.text(), expected) << round.long_text;
    std::size_t pieces = 0;
    out.for_each_piece([&](std::string_view) { ++pieces; });
    EXPECT_EQ(pieces > 2, round.long_text != 0) << pieces;
  }
}

// clear() keeps the blocks that the largest of the last eight texts filled, so
// that a large answer asked again writes into memory already there, and lets
// them go once that text is no longer among them; a refused text keeps nothing.
TEST(Writer, KeepsTheBlocksRecentTextsFilled) {
  constexpr std::size_t kLarge = std::size_t{40} << 20;
  constexpr std::size_t kAlwaysKept = std::size_t{16} << 20;
  const std::string large(kLarge, 'q');
  Writer out;
  out.string(large);
  out.clear();
  EXPECT_GE(out.reserved(), kLarge);
  for (int i = 1; i < 8; ++i) {
    out.raw("[]");
    out.clear();
    EXPECT_GE(out.reserved(), kLarge) << i;
  }
  out.raw("[]");
  out.clear();
  EXPECT_LE(out.reserved(), kAlwaysKept);

  Writer refused(kLarge / 2);
  refused.string(large);
  ASSERT_TRUE(refused.refused());
  refused.clear();
  EXPECT_LE(refused.reserved(), kAlwaysKept);
}

// The write that would pass the limit is refused whole, and so is everything
// after it; the refusal says what size it would have reached.
TEST(Writer, RefusesPastTheLimit) {
  struct Case {
    std::size_t limit;
    std::size_t held;        // bytes kept when the writing ends
    std::size_t refused_at;  // 0: nothing refused
  };
  // Writes [ "abcdef" ,12345 ] in the pieces "[", "\"abcdef\"", ",12345" and
  // "]": 1 + 8 + 6 + 1 = 16 bytes.
  const Case cases[] = {
      {16, 16, 0}, {15, 15, 16}, {14, 9, 15}, {9, 9, 15}, {8, 1, 9}, {7, 1, 9}, {0, 0, 1},
  };
  for (const Case& c : cases) {
    Writer out(c.limit);
    out.begin_array();
    out.string("abcdef");
    out.number(uint64_t{12345});
    out.end_array();
    EXPECT_EQ(out.size(), c.held) << c.limit;
    EXPECT_EQ(out.refused(), c.refused_at != 0) << c.limit;
    EXPECT_EQ(out.refused_at(), c.refused_at) << c.limit;
    EXPECT_LE(out.size(), c.limit);
    out.clear();
    EXPECT_FALSE(out.refused());
    out.raw("[]");
    EXPECT_EQ(out.text(), c.limit >= 2 ? "[]" : "");
  }
  // A long string is cut off at the run that passes the limit, never held whole.
  Writer out(1000);
  out.string(std::string(5000, 'x') + "\"" + std::string(5000, 'y'));
  EXPECT_TRUE(out.refused());
  EXPECT_EQ(out.refused_at(), 5001u);
  EXPECT_EQ(out.size(), 1u);
}

#ifndef NDEBUG
// Members out of byte order are a fault of the code that writes them.
TEST(WriterDeathTest, KeysOutOfOrderAreCaught) {
  EXPECT_DEATH(
      {
        Writer out;
        out.begin_object();
        out.key("b");
        out.null();
        out.key("a");
      },
      "");
  EXPECT_DEATH(
      {
        Writer out;
        out.begin_object();
        out.key("a");
        out.null();
        out.key("a");
      },
      "");
  // Byte order: a non-ASCII letter comes after every ASCII one.
  Writer out;
  out.begin_object();
  out.key("Z");
  out.null();
  out.key("a");
  out.null();
  out.key("\xC3\xA7");
  out.null();
  out.end_object();
  EXPECT_EQ(out.text(), "{\"Z\":null,\"a\":null,\"\xC3\xA7\":null}");
}
#endif

}  // namespace
}  // namespace zevo::json

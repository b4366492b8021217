#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/utf8.hpp"

namespace zevo::text {
namespace {

TEST(Utf8Check, ErrorTexts) {
  struct Case {
    std::string bytes;
    std::optional<std::string> error;
  };
  const Case cases[] = {
      {"", std::nullopt},
      {"plain ASCII", std::nullopt},
      {"ğüşıöç İ € 😀 \xF4\x8F\xBF\xBF \xEF\xBF\xBF", std::nullopt},
      {std::string("\0", 1), std::nullopt},
      {"\xED\xA0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"ab\xE2\x82\x28", "invalid utf-8 sequence of 2 bytes from index 2"},
      {"\xF0\x9F\x98\x28", "invalid utf-8 sequence of 3 bytes from index 0"},
      {"\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xC0\xAF", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xC1\xBF", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xE0\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xF0\x80\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xF4\x90\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xF5\x80\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xFF", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xC3" "A", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"x\xC3", "incomplete utf-8 byte sequence from index 1"},
      {"x\xE2\x82", "incomplete utf-8 byte sequence from index 1"},
      {"\xF0\x9F\x98", "incomplete utf-8 byte sequence from index 0"},
      // An impossible second byte is invalid even at the end.
      {"\xE0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      // The index counts bytes, past a long ASCII run and earlier multibyte text.
      {std::string(40, 'a') + "ç" + std::string(20, 'b') + "\xFF", "invalid utf-8 sequence of 1 bytes from index 62"},
      {std::string(33, 'a') + "\xC3", "incomplete utf-8 byte sequence from index 33"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8_error(c.bytes), c.error) << c.bytes;
}

TEST(Utf8Check, EveryLeadByteOnItsOwn) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string bytes(1, static_cast<char>(byte));
    const bool could_begin = byte >= 0xC2 && byte <= 0xF4;
    EXPECT_EQ(utf8_error(bytes), could_begin ? "incomplete utf-8 byte sequence from index 0"
                                             : "invalid utf-8 sequence of 1 bytes from index 0")
        << byte;
  }
}

// Decoding and checking read one table: on random mixes of well-formed
// characters and stray or cut bytes, a text is well-formed exactly when its
// walk meets no malformed byte, and previous_char_start walks the same
// characters backwards.
TEST(Utf8Check, DecodingCheckingAndStepsBackAgree) {
  const std::string_view pieces[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD",
                                     "\x80", "\xBF", "\xC3", "\xE2\x82", "\xF0\x9F", "\xED\xA0", "\xF4\x90",
                                     "\xE0\x80", "\xC0", "\xFF", "\xF5"};
  std::mt19937 random(8);
  for (int round = 0; round < 5000; ++round) {
    std::string s;
    for (int n = static_cast<int>(random() % 8); n > 0; --n) s += pieces[random() % std::size(pieces)];
    SCOPED_TRACE(::testing::PrintToString(s));
    std::vector<std::size_t> starts;
    bool malformed = false;
    for (std::size_t i = 0; i < s.size();) {
      starts.push_back(i);
      const std::size_t at = i;
      malformed = (decode_utf8(s, i) == kReplacement && i - at == 1) || malformed;
    }
    EXPECT_EQ(utf8_error(s).has_value(), malformed);
    starts.push_back(s.size());
    for (std::size_t k = 1; k < starts.size(); ++k) EXPECT_EQ(previous_char_start(s, starts[k]), starts[k - 1]);
  }
}

}  // namespace
}  // namespace zevo::json

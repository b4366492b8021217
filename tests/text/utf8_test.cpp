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

// The check takes whole blocks of ASCII and two-byte sequences at once and
// walks any other block one sequence at a time: every kind of ill-formed
// sequence, at every offset across the first blocks, after ASCII and after
// two-byte letters (which then straddle the block boundaries), is reported at
// its own index.
TEST(Utf8Check, IllFormedAtEveryOffset) {
  struct Case {
    std::string piece;
    std::string error_before_ascii;  // the piece followed by ASCII
    std::string error_at_end;        // the piece ending the text
  };
  const auto invalid = [](int length) { return "invalid utf-8 sequence of " + std::to_string(length) + " bytes"; };
  const std::string incomplete = "incomplete utf-8 byte sequence";
  const Case cases[] = {
      {"\x80", invalid(1), invalid(1)},                // lone continuation
      {"\xBF", invalid(1), invalid(1)},
      {"\xC0\xAF", invalid(1), invalid(1)},            // overlong two-byte leads
      {"\xC1\xBF", invalid(1), invalid(1)},
      {"\xC3", invalid(1), incomplete},                // two-byte lead, no continuation
      {"\xC3\xC3\xA7", invalid(1), invalid(1)},        // lead after lead
      {"\xE2\x82", invalid(2), incomplete},            // three-byte sequence cut short
      {"\xE0\x80\x80", invalid(1), invalid(1)},        // overlong three-byte
      {"\xED\xA0\x80", invalid(1), invalid(1)},        // surrogate
      {"\xE2\x82\x28", invalid(2), invalid(2)},
      {"\xF0\x9F\x98", invalid(3), incomplete},        // four-byte sequence cut short
      {"\xF0\x80\x80\x80", invalid(1), invalid(1)},    // overlong four-byte
      {"\xF4\x90\x80\x80", invalid(1), invalid(1)},    // above U+10FFFF
      {"\xF0\x9F\x98\x28", invalid(3), invalid(3)},
      {"\xF5\x80\x80\x80", invalid(1), invalid(1)},    // lead bytes that begin nothing
      {"\xFF", invalid(1), invalid(1)},
  };
  const std::string ascii_after(150, 'b');
  for (const Case& c : cases) {
    for (std::size_t offset = 0; offset < 200; ++offset) {
      for (const bool letters : {false, true}) {
        // Two-byte letters fill the prefix where they fit, an ASCII byte the odd one out.
        std::string prefix;
        if (letters) {
          for (std::size_t k = 0; k < offset / 2; ++k) prefix += "\xC3\xA7";
          if (offset % 2) prefix += 'a';
        } else {
          prefix.assign(offset, 'a');
        }
        const std::string from = " from index " + std::to_string(offset);
        SCOPED_TRACE(::testing::PrintToString(c.piece) + " at " + std::to_string(offset) + (letters ? " after letters" : ""));
        EXPECT_EQ(utf8_error(prefix + c.piece + ascii_after), c.error_before_ascii + from);
        EXPECT_EQ(utf8_error(prefix + c.piece), c.error_at_end + from);
      }
    }
  }
}

// Every well-formed length of sequence at every offset across the first
// blocks, straddling each boundary, passes, and a stray byte after it is still
// found at its index.
TEST(Utf8Check, WellFormedSequencesAcrossBlockBoundaries) {
  const std::string sequences[] = {"\xC3\xA7", "\xDF\xBF", "\xE2\x82\xAC", "\xED\x9F\xBF", "\xEF\xBF\xBF",
                                   "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"};
  for (const std::string& sequence : sequences) {
    for (std::size_t offset = 0; offset < 200; ++offset) {
      SCOPED_TRACE(::testing::PrintToString(sequence) + " at " + std::to_string(offset));
      const std::string text = std::string(offset, 'a') + sequence + std::string(130, 'b') + sequence;
      EXPECT_EQ(utf8_error(text), std::nullopt);
      EXPECT_EQ(utf8_error(text + "\xFF"), "invalid utf-8 sequence of 1 bytes from index " + std::to_string(text.size()));
    }
  }
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
    // Every other text runs over several blocks of the check: long runs of
    // ASCII and of two-byte letters between the pieces.
    if (round % 2) {
      for (int n = static_cast<int>(random() % 24); n > 0; --n) {
        s += random() % 2 ? std::string(random() % 40, 'x') : std::string("\xC5\x9F\xC4\x9F\xC3\xBC");
        s += pieces[random() % std::size(pieces)];
      }
    }
    SCOPED_TRACE(::testing::PrintToString(s));
    std::vector<std::size_t> starts;
    bool malformed = false;
    for (std::size_t i = 0; i < s.size();) {
      starts.push_back(i);
      const std::size_t at = i;
      malformed = (decode_utf8(s, i) == kReplacement && i - at == 1) || malformed;
    }
    EXPECT_EQ(utf8_error(s).has_value(), malformed);
    if (malformed) {
      std::size_t first = 0;
      for (std::size_t i = 0; i < s.size();) {
        first = i;
        if (decode_utf8(s, i) == kReplacement && i - first == 1) break;
      }
      EXPECT_TRUE(utf8_error(s)->ends_with(" from index " + std::to_string(first))) << *utf8_error(s);
    }
    starts.push_back(s.size());
    for (std::size_t k = 1; k < starts.size(); ++k) EXPECT_EQ(previous_char_start(s, starts[k]), starts[k - 1]);
  }
}

}  // namespace
}  // namespace zevo::json

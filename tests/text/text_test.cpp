#include <gtest/gtest.h>
#include <unicode/ucasemap.h>

#include <cmath>

#include <string>
#include <string_view>
#include <vector>

#include "text/number.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::text {
namespace {

TEST(Trim, RemovesUnicodeWhiteSpaceOnly) {
  struct Case {
    std::string_view input, both, start, end;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "a b  ", "  a b"},
      {"\t\r\n\v\fx\t", "x", "x\t", "\t\r\n\v\fx"},
      {"\u00A0\u2003x\u3000\u0085", "x", "x\u3000\u0085", "\u00A0\u2003x"},
      {"\u200Bx\u200B", "\u200Bx\u200B", "\u200Bx\u200B", "\u200Bx\u200B"},  // ZWSP is not White_Space
      {"   ", "", "", ""},
      {"", "", "", ""},
      {"ş ", "ş", "ş ", "ş"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trim(c.input), c.both);
    EXPECT_EQ(trim_start(c.input), c.start);
    EXPECT_EQ(trim_end(c.input), c.end);
  }
}

TEST(FirstWord, EndsAtTheFirstUnicodeWhiteSpace) {
  struct Case {
    std::string_view input, word;
  };
  const Case cases[] = {
      {"", ""},
      {"tamsayı", "tamsayı"},
      {"ondalık {", "ondalık"},
      {" x", ""},                              // white space first: no word
      {"a\tb", "a"},
      {"a\nb", "a"},
      {"metin\u00A0x", "metin"},               // no-break space
      {"a\u3000b", "a"},                       // ideographic space
      {"a\u200Bb c", "a\u200Bb"},              // ZWSP is not White_Space
      {"😀 x", "😀"},
      {"x\xC3", "x\xC3"},                      // a cut-off sequence is one character
      {"\xE2\x80 z", "\xE2\x80"},              // a broken sequence does not take the space after it
  };
  for (const auto& c : cases) {
    EXPECT_EQ(first_word(c.input), c.word) << "input: " << c.input;
  }
}

TEST(ToLower, FullLanguageNeutralMapping) {
  struct Case {
    std::string_view input, lower;
  };
  const Case cases[] = {
      {"EĞER", "eğer"},
      {"IF", "if"},
      {"I", "i"},                       // no Turkish dotless rule
      {"İ", "i\u0307"},                 // grows from 2 to 3 bytes
      {"FONKSİYON", "fonksi\u0307yon"},
      {"ΟΔΟΣ", "οδος"},                 // final sigma
      {"ΣΑ", "σα"},
      {"ÇĞÖŞÜ", "çğöşü"},
      {"abc123_", "abc123_"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(to_lower(c.input), c.lower) << c.input;
  const std::string long_dotted(1000, 'A');
  EXPECT_EQ(to_lower(long_dotted + "İ"), std::string(1000, 'a') + "i\u0307");
}

// A text whose characters all lower-case to one character of their own byte
// length is lower-cased without ICU, keeping every offset: each character, in
// the places where a mapping could look at its neighbours, against ICU on the
// whole text; the two-byte ones also beside a capital sigma, whose final form
// looks at them. ASCII goes eight bytes at a time, so the texts are long
// enough for a block before and after the character.
TEST(ToLower, EveryCharacterAsIcuMapsIt) {
  UErrorCode status = U_ZERO_ERROR;
  UCaseMap* map = ucasemap_open("", 0, &status);
  ASSERT_TRUE(U_SUCCESS(status));
  const auto icu_lower = [&](const std::string& s) {
    std::string out(s.size() * 3 + 16, '\0');
    UErrorCode error = U_ZERO_ERROR;
    const int32_t n = ucasemap_utf8ToLower(map, out.data(), static_cast<int32_t>(out.size()), s.data(),
                                           static_cast<int32_t>(s.size()), &error);
    EXPECT_TRUE(U_SUCCESS(error));
    out.resize(static_cast<std::size_t>(n));
    return out;
  };
  std::string lowered;
  std::string same;
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string ch;
    append_utf8(ch, c);
    std::vector<std::string> texts = {ch, "AbCdEfGh" + ch + "IjKlMnOp"};
    if (c < 0x800) {
      texts.insert(texts.end(), {ch + ch, "\u03a3" + ch, ch + "\u03a3 x", "x" + ch + "\u03a3"});
    }
    for (const std::string& text : texts) {
      to_lower_into(text, lowered);
      ASSERT_EQ(lowered, icu_lower(text)) << static_cast<uint32_t>(c);
      if (to_lower_same_offsets(text, same)) {
        ASSERT_EQ(same, lowered) << static_cast<uint32_t>(c);
        ASSERT_EQ(same.size(), text.size()) << static_cast<uint32_t>(c);
      }
    }
  }
  // The buffer's room is reused whatever it held before.
  to_lower_into("KISA", lowered);
  EXPECT_EQ(lowered, "kisa");
  ucasemap_close(map);
}

// Which texts keep their offsets: those whose characters' lower cases keep
// their byte lengths and look at no neighbour, well-formed.
TEST(ToLower, SameOffsetsOnlyWhereEveryLengthStays) {
  struct Case {
    std::string_view text;
    bool same;
  };
  const Case cases[] = {
      {"", true},
      {"FONKSIYON Topla(x) 123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ", true},
      {"DEĞİŞKEN", false},        // "İ" grows to "i" U+0307
      {"DEĞIŞKEN x", true},       // "Ğ" and "Ş" keep two bytes
      {"\u212Aelvin", false},     // the Kelvin sign becomes "k"
      {"\u2126", false},          // the ohm sign becomes a two-byte omega
      {"ΟΔΟΣ", false},            // the capital sigma looks at its neighbours
      {"Ⅻ 😀 ✨ 𐐀", true},         // three- and four-byte ones of their own length
      {"ab\xC3", false},          // cut off
      {"\xE2\x82x", false},
      {"\xED\xA0\x80", false},    // a surrogate
  };
  std::string out;
  for (const Case& c : cases) {
    EXPECT_EQ(to_lower_same_offsets(c.text, out), c.same) << c.text;
    if (c.same) {
      EXPECT_EQ(out, to_lower(c.text)) << c.text;
    }
  }
}

char32_t first_char(std::string_view s) {
  std::size_t i = 0;
  return decode_utf8(s, i);
}

TEST(CharacterClasses, IdentifierAndStart) {
  struct Case {
    std::string_view ch;
    bool identifier, start;
  };
  const Case cases[] = {
      {"a", true, true},   {"Z", true, true},   {"5", true, false},  {"_", true, true},
      {"ğ", true, true},   {"İ", true, true},   {"ı", true, true},   {"Ş", true, true},
      {"ω", true, true},   {"\u0663", true, false},  // Arabic-Indic three: Nd
      {"\u2167", true, true},                           // Roman numeral eight: Nl and Alphabetic
      {"\u00AA", true, true},                           // feminine ordinal: Alphabetic
      {"\u00B2", true, false},                          // superscript two: No
      {" ", false, false}, {"-", false, false}, {"@", false, false},
      {"\u00AB", false, false}, {"\u20AC", false, false}, {"\u0080", false, false},
      {"\u00A9", false, false},
  };
  for (const auto& c : cases) {
    const char32_t ch = first_char(c.ch);
    EXPECT_EQ(is_identifier_char(ch), c.identifier) << c.ch;
    EXPECT_EQ(is_identifier_start(ch), c.start) << c.ch;
  }
  for (std::string_view t : {"Ç", "ç", "Ğ", "ğ", "İ", "ı", "Ö", "ö", "Ş", "ş", "Ü", "ü"}) {
    EXPECT_TRUE(is_identifier_char(first_char(t))) << t;
    EXPECT_TRUE(is_alphabetic(first_char(t))) << t;
  }
}

TEST(Utf8, DecodesAndRecoversFromMalformedBytes) {
  std::string_view s = "aé😀\xFF\xE2\x82";
  std::size_t i = 0;
  EXPECT_EQ(decode_utf8(s, i), U'a');
  EXPECT_EQ(decode_utf8(s, i), U'é');
  EXPECT_EQ(decode_utf8(s, i), U'😀');
  EXPECT_EQ(i, 7u);
  EXPECT_EQ(decode_utf8(s, i), kReplacement);
  EXPECT_EQ(i, 8u);
  EXPECT_EQ(decode_utf8(s, i), kReplacement);  // truncated sequence: one byte at a time
  EXPECT_EQ(i, 9u);
  for (std::string_view bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE0\x80\x80"}) {
    std::size_t j = 0;
    EXPECT_EQ(decode_utf8(bad, j), kReplacement);
    EXPECT_EQ(j, 1u);
  }
  std::string out;
  for (char32_t c : {U'a', U'é', U'€', U'😀'}) append_utf8(out, c);
  EXPECT_EQ(out, "aé€😀");
}

TEST(Utf8, LengthsAndColumns) {
  EXPECT_EQ(utf16_length("aé😀b"), 5u);
  EXPECT_EQ(char_count("aé😀b"), 4u);
  // The line of the column example: ASCII, two-byte letter, astral character, ASCII.
  const std::string_view line = "aé😀b";
  struct Case {
    std::size_t column, byte;
  };
  const Case cases[] = {{0, 0}, {1, 1}, {2, 3}, {3, 3}, {4, 7}, {5, 8}, {9, 8}};
  for (const auto& c : cases) EXPECT_EQ(column_to_byte(line, c.column), c.byte) << c.column;
  const Case back[] = {{0, 0}, {1, 1}, {2, 3}, {4, 7}, {5, 8}, {5, 100}};
  for (const auto& c : back) EXPECT_EQ(byte_to_column(line, c.byte), c.column) << c.byte;
  EXPECT_EQ(char_index_to_byte(line, 3), 7u);
  EXPECT_EQ(char_index_to_byte(line, 10), 8u);
}

TEST(Numbers, FloatParse) {
  struct Case {
    std::string_view text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"1.5", true, 1.5},     {"-2", true, -2},       {"+3.", true, 3},      {".5", true, 0.5},
      {"1e3", true, 1000},    {"1E-2", true, 0.01},   {"2.5e+1", true, 25},  {"1e400", true, HUGE_VAL},
      {"-1e400", true, -HUGE_VAL}, {"1e-400", true, 0.0}, {"5e-324", true, 5e-324},
      {"0.1", true, 0.1},     {"inf", true, HUGE_VAL}, {"-Infinity", true, -HUGE_VAL},
      {"INF", true, HUGE_VAL},
      {"", false, 0},         {".", false, 0},        {"e5", false, 0},      {"1e", false, 0},
      {"1.2.3", false, 0},    {" 1", false, 0},       {"1 ", false, 0},      {"0x10", false, 0},
      {"infin", false, 0},    {"nan(1)", false, 0},   {"+-1", false, 0},     {"1_000", false, 0},
  };
  for (const auto& c : cases) {
    const auto v = parse_float(c.text);
    ASSERT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
  for (std::string_view t : {"nan", "NaN", "-nan", "+NAN"}) {
    const auto v = parse_float(t);
    ASSERT_TRUE(v.has_value()) << t;
    EXPECT_TRUE(std::isnan(*v));
  }
  EXPECT_EQ(parse_float("123456789012345678901234567890").value(), 1.2345678901234568e29);
}

TEST(Numbers, IntegerParse) {
  struct Case {
    std::string_view text;
    bool ok;
    int64_t value;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"+42", true, 42},
      {"-42", true, -42},
      {"007", true, 7},
      {"9223372036854775807", true, INT64_MAX},
      {"-9223372036854775808", true, INT64_MIN},
      {"9223372036854775808", false, 0},
      {"-9223372036854775809", false, 0},
      {"", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"1.0", false, 0},
      {" 1", false, 0},
      {"+-1", false, 0},
      {"\u0663", false, 0},
  };
  for (const auto& c : cases) {
    const auto v = parse_i64(c.text);
    ASSERT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
}

}  // namespace
}  // namespace zevo::text

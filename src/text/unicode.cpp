#include "text/unicode.hpp"

#include <unicode/uchar.h>
#include <unicode/ucasemap.h>

#include <array>
#include <cstdlib>

#include "text/ascii.hpp"
#include "text/utf8.hpp"

namespace zevo::text {

namespace {

// Bytes of the longest start of `s` whose characters all are White_Space
// (`white`) or all are not.
std::size_t white_space_run(std::string_view s, bool white) {
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t next = i;
    if (is_white_space(decode_utf8(s, next)) != white) break;
    i = next;
  }
  return i;
}

UCaseMap* root_case_map() {
  static UCaseMap* map = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCaseMap* m = ucasemap_open("", 0, &status);
    if (U_FAILURE(status)) std::abort();
    return m;
  }();
  return map;
}

}  // namespace

bool is_white_space(char32_t c) {
  if (c < 0x80) return c == ' ' || (c >= 0x09 && c <= 0x0D);
  return u_isUWhiteSpace(static_cast<UChar32>(c));
}

bool is_alphabetic(char32_t c) {
  if (c < 0x80) return is_ascii_letter(static_cast<unsigned char>(c));
  return u_isUAlphabetic(static_cast<UChar32>(c));
}

bool is_numeric(char32_t c) {
  if (c < 0x80) return is_ascii_digit(static_cast<unsigned char>(c));
  const auto type = u_charType(static_cast<UChar32>(c));
  return type == U_DECIMAL_DIGIT_NUMBER || type == U_LETTER_NUMBER || type == U_OTHER_NUMBER;
}

bool is_identifier_char(char32_t c) {
  if (c < 0x80) return is_ascii_alnum(static_cast<unsigned char>(c)) || c == '_';
  return is_alphabetic(c) || is_numeric(c);
}

bool is_identifier_start(char32_t c) {
  if (c < 0x80) return is_ascii_letter(static_cast<unsigned char>(c)) || c == '_';
  return is_alphabetic(c);
}

std::string_view trim_start(std::string_view s) { return s.substr(white_space_run(s, true)); }

std::string_view trim_end(std::string_view s) {
  std::size_t end = s.size();
  while (end > 0) {
    const std::size_t start = previous_char_start(s, end);
    std::size_t next = start;
    if (!is_white_space(decode_utf8(s, next))) break;
    end = start;
  }
  return s.substr(0, end);
}

std::string_view trim(std::string_view s) { return trim_end(trim_start(s)); }

std::string_view first_word(std::string_view s) { return s.substr(0, white_space_run(s, false)); }

namespace {

// Which two-byte characters (U+0080 to U+07FF) are their own lower case, found
// once by lower-casing each alone. A line of ASCII and such characters is
// lower-cased byte by byte: no mapping of the language-neutral case map looks
// at a neighbour except the final sigma's, and a capital sigma is not its own
// lower case.
const std::array<bool, 0x800>& own_lower_case() {
  static const std::array<bool, 0x800> table = [] {
    std::array<bool, 0x800> own{};
    for (char32_t c = 0x80; c < 0x800; ++c) {
      const char bytes[2] = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
      char lowered[8];
      UErrorCode status = U_ZERO_ERROR;
      const int32_t n = ucasemap_utf8ToLower(root_case_map(), lowered, sizeof lowered, bytes, 2, &status);
      own[c] = U_SUCCESS(status) && n == 2 && lowered[0] == bytes[0] && lowered[1] == bytes[1];
    }
    return own;
  }();
  return table;
}

// Lower-cases `s` into `out` byte by byte; false, with `out` unfinished, at
// a character that this cannot do.
bool lower_bytewise(std::string_view s, std::string& out) {
  const auto& own = own_lower_case();
  out.resize(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto byte = static_cast<unsigned char>(s[i]);
    if (byte < 0x80) {
      out[i] = ascii_lower(s[i]);
      continue;
    }
    if ((byte & 0xE0) != 0xC0 || i + 1 >= s.size()) return false;
    const auto next = static_cast<unsigned char>(s[i + 1]);
    const char32_t c = (char32_t{byte} & 0x1F) << 6 | (next & 0x3F);
    if ((next & 0xC0) != 0x80 || c < 0x80 || !own[c]) return false;
    out[i] = s[i];
    out[i + 1] = s[i + 1];
    ++i;
  }
  return true;
}

}  // namespace

void to_lower_into(std::string_view s, std::string& out) {
  if (lower_bytewise(s, out)) return;
  // Most texts keep their length; a longer result is retried with ICU's size.
  out.assign(s.size() + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()), s.data(),
                                         static_cast<int32_t>(s.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<std::size_t>(n), '\0');
    status = U_ZERO_ERROR;
    ucasemap_utf8ToLower(root_case_map(), out.data(), n, s.data(), static_cast<int32_t>(s.size()), &status);
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) {
    out.assign(s);
    return;
  }
  out.resize(static_cast<std::size_t>(n));
}

std::string to_lower(std::string_view s) {
  std::string out;
  to_lower_into(s, out);
  return out;
}

}  // namespace zevo::text

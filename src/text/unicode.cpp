#include "text/unicode.hpp"

#include <unicode/uchar.h>
#include <unicode/ucasemap.h>

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

std::string to_lower(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  if (i == s.size()) {
    std::string out(s);
    for (char& ch : out) ch = ascii_lower(ch);
    return out;
  }
  // Most texts keep their length; a longer result is retried with ICU's size.
  std::string out(s.size() + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()),
                                         s.data(), static_cast<int32_t>(s.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<std::size_t>(n), '\0');
    status = U_ZERO_ERROR;
    ucasemap_utf8ToLower(root_case_map(), out.data(), n, s.data(), static_cast<int32_t>(s.size()),
                         &status);
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return std::string(s);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

}  // namespace zevo::text

#include "text/unicode.hpp"

#include <unicode/uchar.h>
#include <unicode/ucasemap.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "text/ascii.hpp"
#include "text/utf8.hpp"

namespace zevo::text {

namespace {

constexpr bool is_ascii_white_space(unsigned char b) { return b == ' ' || (b >= 0x09 && b <= 0x0D); }

// Bytes of the longest start of `s` whose characters all are White_Space
// (`white`) or all are not. ASCII is decided here, without a call.
std::size_t white_space_run(std::string_view s, bool white) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      if (is_ascii_white_space(b) != white) break;
      ++i;
      continue;
    }
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
  if (c < 0x80) return is_ascii_white_space(static_cast<unsigned char>(c));
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
    const auto b = static_cast<unsigned char>(s[end - 1]);
    if (b < 0x80) {
      if (!is_ascii_white_space(b)) break;
      --end;
      continue;
    }
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

// The lower case of each two-byte character (U+0080 to U+07FF) where it is one
// two-byte character again, 0 elsewhere; found once by lower-casing each alone.
// No mapping of the language-neutral case map looks at a neighbour except the
// final sigma's, so the capital sigma is left out.
const std::array<char16_t, 0x800>& two_byte_lower() {
  static const std::array<char16_t, 0x800> table = [] {
    std::array<char16_t, 0x800> lower{};
    for (char32_t c = 0x80; c < 0x800; ++c) {
      if (c == U'\u03a3') continue;
      const char bytes[2] = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
      char lowered[8];
      UErrorCode status = U_ZERO_ERROR;
      const int32_t n = ucasemap_utf8ToLower(root_case_map(), lowered, sizeof lowered, bytes, 2, &status);
      const auto lead = static_cast<unsigned char>(lowered[0]);
      if (U_FAILURE(status) || n != 2 || (lead & 0xE0) != 0xC0) continue;
      lower[c] = static_cast<char16_t>((lead & 0x1F) << 6 | (static_cast<unsigned char>(lowered[1]) & 0x3F));
    }
    return lower;
  }();
  return table;
}

constexpr uint64_t kHighBits = 0x8080808080808080u;
constexpr uint64_t bytes_of(unsigned char b) { return 0x0101010101010101u * b; }

// Eight ASCII bytes lower-cased at once: 0x20 added to each byte from "A" to "Z".
inline uint64_t ascii_lower8(uint64_t w) {
  const uint64_t at_least_a = w + bytes_of(0x80 - 'A');
  const uint64_t above_z = w + bytes_of(0x80 - 'Z' - 1);
  return w | ((at_least_a & ~above_z & kHighBits) >> 2);
}

// Lower-cases the character of `length` bytes at `in` (a lead byte >= 0x80)
// into `out`; false when it is ill-formed or its lower case has another
// length or depends on its neighbours.
bool lower_same_length(const unsigned char* in, std::size_t length, unsigned char* out) {
  const Utf8Lead lead = utf8_lead(in[0]);
  if (lead.length < 2 || lead.length > length || in[1] < lead.second_low || in[1] > lead.second_high) return false;
  char32_t c = in[0] & (0x7F >> lead.length);
  for (std::size_t k = 1; k < lead.length; ++k) {
    if (k > 1 && !is_continuation_byte(in[k])) return false;
    c = (c << 6) | (in[k] & 0x3F);
  }
  if (lead.length == 2) {
    const char16_t lower = two_byte_lower()[c];
    if (lower == 0) return false;
    out[0] = static_cast<unsigned char>(0xC0 | (lower >> 6));
    out[1] = static_cast<unsigned char>(0x80 | (lower & 0x3F));
    return true;
  }
  // Beyond U+07FF a full lower case of one character is the simple one.
  const auto lower = static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
  if (lower == c) {
    std::memcpy(out, in, lead.length);
    return true;
  }
  if (lead.length == 3) {
    if (lower < 0x800 || lower >= 0x10000) return false;
    out[0] = static_cast<unsigned char>(0xE0 | (lower >> 12));
  } else {
    if (lower < 0x10000) return false;
    out[0] = static_cast<unsigned char>(0xF0 | (lower >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((lower >> 12) & 0x3F));
  }
  out[lead.length - 2] = static_cast<unsigned char>(0x80 | ((lower >> 6) & 0x3F));
  out[lead.length - 1] = static_cast<unsigned char>(0x80 | (lower & 0x3F));
  return true;
}

}  // namespace

bool to_lower_same_offsets(std::string_view s, std::string& out) {
  out.resize(s.size());
  const auto* in = reinterpret_cast<const unsigned char*>(s.data());
  auto* to = reinterpret_cast<unsigned char*>(out.data());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      uint64_t w;
      std::memcpy(&w, in + i, 8);
      if ((w & kHighBits) == 0) {
        w = ascii_lower8(w);
        std::memcpy(to + i, &w, 8);
        i += 8;
        continue;
      }
    }
    const unsigned char b = in[i];
    if (b < 0x80) {
      to[i++] = static_cast<unsigned char>(ascii_lower(static_cast<char>(b)));
      continue;
    }
    const std::size_t length = utf8_lead(b).length;
    if (!lower_same_length(in + i, n - i, to + i)) return false;
    i += length;
  }
  return true;
}

void to_lower_into(std::string_view s, std::string& out) {
  if (to_lower_same_offsets(s, out)) return;
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

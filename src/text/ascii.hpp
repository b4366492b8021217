// ASCII character classes and hex digits, for the grammars and fast paths
// that look at bytes below 0x80 only. The classes take a byte: a character
// above U+007F must be ruled out before asking.
#pragma once

namespace zevo::text {

constexpr bool is_ascii(char byte) { return static_cast<unsigned char>(byte) < 0x80; }
constexpr bool is_ascii_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool is_ascii_digit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool is_ascii_alnum(unsigned char c) { return is_ascii_letter(c) || is_ascii_digit(c); }
constexpr char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of a hex digit of either case, or -1.
constexpr int hex_value(char c) {
  if (is_ascii_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline constexpr char kLowerHexDigits[] = "0123456789abcdef";
inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

}  // namespace zevo::text

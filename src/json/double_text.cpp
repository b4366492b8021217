#include "json/double_text.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace zevo::json {

void append_finite_double(std::string& out, double value) {
  if (std::signbit(value)) out.push_back('-');
  if (value == 0) {
    out += "0.0";
    return;
  }
  // Scientific form gives the shortest digits and their decimal exponent:
  // "d[.ddd]e±XX".
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
  const char* e = static_cast<const char*>(std::memchr(buffer, 'e', static_cast<std::size_t>(result.ptr - buffer)));
  char digits[20];
  int length = 0;
  for (const char* p = buffer; p < e; ++p) {
    if (*p != '.') digits[length++] = *p;
  }
  int exponent = 0;
  std::from_chars(e[1] == '+' ? e + 2 : e + 1, result.ptr, exponent);
  // 10^(kk-1) <= |value| < 10^kk; k is the power of ten of the last digit.
  const int kk = exponent + 1;
  const int k = kk - length;
  if (k >= 0 && kk <= 16) {
    out.append(digits, static_cast<std::size_t>(length));
    out.append(static_cast<std::size_t>(k), '0');
    out += ".0";
  } else if (kk > 0 && kk <= 16) {
    out.append(digits, static_cast<std::size_t>(kk));
    out.push_back('.');
    out.append(digits + kk, static_cast<std::size_t>(length - kk));
  } else if (kk > -5 && kk <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-kk), '0');
    out.append(digits, static_cast<std::size_t>(length));
  } else {
    out.push_back(digits[0]);
    if (length > 1) {
      out.push_back('.');
      out.append(digits + 1, static_cast<std::size_t>(length - 1));
    }
    out.push_back('e');
    char exponent_text[8];
    const auto end = std::to_chars(exponent_text, exponent_text + sizeof exponent_text, kk - 1).ptr;
    out.append(exponent_text, end);
  }
}

}  // namespace zevo::json

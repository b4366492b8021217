#include "text/number.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "text/ascii.hpp"

namespace zevo::text {

namespace {

bool equals_ignoring_ascii_case(std::string_view s, std::string_view lower) {
  if (s.size() != lower.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (ascii_lower(s[i]) != lower[i]) return false;
  }
  return true;
}

// The decimal grammar: digits [. digits] [e [sign] digits], with a digit
// somewhere before the exponent. "1.", ".5" and "1e5" pass; ".", "e5", "1e" fail.
bool is_decimal(std::string_view s) {
  std::size_t i = 0;
  std::size_t mantissa_digits = 0;
  while (i < s.size() && is_ascii_digit(s[i])) ++i, ++mantissa_digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && is_ascii_digit(s[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < s.size() && is_ascii_digit(s[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return i == s.size();
}

}  // namespace

std::optional<double> parse_float(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  double value;
  if (equals_ignoring_ascii_case(s, "inf") || equals_ignoring_ascii_case(s, "infinity")) {
    value = std::numeric_limits<double>::infinity();
  } else if (equals_ignoring_ascii_case(s, "nan")) {
    value = std::numeric_limits<double>::quiet_NaN();
  } else {
    if (!is_decimal(s)) return std::nullopt;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
      // Out of range either way: decide by the decimal exponent of the first digit.
      std::size_t first = s.find_first_not_of("0.");
      if (first == std::string_view::npos || !is_ascii_digit(s[first])) {
        value = 0.0;
      } else {
        const std::size_t dot = s.find('.');
        const std::size_t e = s.find_first_of("eE");
        const std::size_t int_end = std::min(dot == std::string_view::npos ? s.size() : dot,
                                             e == std::string_view::npos ? s.size() : e);
        // Position of the first significant digit relative to the decimal point.
        long long magnitude = first < int_end ? static_cast<long long>(int_end - first)
                                              : -static_cast<long long>(first - int_end - 1);
        long long exponent = 0;
        if (e != std::string_view::npos) {
          std::string_view digits = s.substr(e + 1);
          bool exp_negative = false;
          if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
            exp_negative = digits[0] == '-';
            digits.remove_prefix(1);
          }
          for (char c : digits) {
            if (exponent < 100000000) exponent = exponent * 10 + (c - '0');
          }
          if (exp_negative) exponent = -exponent;
        }
        value = magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
      }
    } else if (ec != std::errc() || end != s.data() + s.size()) {
      return std::nullopt;
    }
  }
  return negative ? -value : value;
}

std::optional<int64_t> parse_i64(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  // Accumulate as a negative number so that the minimum value fits.
  int64_t value = 0;
  for (char c : s) {
    if (!is_ascii_digit(c)) return std::nullopt;
    const int digit = c - '0';
    if (value < (std::numeric_limits<int64_t>::min() + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == std::numeric_limits<int64_t>::min()) return std::nullopt;
    value = -value;
  }
  return value;
}

}  // namespace zevo::text

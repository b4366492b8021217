// Number parsing of a whole text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zevo::text {

// Optional sign, then digits with an optional fraction and an optional
// exponent (at least one digit in all), or "inf", "infinity", "nan" in any
// letter case. Nothing else may follow. Too large a value reads as infinity,
// too small a one as zero; rounding is correct.
std::optional<double> parse_float(std::string_view s);

// Optional "+" or "-", then one or more ASCII digits, within the signed 64-bit range.
std::optional<int64_t> parse_i64(std::string_view s);

}  // namespace zevo::text

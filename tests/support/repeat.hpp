// `unit` written `count` times, for the long and deep texts of the tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zevo::testing {

inline std::string repeat(std::string_view unit, std::size_t count) {
  std::string out;
  out.reserve(unit.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += unit;
  return out;
}

}  // namespace zevo::testing

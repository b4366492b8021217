// The byte lengths a fixed table of names spans, taken from the table itself,
// so that a lookup refuses other lengths before comparing and a new entry can
// never fall outside bounds typed by hand.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace zevo::text {

struct LengthBounds {
  std::size_t shortest = 0;
  std::size_t longest = 0;
  constexpr bool contains(std::size_t length) const { return length >= shortest && length <= longest; }
};

// `name` gives an entry's name (a member pointer or a function).
template <class Table, class Name>
constexpr LengthBounds length_bounds(const Table& table, Name name) {
  LengthBounds bounds{static_cast<std::size_t>(-1), 0};
  for (const auto& entry : table) {
    const std::size_t length = std::string_view(std::invoke(name, entry)).size();
    if (length < bounds.shortest) bounds.shortest = length;
    if (length > bounds.longest) bounds.longest = length;
  }
  return bounds;
}

}  // namespace zevo::text

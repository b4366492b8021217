// What the fuzz targets share: turning arbitrary bytes into text a client could
// send, and framing messages the way a client does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/utf8.hpp"

namespace zevo::fuzz {

// A document's text always arrives as a JSON string, so it is valid UTF-8;
// malformed bytes become U+FFFD as a client's decoder would make them.
inline std::string valid_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) text::append_utf8(out, text::decode_utf8(bytes, i));
  return out;
}

inline std::string frame(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out += body;
  return out;
}

}  // namespace zevo::fuzz

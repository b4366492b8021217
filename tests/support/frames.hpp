// Content-Length frames taken off the front of a byte stream. Header-only, as
// the benchmarks use it too.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zevo::testing {

// Splits complete Content-Length frames off the front of `bytes`; the body of
// the first one, or nothing while it is incomplete. Malformed framing gives
// nothing as well, and leaves `bytes` as it is.
inline std::optional<std::string> take_frame(std::string& bytes) {
  const std::size_t end = bytes.find("\r\n\r\n");
  if (end == std::string::npos) return std::nullopt;
  constexpr std::string_view kHeader = "Content-Length: ";
  if (bytes.compare(0, kHeader.size(), kHeader) != 0) return std::nullopt;
  std::size_t length = 0;
  for (std::size_t i = kHeader.size(); i < end; ++i) {
    if (bytes[i] < '0' || bytes[i] > '9') return std::nullopt;
    length = length * 10 + static_cast<std::size_t>(bytes[i] - '0');
  }
  if (bytes.size() < end + 4 + length) return std::nullopt;
  std::string body = bytes.substr(end + 4, length);
  bytes.erase(0, end + 4 + length);
  return body;
}

}  // namespace zevo::testing

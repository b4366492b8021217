// Percent-encode sets and percent-decoding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/ascii.hpp"

namespace zevo::url::detail {

// The ASCII bytes a set encodes; every set also encodes 0x7F and all non-ASCII bytes.
struct EncodeSet {
  std::uint64_t low = 0;   // bytes 0x00-0x3F
  std::uint64_t high = 0;  // bytes 0x40-0x7F

  constexpr bool contains(unsigned char b) const {
    if (b >= 0x7F) return true;
    return b < 0x40 ? ((low >> b) & 1) != 0 : ((high >> (b - 0x40)) & 1) != 0;
  }
  constexpr EncodeSet with(std::string_view bytes) const {
    EncodeSet s = *this;
    for (char ch : bytes) {
      const auto b = static_cast<unsigned char>(ch);
      if (b < 0x40) s.low |= std::uint64_t{1} << b; else s.high |= std::uint64_t{1} << (b - 0x40);
    }
    return s;
  }
};

inline constexpr EncodeSet kC0ControlSet{0xFFFFFFFFu, 0};
inline constexpr EncodeSet kFragmentSet = kC0ControlSet.with(" \"<>`");
inline constexpr EncodeSet kQuerySet = kC0ControlSet.with(" \"#<>");
inline constexpr EncodeSet kSpecialQuerySet = kQuerySet.with("'");
// Without "^", which this URL library leaves in paths.
inline constexpr EncodeSet kPathSet = kQuerySet.with("?`{}");
inline constexpr EncodeSet kUserinfoSet = kPathSet.with("/:;=@[\\]^|");

// Appends `bytes` to `out`, writing each byte of `set` as "%XX" (upper-case hex).
inline void percent_encode(std::string& out, std::string_view bytes, const EncodeSet& set) {
  std::size_t run = 0;  // start of the bytes that pass unchanged
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (!set.contains(b)) continue;
    out.append(bytes.data() + run, i - run);
    const char escape[3] = {'%', text::kUpperHexDigits[b >> 4], text::kUpperHexDigits[b & 0xF]};
    out.append(escape, 3);
    run = i + 1;
  }
  out.append(bytes.data() + run, bytes.size() - run);
}

// "%XX" with two hex digits becomes its byte; any other "%" stays as it is.
inline std::string percent_decode(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && text::hex_value(s[i + 1]) >= 0 && text::hex_value(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(text::hex_value(s[i + 1]) * 16 + text::hex_value(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

}  // namespace zevo::url::detail

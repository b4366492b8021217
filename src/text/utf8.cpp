#include "text/utf8.hpp"

#include <cstring>

namespace zevo::text {

namespace {

// Whether the 8 bytes at `p` are all ASCII.
inline bool ascii8(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return (word & 0x8080808080808080ull) == 0;
}

// The byte at `k` (1 to 3) of a sequence led by `lead`.
inline bool fits(const Utf8Lead& lead, std::size_t k, unsigned char b) {
  return k == 1 ? b >= lead.second_low && b <= lead.second_high : is_continuation_byte(b);
}

std::string invalid(std::size_t length, std::size_t index) {
  return "invalid utf-8 sequence of " + std::to_string(length) + " bytes from index " + std::to_string(index);
}

std::string incomplete(std::size_t index) {
  return "incomplete utf-8 byte sequence from index " + std::to_string(index);
}

}  // namespace

char32_t decode_utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  const Utf8Lead lead = utf8_lead(b0);
  if (lead.length == 0 || i + lead.length > s.size()) {
    ++i;
    return kReplacement;
  }
  char32_t c = b0 & (0x7F >> lead.length);
  for (std::size_t k = 1; k < lead.length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (!fits(lead, k, b)) {
      ++i;
      return kReplacement;
    }
    c = (c << 6) | (b & 0x3F);
  }
  i += lead.length;
  return c;
}

std::optional<std::string> utf8_error(std::string_view bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    if (s[i] < 0x80) {
      // Long ASCII runs are the common case: skip them a word pair at a time.
      while (i + 16 <= n && ascii8(s + i) && ascii8(s + i + 8)) i += 16;
      while (i < n && s[i] < 0x80) ++i;
      continue;
    }
    const Utf8Lead lead = utf8_lead(s[i]);
    if (lead.length == 0) return invalid(1, i);
    // Each following byte: missing means the sequence could still complete,
    // out of range means the valid prefix ends before it.
    for (std::size_t k = 1; k < lead.length; ++k) {
      if (i + k >= n) return incomplete(i);
      if (!fits(lead, k, s[i + k])) return invalid(k, i);
    }
    i += lead.length;
  }
  return std::nullopt;
}

std::size_t previous_char_start(std::string_view s, std::size_t end) {
  std::size_t i = end - 1;
  const std::size_t limit = end >= 4 ? end - 4 : 0;
  while (i > limit && is_continuation_byte(static_cast<unsigned char>(s[i]))) --i;
  std::size_t next = i;
  decode_utf8(s, next);
  return next == end ? i : end - 1;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::size_t utf16_length(std::string_view s) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      ++units;
    } else {
      units += utf16_units(decode_utf8(s, i));
    }
  }
  return units;
}

std::size_t char_count(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); ++count) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
    } else {
      decode_utf8(s, i);
    }
  }
  return count;
}

std::size_t column_to_byte(std::string_view line, std::size_t column) {
  std::size_t units = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    std::size_t next = i;
    const std::size_t width = utf16_units(decode_utf8(line, next));
    if (units + width > column) break;
    units += width;
    i = next;
  }
  return i;
}

std::size_t byte_to_column(std::string_view line, std::size_t byte) {
  if (byte > line.size()) byte = line.size();
  std::size_t units = 0;
  for (std::size_t i = 0; i < byte;) units += utf16_units(decode_utf8(line, i));
  return units;
}

std::size_t char_index_to_byte(std::string_view s, std::size_t count) {
  std::size_t i = 0;
  for (; count > 0 && i < s.size(); --count) decode_utf8(s, i);
  return i;
}

}  // namespace zevo::text

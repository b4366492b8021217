#include "text/utf8.hpp"

namespace zevo::text {

char32_t decode_utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  const std::size_t len = utf8_sequence_length(b0);
  if (len == 1 || i + len > s.size()) {
    ++i;
    return kReplacement;
  }
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if (!is_continuation_byte(b1)) {
    ++i;
    return kReplacement;
  }
  char32_t c;
  if (len == 2) {
    c = (char32_t(b0 & 0x1F) << 6) | (b1 & 0x3F);
  } else {
    // Second-byte ranges that rule out overlong forms, surrogates and values above U+10FFFF.
    if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F) || (b0 == 0xF0 && b1 < 0x90) ||
        (b0 == 0xF4 && b1 > 0x8F)) {
      ++i;
      return kReplacement;
    }
    const auto b2 = static_cast<unsigned char>(s[i + 2]);
    if (!is_continuation_byte(b2)) {
      ++i;
      return kReplacement;
    }
    if (len == 3) {
      c = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (b2 & 0x3F);
    } else {
      const auto b3 = static_cast<unsigned char>(s[i + 3]);
      if (!is_continuation_byte(b3)) {
        ++i;
        return kReplacement;
      }
      c = (char32_t(b0 & 0x07) << 18) | (char32_t(b1 & 0x3F) << 12) | (char32_t(b2 & 0x3F) << 6) |
          (b3 & 0x3F);
    }
  }
  i += len;
  return c;
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

#include <charconv>
#include <cmath>
#include <cstring>

#include "json/double_text.hpp"
#include "json/json.hpp"
#include "json/scan.hpp"
#include "text/utf8.hpp"

namespace zevo::json {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// What each byte below 0x20 becomes; 'u' means the \u00xx form.
constexpr char kControlEscape[32] = {
    'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'b', 't', 'n', 'u', 'f', 'r', 'u', 'u',
    'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u',
};

// Writes the escape of a quote, a backslash or a control character and gives
// the byte after it.
char* write_escape(char* to, unsigned char byte) {
  to[0] = '\\';
  if (byte == '"' || byte == '\\') {
    to[1] = static_cast<char>(byte);
    return to + 2;
  }
  const char letter = kControlEscape[byte];
  if (letter != 'u') {
    to[1] = letter;
    return to + 2;
  }
  const char rest[5] = {'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
  std::memcpy(to + 1, rest, sizeof rest);
  return to + 6;
}

// How many bytes the escapes add to a text.
std::size_t escape_growth(std::string_view text) {
  auto growth = [](unsigned char byte) -> std::size_t {
    return byte == '"' || byte == '\\' || kControlEscape[byte] != 'u' ? 1 : 5;
  };
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t total = 0;
  for (; end - p >= kWide; p += kWide) {
    for (uint64_t bits = string_special_bits(p); bits != 0; bits &= bits - 1) {
      total += growth(static_cast<unsigned char>(p[__builtin_ctzll(bits)]));
    }
  }
  for (; p < end; ++p) {
    if (is_string_special(static_cast<unsigned char>(*p), false)) total += growth(static_cast<unsigned char>(*p));
  }
  return total;
}

// One run at a time. Non-ASCII text is copied raw sequence by sequence; a
// byte that begins no well-formed sequence becomes U+FFFD, so that the output
// stays valid UTF-8 whatever the text holds.
void write_bytewise(std::string& out, std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  while (p < end) {
    const char* stop = find_string_special(p, end, /*stop_at_non_ascii=*/true);
    out.append(p, stop);
    p = stop;
    if (p == end) break;
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      char escape[6];
      out.append(escape, write_escape(escape, byte));
      ++p;
      continue;
    }
    std::size_t i = static_cast<std::size_t>(p - begin);
    const std::size_t start = i;
    if (text::decode_utf8(text, i) == text::kReplacement) {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(begin + start, i - start);
    }
    p = begin + i;
  }
}

template <class Integer>
void append_integer(std::string& out, Integer value) {
  char buffer[24];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(buffer, end);
}

// Well-formed text is measured first, so that it is written into storage of
// its final size with whole blocks copied at once.
void write_measured(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size() + escape_growth(text) + kBlock);
  char* dst = out.data() + start;
  const char* src = text.data();
  const char* const end = src + text.size();
  copy_runs(
      src, end, end, dst, string_special_bits, [](unsigned char c) { return is_string_special(c, false); },
      [](const char*& at, char*& to) {
        to = write_escape(to, static_cast<unsigned char>(*at++));
        return true;
      });
  out.resize(static_cast<std::size_t>(dst - out.data()));
}

// Below this length a text is not worth the extra passes of write_measured.
constexpr std::size_t kMeasuredLength = 256;

}  // namespace

void write_unsigned(std::string& out, uint64_t value) { append_integer(out, value); }

void write_string(std::string& out, std::string_view text) {
  out.push_back('"');
  if (text.size() < kMeasuredLength || text::utf8_error(text)) {
    write_bytewise(out, text);
  } else {
    write_measured(out, text);
  }
  out.push_back('"');
}

void write(std::string& out, const Value& value) {
  switch (value.type()) {
    case Value::value_t::boolean: out += value.get_ref<const Value::boolean_t&>() ? "true" : "false"; return;
    case Value::value_t::number_integer: append_integer(out, value.get_ref<const Value::number_integer_t&>()); return;
    case Value::value_t::number_unsigned:
      append_integer(out, value.get_ref<const Value::number_unsigned_t&>());
      return;
    case Value::value_t::number_float: {
      const double d = value.get_ref<const Value::number_float_t&>();
      if (std::isfinite(d)) {
        append_finite_double(out, d);
      } else {
        out += "null";
      }
      return;
    }
    case Value::value_t::string: write_string(out, value.get_ref<const Value::string_t&>()); return;
    case Value::value_t::array: {
      out.push_back('[');
      bool first = true;
      for (const Value& element : value.get_ref<const Value::array_t&>()) {
        if (!first) out.push_back(',');
        first = false;
        write(out, element);
      }
      out.push_back(']');
      return;
    }
    case Value::value_t::object: {
      // The map is ordered by key already.
      out.push_back('{');
      bool first = true;
      for (const auto& [key, member] : value.get_ref<const Value::object_t&>()) {
        if (!first) out.push_back(',');
        first = false;
        write_string(out, key);
        out.push_back(':');
        write(out, member);
      }
      out.push_back('}');
      return;
    }
    // Binary and discarded values have no JSON form; null keeps the text valid.
    case Value::value_t::null:
    case Value::value_t::binary:
    case Value::value_t::discarded: out += "null"; return;
  }
}

std::string to_text(const Value& value) {
  std::string out;
  write(out, value);
  return out;
}

}  // namespace zevo::json

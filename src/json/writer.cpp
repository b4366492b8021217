#include <charconv>
#include <cmath>

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

void append_escape(std::string& out, unsigned char byte) {
  if (byte == '"' || byte == '\\') {
    const char pair[2] = {'\\', static_cast<char>(byte)};
    out.append(pair, 2);
    return;
  }
  const char letter = kControlEscape[byte];
  if (letter != 'u') {
    const char pair[2] = {'\\', letter};
    out.append(pair, 2);
    return;
  }
  const char six[6] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
  out.append(six, 6);
}

template <class Integer>
void append_integer(std::string& out, Integer value) {
  char buffer[24];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(buffer, end);
}

}  // namespace

void write_string(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + 2);
  out.push_back('"');
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
      append_escape(out, byte);
      ++p;
      continue;
    }
    // Non-ASCII text is written raw; a byte that begins no well-formed
    // sequence becomes U+FFFD so that the output stays valid UTF-8.
    std::size_t i = static_cast<std::size_t>(p - begin);
    const std::size_t start = i;
    const char32_t c = text::decode_utf8(text, i);
    if (c == text::kReplacement) {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(begin + start, i - start);
    }
    p = begin + i;
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

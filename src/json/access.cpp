#include <cmath>
#include <limits>

#include <unicode/uchar.h>

#include "json/double_text.hpp"
#include "json/json.hpp"
#include "text/ascii.hpp"
#include "text/utf8.hpp"

namespace zevo::json {
namespace {

const Value& null_value() {
  static const Value null;
  return null;
}

// The integer a value holds when it is one of the two integer kinds and not
// negative; doubles never count.
std::optional<uint64_t> non_negative_integer(const Value& value) {
  if (value.type() == Value::value_t::number_unsigned) return value.get_ref<const Value::number_unsigned_t&>();
  if (value.type() == Value::value_t::number_integer) {
    const int64_t n = value.get_ref<const Value::number_integer_t&>();
    if (n >= 0) return static_cast<uint64_t>(n);
  }
  return std::nullopt;
}

template <class Unsigned>
std::optional<Unsigned> unsigned_in_range(const Value& value) {
  const auto n = non_negative_integer(value);
  if (!n || *n > std::numeric_limits<Unsigned>::max()) return std::nullopt;
  return static_cast<Unsigned>(*n);
}

// A character that a debug-quoted text shows as \u{...}: controls, format
// characters, separators other than the space, unassigned and private-use
// code points, and combining marks.
bool shown_as_code(char32_t c) {
  const auto c32 = static_cast<UChar32>(c);
  switch (u_charType(c32)) {
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR:
    case U_SURROGATE:
    case U_PRIVATE_USE_CHAR:
    case U_UNASSIGNED:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR: return true;
    case U_SPACE_SEPARATOR: return c != ' ';
    default: return u_hasBinaryProperty(c32, UCHAR_GRAPHEME_EXTEND) != 0;
  }
}

void append_code(std::string& out, char32_t c) {
  out += "\\u{";
  bool started = false;
  for (int shift = 20; shift >= 0; shift -= 4) {
    const unsigned digit = (c >> shift) & 0xF;
    if (digit != 0 || started || shift == 0) {
      out.push_back(text::kLowerHexDigits[digit]);
      started = true;
    }
  }
  out.push_back('}');
}

// A text between double quotes as decoder messages show it.
void append_debug_quoted(std::string& out, std::string_view text) {
  out.push_back('"');
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    const char32_t c = text::decode_utf8(text, i);
    switch (c) {
      case U'\0': out += "\\0"; continue;
      case U'\t': out += "\\t"; continue;
      case U'\r': out += "\\r"; continue;
      case U'\n': out += "\\n"; continue;
      case U'\\': out += "\\\\"; continue;
      case U'"': out += "\\\""; continue;
      default: break;
    }
    if (shown_as_code(c)) {
      append_code(out, c);
    } else if (c == text::kReplacement) {
      text::append_utf8(out, c);
    } else {
      out.append(text.substr(start, i - start));
    }
  }
  out.push_back('"');
}

}  // namespace

const Value& get(const Value& value, std::string_view key) {
  if (!value.is_object()) return null_value();
  const auto& members = value.get_ref<const Value::object_t&>();
  const auto found = members.find(key);
  return found == members.end() ? null_value() : found->second;
}

std::optional<uint32_t> as_u32(const Value& value) { return unsigned_in_range<uint32_t>(value); }
std::optional<uint64_t> as_u64(const Value& value) { return non_negative_integer(value); }

std::optional<int32_t> as_i32(const Value& value) {
  int64_t n = 0;
  if (value.type() == Value::value_t::number_integer) {
    n = value.get_ref<const Value::number_integer_t&>();
  } else if (value.type() == Value::value_t::number_unsigned) {
    const uint64_t u = value.get_ref<const Value::number_unsigned_t&>();
    if (u > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
    n = static_cast<int64_t>(u);
  } else {
    return std::nullopt;
  }
  if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(n);
}

std::string describe(const Value& value) {
  switch (value.type()) {
    case Value::value_t::boolean:
      return value.get_ref<const Value::boolean_t&>() ? "boolean `true`" : "boolean `false`";
    case Value::value_t::number_integer:
      return "integer `" + std::to_string(value.get_ref<const Value::number_integer_t&>()) + "`";
    case Value::value_t::number_unsigned:
      return "integer `" + std::to_string(value.get_ref<const Value::number_unsigned_t&>()) + "`";
    case Value::value_t::number_float: {
      const double d = value.get_ref<const Value::number_float_t&>();
      std::string out = "floating point `";
      if (std::isnan(d)) {
        out += "NaN";
      } else if (std::isinf(d)) {
        out += d < 0 ? "-inf" : "inf";
      } else {
        append_finite_double(out, d);
      }
      out.push_back('`');
      return out;
    }
    case Value::value_t::string: {
      std::string out = "string ";
      append_debug_quoted(out, value.get_ref<const Value::string_t&>());
      return out;
    }
    case Value::value_t::array: return "sequence";
    case Value::value_t::object: return "map";
    case Value::value_t::null:
    case Value::value_t::binary:
    case Value::value_t::discarded: break;
  }
  return "null";
}

}  // namespace zevo::json

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <cstdint>
#include <limits>

#include "json/json.hpp"
#include "json/scan.hpp"
#include "text/ascii.hpp"
#include "text/utf8.hpp"

namespace zevo::json {
namespace {

enum class Code : uint8_t {
  kEofWhileParsingList,
  kEofWhileParsingObject,
  kEofWhileParsingString,
  kEofWhileParsingValue,
  kExpectedColon,
  kExpectedListCommaOrEnd,
  kExpectedObjectCommaOrEnd,
  kExpectedSomeIdent,
  kExpectedSomeValue,
  kInvalidEscape,
  kInvalidNumber,
  kNumberOutOfRange,
  kControlCharacterWhileParsingString,
  kKeyMustBeAString,
  kLoneLeadingSurrogateInHexEscape,
  kTrailingComma,
  kTrailingCharacters,
  kUnexpectedEndOfHexEscape,
  kRecursionLimitExceeded,
};

// In the order of Code.
constexpr std::string_view kMessages[] = {
    "EOF while parsing a list",
    "EOF while parsing an object",
    "EOF while parsing a string",
    "EOF while parsing a value",
    "expected `:`",
    "expected `,` or `]`",
    "expected `,` or `}`",
    "expected ident",
    "expected value",
    "invalid escape",
    "invalid number",
    "number out of range",
    "control character (\\u0000-\\u001F) found while parsing a string",
    "key must be a string",
    "lone leading surrogate in hex escape",
    "trailing comma",
    "trailing characters",
    "unexpected end of hex escape",
    "recursion limit exceeded",
};

// Containers open at once, the one that fails included: 127 nested ones parse.
constexpr int kDepthLimit = 128;

// What the one-letter escapes stand for, by the letter; 0 for every other byte.
constexpr auto kSimpleEscapes = [] {
  std::array<char, 256> table{};
  for (const char c : {'"', '\\', '/'}) table[static_cast<unsigned char>(c)] = c;
  table['b'] = '\b';
  table['f'] = '\f';
  table['n'] = '\n';
  table['r'] = '\r';
  table['t'] = '\t';
  return table;
}();

// The room goes to the string only while it is at most this many times the
// decoded string's length; otherwise the string gets a copy.
constexpr std::size_t kLargestRoomPerByte = 4;

// Reads one value without recursion: open containers live on a fixed stack,
// and each value is built in the slot of the tree that will hold it.
class Reader {
 public:
  // With a room, the text lies in it and one string may take it over (parse_in_place).
  Reader(std::string_view text, std::string* room)
      : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()), room_(room) {}

  Result<Value> run();

 private:
  enum class Step { kChild, kClosed, kFailed };

  // `error` reports at the current byte index, `peek_error` one byte further
  // (never past the end).
  bool error(Code code) {
    code_ = code;
    error_index_ = static_cast<std::size_t>(p_ - begin_);
    return false;
  }
  bool peek_error(Code code) {
    code_ = code;
    error_index_ = std::min(static_cast<std::size_t>(p_ - begin_) + 1, static_cast<std::size_t>(end_ - begin_));
    return false;
  }
  Step step_error(Code code) {
    peek_error(code);
    return Step::kFailed;
  }
  std::string error_text() const;

  bool at_end() const { return p_ == end_; }
  void skip_white_space() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\t' || *p_ == '\r')) ++p_;
  }

  Step open_container(Value& slot);
  Step next_slot();
  bool member_slot(Value& object);
  bool parse_scalar(Value& slot);
  bool parse_ident(std::string_view rest);
  bool parse_number(Value& slot);
  bool parse_string(std::string& out, bool may_take_room);
  bool decode_escaped(const char*& src, const char* close, char*& dst);
  bool takes_room(const char* close) const;
  bool decode_to_front(std::string& out, const char* close, bool escaped);
  void copy_out_of_room();
  bool parse_string_bytewise(std::string& out);
  int parse_escape(char* out);
  bool parse_unicode_escape(char32_t& out);
  bool decode_hex_escape(uint16_t& out);

  const char* const begin_;
  const char* p_;
  const char* const end_;
  Code code_ = Code::kExpectedSomeValue;
  std::size_t error_index_ = 0;

  Value* stack_[kDepthLimit] = {};
  int depth_ = 0;
  Value* slot_ = nullptr;
  std::string key_;

  std::string* const room_;
  // Once a string has been decoded into the front of the room, the text
  // before it is gone; error_text() counts on from what it knew of the text
  // before the string and from where the text is intact again: the closing
  // quote, or the escape that failed. Up to either the body holds no line
  // break (only an escape that fails can have one, a "\" before it).
  bool front_taken_ = false;
  std::size_t intact_from_ = 0;
  std::size_t lines_before_ = 0;       // line feeds before the string
  std::size_t line_start_before_ = 0;  // index after the last of them
  // The string value that takes the room when the text has parsed, and its bytes at the front.
  Value::string_t* room_taker_ = nullptr;
  std::size_t taken_size_ = 0;
};

std::string Reader::error_text() const {
  std::size_t from = 0;
  std::size_t line = 1;
  std::size_t line_start = 0;
  if (front_taken_) {
    from = std::min(error_index_, intact_from_);
    line += lines_before_;
    line_start = line_start_before_;
  }
  const std::string_view rest(begin_ + from, error_index_ - from);
  line += static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n'));
  const std::size_t last_newline = rest.rfind('\n');
  if (last_newline != std::string_view::npos) line_start = from + last_newline + 1;
  std::string text(kMessages[static_cast<int>(code_)]);
  text += " at line ";
  text += std::to_string(line);
  text += " column ";
  text += std::to_string(error_index_ - line_start);
  return text;
}

Result<Value> Reader::run() {
  Value root;
  slot_ = &root;
  for (;;) {
    skip_white_space();
    if (at_end()) {
      peek_error(Code::kEofWhileParsingValue);
      return fail(error_text());
    }
    Step step;
    if (*p_ == '[' || *p_ == '{') {
      step = open_container(*slot_);
    } else {
      step = parse_scalar(*slot_) ? Step::kClosed : Step::kFailed;
    }
    // A finished value hands over to its container, which gives the next slot.
    if (step == Step::kClosed) step = next_slot();
    if (step == Step::kFailed) return fail(error_text());
    if (depth_ == 0 && step == Step::kClosed) {
      if (room_taker_ != nullptr) {
        // A room far larger than the decoded string (a room kept from a
        // larger message, a text of many escapes) is not held behind it.
        if (taken_size_ * kLargestRoomPerByte >= room_->size()) {
          room_->resize(taken_size_);
          room_taker_->swap(*room_);
        } else {
          room_taker_->assign(room_->data(), taken_size_);
        }
      }
      return root;
    }
  }
}

Reader::Step Reader::open_container(Value& slot) {
  if (depth_ + 1 == kDepthLimit) return step_error(Code::kRecursionLimitExceeded);
  const bool is_array = *p_ == '[';
  ++p_;
  slot = is_array ? Value::array() : Value::object();
  stack_[depth_++] = &slot;
  skip_white_space();
  if (is_array) {
    if (at_end()) return step_error(Code::kEofWhileParsingList);
    if (*p_ == ']') {
      ++p_;
      --depth_;
      return Step::kClosed;
    }
    auto& elements = slot.get_ref<Value::array_t&>();
    slot_ = &elements.emplace_back();
    return Step::kChild;
  }
  if (at_end()) return step_error(Code::kEofWhileParsingObject);
  if (*p_ == '}') {
    ++p_;
    --depth_;
    return Step::kClosed;
  }
  if (*p_ != '"') return step_error(Code::kKeyMustBeAString);
  return member_slot(slot) ? Step::kChild : Step::kFailed;
}

// After a complete value: closes every container that ends here and gives the
// slot of the next element or member, or reports the end of the text.
Reader::Step Reader::next_slot() {
  for (;;) {
    skip_white_space();
    if (depth_ == 0) {
      if (!at_end()) return step_error(Code::kTrailingCharacters);
      return Step::kClosed;
    }
    Value& container = *stack_[depth_ - 1];
    const bool is_array = container.is_array();
    const char close = is_array ? ']' : '}';
    if (at_end()) return step_error(is_array ? Code::kEofWhileParsingList : Code::kEofWhileParsingObject);
    if (*p_ == close) {
      ++p_;
      --depth_;
      continue;
    }
    if (*p_ != ',') {
      return step_error(is_array ? Code::kExpectedListCommaOrEnd : Code::kExpectedObjectCommaOrEnd);
    }
    ++p_;
    skip_white_space();
    if (at_end()) return step_error(Code::kEofWhileParsingValue);
    if (*p_ == close) return step_error(Code::kTrailingComma);
    if (is_array) {
      slot_ = &container.get_ref<Value::array_t&>().emplace_back();
      return Step::kChild;
    }
    if (*p_ != '"') return step_error(Code::kKeyMustBeAString);
    return member_slot(container) ? Step::kChild : Step::kFailed;
  }
}

// At the opening quote of a key: reads the key and the colon. A repeated key
// gets the slot of its earlier value, which the new value replaces.
bool Reader::member_slot(Value& object) {
  ++p_;
  key_.clear();
  if (!parse_string(key_, false)) return false;
  skip_white_space();
  if (at_end()) return peek_error(Code::kEofWhileParsingObject);
  if (*p_ != ':') return peek_error(Code::kExpectedColon);
  ++p_;
  auto& members = object.get_ref<Value::object_t&>();
  const auto [member, added] = members.try_emplace(key_);
  // The value replaced may hold the string that waits for the room.
  if (!added) copy_out_of_room();
  slot_ = &member->second;
  return true;
}

bool Reader::parse_scalar(Value& slot) {
  switch (*p_) {
    case '"': {
      ++p_;
      slot = Value::string_t();
      return parse_string(slot.get_ref<Value::string_t&>(), true);
    }
    case 'n':
      ++p_;
      slot = nullptr;
      return parse_ident("ull");
    case 't':
      ++p_;
      slot = true;
      return parse_ident("rue");
    case 'f':
      ++p_;
      slot = false;
      return parse_ident("alse");
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9': return parse_number(slot);
    default: return peek_error(Code::kExpectedSomeValue);
  }
}

bool Reader::parse_ident(std::string_view rest) {
  for (const char expected : rest) {
    if (at_end()) return error(Code::kEofWhileParsingValue);
    if (*p_++ != expected) return error(Code::kExpectedSomeIdent);
  }
  return true;
}

// After the opening quote; the closing quote is consumed. The body is first
// measured up to its closing quote, so that the text is decoded into storage
// of its final size with whole blocks copied at once. An escape never takes in
// the closing quote (it is no hex digit and no backslash), so the copied runs
// end exactly there.
bool Reader::parse_string(std::string& out, bool may_take_room) {
  bool escaped = false;
  const char* const close = find_closing_quote(p_, end_, escaped);
  if (close == nullptr) return parse_string_bytewise(out);
  if (may_take_room && takes_room(close)) return decode_to_front(out, close, escaped);
  if (!escaped) {
    // Nothing to decode: one copy, into storage that is not first filled with zeros.
    out.append(p_, close);
    p_ = close + 1;
    return true;
  }
  const std::size_t start = out.size();
  // Decoding never lengthens the text; block copies may run kBlock - 1 bytes
  // past the decoded end.
  out.resize(start + static_cast<std::size_t>(close - p_) + kBlock);
  char* dst = out.data() + start;
  const char* src = p_;
  if (!decode_escaped(src, close, dst)) return false;
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return true;
}

// Decodes the body from `src` up to `close` into `dst`; both move past what
// they took. A failed escape leaves `src` at its backslash.
bool Reader::decode_escaped(const char*& from, const char* close, char*& to_end) {
  // Locals, so that the loop keeps them in registers.
  const char* src = from;
  char* dst = to_end;
  const bool complete = copy_runs(
      src, close, end_, dst, backslash_bits, [](unsigned char c) { return c == '\\'; },
      [this](const char*& at, char*& to) {
        // The byte after a backslash is inside the body: the closing quote is never the escaped one.
        const char simple = kSimpleEscapes[static_cast<unsigned char>(at[1])];
        if (simple != 0) {
          *to++ = simple;
          at += 2;
          return true;
        }
        p_ = at + 1;
        const int written = parse_escape(to);
        if (written < 0) return false;
        to += written;
        at = p_;
        return true;
      });
  from = src;
  to_end = dst;
  if (!complete) return false;
  p_ = close + 1;
  return true;
}

// A string of at least half the text takes the room; there is at most one.
// It must begin kBlock bytes in, so that decoding it to the front, whose
// block copies write up to kBlock - 1 bytes past their output, never writes
// over a byte not yet read.
bool Reader::takes_room(const char* close) const {
  if (room_ == nullptr || front_taken_ || p_ - begin_ < static_cast<std::ptrdiff_t>(kBlock)) return false;
  return static_cast<std::size_t>(close - p_) * 2 >= static_cast<std::size_t>(end_ - begin_);
}

// Decodes the string into the front of the room; `out` takes the room once
// the whole text has parsed. The text before it has been read, and decoding
// never lengthens a string, so the front runs behind the bytes still to read.
bool Reader::decode_to_front(std::string& out, const char* close, bool escaped) {
  const std::string_view before(begin_, static_cast<std::size_t>(p_ - begin_));
  lines_before_ = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t last_newline = before.rfind('\n');
  line_start_before_ = last_newline == std::string_view::npos ? 0 : last_newline + 1;
  intact_from_ = static_cast<std::size_t>(close - begin_);
  front_taken_ = true;
  char* const front = room_->data();
  char* dst = front;
  if (escaped) {
    const char* src = p_;
    if (!decode_escaped(src, close, dst)) {
      intact_from_ = static_cast<std::size_t>(src - begin_);
      return false;
    }
  } else {
    std::memmove(front, p_, static_cast<std::size_t>(close - p_));
    dst += close - p_;
    p_ = close + 1;
  }
  room_taker_ = &out;
  taken_size_ = static_cast<std::size_t>(dst - front);
  return true;
}

// The string waiting for the room gets a copy of its bytes instead.
void Reader::copy_out_of_room() {
  if (room_taker_ == nullptr) return;
  room_taker_->assign(room_->data(), taken_size_);
  room_taker_ = nullptr;
}

// The same decoding one run at a time, for a body that holds a control
// character or has no closing quote: it reports where the body fails.
bool Reader::parse_string_bytewise(std::string& out) {
  for (;;) {
    const char* stop = find_string_special(p_, end_, /*stop_at_non_ascii=*/false);
    out.append(p_, stop);
    p_ = stop;
    if (at_end()) return error(Code::kEofWhileParsingString);
    const char c = *p_++;
    if (c == '"') return true;
    if (c != '\\') return error(Code::kControlCharacterWhileParsingString);
    char decoded[4];
    const int written = parse_escape(decoded);
    if (written < 0) return false;
    out.append(decoded, static_cast<std::size_t>(written));
  }
}

// After the backslash: writes the decoded bytes (1 to 4) to `out` and gives
// their count, or -1 after recording the error.
int Reader::parse_escape(char* out) {
  if (at_end()) return error(Code::kEofWhileParsingString), -1;
  const char c = *p_++;
  const char simple = kSimpleEscapes[static_cast<unsigned char>(c)];
  if (simple != 0) {
    *out = simple;
    return 1;
  }
  if (c != 'u') return error(Code::kInvalidEscape), -1;
  char32_t code_point = 0;
  if (!parse_unicode_escape(code_point)) return -1;
  std::string encoded;
  text::append_utf8(encoded, code_point);
  std::memcpy(out, encoded.data(), encoded.size());
  return static_cast<int>(encoded.size());
}

// After "\u". Surrogates must come as a leading and a trailing one in two
// consecutive escapes.
bool Reader::parse_unicode_escape(char32_t& out) {
  uint16_t first = 0;
  if (!decode_hex_escape(first)) return false;
  if (first >= 0xDC00 && first <= 0xDFFF) return error(Code::kLoneLeadingSurrogateInHexEscape);
  if (first < 0xD800 || first > 0xDBFF) {
    out = first;
    return true;
  }
  for (const char expected : {'\\', 'u'}) {
    if (at_end()) return error(Code::kEofWhileParsingString);
    if (*p_++ != expected) return error(Code::kUnexpectedEndOfHexEscape);
  }
  uint16_t second = 0;
  if (!decode_hex_escape(second)) return false;
  if (second < 0xDC00 || second > 0xDFFF) return error(Code::kLoneLeadingSurrogateInHexEscape);
  out = 0x10000 + ((char32_t(first - 0xD800) << 10) | char32_t(second - 0xDC00));
  return true;
}

bool Reader::decode_hex_escape(uint16_t& out) {
  if (end_ - p_ < 4) {
    p_ = end_;
    return error(Code::kEofWhileParsingString);
  }
  int value = 0;
  bool valid = true;
  for (int k = 0; k < 4; ++k) {
    const int digit = text::hex_value(p_[k]);
    valid = valid && digit >= 0;
    value = value * 16 + digit;
  }
  p_ += 4;
  if (!valid) return error(Code::kInvalidEscape);
  out = static_cast<uint16_t>(value);
  return true;
}

// Integers that fit stay integers (unsigned, or signed when negative); every
// other number, and -0, is a correctly rounded double.
bool Reader::parse_number(Value& slot) {
  const char* const start = p_;
  const bool negative = *p_ == '-';
  if (negative) ++p_;
  if (at_end()) return error(Code::kEofWhileParsingValue);
  const char lead = *p_++;
  uint64_t significand = 0;
  bool fits = true;
  bool any_nonzero = false;
  int64_t integer_digits = 0;
  if (lead == '0') {
    if (!at_end() && text::is_ascii_digit(*p_)) return peek_error(Code::kInvalidNumber);
  } else if (lead >= '1' && lead <= '9') {
    significand = static_cast<uint64_t>(lead - '0');
    any_nonzero = true;
    integer_digits = 1;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    while (!at_end() && text::is_ascii_digit(*p_)) {
      const auto digit = static_cast<uint64_t>(*p_ - '0');
      if (significand > (kMax - digit) / 10) fits = false;
      if (fits) significand = significand * 10 + digit;
      ++integer_digits;
      ++p_;
    }
  } else {
    return error(Code::kInvalidNumber);
  }
  bool is_float = false;
  // Zeros after the point before the first other digit, when the integer part is 0.
  int64_t leading_zeros = 0;
  if (!at_end() && *p_ == '.') {
    ++p_;
    is_float = true;
    const char* const digits = p_;
    while (!at_end() && text::is_ascii_digit(*p_)) {
      if (*p_ != '0') {
        any_nonzero = true;
      } else if (!any_nonzero) {
        ++leading_zeros;
      }
      ++p_;
    }
    if (p_ == digits) return peek_error(at_end() ? Code::kEofWhileParsingValue : Code::kInvalidNumber);
  }
  int64_t exponent = 0;
  if (!at_end() && (*p_ == 'e' || *p_ == 'E')) {
    ++p_;
    is_float = true;
    bool positive_exponent = true;
    if (!at_end() && (*p_ == '+' || *p_ == '-')) positive_exponent = *p_++ == '+';
    if (at_end()) return error(Code::kEofWhileParsingValue);
    const char first = *p_++;
    if (!text::is_ascii_digit(first)) return error(Code::kInvalidNumber);
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    int32_t value = first - '0';
    while (!at_end() && text::is_ascii_digit(*p_)) {
      const int32_t digit = *p_++ - '0';
      if (value > (kMax - digit) / 10) {
        // An exponent beyond 32 bits: infinite unless the number is zero or tiny.
        if (any_nonzero && positive_exponent) return error(Code::kNumberOutOfRange);
        while (!at_end() && text::is_ascii_digit(*p_)) ++p_;
        slot = negative ? -0.0 : 0.0;
        return true;
      }
      value = value * 10 + digit;
    }
    exponent = positive_exponent ? value : -int64_t{value};
  }
  if (!is_float && fits) {
    constexpr uint64_t kMinMagnitude = uint64_t{1} << 63;
    if (!negative) {
      slot = significand;
      return true;
    }
    if (significand == 0) {
      slot = -0.0;
      return true;
    }
    if (significand <= kMinMagnitude) {
      slot = significand == kMinMagnitude ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(significand);
      return true;
    }
  }
  double value = 0;
  const auto result = std::from_chars(start, p_, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the decimal exponent of the first
    // significant digit tells which.
    const int64_t magnitude = (integer_digits > 0 ? integer_digits - 1 : -(leading_zeros + 1)) + exponent;
    if (magnitude >= 0) return error(Code::kNumberOutOfRange);
    value = negative ? -0.0 : 0.0;
  }
  slot = value;
  return true;
}

}  // namespace

Result<Value> parse(std::string_view text) { return Reader(text, nullptr).run(); }

Result<Value> parse_in_place(std::string& buffer, std::size_t size) {
  return Reader(std::string_view(buffer.data(), size), &buffer).run();
}

}  // namespace zevo::json

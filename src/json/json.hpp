// JSON as the server reads and writes it, on the nlohmann value tree (objects
// ordered by key; numbers as unsigned 64-bit, signed 64-bit or double).
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/recent_need.hpp"
#include "base/result.hpp"

namespace zevo::json {

using Value = nlohmann::json;

// ---- Reading ------------------------------------------------------------

// Exactly one JSON value followed only by space, tab, LF, CR. The error text
// ends in " at line L column C", e.g. "trailing characters at line 1 column 4".
// Strings keep their bytes as they are: run text::utf8_error first (the writer still
// never emits ill-formed UTF-8).
Result<Value> parse(std::string_view text);
// parse() of the first `size` bytes of `buffer`, with the same value and the
// same error texts, where a string that takes up half of them or more gets
// the buffer's memory: it is decoded into the front of the buffer, and once
// the whole text has parsed the buffer becomes that string (and is left
// empty), so that a large document's text needs no block of its own, unless
// the buffer is more than four times the string's length (then the string
// is a copy). Either way the buffer's bytes are not kept.
Result<Value> parse_in_place(std::string& buffer, std::size_t size);

// ---- Writing ----------------------------------------------------------------

// The largest message body the server reads, and the largest it writes as an
// answer: beyond it an answer is refused rather than held in memory.
inline constexpr std::size_t kMaxMessageBytes = std::size_t{512} << 20;

// Appends compact JSON into a chain of blocks that are never copied as the
// text grows; clear() keeps the first blocks, as many as recent texts filled,
// for the next message. Object members must come in ascending byte order of
// their keys (checked in debug builds), except in an envelope. A write that
// would take the text past the limit is refused, and so is everything after it
// until clear(): memory never holds more than the limit.
class Writer {
 public:
  explicit Writer(std::size_t limit = kMaxMessageBytes);
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  void begin_object() { open('{', true); }
  void end_object() { close('}'); }
  void begin_array() { open('[', false); }
  void end_array() { close(']'); }
  void key(std::string_view name) {
#ifndef NDEBUG
    check_key_order(name);
#endif
    if (!write_short_plain(name, ":")) key_escaped(name);
    comma_ = false;
  }
  // An object whose members keep the order they are written in.
  void begin_envelope() { open('{', false); }

  void null();
  void boolean(bool value);
  // Integers are written in place when the block has room for the longest.
  void number(uint64_t value) {
    if (!write_integer_in_place(value)) write_integer(value);
  }
  void number(int64_t value) {
    if (!write_integer_in_place(value)) write_integer(value);
  }
  void number(uint32_t value) { number(uint64_t{value}); }
  // Several integers in a row, written in place as many at a time as the
  // block and the limit have room for at the longest; where not even one
  // has, one at a time as number() writes it. The same text and refusals as
  // number() for each (answers such as semantic tokens are long arrays of
  // small integers).
  void numbers(std::span<const uint32_t> values) {
    while (!values.empty()) {
      const std::size_t room = std::min(budget_, static_cast<std::size_t>(end_ - at_));
      const std::size_t fit = std::min(values.size(), room / kLongestInteger);
      if (fit == 0) {
        number(values.front());
        values = values.subspan(1);
        continue;
      }
      write_in_place(values.first(fit));
      values = values.subspan(fit);
    }
  }
  void number(int32_t value) { number(int64_t{value}); }
  void number(double value);  // null when not finite
  void string(std::string_view text);
  void value(const Value& value);
  // Text that is already one compact JSON value.
  void raw(std::string_view json);

  // Bytes held; at most the limit.
  std::size_t size() const { return held_ + static_cast<std::size_t>(at_ - block_); }
  std::size_t limit() const { return limit_; }
  void set_limit(std::size_t limit) {
    limit_ = limit;
    budget_ = refused_at_ != 0 || size() > limit ? 0 : limit - size();
  }
  // Whether a write was refused, and the size it would have brought the text to.
  bool refused() const { return refused_at_ != 0; }
  std::size_t refused_at() const { return refused_at_; }

  // Empties the text and forgets a refusal; the first blocks stay for the next.
  void clear();
  // Bytes in the blocks held, filled or kept.
  std::size_t reserved() const;
  // Calls `visit(std::string_view)` with the text's pieces in order.
  template <class Visit>
  void for_each_piece(Visit&& visit) const {
    for (std::size_t i = 0; i < filled_; ++i) {
      const Block& b = blocks_[i];
      const char* end = i + 1 == filled_ ? at_ : b.data.get() + b.size;
      if (end != b.data.get()) visit(std::string_view(b.data.get(), static_cast<std::size_t>(end - b.data.get())));
    }
  }
  std::string text() const;

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    std::size_t size;
  };

  void open(char bracket, [[maybe_unused]] bool ordered) {
    const char text[2] = {',', bracket};
    append(comma_ ? text : text + 1, comma_ ? 2 : 1);
    comma_ = false;
#ifndef NDEBUG
    push_frame(ordered);
#endif
  }
  void close(char bracket) {
    append(&bracket, 1);
    comma_ = true;
#ifndef NDEBUG
    pop_frame();
#endif
  }
#ifndef NDEBUG
  void push_frame(bool ordered);
  void pop_frame();
#endif
  void before_value() {
    if (comma_) append(",", 1);
    comma_ = true;
  }
  // Small writes into the room of the current block are the common case.
  void append(const char* data, std::size_t size) {
    if (size <= budget_ && size <= static_cast<std::size_t>(end_ - at_)) {
      if (size != 0) std::memcpy(at_, data, size);
      at_ += size;
      budget_ -= size;
      return;
    }
    append_across(data, size);
  }
  void append(std::string_view text) { append(text.data(), text.size()); }
  void append_across(const char* data, std::size_t size);
  // Keys and most names are short ASCII with nothing to escape: they go out
  // with their separator, their quotes and what follows in one copy. Inline,
  // so that a literal key is checked and copied at its compile-time length.
  static constexpr std::size_t kShortText = 64;
  static constexpr bool is_plain_ascii(std::string_view text) {
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte >= 0x80 || byte == '"' || byte == '\\') return false;
    }
    return true;
  }
  bool write_short_plain(std::string_view text, std::string_view after) {
    if (text.size() >= kShortText || !is_plain_ascii(text)) return false;
    char buffer[kShortText + 4];
    char* p = buffer;
    if (comma_) *p++ = ',';
    *p++ = '"';
    if (!text.empty()) std::memcpy(p, text.data(), text.size());
    p += text.size();
    *p++ = '"';
    if (!after.empty()) std::memcpy(p, after.data(), after.size());
    p += after.size();
    comma_ = true;
    append(buffer, static_cast<std::size_t>(p - buffer));
    return true;
  }
  void key_escaped(std::string_view name);
#ifndef NDEBUG
  void check_key_order(std::string_view name);
#endif
  // A separator, a sign and 20 digits.
  static constexpr std::size_t kLongestInteger = 22;
  // "," and the digits of 0 to 99, in four bytes each.
  static constexpr std::array<std::array<char, 4>, 100> kSeparatedPairs = [] {
    std::array<std::array<char, 4>, 100> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
      pairs[i][0] = ',';
      pairs[i][1] = static_cast<char>('0' + (i < 10 ? i : i / 10));
      pairs[i][2] = static_cast<char>('0' + i % 10);
    }
    return pairs;
  }();
  // Most integers in answers (positions, lengths, kinds) are below 100.
  static char* write_digits(char* p, uint64_t value) {
    if (value < 10) {
      *p = static_cast<char>('0' + value);
      return p + 1;
    }
    if (value < 100) {
      p[0] = static_cast<char>('0' + value / 10);
      p[1] = static_cast<char>('0' + value % 10);
      return p + 2;
    }
    return std::to_chars(p, p + 20, value).ptr;
  }
  // Integers that the block and the limit have room for at the longest.
  // Whether one is below 10 is hard to predict in a long row, so a value
  // below 100 goes out with its separator in one store of four bytes, which
  // may write past it into that room, and the pointer moves by two or three.
  void write_in_place(std::span<const uint32_t> values) {
    char* p = at_;
    std::size_t i = 0;
    if (!comma_) p = write_digits(p, uint64_t{values[i++]});
    for (; i < values.size(); ++i) {
      const uint32_t value = values[i];
      if (value < 100) {
        std::memcpy(p, &kSeparatedPairs[value], 4);
        p += 3 - (value < 10);
      } else {
        *p++ = ',';
        p = write_digits(p, uint64_t{value});
      }
    }
    comma_ = true;
    budget_ -= static_cast<std::size_t>(p - at_);
    at_ = p;
  }
  static char* write_digits(char* p, int64_t value) {
    if (value >= 0) return write_digits(p, static_cast<uint64_t>(value));
    *p++ = '-';
    return write_digits(p, uint64_t{0} - static_cast<uint64_t>(value));
  }
  template <class Integer>
  bool write_integer_in_place(Integer value) {
    if (budget_ < kLongestInteger || static_cast<std::size_t>(end_ - at_) < kLongestInteger) return false;
    char* p = at_;
    if (comma_) *p++ = ',';
    comma_ = true;
    p = write_digits(p, value);
    budget_ -= static_cast<std::size_t>(p - at_);
    at_ = p;
    return true;
  }
  template <class Integer>
  void write_integer(Integer value);
  void next_block();
  void write_bytewise(std::string_view text);

  std::size_t limit_;
  std::size_t budget_;  // bytes that may still be written; 0 once refused
  std::size_t refused_at_ = 0;
  std::vector<Block> blocks_;
  std::size_t filled_ = 0;  // blocks in use; the others are kept from an earlier text
  char* block_ = nullptr;  // start of the block being filled
  char* at_ = nullptr;
  char* end_ = nullptr;
  std::size_t held_ = 0;   // bytes in the blocks before it
  RecentNeed recent_;      // sizes of the last texts cleared
  bool comma_ = false;     // a value or member came before at this depth
#ifndef NDEBUG
  // Per open object or array: whether its keys are checked, and the last key.
  struct Frame {
    bool ordered;
    std::string last_key;
    bool has_key = false;
  };
  std::vector<Frame> frames_;
#endif
};

// ---- Raw-style access: a missing key, or a key looked up in a value of the
// wrong kind, reads as null ----------------------------------------

const Value& get(const Value& value, std::string_view key);

// ---- Typed reads for record decoding: kind and range are checked; a double
// never passes as an integer (not even 1.0 or -0) --------------------------

std::optional<uint32_t> as_u32(const Value& value);
std::optional<int32_t> as_i32(const Value& value);
std::optional<uint64_t> as_u64(const Value& value);

// How a value is named in a decoder's "invalid type" text: "null",
// "boolean `true`", "integer `5`", "floating point `1.5`", "string \"text\"",
// "sequence", "map".
std::string describe(const Value& value);

// A whole value as compact JSON, with no limit.
std::string to_text(const Value& value);

// ---- Envelopes, with a fixed member order ----------------------------------

// {"jsonrpc":"2.0","id":<id>,"result":<what write_result writes>}
template <class WriteResult>
void write_response(Writer& out, const Value& id, WriteResult&& write_result) {
  out.begin_envelope();
  out.key("jsonrpc");
  out.string("2.0");
  out.key("id");
  out.value(id);
  out.key("result");
  write_result(out);
  out.end_object();
}
// {"jsonrpc":"2.0","id":<id>,"error":{"code":..,"message":..[,"data":..]}}
void write_error_response(Writer& out, const Value& id, int32_t code, std::string_view message, const Value* data);
// {"jsonrpc":"2.0","method":<method>,"params":<what write_params writes>}
template <class WriteParams>
void write_notification(Writer& out, std::string_view method, WriteParams&& write_params) {
  out.begin_envelope();
  out.key("jsonrpc");
  out.string("2.0");
  out.key("method");
  out.string(method);
  out.key("params");
  write_params(out);
  out.end_object();
}

}  // namespace zevo::json

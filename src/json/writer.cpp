#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

#include "json/double_text.hpp"
#include "json/json.hpp"
#include "json/scan.hpp"
#include "text/ascii.hpp"
#include "text/utf8.hpp"

namespace zevo::json {
namespace {


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
  const char rest[5] = {'u', '0', '0', text::kLowerHexDigits[byte >> 4], text::kLowerHexDigits[byte & 0xF]};
  std::memcpy(to + 1, rest, sizeof rest);
  return to + 6;
}

// Blocks start small, since most answers are, and double up to 16 MiB; they
// are never copied.
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{16} << 20;
// What clear() keeps at least: the blocks before the first of the largest size.
constexpr std::size_t kKeptBytes = std::size_t{16} << 20;

// Below this length a text is not worth checking whole before the run scan.
constexpr std::size_t kCheckedLength = 256;


}  // namespace

Writer::Writer(std::size_t limit) : limit_(limit), budget_(limit) {}

void Writer::next_block() {
  if (filled_ != 0) held_ += static_cast<std::size_t>(at_ - block_);
  if (filled_ == blocks_.size()) {
    const std::size_t size = blocks_.empty() ? kFirstBlock : std::min(blocks_.back().size * 2, kLargestBlock);
    blocks_.push_back({std::unique_ptr<char[]>(new char[size]), size});
  }
  const Block& block = blocks_[filled_++];
  block_ = at_ = block.data.get();
  end_ = block_ + block.size;
}

void Writer::append_across(const char* data, std::size_t size) {
  if (refused_at_ != 0) return;
  if (size > budget_) {
    refused_at_ = this->size() + size;
    budget_ = 0;
    return;
  }
  budget_ -= size;
  for (;;) {
    const auto room = static_cast<std::size_t>(end_ - at_);
    const std::size_t n = std::min(room, size);
    if (n != 0) std::memcpy(at_, data, n);
    at_ += n;
    if (n == size) return;
    data += n;
    size -= n;
    next_block();
  }
}

void Writer::clear() {
  // A refused text is not a need: its blocks are given back.
  if (refused_at_ == 0) recent_.record(size());
  refused_at_ = 0;
  budget_ = limit_;
  comma_ = false;
#ifndef NDEBUG
  frames_.clear();
#endif
  held_ = 0;
  if (blocks_.empty()) return;
  // The first blocks, up to kKeptBytes or as many as the largest of the last
  // few texts filled, stay for the next text: a large answer after another
  // then writes into pages that are already there instead of having the
  // kernel map and zero fresh ones. The rest is given back.
  const std::size_t need = recent_.largest();
  std::size_t kept = 0;
  std::size_t count = 0;
  while (count < blocks_.size() && (kept + blocks_[count].size <= kKeptBytes || kept < need)) {
    kept += blocks_[count++].size;
  }
  blocks_.resize(count);
  filled_ = 1;
  block_ = at_ = blocks_[0].data.get();
  end_ = block_ + blocks_[0].size;
}

std::size_t Writer::reserved() const {
  std::size_t bytes = 0;
  for (const Block& b : blocks_) bytes += b.size;
  return bytes;
}

std::string Writer::text() const {
  std::string out;
  out.reserve(size());
  for_each_piece([&](std::string_view piece) { out += piece; });
  return out;
}

#ifndef NDEBUG
void Writer::push_frame(bool ordered) { frames_.push_back({ordered, {}, false}); }
void Writer::pop_frame() { frames_.pop_back(); }
#endif

#ifndef NDEBUG
void Writer::check_key_order(std::string_view name) {
  Frame& frame = frames_.back();
  assert(!frame.ordered || !frame.has_key || frame.last_key < name);
  frame.last_key = name;
  frame.has_key = true;
}
#endif

void Writer::key_escaped(std::string_view name) {
  string(name);
  append(":", 1);
}

void Writer::null() {
  before_value();
  append("null", 4);
}

void Writer::boolean(bool value) {
  before_value();
  if (value) {
    append("true", 4);
  } else {
    append("false", 5);
  }
}

// Near the end of a block or of the limit: the separator and the digits in
// one copy, refused whole.
template <class Integer>
void Writer::write_integer(Integer value) {
  char buffer[24];
  char* p = buffer;
  if (comma_) *p++ = ',';
  comma_ = true;
  append(buffer, static_cast<std::size_t>(std::to_chars(p, buffer + sizeof buffer, value).ptr - buffer));
}

template void Writer::write_integer(uint64_t);
template void Writer::write_integer(int64_t);

void Writer::number(double value) {
  if (!std::isfinite(value)) {
    null();
    return;
  }
  before_value();
  std::string text;
  append_finite_double(text, value);
  append(text);
}

void Writer::raw(std::string_view json) {
  before_value();
  append(json);
}

// One run at a time. Non-ASCII text is copied raw sequence by sequence; a
// byte that begins no well-formed sequence becomes U+FFFD, so that the output
// stays valid UTF-8 whatever the text holds.
void Writer::write_bytewise(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  while (p < end) {
    const char* stop = find_string_special(p, end, /*stop_at_non_ascii=*/true);
    append(p, static_cast<std::size_t>(stop - p));
    p = stop;
    if (p == end) break;
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      char escape[6];
      append(escape, static_cast<std::size_t>(write_escape(escape, byte) - escape));
      ++p;
      continue;
    }
    std::size_t i = static_cast<std::size_t>(p - begin);
    const std::size_t start = i;
    if (text::decode_utf8(text, i) == text::kReplacement) {
      append("\xEF\xBF\xBD", 3);
    } else {
      append(begin + start, i - start);
    }
    p = begin + i;
  }
}

void Writer::string(std::string_view text) {
  if (write_short_plain(text, {})) return;
  before_value();
  append("\"", 1);
  if (text.size() < kCheckedLength || text::utf8_error(text)) {
    write_bytewise(text);
  } else {
    // Well-formed: only quotes, backslashes and control characters stop a run.
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
      const char* stop = find_string_special(p, end, /*stop_at_non_ascii=*/false);
      append(p, static_cast<std::size_t>(stop - p));
      if (stop == end) break;
      char escape[6];
      append(escape, static_cast<std::size_t>(write_escape(escape, static_cast<unsigned char>(*stop)) - escape));
      p = stop + 1;
    }
  }
  append("\"", 1);
}

void Writer::value(const Value& value) {
  switch (value.type()) {
    case Value::value_t::boolean: boolean(value.get_ref<const Value::boolean_t&>()); return;
    case Value::value_t::number_integer: number(int64_t{value.get_ref<const Value::number_integer_t&>()}); return;
    case Value::value_t::number_unsigned: number(uint64_t{value.get_ref<const Value::number_unsigned_t&>()}); return;
    case Value::value_t::number_float: number(value.get_ref<const Value::number_float_t&>()); return;
    case Value::value_t::string: string(value.get_ref<const Value::string_t&>()); return;
    case Value::value_t::array:
      begin_array();
      for (const Value& element : value.get_ref<const Value::array_t&>()) this->value(element);
      end_array();
      return;
    case Value::value_t::object:
      // The map is ordered by key already.
      begin_object();
      for (const auto& [name, member] : value.get_ref<const Value::object_t&>()) {
        key(name);
        this->value(member);
      }
      end_object();
      return;
    // Binary and discarded values have no JSON form; null keeps the text valid.
    case Value::value_t::null:
    case Value::value_t::binary:
    case Value::value_t::discarded: null(); return;
  }
}

std::string to_text(const Value& value) {
  Writer out(SIZE_MAX);
  out.value(value);
  return out.text();
}

}  // namespace zevo::json

// One small record built as compact JSON text and handed to the writer in one
// copy: the features that answer with one record per line (symbols, lenses)
// otherwise pay a writer call per member, which costs more than their scan.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "json/json.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

class RecordText {
 public:
  RecordText() { text_.reserve(512); }

  void clear() { text_.clear(); }
  RecordText& literal(std::string_view s) {
    text_.append(s);
    return *this;
  }
  RecordText& number(uint64_t value) {
    char digits[24];
    text_.append(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
    return *this;
  }
  // `s` between quotes as it is; only for text that `plain` admits.
  RecordText& quoted(std::string_view s) {
    text_ += '"';
    text_.append(s);
    text_ += '"';
    return *this;
  }
  // Copies `s` to `p` for a `written` record and returns the end. An empty
  // view may point nowhere, so it copies nothing.
  static char* put(char* p, std::string_view s) {
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
    return p + s.size();
  }
  // Appends what `write(char* at)` puts in at most `most` bytes from `at`;
  // it returns the end of what it wrote. For a record written in one go.
  template <class Write>
  RecordText& written(std::size_t most, Write&& write) {
    const std::size_t at = text_.size();
    text_.resize(at + most);
    const char* end = write(text_.data() + at);
    text_.resize(static_cast<std::size_t>(end - text_.data()));
    return *this;
  }
  // The text of one `"name":{"end":...,"start":...}` range on one line.
  RecordText& line_range(uint64_t line, uint64_t start, uint64_t end) {
    literal(R"({"end":{"character":)").number(end).literal(R"(,"line":)").number(line);
    return literal(R"(},"start":{"character":)").number(start).literal(R"(,"line":)").number(line).literal("}}");
  }

  // Whether the writer's string of `s` is `s` between quotes: well-formed
  // UTF-8 without quotes, backslashes or control characters.
  static bool plain(std::string_view s) {
    bool ascii = true;
    for (const char c : s) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == '"' || byte == '\\') return false;
      ascii = ascii && byte < 0x80;
    }
    return ascii || !text::utf8_error(s);
  }

  // Writes the record into `out` as one value, unless the writer's limit is
  // near: a refusal must name the size that the member passing the limit
  // would have reached, so there the caller writes the record member by
  // member instead. False when it wrote nothing.
  bool write_to(json::Writer& out) const {
    // One byte more than the text, for the comma that may go before it.
    if (out.refused() || out.size() + text_.size() + 1 > out.limit()) return false;
    out.raw(text_);
    return true;
  }

 private:
  std::string text_;
};

}  // namespace zevo::lsp

// The ZEVO lexer: one token per call over a borrowed UTF-8 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "parser/token.hpp"

namespace zevo::parser {

class Lexer {
 public:
  // The text is borrowed for the lexer's whole life; a leading byte order mark is skipped.
  Lexer(std::string_view text, SourceFile source);

  // The next token; its span becomes `last_span()`. At the end of the text
  // every call gives EndOfInput again.
  Token next_token();

  // The span of the token that `next_token` returned last; before the first
  // call: file "<unknown>", line 0, column 0, length 0.
  const Span& last_span() const { return last_span_; }

  const SourceFile& source() const { return source_; }

 private:
  // Where `current` stands: its byte offset, line and column. The text is held
  // whole, so this is all a look-ahead has to save to go back.
  struct Position {
    std::size_t offset = 0;
    std::uint64_t line = 1;
    std::uint64_t column = 1;
  };

  Token scan_token();
  void skip_trivia();
  void skip_line_comment();
  void skip_block_comment();
  Token read_operator(char c);
  Token read_string(char quote);
  Token read_word();
  bool read_second_word(std::string_view first);
  Token read_number();
  template <class Ascii, class Other>
  bool skip_run(Ascii ascii, Other other);

  bool at_end() const { return pos_.offset >= text_.size(); }
  char byte_at(std::size_t offset) const { return offset < text_.size() ? text_[offset] : '\0'; }
  void advance_char();
  void advance_ascii() { ++pos_.offset, ++pos_.column; }

  std::string_view text_;
  SourceFile source_;
  Position pos_;
  Span last_span_;
};

}  // namespace zevo::parser

// The ZEVO lexer: one token per call over a borrowed UTF-8 text.
#pragma once

#include <cstddef>
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
  // The lexer's place in the text: the byte offset of `current` and its line and column.
  struct Position {
    std::size_t offset = 0;
    std::uint64_t line = 1;
    std::uint64_t column = 1;
  };

  Token scan_token();
  void skip_trivia();
  Token read_operator(unsigned char c);
  Token read_string(unsigned char quote);
  Token read_word();
  Token read_number();
  std::size_t word_end(std::size_t offset, bool letters_only) const;
  bool at_end() const { return pos_.offset >= text_.size(); }
  char32_t current_char(std::size_t& next) const;
  char32_t peek_char() const;
  void advance_char();
  void advance_ascii() { ++pos_.offset, ++pos_.column; }
  void advance_columns_to(std::size_t offset);

  std::string_view text_;
  SourceFile source_;
  Position pos_;
  Span last_span_;
  bool span_file_set_ = false;
};

}  // namespace zevo::parser

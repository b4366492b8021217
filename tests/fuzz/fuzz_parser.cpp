// The lexer and the whole-document parse on any text a document can hold.
// Every call before the end consumes at least one byte (an unknown character
// gives EndOfInput too, and the next call goes on after it), so after one call
// per byte the lexer is at the end and gives EndOfInput from then on. The parse
// must return, whatever the nesting, and drop its tree; read statement by
// statement it reads as many statements.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.hpp"
#include "parser/lexer.hpp"
#include "parser/parser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zevo::parser;
  const std::string text = zevo::fuzz::valid_utf8(std::string_view(reinterpret_cast<const char*>(data), size));
  Lexer lexer(text, SourceFile{"<fuzz>"});
  for (std::size_t call = 0; call < text.size(); ++call) lexer.next_token();
  for (int call = 0; call < 2; ++call) {
    if (lexer.next_token().kind != TokenKind::EndOfInput) __builtin_trap();
  }
  const Program program = parse_document(text);
  if (program.statements.size() > text.size()) __builtin_trap();
  // Statement by statement, as the server parses, the same statements are read.
  Parser parser(Lexer(text, SourceFile{"<stdin>"}));
  std::size_t statements = 0;
  parser.read_each_statement([&statements](const Stmt&) { ++statements; });
  if (statements != program.statements.size()) __builtin_trap();
  return 0;
}

// The one diagnostic: more opening than closing curly braces in the raw text.
#include <algorithm>
#include <string>

#include "lsp/diagnostics.hpp"
#include "parser/parser.hpp"

namespace zevo::lsp {

std::vector<Diagnostic> compute_diagnostics(std::string_view text) {
  // The parse reports nothing; its tree is dropped unread.
  parser::check_document(text);

  // Braces are counted in the raw text, strings and comments included. Neither
  // byte occurs inside a multi-byte UTF-8 sequence, so bytes count characters.
  const auto opening = std::count(text.begin(), text.end(), '{');
  const auto closing = std::count(text.begin(), text.end(), '}');
  if (opening <= closing) return {};

  Diagnostic diagnostic;
  diagnostic.range = Range{Position{0, 0}, Position{0, 1}};
  diagnostic.severity = 1;
  diagnostic.source = "ZEVO";
  diagnostic.message =
      "Eksik kapatma parantezi: " + std::to_string(opening) + " açılış, " + std::to_string(closing) + " kapanış";
  return {std::move(diagnostic)};
}

}  // namespace zevo::lsp

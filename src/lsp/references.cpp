// References are textual: an occurrence right after a declaration keyword is
// the declaration itself and is left out; the client may ask for it at the end.
#include "lsp/references.hpp"

#include <string_view>

#include "json/json.hpp"
#include "lsp/decode.hpp"
#include "lsp/definition.hpp"
#include "lsp/protocol.hpp"
#include "lsp/rename.hpp"
#include "text/unicode.hpp"

namespace zevo::lsp {

namespace {

// The keywords are the declaration prefixes without their blank; the test has
// no word boundary, so "outlet x" counts as declaring "x".
bool follows_declaration_keyword(std::string_view before) {
  const std::string_view trimmed = text::trim_end(before);
  for (const DeclarationPattern& pattern : DECLARATION_PATTERNS) {
    if (trimmed.ends_with(pattern.prefix.substr(0, pattern.prefix.size() - 1))) return true;
  }
  return false;
}

// Every location of a document, in line order.
void write_document_references(json::Writer& out, std::string_view uri, std::string_view text, std::string_view word) {
  for_each_whole_word(text, word, [&](uint32_t line_number, std::string_view line, const WordOccurrence& found) {
    if (!follows_declaration_keyword(line.substr(0, found.offset))) write(out, Location{uri, found.range_on(line_number)});
  });
}

}  // namespace

HandlerResult handle_references(Params params, const ServerState& state, json::Writer& out) {
  auto decoded = decode_params<ReferenceParams>(std::move(params), "Invalid references params");
  if (!decoded.ok()) return std::move(decoded.error());
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  const std::string& uri = decoded->position_params.text_document.uri;
  const auto found = cursor_word(snapshot, uri, decoded->position_params.position);
  if (!found) {
    out.null();
    return {};
  }
  const std::string_view word = found->word.word;

  out.begin_array();
  for (const DocumentsSnapshot::Entry& document : snapshot.entries()) {
    write_document_references(out, document.uri, *document.text, word);
  }
  if (decoded->context.include_declaration) {
    if (auto declared = find_declaration(word, *found->text)) write(out, Location{uri, *declared});
  }
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

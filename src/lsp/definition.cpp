// The search is textual and confined to the requested document; the parse
// that precedes it never changes the answer.
#include "lsp/definition.hpp"

#include <string>

#include "lsp/decode.hpp"
#include "lsp/rename.hpp"
#include "parser/parser.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

std::optional<Range> find_declaration(std::string_view word, std::string_view text) {
  std::array<std::string, DECLARATION_PATTERNS.size()> forms;
  for (std::size_t i = 0; i < forms.size(); ++i) {
    forms[i].append(DECLARATION_PATTERNS[i].prefix).append(word).append(DECLARATION_PATTERNS[i].suffix);
  }

  std::optional<Range> declared;
  // Every form contains the word, so lines without it cannot declare it.
  text::for_each_line_containing(text, word, [&](std::size_t index, std::string_view line) {
    for (std::size_t i = 0; i < forms.size(); ++i) {
      const std::size_t at = text::find_text(line, forms[i]);
      if (at == std::string_view::npos) continue;
      const std::size_t start = text::byte_to_column(line, at + DECLARATION_PATTERNS[i].prefix.size());
      const auto line_number = static_cast<uint32_t>(index);
      declared = Range{{line_number, static_cast<uint32_t>(start)},
                       {line_number, static_cast<uint32_t>(start + text::utf16_length(word))}};
      return false;
    }
    return true;
  });
  return declared;
}

std::optional<Location> find_definition(std::string_view word, std::string_view text, std::string_view uri) {
  parser::check_document(text);
  auto range = find_declaration(word, text);
  if (!range) return std::nullopt;
  return Location{uri, *range};
}

HandlerResult handle_definition(Params params, const ServerState& state, zevo::json::Writer& out) {
  auto decoded = decode_params<GotoDefinitionParams>(std::move(params), "Invalid definition params");
  if (!decoded.ok()) return std::move(decoded.error());
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  const std::string& uri = decoded->position_params.text_document.uri;
  const auto found = cursor_word(snapshot, uri, decoded->position_params.position);
  const auto location = found ? find_definition(found->word.word, *found->text, uri) : std::nullopt;
  if (location) {
    write(out, *location);
  } else {
    out.null();
  }
  return {};
}

}  // namespace zevo::lsp

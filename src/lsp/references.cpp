// References are textual: an occurrence right after a declaration keyword is
// the declaration itself and is left out; the client may ask for it at the end.
#include "lsp/references.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// One document's locations, in line order, under its URI as a JSON string.
struct DocumentReferences {
  std::string uri_json;
  std::vector<Range> ranges;
};

std::vector<Range> document_references(std::string_view text, std::string_view word) {
  std::vector<Range> ranges;
  for_each_whole_word(text, word, [&](uint32_t line_number, std::string_view line, const WordOccurrence& found) {
    if (!follows_declaration_keyword(line.substr(0, found.offset))) ranges.push_back(found.range_on(line_number));
  });
  return ranges;
}

// Nothing when the text could exceed kMaxAnswerBytes; `bound` gets the estimate.
std::optional<std::string> locations_json(const std::vector<DocumentReferences>& documents, std::size_t& bound) {
  bound = 2;
  for (const DocumentReferences& document : documents) {
    bound += document.ranges.size() * (document.uri_json.size() + kMaxRangeJson + 20);
  }
  if (bound > kMaxAnswerBytes) return std::nullopt;
  std::string out;
  out.reserve(bound);
  out += '[';
  for (const DocumentReferences& document : documents) {
    for (const Range& range : document.ranges) {
      out += out.size() > 1 ? R"(,{"range":)" : R"({"range":)";
      write_range_json(out, range);
      out += R"(,"uri":)";
      out += document.uri_json;
      out += '}';
    }
  }
  out += ']';
  return out;
}

}  // namespace

HandlerResult handle_references(Params params, const ServerState& state) {
  auto decoded = decode_params<ReferenceParams>(std::move(params), "Invalid references params");
  if (!decoded.ok()) return std::move(decoded.error());
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  const std::string& uri = decoded->position_params.text_document.uri;
  const auto found = cursor_word(snapshot, uri, decoded->position_params.position);
  if (!found) return nlohmann::json(nullptr);
  const std::string_view word = found->word.word;

  // Written as text: a common word gives tens of thousands of locations.
  std::vector<DocumentReferences> documents;
  for (const DocumentsSnapshot::Entry& document : snapshot.entries()) {
    std::vector<Range> ranges = document_references(*document.text, word);
    if (!ranges.empty()) documents.push_back({json_string(document.uri), std::move(ranges)});
  }
  if (decoded->context.include_declaration) {
    if (auto declared = find_declaration(word, *found->text)) {
      documents.push_back({json_string(uri), {*declared}});
    }
  }
  std::size_t bound = 0;
  auto locations = locations_json(documents, bound);
  if (!locations) return answer_too_large(bound);
  return RawJson{std::make_shared<std::string>(std::move(*locations))};
}

}  // namespace zevo::lsp

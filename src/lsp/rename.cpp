// Rename is textual: every whole-word occurrence in every open document is
// replaced, declarations, comments and strings alike.
#include "lsp/rename.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>

#include "json/json.hpp"
#include "lsp/decode.hpp"
#include "text/lines.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::lsp {

namespace {

uint32_t column(std::size_t units) { return static_cast<uint32_t>(units); }

// First character a letter or "_", every character an identifier character, not reserved.
bool is_valid_new_name(std::string_view name) {
  if (name.empty()) return false;
  std::size_t i = 0;
  if (!text::is_identifier_start(text::decode_utf8(name, i))) return false;
  while (i < name.size()) {
    if (!text::is_identifier_char(text::decode_utf8(name, i))) return false;
  }
  return !is_reserved_word(name);
}

}  // namespace

std::optional<WordAtPosition> word_at_position(std::string_view text, uint32_t line_number, uint32_t character) {
  std::string_view line;
  if (!text::nth_line(text, line_number, line)) return std::nullopt;
  const std::size_t cursor = text::column_to_byte(line, character);
  if (cursor >= line.size()) return std::nullopt;

  const std::size_t start = text::identifier_run_start(line.substr(0, cursor));
  const std::size_t end = text::identifier_run_end(line, cursor);
  if (end <= start) return std::nullopt;
  const std::size_t start_units = text::byte_to_column(line, start);
  const std::size_t end_units = start_units + text::utf16_length(line.substr(start, end - start));
  return WordAtPosition{std::string(line.substr(start, end - start)),
                        {{line_number, column(start_units)}, {line_number, column(end_units)}}};
}

std::optional<CursorWord> cursor_word(const DocumentsSnapshot& snapshot, std::string_view uri, Position position) {
  const std::string* text = snapshot.find(uri);
  if (text == nullptr) return std::nullopt;
  auto found = word_at_position(*text, position.line, position.character);
  if (!found) return std::nullopt;
  return CursorWord{text, std::move(*found)};
}

std::vector<WordOccurrence> whole_word_occurrences(std::string_view line, std::string_view word) {
  std::vector<WordOccurrence> found;
  if (word.empty()) return found;
  const std::size_t word_units = text::utf16_length(word);
  // Columns are counted on from the last counted occurrence, so a long line is walked once.
  std::size_t counted_to = 0;
  std::size_t units = 0;
  for (std::size_t at = text::find_text(line, word); at != std::string_view::npos;) {
    // An occurrence that starts inside the identifier run going on from this
    // one has an identifier character before it and cannot count, so the
    // search resumes after that run: a line of one repeated letter stays linear.
    const std::size_t after = at + word.size();
    const std::size_t run_end = text::identifier_run_end(line, after);
    std::size_t before = at == 0 ? 0 : text::previous_char_start(line, at);
    if (run_end == after && (at == 0 || !text::is_identifier_char(text::decode_utf8(line, before)))) {
      units += text::utf16_length(line.substr(counted_to, at - counted_to));
      counted_to = at;
      found.push_back({at, column(units), column(units + word_units)});
    }
    at = text::find_text(line, word, run_end);
  }
  return found;
}

bool is_reserved_word(std::string_view text) {
  if (text.size() < 2 || text.size() > 10) return false;
  return std::find(RESERVED_WORDS.begin(), RESERVED_WORDS.end(), text) != RESERVED_WORDS.end();
}

void write(json::Writer& out, const PrepareRenameResult& v) {
  out.begin_object();
  out.key("placeholder");
  out.string(v.placeholder);
  out.key("range");
  write(out, v.range);
  out.end_object();
}

std::optional<PrepareRenameResult> prepare_rename(std::string_view uri, uint32_t line, uint32_t character,
                                                  const DocumentsSnapshot& snapshot) {
  auto found = cursor_word(snapshot, uri, {line, character});
  if (!found || is_reserved_word(found->word.word)) return std::nullopt;
  return PrepareRenameResult{found->word.range, std::move(found->word.word)};
}

HandlerResult handle_prepare_rename(Params params, const ServerState& state, json::Writer& out) {
  auto decoded = decode_params<TextDocumentPositionParams>(std::move(params), "Invalid prepareRename params");
  if (!decoded.ok()) return std::move(decoded.error());
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  const Position position = decoded->position;
  const auto result = prepare_rename(decoded->text_document.uri, position.line, position.character, snapshot);
  if (result) {
    write(out, *result);
  } else {
    out.null();
  }
  return {};
}

HandlerResult handle_rename(Params params, const ServerState& state, json::Writer& out) {
  auto decoded = decode_params<RenameParams>(std::move(params), "Invalid rename params");
  if (!decoded.ok()) return std::move(decoded.error());
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  const TextDocumentPositionParams& where = decoded->position_params;
  const auto found = cursor_word(snapshot, where.text_document.uri, where.position);
  if (!found || !is_valid_new_name(decoded->new_name)) {
    out.null();
    return {};
  }
  const std::string_view word = found->word.word;

  // The documents in byte order of their URIs, whatever the snapshot's; a
  // document's edits are written as they are found, and only a document with
  // some gets its member.
  std::vector<const DocumentsSnapshot::Entry*> documents;
  for (const DocumentsSnapshot::Entry& document : snapshot.entries()) documents.push_back(&document);
  std::sort(documents.begin(), documents.end(), [](const auto* a, const auto* b) { return a->uri < b->uri; });
  out.begin_object();
  out.key("changes");
  out.begin_object();
  for (const DocumentsSnapshot::Entry* document : documents) {
    bool any = false;
    for_each_whole_word(*document->text, word, [&](uint32_t line_number, std::string_view, const WordOccurrence& at) {
      if (!any) {
        out.key(document->uri);
        out.begin_array();
        any = true;
      }
      write(out, TextEdit{at.range_on(line_number), decoded->new_name});
    });
    if (any) out.end_array();
  }
  out.end_object();
  out.end_object();
  return {};
}

}  // namespace zevo::lsp

#include "lsp/document.hpp"

#include <optional>

#include "text/lines.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

void DocumentsSnapshot::add(std::string uri, SharedText text) {
  entries_.push_back({std::move(uri), std::move(text)});
}

const std::string* DocumentsSnapshot::find(std::string_view uri) const {
  for (const auto& entry : entries_) {
    if (entry.uri == uri) return entry.text.get();
  }
  return nullptr;
}

void open_document(ServerState& state, std::string uri, std::string text) {
  auto shared = std::make_shared<const std::string>(std::move(text));
  auto it = state.documents.find(uri);
  if (it != state.documents.end()) {
    it->second.text = std::move(shared);
  } else {
    state.documents.emplace(std::move(uri), Document{std::move(shared)});
  }
}

void apply_changes(ServerState& state, std::string_view uri,
                   std::vector<TextDocumentContentChangeEvent> changes) {
  auto it = state.documents.find(uri);
  if (it == state.documents.end()) return;
  // One private copy for the whole notification, made only when a ranged change
  // needs the old text; a full replacement never copies.
  std::string text;
  bool have_text = false;
  for (auto& change : changes) {
    if (!change.range) {
      text = std::move(change.text);
      have_text = true;
      continue;
    }
    if (!have_text) {
      text = *it->second.text;
      have_text = true;
    }
    const std::size_t start = position_to_offset(text, change.range->start.line, change.range->start.character);
    const std::size_t end = position_to_offset(text, change.range->end.line, change.range->end.character);
    if (start > text.size() || start > end || end > text.size()) continue;
    text.replace(start, end - start, change.text);
  }
  if (have_text) it->second.text = std::make_shared<const std::string>(std::move(text));
}

const Document* get_document(const ServerState& state, std::string_view uri) {
  auto it = state.documents.find(uri);
  return it == state.documents.end() ? nullptr : &it->second;
}

void close_document(ServerState& state, std::string_view uri) {
  auto it = state.documents.find(uri);
  if (it != state.documents.end()) state.documents.erase(it);
}

DocumentsSnapshot documents_snapshot(const ServerState& state) {
  DocumentsSnapshot snapshot;
  for (const auto& [uri, document] : state.documents) snapshot.add(uri, document.text);
  return snapshot;
}

std::size_t position_to_offset(std::string_view text, uint32_t line, uint32_t character) {
  // Every line before the wanted one adds its length and its break, so the
  // running offset is the line's own start.
  std::optional<std::size_t> offset;
  text::for_each_line(text, [&](std::size_t index, std::string_view content) {
    if (index != line) return true;
    offset = static_cast<std::size_t>(content.data() - text.data()) + text::column_to_byte(content, character);
    return false;
  });
  if (offset) return *offset;
  // Past the last line: a last line without "\n" counts one byte more.
  return text.empty() || text.back() == '\n' ? text.size() : text.size() + 1;
}

}  // namespace zevo::lsp

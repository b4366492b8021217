#include "lsp/document.hpp"

#include <algorithm>
#include <optional>

#include "text/lines.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

namespace {

// The offsets of the "\n" bytes of a text, kept in step with every
// replacement, so that a notification with many ranged changes costs one walk
// over the text instead of two per change.
class LineBreaks {
 public:
  explicit LineBreaks(std::string_view text) {
    text::for_each_line_span(text, [&](std::size_t, const text::LineSpan& span) {
      if (span.break_length > 0) breaks_.push_back(span.start + span.line.size() + span.break_length - 1);
      return true;
    });
  }

  // A last line without "\n" counts one byte more after it.
  std::size_t offset(std::string_view text, uint32_t line, uint32_t character) const {
    const bool ends_with_break = text.empty() || text.back() == '\n';
    const std::size_t lines = breaks_.size() + (ends_with_break ? 0 : 1);
    if (line >= lines) return ends_with_break ? text.size() : text.size() + 1;
    const std::size_t start = line == 0 ? 0 : breaks_[line - 1] + 1;
    const std::size_t newline = line < breaks_.size() ? breaks_[line] : std::string_view::npos;
    return start + text::column_to_byte(text::line_ending_at(text, start, newline), character);
  }

  // The bytes [start, end) were replaced by `inserted`.
  void replaced(std::size_t start, std::size_t end, std::string_view inserted) {
    const auto first = std::lower_bound(breaks_.begin(), breaks_.end(), start);
    const auto last = std::lower_bound(first, breaks_.end(), end);
    // Unsigned arithmetic wraps, so adding the difference also moves offsets back.
    const std::size_t shift = inserted.size() - (end - start);
    for (auto it = last; it != breaks_.end(); ++it) *it += shift;
    std::vector<std::size_t> added;
    for (std::size_t i = inserted.find('\n'); i != std::string_view::npos; i = inserted.find('\n', i + 1)) {
      added.push_back(start + i);
    }
    const auto at = breaks_.erase(first, last);
    breaks_.insert(at, added.begin(), added.end());
  }

 private:
  std::vector<std::size_t> breaks_;
};

}  // namespace

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
  std::optional<LineBreaks> breaks;  // of `text`, from its first ranged change on
  for (auto& change : changes) {
    if (!change.range) {
      text = std::move(change.text);
      have_text = true;
      breaks.reset();
      continue;
    }
    if (!have_text) {
      text = *it->second.text;
      have_text = true;
    }
    if (!breaks) breaks.emplace(text);
    const std::size_t start = breaks->offset(text, change.range->start.line, change.range->start.character);
    const std::size_t end = breaks->offset(text, change.range->end.line, change.range->end.character);
    if (start > text.size() || start > end || end > text.size()) continue;
    text.replace(start, end - start, change.text);
    breaks->replaced(start, end, change.text);
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

}  // namespace zevo::lsp

// The document store: the full text of every open document under its URI text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/siphash.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

// Texts are immutable once stored and shared with snapshots; a change stores a new text.
using SharedText = std::shared_ptr<const std::string>;

struct Document {
  SharedText text;
};

using DocumentMap = std::unordered_map<std::string, Document, KeyedTextHash, std::equal_to<>>;

struct ServerState {
  DocumentMap documents;
};

// The open documents at one moment, for one request. Holding it costs one
// reference per document, not a copy of the texts; later changes of the store
// never show in it. Its order is unspecified.
class DocumentsSnapshot {
 public:
  struct Entry {
    std::string uri;
    SharedText text;
  };

  DocumentsSnapshot() = default;

  void add(std::string uri, SharedText text);
  // The text stored under exactly this URI text, or null.
  const std::string* find(std::string_view uri) const;
  const std::vector<Entry>& entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }

 private:
  std::vector<Entry> entries_;
};

void open_document(ServerState& state, std::string uri, std::string text);
// A ranged change's bounds are byte offsets of (line, UTF-16 column): a column
// past the end of its line gives the line's end, a line at or past the number
// of lines the offset after all lines (one past the text's length when the
// text does not end with "\n"). A change whose bounds run backwards or past the
// text's end is skipped.
void apply_changes(ServerState& state, std::string_view uri,
                   std::vector<TextDocumentContentChangeEvent> changes);
const Document* get_document(const ServerState& state, std::string_view uri);
void close_document(ServerState& state, std::string_view uri);
DocumentsSnapshot documents_snapshot(const ServerState& state);

}  // namespace zevo::lsp

// Rename and prepare rename, with the word scans they share with definition and references.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"
#include "text/search.hpp"

namespace zevo::lsp {

// The word under the cursor and its range on the cursor's line.
struct WordAtPosition {
  std::string word;
  Range range;
};

// The cursor may stand on any character of the word or directly after its last
// one; a column at or past the end of the line finds nothing.
std::optional<WordAtPosition> word_at_position(std::string_view text, uint32_t line, uint32_t character);

// An open document of a request's snapshot and the word under the request's cursor.
struct CursorWord {
  const std::string* text = nullptr;
  WordAtPosition word;
};

// Nothing when the document is not open or no word is under the cursor.
std::optional<CursorWord> cursor_word(const DocumentsSnapshot& snapshot, std::string_view uri, Position position);

// One whole-word occurrence in a line: its byte offset and its UTF-16 columns.
struct WordOccurrence {
  std::size_t offset = 0;
  uint32_t start = 0;
  uint32_t end = 0;
  bool operator==(const WordOccurrence&) const = default;

  Range range_on(uint32_t line) const { return {{line, start}, {line, end}}; }
};

// Left to right; `word` is made of identifier characters (an empty one occurs nowhere).
std::vector<WordOccurrence> whole_word_occurrences(std::string_view line, std::string_view word);

// Calls `visit(line_number, line, occurrence)` for every whole-word occurrence
// of `word` in `text`, in line order and left to right within a line.
template <class Visit>
void for_each_whole_word(std::string_view text, std::string_view word, Visit&& visit) {
  text::for_each_line_containing(text, word, [&](std::size_t index, std::string_view line) {
    for (const WordOccurrence& found : whole_word_occurrences(line, word)) {
      visit(static_cast<uint32_t>(index), line, found);
    }
    return true;
  });
}

// Keywords of both languages, the logical words, four capitalised type names
// per language and the built-ins for printing and reading; ordered by byte length.
inline constexpr std::array<std::string_view, 48> RESERVED_WORDS = {{
    "ve",       "if",       "or",
    "tip",      "yaz",      "oku",      "let",      "for",      "and",      "not",
    "iken",     "dön",      "kır",      "boş",      "veya",     "type",     "else",     "read",
    "true",     "null",     "Real",
    "sabit",    "yapı",     "eğer",     "için",     "devam",    "const",    "while",    "break",
    "print",    "false",    "Sayı",     "Metin",
    "doğru",    "değil",    "struct",   "return",   "Number",   "String",
    "Gerçek",   "Boolean",
    "değilse",  "yanlış",   "function", "continue",
    "fonksiyon",
    "değişken", "Mantıksal",
}};

bool is_reserved_word(std::string_view text);

struct PrepareRenameResult {
  Range range;
  std::string placeholder;
};

void write(json::Writer& out, const PrepareRenameResult& v);

// Nothing for a closed document, no word at the cursor, or a reserved word.
std::optional<PrepareRenameResult> prepare_rename(std::string_view uri, uint32_t line, uint32_t character,
                                                  const DocumentsSnapshot& snapshot);

HandlerResult handle_prepare_rename(Params params, const ServerState& state, json::Writer& out);
HandlerResult handle_rename(Params params, const ServerState& state, json::Writer& out);

}  // namespace zevo::lsp

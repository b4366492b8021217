// Go to definition: the first declaration of the word under the cursor.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

// A declaration form for a word: prefix, the word, suffix, byte for byte.
struct DeclarationPattern {
  std::string_view prefix;  // a declaration keyword and exactly one blank
  std::string_view suffix;
};

// The order decides between forms that occur in the same line.
inline constexpr std::array<DeclarationPattern, 8> DECLARATION_PATTERNS = {{
    {"değişken ", ""},
    {"let ", ""},
    {"sabit ", ""},
    {"const ", ""},
    {"fonksiyon ", "("},
    {"function ", "("},
    {"yapı ", ""},
    {"struct ", ""},
}};

// The declared word's range in the first line that holds any form for it; no
// word boundary is asked for, so "let xs" declares "x".
std::optional<Range> find_declaration(std::string_view word, std::string_view text);

// Runs the whole-document parse first, whatever the search finds, and drops it.
std::optional<Location> find_definition(std::string_view word, std::string_view text, std::string_view uri);

HandlerResult handle_definition(Params params, const ServerState& state, json::Writer& out);

}  // namespace zevo::lsp

// The initialize request: strict decoding of the client's parameters and the fixed result.
#pragma once

#include <array>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

// The semantic-token legend: the protocol's predefined types and modifiers in
// its order, then what annotation tokens use ("decorator", the security classes).
inline constexpr std::array<std::string_view, 23> kSemanticTokenTypes = {
    "namespace", "type",       "class",    "enum",     "interface", "struct",   "typeParameter", "parameter",
    "variable",  "property",   "enumMember", "event",  "function",  "method",   "macro",         "keyword",
    "modifier",  "comment",    "string",   "number",   "regexp",    "operator", "decorator",
};
inline constexpr std::array<std::string_view, 14> kSemanticTokenModifiers = {
    "declaration", "definition",   "readonly",      "static",         "deprecated",
    "abstract",    "async",        "modification",  "documentation",  "defaultLibrary",
    "public",      "exportable",   "domesticOnly",  "classified",
};

// Writes the result every initialize request gets, whatever the client announced.
HandlerResult handle_initialize(Params params, const ServerState& state, json::Writer& out);

}  // namespace zevo::lsp

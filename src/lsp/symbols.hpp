// Document symbols: the outline of one document, one flat list in line order.
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

namespace zevo::lsp {

// In order of precedence: the first that a line contains is its keyword.
inline constexpr std::array<std::string_view, 3> FUNCTION_KEYWORDS = {"fonksiyon", "işlev", "function"};

// What a lower-cased trimmed line must begin with, the symbol kind it gives and
// the keyword skipped before the name.
struct DeclarationPrefix {
  std::string_view prefix;
  uint8_t kind;
  std::string_view keyword;
};

inline constexpr uint8_t kSymbolFunction = 12;
inline constexpr uint8_t kSymbolVariable = 13;
inline constexpr uint8_t kSymbolConstant = 14;
inline constexpr uint8_t kSymbolStruct = 23;

inline constexpr std::array<DeclarationPrefix, 7> VARIABLE_PREFIXES = {{
    {"değişken", kSymbolVariable, "değişken"},
    {"degisken", kSymbolVariable, "degisken"},
    {"variable", kSymbolVariable, "variable"},
    {"sabit", kSymbolConstant, "sabit"},
    {"let ", kSymbolVariable, "let"},
    {"const ", kSymbolConstant, "const"},
    {"izin", kSymbolVariable, "izin"},
}};

// Every type symbol is a Struct (23).
inline constexpr std::array<DeclarationPrefix, 5> TYPE_PREFIXES = {{
    {"yapı", kSymbolStruct, "yapı"},
    {"yapi", kSymbolStruct, "yapi"},
    {"struct", kSymbolStruct, "struct"},
    {"tip ", kSymbolStruct, "tip"},
    {"type ", kSymbolStruct, "type"},
}};

// Both ranges lie on the symbol's line.
struct SymbolRecord {
  std::string name;
  std::string detail;
  Range range;            // the whole line
  Range selection_range;  // the name
  uint8_t kind = 0;
};

// Character helpers: every count is in Unicode scalar values.
// The rest after the first n characters (empty when the text has n or fewer).
std::string_view skip_chars(std::string_view text, std::size_t n);
// Character index of the first occurrence of `c`.
std::optional<std::size_t> char_index_of(std::string_view text, char32_t c);
// Characters [a, b), cut off at the text's end; empty when b <= a.
std::string_view substring_chars(std::string_view text, std::size_t a, std::size_t b);

// The symbols of a text in scan order: by line, and within a line function,
// then variable or constant, then type.
std::vector<SymbolRecord> document_symbols(std::string_view text);

// The symbol's DocumentSymbol object.
void write(json::Writer& out, const SymbolRecord& symbol);

// Null when textDocument.uri is missing or not a string, or the document is not
// open; otherwise the symbols, each written as it is found.
HandlerResult handle_document_symbol(Params params, const DocumentsSnapshot& snapshot, json::Writer& out);

}  // namespace zevo::lsp

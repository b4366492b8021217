// Inlay hints: value types, parameter names and missing return types.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

inline constexpr int32_t kInlayHintType = 1;
inline constexpr int32_t kInlayHintParameter = 2;

// Built-in functions and the names of their parameters; unused slots are empty.
// No function name stands in two rows.
struct BuiltinParameters {
  std::array<std::string_view, 11> functions;
  std::array<std::string_view, 3> parameters;
};

inline constexpr std::array<BuiltinParameters, 15> BUILTIN_PARAMETER_NAMES = {{
    {{"al", "oku", "get", "read"}, {"prompt"}},
    {{"yaz", "print", "write", "yazdır"}, {"mesaj"}},
    {{"len", "trim", "lower", "upper", "kırp", "length", "uzunluk", "büyük", "küçük", "lowercase", "uppercase"},
     {"str"}},
    {{"alt", "substr", "substring"}, {"str", "başlangıç", "uzunluk"}},
    {{"pop", "sort", "remove", "çıkar", "sırala"}, {"dizi"}},
    {{"map", "eşle"}, {"dizi", "fonksiyon"}},
    {{"abs", "sqrt", "ceil", "round", "floor", "mutlak", "yuvarla", "yukarı", "karekök", "aşağı"}, {"sayı"}},
    {{"pow", "üs"}, {"taban", "üs"}},
    {{"max", "min", "minimum", "maksimum"}, {"a", "b"}},
    {{"int", "bool", "float", "yazı", "string", "tamsayı", "ondalık", "mantıksal"}, {"değer"}},
    {{"join", "concat", "birleştir"}, {"str1", "str2"}},
    {{"böl", "split"}, {"str", "ayırıcı"}},
    {{"ekle", "push", "append"}, {"dizi", "eleman"}},
    {{"filter", "filtrele"}, {"dizi", "koşul"}},
    {{"replace", "değiştir"}, {"str", "eski", "yeni"}},
}};

// The parameter names of a built-in function (byte-wise, case-sensitive), or an empty list.
std::span<const std::string_view> builtin_parameter_names(std::string_view function);

// The hints of lines first_line to last_line (both included), ordered by line,
// then by pass (value type, parameter names, return type).
std::vector<InlayHint> compute_inlay_hints(std::string_view text, uint32_t first_line, uint32_t last_line);

// Every failure answers -32603 with this in front of its text.
inline constexpr std::string_view kInlayHintsError = "Inlay hints error: ";

// Writes the hints as a JSON array.
HandlerResult handle_inlay_hint(Params params, const DocumentsSnapshot& snapshot, json::Writer& out);

}  // namespace zevo::lsp

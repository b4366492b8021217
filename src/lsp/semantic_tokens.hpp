// Semantic tokens of a whole document, found by a textual scan of each line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

// Legend indexes and modifier bits as the initialize result announces them.
inline constexpr uint32_t kTokenStruct = 5;
inline constexpr uint32_t kTokenVariable = 8;
inline constexpr uint32_t kTokenFunction = 12;
inline constexpr uint32_t kTokenKeyword = 15;
inline constexpr uint32_t kTokenComment = 17;
inline constexpr uint32_t kTokenString = 18;
inline constexpr uint32_t kTokenNumber = 19;
inline constexpr uint32_t kTokenOperator = 21;
inline constexpr uint32_t kTokenDecorator = 22;

inline constexpr uint32_t kModifierDeclaration = 1;
inline constexpr uint32_t kModifierReadonly = 4;

enum class SecurityClass : uint8_t { none, public_, exportable, domestic_only, classified };

// The modifier bit of an annotation's class: "public" (bit 10) to "classified"
// (bit 13); 0 for none.
uint32_t security_class_modifier(SecurityClass security);

struct AnnotationToken {
  std::string_view spelling;
  SecurityClass security;
};

inline constexpr std::array<AnnotationToken, 17> ANNOTATION_TOKEN_TABLE = {{
    {"@public", SecurityClass::public_},
    {"@exportable", SecurityClass::exportable},
    {"@domestic_only", SecurityClass::domestic_only},
    {"@classified", SecurityClass::classified},
    {"@halka_açık", SecurityClass::public_},
    {"@ihraç_edilebilir", SecurityClass::exportable},
    {"@yurtiçi", SecurityClass::domestic_only},
    {"@gizli", SecurityClass::classified},
    {"@hal_safe", SecurityClass::none},
    {"@realtime", SecurityClass::none},
    {"@dma_safe", SecurityClass::none},
    {"@no_alloc", SecurityClass::none},
    {"@deadline", SecurityClass::none},
    {"@wcet", SecurityClass::none},
    {"@stack_limit", SecurityClass::none},
    {"@critical", SecurityClass::classified},
    {"@certified", SecurityClass::none},
}};
// 21 Turkish spellings, then 21 English ones.
inline constexpr std::array<std::string_view, 42> SEMANTIC_KEYWORDS = {
    "fonksiyon", "değişken", "sabit",    "eğer",   "yoksa",  "iken",      "için",     "dön",
    "kır",       "devam",    "yap",      "son",    "yapı",   "tip",       "modül",    "dışa_aktar",
    "içe_aktar", "kullan",   "doğru",    "yanlış", "boş",    "function",  "let",      "const",
    "if",        "else",     "while",    "for",    "return", "break",     "continue", "do",
    "end",       "struct",   "type",     "module", "export", "import",    "use",      "true",
    "false",     "null",
};
// Longer spellings first, so "==" is found as itself (and its "=" twice as well).
inline constexpr std::array<std::string_view, 19> SEMANTIC_OPERATORS = {
    "==", "!=", "<=", ">=", "&&", "||", "->", "=>", "+", "-", "*", "/", "%", "=", "<", ">", "!", "&", "|",
};

// Start and length are UTF-16 units.
struct SemanticTokenRecord {
  uint32_t line = 0;
  uint32_t start = 0;
  uint32_t length = 0;
  uint32_t token_type = 0;
  uint32_t modifiers = 0;
  bool operator==(const SemanticTokenRecord&) const = default;
};

// The variable or constant name that a line declares (a view into `line`), or
// nothing. The keyword is the first of "değişken", "sabit", "let" that the line
// contains, else "const".
std::optional<std::string_view> declared_name(std::string_view line);

// Every token of the text, ordered by line, then start; equal places keep the
// order of the scans that found them.
std::vector<SemanticTokenRecord> semantic_token_records(std::string_view text);

// The protocol's relative encoding, five values per record.
std::vector<uint32_t> encode_semantic_tokens(const std::vector<SemanticTokenRecord>& records);

// Always an object {"data": [...]}; a missing document gives an empty list.
// Each line's tokens are written as they are found.
HandlerResult handle_semantic_tokens_full(Params params, const DocumentsSnapshot& snapshot, json::Writer& out);

}  // namespace zevo::lsp

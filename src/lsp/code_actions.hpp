// Code actions: quick fixes, extraction and keyword translation.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

struct KeywordPair {
  std::string_view turkish;
  std::string_view english;
};

// The order decides which pair a keyword fix takes; the translate action looks
// at the first eight pairs only.
inline constexpr std::array<KeywordPair, 10> KEYWORD_TRANSLATIONS = {{
    {"fonksiyon", "function"},
    {"değişken", "let"},
    {"sabit", "const"},
    {"eğer", "if"},
    {"yoksa", "else"},
    {"iken", "while"},
    {"için", "for"},
    {"dön", "return"},
    {"yap", "do"},
    {"son", "end"},
}};

// The whole request: null when the document is not open under exactly the URI
// text sent, else the quick fixes, the extract action and the translate action.
HandlerResult handle_code_action(Params params, const ServerState& state);

// The quick fixes of one diagnostic as the client sent it, in rule order; none
// when it is not an object or has no text "message".
std::vector<nlohmann::json> diagnostic_quick_fixes(const nlohmann::json& diagnostic, std::string_view uri);

}  // namespace zevo::lsp

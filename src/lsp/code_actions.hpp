// Code actions: quick fixes, extraction and keyword translation.
#pragma once

#include <array>
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

// Where an edit applies: the client's range as it came, or an insertion (an
// empty range) at a position, itself as it came or made of the two numbers.
struct EditRange {
  std::optional<nlohmann::json> as_sent;
  std::optional<nlohmann::json> point_as_sent;
  uint64_t line = 0;
  uint64_t character = 0;
};

struct ActionEdit {
  EditRange range;
  std::string new_text;
};

// A code action: its edits all go to the one document `uri`; none is written
// without an "edit" member.
struct CodeAction {
  std::string title;
  std::string_view kind;
  std::string uri;
  std::vector<ActionEdit> edits;
  std::optional<Command> command;
};

void write(json::Writer& out, const CodeAction& v);

// The whole request: null when the document is not open under exactly the URI
// text sent, else the quick fixes, the extract action and the translate action.
HandlerResult handle_code_action(Params params, const ServerState& state, json::Writer& out);

// The quick fixes of one diagnostic as the client sent it, in rule order; none
// when it is not an object or has no text "message".
std::vector<CodeAction> diagnostic_quick_fixes(const nlohmann::json& diagnostic, std::string_view uri);

}  // namespace zevo::lsp

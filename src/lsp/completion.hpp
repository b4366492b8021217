// Completion: the fixed bilingual catalogue.
#pragma once

#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

// The five item families.
CompletionItem keyword_completion_item(std::string_view label, std::string_view detail, std::string_view snippet);
CompletionItem type_completion_item(std::string_view label, std::string_view detail);
CompletionItem value_completion_item(std::string_view label, std::string_view detail);
// An empty alias leaves the alias out of the documentation.
CompletionItem function_completion_item(std::string_view label, std::string_view alias, std::string_view detail,
                                        std::string_view snippet);
CompletionItem constant_completion_item(std::string_view label, std::string_view detail, std::string_view value);

// The 140 items in catalogue order; the parameters are not read.
std::vector<CompletionItem> completion_items(CompletionParams params);

// The catalogue as the compact JSON array the server sends, written on first use.
std::string_view completion_catalogue();

HandlerResult handle_completion(Params params, const ServerState& state, json::Writer& out);

}  // namespace zevo::lsp

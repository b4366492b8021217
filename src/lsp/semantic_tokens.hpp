// Semantic tokens of a whole document.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

// Always an object {"data": [...]}.
HandlerResult semantic_tokens_full(const nlohmann::json& params, const DocumentsSnapshot& snapshot);

}  // namespace zevo::lsp

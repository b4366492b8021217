// Document symbols: the outline of one document.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_document_symbol(const nlohmann::json& params, const DocumentsSnapshot& snapshot);

}  // namespace zevo::lsp

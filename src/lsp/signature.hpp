// Signature help: the signature of the call around the cursor.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_signature_help(const nlohmann::json& params, const DocumentsSnapshot& snapshot);

}  // namespace zevo::lsp

// Inlay hints: value types, parameter names and missing return types.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

// The hints as a JSON array, or the failure text that follows "Inlay hints error: ".
Result<nlohmann::json> handle_inlay_hint(const nlohmann::json& params, const DocumentsSnapshot& snapshot);

}  // namespace zevo::lsp

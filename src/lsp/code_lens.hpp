// Code lens: run, test, program, benchmark and reference-count lenses.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

// The lenses as a JSON array, or the failure text that follows "Code lens error: ".
Result<nlohmann::json> handle_code_lens(const nlohmann::json& params, const DocumentsSnapshot& snapshot);

}  // namespace zevo::lsp

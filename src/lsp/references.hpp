// Find references: whole-word uses of the word under the cursor in every open document.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_references(const ServerState& state, const Params& params);

}  // namespace zevo::lsp

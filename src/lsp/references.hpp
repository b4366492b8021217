// Find references: whole-word uses of the word under the cursor in every open document.
#pragma once

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

HandlerResult handle_references(Params params, const ServerState& state, json::Writer& out);

}  // namespace zevo::lsp

// Go to definition: the first declaration of the word under the cursor.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_definition(const Params& params, const ServerState& state);

}  // namespace zevo::lsp

// Hover: the bilingual Markdown text of the word under the cursor.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_hover(const Params& params, const ServerState& state);

}  // namespace zevo::lsp

// Rename and prepare rename, with the word scans they share with definition and references.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_prepare_rename(const Params& params, const ServerState& state);
HandlerResult handle_rename(const ServerState& state, const Params& params);

}  // namespace zevo::lsp

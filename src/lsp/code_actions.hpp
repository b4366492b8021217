// Code actions: quick fixes, extraction and keyword translation.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_code_action(const ServerState& state, const Params& params);

}  // namespace zevo::lsp

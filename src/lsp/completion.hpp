// Completion: the fixed bilingual catalogue.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_completion(const Params& params, const ServerState& state);

}  // namespace zevo::lsp

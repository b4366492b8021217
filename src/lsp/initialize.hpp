// The initialize request: strict decoding of the client's parameters and the fixed result.
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

HandlerResult handle_initialize(const Params& params);

}  // namespace zevo::lsp

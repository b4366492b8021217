// The request dispatcher: one entry for every JSON-RPC request, selecting the
// handler by the exact method name.
#pragma once

#include <string_view>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

struct RequestContext {
  Params params;  // absent when the request had none or a null one
  std::string_view method;
  ServerState& state;
};

// Never fails otherwise: every failure is an error answer.
HandlerResult handle_request(RequestContext& context);

}  // namespace zevo::lsp

// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/definition.hpp"

namespace zevo::lsp {

HandlerResult handle_definition(const Params&, const ServerState&) { return method_not_found("textDocument/definition"); }

}  // namespace zevo::lsp

// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/references.hpp"

namespace zevo::lsp {

HandlerResult handle_references(const ServerState&, const Params&) { return method_not_found("textDocument/references"); }

}  // namespace zevo::lsp

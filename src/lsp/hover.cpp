// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/hover.hpp"

namespace zevo::lsp {

HandlerResult handle_hover(const Params&, const ServerState&) { return method_not_found("textDocument/hover"); }

}  // namespace zevo::lsp

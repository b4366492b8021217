// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/code_actions.hpp"

namespace zevo::lsp {

HandlerResult handle_code_action(const ServerState&, const Params&) { return method_not_found("textDocument/codeAction"); }

}  // namespace zevo::lsp

// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/completion.hpp"

namespace zevo::lsp {

HandlerResult handle_completion(const Params&, const ServerState&) { return method_not_found("textDocument/completion"); }

}  // namespace zevo::lsp

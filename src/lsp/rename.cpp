// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/rename.hpp"

namespace zevo::lsp {

HandlerResult handle_prepare_rename(const Params&, const ServerState&) { return method_not_found("textDocument/prepareRename"); }

HandlerResult handle_rename(const ServerState&, const Params&) { return method_not_found("textDocument/rename"); }

}  // namespace zevo::lsp

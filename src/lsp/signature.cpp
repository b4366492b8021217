// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/signature.hpp"

namespace zevo::lsp {

HandlerResult handle_signature_help(const nlohmann::json&, const DocumentsSnapshot&) { return method_not_found("textDocument/signatureHelp"); }

}  // namespace zevo::lsp

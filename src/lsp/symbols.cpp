// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/symbols.hpp"

namespace zevo::lsp {

HandlerResult handle_document_symbol(const nlohmann::json&, const DocumentsSnapshot&) { return method_not_found("textDocument/documentSymbol"); }

}  // namespace zevo::lsp

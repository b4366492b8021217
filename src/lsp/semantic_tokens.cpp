// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/semantic_tokens.hpp"

namespace zevo::lsp {

HandlerResult semantic_tokens_full(const nlohmann::json&, const DocumentsSnapshot&) { return method_not_found("textDocument/semanticTokens/full"); }

}  // namespace zevo::lsp

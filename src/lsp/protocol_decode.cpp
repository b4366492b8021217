// Placeholder decoders until the record decoder is built: every record fails to decode.
#include "lsp/protocol.hpp"

namespace zevo::lsp {

Result<DidOpenTextDocumentParams> decode_did_open_params(const nlohmann::json&) { return fail("not built"); }
Result<DidChangeTextDocumentParams> decode_did_change_params(const nlohmann::json&) { return fail("not built"); }
Result<DidCloseTextDocumentParams> decode_did_close_params(const nlohmann::json&) { return fail("not built"); }
Result<TextDocumentPositionParams> decode_text_document_position_params(const nlohmann::json&) {
  return fail("not built");
}
Result<HoverParams> decode_hover_params(const nlohmann::json&) { return fail("not built"); }
Result<CompletionParams> decode_completion_params(const nlohmann::json&) { return fail("not built"); }
Result<GotoDefinitionParams> decode_definition_params(const nlohmann::json&) { return fail("not built"); }
Result<ReferenceParams> decode_reference_params(const nlohmann::json&) { return fail("not built"); }
Result<RenameParams> decode_rename_params(const nlohmann::json&) { return fail("not built"); }

}  // namespace zevo::lsp

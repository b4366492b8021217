#include "lsp/dispatch.hpp"

#include <array>

#include "lsp/code_actions.hpp"
#include "lsp/code_lens.hpp"
#include "lsp/completion.hpp"
#include "lsp/decode.hpp"
#include "lsp/definition.hpp"
#include "lsp/diagnostics_publish.hpp"
#include "lsp/hover.hpp"
#include "lsp/initialize.hpp"
#include "lsp/inlay_hints.hpp"
#include "lsp/protocol.hpp"
#include "lsp/references.hpp"
#include "lsp/rename.hpp"
#include "lsp/semantic_tokens.hpp"
#include "lsp/signature.hpp"
#include "lsp/symbols.hpp"
#include "text/lengths.hpp"

namespace zevo::lsp {

namespace {

using Handler = HandlerResult (*)(Params, const ServerState&, json::Writer&);

// Handlers that read documents through a snapshot get one taken for them,
// dropped when they return.
template <HandlerResult (*handle)(Params, const DocumentsSnapshot&, json::Writer&)>
HandlerResult with_snapshot(Params params, const ServerState& state, json::Writer& out) {
  return handle(std::move(params), documents_snapshot(state), out);
}

HandlerResult handle_shutdown(Params, const ServerState&, json::Writer& out) {
  out.null();
  return {};
}

struct MethodEntry {
  std::string_view name;
  Handler handle;
  std::string_view error_prefix = {};  // before the text of an answer refused at the limit
};

// Names of equal length are compared in this order.
constexpr std::array<MethodEntry, 14> kMethods = {{
    {"initialize", handle_initialize},
    {"shutdown", handle_shutdown},
    {"textDocument/hover", handle_hover},
    {"textDocument/completion", handle_completion},
    {"textDocument/definition", handle_definition},
    {"textDocument/references", handle_references},
    {"textDocument/codeAction", handle_code_action},
    {"textDocument/prepareRename", handle_prepare_rename},
    {"textDocument/signatureHelp", with_snapshot<handle_signature_help>},
    {"textDocument/rename", handle_rename},
    {"textDocument/documentSymbol", with_snapshot<handle_document_symbol>},
    {"textDocument/semanticTokens/full", with_snapshot<handle_semantic_tokens_full>},
    {"textDocument/inlayHint", with_snapshot<handle_inlay_hint>, kInlayHintsError},
    {"textDocument/codeLens", with_snapshot<handle_code_lens>, kCodeLensError},
}};

// A name of another length matches nothing, so most unknown names are refused without a comparison.
constexpr text::LengthBounds kMethodLengths = text::length_bounds(kMethods, &MethodEntry::name);

const MethodEntry* find_method(std::string_view name) {
  if (!kMethodLengths.contains(name.size())) return nullptr;
  for (const MethodEntry& entry : kMethods) {
    if (entry.name.size() == name.size() && entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace

HandlerResult handle_request(RequestContext& context, json::Writer& out) {
  Params params = std::move(context.params);
  const MethodEntry* entry = find_method(context.method);
  if (entry == nullptr) return method_not_found(context.method);
  return entry->handle(std::move(params), context.state, out);
}

void write_answer(RequestContext& context, const nlohmann::json& id, json::Writer& out) {
  out.clear();
  HandlerResult result;
  json::write_response(out, id, [&](json::Writer& w) { result = handle_request(context, w); });
  if (result.ok() && out.refused()) {
    const MethodEntry* entry = find_method(context.method);
    result = internal_error(std::string(entry->error_prefix) + answer_too_large(out));
  }
  const ResponseError* error = result.error();
  if (error == nullptr) return;
  // An error answer is short, and written whatever the limit of answers.
  const std::size_t limit = out.limit();
  out.clear();
  out.set_limit(SIZE_MAX);
  json::write_error_response(out, id, error->code, error->message, error->data ? &*error->data : nullptr);
  out.set_limit(limit);
}

// ---- Notifications ------------------------------------------------------------

namespace {

using NotificationResult = Result<NotificationOutcome, TransportError>;

TransportError invalid_params(const char* text) { return {TransportErrorKind::kInvalidData, text}; }

NotificationResult on_exit(NotificationContext& context) {
  context.log.line("Çıkış bildirimi alındı\n");
  return NotificationOutcome::kExit;
}

NotificationResult on_initialized(NotificationContext& context) {
  context.log.line("Sunucu başlatıldı\n");
  return NotificationOutcome::kHandled;
}

NotificationResult published(Status<TransportError> status) {
  if (!status.ok()) return Err{std::move(status.error())};
  return NotificationOutcome::kHandled;
}

NotificationResult on_did_open(NotificationContext& context) {
  auto decoded = context.params ? decode_record<DidOpenTextDocumentParams>(std::move(*context.params)) : fail("absent");
  if (!decoded.ok()) return Err{invalid_params("Invalid didOpen params")};
  TextDocumentItem& item = decoded->text_document;
  context.log.line(log_line("Döküman açıldı: ", item.uri));
  open_document(context.state, item.uri, std::move(item.text));
  const SharedText stored = get_document(context.state, item.uri)->text;
  return published(publish_diagnostics(item.uri, *stored, context.writer, context.log));
}

NotificationResult on_did_change(NotificationContext& context) {
  auto decoded = context.params ? decode_record<DidChangeTextDocumentParams>(std::move(*context.params)) : fail("absent");
  if (!decoded.ok()) return Err{invalid_params("Invalid didChange params")};
  const std::string& uri = decoded->text_document.uri;
  context.log.line(log_line("Döküman değişti: ", uri));
  apply_changes(context.state, uri, std::move(decoded->content_changes));
  const Document* document = get_document(context.state, uri);
  if (!document) return NotificationOutcome::kHandled;
  const SharedText stored = document->text;
  return published(publish_diagnostics(uri, *stored, context.writer, context.log));
}

NotificationResult on_did_close(NotificationContext& context) {
  auto decoded = context.params ? decode_record<DidCloseTextDocumentParams>(std::move(*context.params)) : fail("absent");
  if (!decoded.ok()) return Err{invalid_params("Invalid didClose params")};
  context.log.line(log_line("Döküman kapatıldı: ", decoded->text_document.uri));
  close_document(context.state, decoded->text_document.uri);
  return NotificationOutcome::kHandled;
}

struct NotificationName {
  std::string_view name;
  NotificationResult (*handle)(NotificationContext&);
};

constexpr std::array<NotificationName, 5> kNotifications = {{
    {"exit", on_exit},
    {"initialized", on_initialized},
    {"textDocument/didOpen", on_did_open},
    {"textDocument/didChange", on_did_change},
    {"textDocument/didClose", on_did_close},
}};

}  // namespace

NotificationResult handle_notification(std::string_view method, NotificationContext& context) {
  for (const NotificationName& entry : kNotifications) {
    if (entry.name == method) return entry.handle(context);
  }
  context.log.line(log_line("Bilinmeyen bildirim: ", method));
  return NotificationOutcome::kHandled;
}

}  // namespace zevo::lsp

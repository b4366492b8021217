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

namespace zevo::lsp {

namespace {

enum class Method : uint8_t {
  kInitialize,
  kShutdown,
  kHover,
  kCompletion,
  kSignatureHelp,
  kDefinition,
  kReferences,
  kRename,
  kPrepareRename,
  kDocumentSymbol,
  kSemanticTokensFull,
  kInlayHint,
  kCodeLens,
  kCodeAction,
};

struct MethodName {
  std::string_view name;
  Method method;
};

// Names of equal length are compared in this order.
constexpr std::array<MethodName, 14> kMethods = {{
    {"initialize", Method::kInitialize},
    {"shutdown", Method::kShutdown},
    {"textDocument/hover", Method::kHover},
    {"textDocument/completion", Method::kCompletion},
    {"textDocument/definition", Method::kDefinition},
    {"textDocument/references", Method::kReferences},
    {"textDocument/codeAction", Method::kCodeAction},
    {"textDocument/prepareRename", Method::kPrepareRename},
    {"textDocument/signatureHelp", Method::kSignatureHelp},
    {"textDocument/rename", Method::kRename},
    {"textDocument/documentSymbol", Method::kDocumentSymbol},
    {"textDocument/semanticTokens/full", Method::kSemanticTokensFull},
    {"textDocument/inlayHint", Method::kInlayHint},
    {"textDocument/codeLens", Method::kCodeLens},
}};

constexpr std::size_t kShortestMethod = 8;
constexpr std::size_t kLongestMethod = 32;

std::optional<Method> find_method(std::string_view name) {
  if (name.size() < kShortestMethod || name.size() > kLongestMethod) return std::nullopt;
  for (const MethodName& entry : kMethods) {
    if (entry.name.size() == name.size() && entry.name == name) return entry.method;
  }
  return std::nullopt;
}

const nlohmann::json& raw_params(const Params& params) {
  static const nlohmann::json kNull;
  return params ? *params : kNull;
}

template <class Answer>
HandlerResult from_feature(Result<Answer> outcome, std::string_view prefix) {
  if (!outcome.ok()) return internal_error(std::string(prefix) + outcome.error());
  return HandlerResult(std::move(*outcome));
}

}  // namespace

HandlerResult handle_request(RequestContext& context) {
  const Params params = std::move(context.params);
  const ServerState& state = context.state;
  const std::optional<Method> method = find_method(context.method);
  if (!method) return method_not_found(context.method);
  switch (*method) {
    case Method::kInitialize: return handle_initialize(params);
    case Method::kShutdown: return HandlerResult(nlohmann::json());
    case Method::kHover: return handle_hover(params, state);
    case Method::kCompletion: return handle_completion(params, state);
    case Method::kDefinition: return handle_definition(params, state);
    case Method::kPrepareRename: return handle_prepare_rename(params, state);
    case Method::kReferences: return handle_references(state, params);
    case Method::kRename: return handle_rename(state, params);
    case Method::kCodeAction: return handle_code_action(state, params);
    case Method::kSignatureHelp: return handle_signature_help(raw_params(params), documents_snapshot(state));
    case Method::kDocumentSymbol: return handle_document_symbol(raw_params(params), documents_snapshot(state));
    case Method::kSemanticTokensFull: return semantic_tokens_full(raw_params(params), documents_snapshot(state));
    case Method::kInlayHint:
      return from_feature(handle_inlay_hint(raw_params(params), documents_snapshot(state)), "Inlay hints error: ");
    case Method::kCodeLens:
      return from_feature(handle_code_lens(raw_params(params), documents_snapshot(state)), "Code lens error: ");
  }
  return method_not_found(context.method);
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

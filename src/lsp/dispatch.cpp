#include "lsp/dispatch.hpp"

#include <array>

#include "lsp/code_actions.hpp"
#include "lsp/code_lens.hpp"
#include "lsp/completion.hpp"
#include "lsp/definition.hpp"
#include "lsp/hover.hpp"
#include "lsp/initialize.hpp"
#include "lsp/inlay_hints.hpp"
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

}  // namespace zevo::lsp

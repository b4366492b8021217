#include "lsp/initialize.hpp"

#include "lsp/decode.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

namespace {

void names(json::Writer& out, std::span<const std::string_view> list) {
  out.begin_array();
  for (std::string_view name : list) out.string(name);
  out.end_array();
}

void flag(json::Writer& out, std::string_view key, bool value) {
  out.key(key);
  out.boolean(value);
}

// {"resolveProvider":false[,"triggerCharacters":[..]]}, or the triggers alone.
void provider(json::Writer& out, std::string_view key, bool with_resolve, std::span<const std::string_view> triggers) {
  out.key(key);
  out.begin_object();
  if (with_resolve) flag(out, "resolveProvider", false);
  if (!triggers.empty()) {
    out.key("triggerCharacters");
    names(out, triggers);
  }
  out.end_object();
}

constexpr std::string_view kCompletionTriggers[] = {".", ":"};
constexpr std::string_view kSignatureTriggers[] = {"(", ","};

void write_capabilities(json::Writer& out) {
  out.begin_object();
  flag(out, "codeActionProvider", true);
  provider(out, "codeLensProvider", true, {});
  provider(out, "completionProvider", true, kCompletionTriggers);
  flag(out, "definitionProvider", true);
  flag(out, "documentFormattingProvider", false);
  flag(out, "documentSymbolProvider", true);
  flag(out, "hoverProvider", true);
  flag(out, "inlayHintProvider", true);
  flag(out, "referencesProvider", true);
  flag(out, "renameProvider", true);
  out.key("semanticTokensProvider");
  out.begin_object();
  flag(out, "full", true);
  out.key("legend");
  out.begin_object();
  out.key("tokenModifiers");
  names(out, kSemanticTokenModifiers);
  out.key("tokenTypes");
  names(out, kSemanticTokenTypes);
  out.end_object();
  flag(out, "range", false);
  out.end_object();
  provider(out, "signatureHelpProvider", false, kSignatureTriggers);
  out.key("textDocumentSync");
  out.begin_object();
  out.key("change");
  out.number(1);
  flag(out, "openClose", true);
  out.end_object();
  out.end_object();
}

void write_initialize_result(json::Writer& out) {
  out.begin_object();
  out.key("capabilities");
  write_capabilities(out);
  out.key("serverInfo");
  out.begin_object();
  out.key("name");
  out.string("ZEVO Language Server");
  out.key("version");
  out.string("0.9.4");
  out.end_object();
  out.end_object();
}

}  // namespace

HandlerResult handle_initialize(Params params, const ServerState&, json::Writer& out) {
  auto decoded = decode_params<InitializeParams>(std::move(params), "Invalid initialize params");
  if (!decoded.ok()) return std::move(decoded.error());
  write_initialize_result(out);
  return {};
}

}  // namespace zevo::lsp

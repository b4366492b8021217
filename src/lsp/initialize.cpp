#include "lsp/initialize.hpp"

#include "lsp/decode.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

using nlohmann::json;

namespace {

json names(std::span<const std::string_view> list) {
  json out = json::array();
  for (std::string_view name : list) out.push_back(name);
  return out;
}

}  // namespace

json build_initialize_result() {
  const json capabilities{
      {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
      {"hoverProvider", true},
      {"completionProvider", {{"resolveProvider", false}, {"triggerCharacters", {".", ":"}}}},
      {"signatureHelpProvider", {{"triggerCharacters", {"(", ","}}}},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"documentSymbolProvider", true},
      {"codeActionProvider", true},
      {"codeLensProvider", {{"resolveProvider", false}}},
      {"documentFormattingProvider", false},
      {"renameProvider", true},
      {"semanticTokensProvider",
       {{"legend", {{"tokenTypes", names(kSemanticTokenTypes)}, {"tokenModifiers", names(kSemanticTokenModifiers)}}},
        {"range", false},
        {"full", true}}},
      {"inlayHintProvider", true},
  };
  return json{{"capabilities", capabilities},
              {"serverInfo", {{"name", "ZEVO Language Server"}, {"version", "0.9.4"}}}};
}

HandlerResult handle_initialize(Params params, const ServerState&) {
  auto decoded = decode_params<InitializeParams>(std::move(params), "Invalid initialize params");
  if (!decoded.ok()) return std::move(decoded.error());
  return build_initialize_result();
}

}  // namespace zevo::lsp

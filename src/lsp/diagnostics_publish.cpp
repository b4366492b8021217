#include "lsp/diagnostics_publish.hpp"

#include "json/json.hpp"
#include "lsp/diagnostics.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

Status<TransportError> publish_diagnostics(std::string_view uri, std::string_view text, MessageWriter& writer,
                                           LogSink& log) {
  auto serialized = serialized_uri(uri);
  if (!serialized.ok()) {
    log.line("URI parse hatası: " + std::string(uri) + " - " + serialized.error() + "\n");
    return Unit{};
  }
  nlohmann::json diagnostics = nlohmann::json::array();
  for (const Diagnostic& diagnostic : compute_diagnostics(text)) diagnostics.push_back(diagnostic);
  const nlohmann::json params{{"diagnostics", std::move(diagnostics)}, {"uri", std::move(*serialized)}};
  std::string body;
  zevo::json::write_notification(body, "textDocument/publishDiagnostics", zevo::json::to_text(params));
  return send_message(writer, body);
}

}  // namespace zevo::lsp

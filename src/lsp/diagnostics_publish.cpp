#include "lsp/diagnostics_publish.hpp"

#include <cstdint>

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
  const std::vector<Diagnostic> diagnostics = compute_diagnostics(text);
  // No limit: the notification is sent whatever the length of the URI.
  zevo::json::Writer body(SIZE_MAX);
  zevo::json::write_notification(body, "textDocument/publishDiagnostics", [&](zevo::json::Writer& out) {
    out.begin_object();
    out.key("diagnostics");
    out.begin_array();
    for (const Diagnostic& diagnostic : diagnostics) write(out, diagnostic);
    out.end_array();
    out.key("uri");
    out.string(*serialized);
    out.end_object();
  });
  return send_message(writer, body);
}

}  // namespace zevo::lsp

// Diagnostics: computing a document's list (diagnostics_compute.cpp) and
// publishing it to the client (diagnostics.cpp).
#pragma once

#include <string_view>
#include <vector>

#include "lsp/protocol.hpp"
#include "lsp/transport.hpp"

namespace zevo::lsp {

// The document's diagnostics in the order they are published.
std::vector<Diagnostic> compute_diagnostics(std::string_view text);

// Sends one textDocument/publishDiagnostics notification for the document. A
// URI that does not parse is logged and sends nothing; only a failed write is
// an error.
Status<TransportError> publish_diagnostics(std::string_view uri, std::string_view text, MessageWriter& writer,
                                           LogSink& log);

}  // namespace zevo::lsp

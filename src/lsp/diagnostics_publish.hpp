// Publishing a document's diagnostics: the one message the server sends of its
// own accord, after a document is opened or changed.
#pragma once

#include <string_view>

#include "base/result.hpp"
#include "lsp/log.hpp"
#include "lsp/transport.hpp"

namespace zevo::lsp {

// Sends one textDocument/publishDiagnostics notification for the document. A
// URI that does not parse is logged and sends nothing; only a failed write is
// an error.
Status<TransportError> publish_diagnostics(std::string_view uri, std::string_view text, MessageWriter& writer,
                                           LogSink& log);

}  // namespace zevo::lsp

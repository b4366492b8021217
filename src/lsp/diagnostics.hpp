// Diagnostics: computing a document's list. Sending it to the client is
// diagnostics_publish.hpp's.
#pragma once

#include <string_view>
#include <vector>

#include "lsp/protocol.hpp"

namespace zevo::lsp {

// The document's diagnostics in the order they are published.
std::vector<Diagnostic> compute_diagnostics(std::string_view text);

}  // namespace zevo::lsp

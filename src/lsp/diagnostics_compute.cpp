// Placeholder until the diagnostics computation is built: no document has any.
#include "lsp/diagnostics.hpp"

namespace zevo::lsp {

std::vector<Diagnostic> compute_diagnostics(std::string_view) { return {}; }

}  // namespace zevo::lsp

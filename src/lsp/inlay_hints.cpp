// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/inlay_hints.hpp"

namespace zevo::lsp {

Result<nlohmann::json> handle_inlay_hint(const nlohmann::json&, const DocumentsSnapshot&) {
  return fail("not available");
}

}  // namespace zevo::lsp

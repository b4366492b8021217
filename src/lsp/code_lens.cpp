// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/code_lens.hpp"

namespace zevo::lsp {

Result<nlohmann::json> handle_code_lens(const nlohmann::json&, const DocumentsSnapshot&) {
  return fail("not available");
}

}  // namespace zevo::lsp

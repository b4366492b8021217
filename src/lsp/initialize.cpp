// Placeholder until the feature is built: the method answers as an unknown one.
#include "lsp/initialize.hpp"

namespace zevo::lsp {

HandlerResult handle_initialize(const Params&) { return method_not_found("initialize"); }

}  // namespace zevo::lsp

// Code lens: run, test, program, benchmark and reference-count lenses.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

// Every failure answers -32603 with this in front of its text.
inline constexpr std::string_view kCodeLensError = "Code lens error: ";

// Writes the lenses as a JSON array.
HandlerResult handle_code_lens(Params params, const DocumentsSnapshot& snapshot, json::Writer& out);

// Every lens of the text, in line order and, within a line, as function, test,
// program, benchmark, reference. `uri` goes into the run commands as it is.
std::vector<CodeLens> compute_code_lenses(std::string_view text, std::string_view uri);

// The trimmed text between the keyword's first occurrence and the next "(",
// or nothing when there is no "(" or the text is empty.
std::optional<std::string_view> function_name_after(std::string_view line, std::string_view keyword);

}  // namespace zevo::lsp

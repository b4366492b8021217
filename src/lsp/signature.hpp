// Signature help: the signature of the call around the cursor.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

struct ParameterInformation {
  std::string label;
};

struct SignatureInformation {
  std::string label;
  std::string documentation;  // plain text
  std::vector<ParameterInformation> parameters;
};

// One signature, the only one the answer holds.
struct SignatureHelp {
  SignatureInformation signature;
  std::size_t active_parameter = 0;
};

void write(json::Writer& out, const SignatureInformation& v);
void write(json::Writer& out, const SignatureHelp& v);

// A built-in function reachable by one or two names (an unused second one is
// empty); an alias shows the label of its row.
struct BuiltinSignature {
  std::array<std::string_view, 2> names;
  std::string_view label;
  std::array<std::string_view, 2> parameters;  // unused trailing ones are empty
  std::string_view documentation;
};

extern const std::array<BuiltinSignature, 10> BUILTIN_SIGNATURES;

struct Callee {
  std::string name;  // never empty
  std::size_t active_parameter = 0;
};

// The call whose open parenthesis stands before byte `offset` of `line` on
// the same line, and the number of commas between them at depth 0.
std::optional<Callee> callee_at_cursor(std::string_view line, std::size_t offset);

// What the document says about a name.
struct NotDeclared {};
struct IncompleteDeclaration {};  // the declaring line lacks "(" or ")" after the name
using UserSignature = std::variant<NotDeclared, IncompleteDeclaration, SignatureInformation>;

// The first line that mentions "fonksiyon" or "function" in any letter case
// and contains the name (a callee's, never empty) decides; both tests are
// plain substring searches.
UserSignature find_user_signature(std::string_view text, std::string_view name);

// The pieces between the commas of a declaration's parameter text, each
// written "name: type" when it has exactly one ":".
std::vector<ParameterInformation> parameter_labels(std::string_view parameter_text);

std::optional<SignatureInformation> builtin_signature(std::string_view name);

// Nothing when the position, the document or the callee's signature is missing.
std::optional<SignatureHelp> signature_help(const nlohmann::json& params, const DocumentsSnapshot& snapshot);

HandlerResult handle_signature_help(Params params, const DocumentsSnapshot& snapshot, json::Writer& out);

}  // namespace zevo::lsp

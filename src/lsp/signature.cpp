// Signature help works on the text alone: it knows no strings or comments, so
// parentheses and commas count wherever they stand on the cursor's line.
#include "lsp/signature.hpp"

#include <algorithm>

#include "json/json.hpp"
#include "lsp/rename.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::lsp {

constexpr std::array<BuiltinSignature, 10> BUILTIN_SIGNATURES = {{
    {{"yaz", "yazdır"}, "yazdır(mesaj: metin)", {"mesaj: metin", {}}, "Ekrana metin yazdırır"},
    {{"oku", {}}, "oku() -> metin", {}, "Kullanıcıdan girdi okur"},
    {{"print", "println"}, "print(message: string)", {"message: string", {}}, "Prints text to console"},
    {{"read", {}}, "read() -> string", {}, "Reads input from user"},
    {{"karekök", {}}, "karekök(sayı: kesir) -> kesir", {"sayı: kesir", {}}, "Karekök hesaplar"},
    {{"üs", {}}, "üs(taban: kesir, kuvvet: kesir) -> kesir", {"taban: kesir", "kuvvet: kesir"}, "Üs alma işlemi"},
    {{"sqrt", {}}, "sqrt(number: float) -> float", {"number: float", {}}, "Calculates square root"},
    {{"pow", {}}, "pow(base: float, exponent: float) -> float", {"base: float", "exponent: float"}, "Power operation"},
    {{"uzunluk", {}}, "uzunluk(metin: metin) -> tamsayı", {"metin: metin", {}}, "Metin uzunluğunu döndürür"},
    {{"len", "length"}, "length(text: string) -> integer", {"text: string", {}}, "Returns string length"},
}};

void write(json::Writer& out, const SignatureInformation& v) {
  out.begin_object();
  out.key("documentation");
  out.string(v.documentation);
  out.key("label");
  out.string(v.label);
  out.key("parameters");
  out.begin_array();
  for (const ParameterInformation& parameter : v.parameters) {
    out.begin_object();
    out.key("label");
    out.string(parameter.label);
    out.end_object();
  }
  out.end_array();
  out.end_object();
}

void write(json::Writer& out, const SignatureHelp& v) {
  out.begin_object();
  out.key("activeParameter");
  out.number(v.active_parameter);
  out.key("activeSignature");
  out.number(0);
  out.key("signatures");
  out.begin_array();
  write(out, v.signature);
  out.end_array();
  out.end_object();
}

namespace {

constexpr std::string_view kDocumentationPrefix = "Function: ";

// Only ASCII letters lower-case to "f", "o", "u" and "n", and the two words
// begin with "fon" and "fun": a line holding neither in any letter case needs
// no lower-casing. Bytes of multi-byte characters stay above 0x7F under | 0x20.
bool may_declare_function(std::string_view line) {
  for (std::size_t i = 0; i + 2 < line.size(); ++i) {
    if ((line[i] | 0x20) != 'f') continue;
    const char second = static_cast<char>(line[i + 1] | 0x20);
    if ((second == 'o' || second == 'u') && (line[i + 2] | 0x20) == 'n') return true;
  }
  return false;
}

bool declares_function(std::string_view line) {
  if (!may_declare_function(line)) return false;
  const std::string lower = text::to_lower(line);
  return text::contains(lower, "fonksiyon") || text::contains(lower, "function");
}

// The first word after the first "->" of the line, if any.
std::optional<std::string_view> return_type(std::string_view line) {
  const std::size_t arrow = line.find("->");
  if (arrow == std::string_view::npos) return std::nullopt;
  const std::string_view rest = text::trim(line.substr(arrow + 2));
  if (rest.empty()) return std::nullopt;
  return text::first_word(rest);
}

}  // namespace

std::optional<Callee> callee_at_cursor(std::string_view line, std::size_t offset) {
  // Only ASCII bytes matter here, and they never occur inside a multi-byte
  // character, so the backward walk can go byte by byte.
  std::size_t depth = 0;
  std::size_t commas = 0;
  std::size_t i = std::min(offset, line.size());
  for (;;) {
    if (i == 0) return std::nullopt;
    const char c = line[--i];
    if (c == '(') {
      if (depth == 0) break;
      --depth;
    } else if (c == ')') {
      ++depth;
    } else if (c == ',' && depth == 0) {
      ++commas;
    }
  }

  const std::string_view before = text::trim_end(line.substr(0, i));
  const std::string_view name = before.substr(text::identifier_run_start(before));
  if (name.empty()) return std::nullopt;
  return Callee{std::string(name), commas};
}

std::vector<ParameterInformation> parameter_labels(std::string_view parameter_text) {
  std::vector<ParameterInformation> labels;
  for (std::size_t start = 0;;) {
    const std::size_t comma = parameter_text.find(',', start);
    const std::string_view piece =
        text::trim(parameter_text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    const std::size_t colon = piece.find(':');
    if (colon != std::string_view::npos && piece.find(':', colon + 1) == std::string_view::npos) {
      std::string label(text::trim(piece.substr(0, colon)));
      label += ": ";
      label += text::trim(piece.substr(colon + 1));
      labels.push_back({std::move(label)});
    } else {
      labels.push_back({std::string(piece)});
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return labels;
}

UserSignature find_user_signature(std::string_view text, std::string_view name) {
  std::optional<std::string_view> declaring;
  // The name test comes first: one search over the whole text skips the
  // lines without the name, and those are never lower-cased.
  text::for_each_line_containing(text, name, [&](std::size_t, std::string_view line) {
    if (!declares_function(line)) return true;
    declaring = line;
    return false;
  });
  if (!declaring) return NotDeclared{};

  const std::string_view line = *declaring;
  const std::size_t open = line.find('(', text::find_text(line, name));
  if (open == std::string_view::npos) return IncompleteDeclaration{};
  const std::size_t close = line.find(')', open);
  if (close == std::string_view::npos) return IncompleteDeclaration{};
  const std::string_view parameter_text = line.substr(open + 1, close - open - 1);

  SignatureInformation signature;
  signature.label = std::string(name) + "(" + std::string(parameter_text) + ")";
  if (const auto type = return_type(line)) {
    signature.label += " -> ";
    signature.label += *type;
  }
  if (!text::trim(parameter_text).empty()) signature.parameters = parameter_labels(parameter_text);
  signature.documentation = std::string(kDocumentationPrefix) + std::string(name);
  return signature;
}

std::optional<SignatureInformation> builtin_signature(std::string_view name) {
  for (const BuiltinSignature& row : BUILTIN_SIGNATURES) {
    if (row.names[0] != name && (row.names[1].empty() || row.names[1] != name)) continue;
    SignatureInformation signature{std::string(row.label), std::string(row.documentation), {}};
    for (std::string_view parameter : row.parameters) {
      if (!parameter.empty()) signature.parameters.push_back({std::string(parameter)});
    }
    return signature;
  }
  return std::nullopt;
}

std::optional<SignatureHelp> signature_help(const nlohmann::json& params, const DocumentsSnapshot& snapshot) {
  const std::nullopt_t null_result = std::nullopt;
  const auto& uri = json::get(json::get(params, "textDocument"), "uri");
  const auto& position = json::get(params, "position");
  const auto line_number = json::as_u64(json::get(position, "line"));
  const auto column = json::as_u64(json::get(position, "character"));
  if (!uri.is_string() || !line_number || !column) return null_result;

  const std::string* text = snapshot.find(*uri.get_ptr<const std::string*>());
  if (text == nullptr) return null_result;
  std::string_view line;
  if (!text::nth_line(*text, *line_number, line)) return null_result;
  const std::size_t offset = text::column_to_byte(line, *column);
  if (offset == 0) return null_result;

  const auto callee = callee_at_cursor(line, offset);
  if (!callee) return null_result;

  std::optional<SignatureInformation> signature;
  UserSignature user = find_user_signature(*text, callee->name);
  if (auto* found = std::get_if<SignatureInformation>(&user)) {
    signature = std::move(*found);
  } else if (std::holds_alternative<IncompleteDeclaration>(user)) {
    return null_result;
  } else {
    signature = builtin_signature(callee->name);
  }
  if (!signature) return null_result;

  return SignatureHelp{std::move(*signature), callee->active_parameter};
}

HandlerResult handle_signature_help(Params params, const DocumentsSnapshot& snapshot, json::Writer& out) {
  if (auto help = signature_help(raw_params(params), snapshot)) {
    write(out, *help);
  } else {
    out.null();
  }
  return {};
}

}  // namespace zevo::lsp

#include "lsp/inlay_hints.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "json/json.hpp"
#include "text/lines.hpp"
#include "text/number.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::lsp {

std::span<const std::string_view> builtin_parameter_names(std::string_view function) {
  if (function.empty()) return {};
  for (const BuiltinParameters& row : BUILTIN_PARAMETER_NAMES) {
    if (std::find(row.functions.begin(), row.functions.end(), function) == row.functions.end()) continue;
    const auto used = std::find(row.parameters.begin(), row.parameters.end(), std::string_view());
    return {row.parameters.begin(), used};
  }
  return {};
}

namespace {

constexpr std::string_view kDeclarationKeywords[] = {"let", "değişken", "const", "sabit"};
constexpr std::string_view kReturnHintKeywords[] = {"fonksiyon", "function", "fn"};

constexpr uint32_t kWholeDocumentEnd = std::numeric_limits<uint32_t>::max();

using text::contains;

// The type word of a declared value, or nothing.
std::optional<std::string_view> value_type(std::string_view value) {
  if ((value.starts_with('\'') && value.ends_with('\'')) || (value.starts_with('"') && value.ends_with('"'))) {
    return "string";
  }
  if (value == "true" || value == "false" || value == "doğru" || value == "yanlış") return "boolean";
  if (contains(value, ".")) {
    if (text::parse_float(value)) return "float";
  } else if (text::parse_i64(value)) {
    return "int";
  }
  if (value.starts_with('[') && value.ends_with(']')) return "array";
  if (value.starts_with('{') && value.ends_with('}')) return "object";
  if (contains(value, "(") && contains(value, ")") && value.size() >= 3) {
    if (value.starts_with("oku") || value.starts_with("read")) return "string";
    if (value.starts_with("uzunluk") || value.starts_with("length")) return "int";
  }
  return std::nullopt;
}

class LineHints {
 public:
  LineHints(uint32_t line_number, std::string_view line, std::vector<InlayHint>& out)
      : line_number_(line_number), line_(line), trimmed_(text::trim(line)), out_(out) {}

  void value_types() {
    const std::string_view t = trimmed_;
    for (std::string_view keyword : kDeclarationKeywords) {
      const std::size_t found = t.find(keyword);
      if (found == std::string_view::npos) continue;
      const std::string_view after = t.substr(found + keyword.size());
      const std::size_t equals = after.find('=');
      if (equals == std::string_view::npos) continue;
      const std::string_view name = text::trim(after.substr(0, equals));
      if (name.empty() || contains(name, ":")) continue;
      std::string_view value = text::trim(after.substr(equals + 1));
      if (value.ends_with(';')) value.remove_suffix(1);
      if (value.empty()) continue;
      const auto type = value_type(value);
      if (!type) continue;
      std::string label = ": ";
      label.append(*type);
      add(offset_of(name) + name.size(), std::move(label), kInlayHintType, std::nullopt, std::nullopt);
    }
  }

  void parameter_names() {
    const std::size_t open = line_.find('(');
    const std::size_t close = line_.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return;
    const auto names = builtin_parameter_names(last_word(line_.substr(0, open)));
    if (names.empty()) return;

    std::size_t search = open + 1;
    std::size_t next_name = 0;
    const std::string_view inside = line_.substr(open + 1, close - open - 1);
    for (std::size_t piece_start = 0; piece_start <= inside.size() && next_name < names.size();) {
      std::size_t comma = inside.find(',', piece_start);
      if (comma == std::string_view::npos) comma = inside.size();
      const std::string_view argument = text::trim(inside.substr(piece_start, comma - piece_start));
      piece_start = comma + 1;
      if (argument.empty()) continue;
      const std::string_view name = names[next_name++];
      const std::size_t found = line_.find(argument, search);
      if (found == std::string_view::npos) continue;
      add(found, std::string(name) + ": ", kInlayHintParameter, std::nullopt, true);
      search = found + argument.size();
    }
  }

  void return_types() {
    const std::string_view t = trimmed_;
    if (contains(t, "->")) return;
    const std::size_t brace = line_.find('{');
    if (brace == std::string_view::npos) return;
    for (std::string_view keyword : kReturnHintKeywords) {
      if (contains(t, keyword)) add(brace, " -> void", kInlayHintType, true, std::nullopt);
    }
  }

 private:
  std::size_t offset_of(std::string_view inside_line) const {
    return static_cast<std::size_t>(inside_line.data() - line_.data());
  }

  // Words are separated by runs of white space.
  static std::string_view last_word(std::string_view s) {
    s = text::trim_end(s);
    return s.substr(text::run_start(s, [](char32_t c) { return !text::is_white_space(c); }));
  }

  void add(std::size_t byte, std::string label, int32_t kind, std::optional<bool> padding_left,
           std::optional<bool> padding_right) {
    const Position position{line_number_, static_cast<uint32_t>(text::byte_to_column(line_, byte))};
    out_.push_back({position, std::move(label), kind, padding_left, padding_right});
  }

  uint32_t line_number_;
  std::string_view line_;
  std::string_view trimmed_;
  std::vector<InlayHint>& out_;
};

// A range line given as a non-negative integer; above the 32-bit range it
// saturates rather than wrapping onto a small line number.
std::optional<uint32_t> range_line(const nlohmann::json& value) {
  const std::optional<uint64_t> line = json::as_u64(value);
  if (!line) return std::nullopt;
  return static_cast<uint32_t>(std::min<uint64_t>(*line, kWholeDocumentEnd));
}

}  // namespace

namespace {

// Calls `visit` with each hint of the lines first_line to last_line in order;
// only one line's hints are held at a time.
template <class Visit>
void for_each_hint(std::string_view text, uint32_t first_line, uint32_t last_line, Visit&& visit) {
  if (first_line > last_line) return;
  std::vector<InlayHint> hints;
  text::for_each_line(text, [&](std::size_t index, std::string_view line) {
    if (index > last_line) return false;
    if (index < first_line) return true;
    hints.clear();
    LineHints line_hints(static_cast<uint32_t>(index), line, hints);
    line_hints.value_types();
    line_hints.parameter_names();
    line_hints.return_types();
    for (InlayHint& hint : hints) visit(hint);
    return true;
  });
}

}  // namespace

std::vector<InlayHint> compute_inlay_hints(std::string_view text, uint32_t first_line, uint32_t last_line) {
  std::vector<InlayHint> hints;
  for_each_hint(text, first_line, last_line, [&](InlayHint& hint) { hints.push_back(std::move(hint)); });
  return hints;
}

HandlerResult handle_inlay_hint(Params params, const DocumentsSnapshot& snapshot, json::Writer& out) {
  const nlohmann::json& raw = raw_params(params);
  const nlohmann::json& uri = json::get(json::get(raw, "textDocument"), "uri");
  if (!uri.is_string()) return internal_error(std::string(kInlayHintsError) + "Missing textDocument.uri");
  const nlohmann::json& range = json::get(raw, "range");
  const uint32_t first_line = range_line(json::get(json::get(range, "start"), "line")).value_or(0);
  const uint32_t last_line = range_line(json::get(json::get(range, "end"), "line")).value_or(kWholeDocumentEnd);
  const std::string* text = snapshot.find(*uri.get_ptr<const std::string*>());
  if (text == nullptr) return internal_error(std::string(kInlayHintsError) + "Document not found");

  out.begin_array();
  for_each_hint(*text, first_line, last_line, [&](const InlayHint& hint) { write(out, hint); });
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

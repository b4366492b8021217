#include "lsp/symbols.hpp"

#include <memory>
#include <string>

#include "json/json.hpp"
#include "text/lines.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

std::string_view skip_chars(std::string_view text, std::size_t n) {
  return text.substr(text::char_index_to_byte(text, n));
}

std::optional<std::size_t> char_index_of(std::string_view text, char32_t c) {
  // An ASCII byte is always a character of its own, even in malformed text.
  if (c < 0x80) {
    const std::size_t at = text.find(static_cast<char>(c));
    if (at == std::string_view::npos) return std::nullopt;
    return text::char_count(text.substr(0, at));
  }
  std::size_t index = 0;
  for (std::size_t i = 0; i < text.size(); ++index) {
    if (text::decode_utf8(text, i) == c) return index;
  }
  return std::nullopt;
}

std::string_view substring_chars(std::string_view text, std::size_t a, std::size_t b) {
  if (b <= a) return {};
  const std::string_view rest = skip_chars(text, a);
  return rest.substr(0, text::char_index_to_byte(rest, b - a));
}

namespace {

// Characters of `line` whose lower-case forms are the first `lowered`
// characters of its lower-cased text. Only "İ" grows (to "i" and U+0307), and
// counting the lower-cased text alone would shift every name after one.
std::size_t chars_before_lowered(std::string_view line, std::size_t lowered) {
  std::size_t count = 0;
  for (std::size_t i = 0; lowered > 0 && i < line.size(); ++count) {
    const char32_t c = text::decode_utf8(line, i);
    lowered -= (c == U'\u0130' && lowered >= 2) ? 2 : 1;
  }
  return count;
}

// Lines and columns of a document stay far below 2^32 (its size is bounded).
Range on_line(uint64_t line_number, uint64_t start, uint64_t end) {
  const auto line = static_cast<uint32_t>(line_number);
  return {{line, static_cast<uint32_t>(start)}, {line, static_cast<uint32_t>(end)}};
}

Range whole_line(uint64_t line_number, std::string_view line) {
  return on_line(line_number, 0, text::utf16_length(line));
}

// The name runs from `name_start` (a byte offset in the line).
Range name_range(uint64_t line_number, std::string_view line, std::size_t name_start, std::string_view name) {
  const uint64_t start = text::byte_to_column(line, name_start);
  return on_line(line_number, start, start + text::utf16_length(name));
}

std::optional<SymbolRecord> function_symbol(uint64_t line_number, std::string_view line,
                                            std::string_view lowered) {
  std::string_view keyword;
  std::size_t found = std::string_view::npos;
  for (std::string_view candidate : FUNCTION_KEYWORDS) {
    found = lowered.find(candidate);
    if (found != std::string_view::npos) {
      keyword = candidate;
      break;
    }
  }
  if (keyword.empty()) return std::nullopt;
  const std::size_t k =
      chars_before_lowered(line, text::char_count(lowered.substr(0, found))) + text::char_count(keyword);

  const std::string_view rest = text::trim_start(skip_chars(line, k));
  const auto open = char_index_of(rest, U'(');
  if (!open) return std::nullopt;
  const std::string_view name = text::trim(substring_chars(rest, 0, *open));
  if (name.empty()) return std::nullopt;
  const auto close = char_index_of(rest, U')');
  if (!close) return std::nullopt;
  const std::string_view parameters = substring_chars(rest, *open + 1, *close);

  std::string detail;
  detail.append(name).append("(").append(parameters).append(")");
  if (const std::size_t arrow = rest.find("->"); arrow != std::string_view::npos) {
    const std::string_view return_type = text::first_word(text::trim(rest.substr(arrow + 2)));
    if (return_type.empty()) return std::nullopt;
    detail.append(" -> ").append(return_type);
  }

  // The selection starts at the name itself, however much white space (none
  // included) stands between it and the keyword.
  return SymbolRecord{std::string(name), std::move(detail), whole_line(line_number, line),
                      name_range(line_number, line, static_cast<std::size_t>(rest.data() - line.data()), name),
                      kSymbolFunction};
}

template <std::size_t N>
const DeclarationPrefix* matching_prefix(const std::array<DeclarationPrefix, N>& table,
                                         std::string_view lowered_trimmed) {
  for (const auto& row : table) {
    if (lowered_trimmed.starts_with(row.prefix)) return &row;
  }
  return nullptr;
}

// The text after the keyword of a trimmed line, its leading white space removed.
std::string_view after_keyword(std::string_view trimmed, std::string_view keyword) {
  return text::trim_start(skip_chars(trimmed, text::char_count(keyword)));
}

// The name before the first of `stops` that the text contains (tried in that
// order), else the text's first word.
std::string_view declared_symbol_name(std::string_view rest, std::u32string_view stops) {
  for (char32_t stop : stops) {
    if (const auto index = char_index_of(rest, stop)) return text::trim(substring_chars(rest, 0, *index));
  }
  return text::first_word(rest);
}

std::optional<SymbolRecord> variable_symbol(uint64_t line_number, std::string_view line,
                                            std::string_view trimmed, std::string_view lowered_trimmed) {
  const DeclarationPrefix* row = matching_prefix(VARIABLE_PREFIXES, lowered_trimmed);
  if (row == nullptr) return std::nullopt;
  const std::string_view rest = after_keyword(trimmed, row->keyword);
  // The ":" counts first even when an "=" stands before it.
  const std::string_view name = declared_symbol_name(rest, U":=");
  if (name.empty()) return std::nullopt;

  std::string detail(name);
  if (const auto colon = char_index_of(rest, U':')) {
    const std::string_view type_text = skip_chars(rest, *colon + 1);
    const auto equals = char_index_of(type_text, U'=');
    const std::string_view type = text::trim(equals ? substring_chars(type_text, 0, *equals) : type_text);
    detail.append(": ").append(type);
  }
  return SymbolRecord{std::string(name), std::move(detail), whole_line(line_number, line),
                      name_range(line_number, line, static_cast<std::size_t>(rest.data() - line.data()), name),
                      row->kind};
}

std::optional<SymbolRecord> type_symbol(uint64_t line_number, std::string_view line, std::string_view trimmed,
                                        std::string_view lowered_trimmed) {
  const DeclarationPrefix* row = matching_prefix(TYPE_PREFIXES, lowered_trimmed);
  if (row == nullptr) return std::nullopt;
  const std::string_view rest = after_keyword(trimmed, row->keyword);
  const std::string_view name = declared_symbol_name(rest, U"={");
  if (name.empty()) return std::nullopt;
  return SymbolRecord{std::string(name), "struct " + std::string(name), whole_line(line_number, line),
                      name_range(line_number, line, static_cast<std::size_t>(rest.data() - line.data()), name),
                      row->kind};
}

// Calls `visit` with each symbol in scan order.
template <class Visit>
void for_each_symbol(std::string_view text, Visit&& visit) {
  text::for_each_line(text, [&](std::size_t index, std::string_view line) {
    const std::string_view trimmed = text::trim(line);
    if (trimmed.starts_with("//") || trimmed.starts_with("/*")) return true;
    const uint64_t line_number = index;
    // Lower-casing neither makes nor removes white space, so the trimmed lower
    // text is the lower text trimmed.
    const std::string lowered = text::to_lower(line);
    const std::string_view lowered_trimmed = text::trim(lowered);
    if (auto s = function_symbol(line_number, line, lowered)) visit(*s);
    if (auto s = variable_symbol(line_number, line, trimmed, lowered_trimmed)) visit(*s);
    if (auto s = type_symbol(line_number, line, trimmed, lowered_trimmed)) visit(*s);
    return true;
  });
}

}  // namespace

std::vector<SymbolRecord> document_symbols(std::string_view text) {
  std::vector<SymbolRecord> symbols;
  for_each_symbol(text, [&](SymbolRecord& symbol) { symbols.push_back(std::move(symbol)); });
  return symbols;
}

void write(json::Writer& out, const SymbolRecord& symbol) {
  out.begin_object();
  out.key("detail");
  out.string(symbol.detail);
  out.key("kind");
  out.number(symbol.kind);
  out.key("name");
  out.string(symbol.name);
  out.key("range");
  write(out, symbol.range);
  out.key("selectionRange");
  write(out, symbol.selection_range);
  out.end_object();
}

HandlerResult handle_document_symbol(Params params, const DocumentsSnapshot& snapshot, json::Writer& out) {
  const nlohmann::json& raw = raw_params(params);
  const nlohmann::json& uri = json::get(json::get(raw, "textDocument"), "uri");
  const std::string* text = uri.is_string() ? snapshot.find(*uri.get_ptr<const std::string*>()) : nullptr;
  if (text == nullptr) {
    out.null();
    return {};
  }
  out.begin_array();
  for_each_symbol(*text, [&](const SymbolRecord& symbol) { write(out, symbol); });
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

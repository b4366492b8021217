#include "lsp/code_actions.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "json/json.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

// The translate action decides by the first pairs only: "yap" and "son" do not count.
constexpr std::size_t kTranslatablePairs = 8;

using text::contains;

const json& member(const json& value, std::string_view key) { return zevo::json::get(value, key); }

// Line numbers and the one column: a non-negative integer, anything else 0.
uint64_t read_number(const json& value) { return zevo::json::as_u64(value).value_or(0); }

CodeAction quick_fix(std::string title, std::string_view uri, std::vector<ActionEdit> edits) {
  return CodeAction{std::move(title), "quickfix", std::string(uri), std::move(edits), std::nullopt};
}

CodeAction command_action(std::string_view title, std::string_view kind, std::string_view command_title,
                          std::string_view command, std::string_view uri, const json& range) {
  Command run{std::string(command_title), std::string(command), std::vector<json>{json(uri), range}};
  return CodeAction{std::string(title), kind, std::string(uri), {}, std::move(run)};
}

// An insertion at a position that the client sent, written back as it came.
EditRange insertion_at(const json& point) { return EditRange{std::nullopt, point, 0, 0}; }

std::optional<std::string_view> between(std::string_view m, char quote) {
  const std::size_t open = m.find(quote);
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t close = m.find(quote, open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return m.substr(open + 1, close - open - 1);
}

// Apostrophes first; back-quotes only when the message has no apostrophe pair.
std::optional<std::string_view> quoted_name(std::string_view m) {
  if (auto name = between(m, '\'')) return name;
  return between(m, '`');
}

std::optional<CodeAction> declare_variable(std::string_view m, const json& diagnostic, std::string_view uri) {
  if (!contains(m, "undefined") && !contains(m, "tanımsız")) return std::nullopt;
  const auto name = quoted_name(m);
  // An empty pair names nothing; declaring it would write a broken line.
  if (!name || name->empty()) return std::nullopt;
  const uint64_t line = read_number(member(member(member(diagnostic, "range"), "start"), "line"));
  std::string declaration = "değişken ";
  declaration += *name;
  declaration += ": tamsayı = 0\n";
  std::string title = "Declare variable '";
  title += *name;
  title += '\'';
  return quick_fix(std::move(title), uri, {{EditRange{std::nullopt, std::nullopt, line, 0}, std::move(declaration)}});
}

std::optional<CodeAction> add_semicolon(std::string_view m, const json& diagnostic, std::string_view uri) {
  if (!contains(m, "expected") || !contains(m, ";")) return std::nullopt;
  const json& end = member(member(diagnostic, "range"), "end");
  const EditRange at{std::nullopt, std::nullopt, read_number(member(end, "line")), read_number(member(end, "character"))};
  return quick_fix("Add semicolon", uri, {{at, ";"}});
}

std::optional<CodeAction> replace_keyword(std::string_view m, const json& diagnostic, std::string_view uri) {
  if (!contains(m, "keyword") && !contains(m, "anahtar kelime")) return std::nullopt;
  for (const auto& pair : KEYWORD_TRANSLATIONS) {
    std::string_view from;
    std::string_view to;
    if (contains(m, pair.turkish)) {
      from = pair.turkish;
      to = pair.english;
    } else if (contains(m, pair.english)) {
      from = pair.english;
      to = pair.turkish;
    } else {
      continue;
    }
    std::string title = "Replace '";
    title += from;
    title += "' with '";
    title += to;
    title += '\'';
    return quick_fix(std::move(title), uri, {{EditRange{member(diagnostic, "range"), std::nullopt, 0, 0}, std::string(to)}});
  }
  return std::nullopt;
}

// The conversion keeps the expression: the call opens at the range's start and
// closes at its end.
std::optional<CodeAction> convert_number_type(std::string_view m, const json& diagnostic, std::string_view uri) {
  if (!contains(m, "type mismatch") && !contains(m, "tip uyuşmazlığı")) return std::nullopt;
  std::string_view title;
  std::string_view call;
  if (contains(m, "integer") && contains(m, "float")) {
    title = "Convert to float";
    call = "kesir_olarak(";
  } else if (contains(m, "tamsayı") && contains(m, "ondalık")) {
    title = "Convert to integer";
    call = "tamsayı_olarak(";
  } else {
    return std::nullopt;
  }
  const json& range = member(diagnostic, "range");
  return quick_fix(std::string(title), uri,
                   {{insertion_at(member(range, "start")), std::string(call)}, {insertion_at(member(range, "end")), ")"}});
}

std::optional<CodeAction> translate_action(std::string_view text, uint64_t start_line, std::string_view uri,
                                     const json& range) {
  std::string_view line;
  if (!text::nth_line(text, start_line, line)) return std::nullopt;
  const std::string lower = text::to_lower(line);
  bool turkish = false;
  bool english = false;
  for (std::size_t i = 0; i < kTranslatablePairs; ++i) {
    turkish = turkish || contains(lower, KEYWORD_TRANSLATIONS[i].turkish);
    english = english || contains(lower, KEYWORD_TRANSLATIONS[i].english);
  }
  if (turkish) {
    return command_action("Translate to English", "refactor.rewrite", "Translate keywords to English",
                          "zevo.translateToEnglish", uri, range);
  }
  if (english) {
    return command_action("Translate to Turkish", "refactor.rewrite", "Translate keywords to Turkish",
                          "zevo.translateToTurkish", uri, range);
  }
  return std::nullopt;
}

}  // namespace

void write(zevo::json::Writer& out, const EditRange& v) {
  if (v.as_sent) {
    out.value(*v.as_sent);
    return;
  }
  auto point = [&] {
    if (v.point_as_sent) {
      out.value(*v.point_as_sent);
    } else {
      write_position(out, v.line, v.character);
    }
  };
  write_range(out, point, point);
}

void write(zevo::json::Writer& out, const CodeAction& v) {
  out.begin_object();
  if (v.command) {
    out.key("command");
    write(out, *v.command);
  }
  if (!v.edits.empty()) {
    out.key("edit");
    out.begin_object();
    out.key("changes");
    out.begin_object();
    out.key(v.uri);
    out.begin_array();
    for (const ActionEdit& edit : v.edits) write_text_edit(out, edit.new_text, [&] { write(out, edit.range); });
    out.end_array();
    out.end_object();
    out.end_object();
  }
  out.key("kind");
  out.string(v.kind);
  out.key("title");
  out.string(v.title);
  out.end_object();
}

std::vector<CodeAction> diagnostic_quick_fixes(const json& diagnostic, std::string_view uri) {
  std::vector<CodeAction> fixes;
  const json& message = member(diagnostic, "message");
  if (!message.is_string()) return fixes;
  const std::string_view m = *message.get_ptr<const std::string*>();
  for (auto rule : {declare_variable, add_semicolon, replace_keyword, convert_number_type}) {
    if (auto fix = rule(m, diagnostic, uri)) fixes.push_back(std::move(*fix));
  }
  return fixes;
}

HandlerResult handle_code_action(Params params, const ServerState& state, zevo::json::Writer& out) {
  const json& raw = raw_params(params);
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  const json& uri = member(member(raw, "textDocument"), "uri");
  const std::string* sent_uri = uri.get_ptr<const std::string*>();
  const std::string* text = sent_uri != nullptr ? snapshot.find(*sent_uri) : nullptr;
  if (text == nullptr) {
    out.null();
    return {};
  }
  const std::string& uri_text = *sent_uri;

  out.begin_array();
  const json& diagnostics = member(member(raw, "context"), "diagnostics");
  if (diagnostics.is_array()) {
    for (const json& diagnostic : diagnostics) {
      for (const CodeAction& fix : diagnostic_quick_fixes(diagnostic, uri_text)) write(out, fix);
    }
  }

  const json& range = member(raw, "range");
  const uint64_t start_line = read_number(member(member(range, "start"), "line"));
  const uint64_t end_line = read_number(member(member(range, "end"), "line"));
  if (start_line == end_line) {
    write(out, CodeAction{"Extract to variable", "refactor.extract", uri_text,
                          {{EditRange{range, std::nullopt, 0, 0}, "yeni_değişken"}}, std::nullopt});
  } else {
    write(out, command_action("Extract to function", "refactor.extract", "Extract to function", "zevo.extractFunction",
                              uri_text, range));
  }
  if (auto translate = translate_action(*text, start_line, uri_text, range)) write(out, *translate);
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

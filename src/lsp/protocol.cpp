#include "lsp/protocol.hpp"

#include "json/json.hpp"

namespace zevo::lsp {

using nlohmann::json;

namespace {

// A member added to an object that to_json has just made.
void add(json& object, std::string key, json value) {
  object.get_ptr<json::object_t*>()->insert_or_assign(std::move(key), std::move(value));
}

}  // namespace

void to_json(json& j, const Position& v) { j = json{{"line", v.line}, {"character", v.character}}; }

void to_json(json& j, const Range& v) { j = json{{"start", v.start}, {"end", v.end}}; }

void to_json(json& j, const Location& v) { j = json{{"uri", v.uri}, {"range", v.range}}; }

void to_json(json& j, const TextEdit& v) { j = json{{"range", v.range}, {"newText", v.new_text}}; }

void to_json(json& j, const WorkspaceEdit& v) {
  json changes = json::object();
  for (const auto& [uri, edits] : v.changes) add(changes, uri, edits);
  j = json{{"changes", std::move(changes)}};
}

void to_json(json& j, const MarkupContent& v) { j = json{{"kind", v.kind}, {"value", v.value}}; }

void to_json(json& j, const Hover& v) {
  j = json{{"contents", v.contents}};
  if (v.range) add(j, "range", *v.range);
}

void to_json(json& j, const Command& v) {
  j = json{{"title", v.title}, {"command", v.command}};
  if (v.arguments) add(j, "arguments", *v.arguments);
}

void to_json(json& j, const CodeLens& v) {
  j = json{{"range", v.range}};
  if (v.command) add(j, "command", *v.command);
  if (v.data) add(j, "data", *v.data);
}

void to_json(json& j, const Diagnostic& v) {
  j = json{{"range", v.range}, {"message", v.message}};
  if (v.severity) add(j, "severity", *v.severity);
  if (v.source) add(j, "source", *v.source);
}

void to_json(json& j, const InlayHint& v) {
  // Member by member: documents give thousands of hints, and an initializer
  // list would copy every member once more.
  j = json::object();
  auto& members = *j.get_ptr<json::object_t*>();
  members.emplace("position", v.position);
  members.emplace("label", v.label);
  if (v.kind) members.emplace("kind", *v.kind);
  if (v.padding_left) members.emplace("paddingLeft", *v.padding_left);
  if (v.padding_right) members.emplace("paddingRight", *v.padding_right);
}

void to_json(json& j, const CompletionItem& v) {
  j = json{{"label", v.label}};
  if (v.kind) add(j, "kind", *v.kind);
  if (v.detail) add(j, "detail", *v.detail);
  if (v.documentation) add(j, "documentation", *v.documentation);
  if (v.insert_text) add(j, "insertText", *v.insert_text);
  if (v.insert_text_format) add(j, "insertTextFormat", *v.insert_text_format);
}

void write_code_lens_json(std::string& out, const CodeLens& lens) {
  out += '{';
  if (lens.command) {
    const Command& command = *lens.command;
    out += R"("command":{)";
    if (command.arguments) {
      out += R"("arguments":[)";
      for (std::size_t i = 0; i < command.arguments->size(); ++i) {
        if (i > 0) out += ',';
        zevo::json::write(out, (*command.arguments)[i]);
      }
      out += "],";
    }
    out += R"("command":)";
    zevo::json::write_string(out, command.command);
    out += R"(,"title":)";
    zevo::json::write_string(out, command.title);
    out += "},";
  }
  if (lens.data) {
    out += R"("data":)";
    zevo::json::write(out, *lens.data);
    out += ',';
  }
  out += R"("range":)";
  write_range_json(out, lens.range);
  out += '}';
}

void write_inlay_hint_json(std::string& out, const InlayHint& hint) {
  out += '{';
  if (hint.kind) {
    out += R"("kind":)";
    out += std::to_string(*hint.kind);
    out += ',';
  }
  out += R"("label":)";
  zevo::json::write_string(out, hint.label);
  if (hint.padding_left) out += *hint.padding_left ? R"(,"paddingLeft":true)" : R"(,"paddingLeft":false)";
  if (hint.padding_right) out += *hint.padding_right ? R"(,"paddingRight":true)" : R"(,"paddingRight":false)";
  out += R"(,"position":{"character":)";
  zevo::json::write_unsigned(out, hint.position.character);
  out += R"(,"line":)";
  zevo::json::write_unsigned(out, hint.position.line);
  out += "}}";
}

void write_range_json(std::string& out, const Range& range) {
  out += R"({"end":{"character":)";
  zevo::json::write_unsigned(out, range.end.character);
  out += R"(,"line":)";
  zevo::json::write_unsigned(out, range.end.line);
  out += R"(},"start":{"character":)";
  zevo::json::write_unsigned(out, range.start.character);
  out += R"(,"line":)";
  zevo::json::write_unsigned(out, range.start.line);
  out += "}}";
}

}  // namespace zevo::lsp

#include "lsp/protocol.hpp"

namespace zevo::lsp {

void write_position(json::Writer& out, uint64_t line, uint64_t character) {
  out.begin_object();
  out.key("character");
  out.number(character);
  out.key("line");
  out.number(line);
  out.end_object();
}

void write(json::Writer& out, const Position& v) { write_position(out, v.line, v.character); }

void write(json::Writer& out, const Range& v) {
  write_range(out, [&] { write(out, v.end); }, [&] { write(out, v.start); });
}

void write(json::Writer& out, const Location& v) {
  out.begin_object();
  out.key("range");
  write(out, v.range);
  out.key("uri");
  out.string(v.uri);
  out.end_object();
}

void write(json::Writer& out, const TextEdit& v) {
  write_text_edit(out, v.new_text, [&] { write(out, v.range); });
}

void write(json::Writer& out, const MarkupContent& v) {
  out.begin_object();
  out.key("kind");
  out.string(v.kind);
  out.key("value");
  out.string(v.value);
  out.end_object();
}

void write(json::Writer& out, const Hover& v) {
  out.begin_object();
  out.key("contents");
  write(out, v.contents);
  if (v.range) {
    out.key("range");
    write(out, *v.range);
  }
  out.end_object();
}

void write(json::Writer& out, const Command& v) {
  out.begin_object();
  if (v.arguments) {
    out.key("arguments");
    out.begin_array();
    for (const nlohmann::json& argument : *v.arguments) out.value(argument);
    out.end_array();
  }
  out.key("command");
  out.string(v.command);
  out.key("title");
  out.string(v.title);
  out.end_object();
}

void write(json::Writer& out, const CodeLens& v) {
  out.begin_object();
  if (v.command) {
    out.key("command");
    write(out, *v.command);
  }
  if (v.data) {
    out.key("data");
    out.value(*v.data);
  }
  out.key("range");
  write(out, v.range);
  out.end_object();
}

void write(json::Writer& out, const Diagnostic& v) {
  out.begin_object();
  out.key("message");
  out.string(v.message);
  out.key("range");
  write(out, v.range);
  if (v.severity) {
    out.key("severity");
    out.number(*v.severity);
  }
  if (v.source) {
    out.key("source");
    out.string(*v.source);
  }
  out.end_object();
}

void write(json::Writer& out, const InlayHint& v) {
  out.begin_object();
  if (v.kind) {
    out.key("kind");
    out.number(*v.kind);
  }
  out.key("label");
  out.string(v.label);
  if (v.padding_left) {
    out.key("paddingLeft");
    out.boolean(*v.padding_left);
  }
  if (v.padding_right) {
    out.key("paddingRight");
    out.boolean(*v.padding_right);
  }
  out.key("position");
  write(out, v.position);
  out.end_object();
}

void write(json::Writer& out, const CompletionItem& v) {
  out.begin_object();
  if (v.detail) {
    out.key("detail");
    out.string(*v.detail);
  }
  if (v.documentation) {
    out.key("documentation");
    write(out, *v.documentation);
  }
  if (v.insert_text) {
    out.key("insertText");
    out.string(*v.insert_text);
  }
  if (v.insert_text_format) {
    out.key("insertTextFormat");
    out.number(*v.insert_text_format);
  }
  if (v.kind) {
    out.key("kind");
    out.number(*v.kind);
  }
  out.key("label");
  out.string(v.label);
  out.end_object();
}

}  // namespace zevo::lsp

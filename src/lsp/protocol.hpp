// Protocol records the server writes (absent optional members left out) and
// the parameter records it decodes strictly from the client's JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "json/json.hpp"

namespace zevo::lsp {

// ---- Records written to the client -------------------------------------

struct Position {
  uint32_t line = 0;
  uint32_t character = 0;  // UTF-16 code units
  bool operator==(const Position&) const = default;
};

struct Range {
  Position start;
  Position end;
  bool operator==(const Range&) const = default;
};

// Written only: the URI stays with its owner.
struct Location {
  std::string_view uri;
  Range range;
};

// Written only: the text stays with its owner (a rename's new name).
struct TextEdit {
  Range range;
  std::string_view new_text;
};

struct MarkupContent {
  std::string kind;  // "plaintext" or "markdown"
  std::string value;
};

struct Hover {
  MarkupContent contents;
  std::optional<Range> range;
};

struct Command {
  std::string title;
  std::string command;
  std::optional<std::vector<nlohmann::json>> arguments;
};

struct CodeLens {
  Range range;
  std::optional<Command> command;
  std::optional<nlohmann::json> data;
};

struct Diagnostic {
  Range range;
  std::optional<int32_t> severity;
  std::optional<std::string> source;
  std::string message;
};

struct InlayHint {
  Position position;
  std::string label;
  std::optional<int32_t> kind;
  std::optional<bool> padding_left;
  std::optional<bool> padding_right;
};

struct CompletionItem {
  std::string label;
  std::optional<int32_t> kind;
  std::optional<std::string> detail;
  std::optional<MarkupContent> documentation;
  std::optional<std::string> insert_text;
  std::optional<int32_t> insert_text_format;
};

// Each record as compact JSON, keys in byte order, absent members left out.
void write(json::Writer& out, const Position& v);
void write(json::Writer& out, const Range& v);
void write(json::Writer& out, const Location& v);
void write(json::Writer& out, const TextEdit& v);
void write(json::Writer& out, const MarkupContent& v);
void write(json::Writer& out, const Hover& v);
void write(json::Writer& out, const Command& v);
void write(json::Writer& out, const CodeLens& v);
void write(json::Writer& out, const Diagnostic& v);
void write(json::Writer& out, const InlayHint& v);
void write(json::Writer& out, const CompletionItem& v);

// The shapes of a position, a range and a text edit, for records whose parts
// are not these types (a client's values written back as they came).
void write_position(json::Writer& out, uint64_t line, uint64_t character);
template <class WriteEnd, class WriteStart>
void write_range(json::Writer& out, WriteEnd&& write_end, WriteStart&& write_start) {
  out.begin_object();
  out.key("end");
  write_end();
  out.key("start");
  write_start();
  out.end_object();
}
template <class WriteRange>
void write_text_edit(json::Writer& out, std::string_view new_text, WriteRange&& write_range) {
  out.begin_object();
  out.key("newText");
  out.string(new_text);
  out.key("range");
  write_range();
  out.end_object();
}

// ---- Parameter records decoded from the client -------------------------
// Every `uri` is held in the URL library's serialised form.

struct TextDocumentIdentifier {
  std::string uri;
};

struct TextDocumentItem {
  std::string uri;
  std::string language_id;
  int32_t version = 0;
  std::string text;
};

struct VersionedTextDocumentIdentifier {
  std::string uri;
  int32_t version = 0;
};

struct TextDocumentContentChangeEvent {
  std::optional<Range> range;
  std::optional<uint32_t> range_length;
  std::string text;
};

struct DidOpenTextDocumentParams {
  TextDocumentItem text_document;
};

struct DidChangeTextDocumentParams {
  VersionedTextDocumentIdentifier text_document;
  std::vector<TextDocumentContentChangeEvent> content_changes;
};

struct DidCloseTextDocumentParams {
  TextDocumentIdentifier text_document;
};

struct TextDocumentPositionParams {
  TextDocumentIdentifier text_document;
  Position position;
};

// The work-done and partial-result tokens are checked while decoding and then dropped.
struct HoverParams {
  TextDocumentPositionParams position_params;
};

struct CompletionParams {
  TextDocumentPositionParams position_params;
};

struct GotoDefinitionParams {
  TextDocumentPositionParams position_params;
};

struct ReferenceContext {
  bool include_declaration = false;
};

struct ReferenceParams {
  TextDocumentPositionParams position_params;
  ReferenceContext context;
};

struct RenameParams {
  TextDocumentPositionParams position_params;
  std::string new_name;
};

// The whole client-capability tree is checked; nothing of it is kept.
struct InitializeParams {};

// How each of these records is read from JSON: lsp/decode.hpp.

// A document URI as the URL library writes it after parsing, or its error text.
Result<std::string> serialized_uri(std::string_view text);

}  // namespace zevo::lsp

// Protocol records the server writes (to JSON, absent optional members left
// out) and the parameter records it decodes strictly from the client's JSON.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.hpp"

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

struct Location {
  std::string uri;
  Range range;
};

struct TextEdit {
  Range range;
  std::string new_text;
};

struct WorkspaceEdit {
  // Keyed by document URI text; std::map writes them in byte order.
  std::map<std::string, std::vector<TextEdit>> changes;
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

void to_json(nlohmann::json& j, const Position& v);
void to_json(nlohmann::json& j, const Range& v);
void to_json(nlohmann::json& j, const Location& v);
void to_json(nlohmann::json& j, const TextEdit& v);
void to_json(nlohmann::json& j, const WorkspaceEdit& v);
void to_json(nlohmann::json& j, const MarkupContent& v);
void to_json(nlohmann::json& j, const Hover& v);
void to_json(nlohmann::json& j, const Command& v);
void to_json(nlohmann::json& j, const CodeLens& v);
void to_json(nlohmann::json& j, const Diagnostic& v);
void to_json(nlohmann::json& j, const InlayHint& v);
void to_json(nlohmann::json& j, const CompletionItem& v);

// A range as the compact JSON that to_json gives, written straight into `out`,
// for answers with so many ranges that building value trees would dominate.
void write_range_json(std::string& out, const Range& range);
// A code lens as the compact JSON that to_json gives (keys sorted).
void write_code_lens_json(std::string& out, const CodeLens& lens);

// An inlay hint as the compact JSON that to_json gives (keys sorted).
void write_inlay_hint_json(std::string& out, const InlayHint& hint);

// The most bytes write_range_json writes (every number with 10 digits).
inline constexpr std::size_t kMaxRangeJson =
    std::string_view(R"({"end":{"character":,"line":},"start":{"character":,"line":}})").size() + 4 * 10;

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

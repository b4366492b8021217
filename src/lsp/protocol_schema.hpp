// The records the server only validates and never keeps (the client
// capabilities, the work-done and partial-result tokens, the completion
// context) as data: what each record's members are, of which kind, and
// whether they may be left out. The records whose values are kept are
// described member by member in lsp/decode.hpp; both share the value checks
// and failure texts below.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/result.hpp"

namespace zevo::lsp::schema {

// Row i of the record table describes RecordId i (checked where the table is defined).
enum class RecordId : uint16_t {
  kWorkDoneProgressParams,
  kPartialResultParams,
  kCompletionContext,
  kClientCapabilities,
  kWorkspaceFolder,
  kClientInfo,
  kWorkspaceClientCapabilities,
  kTextDocumentClientCapabilities,
  kWindowClientCapabilities,
  kGeneralClientCapabilities,
  kWorkspaceEditClientCapabilities,
  kDynamicRegistrationClientCapabilities,
  kDidChangeWatchedFilesClientCapabilities,
  kWorkspaceSymbolClientCapabilities,
  kSemanticTokensWorkspaceClientCapabilities,
  kCodeLensWorkspaceClientCapabilities,
  kWorkspaceFileOperationsClientCapabilities,
  kInlineValueWorkspaceClientCapabilities,
  kInlayHintWorkspaceClientCapabilities,
  kDiagnosticWorkspaceClientCapabilities,
  kTextDocumentSyncClientCapabilities,
  kCompletionClientCapabilities,
  kHoverClientCapabilities,
  kSignatureHelpClientCapabilities,
  kDocumentSymbolClientCapabilities,
  kGotoCapability,
  kCodeActionClientCapabilities,
  kDocumentLinkClientCapabilities,
  kRenameClientCapabilities,
  kPublishDiagnosticsClientCapabilities,
  kFoldingRangeClientCapabilities,
  kSelectionRangeClientCapabilities,
  kSemanticTokensClientCapabilities,
  kInlayHintClientCapabilities,
  kDiagnosticClientCapabilities,
  kShowMessageRequestClientCapabilities,
  kShowDocumentClientCapabilities,
  kRegularExpressionsClientCapabilities,
  kMarkdownClientCapabilities,
  kStaleRequestSupportClientCapabilities,
  kChangeAnnotationWorkspaceEditClientCapabilities,
  kSymbolKindCapability,
  kTagSupportSymbolTag,  // TagSupport<SymbolTag>
  kWorkspaceSymbolResolveSupportCapability,
  kCompletionItemCapability,
  kCompletionItemKindCapability,
  kCompletionListCapability,
  kSignatureInformationSettings,
  kCodeActionLiteralSupport,
  kCodeActionCapabilityResolveSupport,
  kTagSupportDiagnosticTag,  // TagSupport<DiagnosticTag>
  kFoldingRangeKindCapability,
  kFoldingRangeCapability,
  kSemanticTokensClientCapabilitiesRequests,
  kInlayHintResolveClientCapabilities,
  kMessageActionItemCapabilities,
  kTagSupportCompletionItemTag,  // TagSupport<CompletionItemTag>
  kCompletionItemCapabilityResolveSupport,
  kInsertTextModeSupport,
  kParameterInformationSettings,
  kCodeActionKindLiteralSupport,
  kSemanticTokensFullOptionsDelta,  // SemanticTokensFullOptions.Delta
  kCount
};

// Row i of the enumeration table describes EnumId i (checked likewise).
enum class EnumId : uint16_t {
  kTraceValue,
  kNumberOrString,
  kCompletionTriggerKind,
  kPositionEncodingKind,
  kResourceOperationKind,
  kFailureHandlingKind,
  kSymbolTag,
  kInsertTextMode,
  kMarkupKind,
  kPrepareSupportDefaultBehavior,
  kDiagnosticTag,
  kSemanticTokenType,
  kSemanticTokenModifier,
  kTokenFormat,
  kSymbolKind,
  kCompletionItemTag,
  kCompletionItemKind,
  kFoldingRangeKind,
  kSemanticTokensFullOptions,
  kCount
};

enum class Kind : uint8_t { kBool, kString, kU32, kI32, kUrl, kAny, kRecord, kEnum };

// `ref` is the RecordId or EnumId of kRecord and kEnum; `array` makes the
// value a JSON array of such elements.
struct Type {
  Kind kind = Kind::kAny;
  uint16_t ref = 0;
  bool array = false;
};

constexpr Type one(Kind kind) { return {kind, 0, false}; }
constexpr Type one(RecordId id) { return {Kind::kRecord, static_cast<uint16_t>(id), false}; }
constexpr Type one(EnumId id) { return {Kind::kEnum, static_cast<uint16_t>(id), false}; }
constexpr Type array_of(Kind kind) { return {kind, 0, true}; }
constexpr Type array_of(RecordId id) { return {Kind::kRecord, static_cast<uint16_t>(id), true}; }
constexpr Type array_of(EnumId id) { return {Kind::kEnum, static_cast<uint16_t>(id), true}; }

enum FieldFlag : uint8_t {
  kOptional = 1,    // absent or null reads as absent
  kDefault = 2,     // absent takes the default; may be left out at the end of the array form
  kTagSupport = 4,  // false/true/record rule of the tag-support capabilities
};

struct Field {
  std::string_view json;
  Type type;
  uint8_t flags = 0;
};

inline bool is_required(uint8_t flags) { return (flags & (kOptional | kDefault)) == 0; }

// A record also comes as a JSON array of its members' values in declaration
// order, unless it is `objects_only`; trailing kDefault members may be left out.
struct Record {
  RecordId id;
  std::string_view name;
  std::span<const Field> fields;
  bool objects_only = false;
};

enum class EnumKind : uint8_t { kClosedStrings, kOpenInteger, kOpenString, kUntagged };

struct Enum {
  EnumId id;
  std::string_view name;
  EnumKind kind = EnumKind::kOpenString;
  std::span<const std::string_view> values;  // kClosedStrings
  std::span<const Type> variants;            // kUntagged, tried in order
};

const Record& record(RecordId id);
// By the `ref` of a Type.
const Record& record_at(uint16_t index);
const Enum& enumeration_at(uint16_t index);

// Checks `value` against the record, member by member; failure texts are the
// ones the envelope errors show ("missing field `method`", "invalid type:
// integer `5`, expected a string").
Status<> check(const Record& record, const nlohmann::json& value);
// The record's members read from an enclosing object (a flattened record).
Status<> check_members(const Record& record, const nlohmann::json::object_t& object);
// One member's value, by its type and flags.
Status<> check_field(const Type& type, uint8_t flags, const nlohmann::json& value);

// ---- Failure texts and checks shared with the described records ----------

Err<std::string> invalid_type(const nlohmann::json& value, std::string_view expected);
Err<std::string> missing_field(std::string_view name);
// How failure texts name a record: "struct Name".
std::string struct_name(std::string_view record_name);
// The array form of a record with `members` members was too short or too long.
Err<std::string> too_few_elements(std::size_t length, std::string_view record_name, std::size_t members);
Err<std::string> too_many_elements(std::size_t length);
// An integer of the kind's range (kU32 or kI32).
Status<> check_integer(Kind kind, const nlohmann::json& value);
// A document URI as the URL library writes it after parsing.
Result<std::string> check_url(const nlohmann::json& value);

}  // namespace zevo::lsp::schema

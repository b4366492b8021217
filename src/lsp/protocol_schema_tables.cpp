// The LSP 3.17 parameter records and their enumerations as data, made once
// from the protocol's record schema. Members stand in declaration order,
// which is the order of a record's array form.
#include <array>

#include "lsp/protocol_schema.hpp"

namespace zevo::lsp::schema {

namespace {

constexpr Type one(Kind kind) { return {kind, 0, false}; }
constexpr Type one(RecordId id) { return {Kind::kRecord, static_cast<uint16_t>(id), false}; }
constexpr Type one(EnumId id) { return {Kind::kEnum, static_cast<uint16_t>(id), false}; }
constexpr Type array_of(Kind kind) { return {kind, 0, true}; }
constexpr Type array_of(RecordId id) { return {Kind::kRecord, static_cast<uint16_t>(id), true}; }
constexpr Type array_of(EnumId id) { return {Kind::kEnum, static_cast<uint16_t>(id), true}; }

constexpr Field kDidOpenTextDocumentParamsFields[] = {
    {"textDocument", one(RecordId::kTextDocumentItem), 0},
};
constexpr Field kDidChangeTextDocumentParamsFields[] = {
    {"textDocument", one(RecordId::kVersionedTextDocumentIdentifier), 0},
    {"contentChanges", array_of(RecordId::kTextDocumentContentChangeEvent), 0},
};
constexpr Field kDidCloseTextDocumentParamsFields[] = {
    {"textDocument", one(RecordId::kTextDocumentIdentifier), 0},
};
constexpr Field kHoverParamsFields[] = {
    {"", one(RecordId::kTextDocumentPositionParams), kFlatten},
    {"", one(RecordId::kWorkDoneProgressParams), kFlatten},
};
constexpr Field kCompletionParamsFields[] = {
    {"", one(RecordId::kTextDocumentPositionParams), kFlatten},
    {"", one(RecordId::kWorkDoneProgressParams), kFlatten},
    {"", one(RecordId::kPartialResultParams), kFlatten},
    {"context", one(RecordId::kCompletionContext), kOptional},
};
constexpr Field kGotoDefinitionParamsFields[] = {
    {"", one(RecordId::kTextDocumentPositionParams), kFlatten},
    {"", one(RecordId::kWorkDoneProgressParams), kFlatten},
    {"", one(RecordId::kPartialResultParams), kFlatten},
};
constexpr Field kTextDocumentPositionParamsFields[] = {
    {"textDocument", one(RecordId::kTextDocumentIdentifier), 0},
    {"position", one(RecordId::kPosition), 0},
};
constexpr Field kInitializeParamsFields[] = {
    {"processId", one(Kind::kU32), kOptional},
    {"rootPath", one(Kind::kString), kOptional},
    {"rootUri", one(Kind::kUrl), kOptional | kDefault},
    {"initializationOptions", one(Kind::kAny), kOptional},
    {"capabilities", one(RecordId::kClientCapabilities), 0},
    {"trace", one(EnumId::kTraceValue), kOptional | kDefault},
    {"workspaceFolders", array_of(RecordId::kWorkspaceFolder), kOptional},
    {"clientInfo", one(RecordId::kClientInfo), kOptional},
    {"locale", one(Kind::kString), kOptional},
    {"", one(RecordId::kWorkDoneProgressParams), kFlatten},
};
constexpr Field kReferenceParamsFields[] = {
    {"", one(RecordId::kTextDocumentPositionParams), kFlatten},
    {"", one(RecordId::kWorkDoneProgressParams), kFlatten},
    {"", one(RecordId::kPartialResultParams), kFlatten},
    {"context", one(RecordId::kReferenceContext), 0},
};
constexpr Field kRenameParamsFields[] = {
    {"", one(RecordId::kTextDocumentPositionParams), kFlatten},
    {"newName", one(Kind::kString), 0},
    {"", one(RecordId::kWorkDoneProgressParams), kFlatten},
};
constexpr Field kTextDocumentItemFields[] = {
    {"uri", one(Kind::kUrl), 0},
    {"languageId", one(Kind::kString), 0},
    {"version", one(Kind::kI32), 0},
    {"text", one(Kind::kString), 0},
};
constexpr Field kVersionedTextDocumentIdentifierFields[] = {
    {"uri", one(Kind::kUrl), 0},
    {"version", one(Kind::kI32), 0},
};
constexpr Field kTextDocumentContentChangeEventFields[] = {
    {"range", one(RecordId::kRange), kOptional},
    {"rangeLength", one(Kind::kU32), kOptional},
    {"text", one(Kind::kString), 0},
};
constexpr Field kTextDocumentIdentifierFields[] = {
    {"uri", one(Kind::kUrl), 0},
};
constexpr Field kWorkDoneProgressParamsFields[] = {
    {"workDoneToken", one(EnumId::kNumberOrString), kOptional},
};
constexpr Field kPartialResultParamsFields[] = {
    {"partialResultToken", one(EnumId::kNumberOrString), kOptional},
};
constexpr Field kCompletionContextFields[] = {
    {"triggerKind", one(EnumId::kCompletionTriggerKind), 0},
    {"triggerCharacter", one(Kind::kString), kOptional},
};
constexpr Field kPositionFields[] = {
    {"line", one(Kind::kU32), 0},
    {"character", one(Kind::kU32), 0},
};
constexpr Field kClientCapabilitiesFields[] = {
    {"workspace", one(RecordId::kWorkspaceClientCapabilities), kOptional},
    {"textDocument", one(RecordId::kTextDocumentClientCapabilities), kOptional},
    {"window", one(RecordId::kWindowClientCapabilities), kOptional},
    {"general", one(RecordId::kGeneralClientCapabilities), kOptional},
    {"experimental", one(Kind::kAny), kOptional},
};
constexpr Field kWorkspaceFolderFields[] = {
    {"uri", one(Kind::kUrl), 0},
    {"name", one(Kind::kString), 0},
};
constexpr Field kClientInfoFields[] = {
    {"name", one(Kind::kString), 0},
    {"version", one(Kind::kString), kOptional},
};
constexpr Field kReferenceContextFields[] = {
    {"includeDeclaration", one(Kind::kBool), 0},
};
constexpr Field kRangeFields[] = {
    {"start", one(RecordId::kPosition), 0},
    {"end", one(RecordId::kPosition), 0},
};
constexpr Field kWorkspaceClientCapabilitiesFields[] = {
    {"applyEdit", one(Kind::kBool), kOptional},
    {"workspaceEdit", one(RecordId::kWorkspaceEditClientCapabilities), kOptional},
    {"didChangeConfiguration", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"didChangeWatchedFiles", one(RecordId::kDidChangeWatchedFilesClientCapabilities), kOptional},
    {"symbol", one(RecordId::kWorkspaceSymbolClientCapabilities), kOptional},
    {"executeCommand", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"workspaceFolders", one(Kind::kBool), kOptional},
    {"configuration", one(Kind::kBool), kOptional},
    {"semanticTokens", one(RecordId::kSemanticTokensWorkspaceClientCapabilities), kOptional},
    {"codeLens", one(RecordId::kCodeLensWorkspaceClientCapabilities), kOptional},
    {"fileOperations", one(RecordId::kWorkspaceFileOperationsClientCapabilities), kOptional},
    {"inlineValue", one(RecordId::kInlineValueWorkspaceClientCapabilities), kOptional},
    {"inlayHint", one(RecordId::kInlayHintWorkspaceClientCapabilities), kOptional},
    {"diagnostic", one(RecordId::kDiagnosticWorkspaceClientCapabilities), kOptional},
};
constexpr Field kTextDocumentClientCapabilitiesFields[] = {
    {"synchronization", one(RecordId::kTextDocumentSyncClientCapabilities), kOptional},
    {"completion", one(RecordId::kCompletionClientCapabilities), kOptional},
    {"hover", one(RecordId::kHoverClientCapabilities), kOptional},
    {"signatureHelp", one(RecordId::kSignatureHelpClientCapabilities), kOptional},
    {"references", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"documentHighlight", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"documentSymbol", one(RecordId::kDocumentSymbolClientCapabilities), kOptional},
    {"formatting", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"rangeFormatting", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"onTypeFormatting", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"declaration", one(RecordId::kGotoCapability), kOptional},
    {"definition", one(RecordId::kGotoCapability), kOptional},
    {"typeDefinition", one(RecordId::kGotoCapability), kOptional},
    {"implementation", one(RecordId::kGotoCapability), kOptional},
    {"codeAction", one(RecordId::kCodeActionClientCapabilities), kOptional},
    {"codeLens", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"documentLink", one(RecordId::kDocumentLinkClientCapabilities), kOptional},
    {"colorProvider", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"rename", one(RecordId::kRenameClientCapabilities), kOptional},
    {"publishDiagnostics", one(RecordId::kPublishDiagnosticsClientCapabilities), kOptional},
    {"foldingRange", one(RecordId::kFoldingRangeClientCapabilities), kOptional},
    {"selectionRange", one(RecordId::kSelectionRangeClientCapabilities), kOptional},
    {"linkedEditingRange", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"callHierarchy", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"semanticTokens", one(RecordId::kSemanticTokensClientCapabilities), kOptional},
    {"moniker", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"typeHierarchy", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"inlineValue", one(RecordId::kDynamicRegistrationClientCapabilities), kOptional},
    {"inlayHint", one(RecordId::kInlayHintClientCapabilities), kOptional},
    {"diagnostic", one(RecordId::kDiagnosticClientCapabilities), kOptional},
};
constexpr Field kWindowClientCapabilitiesFields[] = {
    {"workDoneProgress", one(Kind::kBool), kOptional},
    {"showMessage", one(RecordId::kShowMessageRequestClientCapabilities), kOptional},
    {"showDocument", one(RecordId::kShowDocumentClientCapabilities), kOptional},
};
constexpr Field kGeneralClientCapabilitiesFields[] = {
    {"regularExpressions", one(RecordId::kRegularExpressionsClientCapabilities), kOptional},
    {"markdown", one(RecordId::kMarkdownClientCapabilities), kOptional},
    {"staleRequestSupport", one(RecordId::kStaleRequestSupportClientCapabilities), kOptional},
    {"positionEncodings", array_of(EnumId::kPositionEncodingKind), kOptional},
};
constexpr Field kWorkspaceEditClientCapabilitiesFields[] = {
    {"documentChanges", one(Kind::kBool), kOptional},
    {"resourceOperations", array_of(EnumId::kResourceOperationKind), kOptional},
    {"failureHandling", one(EnumId::kFailureHandlingKind), kOptional},
    {"normalizesLineEndings", one(Kind::kBool), kOptional},
    {"changeAnnotationSupport", one(RecordId::kChangeAnnotationWorkspaceEditClientCapabilities), kOptional},
};
constexpr Field kDynamicRegistrationClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
};
constexpr Field kDidChangeWatchedFilesClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"relativePatternSupport", one(Kind::kBool), kOptional},
};
constexpr Field kWorkspaceSymbolClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"symbolKind", one(RecordId::kSymbolKindCapability), kOptional},
    {"tagSupport", one(RecordId::kTagSupportSymbolTag), kOptional | kDefault | kTagSupport},
    {"resolveSupport", one(RecordId::kWorkspaceSymbolResolveSupportCapability), kOptional},
};
constexpr Field kSemanticTokensWorkspaceClientCapabilitiesFields[] = {
    {"refreshSupport", one(Kind::kBool), kOptional},
};
constexpr Field kCodeLensWorkspaceClientCapabilitiesFields[] = {
    {"refreshSupport", one(Kind::kBool), kOptional},
};
constexpr Field kWorkspaceFileOperationsClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"didCreate", one(Kind::kBool), kOptional},
    {"willCreate", one(Kind::kBool), kOptional},
    {"didRename", one(Kind::kBool), kOptional},
    {"willRename", one(Kind::kBool), kOptional},
    {"didDelete", one(Kind::kBool), kOptional},
    {"willDelete", one(Kind::kBool), kOptional},
};
constexpr Field kInlineValueWorkspaceClientCapabilitiesFields[] = {
    {"refreshSupport", one(Kind::kBool), kOptional},
};
constexpr Field kInlayHintWorkspaceClientCapabilitiesFields[] = {
    {"refreshSupport", one(Kind::kBool), kOptional},
};
constexpr Field kDiagnosticWorkspaceClientCapabilitiesFields[] = {
    {"refreshSupport", one(Kind::kBool), kOptional},
};
constexpr Field kTextDocumentSyncClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"willSave", one(Kind::kBool), kOptional},
    {"willSaveWaitUntil", one(Kind::kBool), kOptional},
    {"didSave", one(Kind::kBool), kOptional},
};
constexpr Field kCompletionClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"completionItem", one(RecordId::kCompletionItemCapability), kOptional},
    {"completionItemKind", one(RecordId::kCompletionItemKindCapability), kOptional},
    {"contextSupport", one(Kind::kBool), kOptional},
    {"insertTextMode", one(EnumId::kInsertTextMode), kOptional},
    {"completionList", one(RecordId::kCompletionListCapability), kOptional},
};
constexpr Field kHoverClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"contentFormat", array_of(EnumId::kMarkupKind), kOptional},
};
constexpr Field kSignatureHelpClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"signatureInformation", one(RecordId::kSignatureInformationSettings), kOptional},
    {"contextSupport", one(Kind::kBool), kOptional},
};
constexpr Field kDocumentSymbolClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"symbolKind", one(RecordId::kSymbolKindCapability), kOptional},
    {"hierarchicalDocumentSymbolSupport", one(Kind::kBool), kOptional},
    {"tagSupport", one(RecordId::kTagSupportSymbolTag), kOptional | kDefault | kTagSupport},
};
constexpr Field kGotoCapabilityFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"linkSupport", one(Kind::kBool), kOptional},
};
constexpr Field kCodeActionClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"codeActionLiteralSupport", one(RecordId::kCodeActionLiteralSupport), kOptional},
    {"isPreferredSupport", one(Kind::kBool), kOptional},
    {"disabledSupport", one(Kind::kBool), kOptional},
    {"dataSupport", one(Kind::kBool), kOptional},
    {"resolveSupport", one(RecordId::kCodeActionCapabilityResolveSupport), kOptional},
    {"honorsChangeAnnotations", one(Kind::kBool), kOptional},
};
constexpr Field kDocumentLinkClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"tooltipSupport", one(Kind::kBool), kOptional},
};
constexpr Field kRenameClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"prepareSupport", one(Kind::kBool), kOptional},
    {"prepareSupportDefaultBehavior", one(EnumId::kPrepareSupportDefaultBehavior), kOptional},
    {"honorsChangeAnnotations", one(Kind::kBool), kOptional},
};
constexpr Field kPublishDiagnosticsClientCapabilitiesFields[] = {
    {"relatedInformation", one(Kind::kBool), kOptional},
    {"tagSupport", one(RecordId::kTagSupportDiagnosticTag), kOptional | kDefault | kTagSupport},
    {"versionSupport", one(Kind::kBool), kOptional},
    {"codeDescriptionSupport", one(Kind::kBool), kOptional},
    {"dataSupport", one(Kind::kBool), kOptional},
};
constexpr Field kFoldingRangeClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"rangeLimit", one(Kind::kU32), kOptional},
    {"lineFoldingOnly", one(Kind::kBool), kOptional},
    {"foldingRangeKind", one(RecordId::kFoldingRangeKindCapability), kOptional},
    {"foldingRange", one(RecordId::kFoldingRangeCapability), kOptional},
};
constexpr Field kSelectionRangeClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
};
constexpr Field kSemanticTokensClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"requests", one(RecordId::kSemanticTokensClientCapabilitiesRequests), 0},
    {"tokenTypes", array_of(EnumId::kSemanticTokenType), 0},
    {"tokenModifiers", array_of(EnumId::kSemanticTokenModifier), 0},
    {"formats", array_of(EnumId::kTokenFormat), 0},
    {"overlappingTokenSupport", one(Kind::kBool), kOptional},
    {"multilineTokenSupport", one(Kind::kBool), kOptional},
    {"serverCancelSupport", one(Kind::kBool), kOptional},
    {"augmentsSyntaxTokens", one(Kind::kBool), kOptional},
};
constexpr Field kInlayHintClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"resolveSupport", one(RecordId::kInlayHintResolveClientCapabilities), kOptional},
};
constexpr Field kDiagnosticClientCapabilitiesFields[] = {
    {"dynamicRegistration", one(Kind::kBool), kOptional},
    {"relatedDocumentSupport", one(Kind::kBool), kOptional},
};
constexpr Field kShowMessageRequestClientCapabilitiesFields[] = {
    {"messageActionItem", one(RecordId::kMessageActionItemCapabilities), kOptional},
};
constexpr Field kShowDocumentClientCapabilitiesFields[] = {
    {"support", one(Kind::kBool), 0},
};
constexpr Field kRegularExpressionsClientCapabilitiesFields[] = {
    {"engine", one(Kind::kString), 0},
    {"version", one(Kind::kString), kOptional},
};
constexpr Field kMarkdownClientCapabilitiesFields[] = {
    {"parser", one(Kind::kString), 0},
    {"version", one(Kind::kString), kOptional},
    {"allowedTags", array_of(Kind::kString), kOptional},
};
constexpr Field kStaleRequestSupportClientCapabilitiesFields[] = {
    {"cancel", one(Kind::kBool), 0},
    {"retryOnContentModified", array_of(Kind::kString), 0},
};
constexpr Field kChangeAnnotationWorkspaceEditClientCapabilitiesFields[] = {
    {"groupsOnLabel", one(Kind::kBool), kOptional},
};
constexpr Field kSymbolKindCapabilityFields[] = {
    {"valueSet", array_of(EnumId::kSymbolKind), kOptional},
};
constexpr Field kTagSupportSymbolTagFields[] = {
    {"valueSet", array_of(EnumId::kSymbolTag), 0},
};
constexpr Field kWorkspaceSymbolResolveSupportCapabilityFields[] = {
    {"properties", array_of(Kind::kString), 0},
};
constexpr Field kCompletionItemCapabilityFields[] = {
    {"snippetSupport", one(Kind::kBool), kOptional},
    {"commitCharactersSupport", one(Kind::kBool), kOptional},
    {"documentationFormat", array_of(EnumId::kMarkupKind), kOptional},
    {"deprecatedSupport", one(Kind::kBool), kOptional},
    {"preselectSupport", one(Kind::kBool), kOptional},
    {"tagSupport", one(RecordId::kTagSupportCompletionItemTag), kOptional | kDefault | kTagSupport},
    {"insertReplaceSupport", one(Kind::kBool), kOptional},
    {"resolveSupport", one(RecordId::kCompletionItemCapabilityResolveSupport), kOptional},
    {"insertTextModeSupport", one(RecordId::kInsertTextModeSupport), kOptional},
    {"labelDetailsSupport", one(Kind::kBool), kOptional},
};
constexpr Field kCompletionItemKindCapabilityFields[] = {
    {"valueSet", array_of(EnumId::kCompletionItemKind), kOptional},
};
constexpr Field kCompletionListCapabilityFields[] = {
    {"itemDefaults", array_of(Kind::kString), kOptional},
};
constexpr Field kSignatureInformationSettingsFields[] = {
    {"documentationFormat", array_of(EnumId::kMarkupKind), kOptional},
    {"parameterInformation", one(RecordId::kParameterInformationSettings), kOptional},
    {"activeParameterSupport", one(Kind::kBool), kOptional},
};
constexpr Field kCodeActionLiteralSupportFields[] = {
    {"codeActionKind", one(RecordId::kCodeActionKindLiteralSupport), 0},
};
constexpr Field kCodeActionCapabilityResolveSupportFields[] = {
    {"properties", array_of(Kind::kString), 0},
};
constexpr Field kTagSupportDiagnosticTagFields[] = {
    {"valueSet", array_of(EnumId::kDiagnosticTag), 0},
};
constexpr Field kFoldingRangeKindCapabilityFields[] = {
    {"valueSet", array_of(EnumId::kFoldingRangeKind), kOptional},
};
constexpr Field kFoldingRangeCapabilityFields[] = {
    {"collapsedText", one(Kind::kBool), kOptional},
};
constexpr Field kSemanticTokensClientCapabilitiesRequestsFields[] = {
    {"range", one(Kind::kBool), kOptional},
    {"full", one(EnumId::kSemanticTokensFullOptions), kOptional},
};
constexpr Field kInlayHintResolveClientCapabilitiesFields[] = {
    {"properties", array_of(Kind::kString), 0},
};
constexpr Field kMessageActionItemCapabilitiesFields[] = {
    {"additionalPropertiesSupport", one(Kind::kBool), kOptional},
};
constexpr Field kTagSupportCompletionItemTagFields[] = {
    {"valueSet", array_of(EnumId::kCompletionItemTag), 0},
};
constexpr Field kCompletionItemCapabilityResolveSupportFields[] = {
    {"properties", array_of(Kind::kString), 0},
};
constexpr Field kInsertTextModeSupportFields[] = {
    {"valueSet", array_of(EnumId::kInsertTextMode), 0},
};
constexpr Field kParameterInformationSettingsFields[] = {
    {"labelOffsetSupport", one(Kind::kBool), kOptional},
};
constexpr Field kCodeActionKindLiteralSupportFields[] = {
    {"valueSet", array_of(Kind::kString), 0},
};
constexpr Field kSemanticTokensFullOptionsDeltaFields[] = {
    {"delta", one(Kind::kBool), kOptional},
};

constexpr std::string_view kTraceValueValues[] = {"off", "messages", "verbose"};
constexpr Type kNumberOrStringVariants[] = {one(Kind::kI32), one(Kind::kString)};
constexpr std::string_view kResourceOperationKindValues[] = {"create", "rename", "delete"};
constexpr std::string_view kFailureHandlingKindValues[] = {"abort", "transactional", "textOnlyTransactional", "undo"};
constexpr std::string_view kMarkupKindValues[] = {"plaintext", "markdown"};
constexpr std::string_view kFoldingRangeKindValues[] = {"comment", "imports", "region"};
constexpr Type kSemanticTokensFullOptionsVariants[] = {one(Kind::kBool), one(RecordId::kSemanticTokensFullOptionsDelta)};

constexpr std::array<Record, 79> kRecords = {{
    {"DidOpenTextDocumentParams", kDidOpenTextDocumentParamsFields, true, 1, 1},
    {"DidChangeTextDocumentParams", kDidChangeTextDocumentParamsFields, true, 2, 2},
    {"DidCloseTextDocumentParams", kDidCloseTextDocumentParamsFields, true, 1, 1},
    {"HoverParams", kHoverParamsFields, false, 0, 0},
    {"CompletionParams", kCompletionParamsFields, false, 0, 0},
    {"GotoDefinitionParams", kGotoDefinitionParamsFields, false, 0, 0},
    {"TextDocumentPositionParams", kTextDocumentPositionParamsFields, true, 2, 2},
    {"InitializeParams", kInitializeParamsFields, false, 0, 0},
    {"ReferenceParams", kReferenceParamsFields, false, 0, 0},
    {"RenameParams", kRenameParamsFields, false, 0, 0},
    {"TextDocumentItem", kTextDocumentItemFields, true, 4, 4},
    {"VersionedTextDocumentIdentifier", kVersionedTextDocumentIdentifierFields, true, 2, 2},
    {"TextDocumentContentChangeEvent", kTextDocumentContentChangeEventFields, true, 3, 3},
    {"TextDocumentIdentifier", kTextDocumentIdentifierFields, true, 1, 1},
    {"WorkDoneProgressParams", kWorkDoneProgressParamsFields, true, 1, 1},
    {"PartialResultParams", kPartialResultParamsFields, true, 1, 1},
    {"CompletionContext", kCompletionContextFields, true, 2, 2},
    {"Position", kPositionFields, true, 2, 2},
    {"ClientCapabilities", kClientCapabilitiesFields, true, 5, 5},
    {"WorkspaceFolder", kWorkspaceFolderFields, true, 2, 2},
    {"ClientInfo", kClientInfoFields, true, 2, 2},
    {"ReferenceContext", kReferenceContextFields, true, 1, 1},
    {"Range", kRangeFields, true, 2, 2},
    {"WorkspaceClientCapabilities", kWorkspaceClientCapabilitiesFields, true, 14, 14},
    {"TextDocumentClientCapabilities", kTextDocumentClientCapabilitiesFields, true, 30, 30},
    {"WindowClientCapabilities", kWindowClientCapabilitiesFields, true, 3, 3},
    {"GeneralClientCapabilities", kGeneralClientCapabilitiesFields, true, 4, 4},
    {"WorkspaceEditClientCapabilities", kWorkspaceEditClientCapabilitiesFields, true, 5, 5},
    {"DynamicRegistrationClientCapabilities", kDynamicRegistrationClientCapabilitiesFields, true, 1, 1},
    {"DidChangeWatchedFilesClientCapabilities", kDidChangeWatchedFilesClientCapabilitiesFields, true, 2, 2},
    {"WorkspaceSymbolClientCapabilities", kWorkspaceSymbolClientCapabilitiesFields, true, 4, 4},
    {"SemanticTokensWorkspaceClientCapabilities", kSemanticTokensWorkspaceClientCapabilitiesFields, true, 1, 1},
    {"CodeLensWorkspaceClientCapabilities", kCodeLensWorkspaceClientCapabilitiesFields, true, 1, 1},
    {"WorkspaceFileOperationsClientCapabilities", kWorkspaceFileOperationsClientCapabilitiesFields, true, 7, 7},
    {"InlineValueWorkspaceClientCapabilities", kInlineValueWorkspaceClientCapabilitiesFields, true, 1, 1},
    {"InlayHintWorkspaceClientCapabilities", kInlayHintWorkspaceClientCapabilitiesFields, true, 1, 1},
    {"DiagnosticWorkspaceClientCapabilities", kDiagnosticWorkspaceClientCapabilitiesFields, true, 1, 1},
    {"TextDocumentSyncClientCapabilities", kTextDocumentSyncClientCapabilitiesFields, true, 4, 4},
    {"CompletionClientCapabilities", kCompletionClientCapabilitiesFields, true, 6, 6},
    {"HoverClientCapabilities", kHoverClientCapabilitiesFields, true, 2, 2},
    {"SignatureHelpClientCapabilities", kSignatureHelpClientCapabilitiesFields, true, 3, 3},
    {"DocumentSymbolClientCapabilities", kDocumentSymbolClientCapabilitiesFields, true, 3, 4},
    {"GotoCapability", kGotoCapabilityFields, true, 2, 2},
    {"CodeActionClientCapabilities", kCodeActionClientCapabilitiesFields, true, 7, 7},
    {"DocumentLinkClientCapabilities", kDocumentLinkClientCapabilitiesFields, true, 2, 2},
    {"RenameClientCapabilities", kRenameClientCapabilitiesFields, true, 4, 4},
    {"PublishDiagnosticsClientCapabilities", kPublishDiagnosticsClientCapabilitiesFields, true, 5, 5},
    {"FoldingRangeClientCapabilities", kFoldingRangeClientCapabilitiesFields, true, 5, 5},
    {"SelectionRangeClientCapabilities", kSelectionRangeClientCapabilitiesFields, true, 1, 1},
    {"SemanticTokensClientCapabilities", kSemanticTokensClientCapabilitiesFields, true, 9, 9},
    {"InlayHintClientCapabilities", kInlayHintClientCapabilitiesFields, true, 2, 2},
    {"DiagnosticClientCapabilities", kDiagnosticClientCapabilitiesFields, true, 2, 2},
    {"ShowMessageRequestClientCapabilities", kShowMessageRequestClientCapabilitiesFields, true, 1, 1},
    {"ShowDocumentClientCapabilities", kShowDocumentClientCapabilitiesFields, true, 1, 1},
    {"RegularExpressionsClientCapabilities", kRegularExpressionsClientCapabilitiesFields, true, 2, 2},
    {"MarkdownClientCapabilities", kMarkdownClientCapabilitiesFields, true, 3, 3},
    {"StaleRequestSupportClientCapabilities", kStaleRequestSupportClientCapabilitiesFields, true, 2, 2},
    {"ChangeAnnotationWorkspaceEditClientCapabilities", kChangeAnnotationWorkspaceEditClientCapabilitiesFields, true, 1, 1},
    {"SymbolKindCapability", kSymbolKindCapabilityFields, true, 1, 1},
    {"TagSupport<SymbolTag>", kTagSupportSymbolTagFields, true, 1, 1},
    {"WorkspaceSymbolResolveSupportCapability", kWorkspaceSymbolResolveSupportCapabilityFields, true, 1, 1},
    {"CompletionItemCapability", kCompletionItemCapabilityFields, true, 10, 10},
    {"CompletionItemKindCapability", kCompletionItemKindCapabilityFields, true, 1, 1},
    {"CompletionListCapability", kCompletionListCapabilityFields, true, 1, 1},
    {"SignatureInformationSettings", kSignatureInformationSettingsFields, true, 3, 3},
    {"CodeActionLiteralSupport", kCodeActionLiteralSupportFields, true, 1, 1},
    {"CodeActionCapabilityResolveSupport", kCodeActionCapabilityResolveSupportFields, true, 1, 1},
    {"TagSupport<DiagnosticTag>", kTagSupportDiagnosticTagFields, true, 1, 1},
    {"FoldingRangeKindCapability", kFoldingRangeKindCapabilityFields, true, 1, 1},
    {"FoldingRangeCapability", kFoldingRangeCapabilityFields, true, 1, 1},
    {"SemanticTokensClientCapabilitiesRequests", kSemanticTokensClientCapabilitiesRequestsFields, true, 2, 2},
    {"InlayHintResolveClientCapabilities", kInlayHintResolveClientCapabilitiesFields, true, 1, 1},
    {"MessageActionItemCapabilities", kMessageActionItemCapabilitiesFields, true, 1, 1},
    {"TagSupport<CompletionItemTag>", kTagSupportCompletionItemTagFields, true, 1, 1},
    {"CompletionItemCapabilityResolveSupport", kCompletionItemCapabilityResolveSupportFields, true, 1, 1},
    {"InsertTextModeSupport", kInsertTextModeSupportFields, true, 1, 1},
    {"ParameterInformationSettings", kParameterInformationSettingsFields, true, 1, 1},
    {"CodeActionKindLiteralSupport", kCodeActionKindLiteralSupportFields, true, 1, 1},
    {"SemanticTokensFullOptions.Delta", kSemanticTokensFullOptionsDeltaFields, false, 0, 0},
}};

constexpr std::array<Enum, 19> kEnums = {{
    {"TraceValue", EnumKind::kClosedStrings, kTraceValueValues, {}},
    {"NumberOrString", EnumKind::kUntagged, {}, kNumberOrStringVariants},
    {"CompletionTriggerKind", EnumKind::kOpenInteger, {}, {}},
    {"PositionEncodingKind", EnumKind::kOpenString, {}, {}},
    {"ResourceOperationKind", EnumKind::kClosedStrings, kResourceOperationKindValues, {}},
    {"FailureHandlingKind", EnumKind::kClosedStrings, kFailureHandlingKindValues, {}},
    {"SymbolTag", EnumKind::kOpenInteger, {}, {}},
    {"InsertTextMode", EnumKind::kOpenInteger, {}, {}},
    {"MarkupKind", EnumKind::kClosedStrings, kMarkupKindValues, {}},
    {"PrepareSupportDefaultBehavior", EnumKind::kOpenInteger, {}, {}},
    {"DiagnosticTag", EnumKind::kOpenInteger, {}, {}},
    {"SemanticTokenType", EnumKind::kOpenString, {}, {}},
    {"SemanticTokenModifier", EnumKind::kOpenString, {}, {}},
    {"TokenFormat", EnumKind::kOpenString, {}, {}},
    {"SymbolKind", EnumKind::kOpenInteger, {}, {}},
    {"CompletionItemTag", EnumKind::kOpenInteger, {}, {}},
    {"CompletionItemKind", EnumKind::kOpenInteger, {}, {}},
    {"FoldingRangeKind", EnumKind::kClosedStrings, kFoldingRangeKindValues, {}},
    {"SemanticTokensFullOptions", EnumKind::kUntagged, {}, kSemanticTokensFullOptionsVariants},
}};

static_assert(kRecords.size() == static_cast<std::size_t>(RecordId::kCount));
static_assert(kEnums.size() == static_cast<std::size_t>(EnumId::kCount));

}  // namespace

const Record& record(RecordId id) { return kRecords[static_cast<std::size_t>(id)]; }
const Enum& enumeration(EnumId id) { return kEnums[static_cast<std::size_t>(id)]; }
const Record& record_at(uint16_t index) { return kRecords[index]; }
const Enum& enumeration_at(uint16_t index) { return kEnums[index]; }

}  // namespace zevo::lsp::schema

// The LSP 3.17 records that the server only validates, and their
// enumerations, as data. Members stand in declaration order, which is the
// order of a record's array form.
#include <cstddef>

#include "lsp/protocol_schema.hpp"

namespace zevo::lsp::schema {

namespace {

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

constexpr Record kRecords[] = {
    {RecordId::kWorkDoneProgressParams, "WorkDoneProgressParams", kWorkDoneProgressParamsFields},
    {RecordId::kPartialResultParams, "PartialResultParams", kPartialResultParamsFields},
    {RecordId::kCompletionContext, "CompletionContext", kCompletionContextFields},
    {RecordId::kClientCapabilities, "ClientCapabilities", kClientCapabilitiesFields},
    {RecordId::kWorkspaceFolder, "WorkspaceFolder", kWorkspaceFolderFields},
    {RecordId::kClientInfo, "ClientInfo", kClientInfoFields},
    {RecordId::kWorkspaceClientCapabilities, "WorkspaceClientCapabilities", kWorkspaceClientCapabilitiesFields},
    {RecordId::kTextDocumentClientCapabilities, "TextDocumentClientCapabilities", kTextDocumentClientCapabilitiesFields},
    {RecordId::kWindowClientCapabilities, "WindowClientCapabilities", kWindowClientCapabilitiesFields},
    {RecordId::kGeneralClientCapabilities, "GeneralClientCapabilities", kGeneralClientCapabilitiesFields},
    {RecordId::kWorkspaceEditClientCapabilities, "WorkspaceEditClientCapabilities", kWorkspaceEditClientCapabilitiesFields},
    {RecordId::kDynamicRegistrationClientCapabilities, "DynamicRegistrationClientCapabilities", kDynamicRegistrationClientCapabilitiesFields},
    {RecordId::kDidChangeWatchedFilesClientCapabilities, "DidChangeWatchedFilesClientCapabilities", kDidChangeWatchedFilesClientCapabilitiesFields},
    {RecordId::kWorkspaceSymbolClientCapabilities, "WorkspaceSymbolClientCapabilities", kWorkspaceSymbolClientCapabilitiesFields},
    {RecordId::kSemanticTokensWorkspaceClientCapabilities, "SemanticTokensWorkspaceClientCapabilities", kSemanticTokensWorkspaceClientCapabilitiesFields},
    {RecordId::kCodeLensWorkspaceClientCapabilities, "CodeLensWorkspaceClientCapabilities", kCodeLensWorkspaceClientCapabilitiesFields},
    {RecordId::kWorkspaceFileOperationsClientCapabilities, "WorkspaceFileOperationsClientCapabilities", kWorkspaceFileOperationsClientCapabilitiesFields},
    {RecordId::kInlineValueWorkspaceClientCapabilities, "InlineValueWorkspaceClientCapabilities", kInlineValueWorkspaceClientCapabilitiesFields},
    {RecordId::kInlayHintWorkspaceClientCapabilities, "InlayHintWorkspaceClientCapabilities", kInlayHintWorkspaceClientCapabilitiesFields},
    {RecordId::kDiagnosticWorkspaceClientCapabilities, "DiagnosticWorkspaceClientCapabilities", kDiagnosticWorkspaceClientCapabilitiesFields},
    {RecordId::kTextDocumentSyncClientCapabilities, "TextDocumentSyncClientCapabilities", kTextDocumentSyncClientCapabilitiesFields},
    {RecordId::kCompletionClientCapabilities, "CompletionClientCapabilities", kCompletionClientCapabilitiesFields},
    {RecordId::kHoverClientCapabilities, "HoverClientCapabilities", kHoverClientCapabilitiesFields},
    {RecordId::kSignatureHelpClientCapabilities, "SignatureHelpClientCapabilities", kSignatureHelpClientCapabilitiesFields},
    {RecordId::kDocumentSymbolClientCapabilities, "DocumentSymbolClientCapabilities", kDocumentSymbolClientCapabilitiesFields},
    {RecordId::kGotoCapability, "GotoCapability", kGotoCapabilityFields},
    {RecordId::kCodeActionClientCapabilities, "CodeActionClientCapabilities", kCodeActionClientCapabilitiesFields},
    {RecordId::kDocumentLinkClientCapabilities, "DocumentLinkClientCapabilities", kDocumentLinkClientCapabilitiesFields},
    {RecordId::kRenameClientCapabilities, "RenameClientCapabilities", kRenameClientCapabilitiesFields},
    {RecordId::kPublishDiagnosticsClientCapabilities, "PublishDiagnosticsClientCapabilities", kPublishDiagnosticsClientCapabilitiesFields},
    {RecordId::kFoldingRangeClientCapabilities, "FoldingRangeClientCapabilities", kFoldingRangeClientCapabilitiesFields},
    {RecordId::kSelectionRangeClientCapabilities, "SelectionRangeClientCapabilities", kSelectionRangeClientCapabilitiesFields},
    {RecordId::kSemanticTokensClientCapabilities, "SemanticTokensClientCapabilities", kSemanticTokensClientCapabilitiesFields},
    {RecordId::kInlayHintClientCapabilities, "InlayHintClientCapabilities", kInlayHintClientCapabilitiesFields},
    {RecordId::kDiagnosticClientCapabilities, "DiagnosticClientCapabilities", kDiagnosticClientCapabilitiesFields},
    {RecordId::kShowMessageRequestClientCapabilities, "ShowMessageRequestClientCapabilities", kShowMessageRequestClientCapabilitiesFields},
    {RecordId::kShowDocumentClientCapabilities, "ShowDocumentClientCapabilities", kShowDocumentClientCapabilitiesFields},
    {RecordId::kRegularExpressionsClientCapabilities, "RegularExpressionsClientCapabilities", kRegularExpressionsClientCapabilitiesFields},
    {RecordId::kMarkdownClientCapabilities, "MarkdownClientCapabilities", kMarkdownClientCapabilitiesFields},
    {RecordId::kStaleRequestSupportClientCapabilities, "StaleRequestSupportClientCapabilities", kStaleRequestSupportClientCapabilitiesFields},
    {RecordId::kChangeAnnotationWorkspaceEditClientCapabilities, "ChangeAnnotationWorkspaceEditClientCapabilities", kChangeAnnotationWorkspaceEditClientCapabilitiesFields},
    {RecordId::kSymbolKindCapability, "SymbolKindCapability", kSymbolKindCapabilityFields},
    {RecordId::kTagSupportSymbolTag, "TagSupport<SymbolTag>", kTagSupportSymbolTagFields},
    {RecordId::kWorkspaceSymbolResolveSupportCapability, "WorkspaceSymbolResolveSupportCapability", kWorkspaceSymbolResolveSupportCapabilityFields},
    {RecordId::kCompletionItemCapability, "CompletionItemCapability", kCompletionItemCapabilityFields},
    {RecordId::kCompletionItemKindCapability, "CompletionItemKindCapability", kCompletionItemKindCapabilityFields},
    {RecordId::kCompletionListCapability, "CompletionListCapability", kCompletionListCapabilityFields},
    {RecordId::kSignatureInformationSettings, "SignatureInformationSettings", kSignatureInformationSettingsFields},
    {RecordId::kCodeActionLiteralSupport, "CodeActionLiteralSupport", kCodeActionLiteralSupportFields},
    {RecordId::kCodeActionCapabilityResolveSupport, "CodeActionCapabilityResolveSupport", kCodeActionCapabilityResolveSupportFields},
    {RecordId::kTagSupportDiagnosticTag, "TagSupport<DiagnosticTag>", kTagSupportDiagnosticTagFields},
    {RecordId::kFoldingRangeKindCapability, "FoldingRangeKindCapability", kFoldingRangeKindCapabilityFields},
    {RecordId::kFoldingRangeCapability, "FoldingRangeCapability", kFoldingRangeCapabilityFields},
    {RecordId::kSemanticTokensClientCapabilitiesRequests, "SemanticTokensClientCapabilitiesRequests", kSemanticTokensClientCapabilitiesRequestsFields},
    {RecordId::kInlayHintResolveClientCapabilities, "InlayHintResolveClientCapabilities", kInlayHintResolveClientCapabilitiesFields},
    {RecordId::kMessageActionItemCapabilities, "MessageActionItemCapabilities", kMessageActionItemCapabilitiesFields},
    {RecordId::kTagSupportCompletionItemTag, "TagSupport<CompletionItemTag>", kTagSupportCompletionItemTagFields},
    {RecordId::kCompletionItemCapabilityResolveSupport, "CompletionItemCapabilityResolveSupport", kCompletionItemCapabilityResolveSupportFields},
    {RecordId::kInsertTextModeSupport, "InsertTextModeSupport", kInsertTextModeSupportFields},
    {RecordId::kParameterInformationSettings, "ParameterInformationSettings", kParameterInformationSettingsFields},
    {RecordId::kCodeActionKindLiteralSupport, "CodeActionKindLiteralSupport", kCodeActionKindLiteralSupportFields},
    {RecordId::kSemanticTokensFullOptionsDelta, "SemanticTokensFullOptions.Delta", kSemanticTokensFullOptionsDeltaFields, true},
};

constexpr Enum kEnums[] = {
    {EnumId::kTraceValue, "TraceValue", EnumKind::kClosedStrings, kTraceValueValues, {}},
    {EnumId::kNumberOrString, "NumberOrString", EnumKind::kUntagged, {}, kNumberOrStringVariants},
    {EnumId::kCompletionTriggerKind, "CompletionTriggerKind", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kPositionEncodingKind, "PositionEncodingKind", EnumKind::kOpenString, {}, {}},
    {EnumId::kResourceOperationKind, "ResourceOperationKind", EnumKind::kClosedStrings, kResourceOperationKindValues, {}},
    {EnumId::kFailureHandlingKind, "FailureHandlingKind", EnumKind::kClosedStrings, kFailureHandlingKindValues, {}},
    {EnumId::kSymbolTag, "SymbolTag", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kInsertTextMode, "InsertTextMode", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kMarkupKind, "MarkupKind", EnumKind::kClosedStrings, kMarkupKindValues, {}},
    {EnumId::kPrepareSupportDefaultBehavior, "PrepareSupportDefaultBehavior", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kDiagnosticTag, "DiagnosticTag", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kSemanticTokenType, "SemanticTokenType", EnumKind::kOpenString, {}, {}},
    {EnumId::kSemanticTokenModifier, "SemanticTokenModifier", EnumKind::kOpenString, {}, {}},
    {EnumId::kTokenFormat, "TokenFormat", EnumKind::kOpenString, {}, {}},
    {EnumId::kSymbolKind, "SymbolKind", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kCompletionItemTag, "CompletionItemTag", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kCompletionItemKind, "CompletionItemKind", EnumKind::kOpenInteger, {}, {}},
    {EnumId::kFoldingRangeKind, "FoldingRangeKind", EnumKind::kClosedStrings, kFoldingRangeKindValues, {}},
    {EnumId::kSemanticTokensFullOptions, "SemanticTokensFullOptions", EnumKind::kUntagged, {}, kSemanticTokensFullOptionsVariants},
};

// Every reference to a record or an enumeration is its id, used as an index.
template <class Row, class Id, std::size_t N>
constexpr bool rows_in_id_order(const Row (&rows)[N]) {
  if (N != static_cast<std::size_t>(Id::kCount)) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].id != static_cast<Id>(i)) return false;
  }
  return true;
}
static_assert(rows_in_id_order<Record, RecordId>(kRecords), "row i of kRecords must describe RecordId i");
static_assert(rows_in_id_order<Enum, EnumId>(kEnums), "row i of kEnums must describe EnumId i");

}  // namespace

const Record& record(RecordId id) { return kRecords[static_cast<std::size_t>(id)]; }
const Record& record_at(uint16_t index) { return kRecords[index]; }
const Enum& enumeration_at(uint16_t index) { return kEnums[index]; }

}  // namespace zevo::lsp::schema

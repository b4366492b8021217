// The generic record decoder: which parameters pass, and what the typed records hold.
#include <gtest/gtest.h>

#include "json/json.hpp"
#include "lsp/decode.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

bool accepts(std::string_view method, std::string_view params_text) {
  auto parsed = zevo::json::parse(params_text);
  EXPECT_TRUE(parsed.ok()) << params_text;
  if (!parsed.ok()) return false;
  json params = std::move(*parsed);
  if (method == "initialize") return decode_record<InitializeParams>(std::move(params)).ok();
  if (method == "textDocument/didOpen") return decode_record<DidOpenTextDocumentParams>(std::move(params)).ok();
  if (method == "textDocument/didChange") return decode_record<DidChangeTextDocumentParams>(std::move(params)).ok();
  if (method == "textDocument/didClose") return decode_record<DidCloseTextDocumentParams>(std::move(params)).ok();
  if (method == "textDocument/hover") return decode_record<HoverParams>(std::move(params)).ok();
  if (method == "textDocument/completion") return decode_record<CompletionParams>(std::move(params)).ok();
  if (method == "textDocument/definition") return decode_record<GotoDefinitionParams>(std::move(params)).ok();
  if (method == "textDocument/prepareRename") return decode_record<TextDocumentPositionParams>(std::move(params)).ok();
  if (method == "textDocument/references") return decode_record<ReferenceParams>(std::move(params)).ok();
  if (method == "textDocument/rename") return decode_record<RenameParams>(std::move(params)).ok();
  ADD_FAILURE() << "no decoder for " << method;
  return false;
}

struct Case {
  const char* method;
  const char* params;
  bool accepted;
};

constexpr const char* kPos = R"("textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":0})";

TEST(RecordDecoder, AcceptsAndRejectsLikeTheProtocolLibrary) {
  const std::string hover_extra = std::string("{") + kPos + R"(,"partialResultToken":1.5})";
  const std::string hover_token = std::string("{") + kPos + R"(,"workDoneToken":1.5})";
  const std::string refs = std::string("{") + kPos + R"(,"context":[true]})";
  const std::string refs_empty = std::string("{") + kPos + R"(,"context":{}})";
  const std::string completion = std::string("{") + kPos + R"(,"context":{"triggerKind":99}})";
  const std::string rename = std::string("{") + kPos + R"(,"newName":"b"})";
  const std::string rename_missing = std::string("{") + kPos + "}";
  const Case cases[] = {
      {"initialize", R"({"capabilities":{}})", true},
      {"initialize", R"({})", false},
      {"initialize", R"({"processId":-1,"capabilities":{}})", false},
      {"initialize", R"({"processId":-0,"capabilities":{}})", false},
      {"initialize", R"({"processId":7.0,"capabilities":{}})", false},
      {"initialize", R"({"processId":null,"capabilities":{}})", true},
      {"initialize", R"({"processId":4294967295,"capabilities":{}})", true},
      {"initialize", R"({"processId":4294967296,"capabilities":{}})", false},
      {"initialize", R"({"capabilities":{},"trace":"Verbose"})", false},
      {"initialize", R"({"capabilities":{},"trace":"debug"})", false},
      {"initialize", R"({"capabilities":{},"trace":"verbose"})", true},
      {"initialize", R"({"capabilities":{},"trace":{"verbose":null}})", true},
      {"initialize", R"({"capabilities":{},"trace":{"verbose":{}}})", false},
      {"initialize", R"({"capabilities":{},"trace":{}})", false},
      {"initialize", R"({"capabilities":{},"rootUri":"C:\\work\\p"})", true},
      {"initialize", R"({"capabilities":{},"rootUri":"not a uri"})", false},
      {"initialize", R"({"capabilities":{},"rootUri":null})", true},
      {"initialize", R"({"capabilities":{"notebookDocument":{"x":1}},"futureMember":1})", true},
      {"initialize", R"({"capabilities":{"textDocument":{"hover":{"contentFormat":["plainText"]}}}})", false},
      {"initialize", R"({"capabilities":{"textDocument":{"hover":{"contentFormat":["markdown","plaintext"]}}}})",
       true},
      {"initialize",
       R"({"capabilities":{"workspace":{"workspaceEdit":{"failureHandling":"textonlytransactional"}}}})", false},
      {"initialize",
       R"({"capabilities":{"workspace":{"workspaceEdit":{"resourceOperations":["create","rename","delete"]}}}})",
       true},
      {"initialize", R"({"capabilities":{"workspace":{"workspaceEdit":{"resourceOperations":["move"]}}}})", false},
      {"initialize", R"({"capabilities":{"textDocument":{"completion":{"completionItemKind":{"valueSet":[1,100,-5]}}}}})",
       true},
      {"initialize", R"({"capabilities":{"textDocument":{"semanticTokens":{}}}})", false},
      {"initialize",
       R"({"capabilities":{"textDocument":{"semanticTokens":{"requests":{"full":[true]},"tokenTypes":[],"tokenModifiers":[],"formats":[]}}}})",
       false},
      {"initialize",
       R"({"capabilities":{"textDocument":{"semanticTokens":{"requests":{"full":{"delta":true}},"tokenTypes":["x"],"tokenModifiers":[],"formats":["relative"]}}}})",
       true},
      {"initialize", R"({"capabilities":{"textDocument":{"publishDiagnostics":{"tagSupport":true}}}})", true},
      {"initialize", R"({"capabilities":{"textDocument":{"publishDiagnostics":{"tagSupport":false}}}})", true},
      {"initialize", R"({"capabilities":{"textDocument":{"publishDiagnostics":{"tagSupport":{}}}}})", false},
      {"initialize", R"({"capabilities":{"textDocument":{"publishDiagnostics":{"tagSupport":[[1,2]]}}}})", true},
      {"initialize", R"({"capabilities":{"textDocument":{"publishDiagnostics":{"tagSupport":1}}}})", false},
      {"initialize", R"({"capabilities":{"window":{"showDocument":{}}}})", false},
      {"initialize", R"({"capabilities":[null,null,null,null,null]})", true},
      {"initialize", R"({"capabilities":[null,null,null,null]})", false},
      {"initialize", R"({"capabilities":{"textDocument":{"documentSymbol":[null,null,null]}}})", true},
      {"initialize", R"({"capabilities":{"textDocument":{"documentSymbol":[null,null]}}})", false},
      {"initialize", R"({"capabilities":{},"workDoneToken":2147483648})", false},
      {"initialize", R"({"capabilities":{},"workDoneToken":"t-1"})", true},
      {"initialize", R"({"capabilities":{"general":{"positionEncodings":["utf-7"]}}})", true},
      {"initialize", R"({"capabilities":{"workspace":{"diagnostic":{"refreshSupport":1}}}})", false},
      {"initialize", R"({"capabilities":{"workspace":{"diagnostics":{"refreshSupport":1}}}})", true},
      {"initialize", R"({"capabilities":{},"clientInfo":{"version":"1"}})", false},
      {"initialize", R"({"capabilities":{},"workspaceFolders":[{"uri":"file:///w","name":"w"}]})", true},
      {"initialize", R"({"capabilities":{},"workspaceFolders":[{"uri":"w","name":"w"}]})", false},
      {"initialize", R"([{}])", false},
      {"textDocument/hover", hover_extra.c_str(), true},
      {"textDocument/hover", hover_token.c_str(), false},
      {"textDocument/hover", R"({"textDocument":["file:///a.zv"],"position":[3,4]})", true},
      {"textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":-1,"character":0}})", false},
      {"textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"}})", false},
      {"textDocument/hover", R"([{"uri":"file:///a.zv"},{"line":0,"character":5}])", false},
      {"textDocument/prepareRename", R"([{"uri":"file:///a.zv"},{"line":0,"character":5}])", true},
      {"textDocument/references", refs.c_str(), true},
      {"textDocument/references", refs_empty.c_str(), false},
      {"textDocument/completion", completion.c_str(), true},
      {"textDocument/definition", R"([{"uri":"file:///a.zv"},{"line":0,"character":5}])", false},
      {"textDocument/completion", R"([{"uri":"file:///a.zv"},{"line":0,"character":5}])", false},
      {"textDocument/references", R"([{"uri":"file:///a.zv"},{"line":0,"character":5},[true]])", false},
      {"textDocument/rename", R"([{"uri":"file:///a.zv"},{"line":0,"character":5},"b"])", false},
      {"textDocument/rename", rename.c_str(), true},
      {"textDocument/rename", rename_missing.c_str(), false},
      {"textDocument/didOpen", R"([["file:///a.zv","zevo",1,"x"]])", true},
      {"textDocument/didOpen", R"({"textDocument":{"uri":"file:///a.zv","languageId":"zevo","version":null,"text":""}})",
       false},
      {"textDocument/didChange", R"({"textDocument":{"uri":"file:///a.zv","version":1},"contentChanges":[["x"]]})",
       false},
      {"textDocument/didChange",
       R"({"textDocument":{"uri":"file:///a.zv","version":1},"contentChanges":[[null,null,"x"]]})", true},
      {"textDocument/didClose", R"({"textDocument":{"uri":"http://"}})", false},
      {"textDocument/didClose", R"({"textDocument":{"uri":"http://h:99999/"}})", false},
      {"textDocument/didClose", R"({"textDocument":{"uri":"untitled:Untitled-1"}})", true},
  };
  for (const Case& c : cases) EXPECT_EQ(accepts(c.method, c.params), c.accepted) << c.method << " " << c.params;
}

TEST(RecordDecoder, TypedRecordsFromBothForms) {
  auto open = decode_record<DidOpenTextDocumentParams>(json::parse(R"([["FILE:///A/../b.zv","zevo",-3,"t\u0131"]])"));
  ASSERT_TRUE(open.ok()) << open.error();
  EXPECT_EQ(open->text_document.uri, "file:///b.zv");
  EXPECT_EQ(open->text_document.language_id, "zevo");
  EXPECT_EQ(open->text_document.version, -3);
  EXPECT_EQ(open->text_document.text, "tı");

  auto change = decode_record<DidChangeTextDocumentParams>(json::parse(
      R"({"textDocument":{"uri":"file:///a b.zv","version":2},"contentChanges":[
           {"range":{"start":{"line":1,"character":2},"end":[3,4]},"rangeLength":9,"text":"x"},
           {"text":"whole","range":null}]})"));
  ASSERT_TRUE(change.ok()) << change.error();
  EXPECT_EQ(change->text_document.uri, "file:///a%20b.zv");
  ASSERT_EQ(change->content_changes.size(), 2u);
  EXPECT_EQ(change->content_changes[0].range, (Range{{1, 2}, {3, 4}}));
  EXPECT_EQ(change->content_changes[0].range_length, 9u);
  EXPECT_EQ(change->content_changes[0].text, "x");
  EXPECT_FALSE(change->content_changes[1].range.has_value());
  EXPECT_EQ(change->content_changes[1].text, "whole");

  auto refs = decode_record<ReferenceParams>(json::parse(std::string("{") + kPos + R"(,"context":[true]})"));
  ASSERT_TRUE(refs.ok());
  EXPECT_TRUE(refs->context.include_declaration);
  EXPECT_EQ(refs->position_params.text_document.uri, "file:///a.zv");

  auto prepare = decode_record<TextDocumentPositionParams>(json::parse(R"([["file:///a.zv"],[7,8]])"));
  ASSERT_TRUE(prepare.ok());
  EXPECT_EQ(prepare->position, (Position{7, 8}));
}

TEST(RecordDecoder, FailureTextsNameTheFault) {
  struct TextCase {
    const char* params;
    const char* text;
  };
  const TextCase cases[] = {
      {R"({})", "missing field `capabilities`"},
      {R"({"capabilities":{},"processId":-1})", "invalid value: integer `-1`, expected u32"},
      {R"({"capabilities":{},"processId":"1"})", R"(invalid type: string "1", expected u32)"},
      {R"({"capabilities":{},"trace":"debug"})", "unknown variant `debug`, expected one of `off`, `messages`, `verbose`"},
      {R"({"capabilities":[null]})", "invalid length 1, expected struct ClientCapabilities with 5 elements"},
      {R"({"capabilities":{},"workDoneToken":true})", "data did not match any variant of untagged enum NumberOrString"},
  };
  for (const TextCase& c : cases) {
    auto decoded = decode_record<InitializeParams>(json::parse(c.params));
    ASSERT_FALSE(decoded.ok()) << c.params;
    EXPECT_EQ(decoded.error(), c.text) << c.params;
  }
}

template <class R>
std::string failure_text(const char* params) {
  auto decoded = decode_record<R>(json::parse(params));
  return decoded.ok() ? "accepted" : decoded.error();
}

// The reader reports the first faulty member in the object's key order, then the
// first missing one in declaration order, flattened records at their place.
TEST(RecordDecoder, DescribedRecordsNameTheirFirstFault) {
  struct TextCase {
    std::string (*decode)(const char*);
    const char* params;
    const char* text;
  };
  const TextCase cases[] = {
      {failure_text<HoverParams>, R"({"textDocument":{"uri":"file:///a.zv"}})", "missing field `position`"},
      {failure_text<HoverParams>, R"({"textDocument":5,"position":{"line":"x"}})",
       R"(invalid type: string "x", expected u32)"},
      {failure_text<HoverParams>, "[]", "invalid type: sequence, expected struct HoverParams"},
      {failure_text<DidChangeTextDocumentParams>,
       R"({"textDocument":{"uri":"file:///a.zv","version":1},"contentChanges":[["x"]]})",
       R"(invalid type: string "x", expected struct Range)"},
      {failure_text<DidOpenTextDocumentParams>, R"([["file:///a.zv","zevo",1]])",
       "invalid length 3, expected struct TextDocumentItem with 4 elements"},
      {failure_text<DidCloseTextDocumentParams>, R"({"textDocument":{"uri":"http://"}})",
       R"(invalid value: string "http://", expected empty host)"},
      {failure_text<ReferenceParams>, R"({"textDocument":{"uri":"file:///a.zv"},"position":[0,0],"context":{}})",
       "missing field `includeDeclaration`"},
      {failure_text<RenameParams>,
       R"({"textDocument":{"uri":"file:///a.zv"},"position":[0,0],"newName":1,"workDoneToken":true})",
       "invalid type: integer `1`, expected a string"},
      {failure_text<RenameParams>, R"({"textDocument":{"uri":"file:///a.zv"},"position":[0,0],"workDoneToken":true})",
       "missing field `newName`"},
      {failure_text<TextDocumentPositionParams>, R"([["file:///a.zv"],[0,0],3])",
       "invalid length 3, expected fewer elements in array"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(c.decode(c.params), c.text) << c.params;
}

}  // namespace
}  // namespace zevo::lsp

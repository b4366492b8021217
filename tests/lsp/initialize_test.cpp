// The initialize request: which parameters pass, and the result byte for byte.
#include <gtest/gtest.h>

#include "json/json.hpp"
#include "lsp/initialize.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

constexpr std::string_view kResult =
    R"({"capabilities":{"codeActionProvider":true,"codeLensProvider":{"resolveProvider":false},)"
    R"("completionProvider":{"resolveProvider":false,"triggerCharacters":[".",":"]},"definitionProvider":true,)"
    R"("documentFormattingProvider":false,"documentSymbolProvider":true,"hoverProvider":true,)"
    R"("inlayHintProvider":true,"referencesProvider":true,"renameProvider":true,)"
    R"("semanticTokensProvider":{"full":true,"legend":{"tokenModifiers":["declaration","definition","readonly",)"
    R"("static","deprecated","abstract","async","modification","documentation","defaultLibrary","public",)"
    R"("exportable","domesticOnly","classified"],"tokenTypes":["namespace","type","class","enum","interface",)"
    R"("struct","typeParameter","parameter","variable","property","enumMember","event","function","method",)"
    R"("macro","keyword","modifier","comment","string","number","regexp","operator","decorator"]},)"
    R"("range":false},"signatureHelpProvider":{"triggerCharacters":["(",","]},)"
    R"("textDocumentSync":{"change":1,"openClose":true}},)"
    R"("serverInfo":{"name":"ZEVO Language Server","version":"0.9.4"}})";

Answer initialize_with(std::optional<std::string_view> params) {
  const ServerState state;
  if (!params) return answer_of(handle_initialize, std::nullopt, state);
  auto parsed = zevo::json::parse(*params);
  EXPECT_TRUE(parsed.ok()) << *params;
  return answer_of(handle_initialize, Params(std::move(*parsed)), state);
}

TEST(Initialize, ResultIsTheFixedTextEveryTime) {
  for (int i = 0; i < 2; ++i) {
    const Answer result = initialize_with(R"({"capabilities":{}})");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.text, kResult);
  }
}

TEST(Initialize, ParameterEdgeCases) {
  struct Case {
    std::optional<std::string_view> params;
    bool accepted;
  };
  const Case cases[] = {
      {R"({"capabilities":{}})", true},
      {R"({})", false},
      {std::nullopt, false},
      {R"([{"capabilities":{}}])", false},
      {R"("capabilities")", false},
      {R"({"processId":-1,"capabilities":{}})", false},
      {R"({"processId":null,"capabilities":{}})", true},
      {R"({"capabilities":{},"trace":"debug"})", false},
      {R"({"capabilities":{},"trace":"verbose"})", true},
      {R"({"capabilities":{},"rootUri":"/home/u/project"})", false},
      {R"({"capabilities":{},"rootUri":"file:///home/u/project"})", true},
      {R"({"capabilities":{},"somethingNew":{"deep":[1,2,3]}})", true},
      {R"({"capabilities":{"textDocument":{"hover":{"contentFormat":["markdown","html"]}}}})", false},
  };
  for (const Case& c : cases) {
    const Answer result = initialize_with(c.params);
    SCOPED_TRACE(std::string(c.params.value_or("(absent)")));
    if (c.accepted) {
      EXPECT_TRUE(result.ok());
    } else {
      ASSERT_FALSE(result.ok());
      EXPECT_EQ(result.error()->code, kInvalidRequest);
      EXPECT_EQ(result.error()->message, "Invalid initialize params");
      EXPECT_FALSE(result.error()->data.has_value());
    }
  }
}

}  // namespace
}  // namespace zevo::lsp

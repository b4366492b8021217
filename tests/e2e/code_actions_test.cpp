// Code actions through the real binary: the exact response bytes, and null for
// a document that is not open under exactly the URI text sent.
#include <gtest/gtest.h>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string code_action_params(std::string_view uri, std::string_view diagnostics) {
  return R"({"textDocument":{"uri":)" + json_string(uri) +
         R"(},"range":{"start":{"line":4,"character":0},"end":{"line":4,"character":1}},"context":{"diagnostics":)" +
         std::string(diagnostics) + "}}";
}

TEST(CodeActionsE2E, QuickFixExtractAndNull) {
  LspServer server;
  server.send(notification("textDocument/didOpen", did_open_params("FILE:///a", "1\n2\n3\n4\nyaz(x)\n")));
  ASSERT_TRUE(server.read_frame());  // the diagnostics notification

  const std::string undefined =
      R"([{"message":"undefined variable 'x'","range":{"start":{"line":4,"character":4},"end":{"line":4,"character":5}}}])";
  server.send(request(1, "textDocument/codeAction", code_action_params("file:///a", undefined)));
  EXPECT_EQ(server.read_frame(),
            R"({"jsonrpc":"2.0","id":1,"result":[)"
            R"({"edit":{"changes":{"file:///a":[{"newText":"değişken x: tamsayı = 0\n","range":{"end":{"character":0,"line":4},"start":{"character":0,"line":4}}}]}},"kind":"quickfix","title":"Declare variable 'x'"},)"
            R"({"edit":{"changes":{"file:///a":[{"newText":"yeni_değişken","range":{"end":{"character":1,"line":4},"start":{"character":0,"line":4}}}]}},"kind":"refactor.extract","title":"Extract to variable"}]})");

  // Opened as "FILE:///a", stored as "file:///a": the spelling sent is not found.
  server.send(request(2, "textDocument/codeAction", code_action_params("FILE:///a", undefined)));
  EXPECT_EQ(server.read_frame(), R"({"jsonrpc":"2.0","id":2,"result":null})");
  server.send(request(3, "textDocument/codeAction"));
  EXPECT_EQ(server.read_frame(), R"({"jsonrpc":"2.0","id":3,"result":null})");

  server.close_input();
  EXPECT_EQ(server.wait_exit(), 0);
}

}  // namespace
}  // namespace zevo::testing

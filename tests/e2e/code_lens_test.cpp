// Code lens through the real binary: the exact response bytes, and the errors
// for a missing URI and for a URI that is not sent the way the store keeps it.
#include <gtest/gtest.h>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string code_lens_params(std::string_view uri) { return R"({"textDocument":{"uri":)" + json_string(uri) + "}}"; }

TEST(CodeLensE2E, LensesAndErrors) {
  LspServer server;
  server.send(notification("textDocument/didOpen",
                           did_open_params("file:///w/a.zv", "fonksiyon topla(a, b) {\n}\ntopla(1, 2)\n")));
  ASSERT_TRUE(server.read_frame());  // the diagnostics notification
  server.send(notification("textDocument/didOpen", did_open_params("file:///w/b c.zv", "let x = 1\nx\n")));
  ASSERT_TRUE(server.read_frame());

  server.send(request(1, "textDocument/codeLens", code_lens_params("file:///w/a.zv")));
  EXPECT_EQ(server.read_frame(),
            R"({"jsonrpc":"2.0","id":1,"result":[)"
            R"({"command":{"arguments":["file:///w/a.zv","topla"],"command":"zevo.runFunction","title":"▶ Run 'topla'"},)"
            R"("range":{"end":{"character":23,"line":0},"start":{"character":0,"line":0}}},)"
            R"({"command":{"arguments":["topla"],"command":"editor.action.showReferences","title":"1 reference"},)"
            R"("range":{"end":{"character":23,"line":0},"start":{"character":0,"line":0}}}]})");

  server.send(request(2, "textDocument/codeLens"));
  EXPECT_EQ(server.read_frame(),
            R"({"jsonrpc":"2.0","id":2,"error":{"code":-32603,"message":"Code lens error: Missing textDocument.uri"}})");

  server.send(request(3, "textDocument/codeLens", code_lens_params("file:///w/none.zv")));
  EXPECT_EQ(server.read_frame(),
            R"({"jsonrpc":"2.0","id":3,"error":{"code":-32603,"message":"Code lens error: Document not found"}})");

  // The store keeps the serialised URI; code lens looks the text up as sent.
  server.send(request(4, "textDocument/codeLens", code_lens_params("file:///w/b c.zv")));
  EXPECT_EQ(server.read_frame(),
            R"({"jsonrpc":"2.0","id":4,"error":{"code":-32603,"message":"Code lens error: Document not found"}})");
  server.send(request(5, "textDocument/codeLens", code_lens_params("file:///w/b%20c.zv")));
  EXPECT_EQ(server.read_frame(),
            R"({"jsonrpc":"2.0","id":5,"result":[{"command":{"arguments":["x"],"command":"editor.action.showReferences",)"
            R"("title":"1 reference"},"range":{"end":{"character":9,"line":0},"start":{"character":0,"line":0}}}]})");

  server.send(notification("textDocument/didChange", did_change_params("file:///w/a.zv", 2, "")));
  ASSERT_TRUE(server.read_frame());  // the diagnostics notification
  server.send(request(7, "textDocument/codeLens", code_lens_params("file:///w/a.zv")));
  EXPECT_EQ(server.read_frame(), R"({"jsonrpc":"2.0","id":7,"result":[]})");

  server.close_input();
  EXPECT_EQ(server.wait_exit(), 0);
}

}  // namespace
}  // namespace zevo::testing

// The diagnostics notification after opens and changes, through the real binary.
#include <gtest/gtest.h>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

TEST(DiagnosticsPublishE2E, OpenAndChangePublishCloseDoesNot) {
  LspServer server;
  server.send(notification("textDocument/didOpen", did_open_params("FILE:///w/a.zv", "fonksiyon f() {\n}\n")));
  EXPECT_EQ(server.read_frame(), diagnostics_notification("file:///w/a.zv"));
  server.send(notification("textDocument/didChange", did_change_params("file:///w/a.zv", 2, "{ }")));
  EXPECT_EQ(server.read_frame(), diagnostics_notification("file:///w/a.zv"));
  server.send(notification("textDocument/didChange", did_change_params("file:///w/a.zv", 3, "{ { } }")));
  EXPECT_EQ(server.read_frame(), diagnostics_notification("file:///w/a.zv"));
  server.send(notification("textDocument/didClose", did_close_params("file:///w/a.zv")));
  server.send(request(9, "shutdown"));
  // Nothing stands between the last publication and the shutdown answer.
  EXPECT_EQ(server.read_frame(), R"({"jsonrpc":"2.0","id":9,"result":null})");
  server.close_input();
  EXPECT_EQ(server.wait_exit(), 0);
}

}  // namespace
}  // namespace zevo::testing

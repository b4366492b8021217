// The missing-closing-brace diagnostic as the client receives it: exact bytes.
#include <gtest/gtest.h>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

constexpr const char* kUnbalanced =
    R"([{"message":"Eksik kapatma parantezi: 2 açılış, 1 kapanış",)"
    R"("range":{"end":{"character":1,"line":0},"start":{"character":0,"line":0}},"severity":1,"source":"ZEVO"}])";

TEST(DiagnosticsE2E, UnbalancedBraceIsPublishedAndClearedWhenBalanced) {
  LspServer server;
  server.send(notification("textDocument/didOpen",
                           did_open_params("file:///w/ana.zv", "fonksiyon ana() {\n  eğer a { b }\n")));
  const std::string published = diagnostics_notification("file:///w/ana.zv", kUnbalanced);
  const std::string cleared = diagnostics_notification("file:///w/ana.zv");
  EXPECT_EQ(server.read_frame(), published);
  server.send(notification("textDocument/didChange",
                           did_change_params("file:///w/ana.zv", 2, "fonksiyon ana() {\n  eğer a { b }\n}\n")));
  EXPECT_EQ(server.read_frame(), cleared);
  server.send(notification("textDocument/didChange", did_change_params("file:///w/ana.zv", 3, "{ { }")));
  EXPECT_EQ(server.read_frame(), published);
  server.close_input();
  EXPECT_EQ(server.wait_exit(), 0);
}

TEST(DiagnosticsE2E, ExactBytesOnStandardOutput) {
  const std::string open = notification("textDocument/didOpen", did_open_params("file:///a.zv", "x {{ }"));
  const Session session = run_session(frame(open));
  const std::string body = diagnostics_notification("file:///a.zv", kUnbalanced);
  EXPECT_EQ(body,
            std::string(R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":)") +
                kUnbalanced + R"(,"uri":"file:///a.zv"}})");
  EXPECT_EQ(session.stdout_bytes, "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_EQ(session.exit_code, 0);
}

}  // namespace
}  // namespace zevo::testing

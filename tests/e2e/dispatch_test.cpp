// The method table through the real binary: exact names, the error answers
// of the dispatcher, and requests served whatever the lifecycle.
#include <gtest/gtest.h>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string not_found(int id, std::string_view method) {
  return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"error":{"code":-32601,"message":"Method not found: )" +
         std::string(method) + R"("}})";
}

TEST(DispatchE2E, NamesOutsideTheTableAreNotFound) {
  const char* methods[] = {
      "exit",
      "initialized",
      "textDocument/Hover",
      "textdocument/hover",
      "textDocument/hover ",
      "textDocument/semanticTokens/range",
      "textDocument/semanticTokens/full/delta",
      "textDocument/",
      "shutdow",
      "",
      "$/cancelRequest",
      "workspace/symbol",
      "ı",
  };
  std::string input;
  std::vector<std::string> expected;
  int id = 0;
  for (const char* method : methods) {
    input += frame(request(++id, method, "{}"));
    expected.push_back(not_found(id, method));
  }
  const Session s = run_session(input);
  EXPECT_EQ(s.frames, expected);
  EXPECT_EQ(s.exit_code, 0);
}

TEST(DispatchE2E, ShutdownAnswersNullWithAnyParams) {
  const Session s = run_session(frame(request(1, "shutdown")) + frame(request(2, "shutdown", "[1,2]")) +
                                frame(request(3, "shutdown", "null")) + frame(request(4, "shutdown", R"("x")")));
  std::vector<std::string> expected;
  for (int id = 1; id <= 4; ++id) expected.push_back(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"result":null})");
  EXPECT_EQ(s.frames, expected);
}

TEST(DispatchE2E, RequestsBeforeInitializeAndAfterShutdown) {
  const std::string init = R"({"capabilities":{}})";
  const Session s = run_session(frame(request(1, "shutdown")) + frame(request(2, "initialize", init)) +
                                frame(request(3, "shutdown")) + frame(request(4, "initialize", init)));
  ASSERT_EQ(s.frames.size(), 4u);
  EXPECT_EQ(s.frames[1].rfind(R"({"jsonrpc":"2.0","id":2,"result":{"capabilities":)", 0), 0u);
  EXPECT_EQ(s.frames[3].substr(s.frames[3].find("\"result\"")), s.frames[1].substr(s.frames[1].find("\"result\"")));
}

TEST(DispatchE2E, InitializeParamsOfTheWrongShape) {
  const char* params[] = {nullptr, "null", "[]", R"([{"capabilities":{}}])", "5", R"({})"};
  std::string input;
  std::vector<std::string> expected;
  int id = 0;
  for (const char* p : params) {
    input += frame(p ? request(++id, "initialize", p) : request(++id, "initialize"));
    expected.push_back(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) +
                       R"(,"error":{"code":-32600,"message":"Invalid initialize params"}})");
  }
  EXPECT_EQ(run_session(input).frames, expected);
}

}  // namespace
}  // namespace zevo::testing

namespace zevo::testing {
namespace {

std::string error_answer(int id, int code, std::string_view message) { return error_response(id, code, message); }

TEST(DispatchE2E, RecordParamsAndDocumentLookups) {
  const std::string spaced = "file:///w/a b.zv";  // stored as file:///w/a%20b.zv
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params(spaced, "fonksiyon f() {\n}\n"))) +
      frame(request(1, "shutdown")) +
      frame(request(2, "textDocument/hover")) + frame(request(3, "textDocument/hover", "null")) +
      frame(request(4, "textDocument/hover", R"([{"uri":"file:///w/a.zv"},{"line":0,"character":0}])")) +
      frame(request(5, "textDocument/hover", position_params("a.zv", 0, 0))) +
      // The record-style lookup serialises the URI; the raw-style one takes it as sent.
      frame(request(6, "textDocument/hover", position_params(spaced, 0, 2))) +
      frame(request(7, "textDocument/codeLens", R"({"textDocument":{"uri":)" + json_string(spaced) + "}}")) +
      frame(request(8, "textDocument/codeLens")) +
      frame(request(9, "textDocument/prepareRename", position_params(spaced, 0, 11))) +
      frame(request(10, "textDocument/prepareRename", R"([{"uri":"file:///w/a b.zv"},{"line":0,"character":11}])"));
  const Session s = run_session(input);
  ASSERT_EQ(s.frames.size(), 11u);
  EXPECT_EQ(s.frames[1], R"({"jsonrpc":"2.0","id":1,"result":null})");
  for (int i = 2; i <= 5; ++i) EXPECT_EQ(s.frames[i], error_answer(i, -32600, "Invalid hover params"));
  EXPECT_EQ(s.frames[6].rfind(R"({"jsonrpc":"2.0","id":6,"result":{"contents":{"kind":"markdown","value":)", 0), 0u);
  EXPECT_EQ(s.frames[7], error_answer(7, -32603, "Code lens error: Document not found"));
  EXPECT_EQ(s.frames[8], error_answer(8, -32603, "Code lens error: Missing textDocument.uri"));
  // Both forms of the prepareRename params give the same answer.
  EXPECT_EQ(s.frames[9].substr(s.frames[9].find("\"result\"")), s.frames[10].substr(s.frames[10].find("\"result\"")));
}

}  // namespace
}  // namespace zevo::testing

// Document symbols, semantic tokens and inlay hints through the server: exact response bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string result(int id, std::string_view json) { return result_response(id, json); }

std::string error(int id, std::string_view message) { return error_response(id, -32603, message); }

std::string document_params(std::string_view uri) { return R"({"textDocument":{"uri":)" + json_string(uri) + "}}"; }

TEST(SymbolsSession, OutlineOfAnOpenDocument) {
  // The store keeps the serialised URI; the outline looks the URI up as sent.
  const std::string input =
      frame(notification("textDocument/didOpen",
                         did_open_params("FILE:///s.zv", "fonksiyon topla(a, b) -> tamsayı {\r\n  sabit ÇAP = 2\n"))) +
      frame(request(1, "textDocument/documentSymbol", document_params("file:///s.zv"))) +
      frame(request(2, "textDocument/documentSymbol", document_params("FILE:///s.zv"))) +
      frame(request(3, "textDocument/documentSymbol")) +
      frame(request(4, "textDocument/documentSymbol", R"({"textDocument":{"uri":7}})")) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> expected = {
      result(1, R"([{"detail":"topla(a, b) -> tamsayı","kind":12,"name":"topla",)"
                R"("range":{"end":{"character":34,"line":0},"start":{"character":0,"line":0}},)"
                R"("selectionRange":{"end":{"character":15,"line":0},"start":{"character":10,"line":0}}},)"
                R"({"detail":"ÇAP","kind":14,"name":"ÇAP",)"
                R"("range":{"end":{"character":15,"line":1},"start":{"character":0,"line":1}},)"
                R"("selectionRange":{"end":{"character":11,"line":1},"start":{"character":8,"line":1}}}])"),
      result(2, "null"),
      result(3, "null"),
      result(4, "null"),
  };
  EXPECT_EQ(responses(session), expected);
  EXPECT_EQ(session.exit_code, 0);
}

TEST(SemanticTokensSession, RelativeDataOrEmpty) {
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params("file:///t.zv", "let x = 1\nx = 2\n"))) +
      frame(request(1, "textDocument/semanticTokens/full", document_params("file:///t.zv"))) +
      frame(notification("textDocument/didChange", did_change_params("file:///t.zv", 2, "@gizli 😀\"a\""))) +
      frame(request(2, "textDocument/semanticTokens/full", document_params("file:///t.zv"))) +
      frame(request(3, "textDocument/semanticTokens/full", document_params("file:///closed.zv"))) +
      frame(request(4, "textDocument/semanticTokens/full")) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> expected = {
      result(1, R"({"data":[0,0,3,15,0,0,4,1,8,1,0,2,1,21,0,0,2,1,19,0,1,2,1,21,0,0,2,1,19,0]})"),
      // The annotation's class bit is "classified", the legend's modifier 13.
      result(2, R"({"data":[0,0,6,22,8192,0,9,3,18,0]})"),
      result(3, R"({"data":[]})"),
      result(4, R"({"data":[]})"),
  };
  EXPECT_EQ(responses(session), expected);
}

TEST(InlayHintsSession, HintsAndErrors) {
  const std::string uri = "file:///h.zv";
  const std::string text = "let x = 5\nyazdır(\"merhaba\")\nfonksiyon f() {\n";
  auto ranged = [&](std::string_view start, std::string_view end) {
    return R"({"textDocument":{"uri":")" + uri + R"("},"range":{"start":{"line":)" + std::string(start) +
           R"(,"character":0},"end":{"line":)" + std::string(end) + R"(,"character":0}}})";
  };
  const std::string input = frame(notification("textDocument/didOpen", did_open_params(uri, text))) +
                            frame(request(1, "textDocument/inlayHint", ranged("0", "2"))) +
                            frame(request(2, "textDocument/inlayHint", ranged("1", "1"))) +
                            frame(request(3, "textDocument/inlayHint", ranged("2", "0"))) +
                            // Beyond 32 bits: the last possible line, not a wrapped one.
                            frame(request(4, "textDocument/inlayHint", ranged("4294967296", "4294967296"))) +
                            frame(request(5, "textDocument/inlayHint", ranged("-1", "1.0"))) +
                            frame(request(6, "textDocument/inlayHint")) +
                            frame(request(7, "textDocument/inlayHint", document_params("file:///closed.zv"))) +
                            frame(notification("exit"));
  const Session session = run_session(input);
  const std::string all =
      R"([{"kind":1,"label":": int","position":{"character":5,"line":0}},)"
      R"({"kind":2,"label":"mesaj: ","paddingRight":true,"position":{"character":7,"line":1}},)"
      R"({"kind":1,"label":" -> void","paddingLeft":true,"position":{"character":14,"line":2}}])";
  const std::vector<std::string> expected = {
      result(1, all),
      result(2, R"([{"kind":2,"label":"mesaj: ","paddingRight":true,"position":{"character":7,"line":1}}])"),
      result(3, "[]"),
      result(4, "[]"),
      result(5, all),
      error(6, "Inlay hints error: Missing textDocument.uri"),
      error(7, "Inlay hints error: Document not found"),
  };
  EXPECT_EQ(responses(session), expected);
}

}  // namespace
}  // namespace zevo::testing

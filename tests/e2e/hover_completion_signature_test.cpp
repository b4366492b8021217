// Hover, completion and signature help through the server: the response
// envelopes and their exact bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/hover.hpp"
#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string response(int id, std::string_view result) { return result_response(id, result); }

std::string null_result(int id) { return response(id, "null"); }

std::string hover_result(int id, std::string_view text) {
  return response(id, R"({"contents":{"kind":"markdown","value":)" + json_string(text) + "}}");
}

std::string_view row_text(std::size_t number) { return lsp::HOVER_TEXTS[number - 1].text; }

TEST(HoverSession, AnswersTheWordUnderTheCursorOrNull) {
  const std::string uri = "file:///h.zv";
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params(uri, "if x\n  @public\n😀😀 if\nIf\r\n"))) +
      frame(request(1, "textDocument/hover", position_params(uri, 0, 1))) +
      frame(request(2, "textDocument/hover", position_params(uri, 1, 2))) +
      frame(request(3, "textDocument/hover", position_params(uri, 2, 5))) +
      frame(request(4, "textDocument/hover", position_params(uri, 2, 7))) +   // end of the line
      frame(request(5, "textDocument/hover", position_params(uri, 3, 0))) +   // case-sensitive
      frame(request(6, "textDocument/hover", position_params(uri, 9, 0))) +   // no such line
      frame(request(7, "textDocument/hover", position_params("file:///closed.zv", 0, 0))) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> expected = {
      R"({"jsonrpc":"2.0","id":1,"result":{"contents":{"kind":"markdown","value":"**Şart İfadesi / Conditional )"
      R"(Statement**\n\n```zevo\neğer koşul ise\n  // kod\ndeğilse\n  // kod\nson\n```\n\nKoşullu kod bloğu )"
      R"(çalıştırır."}}})",
      hover_result(2, row_text(1)),
      hover_result(3, row_text(14)),
      null_result(4),
      null_result(5),
      null_result(6),
      null_result(7),
  };
  EXPECT_EQ(responses(session), expected);
  EXPECT_EQ(session.exit_code, 0);
}

TEST(HoverSession, FollowsChangesAndTheSerialisedUri) {
  // The store keeps the serialised URI; hover serialises the request's URI the same way.
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params("file:///a b.zv", "x"))) +
      frame(request(1, "textDocument/hover", position_params("file:///a b.zv", 0, 0))) +
      frame(notification("textDocument/didChange", did_change_params("file:///a%20b.zv", 2, "sabit"))) +
      frame(request(2, "textDocument/hover", position_params("file:///a b.zv", 0, 0))) +
      frame(notification("textDocument/didClose", did_close_params("file:///a b.zv"))) +
      frame(request(3, "textDocument/hover", position_params("file:///a%20b.zv", 0, 0))) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> expected = {null_result(1), hover_result(2, row_text(18)), null_result(3)};
  EXPECT_EQ(responses(session), expected);
}

TEST(HoverSession, BadParametersAreInvalidRequest) {
  const std::string position = R"("position":{"line":0,"character":0})";
  const std::string bad[] = {
      request(1, "textDocument/hover"),
      request(2, "textDocument/hover", "null"),
      request(3, "textDocument/hover", R"([{"uri":"file:///a.zv"},{"line":0,"character":0}])"),
      request(4, "textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"}})"),
      request(5, "textDocument/hover", R"({"textDocument":{"uri":"not a uri"},)" + position + "}"),
      request(6, "textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":-1,"character":0}})"),
      request(7, "textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":1.0}})"),
      request(8, "textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"},)" + position + R"(,"workDoneToken":1.5})"),
  };
  std::string input;
  for (const auto& body : bad) input += frame(body);
  // Unknown members, a text token and an unchecked partial-result token are accepted.
  input += frame(request(9, "textDocument/hover",
                         R"({"textDocument":{"uri":"file:///a.zv","x":[]},)" + position +
                             R"(,"workDoneToken":"t","partialResultToken":1.5,"extra":{}})"));
  input += frame(notification("exit"));
  const Session session = run_session(input);
  std::vector<std::string> expected;
  for (int id = 1; id <= 8; ++id) {
    expected.push_back(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) +
                       R"(,"error":{"code":-32600,"message":"Invalid hover params"}})");
  }
  expected.push_back(null_result(9));
  EXPECT_EQ(responses(session), expected);
}

// ---- Completion ----------------------------------------------------------

// The text of the "result" member of a response written as {"jsonrpc":..,"id":N,"result":...}.
std::string result_text(const std::string& response) {
  const std::string marker = R"(,"result":)";
  const std::size_t at = response.find(marker);
  if (at == std::string::npos || response.back() != '}') return "<no result>";
  return response.substr(at + marker.size(), response.size() - at - marker.size() - 1);
}

TEST(CompletionSession, SameCatalogueForEveryRequest) {
  const std::string open = R"({"textDocument":{"uri":"file:///o.zv"},"position":{"line":0,"character":2}})";
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params("file:///o.zv", "eğer x ise\n"))) +
      frame(request(1, "textDocument/completion", open)) +
      frame(request(2, "textDocument/completion",
                    R"({"textDocument":{"uri":"file:///never.zv"},"position":{"line":40,"character":7},)"
                    R"("context":{"triggerKind":2,"triggerCharacter":"."}})")) +
      frame(request(3, "textDocument/completion",
                    R"({"textDocument":{"uri":"untitled:Untitled-1"},"position":{"line":0,"character":0},)"
                    R"("context":null,"workDoneToken":7,"partialResultToken":"p"})")) +
      frame(notification("exit"));
  const auto answers = responses(run_session(input));
  ASSERT_EQ(answers.size(), 3u);
  const std::string catalogue = result_text(answers[0]);
  EXPECT_EQ(result_text(answers[1]), catalogue);
  EXPECT_EQ(result_text(answers[2]), catalogue);
  EXPECT_EQ(answers[0].rfind(R"({"jsonrpc":"2.0","id":1,"result":[)", 0), 0u);

  const auto items = nlohmann::json::parse(catalogue);
  ASSERT_TRUE(items.is_array());
  ASSERT_EQ(items.size(), 140u);
  struct Place {
    std::size_t number;
    const char* label;
  };
  for (const Place& p : {Place{1, "eğer"}, Place{12, "if"}, Place{23, "tamsayı"}, Place{42, "doğru"},
                         Place{46, "abs"}, Place{133, "yazdır"}, Place{140, "tau"}}) {
    EXPECT_EQ(items[p.number - 1]["label"], p.label) << "item " << p.number;
  }
  // Exact bytes of the first items and of the constants at the end.
  EXPECT_EQ(catalogue.rfind(
                R"j([{"detail":"if statement","insertText":"eğer ${1:koşul} ise\n  ${2}\nson","insertTextFormat":2,)j"
                R"j("kind":14,"label":"eğer"},{"detail":"while loop","insertText":"iken ${1:koşul}\n  ${2}\nson",)j"
                R"j("insertTextFormat":2,"kind":14,"label":"iken"},)j",
                0),
            0u);
  const std::string constants =
      R"j({"detail":"π = 3.14159...","documentation":{"kind":"markdown","value":"**Sabit**: `pi`\n\nDeğer: )j"
      R"j(`3.141592653589793`"},"kind":21,"label":"pi"},{"detail":"Euler sabiti = 2.71828...","documentation":)j"
      R"j({"kind":"markdown","value":"**Sabit**: `e`\n\nDeğer: `2.718281828459045`"},"kind":21,"label":"e"},)j"
      R"j({"detail":"τ = 2π = 6.28318...","documentation":{"kind":"markdown","value":"**Sabit**: `tau`\n\n)j"
      R"j(Değer: `6.283185307179586`"},"kind":21,"label":"tau"}])j";
  ASSERT_GE(catalogue.size(), constants.size());
  EXPECT_EQ(catalogue.substr(catalogue.size() - constants.size()), constants);
}

TEST(CompletionSession, UndecodableParametersAreInvalidRequest) {
  const std::string doc = R"("textDocument":{"uri":"file:///a.zv"})";
  const std::string pos = R"("position":{"line":0,"character":0})";
  const std::string bad[] = {
      "",  // no params member
      "null",
      R"([{"uri":"file:///a.zv"},{"line":0,"character":0}])",
      "{" + doc + "}",
      "{" + doc + "," + pos + R"(,"context":{}})",
      "{" + doc + "," + pos + R"(,"context":{"triggerKind":"1"}})",
      R"({"textDocument":{"uri":"a.zv"},)" + pos + "}",
      "{" + doc + R"(,"position":{"line":1e0,"character":0}})",
      "{" + doc + R"(,"position":{"line":4294967296,"character":0}})",
      "{" + doc + "," + pos + R"(,"partialResultToken":true})",
  };
  std::string input;
  int id = 0;
  for (const auto& params : bad) {
    ++id;
    input += frame(params.empty() ? request(id, "textDocument/completion")
                                  : request(id, "textDocument/completion", params));
  }
  input += frame(request(++id, "textDocument/completion", "{" + doc + "," + pos + R"(,"context":{"triggerKind":3}})"));
  input += frame(notification("exit"));
  const auto answers = responses(run_session(input));
  ASSERT_EQ(answers.size(), std::size(bad) + 1);
  for (std::size_t i = 0; i < std::size(bad); ++i) {
    EXPECT_EQ(answers[i], R"({"jsonrpc":"2.0","id":)" + std::to_string(i + 1) +
                              R"(,"error":{"code":-32600,"message":"Invalid completion params"}})")
        << bad[i];
  }
  EXPECT_EQ(result_text(answers.back()).substr(0, 2), "[{");
}

// ---- Signature help ------------------------------------------------------

TEST(SignatureSession, BuiltinAndDeclaredSignatures) {
  const std::string uri = "file:///s.zv";
  const std::string text =
      "pow(2, \n"
      "fonksiyon topla(a: tamsayı, b: tamsayı) -> tamsayı {\n"
      "x = topla(1, \n"
      "yaz(";
  const std::string input = frame(notification("textDocument/didOpen", did_open_params(uri, text))) +
                            frame(request(1, "textDocument/signatureHelp", position_params(uri, 0, 7))) +
                            frame(request(2, "textDocument/signatureHelp", position_params(uri, 2, 13))) +
                            frame(request(3, "textDocument/signatureHelp", position_params(uri, 3, 4))) +
                            frame(notification("exit"));
  const std::vector<std::string> expected = {
      response(1, R"j({"activeParameter":1,"activeSignature":0,"signatures":[{"documentation":"Power operation",)j"
                  R"j("label":"pow(base: float, exponent: float) -> float","parameters":[{"label":"base: float"},)j"
                  R"j({"label":"exponent: float"}]}]})j"),
      response(2, R"j({"activeParameter":1,"activeSignature":0,"signatures":[{"documentation":"Function: topla",)j"
                  R"j("label":"topla(a: tamsayı, b: tamsayı) -> tamsayı","parameters":[{"label":"a: tamsayı"},)j"
                  R"j({"label":"b: tamsayı"}]}]})j"),
      response(3, R"j({"activeParameter":0,"activeSignature":0,"signatures":[{"documentation":"Ekrana metin yazdırır",)j"
                  R"j("label":"yazdır(mesaj: metin)","parameters":[{"label":"mesaj: metin"}]}]})j"),
  };
  EXPECT_EQ(responses(run_session(input)), expected);
}

TEST(SignatureSession, UnmetConditionsAnswerNull) {
  // Stored under the serialised "file:///A.zv"; signature help looks the URI up as sent.
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params("FILE:///A.zv", "oku(\nf(x)"))) +
      frame(request(1, "textDocument/signatureHelp", position_params("FILE:///A.zv", 0, 4))) +
      frame(request(2, "textDocument/signatureHelp", position_params("file:///A.zv", 0, 4))) +
      frame(request(3, "textDocument/signatureHelp")) +
      frame(request(4, "textDocument/signatureHelp", "[1,2]")) +
      frame(request(5, "textDocument/signatureHelp", R"({"textDocument":{"uri":"file:///A.zv"},"position":{"line":0,"character":4.0}})")) +
      frame(request(6, "textDocument/signatureHelp", position_params("file:///A.zv", 0, 0))) +
      frame(request(7, "textDocument/signatureHelp", position_params("file:///A.zv", 1, 4))) +
      frame(request(8, "textDocument/signatureHelp", position_params("file:///A.zv", 2, 0))) +
      frame(notification("exit"));
  const std::vector<std::string> expected = {
      response(1, "null"),
      response(2, R"({"activeParameter":0,"activeSignature":0,"signatures":[{"documentation":"Kullanıcıdan girdi okur",)"
                  R"("label":"oku() -> metin","parameters":[]}]})"),
      response(3, "null"),
      response(4, "null"),
      response(5, "null"),
      response(6, "null"),
      response(7, "null"),
      response(8, "null"),
  };
  EXPECT_EQ(responses(run_session(input)), expected);
}

}  // namespace
}  // namespace zevo::testing

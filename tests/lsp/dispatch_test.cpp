// Whole responses written in-process, and every method family against the
// answer limit, lowered through the writer so that no test needs an answer of
// 512 MiB.
#include <gtest/gtest.h>

#include <string>

#include "json/json.hpp"
#include "lsp/dispatch.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

std::string response(ServerState& state, std::string_view method, Params params, const json& id,
                     std::size_t limit = zevo::json::kMaxMessageBytes) {
  zevo::json::Writer out(limit);
  RequestContext context{std::move(params), method, state};
  write_answer(context, id, out);
  EXPECT_EQ(out.limit(), limit);
  return out.text();
}

TEST(WriteAnswer, ResultsAndErrors) {
  ServerState state;
  EXPECT_EQ(response(state, "shutdown", std::nullopt, 1), R"({"jsonrpc":"2.0","id":1,"result":null})");
  EXPECT_EQ(response(state, "exit", std::nullopt, -7),
            R"({"jsonrpc":"2.0","id":-7,"error":{"code":-32601,"message":"Method not found: exit"}})");
  EXPECT_EQ(response(state, "textDocument/hover", json::array(), "x"),
            R"({"jsonrpc":"2.0","id":"x","error":{"code":-32600,"message":"Invalid hover params"}})");
  EXPECT_EQ(response(state, "textDocument/codeLens", std::nullopt, nullptr),
            R"({"jsonrpc":"2.0","id":null,"error":{"code":-32603,"message":"Code lens error: Missing textDocument.uri"}})");
  // The catalogue goes out as it was written once.
  const std::string completion =
      response(state, "textDocument/completion",
               json{{"textDocument", {{"uri", "file:///a.zv"}}}, {"position", {{"line", 0}, {"character", 0}}}}, 2);
  EXPECT_TRUE(completion.starts_with(R"({"jsonrpc":"2.0","id":2,"result":[{"detail":)")) << completion;
  // A writer used before starts afresh.
  zevo::json::Writer out;
  out.raw("[1,2,3]");
  RequestContext context{std::nullopt, "shutdown", state};
  write_answer(context, 3, out);
  EXPECT_EQ(out.text(), R"({"jsonrpc":"2.0","id":3,"result":null})");
}

json at(std::string_view uri, uint32_t line, uint32_t character) {
  return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

// Every method that answers a result, each with a document that gives it
// something to say: below the full size of its response the answer is refused
// with the limit's text (after the method's own prefix), at the full size it
// is sent unchanged.
TEST(AnswerLimit, EveryMethodFamily) {
  ServerState state;
  const std::string uri = "file:///a.zv";
  open_document(state, uri,
                "fonksiyon topla(a, b) {\n  değişken x = topla(1, 2)\n  yazdır(x)\n}\nsqrt(\nlet y = 5\n"
                "eğer x ise\n  x = x + 1\nson\n");
  json rename = at(uri, 1, 12);
  rename["newName"] = std::string(300, 'q');
  json references = at(uri, 1, 12);
  references["context"] = {{"includeDeclaration", true}};
  const json document = {{"textDocument", {{"uri", uri}}}};
  json code_action = document;
  code_action["range"] = {{"start", {{"line", 6}, {"character", 0}}}, {"end", {{"line", 6}, {"character", 4}}}};
  json diagnostic = json::object();
  diagnostic["message"] = "undefined 'z'";
  code_action["context"]["diagnostics"] = json::array({diagnostic});
  struct Case {
    std::string_view method;
    json params;
    std::string_view prefix;
  };
  const Case cases[] = {
      {"initialize", json::object({{"capabilities", json::object()}}), ""},
      {"shutdown", nullptr, ""},
      {"textDocument/hover", at(uri, 6, 1), ""},
      {"textDocument/completion", at(uri, 0, 0), ""},
      {"textDocument/signatureHelp", at(uri, 4, 5), ""},
      {"textDocument/definition", at(uri, 2, 10), ""},
      {"textDocument/references", references, ""},
      {"textDocument/rename", rename, ""},
      {"textDocument/prepareRename", at(uri, 1, 12), ""},
      {"textDocument/documentSymbol", document, ""},
      {"textDocument/semanticTokens/full", document, ""},
      {"textDocument/inlayHint", document, "Inlay hints error: "},
      {"textDocument/codeLens", document, "Code lens error: "},
      {"textDocument/codeAction", code_action, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method));
    const Params params = c.params.is_null() ? Params() : Params(c.params);
    const std::string full = response(state, c.method, params, 5);
    ASSERT_TRUE(full.starts_with(R"({"jsonrpc":"2.0","id":5,"result":)")) << full;
    EXPECT_EQ(response(state, c.method, params, 5, full.size()), full);
    const std::string prefix(c.prefix);
    for (const std::size_t limit : {full.size() - 1, full.size() / 2, std::size_t{40}, std::size_t{0}}) {
      if (limit >= full.size()) continue;
      const std::string refused = response(state, c.method, params, 5, limit);
      const json answer = json::parse(refused);
      ASSERT_EQ(answer["error"]["code"], -32603) << refused;
      const std::string message = answer["error"]["message"];
      const std::string head = prefix + "Serialization error: an answer of ";
      const std::string tail = " bytes exceeds the limit of " + std::to_string(limit) + " bytes";
      ASSERT_TRUE(message.starts_with(head) && message.ends_with(tail)) << message;
      const std::size_t reached = std::stoull(message.substr(head.size()));
      // The size that the write passing the limit would have brought the
      // response to: beyond the limit, and never beyond the whole response.
      EXPECT_GT(reached, limit);
      EXPECT_LE(reached, full.size());
      if (limit == full.size() - 1) {
        EXPECT_EQ(reached, full.size());
      }
    }
  }
}

}  // namespace
}  // namespace zevo::lsp

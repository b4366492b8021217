// Rename, prepare rename, go to definition and find references through the
// server: exact response bytes, and for several documents the entries of each
// document compared on their own (the documents come in no defined order).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string result(int id, std::string_view json) { return result_response(id, json); }

std::string invalid(int id, std::string_view message) { return error_response(id, -32600, message); }

std::string rename_params(std::string_view uri, int line, int character, std::string_view new_name) {
  return R"({"textDocument":{"uri":")" + std::string(uri) + R"("},"position":{"line":)" + std::to_string(line) +
         R"(,"character":)" + std::to_string(character) + R"(},"newName":)" + json_string(new_name) + "}";
}

std::string location(int line, int start, int end, std::string_view uri) {
  return R"({"range":{"end":{"character":)" + std::to_string(end) + R"(,"line":)" + std::to_string(line) +
         R"(},"start":{"character":)" + std::to_string(start) + R"(,"line":)" + std::to_string(line) +
         R"(}},"uri":")" + std::string(uri) + R"("})";
}

TEST(RenameSession, EditsEveryOpenDocumentUnderItsSerialisedUri) {
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params("file:///b.zv", "let x = x + 1\nxs"))) +
      frame(notification("textDocument/didOpen", did_open_params("file:///a b.zv", "😀 = x"))) +
      frame(notification("textDocument/didOpen", did_open_params("file:///c.zv", "x2"))) +
      frame(request(1, "textDocument/rename", rename_params("file:///b.zv", 0, 8, "değer"))) +
      frame(request(2, "textDocument/rename", rename_params("file:///b.zv", 0, 8, "9x"))) +
      frame(request(3, "textDocument/rename", rename_params("file:///b.zv", 1, 2, "y"))) +
      frame(request(4, "textDocument/rename", rename_params("file:///none.zv", 0, 0, "y"))) +
      frame(request(5, "textDocument/rename", R"([{"uri":"file:///b.zv"},{"line":0,"character":4},"y"])")) +
      frame(request(6, "textDocument/rename")) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> expected = {
      result(1, R"({"changes":{"file:///a%20b.zv":[{"newText":"değer","range":{"end":{"character":6,"line":0},)"
                R"("start":{"character":5,"line":0}}}],"file:///b.zv":[{"newText":"değer","range":{"end":)"
                R"({"character":5,"line":0},"start":{"character":4,"line":0}}},{"newText":"değer","range":{"end":)"
                R"({"character":9,"line":0},"start":{"character":8,"line":0}}}]}})"),
      result(2, "null"),
      result(3, "null"),
      result(4, "null"),
      invalid(5, "Invalid rename params"),
      invalid(6, "Invalid rename params"),
  };
  EXPECT_EQ(responses(session), expected);
  EXPECT_EQ(session.exit_code, 0);
}

TEST(PrepareRenameSession, ObjectAndArrayFormsAndReservedWords) {
  const std::string uri = "file:///p.zv";
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params(uri, "let sayı = 5"))) +
      frame(request(1, "textDocument/prepareRename", position_params(uri, 0, 5))) +
      frame(request(2, "textDocument/prepareRename", R"([{"uri":"file:///p.zv"},{"line":0,"character":5}])")) +
      frame(request(3, "textDocument/prepareRename", position_params(uri, 0, 3))) +
      frame(request(4, "textDocument/prepareRename", position_params(uri, 0, 12))) +
      frame(request(5, "textDocument/prepareRename", R"([{"uri":"file:///p.zv"}])")) +
      frame(request(6, "textDocument/prepareRename",
                    R"([{"uri":"file:///p.zv"},{"line":0,"character":5},{}])")) +
      frame(request(7, "textDocument/prepareRename", "null")) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::string found =
      R"({"placeholder":"sayı","range":{"end":{"character":8,"line":0},"start":{"character":4,"line":0}}})";
  const std::vector<std::string> expected = {
      result(1, found),
      result(2, found),
      result(3, "null"),
      result(4, "null"),
      invalid(5, "Invalid prepareRename params"),
      invalid(6, "Invalid prepareRename params"),
      invalid(7, "Invalid prepareRename params"),
  };
  EXPECT_EQ(responses(session), expected);
}

TEST(DefinitionSession, FindsTheFirstDeclarationAndFollowsChanges) {
  const std::string input =
      frame(notification("textDocument/didOpen",
                         did_open_params("file:///a b.zv", "x = 1\nsayı := 0\nlet a = 2\ndeğişken sayı = 5\n"))) +
      frame(request(1, "textDocument/definition", position_params("file:///a%20b.zv", 1, 2))) +
      frame(request(2, "textDocument/definition", position_params("file:///a b.zv", 0, 0))) +
      frame(notification("textDocument/didChange", did_change_params("file:///a b.zv", 2, "sayı\nsabit sayı"))) +
      frame(request(3, "textDocument/definition", position_params("file:///a b.zv", 0, 2))) +
      frame(request(4, "textDocument/definition", position_params("file:///a b.zv", 2, 0))) +
      frame(request(5, "textDocument/definition", position_params("file:///other.zv", 0, 0))) +
      frame(request(6, "textDocument/definition", R"([{"uri":"file:///a.zv"},{"line":0,"character":0}])")) +
      frame(request(7, "textDocument/definition", R"({"textDocument":{"uri":"file:///a.zv"}})")) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> expected = {
      result(1, location(3, 9, 13, "file:///a%20b.zv")),
      result(2, "null"),
      result(3, location(1, 6, 10, "file:///a%20b.zv")),
      result(4, "null"),
      result(5, "null"),
      invalid(6, "Invalid definition params"),
      invalid(7, "Invalid definition params"),
  };
  EXPECT_EQ(responses(session), expected);
  EXPECT_EQ(session.exit_code, 0);
}

std::string reference_params(std::string_view uri, int line, int character, bool include_declaration) {
  return R"({"context":{"includeDeclaration":)" + std::string(include_declaration ? "true" : "false") +
         R"(},"position":{"character":)" + std::to_string(character) + R"(,"line":)" + std::to_string(line) +
         R"(},"textDocument":{"uri":")" + std::string(uri) + R"("}})";
}

TEST(ReferencesSession, WorkedExampleAndBadParams) {
  const std::string uri = "file:///r.zv";
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params(uri, "let sayaç = 0\nsayaç = sayaç + 1\nyaz(sayaç)"))) +
      frame(request(1, "textDocument/references", reference_params(uri, 2, 5, false))) +
      frame(request(2, "textDocument/references", reference_params(uri, 2, 5, true))) +
      frame(request(3, "textDocument/references", reference_params(uri, 0, 1, false))) +
      frame(request(4, "textDocument/references", reference_params(uri, 2, 10, true))) +
      frame(request(5, "textDocument/references", reference_params("file:///x.zv", 0, 0, true))) +
      frame(request(6, "textDocument/references", R"({"textDocument":{"uri":"file:///r.zv"},)"
                                                   R"("position":{"line":0,"character":0}})")) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::string uses = location(1, 0, 5, uri) + "," + location(1, 8, 13, uri) + "," + location(2, 4, 9, uri);
  const std::vector<std::string> expected = {
      result(1, "[" + uses + "]"),
      result(2, "[" + uses + "," + location(0, 4, 9, uri) + "]"),
      // "let" itself is a word like any other; nothing before it ends in a keyword.
      result(3, "[" + location(0, 0, 3, uri) + "]"),
      result(4, "null"),
      result(5, "null"),
      invalid(6, "Invalid references params"),
  };
  EXPECT_EQ(responses(session), expected);
  EXPECT_EQ(session.exit_code, 0);
}

TEST(ReferencesSession, SeveralDocumentsInAnyOrderEachInLineOrder) {
  const std::string input =
      frame(notification("textDocument/didOpen", did_open_params("file:///a.zv", "let x = 1\nx + x"))) +
      frame(notification("textDocument/didOpen", did_open_params("file:///b.zv", "y = x\n\nf(x)"))) +
      frame(notification("textDocument/didOpen", did_open_params("file:///c.zv", "xx"))) +
      frame(request(1, "textDocument/references", reference_params("file:///a.zv", 1, 0, true))) +
      frame(notification("exit"));
  const Session session = run_session(input);
  const std::vector<std::string> answers = responses(session);
  ASSERT_EQ(answers.size(), 1u);
  const nlohmann::json result = nlohmann::json::parse(answers[0]).at("result");
  ASSERT_TRUE(result.is_array());
  ASSERT_FALSE(result.empty());
  // The declaration comes last, whatever order the documents came in.
  EXPECT_EQ(result.back().dump(), location(0, 4, 5, "file:///a.zv"));
  std::map<std::string, std::vector<std::string>> by_document;
  for (std::size_t i = 0; i + 1 < result.size(); ++i) {
    by_document[result[i].at("uri").get<std::string>()].push_back(result[i].dump());
  }
  const std::map<std::string, std::vector<std::string>> expected = {
      {"file:///a.zv", {location(1, 0, 1, "file:///a.zv"), location(1, 4, 5, "file:///a.zv")}},
      {"file:///b.zv", {location(0, 4, 5, "file:///b.zv"), location(2, 2, 3, "file:///b.zv")}},
  };
  EXPECT_EQ(by_document, expected);
}

}  // namespace
}  // namespace zevo::testing

// The life of the process: start-up lines, notifications, exit codes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

using Lines = std::vector<std::string>;

Lines with_start(Lines rest) {
  Lines lines = {"ZEVO Language Server v0.9.0", "Başlatılıyor...", "ZEVO Language Server başlatıldı..."};
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

TEST(LifecycleE2E, ExitWithoutShutdownEndsAtOnce) {
  // Nothing after exit is read: the trailing garbage would otherwise end it with code 1.
  const Session s = run_session(frame(notification("exit")) + "garbage\r\n\r\n");
  EXPECT_EQ(s.exit_code, 0);
  EXPECT_EQ(s.stdout_bytes, "");
  EXPECT_EQ(s.log, with_start({"Bildirim alındı: exit", "Çıkış bildirimi alındı"}));
}

TEST(LifecycleE2E, ShutdownThenExit) {
  const Session s = run_session(frame(request(1, "shutdown", "{\"x\":1}")) + frame(notification("exit")));
  EXPECT_EQ(s.exit_code, 0);
  EXPECT_EQ(s.frames, Lines{R"({"jsonrpc":"2.0","id":1,"result":null})"});
  EXPECT_EQ(s.log, with_start({"İstek alındı: shutdown", "Bildirim alındı: exit", "Çıkış bildirimi alındı"}));
}

TEST(LifecycleE2E, NotificationsThatChangeNothing) {
  const Session s = run_session(frame(notification("initialized", "{}")) + frame(notification("initialized")) +
                                frame(notification("$/cancelRequest", R"({"id":1})")) +
                                frame(notification("$/setTrace", R"({"value":"off"})")) +
                                frame(notification("textDocument/didSave", did_close_params("file:///a.zv"))));
  EXPECT_EQ(s.exit_code, 0);
  EXPECT_EQ(s.stdout_bytes, "");
  EXPECT_EQ(s.log, with_start({"Bildirim alındı: initialized", "Sunucu başlatıldı", "Bildirim alındı: initialized",
                               "Sunucu başlatıldı", "Bildirim alındı: $/cancelRequest",
                               "Bilinmeyen bildirim: $/cancelRequest", "Bildirim alındı: $/setTrace",
                               "Bilinmeyen bildirim: $/setTrace", "Bildirim alındı: textDocument/didSave",
                               "Bilinmeyen bildirim: textDocument/didSave", "EOF alındı, sunucu kapatılıyor..."}));
}

TEST(LifecycleE2E, BadDocumentNotificationsAreLoggedAndSkipped) {
  struct Case {
    const char* method;
    std::optional<std::string> params;
    const char* message;
  };
  const Case cases[] = {
      {"textDocument/didOpen", std::nullopt, "Invalid didOpen params"},
      {"textDocument/didOpen", "null", "Invalid didOpen params"},
      {"textDocument/didOpen", "5", "Invalid didOpen params"},
      {"textDocument/didOpen", did_open_params("/home/u/a.zv", "x"), "Invalid didOpen params"},
      {"textDocument/didOpen", did_open_params("file:///a.zv", "x", -1), nullptr},  // versions are signed
      {"textDocument/didOpen", R"({"textDocument":{"uri":"file:///a.zv","languageId":"zevo","version":2147483648,"text":""}})",
       "Invalid didOpen params"},
      {"textDocument/didOpen", R"({"textDocument":{"uri":"file:///a.zv","languageId":"zevo","version":1.0,"text":""}})",
       "Invalid didOpen params"},
      {"textDocument/didChange", R"({"textDocument":{"uri":"file:///a.zv","version":1},"contentChanges":[["x"]]})",
       "Invalid didChange params"},
      {"textDocument/didChange", R"({"textDocument":{"uri":"file:///a.zv","version":null},"contentChanges":[]})",
       "Invalid didChange params"},
      {"textDocument/didClose", R"({"textDocument":{"uri":"http://"}})", "Invalid didClose params"},
      {"textDocument/didClose", "[]", "Invalid didClose params"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method) + " " + c.params.value_or("(none)"));
    const Session s = run_session(frame(notification(c.method, c.params)));
    EXPECT_EQ(s.exit_code, 0);
    ASSERT_GE(s.log.size(), 5u);
    EXPECT_EQ(s.log[3], std::string("Bildirim alındı: ") + c.method);
    if (c.message) {
      EXPECT_EQ(s.log[4], std::string("Notification ") + c.method + " hatası: " + c.message);
      EXPECT_EQ(s.stdout_bytes, "");
    } else {
      EXPECT_EQ(s.frames.size(), 1u);  // a valid one publishes
    }
  }
}

TEST(LifecycleE2E, ArrayFormsOfDocumentNotifications) {
  const Session s = run_session(
      frame(notification("textDocument/didOpen", R"([["file:///a.zv","zevo",1,"x"]])")) +
      frame(notification("textDocument/didChange", R"([["file:///a.zv",2],[[null,null,"y"]]])")) +
      frame(notification("textDocument/didClose", R"([["file:///a.zv"]])")));
  EXPECT_EQ(s.exit_code, 0);
  EXPECT_EQ(s.frames.size(), 2u);
  EXPECT_EQ(s.log, with_start({"Bildirim alındı: textDocument/didOpen", "Döküman açıldı: file:///a.zv",
                               "Bildirim alındı: textDocument/didChange", "Döküman değişti: file:///a.zv",
                               "Bildirim alındı: textDocument/didClose", "Döküman kapatıldı: file:///a.zv",
                               "EOF alındı, sunucu kapatılıyor..."}));
}

TEST(LifecycleE2E, ConversationOverLivePipes) {
  LspServer server;
  server.send(request(1, "shutdown"));
  EXPECT_EQ(server.read_frame(), R"({"jsonrpc":"2.0","id":1,"result":null})");
  // Requests after shutdown are still answered.
  server.send(request(2, "shutdown"));
  EXPECT_EQ(server.read_frame(), R"({"jsonrpc":"2.0","id":2,"result":null})");
  server.close_input();
  EXPECT_EQ(server.wait_exit(), 0);
  EXPECT_EQ(server.log().back(), "EOF alındı, sunucu kapatılıyor...");
}

std::string read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The session that scripts/run-example.sh sends: every request is answered
// without an error, both document notifications publish, exit ends it.
TEST(LifecycleE2E, ExampleSessionRuns) {
  const std::string text = read_file("examples/blink.zv");
  ASSERT_FALSE(text.empty());
  std::string input;
  for (std::string line : split_lines(read_file("examples/session.jsonl"))) {
    if (line.empty()) continue;
    if (const std::size_t at = line.find("@TEXT@"); at != std::string::npos) line.replace(at, 6, json_string(text));
    input += frame(line);
  }
  const Session s = run_session(input);
  EXPECT_EQ(s.exit_code, 0);
  int responses = 0, publications = 0;
  for (const std::string& body : s.frames) {
    if (body.find("\"method\":\"textDocument/publishDiagnostics\"") != std::string::npos) {
      ++publications;
      continue;
    }
    ++responses;
    EXPECT_EQ(body.find("\"error\""), std::string::npos) << body;
  }
  EXPECT_EQ(responses, 4);
  EXPECT_EQ(publications, 2);
  EXPECT_EQ(s.log.back(), "Çıkış bildirimi alındı");
}

}  // namespace
}  // namespace zevo::testing

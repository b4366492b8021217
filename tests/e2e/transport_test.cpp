// Framing and envelopes through the real binary: exact standard output,
// standard error lines and exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

const std::vector<std::string> kStartLines = {
    "ZEVO Language Server v0.9.0",
    "Başlatılıyor...",
    "ZEVO Language Server başlatıldı...",
};
const std::string kEof = "EOF alındı, sunucu kapatılıyor...";

const std::string kShutdown = request(1, "shutdown");  // 44 bytes
const std::string kShutdownAnswer = frame(R"({"jsonrpc":"2.0","id":1,"result":null})");
const std::string kShutdownLength = std::to_string(kShutdown.size());

std::string fatal(std::string_view text) { return "Sunucu hatası: " + std::string(text); }

struct Case {
  std::string name;
  std::string input;
  std::string output;
  std::vector<std::string> log;  // after the start-up lines
  int exit_code;
};

std::vector<Case> framing_cases() {
  const std::string shutdown_log = "İstek alındı: shutdown";
  const std::string missing = fatal("Missing Content-Length header");
  return {
      {"empty input", "", "", {kEof}, 0},
      {"no space after the colon", "Content-Length:" + kShutdownLength + "\r\n\r\n" + kShutdown, kShutdownAnswer,
       {shutdown_log, kEof}, 0},
      {"white space around", " \t Content-Length: " + kShutdownLength + " \t\r\n\r\n" + kShutdown, kShutdownAnswer,
       {shutdown_log, kEof}, 0},
      {"plus sign", "Content-Length: +" + kShutdownLength + "\r\n\r\n" + kShutdown, kShutdownAnswer,
       {shutdown_log, kEof}, 0},
      {"leading zeros", "Content-Length: 00" + kShutdownLength + "\r\n\r\n" + kShutdown, kShutdownAnswer,
       {shutdown_log, kEof}, 0},
      {"plus five", "Content-Length: +5\r\n\r\n\"abc\"", "",
       {fatal(R"(Invalid notification: invalid type: string "abc", expected struct RpcNotification)")}, 1},
      {"lower-case name", "content-length: " + kShutdownLength + "\r\n\r\n" + kShutdown, "", {missing}, 1},
      {"space before the colon", "Content-Length : " + kShutdownLength + "\r\n\r\n" + kShutdown, "", {missing}, 1},
      {"later letters reset", "Content-Length: 44\r\nContent-Length: abc\r\n\r\n" + kShutdown, "", {missing}, 1},
      {"later minus resets", "Content-Length: 44\r\nContent-Length: -44\r\n\r\n" + kShutdown, "", {missing}, 1},
      {"later empty value resets", "Content-Length: 44\r\nContent-Length:\r\n\r\n" + kShutdown, "", {missing}, 1},
      {"overflow resets", "Content-Length: 44\r\nContent-Length: 18446744073709551616\r\n\r\n" + kShutdown, "",
       {missing}, 1},
      {"a still later line sets it again",
       "Content-Length: 3\r\nContent-Length: x\r\nContent-Length: 44\r\n\r\n" + kShutdown, kShutdownAnswer,
       {shutdown_log, kEof}, 0},
      {"other headers change nothing",
       "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\nContent-Length: 44\r\nX: 1\r\n\r\n" + kShutdown,
       kShutdownAnswer, {shutdown_log, kEof}, 0},
      {"stray bytes make a line no header", "xContent-Length: 44\r\n\r\n" + kShutdown, "", {missing}, 1},
      {"LF alone", "Content-Length: 44\n\n" + kShutdown, kShutdownAnswer, {shutdown_log, kEof}, 0},
      {"end of input after the length line", "Content-Length: 44\r\n", "", {kEof}, 0},
      {"end of input inside a header line", "Content-Len", "", {kEof}, 0},
      {"end of input inside the body", "Content-Length: 5\r\n\r\nabc", "", {fatal("failed to fill whole buffer")}, 1},
      {"empty body", "Content-Length: 0\r\n\r\n", "",
       {fatal("Invalid JSON: EOF while parsing a value at line 1 column 0")}, 1},
      {"line feed inside the length", "Content-Length: 45\r\n\r\n" + kShutdown + "\n", kShutdownAnswer,
       {shutdown_log, kEof}, 0},
      {"trailing characters", "Content-Length: 4\r\n\r\n{} x", "",
       {fatal("Invalid JSON: trailing characters at line 1 column 4")}, 1},
      {"byte-order mark", "Content-Length: 5\r\n\r\n\xEF\xBB\xBF{}", "",
       {fatal("Invalid JSON: expected value at line 1 column 1")}, 1},
      {"header not UTF-8", "Content-Length: 4\xFF\r\n\r\n", "", {fatal("stream did not contain valid UTF-8")}, 1},
      {"body not UTF-8", "Content-Length: 4\r\n\r\n\"a\xC3\"", "",
       {fatal("Invalid UTF-8: invalid utf-8 sequence of 1 bytes from index 2")}, 1},
      {"blank line where a header block begins", frame(kShutdown) + "\r\n", kShutdownAnswer,
       {shutdown_log, missing}, 1},
      {"two messages in one read", frame(kShutdown) + frame(kShutdown), kShutdownAnswer + kShutdownAnswer,
       {shutdown_log, shutdown_log, kEof}, 0},
  };
}

std::vector<Case> envelope_cases() {
  return {
      {"null id", frame(R"({"jsonrpc":"2.0","id":null,"method":"shutdown"})"),
       frame(R"({"jsonrpc":"2.0","id":null,"result":null})"), {"İstek alındı: shutdown", kEof}, 0},
      {"other jsonrpc text", frame(R"({"jsonrpc":"1.0","id":7,"method":"shutdown"})"),
       frame(R"({"jsonrpc":"2.0","id":7,"result":null})"), {"İstek alındı: shutdown", kEof}, 0},
      {"string id with a dotless i", frame(request_with_id(R"("ı\u0131")", "shutdown")),
       "Content-Length: 43\r\n\r\n{\"jsonrpc\":\"2.0\",\"id\":\"ıı\",\"result\":null}",
       {"İstek alındı: shutdown", kEof}, 0},
      {"double id", frame(request_with_id("1e2", "shutdown")), frame(R"({"jsonrpc":"2.0","id":100.0,"result":null})"),
       {"İstek alındı: shutdown", kEof}, 0},
      {"client response", frame(R"({"jsonrpc":"2.0","id":1,"result":null})"), "",
       {fatal("Invalid request: missing field `method`")}, 1},
      {"no jsonrpc", frame(R"({"id":1,"method":"shutdown"})"), "", {fatal("Invalid request: missing field `jsonrpc`")},
       1},
      {"neither member", frame(R"({"id":1})"), "", {fatal("Invalid request: missing field `jsonrpc`")}, 1},
      {"method not a string", frame(R"({"jsonrpc":"2.0","id":1,"method":5})"), "",
       {fatal("Invalid request: invalid type: integer `5`, expected a string")}, 1},
      {"bad members in key order", frame(R"({"method":true,"jsonrpc":5,"id":1})"), "",
       {fatal("Invalid request: invalid type: integer `5`, expected a string")}, 1},
      {"batch", frame("[" + kShutdown + "," + kShutdown + "]"), "",
       {fatal("Invalid notification: invalid type: map, expected a string")}, 1},
      {"empty array", frame("[]"), "",
       {fatal("Invalid notification: invalid length 0, expected struct RpcNotification with 3 elements")}, 1},
      {"four elements", frame(R"(["2.0","exit",null,1])"), "",
       {fatal("Invalid notification: invalid length 4, expected fewer elements in array")}, 1},
      {"array form of exit", frame(R"(["2.0","exit",null])"), "",
       {"Bildirim alındı: exit", "Çıkış bildirimi alındı"}, 0},
      {"bare number", frame("5"), "",
       {fatal("Invalid notification: invalid type: integer `5`, expected struct RpcNotification")}, 1},
      {"bare null", frame("null"), "",
       {fatal("Invalid notification: invalid type: null, expected struct RpcNotification")}, 1},
      {"notification without method", frame(R"({"jsonrpc":"2.0"})"), "",
       {fatal("Invalid notification: missing field `method`")}, 1},
      {"exit as a request goes on", frame(request(3, "exit")) + frame(kShutdown),
       frame(R"({"jsonrpc":"2.0","id":3,"error":{"code":-32601,"message":"Method not found: exit"}})") +
           kShutdownAnswer,
       {"İstek alındı: exit", "İstek alındı: shutdown", kEof}, 0},
      {"shutdown as a notification", frame(notification("shutdown")), "",
       {"Bildirim alındı: shutdown", "Bilinmeyen bildirim: shutdown", kEof}, 0},
  };
}

void run_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Session session = run_session(c.input);
    EXPECT_EQ(session.stdout_bytes, c.output);
    std::vector<std::string> log = kStartLines;
    log.insert(log.end(), c.log.begin(), c.log.end());
    EXPECT_EQ(session.log, log);
    EXPECT_EQ(session.exit_code, c.exit_code);
  }
}

TEST(TransportE2E, Framing) { run_cases(framing_cases()); }

TEST(TransportE2E, Envelopes) { run_cases(envelope_cases()); }

TEST(TransportE2E, Limits) {
  // 65536 bytes before the "\n", its "\r" included, is the longest line read.
  const std::string long_line((std::size_t{64} << 10) - 1, 'x');
  run_cases({
      {"a length above 512 MiB", "Content-Length: 536870913\r\n\r\n", "",
       {fatal("Content-Length 536870913 exceeds the limit of 536870912 bytes")}, 1},
      {"a huge length", "Content-Length: 18446744073709551615\r\n\r\n", "",
       {fatal("Content-Length 18446744073709551615 exceeds the limit of 536870912 bytes")}, 1},
      {"a header line at the limit is read", long_line + "\r\n" + frame(kShutdown), kShutdownAnswer,
       {"İstek alındı: shutdown", kEof}, 0},
      {"a header line above the limit", long_line + "x\r\n" + frame(kShutdown), "",
       {fatal("Header line longer than 65536 bytes")}, 1},
      {"above the limit without a line break", long_line + "xx", "", {fatal("Header line longer than 65536 bytes")},
       1},
  });
}

TEST(TransportE2E, LargeBodiesCrossTheBuffers) {
  // Bodies far larger than the 8192-byte buffers, both ways.
  const std::string big_id = json_string(std::string(100000, 'a'));
  const Session session = run_session(frame(request_with_id(big_id, "shutdown")) + frame(kShutdown));
  ASSERT_EQ(session.frames.size(), 2u);
  EXPECT_EQ(session.frames[0], R"({"jsonrpc":"2.0","id":)" + big_id + R"(,"result":null})");
  EXPECT_EQ(session.frames[1], R"({"jsonrpc":"2.0","id":1,"result":null})");
  EXPECT_EQ(session.exit_code, 0);
}

TEST(TransportE2E, ClosedStandardOutput) {
  // The platform's words for the failed write ("Broken pipe (os error 32)" on Linux).
  const std::string broken_pipe = closed_pipe_text();
  ASSERT_FALSE(broken_pipe.empty());
  LspServer server;
  ASSERT_TRUE(server.wait_for_log("ZEVO Language Server başlatıldı..."));
  server.process().close_output();
  // A failed diagnostics write is logged and the server reads on.
  server.send(notification("textDocument/didOpen", did_open_params("file:///a.zv", "x")));
  ASSERT_TRUE(server.wait_for_log("Notification textDocument/didOpen hatası: " + broken_pipe));
  // A failed response write ends it.
  server.send(kShutdown);
  EXPECT_EQ(server.wait_exit(), 1);
  const auto log = server.log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Sunucu hatası: " + broken_pipe);
}

}  // namespace
}  // namespace zevo::testing

// What the server does with input no well-behaved client sends: each test here
// backs one row of the bad-input table in the README. Framing faults end the
// server at once with a log line and exit code 1, never after buffering what
// the client announced; faults inside a well-framed message are answered, and
// the server reads on.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

const std::string kShutdownAnswer = R"({"jsonrpc":"2.0","id":99,"result":null})";
const std::string kShutdown = frame(request(99, "shutdown"));
const std::string kEof = "EOF alındı, sunucu kapatılıyor...";

std::string fatal(std::string_view text) { return "Sunucu hatası: " + std::string(text); }

// Peak resident size in MiB of a server that is sent `make_input()` and fails
// on it. It runs below a child of this test, so that no earlier server's peak
// counts, and is started before the input is made, so that its peak holds none
// of the input's pages.
template <class MakeInput>
long failing_server_peak_mib(MakeInput make_input) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipe_fds[0]);
    LspServer server;
    server.send_raw(make_input());
    server.close_input();
    const int code = server.wait_exit();
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const long peak = code == 1 ? usage.ru_maxrss / 1024 : -2;
    (void)!::write(pipe_fds[1], &peak, sizeof peak);
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  long peak = -1;
  if (::read(pipe_fds[0], &peak, sizeof peak) != static_cast<ssize_t>(sizeof peak)) peak = -1;
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return peak;
}

struct FatalCase {
  std::string name;
  std::string input;
  std::string last_log;  // the failure line; nothing is written to standard output
};

void expect_fatal(const std::vector<FatalCase>& cases) {
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.name);
    // A shutdown before the fault is answered; nothing after it is read.
    const Session session = run_session(kShutdown + c.input + kShutdown, std::chrono::seconds(60));
    EXPECT_EQ(session.frames, std::vector<std::string>{kShutdownAnswer});
    ASSERT_FALSE(session.log.empty());
    EXPECT_EQ(session.log.back(), c.last_log);
    EXPECT_EQ(session.exit_code, 1);
  }
}

TEST(ReliabilityE2E, HugeContentLength) {
  expect_fatal({
      {"largest 64-bit length", "Content-Length: 18446744073709551615\r\n\r\n{}",
       fatal("Content-Length 18446744073709551615 exceeds the limit of 536870912 bytes")},
      {"one past the limit", "Content-Length: 536870913\r\n\r\n{}",
       fatal("Content-Length 536870913 exceeds the limit of 536870912 bytes")},
      {"the limit itself, input ends early", "Content-Length: 536870912\r\n\r\n{}",
       fatal("failed to fill whole buffer")},
  });
  // Refused before anything of that size is taken.
  const long peak = failing_server_peak_mib([] { return std::string("Content-Length: 18446744073709551615\r\n\r\n"); });
  EXPECT_GT(peak, 0);
  EXPECT_LT(peak, 64);
}

TEST(ReliabilityE2E, HeaderLineWithoutEnd) {
  const std::string endless(std::size_t{4} << 20, 'x');
  expect_fatal({
      {"4 MiB without a line break", endless, fatal("Header line longer than 65536 bytes")},
      {"a length line that never ends", "Content-Length: 2" + std::string(100000, ' '),
       fatal("Header line longer than 65536 bytes")},
  });
  // 128 MiB of one header line: the server stops after the first 64 KiB.
  const long peak = failing_server_peak_mib([] { return std::string(std::size_t{128} << 20, 'x'); });
  EXPECT_GT(peak, 0);
  EXPECT_LT(peak, 64);
}

TEST(ReliabilityE2E, InvalidUtf8) {
  expect_fatal({
      {"in a header line", "Content-Length: 2\xC0\xAF\r\n\r\n{}", fatal("stream did not contain valid UTF-8")},
      {"overlong form in the body", frame("{\"a\":\"\xC0\xAF\"}"),
       fatal("Invalid UTF-8: invalid utf-8 sequence of 1 bytes from index 6")},
      {"surrogate encoded in UTF-8", frame("[\"\xED\xA0\x80\"]"),
       fatal("Invalid UTF-8: invalid utf-8 sequence of 1 bytes from index 2")},
      {"body cut inside a character", frame("[\"\xE2\x82"),
       fatal("Invalid UTF-8: incomplete utf-8 byte sequence from index 2")},
      {"lone surrogate escape", frame(R"(["\ud800"])"),
       fatal("Invalid JSON: unexpected end of hex escape at line 1 column 9")},
  });
  // An escaped NUL and a surrogate pair are text like any other.
  const std::string text = R"(sabit A = 1 // \u0000 \ud83d\ude00\n)";
  const Session session = run_session(
      frame(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///a.zv",)"
            R"("languageId":"zevo","version":1,"text":")" +
            text + R"("}}})") +
      kShutdown);
  EXPECT_EQ(session.frames, (std::vector<std::string>{diagnostics_notification("file:///a.zv"), kShutdownAnswer}));
  EXPECT_EQ(session.exit_code, 0);
}

TEST(ReliabilityE2E, DeepJson) {
  // The envelope is the first level: params may open 126 more, not 127.
  const auto nested = [](int depth) {
    return request(1, "textDocument/documentSymbol", std::string(depth, '[') + std::string(depth, ']'));
  };
  const Session ok = run_session(frame(nested(126)) + kShutdown);
  EXPECT_EQ(ok.frames, (std::vector<std::string>{R"({"jsonrpc":"2.0","id":1,"result":null})", kShutdownAnswer}));
  EXPECT_EQ(ok.exit_code, 0);

  const std::string prefix = R"({"jsonrpc":"2.0","id":1,"method":"textDocument/documentSymbol","params":)";
  const std::string column = std::to_string(prefix.size() + 127);
  expect_fatal({
      {"one level too deep", frame(nested(127)),
       fatal("Invalid JSON: recursion limit exceeded at line 1 column " + column)},
      {"a million levels", frame(std::string(1000000, '[')),
       fatal("Invalid JSON: recursion limit exceeded at line 1 column 128")},
      {"a million levels of objects", frame([] {
         std::string s;
         for (int i = 0; i < 1000000; ++i) s += "{\"a\":";
         return s;
       }()),
       fatal("Invalid JSON: recursion limit exceeded at line 1 column 636")},
  });
}

TEST(ReliabilityE2E, DeepZevoNesting) {
  struct Case {
    std::string name;
    std::string text;
  };
  const std::size_t n = 200000;
  const std::vector<Case> cases = {
      {"braces", std::string(n, '{')},
      {"parentheses", "değişken x = " + std::string(n, '(') + "1"},
      {"brackets", "sabit A = " + std::string(n, '[')},
      {"if statements", [&] {
         std::string s;
         for (std::size_t i = 0; i < n / 10; ++i) s += "eğer a {\n";
         return s;
       }()},
      {"unary minus", "dön " + std::string(n, '-') + "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string uri = "file:///deep.zv";
    std::string input = frame(notification("textDocument/didOpen", did_open_params(uri, c.text)));
    const std::vector<std::string> methods = {
        "textDocument/definition", "textDocument/documentSymbol", "textDocument/semanticTokens/full",
        "textDocument/inlayHint",  "textDocument/codeLens",       "textDocument/hover",
    };
    for (std::size_t i = 0; i < methods.size(); ++i) {
      input += frame(request(static_cast<int64_t>(i), methods[i], position_params(uri, 0, 5)));
    }
    const Session session = run_session(input + kShutdown, std::chrono::seconds(60));
    ASSERT_EQ(session.frames.size(), methods.size() + 2);
    const auto diagnostics = nlohmann::json::parse(session.frames[0]);
    EXPECT_EQ(diagnostics["method"], "textDocument/publishDiagnostics");
    for (std::size_t i = 0; i < methods.size(); ++i) {
      const auto response = nlohmann::json::parse(session.frames[i + 1]);
      EXPECT_EQ(response["id"], i) << methods[i];
      EXPECT_TRUE(response.contains("result")) << methods[i] << ": " << session.frames[i + 1].substr(0, 200);
    }
    EXPECT_EQ(session.frames.back(), kShutdownAnswer);
    EXPECT_EQ(session.exit_code, 0);
  }
}

TEST(ReliabilityE2E, UnknownMethods) {
  const Session session = run_session(frame(request(1, "workspace/symbol", "{}")) + frame(request(2, "")) +
                                      frame(request(3, "textDocument/semanticTokens/full/delta", "{}")) +
                                      frame(notification("$/cancelRequest", R"({"id":1})")) +
                                      frame(notification("textDocument/didSave", "{}")) + kShutdown);
  EXPECT_EQ(session.frames,
            (std::vector<std::string>{
                R"({"jsonrpc":"2.0","id":1,"error":{"code":-32601,"message":"Method not found: workspace/symbol"}})",
                R"({"jsonrpc":"2.0","id":2,"error":{"code":-32601,"message":"Method not found: "}})",
                R"({"jsonrpc":"2.0","id":3,"error":{"code":-32601,"message":"Method not found: textDocument/semanticTokens/full/delta"}})",
                kShutdownAnswer}));
  const std::vector<std::string> tail(session.log.end() - 6, session.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Bildirim alındı: $/cancelRequest", "Bilinmeyen bildirim: $/cancelRequest",
                                            "Bildirim alındı: textDocument/didSave",
                                            "Bilinmeyen bildirim: textDocument/didSave", "İstek alındı: shutdown", kEof}));
  EXPECT_EQ(session.exit_code, 0);
}

TEST(ReliabilityE2E, WrongParameterTypes) {
  const std::string uri = "file:///a.zv";
  const std::string doc = R"({"uri":")" + uri + R"("})";
  struct Case {
    std::string method;
    std::string params;
    std::string answer;  // the response's "result" or "error" member
  };
  const auto invalid = [](std::string_view what) {
    return R"("error":{"code":-32600,"message":"Invalid )" + std::string(what) + R"( params"})";
  };
  const std::vector<Case> cases = {
      {"initialize", R"({"processId":-1,"capabilities":{}})", invalid("initialize")},
      {"initialize", R"([{}])", invalid("initialize")},
      {"textDocument/hover", "[1,2]", invalid("hover")},
      {"textDocument/hover", R"({"textDocument":)" + doc + R"(,"position":{"line":-1,"character":0}})",
       invalid("hover")},
      {"textDocument/hover", R"({"textDocument":)" + doc + R"(,"position":{"line":1.0,"character":0}})",
       invalid("hover")},
      {"textDocument/hover", R"({"textDocument":{"uri":"a.zv"},"position":{"line":0,"character":0}})",
       invalid("hover")},
      {"textDocument/hover", position_params(uri, 4294967295u, 4294967295u), R"("result":null)"},
      {"textDocument/completion", R"("x")", invalid("completion")},
      {"textDocument/definition", R"({"textDocument":{"uri":5},"position":{"line":0,"character":0}})",
       invalid("definition")},
      {"textDocument/references",
       R"({"textDocument":)" + doc + R"(,"position":{"line":0,"character":0},"context":{"includeDeclaration":"yes"}})",
       invalid("references")},
      {"textDocument/rename", R"({"textDocument":)" + doc + R"(,"position":{"line":0,"character":0},"newName":7})",
       invalid("rename")},
      {"textDocument/prepareRename", "true", invalid("prepareRename")},
      {"textDocument/documentSymbol", "42", R"("result":null)"},
      {"textDocument/semanticTokens/full", "[]", R"("result":{"data":[]})"},
      {"textDocument/signatureHelp", R"({"textDocument":)" + doc + R"(,"position":"x"})", R"("result":null)"},
      {"textDocument/codeLens", "null", R"("error":{"code":-32603,"message":"Code lens error: Missing textDocument.uri"})"},
      {"textDocument/codeLens", R"({"textDocument":{"uri":5}})",
       R"("error":{"code":-32603,"message":"Code lens error: Missing textDocument.uri"})"},
      {"textDocument/inlayHint", R"({"textDocument":{"uri":[]}})",
       R"("error":{"code":-32603,"message":"Inlay hints error: Missing textDocument.uri"})"},
      {"textDocument/codeAction", R"({"textDocument":{"uri":{}}})", R"("result":null)"},
  };
  // The document notifications with bad params: logged and skipped.
  std::string input = frame(notification("textDocument/didOpen", did_open_params(uri, "sabit A = 1\n")));
  input += frame(notification("textDocument/didOpen", R"({"textDocument":{"uri":"file:///b.zv","text":5}})"));
  input += frame(notification("textDocument/didChange",
                              R"({"textDocument":{"uri":"file:///a.zv","version":2147483648},"contentChanges":[]})"));
  input += frame(notification("textDocument/didClose", "[]"));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    input += frame(request(static_cast<int64_t>(i), cases[i].method, cases[i].params));
  }
  const Session session = run_session(input + kShutdown);
  ASSERT_EQ(session.frames.size(), cases.size() + 2);
  EXPECT_EQ(session.frames[0], diagnostics_notification(uri));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].method + " " + cases[i].params);
    EXPECT_EQ(session.frames[i + 1], R"({"jsonrpc":"2.0","id":)" + std::to_string(i) + "," + cases[i].answer + "}");
  }
  EXPECT_EQ(session.frames.back(), kShutdownAnswer);
  for (const char* line : {"Notification textDocument/didOpen hatası: Invalid didOpen params",
                           "Notification textDocument/didChange hatası: Invalid didChange params",
                           "Notification textDocument/didClose hatası: Invalid didClose params"}) {
    EXPECT_NE(std::find(session.log.begin(), session.log.end(), line), session.log.end()) << line;
  }
  EXPECT_EQ(session.exit_code, 0);
}

TEST(ReliabilityE2E, ClosedStandardOutput) {
  // The platform's words for the failed write ("Broken pipe (os error 32)" on Linux).
  const std::string broken_pipe = closed_pipe_text();
  ASSERT_FALSE(broken_pipe.empty());
  LspServer server;
  ASSERT_TRUE(server.wait_for_log("ZEVO Language Server başlatıldı..."));
  server.process().close_output();
  // Two failed diagnostics writes: each is logged, the store keeps the text.
  server.send(notification("textDocument/didOpen", did_open_params("file:///a.zv", std::string(100000, '{'))));
  server.send(notification("textDocument/didChange", did_change_params("file:///a.zv", 2, "x")));
  ASSERT_TRUE(server.wait_for_log("Notification textDocument/didChange hatası: " + broken_pipe));
  // A response far larger than the output buffer fails too, and ends the server.
  server.send(request(1, "textDocument/completion", position_params("file:///a.zv", 0, 0)));
  EXPECT_EQ(server.wait_exit(), 1);
  const auto log = server.log();
  EXPECT_NE(std::find(log.begin(), log.end(), "Notification textDocument/didOpen hatası: " + broken_pipe),
            log.end());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Sunucu hatası: " + broken_pipe);
}

}  // namespace
}  // namespace zevo::testing

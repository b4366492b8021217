// End-to-end test harness: runs the built server over pipes (the zevo-lsp of
// the same build directory, found from the test's own path).
//
// Building messages (each returns the body text, compact JSON):
//   request(1, "textDocument/hover", R"({"textDocument":{"uri":"file:///a.zv"},...})")
//   request(1, "shutdown")                     // no "params" member at all
//   request_with_id(R"("abc")", "shutdown")    // any id text
//   notification("textDocument/didOpen", did_open_params("file:///a.zv", "text"))
//   did_open_params(uri, text), did_change_params(uri, version, text),
//   did_close_params(uri), position_params(uri, line, character)
//   frame(body)                                // "Content-Length: N\r\n\r\n" + body
//   diagnostics_notification(uri, "[]")        // the publishDiagnostics body the server writes
//   result_response(1, "null")                 // {"jsonrpc":"2.0","id":1,"result":null}
//   error_response(1, -32600, "Invalid hover params")
//   responses(session)                         // the frames that answer requests, in order
//
// A whole session at once (input written, standard input closed, the server
// left to end by itself):
//   Session s = run_session(frame(request(1, "shutdown")) + frame(notification("exit")));
//   s.frames       // every frame body the server wrote, in order
//   s.stdout_bytes // the exact bytes of standard output
//   s.log          // standard error as lines, each without its "\n"
//   s.stderr_bytes // the exact bytes of standard error
//   s.exit_code    // exit code (128 + signal when killed; -1 on timeout)
//   frames_of(s.stdout_bytes) splits exact bytes into bodies.
//
// Step by step, for a conversation:
//   LspServer server;                    // started at construction
//   server.send(request(1, "initialize", R"({"capabilities":{}})"));
//   std::optional<std::string> body = server.read_frame();   // waits up to 5 s
//   server.send_raw("Content-Length: 2\r\n\r\n{}");
//   server.close_input();
//   int code = server.wait_exit();       // -1 on timeout
//   server.log()                         // standard error lines so far
//
// In-process, without starting a binary (fast, and under the sanitizers):
//   InProcessRun r = run_in_process(input);   // r.output, r.log, r.exit_code
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/child_process.hpp"
#include "support/messages.hpp"

namespace zevo::testing {

inline constexpr std::chrono::milliseconds kDefaultTimeout{10000};

struct Session {
  std::string stdout_bytes;
  std::vector<std::string> frames;
  std::vector<std::string> log;
  std::string stderr_bytes;
  int exit_code = -1;
};

Session run_session(std::string_view input, std::chrono::milliseconds timeout = kDefaultTimeout);

// The frames of a session that answer requests (those with an "id"), without
// the diagnostics notifications it publishes.
std::vector<std::string> responses(const Session& session);

// The platform's text for a write to a closed pipe, as the server logs it: from
// the program ZEVO_TEST_CLOSED_PIPE_TEXT names (a command line split at spaces,
// beside ZEVO_TEST_SERVER for a server of another platform), otherwise from
// the one built beside the test. Empty if it could not be had.
std::string closed_pipe_text();

class LspServer {
 public:
  LspServer();

  void send(std::string_view body) { send_raw(frame(body)); }
  void send_raw(std::string_view bytes);
  std::optional<std::string> read_frame(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
  // Waits until standard error holds a line equal to `line`.
  bool wait_for_log(std::string_view line, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
  void close_input();
  int wait_exit(std::chrono::milliseconds timeout = kDefaultTimeout);
  std::vector<std::string> log() { return split_lines(process_.err()); }
  ChildProcess& process() { return process_; }

 private:
  ChildProcess process_;
  std::string unread_;
  std::size_t consumed_ = 0;
};

}  // namespace zevo::testing

#include "support/lsp_server.hpp"

namespace zevo::testing {

std::vector<std::string> responses(const Session& session) {
  std::vector<std::string> out;
  for (const auto& body : session.frames) {
    if (body.rfind(R"({"jsonrpc":"2.0","id":)", 0) == 0) out.push_back(body);
  }
  return out;
}

Session run_session(std::string_view input, std::chrono::milliseconds timeout) {
  ChildProcess process;
  Session session;
  if (!process.start(server_command())) return session;
  process.write(input);
  process.close_input();
  session.exit_code = process.wait(timeout).value_or(-1);
  session.stdout_bytes = process.out();
  session.frames = frames_of(process.out());
  session.log = split_lines(process.err());
  session.stderr_bytes = process.err();
  return session;
}

std::string closed_pipe_text() {
  ChildProcess process;
  if (!process.start(command_line("ZEVO_TEST_CLOSED_PIPE_TEXT", ZEVO_CLOSED_PIPE_TEXT_PATH))) return {};
  process.close_output();
  process.write("x");
  process.close_input();
  if (process.wait(kDefaultTimeout) != 0) return {};
  return process.err();
}

LspServer::LspServer() { process_.start(server_command()); }

void LspServer::send_raw(std::string_view bytes) {
  process_.write(bytes);
  process_.pump_until([&] { return !process_.input_pending(); }, std::chrono::milliseconds(5000));
}

std::optional<std::string> LspServer::read_frame(std::chrono::milliseconds timeout) {
  std::optional<std::string> body;
  process_.pump_until(
      [&] {
        unread_ += process_.out().substr(consumed_);
        consumed_ = process_.out().size();
        body = take_frame(unread_);
        return body.has_value();
      },
      timeout);
  return body;
}

bool LspServer::wait_for_log(std::string_view line, std::chrono::milliseconds timeout) {
  return process_.pump_until(
      [&] {
        for (const auto& l : split_lines(process_.err())) {
          if (l == line) return true;
        }
        return false;
      },
      timeout);
}

void LspServer::close_input() {
  process_.close_input();
  process_.pump(0);
}

int LspServer::wait_exit(std::chrono::milliseconds timeout) { return process_.wait(timeout).value_or(-1); }

}  // namespace zevo::testing

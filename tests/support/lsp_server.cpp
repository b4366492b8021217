#include "support/lsp_server.hpp"

#include <nlohmann/json.hpp>

#include "lsp/server.hpp"
#include "support/memory_streams.hpp"

namespace zevo::testing {

std::string frame(std::string_view body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

std::string request_with_id(std::string_view id_json, std::string_view method, std::optional<std::string_view> params) {
  std::string body = R"({"jsonrpc":"2.0","id":)" + std::string(id_json) + R"(,"method":)" + json_string(method);
  if (params) body += R"(,"params":)" + std::string(*params);
  return body + "}";
}

std::string request(int64_t id, std::string_view method, std::optional<std::string_view> params) {
  return request_with_id(std::to_string(id), method, params);
}

std::string notification(std::string_view method, std::optional<std::string_view> params) {
  std::string body = R"({"jsonrpc":"2.0","method":)" + json_string(method);
  if (params) body += R"(,"params":)" + std::string(*params);
  return body + "}";
}

std::string diagnostics_notification(std::string_view uri, std::string_view diagnostics_json) {
  return R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":)" +
         std::string(diagnostics_json) + R"(,"uri":)" + json_string(uri) + "}}";
}

std::string json_string(std::string_view text) { return nlohmann::json(std::string(text)).dump(); }

std::string result_response(int64_t id, std::string_view result_json) {
  return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"result":)" + std::string(result_json) + "}";
}

std::string error_response(int64_t id, int32_t code, std::string_view message) {
  return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"error":{"code":)" + std::to_string(code) +
         R"(,"message":)" + json_string(message) + "}}";
}

std::vector<std::string> responses(const Session& session) {
  std::vector<std::string> out;
  for (const auto& body : session.frames) {
    if (body.rfind(R"({"jsonrpc":"2.0","id":)", 0) == 0) out.push_back(body);
  }
  return out;
}

std::string did_open_params(std::string_view uri, std::string_view text, int32_t version) {
  return R"({"textDocument":{"uri":)" + json_string(uri) + R"(,"languageId":"zevo","version":)" +
         std::to_string(version) + R"(,"text":)" + json_string(text) + "}}";
}

std::string did_change_params(std::string_view uri, int32_t version, std::string_view text) {
  return R"({"textDocument":{"uri":)" + json_string(uri) + R"(,"version":)" + std::to_string(version) +
         R"(},"contentChanges":[{"text":)" + json_string(text) + "}]}";
}

std::string did_close_params(std::string_view uri) { return R"({"textDocument":{"uri":)" + json_string(uri) + "}}"; }

std::string position_params(std::string_view uri, uint32_t line, uint32_t character) {
  return R"({"textDocument":{"uri":)" + json_string(uri) + R"(},"position":{"line":)" + std::to_string(line) +
         R"(,"character":)" + std::to_string(character) + "}}";
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

std::vector<std::string> frames_of(std::string bytes) {
  std::vector<std::string> frames;
  while (auto body = take_frame(bytes)) frames.push_back(std::move(*body));
  return frames;
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

InProcessRun run_in_process(std::string input, std::size_t chunk) {
  MemorySource source(std::move(input), chunk);
  MemorySink sink;
  MemoryLog log;
  const lsp::ServerEnd end = lsp::serve({source, sink, log});
  return {sink.bytes(), split_lines(log.text()), end.code};
}

}  // namespace zevo::testing

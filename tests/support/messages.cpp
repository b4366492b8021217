#include "support/messages.hpp"

#include <nlohmann/json.hpp>

#include "lsp/server.hpp"
#include "support/frames.hpp"
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

InProcessRun run_in_process(std::string input, std::size_t chunk) {
  MemorySource source(std::move(input), chunk);
  MemorySink sink;
  MemoryLog log;
  const lsp::ServerEnd end = lsp::serve({source, sink, log});
  return {sink.bytes(), split_lines(log.text()), end.code};
}

}  // namespace zevo::testing

// What the tests write to the server and read back, and the server loop run
// in-process over memory streams: nothing here starts a process, so these
// build on every system (lsp_server.hpp describes them all).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zevo::testing {

std::string frame(std::string_view body);
std::string request(int64_t id, std::string_view method, std::optional<std::string_view> params = std::nullopt);
std::string request_with_id(std::string_view id_json, std::string_view method,
                            std::optional<std::string_view> params = std::nullopt);
std::string notification(std::string_view method, std::optional<std::string_view> params = std::nullopt);

std::string did_open_params(std::string_view uri, std::string_view text, int32_t version = 1);
std::string did_change_params(std::string_view uri, int32_t version, std::string_view text);
std::string did_close_params(std::string_view uri);
std::string position_params(std::string_view uri, uint32_t line, uint32_t character);

// {"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":..,"uri":..}}
std::string diagnostics_notification(std::string_view uri, std::string_view diagnostics_json = "[]");

// {"jsonrpc":"2.0","id":<id>,"result":<result_json>}
std::string result_response(int64_t id, std::string_view result_json);
// {"jsonrpc":"2.0","id":<id>,"error":{"code":<code>,"message":<message>}}
std::string error_response(int64_t id, int32_t code, std::string_view message);

// The text as a JSON string literal, quotes included.
std::string json_string(std::string_view text);

std::vector<std::string> split_lines(std::string_view text);
std::vector<std::string> frames_of(std::string bytes);

struct InProcessRun {
  std::string output;
  std::vector<std::string> log;
  int exit_code = -1;  // 0 at end of input or exit, 1 after a transport failure
};

// Runs the server loop over memory streams; `chunk` limits the bytes one read yields.
InProcessRun run_in_process(std::string input, std::size_t chunk = SIZE_MAX);

}  // namespace zevo::testing

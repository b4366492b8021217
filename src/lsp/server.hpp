// The life of the server: the start-up lines, the run loop that reads one
// message at a time and hands it to the dispatcher, and how the process ends.
#pragma once

#include <cstdint>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/log.hpp"
#include "lsp/transport.hpp"

namespace zevo::lsp {

struct ServerIo {
  ByteSource& input;
  ByteSink& output;
  LogSink& log;
};

// How a run ended without a transport failure.
enum class RunOutcome : uint8_t { kEndOfInput, kExit };

// Reads and handles messages until end of input, the `exit` notification or a
// transport failure. The caller turns kExit into the process's exit code 0.
Result<RunOutcome, TransportError> run_server(ServerState& state, ServerIo io);

// The whole life of the server over `io`: the start-up lines, a fresh state,
// the run loop, and the failure line. `code` is the process's exit code;
// `immediate` asks the caller to end the process at once, without clean-up.
struct ServerEnd {
  int code = 0;
  bool immediate = false;
};
ServerEnd serve(ServerIo io);

}  // namespace zevo::lsp

// The wire layer and the run loop: Content-Length framing over a byte source
// and sink, the JSON-RPC envelopes, and the loop that reads one message at a
// time, answers requests and handles notifications.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "platform/platform.hpp"
#include "runtime/result.hpp"

namespace zevo::lsp {

// ---- Byte streams ----------------------------------------------------------

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `capacity` bytes; size 0 with error 0 is end of input.
  virtual platform::ReadResult read(char* buffer, std::size_t capacity) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // All bytes or the error number of the failure (0 on success).
  virtual int write(const char* data, std::size_t size) = 0;
};

// Where log lines go; one call per line, unbuffered.
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void line(std::string_view text) = 0;
};

class StdinSource final : public ByteSource {
 public:
  platform::ReadResult read(char* buffer, std::size_t capacity) override;
};

class StdoutSink final : public ByteSink {
 public:
  int write(const char* data, std::size_t size) override;
};

class StderrLog final : public LogSink {
 public:
  void line(std::string_view text) override;
};

// In-memory streams for tests and fuzzing.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string bytes, std::size_t chunk = SIZE_MAX)
      : bytes_(std::move(bytes)), chunk_(chunk == 0 ? 1 : chunk) {}
  platform::ReadResult read(char* buffer, std::size_t capacity) override;

 private:
  std::string bytes_;
  std::size_t position_ = 0;
  std::size_t chunk_;  // largest read served at once, to exercise refills
};

class MemorySink final : public ByteSink {
 public:
  int write(const char* data, std::size_t size) override;
  const std::string& bytes() const { return bytes_; }
  // Every write after the first `n` bytes fails with `error` (EPIPE by default).
  void fail_after(std::size_t n, int error = 32) {
    limit_ = n;
    error_ = error;
  }
  void heal() { limit_ = SIZE_MAX; }

 private:
  std::string bytes_;
  std::size_t limit_ = SIZE_MAX;
  int error_ = 0;
};

class MemoryLog final : public LogSink {
 public:
  void line(std::string_view text) override { text_ += text; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// ---- Transport ---------------------------------------------------------------

enum class TransportErrorKind : uint8_t { kInvalidData, kUnexpectedEof, kPlatform };

struct TransportError {
  TransportErrorKind kind = TransportErrorKind::kInvalidData;
  std::string text;
};

// A body longer than this, or a header line longer than the line limit, ends
// the server before anything of that size is allocated.
inline constexpr uint64_t kMaxContentLength = uint64_t{512} << 20;
inline constexpr std::size_t kMaxHeaderLine = std::size_t{64} << 10;
inline constexpr std::size_t kStreamBufferSize = 8192;

class MessageReader {
 public:
  explicit MessageReader(ByteSource& source);

  // One line, its "\n" included (or the rest of the input without one); empty
  // at end of input.
  Result<std::string, TransportError> read_line();
  // Fills exactly `size` bytes; fails with "failed to fill whole buffer" when
  // the input ends first.
  Status<TransportError> read_exact(char* out, std::size_t size);

 private:
  Status<TransportError> fill();

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

class MessageWriter {
 public:
  explicit MessageWriter(ByteSink& sink);

  Status<TransportError> write(std::string_view bytes);
  Status<TransportError> flush();

 private:
  ByteSink& sink_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

struct RpcRequest {
  std::string jsonrpc;
  nlohmann::json id;  // null when absent
  std::string method;
  Params params;
};

struct RpcNotification {
  std::string jsonrpc;
  std::string method;
  Params params;
};

struct EndOfInput {};

using IncomingMessage = std::variant<RpcRequest, RpcNotification, EndOfInput>;

Result<IncomingMessage, TransportError> read_message(MessageReader& reader);

// Frames one body with its Content-Length header and flushes it.
Status<TransportError> send_message(MessageWriter& writer, std::string_view body);

// The response envelope of a handler's outcome, as compact JSON text.
std::string encode_response(const nlohmann::json& id, const HandlerResult& result);

// ---- Run loop ----------------------------------------------------------------

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

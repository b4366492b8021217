// The wire layer: Content-Length framing over a byte source and sink, and the
// JSON-RPC envelopes read from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "base/recent_need.hpp"
#include "base/result.hpp"
#include "lsp/handler.hpp"
#include "platform/platform.hpp"

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

class StdinSource final : public ByteSource {
 public:
  platform::ReadResult read(char* buffer, std::size_t capacity) override;
};

class StdoutSink final : public ByteSink {
 public:
  int write(const char* data, std::size_t size) override;
};

// ---- Transport ---------------------------------------------------------------

enum class TransportErrorKind : uint8_t { kInvalidData, kUnexpectedEof, kPlatform };

struct TransportError {
  TransportErrorKind kind = TransportErrorKind::kInvalidData;
  std::string text;
};

// A body longer than json::kMaxMessageBytes, or a header line longer than the
// line limit, ends the server before anything of that size is allocated.
inline constexpr std::size_t kMaxHeaderLine = std::size_t{64} << 10;
inline constexpr std::size_t kStreamBufferSize = 8192;
inline constexpr std::size_t kKeptBodyBytes = std::size_t{8} << 20;

class MessageReader {
 public:
  explicit MessageReader(ByteSource& source);

  // One line, its "\n" included (or the rest of the input without one); empty
  // at end of input.
  Result<std::string, TransportError> read_line();
  // Fills exactly `size` bytes; fails with "failed to fill whole buffer" when
  // the input ends first.
  Status<TransportError> read_exact(char* out, std::size_t size);

  // Room for a message body of `size` bytes, valid until parse_body().
  char* body_room(std::size_t size);
  // The JSON value of the `size` bytes read into the room. A string of half
  // the body or more takes the room's memory as its own (json::parse_in_place),
  // so that a document's text is the block its message was read into. A room
  // not taken is kept for the next body while it is at least kKeptBodyBytes
  // and no larger than the largest of the last eight bodies, so that a large
  // message without such a string is read into memory already mapped;
  // smaller rooms go back to the heap, which hands such blocks out again anyway.
  Result<nlohmann::json, std::string> parse_body(std::size_t size);

 private:
  Status<TransportError> fill();

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::string body_;  // its size is the room's
  RecentNeed body_need_;
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
Status<TransportError> send_message(MessageWriter& writer, const zevo::json::Writer& body);

}  // namespace zevo::lsp

#include "lsp/transport.hpp"

#include <algorithm>
#include <cstring>

#include "json/json.hpp"
#include "lsp/decode.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

using nlohmann::json;

// ---- Byte streams ----------------------------------------------------------

platform::ReadResult StdinSource::read(char* buffer, std::size_t capacity) {
  return platform::read_stdin(buffer, capacity);
}

int StdoutSink::write(const char* data, std::size_t size) { return platform::write_stdout(data, size); }

// ---- Reader and writer -------------------------------------------------------

namespace {

TransportError invalid_data(std::string text) { return {TransportErrorKind::kInvalidData, std::move(text)}; }

TransportError platform_error(int error) { return {TransportErrorKind::kPlatform, platform::error_text(error)}; }

}  // namespace

MessageReader::MessageReader(ByteSource& source)
    : source_(source), buffer_(new char[kStreamBufferSize]) {}

Status<TransportError> MessageReader::fill() {
  const platform::ReadResult result = source_.read(buffer_.get(), kStreamBufferSize);
  if (result.error != 0) return Err{platform_error(result.error)};
  begin_ = 0;
  end_ = result.size;
  return Unit{};
}

Result<std::string, TransportError> MessageReader::read_line() {
  std::string line;
  for (;;) {
    if (begin_ == end_) {
      auto filled = fill();
      if (!filled.ok()) return Err{std::move(filled.error())};
      if (end_ == 0) return line;  // end of input
    }
    const char* start = buffer_.get() + begin_;
    const std::size_t available = end_ - begin_;
    const char* newline = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t take = newline ? static_cast<std::size_t>(newline - start) + 1 : available;
    const std::size_t content = line.size() + take - (newline ? 1 : 0);
    if (content > kMaxHeaderLine) {
      return Err{invalid_data("Header line longer than " + std::to_string(kMaxHeaderLine) + " bytes")};
    }
    line.append(start, take);
    begin_ += take;
    if (newline) return line;
  }
}

Status<TransportError> MessageReader::read_exact(char* out, std::size_t size) {
  while (size > 0) {
    if (begin_ == end_) {
      if (size >= kStreamBufferSize) {
        // Large remainders go straight into the caller's buffer.
        const platform::ReadResult result = source_.read(out, size);
        if (result.error != 0) return Err{platform_error(result.error)};
        if (result.size == 0) break;
        out += result.size;
        size -= result.size;
        continue;
      }
      auto filled = fill();
      if (!filled.ok()) return filled;
      if (end_ == 0) break;
    }
    const std::size_t n = std::min(size, end_ - begin_);
    std::memcpy(out, buffer_.get() + begin_, n);
    begin_ += n;
    out += n;
    size -= n;
  }
  if (size > 0) return Err{TransportError{TransportErrorKind::kUnexpectedEof, "failed to fill whole buffer"}};
  return Unit{};
}

char* MessageReader::body_room(std::size_t size) {
  body_need_.record(size);
  if (size > body_.size() || body_.size() > body_need_.largest()) {
    std::string().swap(body_);  // released before its successor is taken
    body_.resize(size);
  }
  return body_.data();
}

Result<nlohmann::json, std::string> MessageReader::parse_body(std::size_t size) {
  auto parsed = zevo::json::parse_in_place(body_, size);
  if (body_.size() < kKeptBodyBytes) std::string().swap(body_);
  return parsed;
}

MessageWriter::MessageWriter(ByteSink& sink) : sink_(sink), buffer_(new char[kStreamBufferSize]) {}

Status<TransportError> MessageWriter::write(std::string_view bytes) {
  if (used_ + bytes.size() > kStreamBufferSize) {
    auto flushed = flush();
    if (!flushed.ok()) return flushed;
  }
  if (bytes.size() >= kStreamBufferSize) {
    const int error = sink_.write(bytes.data(), bytes.size());
    if (error != 0) return Err{platform_error(error)};
    return Unit{};
  }
  std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
  return Unit{};
}

Status<TransportError> MessageWriter::flush() {
  if (used_ == 0) return Unit{};
  const int error = sink_.write(buffer_.get(), used_);
  // A frame that failed half-way is dropped, never sent again in front of the next one.
  used_ = 0;
  if (error != 0) return Err{platform_error(error)};
  return Unit{};
}

// ---- Messages ----------------------------------------------------------------

template <>
struct Members<RpcRequest> {
  static constexpr std::string_view kName = "RpcRequest";
  template <class M>
  static void map(M& m, RpcRequest& r) {
    m("jsonrpc", r.jsonrpc);
    m("id", r.id, schema::kOptional);
    m("method", r.method);
    m("params", r.params);
  }
};

template <>
struct Members<RpcNotification> {
  static constexpr std::string_view kName = "RpcNotification";
  template <class M>
  static void map(M& m, RpcNotification& r) {
    m("jsonrpc", r.jsonrpc);
    m("method", r.method);
    m("params", r.params);
  }
};

namespace {

constexpr std::string_view kLengthHeader = "Content-Length:";

// An optional "+", then ASCII digits only, within the unsigned 64-bit range.
std::optional<uint64_t> parse_content_length(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

Result<IncomingMessage, TransportError> read_message(MessageReader& reader) {
  std::optional<uint64_t> length;
  for (;;) {
    auto line = reader.read_line();
    if (!line.ok()) return Err{std::move(line.error())};
    if (line->empty()) return IncomingMessage{EndOfInput{}};
    if (zevo::text::utf8_error(*line)) return Err{invalid_data("stream did not contain valid UTF-8")};
    const std::string_view trimmed = text::trim(*line);
    if (trimmed.empty()) break;
    if (trimmed.starts_with(kLengthHeader)) {
      length = parse_content_length(text::trim(trimmed.substr(kLengthHeader.size())));
    }
  }
  if (!length) return Err{invalid_data("Missing Content-Length header")};
  if (*length > zevo::json::kMaxMessageBytes) {
    return Err{invalid_data("Content-Length " + std::to_string(*length) + " exceeds the limit of " +
                            std::to_string(zevo::json::kMaxMessageBytes) + " bytes")};
  }

  const std::size_t size = static_cast<std::size_t>(*length);
  char* const body = reader.body_room(size);
  auto filled = reader.read_exact(body, size);
  if (!filled.ok()) return Err{std::move(filled.error())};
  const std::string_view text(body, size);
  if (auto bad = zevo::text::utf8_error(text)) return Err{invalid_data("Invalid UTF-8: " + *bad)};
  auto parsed = reader.parse_body(size);
  if (!parsed.ok()) return Err{invalid_data("Invalid JSON: " + parsed.error())};

  json value = std::move(*parsed);
  if (value.is_object() && value.contains("id")) {
    auto request = decode_record<RpcRequest>(std::move(value));
    if (!request.ok()) return Err{invalid_data("Invalid request: " + request.error())};
    return IncomingMessage{std::move(*request)};
  }
  auto notification = decode_record<RpcNotification>(std::move(value));
  if (!notification.ok()) return Err{invalid_data("Invalid notification: " + notification.error())};
  return IncomingMessage{std::move(*notification)};
}

Status<TransportError> send_message(MessageWriter& writer, const zevo::json::Writer& body) {
  const std::string header = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  auto written = writer.write(header);
  body.for_each_piece([&](std::string_view piece) {
    if (written.ok()) written = writer.write(piece);
  });
  if (!written.ok()) {
    (void)writer.flush();  // drops what is left of the frame
    return written;
  }
  return writer.flush();
}

}  // namespace zevo::lsp

#include "lsp/transport.hpp"

#include <algorithm>
#include <cstring>

#include "json/json.hpp"
#include "lsp/diagnostics.hpp"
#include "lsp/dispatch.hpp"
#include "lsp/protocol.hpp"
#include "lsp/protocol_schema.hpp"
#include "text/unicode.hpp"

namespace zevo::lsp {

using nlohmann::json;

// ---- Byte streams ----------------------------------------------------------

platform::ReadResult StdinSource::read(char* buffer, std::size_t capacity) {
  return platform::read_stdin(buffer, capacity);
}

int StdoutSink::write(const char* data, std::size_t size) { return platform::write_stdout(data, size); }

void StderrLog::line(std::string_view text) { platform::write_stderr(text); }

platform::ReadResult MemorySource::read(char* buffer, std::size_t capacity) {
  const std::size_t n = std::min({capacity, chunk_, bytes_.size() - position_});
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return {n, 0};
}

int MemorySink::write(const char* data, std::size_t size) {
  if (bytes_.size() + size > limit_) {
    bytes_.append(data, limit_ > bytes_.size() ? limit_ - bytes_.size() : 0);
    return error_;
  }
  bytes_.append(data, size);
  return 0;
}

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

namespace {

using schema::Field;
using schema::Kind;

constexpr Field kRequestFields[] = {
    {"jsonrpc", {Kind::kString}, 0},
    {"id", {Kind::kAny}, schema::kOptional},
    {"method", {Kind::kString}, 0},
    {"params", {Kind::kAny}, schema::kOptional},
};
constexpr schema::Record kRequestRecord{"RpcRequest", kRequestFields, false, 0, 0};

constexpr Field kNotificationFields[] = {
    {"jsonrpc", {Kind::kString}, 0},
    {"method", {Kind::kString}, 0},
    {"params", {Kind::kAny}, schema::kOptional},
};
constexpr schema::Record kNotificationRecord{"RpcNotification", kNotificationFields, true, 3, 3};

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

Params take_params(json& decoded) {
  auto it = decoded.find("params");
  if (it == decoded.end()) return std::nullopt;
  return std::move(*it);
}

std::string take_text(json& decoded, const char* key) { return std::move(decoded[key].get_ref<std::string&>()); }

}  // namespace

Result<IncomingMessage, TransportError> read_message(MessageReader& reader) {
  std::optional<uint64_t> length;
  for (;;) {
    auto line = reader.read_line();
    if (!line.ok()) return Err{std::move(line.error())};
    if (line->empty()) return IncomingMessage{EndOfInput{}};
    if (zevo::json::check_utf8(*line)) return Err{invalid_data("stream did not contain valid UTF-8")};
    const std::string_view trimmed = text::trim(*line);
    if (trimmed.empty()) break;
    if (trimmed.starts_with(kLengthHeader)) {
      length = parse_content_length(text::trim(trimmed.substr(kLengthHeader.size())));
    }
  }
  if (!length) return Err{invalid_data("Missing Content-Length header")};
  if (*length > kMaxContentLength) {
    return Err{invalid_data("Content-Length " + std::to_string(*length) + " exceeds the limit of " +
                            std::to_string(kMaxContentLength) + " bytes")};
  }

  const std::size_t size = static_cast<std::size_t>(*length);
  std::unique_ptr<char[]> body(new char[size == 0 ? 1 : size]);
  auto filled = reader.read_exact(body.get(), size);
  if (!filled.ok()) return Err{std::move(filled.error())};
  const std::string_view text(body.get(), size);
  if (auto bad = zevo::json::check_utf8(text)) return Err{invalid_data("Invalid UTF-8: " + *bad)};
  auto parsed = zevo::json::parse(text);
  body.reset();
  if (!parsed.ok()) return Err{invalid_data("Invalid JSON: " + parsed.error())};

  json value = std::move(*parsed);
  if (value.is_object() && value.contains("id")) {
    auto decoded = schema::decode(kRequestRecord, std::move(value));
    if (!decoded.ok()) return Err{invalid_data("Invalid request: " + decoded.error())};
    RpcRequest request;
    request.jsonrpc = take_text(*decoded, "jsonrpc");
    if (auto id = decoded->find("id"); id != decoded->end()) request.id = std::move(*id);
    request.method = take_text(*decoded, "method");
    request.params = take_params(*decoded);
    return IncomingMessage{std::move(request)};
  }
  auto decoded = schema::decode(kNotificationRecord, std::move(value));
  if (!decoded.ok()) return Err{invalid_data("Invalid notification: " + decoded.error())};
  RpcNotification notification;
  notification.jsonrpc = take_text(*decoded, "jsonrpc");
  notification.method = take_text(*decoded, "method");
  notification.params = take_params(*decoded);
  return IncomingMessage{std::move(notification)};
}

Status<TransportError> send_message(MessageWriter& writer, std::string_view body) {
  const std::string header = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  auto written = writer.write(header);
  if (written.ok()) written = writer.write(body);
  if (!written.ok()) {
    (void)writer.flush();  // drops what is left of the frame
    return written;
  }
  return writer.flush();
}

std::string encode_response(const json& id, const HandlerResult& result) {
  std::string out;
  if (const ResponseError* error = result.error()) {
    zevo::json::write_error_response(out, id, error->code, error->message, error->data ? &*error->data : nullptr);
  } else if (const RawJson* raw = result.raw()) {
    zevo::json::write_response(out, id, raw->text ? std::string_view(*raw->text) : std::string_view("null"));
  } else {
    zevo::json::write_response(out, id, zevo::json::to_text(*result.value()));
  }
  return out;
}

// ---- Run loop ----------------------------------------------------------------

namespace {

enum class NotificationOutcome : uint8_t { kHandled, kExit };

std::string log_line(std::string_view head, std::string_view argument) {
  std::string line;
  line.reserve(head.size() + argument.size() + 1);
  line += head;
  line += argument;
  line += '\n';
  return line;
}

Result<NotificationOutcome, TransportError> handle_notification(ServerState& state, std::string_view method,
                                                                Params params, MessageWriter& writer,
                                                                LogSink& log) {
  if (method == "exit") {
    log.line("Çıkış bildirimi alındı\n");
    return NotificationOutcome::kExit;
  }
  if (method == "initialized") {
    log.line("Sunucu başlatıldı\n");
    return NotificationOutcome::kHandled;
  }
  if (method == "textDocument/didOpen") {
    auto decoded = params ? decode_did_open_params(std::move(*params)) : fail("absent");
    if (!decoded.ok()) return Err{invalid_data("Invalid didOpen params")};
    TextDocumentItem& item = decoded->text_document;
    log.line(log_line("Döküman açıldı: ", item.uri));
    open_document(state, item.uri, std::move(item.text));
    const SharedText stored = get_document(state, item.uri)->text;
    auto published = publish_diagnostics(item.uri, *stored, writer, log);
    if (!published.ok()) return Err{std::move(published.error())};
    return NotificationOutcome::kHandled;
  }
  if (method == "textDocument/didChange") {
    auto decoded = params ? decode_did_change_params(std::move(*params)) : fail("absent");
    if (!decoded.ok()) return Err{invalid_data("Invalid didChange params")};
    const std::string& uri = decoded->text_document.uri;
    log.line(log_line("Döküman değişti: ", uri));
    apply_changes(state, uri, std::move(decoded->content_changes));
    if (const Document* document = get_document(state, uri)) {
      const SharedText stored = document->text;
      auto published = publish_diagnostics(uri, *stored, writer, log);
      if (!published.ok()) return Err{std::move(published.error())};
    }
    return NotificationOutcome::kHandled;
  }
  if (method == "textDocument/didClose") {
    auto decoded = params ? decode_did_close_params(std::move(*params)) : fail("absent");
    if (!decoded.ok()) return Err{invalid_data("Invalid didClose params")};
    log.line(log_line("Döküman kapatıldı: ", decoded->text_document.uri));
    close_document(state, decoded->text_document.uri);
    return NotificationOutcome::kHandled;
  }
  log.line(log_line("Bilinmeyen bildirim: ", method));
  return NotificationOutcome::kHandled;
}

}  // namespace

Result<RunOutcome, TransportError> run_server(ServerState& state, ServerIo io) {
  io.log.line("ZEVO Language Server başlatıldı...\n");
  MessageReader reader(io.input);
  MessageWriter writer(io.output);
  for (;;) {
    auto message = read_message(reader);
    if (!message.ok()) return Err{std::move(message.error())};
    if (std::holds_alternative<EndOfInput>(*message)) {
      io.log.line("EOF alındı, sunucu kapatılıyor...\n");
      return RunOutcome::kEndOfInput;
    }
    if (auto* request = std::get_if<RpcRequest>(&*message)) {
      io.log.line(log_line("İstek alındı: ", request->method));
      RequestContext context{std::move(request->params), request->method, state};
      const HandlerResult result = handle_request(context);
      auto sent = send_message(writer, encode_response(request->id, result));
      if (!sent.ok()) return Err{std::move(sent.error())};
      continue;
    }
    auto& notification = std::get<RpcNotification>(*message);
    io.log.line(log_line("Bildirim alındı: ", notification.method));
    auto outcome = handle_notification(state, notification.method, std::move(notification.params), writer, io.log);
    if (!outcome.ok()) {
      io.log.line("Notification " + notification.method + " hatası: " + outcome.error().text + "\n");
    } else if (*outcome == NotificationOutcome::kExit) {
      return RunOutcome::kExit;
    }
  }
}

ServerEnd serve(ServerIo io) {
  io.log.line("ZEVO Language Server v0.9.0\n");
  io.log.line("Başlatılıyor...\n");
  ServerState state;
  auto outcome = run_server(state, io);
  if (!outcome.ok()) {
    io.log.line("Sunucu hatası: " + outcome.error().text + "\n");
    return {1, true};
  }
  return {0, *outcome == RunOutcome::kExit};
}

}  // namespace zevo::lsp

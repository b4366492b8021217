#include "lsp/server.hpp"

#include <variant>

#include "lsp/dispatch.hpp"

namespace zevo::lsp {

Result<RunOutcome, TransportError> run_server(ServerState& state, ServerIo io) {
  io.log.line("ZEVO Language Server başlatıldı...\n");
  MessageReader reader(io.input);
  MessageWriter writer(io.output);
  // Kept for the life of the loop, so that small answers reuse its storage.
  json::Writer answer;
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
      write_answer(context, request->id, answer);
      auto sent = send_message(writer, answer);
      if (!sent.ok()) return Err{std::move(sent.error())};
      continue;
    }
    auto& notification = *std::get_if<RpcNotification>(&*message);
    io.log.line(log_line("Bildirim alındı: ", notification.method));
    NotificationContext context{std::move(notification.params), state, writer, io.log};
    auto outcome = handle_notification(notification.method, context);
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

// The dispatcher: where every method name the server knows is bound to its
// handler, requests and notifications alike, by the exact name. Every request
// handler is `HandlerResult handle_<method>(Params, const ServerState&,
// json::Writer&)`, or takes a DocumentsSnapshot in place of the state when it
// only reads the documents, and writes its result into the writer; a handler that decodes its params starts with decode_params
// (lsp/decode.hpp), one that reads them by key with raw_params.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/log.hpp"
#include "lsp/transport.hpp"

namespace zevo::lsp {

struct RequestContext {
  Params params;  // absent when the request had none or a null one
  std::string_view method;
  ServerState& state;
};

// Writes the method's result into `out`, or gives the error answer instead;
// never fails otherwise. Whether `out` refused the result at its limit is for
// the caller to see.
HandlerResult handle_request(RequestContext& context, json::Writer& out);

// The whole response of one request, in place of what `out` held: the result,
// or the error answer, which is also what a result refused at the writer's
// limit becomes ("Serialization error: an answer of N bytes exceeds the limit
// of L bytes", N counting the whole response as far as it would have gone;
// code lens and inlay hints put their own prefix in front).
void write_answer(RequestContext& context, const nlohmann::json& id, json::Writer& out);

// What a notification handler works with: the document notifications change
// the store and publish through the writer.
struct NotificationContext {
  Params params;  // absent when the notification had none or a null one
  ServerState& state;
  MessageWriter& writer;
  LogSink& log;
};

enum class NotificationOutcome : uint8_t { kHandled, kExit };

// An unknown method is logged and handled; a failure is logged by the run
// loop, which goes on.
Result<NotificationOutcome, TransportError> handle_notification(std::string_view method,
                                                                NotificationContext& context);

}  // namespace zevo::lsp

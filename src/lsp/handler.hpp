// What a request handler gives back: a JSON result (null included) or an error answer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include <nlohmann/json.hpp>

namespace zevo::lsp {

// A request's parameters: absent when the request had none or a null one.
using Params = std::optional<nlohmann::json>;

// The parameters of a handler that reads them by key: null when absent.
inline const nlohmann::json& raw_params(const Params& params) {
  static const nlohmann::json kNull;
  return params ? *params : kNull;
}

inline constexpr int32_t kInvalidRequest = -32600;
inline constexpr int32_t kMethodNotFound = -32601;
inline constexpr int32_t kInternalError = -32603;

struct ResponseError {
  int32_t code = 0;
  std::string message;
  std::optional<nlohmann::json> data;  // never set by the server; kept for the envelope
};

// A result already written as compact JSON text, shared between requests
// (the completion catalogue is the same for every request).
struct RawJson {
  std::shared_ptr<const std::string> text;
};

class HandlerResult {
 public:
  HandlerResult(nlohmann::json value) : state_(std::move(value)) {}
  HandlerResult(RawJson raw) : state_(std::move(raw)) {}
  HandlerResult(ResponseError error) : state_(std::move(error)) {}

  bool ok() const { return !std::holds_alternative<ResponseError>(state_); }
  // Null unless the result is a JSON value.
  const nlohmann::json* value() const { return std::get_if<nlohmann::json>(&state_); }
  const RawJson* raw() const { return std::get_if<RawJson>(&state_); }
  const ResponseError* error() const { return std::get_if<ResponseError>(&state_); }

 private:
  std::variant<nlohmann::json, RawJson, ResponseError> state_;
};

inline ResponseError invalid_request(std::string message) {
  return {kInvalidRequest, std::move(message), std::nullopt};
}
inline ResponseError method_not_found(std::string_view method) {
  return {kMethodNotFound, "Method not found: " + std::string(method), std::nullopt};
}
inline ResponseError internal_error(std::string message) {
  return {kInternalError, std::move(message), std::nullopt};
}
// Every answer is held whole in memory and sent in one frame. Answers whose
// size multiplies what the client sent (a long new name repeated at every
// occurrence, say) are refused above this size instead of exhausting memory;
// it is the limit of an incoming message too.
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{1} << 29;

// A feature's record could not be turned into JSON.
inline ResponseError serialization_error(std::string_view library_text) {
  return internal_error("Serialization error: " + std::string(library_text));
}

inline ResponseError answer_too_large(std::size_t bytes) {
  return serialization_error("an answer of " + std::to_string(bytes) + " bytes exceeds the limit of " +
                             std::to_string(kMaxAnswerBytes) + " bytes");
}

}  // namespace zevo::lsp

// What a request handler gives back: a result written as it goes, or an error answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "json/json.hpp"

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

// What a handler gives back: success when its result has been written into
// the answer's writer, or an error answer (and whatever it wrote is dropped).
class HandlerResult {
 public:
  HandlerResult() = default;
  HandlerResult(ResponseError error) : error_(std::move(error)) {}

  bool ok() const { return !error_; }
  const ResponseError* error() const { return error_ ? &*error_ : nullptr; }

 private:
  std::optional<ResponseError> error_;
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
// The text of an answer that the writer refused at its limit.
inline std::string answer_too_large(const json::Writer& out) {
  return "Serialization error: an answer of " + std::to_string(out.refused_at()) + " bytes exceeds the limit of " +
         std::to_string(out.limit()) + " bytes";
}

}  // namespace zevo::lsp

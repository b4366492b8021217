#include "json/json.hpp"

namespace zevo::json {

void write_error_response(Writer& out, const Value& id, int32_t code, std::string_view message, const Value* data) {
  out.begin_envelope();
  out.key("jsonrpc");
  out.string("2.0");
  out.key("id");
  out.value(id);
  out.key("error");
  // code, message, data: a fixed order, not sorted.
  out.begin_envelope();
  out.key("code");
  out.number(code);
  out.key("message");
  out.string(message);
  if (data != nullptr) {
    out.key("data");
    out.value(*data);
  }
  out.end_object();
  out.end_object();
}

}  // namespace zevo::json

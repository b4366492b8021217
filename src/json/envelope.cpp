#include "json/json.hpp"

namespace zevo::json {

void write_response(std::string& out, const Value& id, std::string_view result_json) {
  out += R"({"jsonrpc":"2.0","id":)";
  write(out, id);
  out += R"(,"result":)";
  out += result_json;
  out.push_back('}');
}

void write_error_response(std::string& out, const Value& id, int32_t code, std::string_view message,
                          const Value* data) {
  out += R"({"jsonrpc":"2.0","id":)";
  write(out, id);
  out += R"(,"error":{"code":)";
  out += std::to_string(code);
  out += R"(,"message":)";
  write_string(out, message);
  if (data != nullptr) {
    out += R"(,"data":)";
    write(out, *data);
  }
  out += "}}";
}

void write_notification(std::string& out, std::string_view method, std::string_view params_json) {
  out += R"({"jsonrpc":"2.0","method":)";
  write_string(out, method);
  out += R"(,"params":)";
  out += params_json;
  out.push_back('}');
}

}  // namespace zevo::json

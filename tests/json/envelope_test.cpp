#include <string>

#include <gtest/gtest.h>

#include "json/json.hpp"

namespace zevo::json {
namespace {

// The id as a request carried it, read back through the reader.
Value id_of(std::string_view request) {
  auto message = parse(request);
  EXPECT_TRUE(message.ok()) << request;
  return message.ok() ? get(*message, "id") : Value();
}

std::string response_text(const Value& id, std::string_view result) {
  Writer out;
  write_response(out, id, [&](Writer& w) { w.raw(result); });
  return out.text();
}

TEST(Envelope, ResponseEchoesTheIdFromItsParsedValue) {
  struct Case {
    const char* request;
    const char* response;
  };
  const Case cases[] = {
      {R"({"id":1})", R"({"jsonrpc":"2.0","id":1,"result":null})"},
      {R"({"id":"a"})", R"({"jsonrpc":"2.0","id":"a","result":null})"},
      {R"({"id":"\u0061\/\u00e7\n"})", "{\"jsonrpc\":\"2.0\",\"id\":\"a/\xC3\xA7\\n\",\"result\":null}"},
      {R"({"id":null})", R"({"jsonrpc":"2.0","id":null,"result":null})"},
      {R"({"id":1e2})", R"({"jsonrpc":"2.0","id":100.0,"result":null})"},
      {R"({"id":-0})", R"({"jsonrpc":"2.0","id":-0.0,"result":null})"},
      {R"({"id":18446744073709551615})", R"({"jsonrpc":"2.0","id":18446744073709551615,"result":null})"},
      {R"({"id":-9223372036854775808})", R"({"jsonrpc":"2.0","id":-9223372036854775808,"result":null})"},
      {R"({"id":18446744073709551616})", R"({"jsonrpc":"2.0","id":1.8446744073709552e19,"result":null})"},
      {R"({"id":{"b":1,"a":[]}})", R"({"jsonrpc":"2.0","id":{"a":[],"b":1},"result":null})"},
  };
  for (const Case& c : cases) EXPECT_EQ(response_text(id_of(c.request), "null"), c.response);
}

TEST(Envelope, FixedMemberOrder) {
  EXPECT_EQ(response_text(Value(7), R"({"b":1,"a":2})"), R"({"jsonrpc":"2.0","id":7,"result":{"b":1,"a":2}})");

  Writer out;
  write_error_response(out, Value("a"), -32600, "Invalid hover params", nullptr);
  EXPECT_EQ(out.text(), R"({"jsonrpc":"2.0","id":"a","error":{"code":-32600,"message":"Invalid hover params"}})");

  out.clear();
  const Value data = Value::object({{"z", 1}, {"a", "\""}});
  write_error_response(out, Value(), -32601, "Method not found: a\"b\\", &data);
  EXPECT_EQ(out.text(),
            R"({"jsonrpc":"2.0","id":null,"error":{"code":-32601,"message":"Method not found: a\"b\\","data":{"a":"\"","z":1}}})");

  out.clear();
  write_notification(out, "textDocument/publishDiagnostics", [](Writer& w) {
    w.begin_object();
    w.key("diagnostics");
    w.begin_array();
    w.end_array();
    w.key("uri");
    w.string("file:///a.zv");
    w.end_object();
  });
  EXPECT_EQ(out.text(),
            R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":[],"uri":"file:///a.zv"}})");
}

}  // namespace
}  // namespace zevo::json

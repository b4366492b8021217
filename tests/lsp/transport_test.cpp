// The reader and writer over memory streams, and the response envelope.
#include <gtest/gtest.h>

#include "lsp/transport.hpp"
#include "support/lsp_server.hpp"
#include "support/memory_streams.hpp"

namespace zevo::lsp {
namespace {

using testing::MemorySink;
using testing::MemorySource;

using testing::frame;

class CountingSink final : public ByteSink {
 public:
  int write(const char* data, std::size_t size) override {
    writes.emplace_back(data, size);
    return 0;
  }
  std::vector<std::string> writes;
};

TEST(MessageWriter, OneWritePerSmallMessage) {
  CountingSink sink;
  MessageWriter writer(sink);
  ASSERT_TRUE(send_message(writer, "{}").ok());
  ASSERT_TRUE(send_message(writer, "[1]").ok());
  EXPECT_EQ(sink.writes, (std::vector<std::string>{"Content-Length: 2\r\n\r\n{}", "Content-Length: 3\r\n\r\n[1]"}));
}

TEST(MessageWriter, LargeBodyGoesOutWhole) {
  CountingSink sink;
  MessageWriter writer(sink);
  const std::string body(100000, 'x');
  ASSERT_TRUE(send_message(writer, body).ok());
  std::string all;
  for (const auto& w : sink.writes) all += w;
  EXPECT_EQ(all, "Content-Length: 100000\r\n\r\n" + body);
  EXPECT_LE(sink.writes.size(), 2u);
}

TEST(MessageWriter, FailedFrameIsNotSentAgain) {
  MemorySink sink;
  MessageWriter writer(sink);
  sink.fail_after(5);
  auto failed = send_message(writer, "{\"a\":1}");
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().text, "Broken pipe (os error 32)");
  sink.heal();
  ASSERT_TRUE(send_message(writer, "{}").ok());
  EXPECT_EQ(sink.bytes(), "Conte" + frame("{}"));
}

TEST(MessageReader, ServesLinesAndBodiesAcrossRefills) {
  const std::string body(20000, 'b');
  for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{8192}, SIZE_MAX}) {
    SCOPED_TRACE(chunk);
    MemorySource source("a\r\nlast" + body, chunk);
    MessageReader reader(source);
    EXPECT_EQ(*reader.read_line(), "a\r\n");
    std::string got(4 + body.size(), '\0');
    ASSERT_TRUE(reader.read_exact(got.data(), got.size()).ok());
    EXPECT_EQ(got, "last" + body);
    EXPECT_EQ(*reader.read_line(), "");
    char extra;
    auto short_read = reader.read_exact(&extra, 1);
    ASSERT_FALSE(short_read.ok());
    EXPECT_EQ(short_read.error().text, "failed to fill whole buffer");
    EXPECT_EQ(short_read.error().kind, TransportErrorKind::kUnexpectedEof);
  }
}

TEST(EncodeResponse, EveryKindOfOutcome) {
  const auto raw = std::make_shared<const std::string>(R"([{"label":"eğer"}])");
  const ResponseError with_data{kInvalidRequest, "m", nlohmann::json{{"b", 1}, {"a", 2}}};
  EXPECT_EQ(encode_response(1, HandlerResult(nlohmann::json())), R"({"jsonrpc":"2.0","id":1,"result":null})");
  EXPECT_EQ(encode_response("x", HandlerResult(nlohmann::json{{"z", 1}, {"a", {{"y", 2}, {"b", 3}}}})),
            R"({"jsonrpc":"2.0","id":"x","result":{"a":{"b":3,"y":2},"z":1}})");
  // A shared, already written result goes out as it is.
  EXPECT_EQ(encode_response(nullptr, HandlerResult(RawJson{raw})),
            R"({"jsonrpc":"2.0","id":null,"result":[{"label":"eğer"}]})");
  EXPECT_EQ(encode_response(-7, HandlerResult(method_not_found("a\"b"))),
            R"({"jsonrpc":"2.0","id":-7,"error":{"code":-32601,"message":"Method not found: a\"b"}})");
  EXPECT_EQ(encode_response(2, HandlerResult(with_data)),
            R"({"jsonrpc":"2.0","id":2,"error":{"code":-32600,"message":"m","data":{"a":2,"b":1}}})");
}

}  // namespace
}  // namespace zevo::lsp

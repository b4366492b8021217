// The reader and writer over memory streams, and the response envelope.
#include <gtest/gtest.h>

#include "lsp/transport.hpp"
#include "support/messages.hpp"
#include "platform/platform.hpp"
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

Status<TransportError> send_text(MessageWriter& writer, std::string_view text) {
  zevo::json::Writer body;
  body.raw(text);
  return send_message(writer, body);
}

TEST(MessageWriter, OneWritePerSmallMessage) {
  CountingSink sink;
  MessageWriter writer(sink);
  ASSERT_TRUE(send_text(writer, "{}").ok());
  ASSERT_TRUE(send_text(writer, "[1]").ok());
  EXPECT_EQ(sink.writes, (std::vector<std::string>{"Content-Length: 2\r\n\r\n{}", "Content-Length: 3\r\n\r\n[1]"}));
}

TEST(MessageWriter, LargeBodyGoesOutWhole) {
  CountingSink sink;
  MessageWriter writer(sink);
  const std::string body(100000, 'x');
  ASSERT_TRUE(send_text(writer, body).ok());
  std::string all;
  for (const auto& w : sink.writes) all += w;
  EXPECT_EQ(all, "Content-Length: 100000\r\n\r\n" + body);
  // The header, then each of the body's blocks (64 KiB and the rest) at once.
  EXPECT_LE(sink.writes.size(), 3u);
}

TEST(MessageWriter, FailedFrameIsNotSentAgain) {
  MemorySink sink;
  MessageWriter writer(sink);
  sink.fail_after(5);
  auto failed = send_text(writer, "{\"a\":1}");
  ASSERT_FALSE(failed.ok());
  // The platform's text for the sink's error ("Broken pipe (os error 32)" on Linux).
  EXPECT_EQ(failed.error().text, platform::error_text(32));
  sink.heal();
  ASSERT_TRUE(send_text(writer, "{}").ok());
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

// A large body's memory is kept from message to message: a short message
// after a long one, and a longer one after both, read exactly their own bytes.
TEST(ReadMessage, BodiesOfChangingSizesReadTheirOwnBytes) {
  constexpr std::size_t kLarge = kKeptBodyBytes + 3000;
  std::string input;
  std::vector<std::string> texts;
  for (const std::size_t size : {kLarge, std::size_t{3}, std::size_t{0}, kLarge + 1000, std::size_t{30000},
                                 std::size_t{10}, std::size_t{10}, std::size_t{10}, std::size_t{10}, std::size_t{10},
                                 std::size_t{10}, std::size_t{10}, std::size_t{10}, kLarge}) {
    texts.push_back(std::string(size, static_cast<char>('a' + texts.size())));
    input += frame(R"({"jsonrpc":"2.0","method":"m","params":")" + texts.back() + R"("})");
  }
  MemorySource source(input, 65536);
  MessageReader reader(source);
  for (const std::string& text : texts) {
    auto message = read_message(reader);
    ASSERT_TRUE(message.ok());
    const auto* notification = std::get_if<RpcNotification>(&*message);
    ASSERT_NE(notification, nullptr);
    EXPECT_EQ(*notification->params, text);
  }
  auto end = read_message(reader);
  ASSERT_TRUE(end.ok());
  EXPECT_TRUE(std::holds_alternative<EndOfInput>(*end));
}

// A large body whose string takes its room (a document's text), one whose
// room is kept (no string of half of it), and the turns between them: each
// message reads its own bytes, also when a string takes a kept room larger
// than its body.
TEST(ReadMessage, RoomsTakenAndKeptReadTheirOwnBytes) {
  constexpr std::size_t kLarge = kKeptBodyBytes + 3000;
  struct Message {
    std::size_t size;
    bool one_string;  // else two strings of half the size each
  };
  const Message messages[] = {{kLarge, false}, {kLarge - 1000, true}, {kLarge + 5, false}, {kLarge, true},
                              {kLarge, true},  {10, true},            {kLarge, false},     {kLarge + 5, true}};
  std::string input;
  std::vector<std::string> params;
  for (const Message& m : messages) {
    const char letter = static_cast<char>('a' + params.size());
    const std::string text(m.size, letter);
    const std::string half(m.size / 2, letter);
    params.push_back(m.one_string ? "\"" + text + "\"" : "[\"" + half + "\",\"" + half + "\"]");
    input += frame(R"({"jsonrpc":"2.0","method":"m","params":)" + params.back() + "}");
  }
  MemorySource source(input, 65536);
  MessageReader reader(source);
  for (const std::string& expected : params) {
    auto message = read_message(reader);
    ASSERT_TRUE(message.ok());
    const auto* notification = std::get_if<RpcNotification>(&*message);
    ASSERT_NE(notification, nullptr);
    EXPECT_TRUE(*notification->params == nlohmann::json::parse(expected));
  }
}

}  // namespace
}  // namespace zevo::lsp

// Publishing one document's diagnostics.
#include <gtest/gtest.h>

#include "lsp/diagnostics_publish.hpp"
#include "platform/platform.hpp"
#include "support/memory_streams.hpp"

namespace zevo::lsp {
namespace {

using testing::MemoryLog;
using testing::MemorySink;

TEST(PublishDiagnostics, SendsOneFramedNotification) {
  MemorySink sink;
  MemoryLog log;
  MessageWriter writer(sink);
  ASSERT_TRUE(publish_diagnostics("HTTP://Example.COM/a b.zv", "{}", writer, log).ok());
  const std::string body =
      R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":[],)"
      R"("uri":"http://example.com/a%20b.zv"}})";
  EXPECT_EQ(sink.bytes(), "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_EQ(log.text(), "");
}

TEST(PublishDiagnostics, UnparsableUriIsLoggedAndSendsNothing) {
  MemorySink sink;
  MemoryLog log;
  MessageWriter writer(sink);
  ASSERT_TRUE(publish_diagnostics("not a uri", "", writer, log).ok());
  EXPECT_EQ(sink.bytes(), "");
  EXPECT_EQ(log.text(), "URI parse hatası: not a uri - relative URL without a base\n");
}

TEST(PublishDiagnostics, FailedWriteIsReturned) {
  MemorySink sink;
  sink.fail_after(10);
  MemoryLog log;
  MessageWriter writer(sink);
  auto status = publish_diagnostics("file:///a.zv", "", writer, log);
  ASSERT_FALSE(status.ok());
  // The platform's text for the sink's error ("Broken pipe (os error 32)" on Linux).
  EXPECT_EQ(status.error().text, platform::error_text(32));
  EXPECT_EQ(status.error().kind, TransportErrorKind::kPlatform);
}

}  // namespace
}  // namespace zevo::lsp

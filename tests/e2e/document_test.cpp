// Document notifications through the real binary: what reaches the store is
// seen in what is published and logged.
#include <gtest/gtest.h>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string ranged_change(std::string_view uri, std::string_view range, std::string_view text) {
  return R"({"textDocument":{"uri":)" + json_string(uri) + R"(,"version":2},"contentChanges":[{"range":)" +
         std::string(range) + R"(,"text":)" + json_string(text) + "}]}";
}

TEST(DocumentE2E, OpenChangeCloseLifecycle) {
  const std::string uri = "file:///w/a.zv";
  const Session s = run_session(
      frame(notification("textDocument/didOpen", did_open_params(uri, "one"))) +
      frame(notification("textDocument/didOpen", did_open_params(uri, "two"))) +
      frame(notification("textDocument/didChange", did_change_params(uri, 2, "three"))) +
      frame(notification("textDocument/didChange",
                         ranged_change(uri, R"({"start":{"line":9,"character":0},"end":{"line":0,"character":0}})",
                                       "skipped"))) +
      frame(notification("textDocument/didChange", did_change_params("file:///never.zv", 1, "x"))) +
      frame(notification("textDocument/didClose", did_close_params(uri))) +
      frame(notification("textDocument/didChange", did_change_params(uri, 3, "after close"))) +
      frame(notification("textDocument/didClose", did_close_params(uri))));
  EXPECT_EQ(s.exit_code, 0);
  // Two opens and the two changes of the open document publish; the rest do not.
  EXPECT_EQ(s.frames, std::vector<std::string>(4, diagnostics_notification(uri)));
  const std::vector<std::string> expected_tail = {
      "Bildirim alındı: textDocument/didChange", "Döküman değişti: file:///never.zv",
      "Bildirim alındı: textDocument/didClose",  "Döküman kapatıldı: file:///w/a.zv",
      "Bildirim alındı: textDocument/didChange", "Döküman değişti: file:///w/a.zv",
      "Bildirim alındı: textDocument/didClose",  "Döküman kapatıldı: file:///w/a.zv",
      "EOF alındı, sunucu kapatılıyor...",
  };
  ASSERT_GE(s.log.size(), expected_tail.size());
  EXPECT_EQ(std::vector<std::string>(s.log.end() - static_cast<long>(expected_tail.size()), s.log.end()),
            expected_tail);
}

TEST(DocumentE2E, UrisAreKeptInSerialisedForm) {
  struct Case {
    const char* sent;
    const char* stored;
  };
  const Case cases[] = {
      {"file:///home/u/My Dir/ä.zv", "file:///home/u/My%20Dir/%C3%A4.zv"},
      {"FILE:///A/../b.zv", "file:///b.zv"},
      {"file://localhost/etc/x.zv", "file:///etc/x.zv"},
      {"untitled:Untitled-1", "untitled:Untitled-1"},
      {"C:\\work\\a.zv", "c:\\work\\a.zv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sent);
    const Session s = run_session(frame(notification("textDocument/didOpen", did_open_params(c.sent, "x"))));
    EXPECT_EQ(s.frames, std::vector<std::string>{diagnostics_notification(c.stored)});
    ASSERT_GE(s.log.size(), 5u);
    EXPECT_EQ(s.log[4], std::string("Döküman açıldı: ") + c.stored);
  }
}

TEST(DocumentE2E, LargeDocumentRoundTrip) {
  // A text many times the stream buffers, with multi-byte characters across their edges.
  std::string text;
  while (text.size() < 300000) text += "değişken ğüşıöç = 42 // 😀\n";
  const Session s = run_session(frame(notification("textDocument/didOpen", did_open_params("file:///big.zv", text))) +
                                frame(notification("textDocument/didChange", did_change_params("file:///big.zv", 2, text + text))));
  EXPECT_EQ(s.frames, std::vector<std::string>(2, diagnostics_notification("file:///big.zv")));
  EXPECT_EQ(s.exit_code, 0);
}

}  // namespace
}  // namespace zevo::testing

// The run loop inside the test process, over memory streams.
#include <gtest/gtest.h>

#include "support/messages.hpp"

namespace zevo::lsp {
namespace {

using testing::frame;
using testing::notification;
using testing::request;

TEST(RunInProcess, ByteByByteInputGivesTheSameSession) {
  const std::string input = frame(request(1, "shutdown")) +
                            frame(notification("textDocument/didOpen", testing::did_open_params("file:///a.zv", "x"))) +
                            frame(request(2, "nope"));
  const testing::InProcessRun whole = testing::run_in_process(input);
  const testing::InProcessRun bytewise = testing::run_in_process(input, 1);
  EXPECT_EQ(whole.output, bytewise.output);
  EXPECT_EQ(whole.log, bytewise.log);
  EXPECT_EQ(whole.exit_code, 0);
  EXPECT_EQ(testing::frames_of(whole.output).size(), 3u);
}

TEST(RunInProcess, ExitEndsTheRunWithoutReadingOn) {
  const testing::InProcessRun run = testing::run_in_process(frame(notification("exit")) + "junk\r\n\r\n");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.log.back(), "Çıkış bildirimi alındı");
}

}  // namespace
}  // namespace zevo::lsp

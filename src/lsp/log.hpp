// Where the log lines go: standard error in the server, memory in the tests.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace zevo::lsp {

// One call per line, unbuffered.
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void line(std::string_view text) = 0;
};

class StderrLog final : public LogSink {
 public:
  void line(std::string_view text) override { platform::write_stderr(text); }
};

// A log line naming what it is about: `head`, the argument, then "\n".
inline std::string log_line(std::string_view head, std::string_view argument) {
  std::string line;
  line.reserve(head.size() + argument.size() + 1);
  line += head;
  line += argument;
  line += '\n';
  return line;
}

}  // namespace zevo::lsp

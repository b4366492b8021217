#include "lsp/server.hpp"
#include "platform/platform.hpp"

int main() {
  using namespace zevo;
  // A closed standard output must fail the write, not kill the process.
  platform::ignore_broken_pipe();
  platform::widen_pipes();
  lsp::StdinSource input;
  lsp::StdoutSink output;
  lsp::StderrLog log;
  const lsp::ServerEnd end = lsp::serve({input, output, log});
  if (end.immediate) platform::exit_process(end.code);
  return end.code;
}

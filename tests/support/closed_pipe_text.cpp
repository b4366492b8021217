// Prints to standard error the platform's text for a write to a closed pipe:
// the text the server logs when its standard output is closed. The caller
// closes this program's standard output, then writes a byte to its standard
// input, so the write below comes after the close.
#include "platform/platform.hpp"

int main() {
  using namespace zevo;
  platform::ignore_broken_pipe();
  char byte;
  (void)platform::read_stdin(&byte, 1);
  const int error = platform::write_stdout("x", 1);
  if (error == 0) return 1;
  platform::write_stderr(platform::error_text(error));
  return 0;
}

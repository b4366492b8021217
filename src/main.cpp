#include "platform/platform.hpp"

int main() {
  zevo::platform::write_stderr("ZEVO Language Server v0.9.0\n");
  zevo::platform::write_stderr("Başlatılıyor...\n");
  return 0;
}

// The message reader on raw standard-input bytes: read_message until end of
// input or the first failure, as the run loop does. The first byte picks how
// many bytes one read of the source yields, so buffer refills land anywhere.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "lsp/transport.hpp"
#include "support/memory_streams.hpp"
#include "text/utf8.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zevo::lsp;
  if (size == 0) return 0;
  const std::size_t chunk = data[0] == 0 ? SIZE_MAX : data[0];
  zevo::testing::MemorySource source(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), chunk);
  MessageReader reader(source);
  // Every message consumes at least its blank header line, so the input bounds the turns.
  for (std::size_t turn = 0; turn <= size; ++turn) {
    auto message = read_message(reader);
    if (!message.ok()) {
      if (message.error().text.empty()) __builtin_trap();  // a failure must say why
      return 0;
    }
    if (std::holds_alternative<EndOfInput>(*message)) return 0;
    const std::string& method = std::holds_alternative<RpcRequest>(*message)
                                    ? std::get<RpcRequest>(*message).method
                                    : std::get<RpcNotification>(*message).method;
    if (zevo::text::utf8_error(method)) __builtin_trap();
  }
  __builtin_trap();  // more turns than bytes: the reader stopped consuming
}

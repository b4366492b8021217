// The JSON reader, checked four ways: whatever it accepts, its own writer
// prints as text that reads back to the same value; nlohmann's reader accepts it
// too, with the same value; that printed text is stable when printed again; and
// the read in place gives the same value or the same error text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "json/json.hpp"
#include "text/utf8.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The server checks UTF-8 before it parses, so the reader only ever sees valid text.
  if (zevo::text::utf8_error(input)) return -1;
  auto parsed = zevo::json::parse(input);
  std::string buffer(input);
  auto in_place = zevo::json::parse_in_place(buffer, input.size());
  if (in_place.ok() != parsed.ok()) __builtin_trap();
  if (parsed.ok() ? *in_place != *parsed : in_place.error() != parsed.error()) __builtin_trap();
  if (!parsed.ok()) {
    if (parsed.error().find(" at line ") == std::string::npos) __builtin_trap();
    return 0;
  }
  const std::string written = zevo::json::to_text(*parsed);
  auto again = zevo::json::parse(written);
  if (!again.ok() || *again != *parsed) __builtin_trap();
  if (zevo::json::to_text(*again) != written) __builtin_trap();
  const auto reference = nlohmann::json::parse(input, nullptr, /*allow_exceptions=*/false);
  if (reference.is_discarded() || reference != *parsed) __builtin_trap();
  return 0;
}

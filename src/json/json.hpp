// JSON as the server reads and writes it, on the nlohmann value tree (objects
// ordered by key; numbers as unsigned 64-bit, signed 64-bit or double).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/result.hpp"

namespace zevo::json {

using Value = nlohmann::json;

// ---- Reading ------------------------------------------------------------

// Exactly one JSON value followed only by space, tab, LF, CR. The error text
// ends in " at line L column C", e.g. "trailing characters at line 1 column 4".
// Strings keep their bytes as they are: run text::utf8_error first (the writer still
// never emits ill-formed UTF-8).
Result<Value> parse(std::string_view text);

// ---- Writing (compact, cannot fail) -------------------------------------

void write(std::string& out, const Value& value);
std::string to_text(const Value& value);
void write_string(std::string& out, std::string_view text);
void write_unsigned(std::string& out, uint64_t value);

// ---- Raw-style access: a missing key, or a key or index looked up in a value
// of the wrong kind, reads as null ----------------------------------------

const Value& get(const Value& value, std::string_view key);
const Value& at(const Value& value, std::size_t index);

// ---- Typed reads for record decoding: kind and range are checked; a double
// never passes as an integer (not even 1.0 or -0) --------------------------

std::optional<uint8_t> as_u8(const Value& value);
std::optional<uint32_t> as_u32(const Value& value);
std::optional<int32_t> as_i32(const Value& value);
std::optional<uint64_t> as_u64(const Value& value);

// How a value is named in a decoder's "invalid type" text: "null",
// "boolean `true`", "integer `5`", "floating point `1.5`", "string \"text\"",
// "sequence", "map".
std::string describe(const Value& value);

// ---- Envelopes, assembled around the writer with a fixed member order -----

// {"jsonrpc":"2.0","id":<id>,"result":<result_json>}
void write_response(std::string& out, const Value& id, std::string_view result_json);
// {"jsonrpc":"2.0","id":<id>,"error":{"code":..,"message":..[,"data":..]}}
void write_error_response(std::string& out, const Value& id, int32_t code, std::string_view message,
                          const Value* data);
// {"jsonrpc":"2.0","method":<method>,"params":<params_json>}
void write_notification(std::string& out, std::string_view method, std::string_view params_json);

}  // namespace zevo::json

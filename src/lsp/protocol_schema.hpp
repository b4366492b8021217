// Parameter records as data: what each record's members are, of which kind,
// whether they may be left out, and whether the record also comes as a JSON
// array of its members' values. One generic decoder (protocol_decode.cpp)
// reads every record from these tables.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/result.hpp"

namespace zevo::lsp::schema {

enum class Kind : uint8_t { kBool, kString, kU8, kU32, kI32, kU64, kUrl, kAny, kRecord, kEnum };

// `ref` names the record or enum of kRecord and kEnum; `array` makes the value
// a JSON array of such elements.
struct Type {
  Kind kind = Kind::kAny;
  uint16_t ref = 0;
  bool array = false;
};

enum FieldFlag : uint8_t {
  kOptional = 1,    // absent or null reads as absent
  kDefault = 2,     // absent takes the default; may be left out at the end of the array form
  kFlatten = 4,     // the record's members are read from the enclosing object
  kTagSupport = 8,  // false/true/record rule of the tag-support capabilities
};

struct Field {
  std::string_view json;  // empty for a flattened record
  Type type;
  uint8_t flags = 0;
};

struct Record {
  std::string_view name;
  std::span<const Field> fields;
  bool seq_form = false;
  uint8_t seq_min = 0;
  uint8_t seq_max = 0;
};

enum class EnumKind : uint8_t { kClosedStrings, kOpenInteger, kOpenString, kUntagged };

struct Enum {
  std::string_view name;
  EnumKind kind = EnumKind::kOpenString;
  std::span<const std::string_view> values;  // kClosedStrings
  std::span<const Type> variants;            // kUntagged, tried in order
};

// Defined in protocol_schema_tables.cpp, in the order of RecordId and EnumId.
#include "lsp/protocol_schema_ids.inc"

const Record& record(RecordId id);
const Enum& enumeration(EnumId id);
const Record& record_at(uint16_t index);
const Enum& enumeration_at(uint16_t index);

// Decodes `value` as the record, consuming it: the result is the record in
// object form with only the members that are present, arrays read into
// objects, URIs in the URL library's serialised form and closed values as
// plain strings. Failure texts are the ones the envelope errors show
// ("missing field `method`", "invalid type: integer `5`, expected a string").
Result<nlohmann::json> decode(const Record& record, nlohmann::json&& value);

}  // namespace zevo::lsp::schema

// The checks of the validated-only records over the tables of
// protocol_schema_tables.cpp, the value checks and failure texts that the
// described records of lsp/decode.hpp share with them, and the scalars of
// those records.
#include <algorithm>
#include <string>
#include <utility>

#include "json/json.hpp"
#include "lsp/decode.hpp"
#include "lsp/protocol.hpp"
#include "lsp/protocol_schema.hpp"
#include "url/url.hpp"

namespace zevo::lsp {

using nlohmann::json;

Result<std::string> serialized_uri(std::string_view text) {
  auto parsed = url::parse(text);
  if (!parsed.ok()) return fail(std::move(parsed.error()));
  return url::serialize(*parsed);
}

namespace schema {

Err<std::string> invalid_type(const json& value, std::string_view expected) {
  return fail("invalid type: " + zevo::json::describe(value) + ", expected " + std::string(expected));
}

Err<std::string> missing_field(std::string_view name) { return fail("missing field `" + std::string(name) + "`"); }

std::string struct_name(std::string_view record_name) {
  // Without type arguments: "struct TagSupport".
  return "struct " + std::string(record_name.substr(0, record_name.find('<')));
}

Err<std::string> too_few_elements(std::size_t length, std::string_view record_name, std::size_t members) {
  return fail("invalid length " + std::to_string(length) + ", expected " + struct_name(record_name) + " with " +
              std::to_string(members) + " elements");
}

Err<std::string> too_many_elements(std::size_t length) {
  return fail("invalid length " + std::to_string(length) + ", expected fewer elements in array");
}

Status<> check_integer(Kind kind, const json& value) {
  const bool is_unsigned = kind == Kind::kU32;
  const std::string_view name = is_unsigned ? "u32" : "i32";
  if (is_unsigned ? zevo::json::as_u32(value).has_value() : zevo::json::as_i32(value).has_value()) return ok_status();
  if (!value.is_number_integer()) return invalid_type(value, name);
  return fail("invalid value: " + zevo::json::describe(value) + ", expected " + std::string(name));
}

Result<std::string> check_url(const json& value) {
  const std::string* text = value.get_ptr<const std::string*>();
  if (text == nullptr) return invalid_type(value, "a string representing an URL");
  auto uri = serialized_uri(*text);
  if (!uri.ok()) return fail("invalid value: " + zevo::json::describe(value) + ", expected " + uri.error());
  return uri;
}

namespace {

Status<> check_value(const Type& type, const json& value);

// A closed value is one of the listed strings, or an object with one member
// named by the value whose value is null.
Status<> check_closed_strings(const Enum& e, const json& value) {
  const std::string* text = value.get_ptr<const std::string*>();
  const json::object_t* object = value.get_ptr<const json::object_t*>();
  if (object != nullptr && object->size() == 1 && object->begin()->second.is_null()) text = &object->begin()->first;
  if (text == nullptr) return invalid_type(value, "enum " + std::string(e.name));
  for (std::string_view known : e.values) {
    if (*text == known) return ok_status();
  }
  std::string message = "unknown variant `" + *text + "`, expected one of ";
  for (std::size_t i = 0; i < e.values.size(); ++i) {
    if (i > 0) message += ", ";
    message += '`';
    message += e.values[i];
    message += '`';
  }
  return fail(std::move(message));
}

Status<> check_enum(const Enum& e, const json& value) {
  switch (e.kind) {
    case EnumKind::kOpenInteger: return check_integer(Kind::kI32, value);
    case EnumKind::kOpenString:
      if (!value.is_string()) return invalid_type(value, "a string");
      return ok_status();
    case EnumKind::kUntagged:
      for (const Type& variant : e.variants) {
        if (check_value(variant, value).ok()) return ok_status();
      }
      return fail("data did not match any variant of untagged enum " + std::string(e.name));
    case EnumKind::kClosedStrings: break;
  }
  return check_closed_strings(e, value);
}

Status<> check_single(const Type& type, const json& value) {
  switch (type.kind) {
    case Kind::kBool:
      if (!value.is_boolean()) return invalid_type(value, "a boolean");
      return ok_status();
    case Kind::kString:
      if (!value.is_string()) return invalid_type(value, "a string");
      return ok_status();
    case Kind::kU32:
    case Kind::kI32: return check_integer(type.kind, value);
    case Kind::kUrl: {
      auto uri = check_url(value);
      if (!uri.ok()) return Err{std::move(uri.error())};
      return ok_status();
    }
    case Kind::kAny: return ok_status();
    case Kind::kRecord: return check(record_at(type.ref), value);
    case Kind::kEnum: return check_enum(enumeration_at(type.ref), value);
  }
  return fail("unknown kind");
}

Status<> check_value(const Type& type, const json& value) {
  if (!type.array) return check_single(type, value);
  const json::array_t* array = value.get_ptr<const json::array_t*>();
  if (array == nullptr) return invalid_type(value, "a sequence");
  for (const json& element : *array) {
    auto status = check_single(type, element);
    if (!status.ok()) return status;
  }
  return ok_status();
}

// Members that may be left out at the end of the array form.
std::size_t fewest_elements(const Record& record) {
  std::size_t count = record.fields.size();
  while (count > 0 && (record.fields[count - 1].flags & kDefault)) --count;
  return count;
}

Status<> check_elements(const Record& record, const json::array_t& array) {
  const std::size_t count = std::min(array.size(), record.fields.size());
  for (std::size_t i = 0; i < count; ++i) {
    auto status = check_field(record.fields[i].type, record.fields[i].flags, array[i]);
    if (!status.ok()) return status;
  }
  if (array.size() < fewest_elements(record)) {
    return too_few_elements(array.size(), record.name, record.fields.size());
  }
  if (array.size() > record.fields.size()) return too_many_elements(array.size());
  return ok_status();
}

}  // namespace

Status<> check_field(const Type& type, uint8_t flags, const json& value) {
  if (flags & kTagSupport) {
    // false and null mean no support; true means support with no listed tags.
    if (value.is_null() || value.is_boolean()) return ok_status();
    return check_value(type, value);
  }
  if (value.is_null() && (flags & kOptional)) return ok_status();
  return check_value(type, value);
}

Status<> check_members(const Record& record, const json::object_t& object) {
  // Members in the object's (ascending) order, so the first faulty one in that order is reported.
  for (const auto& [key, value] : object) {
    for (const Field& field : record.fields) {
      if (field.json != key) continue;
      auto status = check_field(field.type, field.flags, value);
      if (!status.ok()) return status;
      break;
    }
  }
  for (const Field& field : record.fields) {
    if (is_required(field.flags) && !object.contains(field.json)) return missing_field(field.json);
  }
  return ok_status();
}

Status<> check(const Record& record, const json& value) {
  if (const json::array_t* array = value.get_ptr<const json::array_t*>(); array && !record.objects_only) {
    return check_elements(record, *array);
  }
  const json::object_t* object = value.get_ptr<const json::object_t*>();
  if (object == nullptr) return invalid_type(value, struct_name(record.name));
  return check_members(record, *object);
}

}  // namespace schema

namespace record_reader {

Status<> read(json& value, bool& out) {
  const bool* flag = value.get_ptr<const bool*>();
  if (flag == nullptr) return schema::invalid_type(value, "a boolean");
  out = *flag;
  return ok_status();
}

Status<> read(json& value, std::string& out) {
  std::string* text = value.get_ptr<std::string*>();
  if (text == nullptr) return schema::invalid_type(value, "a string");
  out = std::move(*text);
  return ok_status();
}

Status<> read(json& value, uint32_t& out) {
  const auto number = zevo::json::as_u32(value);
  if (!number) return schema::check_integer(schema::Kind::kU32, value);
  out = *number;
  return ok_status();
}

Status<> read(json& value, int32_t& out) {
  const auto number = zevo::json::as_i32(value);
  if (!number) return schema::check_integer(schema::Kind::kI32, value);
  out = *number;
  return ok_status();
}

Status<> read(json& value, json& out) {
  out = std::move(value);
  return ok_status();
}

Status<> read_url(json& value, std::string& out) {
  auto uri = schema::check_url(value);
  if (!uri.ok()) return Err{std::move(uri.error())};
  out = std::move(*uri);
  return ok_status();
}

}  // namespace record_reader
}  // namespace zevo::lsp

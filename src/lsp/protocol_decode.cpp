// The one generic record decoder over the tables of protocol_schema_tables.cpp,
// and the typed parameter records read from what it yields.
#include <string>
#include <utility>

#include "json/json.hpp"
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

namespace {

Err<std::string> invalid_type(const json& value, std::string_view expected) {
  return fail("invalid type: " + zevo::json::describe(value) + ", expected " + std::string(expected));
}

Err<std::string> invalid_length(std::size_t length, std::string_view expected) {
  return fail("invalid length " + std::to_string(length) + ", expected " + std::string(expected));
}

// A record as failure texts name it: "struct Name", without type arguments.
std::string struct_name(const Record& record) {
  const std::string_view name = record.name.substr(0, record.name.find('<'));
  return "struct " + std::string(name);
}

Result<json> decode_value(const Type& type, json&& value);

Result<json> decode_integer(Kind kind, json&& value) {
  std::string_view name;
  bool in_range = false;
  switch (kind) {
    case Kind::kU8: name = "u8"; in_range = zevo::json::as_u8(value).has_value(); break;
    case Kind::kU32: name = "u32"; in_range = zevo::json::as_u32(value).has_value(); break;
    case Kind::kI32: name = "i32"; in_range = zevo::json::as_i32(value).has_value(); break;
    default: name = "u64"; in_range = zevo::json::as_u64(value).has_value(); break;
  }
  if (in_range) return std::move(value);
  if (!value.is_number_integer()) return invalid_type(value, name);
  return fail("invalid value: " + zevo::json::describe(value) + ", expected " + std::string(name));
}

Result<json> decode_enum(const Enum& e, json&& value) {
  switch (e.kind) {
    case EnumKind::kOpenInteger: return decode_integer(Kind::kI32, std::move(value));
    case EnumKind::kOpenString:
      if (!value.is_string()) return invalid_type(value, "a string");
      return std::move(value);
    case EnumKind::kUntagged:
      for (std::size_t i = 0; i < e.variants.size(); ++i) {
        // A failed variant may have consumed parts of the value; only the last may take it whole.
        const bool last = i + 1 == e.variants.size();
        auto decoded = last ? decode_value(e.variants[i], std::move(value)) : decode_value(e.variants[i], json(value));
        if (decoded.ok()) return decoded;
      }
      return fail("data did not match any variant of untagged enum " + std::string(e.name));
    case EnumKind::kClosedStrings: break;
  }
  const std::string* text = nullptr;
  if (value.is_string()) {
    text = value.get_ptr<const std::string*>();
  } else if (value.is_object() && value.size() == 1 && value.begin()->is_null()) {
    text = &value.begin().key();
  } else {
    return invalid_type(value, "enum " + std::string(e.name));
  }
  for (std::string_view known : e.values) {
    if (*text == known) return json(std::string(known));
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

Result<json> decode_single(const Type& type, json&& value) {
  switch (type.kind) {
    case Kind::kBool:
      if (!value.is_boolean()) return invalid_type(value, "a boolean");
      return std::move(value);
    case Kind::kString:
      if (!value.is_string()) return invalid_type(value, "a string");
      return std::move(value);
    case Kind::kU8:
    case Kind::kU32:
    case Kind::kI32:
    case Kind::kU64: return decode_integer(type.kind, std::move(value));
    case Kind::kUrl: {
      if (!value.is_string()) return invalid_type(value, "a string representing an URL");
      auto uri = serialized_uri(value.get_ref<const std::string&>());
      if (!uri.ok()) return fail("invalid value: " + zevo::json::describe(value) + ", expected " + uri.error());
      return json(std::move(*uri));
    }
    case Kind::kAny: return std::move(value);
    case Kind::kRecord: return decode(record_at(type.ref), std::move(value));
    case Kind::kEnum: return decode_enum(enumeration_at(type.ref), std::move(value));
  }
  return fail("unknown kind");
}

Result<json> decode_value(const Type& type, json&& value) {
  if (!type.array) return decode_single(type, std::move(value));
  if (!value.is_array()) return invalid_type(value, "a sequence");
  json out = json::array();
  for (auto& element : value) {
    auto decoded = decode_single(type, std::move(element));
    if (!decoded.ok()) return Err{std::move(decoded.error())};
    out.push_back(std::move(*decoded));
  }
  return out;
}

// One member's value; false in `present` when it reads as absent.
Result<json> decode_field(const Field& field, json&& value, bool& present) {
  present = true;
  if (field.flags & kTagSupport) {
    // false and null mean no support; true means support with no listed tags.
    if (value.is_null() || (value.is_boolean() && !value.get<bool>())) {
      present = false;
      return json();
    }
    if (value.is_boolean()) return json{{"valueSet", json::array()}};
    return decode_value(field.type, std::move(value));
  }
  if (value.is_null() && (field.flags & kOptional)) {
    present = false;
    return json();
  }
  return decode_value(field.type, std::move(value));
}

bool is_required(const Field& field) { return (field.flags & (kOptional | kDefault | kFlatten)) == 0; }

Status<> decode_members(const Record& record, json& object, json& out) {
  // Members in the object's (ascending) order, so the first faulty one in that order is reported.
  for (auto it = object.begin(); it != object.end(); ++it) {
    for (const Field& field : record.fields) {
      if ((field.flags & kFlatten) || field.json != it.key()) continue;
      bool present = false;
      auto decoded = decode_field(field, std::move(it.value()), present);
      if (!decoded.ok()) return Err{std::move(decoded.error())};
      if (present) out[it.key()] = std::move(*decoded);
      break;
    }
  }
  for (const Field& field : record.fields) {
    if (field.flags & kFlatten) {
      auto status = decode_members(record_at(field.type.ref), object, out);
      if (!status.ok()) return status;
    } else if (is_required(field) && !object.contains(field.json)) {
      return fail("missing field `" + std::string(field.json) + "`");
    }
  }
  return ok_status();
}

Result<json> decode_sequence(const Record& record, json& array) {
  const std::size_t length = array.size();
  json out = json::object();
  for (std::size_t i = 0; i < record.fields.size(); ++i) {
    if (i >= length) {
      if (i < record.seq_min) {
        return invalid_length(length, struct_name(record) + " with " + std::to_string(record.fields.size()) +
                                          " elements");
      }
      break;
    }
    bool present = false;
    auto decoded = decode_field(record.fields[i], std::move(array[i]), present);
    if (!decoded.ok()) return Err{std::move(decoded.error())};
    if (present) out[std::string(record.fields[i].json)] = std::move(*decoded);
  }
  if (length > record.seq_max) return invalid_length(length, "fewer elements in array");
  return out;
}

}  // namespace

Result<json> decode(const Record& record, json&& value) {
  if (value.is_array() && record.seq_form) return decode_sequence(record, value);
  if (!value.is_object()) return invalid_type(value, struct_name(record));
  json out = json::object();
  auto status = decode_members(record, value, out);
  if (!status.ok()) return Err{std::move(status.error())};
  return out;
}

}  // namespace schema

// ---- Typed records from the decoder's object form -------------------------
// Their input has already been checked member by member, so these only read.

namespace {

Position position_from(const json& j) { return {j["line"].get<uint32_t>(), j["character"].get<uint32_t>()}; }

Range range_from(const json& j) { return {position_from(j["start"]), position_from(j["end"])}; }

std::string take_string(json& j, const char* key) { return std::move(j[key].get_ref<std::string&>()); }

TextDocumentIdentifier identifier_from(json& j) { return {take_string(j, "uri")}; }

TextDocumentPositionParams position_params_from(json& j) {
  return {identifier_from(j["textDocument"]), position_from(j["position"])};
}

// Decodes the root record `id` and reads the typed record from its object form.
template <class Make>
auto decode_as(schema::RecordId id, json&& value, Make make) -> Result<decltype(make(std::declval<json&>()))> {
  auto decoded = schema::decode(schema::record(id), std::move(value));
  if (!decoded.ok()) return Err{std::move(decoded.error())};
  return make(*decoded);
}

TextDocumentContentChangeEvent change_from(json& j) {
  TextDocumentContentChangeEvent event;
  if (j.contains("range")) event.range = range_from(j["range"]);
  if (j.contains("rangeLength")) event.range_length = j["rangeLength"].get<uint32_t>();
  event.text = take_string(j, "text");
  return event;
}

}  // namespace

Result<DidOpenTextDocumentParams> decode_did_open_params(json j) {
  return decode_as(schema::RecordId::kDidOpenTextDocumentParams, std::move(j), [](json& d) {
    json& item = d["textDocument"];
    return DidOpenTextDocumentParams{{take_string(item, "uri"), take_string(item, "languageId"),
                                      item["version"].get<int32_t>(), take_string(item, "text")}};
  });
}

Result<DidChangeTextDocumentParams> decode_did_change_params(json j) {
  return decode_as(schema::RecordId::kDidChangeTextDocumentParams, std::move(j), [](json& d) {
    json& document = d["textDocument"];
    DidChangeTextDocumentParams params{{take_string(document, "uri"), document["version"].get<int32_t>()}, {}};
    params.content_changes.reserve(d["contentChanges"].size());
    for (json& change : d["contentChanges"]) params.content_changes.push_back(change_from(change));
    return params;
  });
}

Result<DidCloseTextDocumentParams> decode_did_close_params(json j) {
  return decode_as(schema::RecordId::kDidCloseTextDocumentParams, std::move(j),
                   [](json& d) { return DidCloseTextDocumentParams{identifier_from(d["textDocument"])}; });
}

Result<TextDocumentPositionParams> decode_text_document_position_params(json j) {
  return decode_as(schema::RecordId::kTextDocumentPositionParams, std::move(j), position_params_from);
}

Result<HoverParams> decode_hover_params(json j) {
  return decode_as(schema::RecordId::kHoverParams, std::move(j),
                   [](json& d) { return HoverParams{position_params_from(d)}; });
}

Result<CompletionParams> decode_completion_params(json j) {
  return decode_as(schema::RecordId::kCompletionParams, std::move(j),
                   [](json& d) { return CompletionParams{position_params_from(d)}; });
}

Result<GotoDefinitionParams> decode_definition_params(json j) {
  return decode_as(schema::RecordId::kGotoDefinitionParams, std::move(j),
                   [](json& d) { return GotoDefinitionParams{position_params_from(d)}; });
}

Result<ReferenceParams> decode_reference_params(json j) {
  return decode_as(schema::RecordId::kReferenceParams, std::move(j), [](json& d) {
    return ReferenceParams{position_params_from(d), d["context"]["includeDeclaration"].get<bool>()};
  });
}

Result<RenameParams> decode_rename_params(json j) {
  return decode_as(schema::RecordId::kRenameParams, std::move(j),
                   [](json& d) { return RenameParams{position_params_from(d), take_string(d, "newName")}; });
}

Status<> decode_initialize_params(json j) {
  return decode_as(schema::RecordId::kInitializeParams, std::move(j), [](json&) { return Unit{}; });
}

}  // namespace zevo::lsp

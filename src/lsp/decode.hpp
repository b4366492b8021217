// Strict decoding of the records the server keeps. Each record is declared
// once, by a Members<R> specialisation: its name and one line per JSON member
// binding the member's name to the struct member it fills (the member's type
// gives its kind; std::optional makes it optional). One generic reader walks
// that description over the JSON value and writes into the struct in the same
// pass, taking strings out of the value instead of copying them.
//
// A description says, member by member:
//   m("name", r.member)                the value read by the member's type
//   m("name", r.member, kOptional)     the same, and it may be left out
//   m.url("name", r.member)            a URI, kept in the URL library's form
//   m.check("name", type, flags)       checked against the tables, not kept
//   m.flatten(r.member)                a record whose members sit in this object
//   m.flatten(RecordId)                a table record read the same way, not kept
//
// A record with no flattened member also comes as a JSON array of its
// members' values in declaration order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"
#include "lsp/protocol_schema.hpp"
#include "base/result.hpp"

namespace zevo::lsp {

template <class R>
struct Members;

template <class R>
concept DescribedRecord = requires { Members<R>::kName; };

// ---- The records and their members --------------------------------------

template <>
struct Members<Position> {
  static constexpr std::string_view kName = "Position";
  template <class M>
  static void map(M& m, Position& r) {
    m("line", r.line);
    m("character", r.character);
  }
};

template <>
struct Members<Range> {
  static constexpr std::string_view kName = "Range";
  template <class M>
  static void map(M& m, Range& r) {
    m("start", r.start);
    m("end", r.end);
  }
};

template <>
struct Members<TextDocumentIdentifier> {
  static constexpr std::string_view kName = "TextDocumentIdentifier";
  template <class M>
  static void map(M& m, TextDocumentIdentifier& r) {
    m.url("uri", r.uri);
  }
};

template <>
struct Members<TextDocumentItem> {
  static constexpr std::string_view kName = "TextDocumentItem";
  template <class M>
  static void map(M& m, TextDocumentItem& r) {
    m.url("uri", r.uri);
    m("languageId", r.language_id);
    m("version", r.version);
    m("text", r.text);
  }
};

template <>
struct Members<VersionedTextDocumentIdentifier> {
  static constexpr std::string_view kName = "VersionedTextDocumentIdentifier";
  template <class M>
  static void map(M& m, VersionedTextDocumentIdentifier& r) {
    m.url("uri", r.uri);
    m("version", r.version);
  }
};

template <>
struct Members<TextDocumentContentChangeEvent> {
  static constexpr std::string_view kName = "TextDocumentContentChangeEvent";
  template <class M>
  static void map(M& m, TextDocumentContentChangeEvent& r) {
    m("range", r.range);
    m("rangeLength", r.range_length);
    m("text", r.text);
  }
};

template <>
struct Members<DidOpenTextDocumentParams> {
  static constexpr std::string_view kName = "DidOpenTextDocumentParams";
  template <class M>
  static void map(M& m, DidOpenTextDocumentParams& r) {
    m("textDocument", r.text_document);
  }
};

template <>
struct Members<DidChangeTextDocumentParams> {
  static constexpr std::string_view kName = "DidChangeTextDocumentParams";
  template <class M>
  static void map(M& m, DidChangeTextDocumentParams& r) {
    m("textDocument", r.text_document);
    m("contentChanges", r.content_changes);
  }
};

template <>
struct Members<DidCloseTextDocumentParams> {
  static constexpr std::string_view kName = "DidCloseTextDocumentParams";
  template <class M>
  static void map(M& m, DidCloseTextDocumentParams& r) {
    m("textDocument", r.text_document);
  }
};

template <>
struct Members<TextDocumentPositionParams> {
  static constexpr std::string_view kName = "TextDocumentPositionParams";
  template <class M>
  static void map(M& m, TextDocumentPositionParams& r) {
    m("textDocument", r.text_document);
    m("position", r.position);
  }
};

template <>
struct Members<HoverParams> {
  static constexpr std::string_view kName = "HoverParams";
  template <class M>
  static void map(M& m, HoverParams& r) {
    m.flatten(r.position_params);
    m.flatten(schema::RecordId::kWorkDoneProgressParams);
  }
};

template <>
struct Members<CompletionParams> {
  static constexpr std::string_view kName = "CompletionParams";
  template <class M>
  static void map(M& m, CompletionParams& r) {
    m.flatten(r.position_params);
    m.flatten(schema::RecordId::kWorkDoneProgressParams);
    m.flatten(schema::RecordId::kPartialResultParams);
    m.check("context", schema::one(schema::RecordId::kCompletionContext), schema::kOptional);
  }
};

template <>
struct Members<GotoDefinitionParams> {
  static constexpr std::string_view kName = "GotoDefinitionParams";
  template <class M>
  static void map(M& m, GotoDefinitionParams& r) {
    m.flatten(r.position_params);
    m.flatten(schema::RecordId::kWorkDoneProgressParams);
    m.flatten(schema::RecordId::kPartialResultParams);
  }
};

template <>
struct Members<ReferenceContext> {
  static constexpr std::string_view kName = "ReferenceContext";
  template <class M>
  static void map(M& m, ReferenceContext& r) {
    m("includeDeclaration", r.include_declaration);
  }
};

template <>
struct Members<ReferenceParams> {
  static constexpr std::string_view kName = "ReferenceParams";
  template <class M>
  static void map(M& m, ReferenceParams& r) {
    m.flatten(r.position_params);
    m.flatten(schema::RecordId::kWorkDoneProgressParams);
    m.flatten(schema::RecordId::kPartialResultParams);
    m("context", r.context);
  }
};

template <>
struct Members<RenameParams> {
  static constexpr std::string_view kName = "RenameParams";
  template <class M>
  static void map(M& m, RenameParams& r) {
    m.flatten(r.position_params);
    m("newName", r.new_name);
    m.flatten(schema::RecordId::kWorkDoneProgressParams);
  }
};

// Checked in full and then dropped: nothing the client announces changes what the server does.
template <>
struct Members<InitializeParams> {
  static constexpr std::string_view kName = "InitializeParams";
  template <class M>
  static void map(M& m, InitializeParams&) {
    using namespace schema;
    m.check("processId", one(Kind::kU32), kOptional);
    m.check("rootPath", one(Kind::kString), kOptional);
    m.check("rootUri", one(Kind::kUrl), kOptional | kDefault);
    m.check("initializationOptions", one(Kind::kAny), kOptional);
    m.check("capabilities", one(RecordId::kClientCapabilities), 0);
    m.check("trace", one(EnumId::kTraceValue), kOptional | kDefault);
    m.check("workspaceFolders", array_of(RecordId::kWorkspaceFolder), kOptional);
    m.check("clientInfo", one(RecordId::kClientInfo), kOptional);
    m.check("locale", one(Kind::kString), kOptional);
    m.flatten(RecordId::kWorkDoneProgressParams);
  }
};

// ---- The reader ------------------------------------------------------------

namespace record_reader {

using nlohmann::json;

// Scalars; each fails with the decoder's text and leaves `out` alone then.
Status<> read(json& value, bool& out);
Status<> read(json& value, std::string& out);
Status<> read(json& value, uint32_t& out);
Status<> read(json& value, int32_t& out);
Status<> read(json& value, json& out);  // any value
Status<> read_url(json& value, std::string& out);

template <DescribedRecord R>
Status<> read(json& value, R& out);

template <class T>
Status<> read(json& value, std::optional<T>& out) {
  if (value.is_null()) return ok_status();
  return read(value, out.emplace());
}

template <class T>
Status<> read(json& value, std::vector<T>& out) {
  json::array_t* array = value.get_ptr<json::array_t*>();
  if (array == nullptr) return schema::invalid_type(value, "a sequence");
  out.reserve(array->size());
  for (json& element : *array) {
    auto status = read(element, out.emplace_back());
    if (!status.ok()) return status;
  }
  return ok_status();
}

template <class T>
constexpr bool kIsOptional = false;
template <class T>
constexpr bool kIsOptional<std::optional<T>> = true;

// A member's value; null reads as absent where the description allows it.
template <class T>
Status<> read_member(json& value, T& target, uint8_t flags) {
  if (value.is_null() && (flags & schema::kOptional)) return ok_status();
  return read(value, target);
}

// What a description declares, before any value is read: how many members
// the array form has, and how many of them may not be left out at its end.
struct Shape {
  std::size_t members = 0;
  std::size_t fewest = 0;
  bool flattens = false;
};

class ShapePass {
 public:
  template <class T>
  void operator()(std::string_view, T&, uint8_t flags = 0) { add(flags); }
  void url(std::string_view, std::string&) { add(0); }
  void check(std::string_view, const schema::Type&, uint8_t flags) { add(flags); }
  template <class T>
  void flatten(const T&) { shape.flattens = true; }
  Shape shape;

 private:
  void add(uint8_t flags) {
    ++shape.members;
    if (!(flags & schema::kDefault)) shape.fewest = shape.members;
  }
};

// Reads one member of the object into the first member of that name.
class MemberPass {
 public:
  MemberPass(std::string_view key, json& value) : key_(key), value_(value) {}

  template <class T>
  void operator()(std::string_view name, T& target, uint8_t flags = 0) {
    if (take(name)) status = read_member(value_, target, flags);
  }
  void url(std::string_view name, std::string& target) {
    if (take(name)) status = read_url(value_, target);
  }
  void check(std::string_view name, const schema::Type& type, uint8_t flags) {
    if (take(name)) status = schema::check_field(type, flags, value_);
  }
  template <class T>
  void flatten(const T&) {}

  Status<> status = ok_status();

 private:
  bool take(std::string_view name) {
    if (taken_ || name != key_) return false;
    taken_ = true;
    return true;
  }
  std::string_view key_;
  json& value_;
  bool taken_ = false;
};

template <DescribedRecord R>
Status<> read_members(json::object_t& object, R& out);

// In declaration order: the flattened records, and the members that must be there.
class RequiredPass {
 public:
  explicit RequiredPass(json::object_t& object) : object_(object) {}

  template <class T>
  void operator()(std::string_view name, T&, uint8_t flags = 0) {
    require(name, !kIsOptional<T> && schema::is_required(flags));
  }
  void url(std::string_view name, std::string&) { require(name, true); }
  void check(std::string_view name, const schema::Type&, uint8_t flags) { require(name, schema::is_required(flags)); }
  template <DescribedRecord R>
  void flatten(R& target) {
    if (status.ok()) status = read_members(object_, target);
  }
  void flatten(schema::RecordId id) {
    if (status.ok()) status = schema::check_members(schema::record(id), object_);
  }

  Status<> status = ok_status();

 private:
  void require(std::string_view name, bool required) {
    if (status.ok() && required && !object_.contains(name)) status = schema::missing_field(name);
  }
  json::object_t& object_;
};

// The array form: the next element for each member.
class ElementPass {
 public:
  explicit ElementPass(json::array_t& array) : array_(array) {}

  template <class T>
  void operator()(std::string_view, T& target, uint8_t flags = 0) {
    if (json* value = next()) status = read_member(*value, target, flags);
  }
  void url(std::string_view, std::string& target) {
    if (json* value = next()) status = read_url(*value, target);
  }
  void check(std::string_view, const schema::Type& type, uint8_t flags) {
    if (json* value = next()) status = schema::check_field(type, flags, *value);
  }
  template <class T>
  void flatten(const T&) {}

  Status<> status = ok_status();

 private:
  json* next() {
    const std::size_t index = index_++;
    if (!status.ok() || index >= array_.size()) return nullptr;
    return &array_[index];
  }
  json::array_t& array_;
  std::size_t index_ = 0;
};

template <DescribedRecord R>
Status<> read_members(json::object_t& object, R& out) {
  // Members in the object's (ascending) order, so the first faulty one in that order is reported.
  for (auto& [key, value] : object) {
    MemberPass pass(key, value);
    Members<R>::map(pass, out);
    if (!pass.status.ok()) return pass.status;
  }
  RequiredPass required(object);
  Members<R>::map(required, out);
  return required.status;
}

template <DescribedRecord R>
Status<> read(json& value, R& out) {
  if (json::array_t* array = value.get_ptr<json::array_t*>()) {
    ShapePass shape;
    Members<R>::map(shape, out);
    if (!shape.shape.flattens) {
      ElementPass elements(*array);
      Members<R>::map(elements, out);
      if (!elements.status.ok()) return elements.status;
      const Shape& expected = shape.shape;
      if (array->size() < expected.fewest) {
        return schema::too_few_elements(array->size(), Members<R>::kName, expected.members);
      }
      if (array->size() > expected.members) return schema::too_many_elements(array->size());
      return ok_status();
    }
  }
  json::object_t* object = value.get_ptr<json::object_t*>();
  if (object == nullptr) return schema::invalid_type(value, schema::struct_name(Members<R>::kName));
  return read_members(*object, out);
}

}  // namespace record_reader

// The record, or the decoder's failure text. The value is taken by value so
// that a caller that owns it can move it in and large texts are never copied.
template <DescribedRecord R>
Result<R> decode_record(nlohmann::json value) {
  R out{};
  auto status = record_reader::read(value, out);
  if (!status.ok()) return Err{std::move(status.error())};
  return out;
}

// A request's parameters as the record, or the -32600 answer with the
// method's fixed text (the decoder's own text is not shown to the client).
template <DescribedRecord R>
Result<R, ResponseError> decode_params(Params params, std::string_view invalid_text) {
  if (params) {
    auto decoded = decode_record<R>(std::move(*params));
    if (decoded.ok()) return std::move(*decoded);
  }
  return Err{invalid_request(std::string(invalid_text))};
}

}  // namespace zevo::lsp

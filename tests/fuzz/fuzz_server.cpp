// The whole server, in-process: the input is read as a program of client
// messages (opens and changes with fuzzed text, closes, and the 14 request
// methods with fuzzed parameters and positions), framed and run through the
// real loop; after the program each of the 14 methods asks once more about the
// first document, with well-formed parameters, so that every input reaches every
// feature with the documents the program left. Every message is well-formed JSON, so the run must end at end
// of input with code 0, every request must get exactly one response, in order,
// and everything the server writes must be a well-framed message.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "fuzz/fuzz_support.hpp"
#include "json/json.hpp"
#include "lsp/server.hpp"
#include "support/memory_streams.hpp"
#include "text/utf8.hpp"

namespace {

using nlohmann::json;

constexpr std::string_view kMethods[] = {
    "initialize",
    "shutdown",
    "textDocument/hover",
    "textDocument/completion",
    "textDocument/signatureHelp",
    "textDocument/definition",
    "textDocument/references",
    "textDocument/rename",
    "textDocument/prepareRename",
    "textDocument/documentSymbol",
    "textDocument/semanticTokens/full",
    "textDocument/inlayHint",
    "textDocument/codeLens",
    "textDocument/codeAction",
    // Outside the table: answered -32601.
    "exit",
    "textDocument/Hover",
};

// The form the store keeps, forms it prints differently, and one that does not parse.
constexpr std::string_view kUris[] = {
    "file:///a.zv", "file:///b.zv", "untitled:Untitled-1", "file:///dir/ş k.zv", "FILE:///a.zv", "not a uri",
};

// Member names the features read, so that random objects often hit them.
constexpr std::string_view kKeys[] = {
    "textDocument", "uri", "position", "line", "character", "range", "start", "end", "context", "newName",
    "includeDeclaration", "diagnostics", "message", "capabilities", "triggerKind", "text", "version",
};

// Diagnostic messages the quick fixes look for.
constexpr std::string_view kMessages[] = {
    "Missing closing brace", "expected ';'", "undefined variable 'x'", "unknown keyword eğer",
    "type mismatch: integer and float", "tip uyuşmazlığı: tamsayı ondalık",
};

class Program {
 public:
  explicit Program(FuzzedDataProvider& in) : in_(in) {}

  std::string text(std::size_t max) { return zevo::fuzz::valid_utf8(in_.ConsumeRandomLengthString(max)); }

  json uri() {
    const std::size_t n = in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kUris));
    if (n == std::size(kUris)) return text(40);
    return std::string(kUris[n]);
  }

  // Mostly columns and lines near the text; sometimes the values a careless
  // client sends: negative, past 32 bits, fractions, other kinds.
  json number() {
    switch (in_.ConsumeIntegralInRange(0, 12)) {
      case 0: return -1;
      case 1: return 4294967295u;
      case 2: return 4294967296u;
      case 3: return 2147483648u;
      case 4: return 1.5;
      case 5: return "3";
      case 6: return nullptr;
      case 7: return -0.0;
      default: return in_.ConsumeIntegralInRange(0, 40);
    }
  }

  json position() { return {{"line", number()}, {"character", number()}}; }
  json range() { return {{"start", position()}, {"end", position()}}; }
  json document() { return {{"uri", uri()}}; }

  json value(int depth) {
    switch (in_.ConsumeIntegralInRange(0, depth > 3 ? 4 : 6)) {
      case 0: return nullptr;
      case 1: return in_.ConsumeBool();
      case 2: return number();
      case 3: return in_.ConsumeFloatingPoint<double>();
      case 4: return text(20);
      case 5: {
        json array = json::array();
        for (int n = in_.ConsumeIntegralInRange(0, 3); n > 0; --n) array.push_back(value(depth + 1));
        return array;
      }
      default: {
        json object = json::object();
        for (int n = in_.ConsumeIntegralInRange(0, 3); n > 0; --n) {
          object[std::string(in_.PickValueInArray(kKeys))] = value(depth + 1);
        }
        return object;
      }
    }
  }

  json params_for(std::string_view method) {
    json params = {{"textDocument", document()}, {"position", position()}};
    if (method == "initialize") {
      params = {{"capabilities", in_.ConsumeBool() ? json::object() : value(1)}};
      if (in_.ConsumeBool()) params["rootUri"] = uri();
      if (in_.ConsumeBool()) params["processId"] = number();
    } else if (method == "textDocument/references") {
      params["context"] = {{"includeDeclaration", in_.ConsumeBool()}};
    } else if (method == "textDocument/rename") {
      params["newName"] = text(12);
    } else if (method == "textDocument/prepareRename" && in_.ConsumeBool()) {
      params = json::array({params["textDocument"], params["position"]});
    } else if (method == "textDocument/inlayHint") {
      params.erase("position");
      params["range"] = range();
    } else if (method == "textDocument/codeAction") {
      params.erase("position");
      params["range"] = range();
      json diagnostics = json::array();
      for (int n = in_.ConsumeIntegralInRange(0, 2); n > 0; --n) {
        diagnostics.push_back({{"range", range()}, {"message", std::string(in_.PickValueInArray(kMessages))}});
      }
      params["context"] = {{"diagnostics", diagnostics}};
    } else if (method == "textDocument/documentSymbol" || method == "textDocument/semanticTokens/full" ||
               method == "textDocument/codeLens") {
      params.erase("position");
    }
    mutate(params);
    return params;
  }

  // A few random edits anywhere in the tree: a member replaced or dropped.
  void mutate(json& params) {
    for (int n = in_.ConsumeIntegralInRange(0, 3); n > 0; --n) {
      json* node = &params;
      while ((node->is_object() || node->is_array()) && !node->empty() && in_.ConsumeBool()) {
        const std::size_t pick = in_.ConsumeIntegralInRange<std::size_t>(0, node->size() - 1);
        auto it = node->begin();
        std::advance(it, static_cast<std::ptrdiff_t>(pick));
        node = &*it;
      }
      if (in_.ConsumeBool() || node == &params) {
        *node = value(1);
      } else {
        *node = nullptr;
      }
    }
  }

  json content_changes() {
    json changes = json::array();
    for (int n = in_.ConsumeIntegralInRange(1, 3); n > 0; --n) {
      json change = {{"text", text(200)}};
      if (in_.ConsumeBool()) change["range"] = range();
      changes.push_back(change);
    }
    return changes;
  }

  // Well-formed parameters of `method` about the first document.
  static json plain_params(std::string_view method, int line, int character) {
    const json position = {{"line", line}, {"character", character}};
    const json range = {{"start", {{"line", 0}, {"character", 0}}}, {"end", position}};
    json params = {{"textDocument", {{"uri", std::string(kUris[0])}}}, {"position", position}};
    if (method == "initialize") return {{"capabilities", json::object()}};
    if (method == "textDocument/references") params["context"] = {{"includeDeclaration", true}};
    if (method == "textDocument/rename") params["newName"] = "yeni";
    if (method == "textDocument/inlayHint") params["range"] = range;
    if (method == "textDocument/codeAction") {
      params["range"] = range;
      params["context"] = {{"diagnostics", json::array({{{"range", range}, {"message", kMessages[0]}}})}};
    }
    return params;
  }

  // One message; `requests` counts the ids that must be answered.
  std::string message(int64_t& requests) {
    switch (in_.ConsumeIntegralInRange(0, 9)) {
      case 0:
      case 1: {
        json item = {{"uri", uri()}, {"languageId", "zevo"}, {"version", 1}, {"text", text(4096)}};
        return notification("textDocument/didOpen", {{"textDocument", item}});
      }
      case 2:
      case 3: {
        json params = {{"textDocument", {{"uri", uri()}, {"version", 2}}}, {"contentChanges", content_changes()}};
        return notification("textDocument/didChange", params);
      }
      case 4: return notification("textDocument/didClose", {{"textDocument", document()}});
      case 5: return notification(in_.ConsumeBool() ? "initialized" : "$/cancelRequest", value(1));
      default: {
        const std::string_view method = in_.PickValueInArray(kMethods);
        json body = {{"jsonrpc", "2.0"}, {"id", requests++}, {"method", method}};
        if (method != "shutdown" || in_.ConsumeBool()) body["params"] = params_for(method);
        return body.dump();
      }
    }
  }

 private:
  static std::string notification(std::string_view method, json params) {
    return json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump();
  }

  FuzzedDataProvider& in_;
};

// Splits the output into frames and checks each; false on the first fault.
// The envelope is checked by its bytes (the server writes it in a fixed member
// order); small bodies are parsed whole, large ones (the completion catalogue)
// only framed, since the writer has its own target.
bool check_output(std::string_view out, int64_t requests) {
  constexpr std::string_view kHeader = "Content-Length: ";
  constexpr std::string_view kResponse = R"({"jsonrpc":"2.0","id":)";
  constexpr std::string_view kDiagnostics = R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{)";
  int64_t next_id = 0;
  while (!out.empty()) {
    if (!out.starts_with(kHeader)) return false;
    const std::size_t end = out.find("\r\n\r\n");
    if (end == std::string_view::npos) return false;
    std::size_t length = 0;
    for (char c : out.substr(kHeader.size(), end - kHeader.size())) {
      if (c < '0' || c > '9') return false;
      length = length * 10 + static_cast<std::size_t>(c - '0');
    }
    const std::string_view body = out.substr(end + 4, length);
    if (body.size() != length || body.empty() || body.back() != '}' || zevo::text::utf8_error(body)) return false;
    out.remove_prefix(end + 4 + length);
    if (body.size() < 2048 && !zevo::json::parse(body).ok()) return false;
    if (body.starts_with(kDiagnostics)) continue;
    const std::string id = std::to_string(next_id++);
    std::string_view rest = body;
    if (!rest.starts_with(kResponse)) return false;
    rest.remove_prefix(kResponse.size());
    if (!rest.starts_with(id)) return false;
    rest.remove_prefix(id.size());
    if (!rest.starts_with(R"(,"result":)") && !rest.starts_with(R"(,"error":{"code":-32600,)") &&
        !rest.starts_with(R"(,"error":{"code":-32601,)") && !rest.starts_with(R"(,"error":{"code":-32603,)")) {
      return false;
    }
  }
  return next_id == requests;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t chunk = in.ConsumeIntegralInRange<std::size_t>(1, 1 << 16);
  Program program(in);
  int64_t requests = 0;
  std::string input;
  while (in.remaining_bytes() > 0) input += zevo::fuzz::frame(program.message(requests));
  const int line = static_cast<int>(size % 7);
  const int character = static_cast<int>(size % 23);
  for (std::size_t m = 0; m < 14; ++m) {
    const json body = {{"jsonrpc", "2.0"}, {"id", requests++}, {"method", kMethods[m]},
                       {"params", Program::plain_params(kMethods[m], line, character)}};
    input += zevo::fuzz::frame(body.dump());
  }

  zevo::testing::MemorySource source(std::move(input), chunk);
  zevo::testing::MemorySink sink;
  zevo::testing::MemoryLog log;
  const zevo::lsp::ServerEnd end = zevo::lsp::serve({source, sink, log});
  if (end.code != 0 || end.immediate) __builtin_trap();
  if (!check_output(sink.bytes(), requests)) __builtin_trap();
  return 0;
}

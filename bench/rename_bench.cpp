// Rename and references over 50 open documents of 200 KB each (goal: under
// 30 ms per request); definition on a 1 MB document whose declaration is on
// its last line, the parse included (goal: under 20 ms); the same requests on
// a document of one repeated letter (goal: as fast as on the 1 MB module);
// and the large references answer of answers_bench in process.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "documents.hpp"
#include "lsp/definition.hpp"
#include "lsp/references.hpp"
#include "lsp/rename.hpp"

namespace {

using nlohmann::json;

// One unit of a firmware module: declarations, calls, strings, comments and
// non-ASCII names; "sayaç" is used three times in every unit.
constexpr std::string_view kUnit =
    "// Modül {n}: sensör okuma ve kontrol döngüsü 🔧\n"
    "yapı Sensör{n} {\n"
    "    kimlik: tamsayı,\n"
    "    değer: ondalık\n"
    "}\n"
    "fonksiyon oku_sensör_{n}(pin: tamsayı, kanal: tamsayı) -> ondalık {\n"
    "    değişken ham = adc.oku(pin, kanal)\n"
    "    sabit ÖLÇEK = 3.3\n"
    "    sayaç = sayaç + 1\n"
    "    eğer ham >= 4095 && kanal != 0 {\n"
    "        yazdır(\"taşma: \", ham, sayaç)\n"
    "        dön 0.0\n"
    "    }\n"
    "    dön ham * ÖLÇEK / 4095\n"
    "}\n"
    "function control_loop_{n}(target, gain) {\n"
    "    let error = target - read_sensor({n})\n"
    "    let output = max(min(error * gain, 100), 0)\n"
    "    while output > 0 { output = output - 1 }\n"
    "    print(\"output\", output) // log it\n"
    "    return output\n"
    "}\n\n";

std::string module_text(int module, std::size_t size) {
  std::string t = "let kalibrasyon_katsayısı_" + std::to_string(module % 2) + " = 1.0\nlet sayaç = 0\n";
  zevo::bench::append_numbered_units(t, kUnit, size);
  return t;
}

// 1 MB of units after `head`, then the declaration of "son_değer" on the last line.
std::string late_declaration(std::string head) {
  zevo::bench::append_numbered_units(head, kUnit, 1u << 20);
  head += "let son_değer = 42";
  return head;
}

const zevo::lsp::ServerState& workspace() {
  static const zevo::lsp::ServerState state = [] {
    zevo::lsp::ServerState s;
    for (int i = 0; i < 50; ++i) {
      zevo::lsp::open_document(s, "file:///proje/modul_" + std::to_string(i) + ".zv", module_text(i, 200 * 1024));
    }
    return s;
  }();
  return state;
}

json position(uint32_t line, uint32_t character) {
  return {{"textDocument", {{"uri", "file:///proje/modul_0.zv"}}},
          {"position", {{"line", line}, {"character", character}}}};
}

// Line 1, character 5: "sayaç", about 400 uses in every document; line 0,
// character 5: a word used once, in half of the documents.
constexpr uint32_t kCommonLine = 1;
constexpr uint32_t kRareLine = 0;

// Runs one handler over the workspace; both answer with text.
template <class Handler>
void run_workspace_request(benchmark::State& state, Handler handler, const json& params) {
  const zevo::lsp::Params request = params;
  std::size_t bytes_out = 0;
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = handler(request, workspace(), out);
    bytes_out = out.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["bytes_out"] = static_cast<double>(bytes_out);
}

void BM_References(benchmark::State& state) {
  json params = position(static_cast<uint32_t>(state.range(0)), 5);
  params["context"] = {{"includeDeclaration", true}};
  run_workspace_request(state, zevo::lsp::handle_references, params);
}
BENCHMARK(BM_References)->Arg(kCommonLine)->Arg(kRareLine)->Unit(benchmark::kMillisecond);

// The large references answer of answers_bench (one identifier used over and
// over in 1 MB), in process: what it costs before the pipe, to set the other
// large answers' times over pipes against.
void BM_ReferencesLargeAnswer(benchmark::State& state) {
  static const zevo::lsp::ServerState& repeated = [] () -> const zevo::lsp::ServerState& {
    static zevo::lsp::ServerState s;
    std::string text;
    while (text.size() < (1u << 20)) text += "sayaç = sayaç + sayaç * sayaç\n";
    zevo::lsp::open_document(s, "file:///bench/answers.zv", text);
    return s;
  }();
  json params = {{"textDocument", {{"uri", "file:///bench/answers.zv"}}},
                 {"position", {{"line", 0}, {"character", 1}}},
                 {"context", {{"includeDeclaration", true}}}};
  const zevo::lsp::Params request = params;
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_references(request, repeated, out);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
  state.counters["answer_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_ReferencesLargeAnswer)->Unit(benchmark::kMillisecond);

void BM_Rename(benchmark::State& state) {
  json params = position(static_cast<uint32_t>(state.range(0)), 5);
  params["newName"] = "yeni_ad";
  run_workspace_request(state, zevo::lsp::handle_rename, params);
}
BENCHMARK(BM_Rename)->Arg(kCommonLine)->Arg(kRareLine)->Unit(benchmark::kMillisecond);

void BM_Definition(benchmark::State& state) {
  static const zevo::lsp::ServerState document = [] {
    zevo::lsp::ServerState s;
    zevo::lsp::open_document(s, "file:///proje/modul_0.zv", late_declaration("yaz(son_değer)\n"));
    return s;
  }();
  const zevo::lsp::Params request = position(0, 6);
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_definition(request, document, out);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_Definition)->Unit(benchmark::kMillisecond);

void BM_FindDeclarationScan(benchmark::State& state) {
  const std::string text = late_declaration("");
  for (auto _ : state) {
    auto range = zevo::lsp::find_declaration("son_değer", text);
    benchmark::DoNotOptimize(range);
  }
}
BENCHMARK(BM_FindDeclarationScan)->Unit(benchmark::kMillisecond);

// One letter repeated: the word under the cursor (line 0) is a 32 KB run of
// "a"; then 1 MB of runs one letter shorter, a near miss at every offset, and
// a 512 KB line that holds the word at every offset. A search that compares
// at every candidate offset needs seconds here.
const zevo::lsp::ServerState& repeated_letter() {
  static const zevo::lsp::ServerState state = [] {
    constexpr std::size_t kWord = 32 * 1024;
    std::string text(kWord, 'a');
    text += '\n';
    zevo::bench::append_near_misses(text, kWord, 1u << 20);
    text += '\n';
    text.append(512 * 1024, 'a');
    zevo::lsp::ServerState s;
    zevo::lsp::open_document(s, "file:///proje/modul_0.zv", std::move(text));
    return s;
  }();
  return state;
}

// Argument 0: references, 1: rename, 2: definition.
void BM_RepeatedLetter(benchmark::State& state) {
  json params = position(0, 0);
  params["context"] = {{"includeDeclaration", true}};
  params["newName"] = "b";
  const zevo::lsp::Params request = params;
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    switch (state.range(0)) {
      case 0: benchmark::DoNotOptimize(zevo::lsp::handle_references(request, repeated_letter(), out)); break;
      case 1: benchmark::DoNotOptimize(zevo::lsp::handle_rename(request, repeated_letter(), out)); break;
      default: benchmark::DoNotOptimize(zevo::lsp::handle_definition(request, repeated_letter(), out)); break;
    }
  }
}
BENCHMARK(BM_RepeatedLetter)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

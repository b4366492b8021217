// Code lens over a 1 MB document with 5,000 declaration lines (goal: under 50 ms),
// and code actions on the same document (goal: under 2 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "documents.hpp"
#include "lsp/code_actions.hpp"
#include "lsp/code_lens.hpp"

namespace {

using nlohmann::json;

// Declarations of functions, tests, benchmarks and values in both languages,
// each followed by lines that use the names declared so far.
const std::string& large_document() {
  static const std::string text = [] {
    std::string t;
    constexpr int kDeclarations = 5000;
    for (int i = 0; i < kDeclarations; ++i) {
      const std::string n = std::to_string(i);
      std::string name;
      switch (i % 5) {
        case 0: name = "topla_" + n; t += "fonksiyon " + name + "(a: tamsayı, b: tamsayı) -> tamsayı {\n"; break;
        case 1: name = "sayaç_" + n; t += "    değişken " + name + ": tamsayı = topla_" + std::to_string(i - 1) + "(1, 2)\n"; break;
        case 2: name = "test_value_" + n; t += "function " + name + "() {\n"; break;
        case 3: name = "total_" + n; t += "    let " + name + " = sayaç_" + std::to_string(i - 2) + " + 1\n"; break;
        default: name = "benchmark_sort_" + n; t += "fn " + name + "(items) {\n"; break;
      }
      while (t.size() < static_cast<std::size_t>(i + 1) * 200 - 40) {
        t += "        yaz(" + name + ") // " + name + " bir kez daha, x = x + 1\n";
      }
      t += "    dön " + name + "\n}\n";
    }
    return t;
  }();
  return text;
}

void BM_ComputeCodeLenses(benchmark::State& state) {
  const std::string& text = large_document();
  std::size_t lenses = 0;
  for (auto _ : state) {
    auto result = zevo::lsp::compute_code_lenses(text, "file:///bench.zv");
    lenses = result.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
  state.counters["lenses"] = static_cast<double>(lenses);
}
BENCHMARK(BM_ComputeCodeLenses)->Unit(benchmark::kMillisecond);

// One long line that holds every name, so it is the skipped line of all 20,000
// counts: it must be walked once, not once per name.
void BM_ComputeCodeLensesSharedSkippedLine(benchmark::State& state) {
  std::string text = "let";
  for (int i = 0; i < 20000; ++i) text += " ad_" + std::to_string(i);
  text += "\n";
  for (int i = 0; i < 20000; ++i) text += "let ad_" + std::to_string(i) + " = ad_" + std::to_string(i) + "\n";
  for (auto _ : state) {
    auto result = zevo::lsp::compute_code_lenses(text, "file:///bench.zv");
    benchmark::DoNotOptimize(result);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ComputeCodeLensesSharedSkippedLine)->Unit(benchmark::kMillisecond);

// The answer as the server writes it.
void handle_code_lens_on(benchmark::State& state, const std::string& text) {
  zevo::lsp::DocumentsSnapshot snapshot;
  snapshot.add("file:///bench.zv", std::make_shared<const std::string>(text));
  const json params = {{"textDocument", {{"uri", "file:///bench.zv"}}}};
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_code_lens(params, snapshot, out);
    benchmark::DoNotOptimize(result);
  }
  state.counters["answer_bytes"] = static_cast<double>(out.size());
}

void BM_HandleCodeLens(benchmark::State& state) { handle_code_lens_on(state, large_document()); }
BENCHMARK(BM_HandleCodeLens)->Unit(benchmark::kMillisecond);

// The editor's mixed code of the keystroke round (the argument: its size in
// KiB), and the one-line functions of the large answers, where every line
// declares a name used once.
void BM_HandleCodeLensEditorCode(benchmark::State& state) {
  handle_code_lens_on(state, zevo::bench::mixed_editor_code(static_cast<std::size_t>(state.range(0)) << 10));
}
BENCHMARK(BM_HandleCodeLensEditorCode)->Arg(100)->Arg(1024)->Unit(benchmark::kMicrosecond);

void BM_HandleCodeLensOneLineFunctions(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < 60000; ++i) {
    zevo::bench::append_unit(text, "fonksiyon işlev_{n}(değer: tamsayı) -> tamsayı { dön değer + {n} }\n",
                             std::to_string(i));
  }
  handle_code_lens_on(state, text);
}
BENCHMARK(BM_HandleCodeLensOneLineFunctions)->Unit(benchmark::kMillisecond);

// The firmware modules of the large answers, 8 MiB: lenses on every other line.
void BM_HandleCodeLensModules(benchmark::State& state) {
  handle_code_lens_on(state, zevo::bench::numbered_units(zevo::bench::kFirmwareModule, 8u << 20));
}
BENCHMARK(BM_HandleCodeLensModules)->Unit(benchmark::kMillisecond);

void BM_HandleCodeAction(benchmark::State& state) {
  zevo::lsp::ServerState server;
  zevo::lsp::open_document(server, "file:///bench.zv", large_document());
  auto range = [](int l1, int l2) {
    return json{{"start", {{"line", l1}, {"character", 4}}}, {"end", {{"line", l2}, {"character", 9}}}};
  };
  json diagnostics = json::array();
  for (const char* m : {"undefined variable 'x'", "expected ';'", "unknown keyword: function",
                        "type mismatch: integer and float", "tip uyuşmazlığı: tamsayı ve ondalık"}) {
    diagnostics.push_back({{"message", m}, {"range", range(20000, 20000)}});
  }
  // A start line near the end: the translate action walks to it.
  const int last = static_cast<int>(std::count(large_document().begin(), large_document().end(), '\n')) - 1;
  const zevo::lsp::Params params =
      json{{"textDocument", {{"uri", "file:///bench.zv"}}}, {"range", range(last - 1, last)},
           {"context", {{"diagnostics", diagnostics}}}};
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_code_action(params, server, out);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_HandleCodeAction)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

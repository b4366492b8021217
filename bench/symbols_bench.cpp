// Document symbols and inlay hints over a 1 MB document (goals: symbols under
// 20 ms, inlay hints under 20 ms); semantic tokens are in semantic_tokens_bench.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "documents.hpp"
#include "lsp/inlay_hints.hpp"
#include "lsp/symbols.hpp"

namespace {

using nlohmann::json;

// One unit of a firmware module in both languages: annotations, types,
// functions, declarations, built-in calls, strings, numbers and comments.
constexpr std::string_view kUnit =
    "// Modül {n}: sensör okuma ve kontrol döngüsü 🔧\n"
    "@realtime @deadline(10) @gizli\n"
    "yapı Sensör{n} {\n"
    "    kimlik: tamsayı,\n"
    "    değer: ondalık,\n"
    "    ad: metin\n"
    "}\n"
    "type Reading{n} = float\n"
    "fonksiyon oku_sensör_{n}(pin: tamsayı, kanal: tamsayı) -> ondalık {\n"
    "    değişken ham = adc.oku(pin, kanal)\n"
    "    sabit ÖLÇEK = 3.3\n"
    "    let sınır: tamsayı = 4095\n"
    "    eğer ham >= sınır && kanal != 0 {\n"
    "        yazdır(\"taşma: \", ham)\n"
    "        dön 0.0\n"
    "    } yoksa {\n"
    "        dön ham * ÖLÇEK / sınır\n"
    "    }\n"
    "}\n"
    "@public @hal_safe\n"
    "function control_loop_{n}(target, gain) {\n"
    "    let error = target - read_sensor({n})\n"
    "    const limit = 100\n"
    "    let output = max(min(error * gain, limit), 0 - limit)\n"
    "    while output > 0 { output = output - 1 }\n"
    "    print(\"output\", output) // log it\n"
    "    değişken etiket = \"döngü_{n}\";\n"
    "    let adımlar = [1, 2, 3, 5, 8]\n"
    "    let ayar = {}\n"
    "    let hazır = doğru\n"
    "    let uzun = uzunluk(etiket)\n"
    "    ekle(adımlar, 13)\n"
    "    değiştir(etiket, \"_\", \"-\")\n"
    "    return output\n"
    "}\n"
    "fn yardımcı_{n}(x) { dön x + 1 }\n"
    "\n";

const std::string& large_document() {
  static const std::string text = zevo::bench::numbered_units(kUnit, 1u << 20);
  return text;
}

const std::string kUri = "file:///bench/modül.zv";

zevo::lsp::DocumentsSnapshot bench_snapshot() {
  zevo::lsp::DocumentsSnapshot snapshot;
  snapshot.add(kUri, std::make_shared<const std::string>(large_document()));
  return snapshot;
}

void BM_DocumentSymbol(benchmark::State& state) {
  const auto snapshot = bench_snapshot();
  const json params = {{"textDocument", {{"uri", kUri}}}};
  std::size_t bytes_out = 0;
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_document_symbol(params, snapshot, out);
    bytes_out = out.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["bytes"] = static_cast<double>(large_document().size());
  state.counters["bytes_out"] = static_cast<double>(bytes_out);
}
BENCHMARK(BM_DocumentSymbol)->Unit(benchmark::kMillisecond);

void BM_InlayHint(benchmark::State& state) {
  const auto snapshot = bench_snapshot();
  const json params = {{"textDocument", {{"uri", kUri}}}};
  std::size_t hints = 0;
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_inlay_hint(params, snapshot, out);
    benchmark::DoNotOptimize(result);
  }
  const std::string text = out.text();
  hints = static_cast<std::size_t>(std::count(text.begin(), text.end(), '{')) / 2;
  state.counters["hints"] = static_cast<double>(hints);
}
BENCHMARK(BM_InlayHint)->Unit(benchmark::kMillisecond);

// The keystroke round's documents: mixed code with emoji and comments, where
// many lines hold characters beyond ASCII.
void BM_DocumentSymbolEditorCode(benchmark::State& state) {
  const std::string text = zevo::bench::mixed_editor_code(static_cast<std::size_t>(state.range(0)));
  zevo::lsp::DocumentsSnapshot snapshot;
  snapshot.add(kUri, std::make_shared<const std::string>(text));
  const json params = {{"textDocument", {{"uri", kUri}}}};
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_document_symbol(params, snapshot, out);
    benchmark::DoNotOptimize(result);
  }
  state.counters["bytes_out"] = static_cast<double>(out.size());
}
BENCHMARK(BM_DocumentSymbolEditorCode)->Arg(1 << 20)->Arg(100 << 10)->Unit(benchmark::kMicrosecond);

// The scans alone, without writing the answer.
void BM_DocumentSymbolsScan(benchmark::State& state) {
  for (auto _ : state) {
    auto symbols = zevo::lsp::document_symbols(large_document());
    benchmark::DoNotOptimize(symbols);
  }
}
BENCHMARK(BM_DocumentSymbolsScan)->Unit(benchmark::kMillisecond);

void BM_ComputeInlayHints(benchmark::State& state) {
  for (auto _ : state) {
    auto hints = zevo::lsp::compute_inlay_hints(large_document(), 0, 4294967295u);
    benchmark::DoNotOptimize(hints);
  }
}
BENCHMARK(BM_ComputeInlayHints)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Semantic tokens in-process: the whole answer (scan and writing) of mixed
// code of 1 MB and 100 KB as an editor asks it after each keystroke, of a
// document of declaration lines with a comment (a large answer) and of one
// long line, and the scan alone. Bytes per second are the answer's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>
#include <string_view>

#include "documents.hpp"
#include "lsp/semantic_tokens.hpp"

namespace {

using nlohmann::json;


// A declaration with a comment on every line; its answer is about 2.7 times
// the document.
constexpr std::string_view kDeclaration = "değişken sayaç_{n}: tamsayı = {n} // sayaç {n} 🔧\n";

const std::string kUri = "file:///bench/belirteç.zv";

void answer(benchmark::State& state, const std::string& text) {
  zevo::lsp::DocumentsSnapshot snapshot;
  snapshot.add(kUri, std::make_shared<const std::string>(text));
  const json params = {{"textDocument", {{"uri", kUri}}}};
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    auto result = zevo::lsp::handle_semantic_tokens_full(params, snapshot, out);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
  state.counters["answer_bytes"] = static_cast<double>(out.size());
}

void BM_MixedCode(benchmark::State& state) {
  answer(state, zevo::bench::mixed_editor_code(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_MixedCode)->Arg(1 << 20)->Arg(100 << 10)->Unit(benchmark::kMillisecond);

void BM_Declarations(benchmark::State& state) {
  answer(state, zevo::bench::numbered_units(kDeclaration, 8u << 20));
}
BENCHMARK(BM_Declarations)->Unit(benchmark::kMillisecond);

// Functions with Turkish and English keywords, many short tokens a line.
void BM_Modules(benchmark::State& state) {
  answer(state, zevo::bench::numbered_units(zevo::bench::kFirmwareModule, 8u << 20));
}
BENCHMARK(BM_Modules)->Unit(benchmark::kMillisecond);

// One long line: the scans must stay linear in its length.
void BM_OneLongLine(benchmark::State& state) {
  std::string line;
  while (line.size() < (1u << 20)) line += "let x = a + 1; ğ == \"s\" // ";
  answer(state, line);
}
BENCHMARK(BM_OneLongLine)->Unit(benchmark::kMillisecond);

// The scan alone, its records encoded but not written.
void BM_MixedCodeRecords(benchmark::State& state) {
  const std::string text = zevo::bench::mixed_editor_code(1u << 20);
  for (auto _ : state) {
    auto data = zevo::lsp::encode_semantic_tokens(zevo::lsp::semantic_token_records(text));
    benchmark::DoNotOptimize(data);
  }
}
BENCHMARK(BM_MixedCodeRecords)->Unit(benchmark::kMillisecond);

// The writing alone: the records of a large answer scanned beforehand, then
// encoded and written as the answer writes them, a line at a time. What is
// left of an answer's time when its scan is taken away.
void writing_alone(benchmark::State& state, const std::string& text) {
  const std::vector<zevo::lsp::SemanticTokenRecord> records = zevo::lsp::semantic_token_records(text);
  const std::vector<uint32_t> data = zevo::lsp::encode_semantic_tokens(records);
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    out.begin_object();
    out.key("data");
    out.begin_array();
    std::span<const uint32_t> rest(data);
    // About a line's values at a time.
    while (!rest.empty()) {
      const std::size_t n = std::min<std::size_t>(rest.size(), 50);
      out.numbers(rest.first(n));
      rest = rest.subspan(n);
    }
    out.end_array();
    out.end_object();
    benchmark::DoNotOptimize(out.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
  state.counters["tokens"] = static_cast<double>(records.size());
  state.counters["answer_bytes"] = static_cast<double>(out.size());
}
void BM_ModulesWritingAlone(benchmark::State& state) {
  writing_alone(state, zevo::bench::numbered_units(zevo::bench::kFirmwareModule, 8u << 20));
}
BENCHMARK(BM_ModulesWritingAlone)->Unit(benchmark::kMillisecond);
void BM_DeclarationsWritingAlone(benchmark::State& state) {
  writing_alone(state, zevo::bench::numbered_units(kDeclaration, 8u << 20));
}
BENCHMARK(BM_DeclarationsWritingAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// End-to-end latency of the built server over pipes: each message is written
// framed, and the clock stops when its answer (or its diagnostics
// notification) has been read back whole. Reports median and p99 per message.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "documents.hpp"
#include "lsp_driver.hpp"

namespace {

using namespace zevo::bench;

// A ZEVO-like text of about `size` bytes, with multi-byte characters.
std::string document_text(std::size_t size) {
  return numbered_units("değişken sayaç_ğ = ölçüm(42) + 7 // şimdi\n", size);
}

std::string uri(int n) { return "file:///bench/doc" + std::to_string(n) + ".zv"; }

void report(benchmark::State& state, const std::vector<double>& seconds, std::size_t bytes_per_message) {
  state.counters["median_us"] = quantile(seconds, 0.5) * 1e6;
  state.counters["p99_us"] = quantile(seconds, 0.99) * 1e6;
  state.counters["messages_per_s"] = benchmark::Counter(static_cast<double>(seconds.size()), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(seconds.size() * bytes_per_message));
}

void BM_DidOpen(benchmark::State& state) {
  const std::string text = document_text(static_cast<std::size_t>(state.range(0)));
  Server server;
  std::vector<double> seconds;
  int n = 0;
  for (auto _ : state) {
    const double t = server.round_trip(did_open(uri(n++ % 4), text));
    state.SetIterationTime(t);
    seconds.push_back(t);
  }
  report(state, seconds, text.size());
}
BENCHMARK(BM_DidOpen)->Arg(1 << 20)->Arg(10 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DidChangeFullText(benchmark::State& state) {
  const std::string text = document_text(100 << 10);
  const std::string changed = text + "x\n";
  Server server;
  server.round_trip(did_open(uri(0), text));
  std::vector<double> seconds;
  int version = 1;
  for (auto _ : state) {
    ++version;
    const double t = server.round_trip(did_change(uri(0), version, version % 2 ? text : changed));
    state.SetIterationTime(t);
    seconds.push_back(t);
  }
  report(state, seconds, text.size());
}
BENCHMARK(BM_DidChangeFullText)->Iterations(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One notification of 20,000 one-letter insertions on a 1 MB document, at its
// first line or at its last: each change finds its line without walking the text.
void BM_DidChangeManyRanged(benchmark::State& state) {
  const std::string text = document_text(1 << 20);
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  const std::string line = std::to_string(state.range(0) == 0 ? 0 : lines - 1);
  const std::string position = R"({"line":)" + line + R"(,"character":3})";
  std::string changes;
  for (int n = 0; n < 20000; ++n) {
    if (n > 0) changes += ',';
    changes += R"({"range":{"start":)" + position + R"(,"end":)" + position + R"(},"text":"y"})";
  }
  Server server;
  server.round_trip(did_open(uri(0), text));
  std::vector<double> seconds;
  int version = 1;
  for (auto _ : state) {
    const std::string framed =
        frame(R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":)" +
              json_string(uri(0)) + R"(,"version":)" + std::to_string(++version) + R"(},"contentChanges":[)" +
              changes + "]}}");
    const double t = server.round_trip(framed);
    state.SetIterationTime(t);
    seconds.push_back(t);
  }
  report(state, seconds, changes.size());
}
BENCHMARK(BM_DidChangeManyRanged)->Arg(0)->Arg(1)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// A request that takes a snapshot of every open document, against 0 or 50
// documents of 200 KB; the difference is the snapshot's cost.
void BM_SnapshotRequest(benchmark::State& state) {
  const int documents = static_cast<int>(state.range(0));
  const std::string text = document_text(200 << 10);
  Server server;
  for (int n = 0; n < documents; ++n) server.round_trip(did_open(uri(n), text));
  // A document that is not open: the feature finds nothing, so only the snapshot differs.
  const std::string params = R"({"textDocument":{"uri":)" + json_string(uri(9999)) + "}}";
  std::vector<double> seconds;
  int id = 0;
  for (auto _ : state) {
    const double t = server.round_trip(request(++id, "textDocument/documentSymbol", params));
    state.SetIterationTime(t);
    seconds.push_back(t);
  }
  report(state, seconds, 0);
}
BENCHMARK(BM_SnapshotRequest)->Arg(0)->Arg(50)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

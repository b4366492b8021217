// The whole server over pipes in a mixed editor session, one benchmark per part
// of it: typing in a 100 KB document with a request after every change, 50 open
// documents, and a 1 MB and a 10 MB document, each with every request method.
// Each message is timed from its write until the frame it causes is read back;
// after the runs a table gives, per part and method, the median and p99
// latency, and per part the throughput and the server's peak resident size.
//
//   bench/run-whole-server.sh     (builds in Release and runs it)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "documents.hpp"
#include "lsp_driver.hpp"

namespace {

using namespace zevo::bench;

constexpr std::string_view kBlock = kMixedCodeBlock;
constexpr int kBlockLines = 8;

std::string document_text(std::size_t size) { return numbered_units(kBlock, size); }

std::string uri(int n) { return "file:///bench/belge" + std::to_string(n) + ".zv"; }

// The params of each request method at a line of the block that starts at `line`.
struct Method {
  const char* name;
  std::string (*params)(const std::string& uri, int line);
};

std::string document(const std::string& uri) { return R"({"textDocument":{"uri":)" + json_string(uri) + "}"; }
std::string at(const std::string& uri, int line, int character) {
  return R"({"textDocument":{"uri":)" + json_string(uri) + R"(},"position":{"line":)" + std::to_string(line) +
         R"(,"character":)" + std::to_string(character) + "}";
}
std::string range(int first, int last) {
  return R"("range":{"start":{"line":)" + std::to_string(first) + R"(,"character":0},"end":{"line":)" +
         std::to_string(last) + R"(,"character":0}})";
}

const Method kMethods[] = {
    {"initialize", [](const std::string&, int) { return std::string(R"({"capabilities":{}})"); }},
    {"textDocument/hover", [](const std::string& u, int l) { return at(u, l, 2) + "}"; }},
    {"textDocument/completion", [](const std::string& u, int l) { return at(u, l + 1, 4) + "}"; }},
    {"textDocument/signatureHelp", [](const std::string& u, int l) { return at(u, l + 3, 11) + "}"; }},
    {"textDocument/definition", [](const std::string& u, int l) { return at(u, l + 5, 8) + "}"; }},
    {"textDocument/references",
     [](const std::string& u, int l) { return at(u, l + 1, 14) + R"(,"context":{"includeDeclaration":true}})"; }},
    {"textDocument/prepareRename", [](const std::string& u, int l) { return at(u, l + 1, 14) + "}"; }},
    {"textDocument/rename", [](const std::string& u, int l) { return at(u, l, 20) + R"(,"newName":"girdi"})"; }},
    {"textDocument/documentSymbol", [](const std::string& u, int) { return document(u) + "}"; }},
    {"textDocument/semanticTokens/full", [](const std::string& u, int) { return document(u) + "}"; }},
    {"textDocument/inlayHint", [](const std::string& u, int l) { return document(u) + "," + range(0, l + 50) + "}"; }},
    {"textDocument/codeLens", [](const std::string& u, int) { return document(u) + "}"; }},
    {"textDocument/codeAction",
     [](const std::string& u, int l) {
       return document(u) + "," + range(l, l + 1) + R"(,"context":{"diagnostics":[]}})";
     }},
    {"shutdown", [](const std::string&, int) { return std::string("null"); }},
};

// Latencies and totals of one part of the session, kept for the table.
struct Part {
  std::map<std::string, std::vector<double>> seconds;
  double wall = 0;
  std::size_t messages = 0;
  std::size_t bytes_in = 0;
  long peak_kib = 0;
};
std::map<std::string, Part>& parts() {
  static std::map<std::string, Part> all;
  return all;
}

class Recorder {
 public:
  Recorder(const std::string& name, Server& server) : part_(parts()[name] = Part{}), server_(server) {}
  ~Recorder() { part_.peak_kib = server_.peak_rss_kib(); }

  double send(const std::string& label, const std::string& framed) {
    const double t = server_.round_trip(framed);
    part_.seconds[label].push_back(t);
    part_.wall += t;
    part_.messages += 1;
    part_.bytes_in += framed.size();
    return t;
  }

  // Every request method once, about the block that starts at `line`.
  double all_methods(const std::string& document_uri, int line) {
    double total = 0;
    for (const Method& m : kMethods) total += send(m.name, request(++id_, m.name, m.params(document_uri, line)));
    return total;
  }

 private:
  Part& part_;
  Server& server_;
  int id_ = 0;
};

void BM_Typing100K(benchmark::State& state) {
  std::string text = document_text(100 << 10);
  Server server;
  Recorder recorder("typing in 100 KB", server);
  recorder.send("textDocument/didOpen", did_open(uri(0), text));
  const int line = (static_cast<int>(std::count(text.begin(), text.end(), '\n')) / 2) / kBlockLines * kBlockLines;
  std::size_t cursor = 0;
  for (int l = 0; l < line + 1; ++l) cursor = text.find('\n', cursor) + 1;
  cursor -= 3;  // inside the declaration's line, before " {"
  int version = 1;
  std::size_t turn = 0;
  const std::string typed = "abc ";
  for (auto _ : state) {
    // Full synchronisation: every keystroke sends the whole text.
    text.insert(cursor++, 1, typed[turn % typed.size()]);
    double t = recorder.send("textDocument/didChange", did_change(uri(0), ++version, text));
    const Method& m = kMethods[1 + turn % (std::size(kMethods) - 2)];
    t += recorder.send(m.name, request(static_cast<int>(turn), m.name, m.params(uri(0), line)));
    ++turn;
    state.SetIterationTime(t);
  }
}
BENCHMARK(BM_Typing100K)->Iterations(600)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FiftyDocuments(benchmark::State& state) {
  const std::string text = document_text(100 << 10);
  Server server;
  Recorder recorder("50 documents of 100 KB", server);
  for (int n = 0; n < 50; ++n) recorder.send("textDocument/didOpen", did_open(uri(n), text));
  int n = 0;
  for (auto _ : state) {
    state.SetIterationTime(recorder.all_methods(uri(n % 50), kBlockLines * (n % 100)));
    ++n;
  }
}
BENCHMARK(BM_FiftyDocuments)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

void large_document(benchmark::State& state, const std::string& name, std::size_t size) {
  const std::string text = document_text(size);
  Server server;
  Recorder recorder(name, server);
  recorder.send("textDocument/didOpen", did_open(uri(0), text));
  const int middle = (static_cast<int>(std::count(text.begin(), text.end(), '\n')) / 2) / kBlockLines * kBlockLines;
  int version = 1;
  for (auto _ : state) {
    double t = recorder.all_methods(uri(0), middle);
    ++version;
    t += recorder.send("textDocument/didChange", did_change(uri(0), version, version % 2 ? text : text + "\n"));
    state.SetIterationTime(t);
  }
}
void BM_Document1M(benchmark::State& state) { large_document(state, "1 MB document", 1 << 20); }
void BM_Document10M(benchmark::State& state) { large_document(state, "10 MB document", 10 << 20); }
BENCHMARK(BM_Document1M)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document10M)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void print_table() {
  std::printf("\n| part | method | n | median ms | p99 ms |\n|---|---|---:|---:|---:|\n");
  for (const auto& [name, part] : parts()) {
    for (const auto& [method, seconds] : part.seconds) {
      std::printf("| %s | %s | %zu | %.3f | %.3f |\n", name.c_str(), method.c_str(), seconds.size(),
                  quantile(seconds, 0.5) * 1e3, quantile(seconds, 0.99) * 1e3);
    }
  }
  std::printf("\n| part | messages | messages/s | MB/s in | peak RSS MB |\n|---|---:|---:|---:|---:|\n");
  for (const auto& [name, part] : parts()) {
    std::printf("| %s | %zu | %.0f | %.1f | %.2f |\n", name.c_str(), part.messages,
                static_cast<double>(part.messages) / part.wall, static_cast<double>(part.bytes_in) / part.wall / 1e6,
                static_cast<double>(part.peak_kib) / 1024.0);
  }
}

}  // namespace

int main(int argc, char** argv) { return zevo::bench::run_benchmarks_then(argc, argv, print_table); }

// Large answers over pipes: for each request whose answer grows with the
// document (references to a repeated identifier, rename, document symbols,
// semantic tokens of modules and of commented declarations, code lens of
// modules and of one-line functions, inlay hints), the time from writing the request until its response has been read
// back whole, against the time the same server takes to read and publish a
// didOpen of as many bytes as the response;
// the share of that request's CPU time spent in the kernel; and the peak
// resident size it adds to the server's resting size.
//
//   answers_bench [server ...]
//
// runs every given server binary (by default the zevo-lsp of this build) in
// turn, round after round, so that servers compared in one run see the same
// machine load, and prints medians per server and their ratios to the first.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "documents.hpp"
#include "lsp_driver.hpp"

namespace {

using zevo::bench::Server;

constexpr const char* kUri = "file:///bench/answers.zv";
constexpr int kRounds = 3;
// Each request is asked at least kRepeats times, and as often as it takes to
// fill kMeasuredSeconds: the kernel counts CPU time in ticks of 10 ms, too
// coarse for a few requests of 30 ms.
constexpr int kRepeats = 5;
constexpr int kMostRepeats = 100;
constexpr double kMeasuredSeconds = 1.5;

struct Case {
  const char* name;
  const char* method;
  std::string params;
  std::string text;
};

std::string position_params(int line, int character, const std::string& extra = "") {
  return R"({"textDocument":{"uri":")" + std::string(kUri) + R"("},"position":{"line":)" + std::to_string(line) +
         R"(,"character":)" + std::to_string(character) + "}" + extra + "}";
}

std::string document_params() { return R"({"textDocument":{"uri":")" + std::string(kUri) + R"("}})"; }

std::vector<Case> cases() {
  std::string repeated;  // one identifier, used over and over
  while (repeated.size() < (1u << 20)) repeated += "sayaç = sayaç + sayaç * sayaç\n";
  std::string declarations;  // a symbol on every short line
  for (int i = 0; declarations.size() < (4u << 20); ++i) declarations += "let a" + std::to_string(i % 1000) + "\n";
  std::string commented;  // 150,000 declarations with a comment, ten tokens a line
  for (int i = 0; i < 150000; ++i) {
    zevo::bench::append_unit(commented, "değişken sayaç_{n}: tamsayı = {n} // sayaç {n} 🔧\n", std::to_string(i));
  }
  const std::string module = zevo::bench::numbered_units(zevo::bench::kFirmwareModule, 8u << 20);
  std::string functions;  // 60,000 one-line functions, a lens each
  for (int i = 0; i < 60000; ++i) {
    zevo::bench::append_unit(functions, "fonksiyon işlev_{n}(değer: tamsayı) -> tamsayı { dön değer + {n} }\n",
                             std::to_string(i));
  }
  return {
      {"references", "textDocument/references", position_params(0, 1, R"(,"context":{"includeDeclaration":true})"),
       repeated},
      {"rename", "textDocument/rename", position_params(0, 1, R"(,"newName":"değer")"), repeated},
      {"document symbols", "textDocument/documentSymbol", document_params(), declarations},
      {"semantic tokens", "textDocument/semanticTokens/full", document_params(), module},
      {"semantic tokens of declarations", "textDocument/semanticTokens/full", document_params(), commented},
      {"code lens", "textDocument/codeLens", document_params(), module},
      {"code lens of functions", "textDocument/codeLens", document_params(), functions},
      {"inlay hints", "textDocument/inlayHint", document_params(), module},
  };
}

struct Measure {
  double request_s = 0;
  double did_open_s = 0;
  double system_share = 0;
  double added_mib = 0;
  double answer_mib = 0;
  int requests = 0;
};

// The request asked again and again on a fresh server that holds only the
// case's document: the median time, and the CPU time and peak of all of them
// (the clock ticks of one request are too coarse alone).
Measure measure_request(const std::string& binary, const Case& c) {
  Measure m;
  Server server(binary);
  std::string body;
  server.round_trip(zevo::bench::did_open(kUri, c.text));
  server.round_trip(zevo::bench::request(1, "shutdown", "null"));  // settles the first answer's block
  const long resting_kib = server.resident_kib();
  server.reset_peak_rss();
  const Server::CpuTicks before = server.cpu_ticks();
  std::vector<double> seconds;
  seconds.push_back(server.round_trip(zevo::bench::request(2, c.method, c.params), &body));
  m.requests = std::clamp(static_cast<int>(kMeasuredSeconds / seconds[0]) + 1, kRepeats, kMostRepeats);
  for (int i = 1; i < m.requests; ++i) {
    seconds.push_back(server.round_trip(zevo::bench::request(2 + i, c.method, c.params), &body));
  }
  m.request_s = zevo::bench::quantile(seconds, 0.5);
  const Server::CpuTicks after = server.cpu_ticks();
  const long user = after.user - before.user;
  const long system = after.system - before.system;
  m.system_share = user + system > 0 ? static_cast<double>(system) / static_cast<double>(user + system) : 0;
  m.added_mib = static_cast<double>(server.peak_rss_kib() - resting_kib) / 1024;
  m.answer_mib = static_cast<double>(body.size()) / (1 << 20);
  if (body.find("\"result\"") == std::string::npos) {
    std::fprintf(stderr, "%s: no result: %.200s\n", c.name, body.c_str());
    std::exit(1);
  }
  return m;
}

// A didOpen whose message is as long as the answer, on a fresh server.
double measure_did_open(const std::string& binary, std::size_t bytes) {
  Server server(binary);
  const std::string text = zevo::bench::numbered_units(zevo::bench::kFirmwareModule, bytes);
  return server.round_trip(zevo::bench::did_open("file:///bench/open.zv", text));
}

double median(std::vector<double> values) { return zevo::bench::quantile(std::move(values), 0.5); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> binaries(argv + 1, argv + argc);
  if (binaries.empty()) binaries.push_back(zevo::testing::server_binary_path());
  const std::vector<Case> all = cases();
  std::printf("| answer | server | answer MiB | requests | request ms | didOpen ms | ratio | system CPU | peak added MiB |\n");
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const Case& c : all) {
    std::vector<std::vector<Measure>> runs(binaries.size());
    for (int round = 0; round < kRounds; ++round) {
      for (std::size_t b = 0; b < binaries.size(); ++b) {
        Measure m = measure_request(binaries[b], c);
        m.did_open_s = measure_did_open(binaries[b], static_cast<std::size_t>(m.answer_mib * (1 << 20)));
        runs[b].push_back(m);
      }
    }
    for (std::size_t b = 0; b < binaries.size(); ++b) {
      std::vector<double> request, did_open, ratio, system, added;
      for (const Measure& m : runs[b]) {
        request.push_back(m.request_s * 1000);
        did_open.push_back(m.did_open_s * 1000);
        ratio.push_back(m.request_s / m.did_open_s);
        system.push_back(m.system_share * 100);
        added.push_back(m.added_mib);
      }
      std::printf("| %s | %zu | %.1f | %d | %.1f | %.1f | %.2f | %.0f%% | %.1f |\n", c.name, b + 1, runs[b][0].answer_mib,
                  runs[b][0].requests, median(request), median(did_open), median(ratio), median(system), median(added));
    }
    std::fflush(stdout);
  }
  return 0;
}

// Large reads over pipes, the whole process: a didOpen of one 24 MB comment
// line as the first large message of a fresh server (its memory all new), and
// the same 16 MB document opened and closed five times in one server, where
// each read should find the memory the one before it left. Each didOpen is
// timed from its write until its diagnostics notification has been read back.
//
//   reads_bench [server ...]
//
// runs every given server binary (by default the zevo-lsp of this build) in
// turn, round after round, so that servers compared in one run see the same
// machine load, and prints medians per server.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "documents.hpp"
#include "lsp_driver.hpp"

namespace {

using zevo::bench::Server;

constexpr int kRounds = 5;
constexpr int kOpens = 5;
constexpr std::size_t kFreshBytes = 24u << 20;
constexpr std::size_t kRepeatedBytes = 16u << 20;

std::string comment_line(std::size_t size) {
  std::string text = "// ";
  while (text.size() < size) text += "bir yorum satırı, one long comment line of words ";
  text.resize(size);
  return text;
}

// The server's start-up settled by one small answer, so that the clock sees only the read.
void settle(Server& server, int id) { server.round_trip(zevo::bench::request(id, "shutdown", "null")); }

struct Fresh {
  double seconds = 0;
  double mb_per_s = 0;
};

Fresh measure_fresh(const std::string& binary, const std::string& message) {
  Server server(binary);
  settle(server, 1);
  Fresh f;
  f.seconds = server.round_trip(message);
  f.mb_per_s = static_cast<double>(message.size()) / 1e6 / f.seconds;
  return f;
}

struct Repeated {
  std::vector<double> seconds;  // one per open
  double resident_after_mib = 0;
  double peak_mib = 0;
};

Repeated measure_repeated(const std::string& binary, const std::string& open, const std::string& close) {
  Server server(binary);
  settle(server, 1);
  Repeated r;
  for (int i = 0; i < kOpens; ++i) {
    r.seconds.push_back(server.round_trip(open));
    // A close has no answer: the answer of the request after it says it was read.
    server.round_trip(close + zevo::bench::request(2 + i, "shutdown", "null"));
  }
  r.resident_after_mib = static_cast<double>(server.resident_kib()) / 1024;
  r.peak_mib = static_cast<double>(server.peak_rss_kib()) / 1024;
  return r;
}

double median(std::vector<double> values) { return zevo::bench::quantile(std::move(values), 0.5); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> binaries(argv + 1, argv + argc);
  if (binaries.empty()) binaries.push_back(zevo::testing::server_binary_path());
  const std::string fresh_open = zevo::bench::did_open("file:///bench/yorum.zv", comment_line(kFreshBytes));
  const std::string repeated_open =
      zevo::bench::did_open("file:///bench/belge.zv", zevo::bench::numbered_units(zevo::bench::kMixedCodeBlock, kRepeatedBytes));
  const std::string repeated_close = zevo::bench::frame(
      R"({"jsonrpc":"2.0","method":"textDocument/didClose","params":{"textDocument":{"uri":"file:///bench/belge.zv"}}})");

  std::vector<std::vector<Fresh>> fresh(binaries.size());
  std::vector<std::vector<Repeated>> repeated(binaries.size());
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t b = 0; b < binaries.size(); ++b) {
      fresh[b].push_back(measure_fresh(binaries[b], fresh_open));
      repeated[b].push_back(measure_repeated(binaries[b], repeated_open, repeated_close));
    }
  }

  std::printf("Fresh server, didOpen of one comment line (%.1f MB message), medians of %d servers:\n\n",
              static_cast<double>(fresh_open.size()) / 1e6, kRounds);
  std::printf("| server | ms | MB/s |\n|---|---:|---:|\n");
  for (std::size_t b = 0; b < binaries.size(); ++b) {
    std::vector<double> ms, rate;
    for (const Fresh& f : fresh[b]) ms.push_back(f.seconds * 1000), rate.push_back(f.mb_per_s);
    std::printf("| %zu | %.1f | %.0f |\n", b + 1, median(ms), median(rate));
  }

  std::printf("\nOne server, the same didOpen (%.1f MB message) and didClose %d times; medians over %d servers of "
              "each open's ms, of the slowest open over the fastest, and of the resident and peak MiB after the "
              "last close:\n\n",
              static_cast<double>(repeated_open.size()) / 1e6, kOpens, kRounds);
  std::printf("| server |");
  for (int i = 0; i < kOpens; ++i) std::printf(" open %d ms |", i + 1);
  std::printf(" slowest / fastest | resident MiB | peak MiB |\n|---|");
  for (int i = 0; i < kOpens; ++i) std::printf("---:|");
  std::printf("---:|---:|---:|\n");
  for (std::size_t b = 0; b < binaries.size(); ++b) {
    std::printf("| %zu |", b + 1);
    for (int i = 0; i < kOpens; ++i) {
      std::vector<double> ms;
      for (const Repeated& r : repeated[b]) ms.push_back(r.seconds[static_cast<std::size_t>(i)] * 1000);
      std::printf(" %.1f |", median(ms));
    }
    std::vector<double> spread, resident, peak;
    for (const Repeated& r : repeated[b]) {
      spread.push_back(*std::max_element(r.seconds.begin(), r.seconds.end()) /
                       *std::min_element(r.seconds.begin(), r.seconds.end()));
      resident.push_back(r.resident_after_mib);
      peak.push_back(r.peak_mib);
    }
    std::printf(" %.2f | %.1f | %.1f |\n", median(spread), median(resident), median(peak));
  }
  return 0;
}

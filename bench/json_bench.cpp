// The JSON reader and writer on 1 MB and 10 MB textDocument/didOpen bodies,
// against nlohmann's own parse and dump on the same bodies. Goals: the reader
// at least 10 times nlohmann's parse and at least 1 GB/s; the writer at least
// as fast as dump(). The ratios are printed after the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "documents.hpp"
#include "json/json.hpp"
#include "text/utf8.hpp"

namespace {

// ZEVO text with Turkish letters, an emoji, tabs and quoted strings.
constexpr const char* kSourceLines[] = {
    "// Sıcaklık sensörünü okuyup ekrana yazan görev 🌡️",
    "sabit ÖLÇÜM_ARALIĞI = 250",
    "değişken son_değer: ondalık = 0.0",
    "",
    "görev ölç(pin: tamsayı) -> ondalık {",
    "\tdeğişken ham = adc.oku(pin)",
    "\teğer ham > 1023 ise",
    "\t\tyazdır(\"Geçersiz değer: \\\"\" + ham + \"\\\"\")",
    "\tson",
    "\tdöndür ham * 0.48828125",
    "}",
    "",
    "fonksiyon ana() {",
    "\tiken doğru {",
    "\t\tson_değer = ölç(A0)",
    "\t\tyazdır(\"Şu anki sıcaklık: \" + son_değer + \" °C\")",
    "\t\tbekle(ÖLÇÜM_ARALIĞI)",
    "\t}",
    "}",
};

std::string zevo_text(std::size_t bytes) {
  std::string unit;
  for (const char* line : kSourceLines) unit.append(line).push_back('\n');
  return zevo::bench::numbered_units(unit, bytes);
}

std::string did_open_body(std::size_t bytes) {
  nlohmann::json params = {{"textDocument",
                            {{"uri", "file:///home/kullanıcı/proje/sıcaklık.zv"},
                             {"languageId", "zevo"},
                             {"version", 1},
                             {"text", zevo_text(bytes)}}}};
  zevo::json::Writer body;
  zevo::json::write_notification(body, "textDocument/didOpen", [&](zevo::json::Writer& out) { out.value(params); });
  return body.text();
}

const std::string& body(int megabytes) {
  static std::map<int, std::string> bodies;
  auto& b = bodies[megabytes];
  if (b.empty()) b = did_open_body(static_cast<std::size_t>(megabytes) << 20);
  return b;
}

// Runs `step` on the body of state.range(0) megabytes and counts its bytes.
template <class Step>
void over_body(benchmark::State& state, Step step) {
  const std::string& text = body(static_cast<int>(state.range(0)));
  for (auto _ : state) step(text);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_Utf8Check(benchmark::State& state) {
  over_body(state, [](const std::string& text) { benchmark::DoNotOptimize(zevo::text::utf8_error(text)); });
}

void BM_Read(benchmark::State& state) {
  over_body(state, [&state](const std::string& text) {
    auto value = zevo::json::parse(text);
    if (!value.ok()) state.SkipWithError(value.error().c_str());
    benchmark::DoNotOptimize(value);
  });
}

void BM_NlohmannParse(benchmark::State& state) {
  over_body(state, [](const std::string& text) { benchmark::DoNotOptimize(nlohmann::json::parse(text)); });
}

// The writers write the tree read from the body, which is the body again.
void BM_Write(benchmark::State& state) {
  const nlohmann::json value = nlohmann::json::parse(body(static_cast<int>(state.range(0))));
  over_body(state, [&value](const std::string&) { benchmark::DoNotOptimize(zevo::json::to_text(value)); });
}

void BM_NlohmannDump(benchmark::State& state) {
  const nlohmann::json value = nlohmann::json::parse(body(static_cast<int>(state.range(0))));
  over_body(state, [&value](const std::string&) { benchmark::DoNotOptimize(value.dump()); });
}

BENCHMARK(BM_Utf8Check)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Read)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NlohmannParse)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Write)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NlohmannDump)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// Keeps each run's throughput so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto found = run.counters.find("bytes_per_second");
      if (found != run.counters.end()) rates_[run.run_name.str()] = found->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* size : {"1", "10"}) {
      const double read = rate("BM_Read/", size);
      const double parse = rate("BM_NlohmannParse/", size);
      const double write = rate("BM_Write/", size);
      const double dump = rate("BM_NlohmannDump/", size);
      if (read == 0 || parse == 0 || write == 0 || dump == 0) continue;
      // Rates in 10^6 bytes per second.
      std::printf("%s MB didOpen: read %.0f MB/s (%.1fx nlohmann parse %.0f MB/s); write %.0f MB/s (%.2fx dump %.0f MB/s)\n",
                  size, read / 1e6, read / parse, parse / 1e6, write / 1e6, write / dump, dump / 1e6);
    }
  }

 private:
  double rate(const std::string& name, const char* size) {
    const auto found = rates_.find(name + size);
    return found == rates_.end() ? 0.0 : found->second;
  }
  std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

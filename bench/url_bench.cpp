// Parse + serialise of document URIs (goal: under 1 µs each), and the growth of hostile
// inputs, which must stay linear.
#include <benchmark/benchmark.h>

#include <string>

#include "url/url.hpp"

namespace {

void parse_and_serialize(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    auto url = zevo::url::parse(input);
    std::string href = zevo::url::serialize(*url);
    benchmark::DoNotOptimize(href);
  }
}

void BM_TypicalFileUri(benchmark::State& state) {
  parse_and_serialize(state, "file:///home/user/project/src/module/file.zevo");
}
BENCHMARK(BM_TypicalFileUri);

void BM_FileUriWithSpaceAndTurkishLetters(benchmark::State& state) {
  parse_and_serialize(state,
                      "file:///home/user/proje dosyas\xC4\xB1/\xC5\x9F"
                      "ema \xC3\xB6l\xC3\xA7\xC3\xBCm\xC3\xBC.zevo");
}
BENCHMARK(BM_FileUriWithSpaceAndTurkishLetters);

void BM_InternationalHost(benchmark::State& state) {
  parse_and_serialize(state, "https://\xC3\x96RNEK.com.tr/belge.zevo");
}
BENCHMARK(BM_InternationalHost);

std::string repeat(const char* s, std::int64_t n) {
  std::string out;
  for (std::int64_t i = 0; i < n; ++i) out += s;
  return out;
}

void run_scaled(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    auto url = zevo::url::parse(input);
    benchmark::DoNotOptimize(url);
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_DotDotSegments(benchmark::State& state) {
  run_scaled(state, "file:///" + repeat("a/b/../../../", state.range(0)));
}
BENCHMARK(BM_DotDotSegments)->RangeMultiplier(8)->Range(1 << 10, 1 << 19)->Complexity(benchmark::oN);

void BM_PercentSigns(benchmark::State& state) {
  run_scaled(state, "http://h/" + repeat("%%41%4", state.range(0)));
}
BENCHMARK(BM_PercentSigns)->RangeMultiplier(8)->Range(1 << 10, 1 << 19)->Complexity(benchmark::oN);

void BM_NonAsciiLabels(benchmark::State& state) {
  run_scaled(state, "http://" + repeat("\xC3\xB6.", state.range(0)) + "com/");
}
BENCHMARK(BM_NonAsciiLabels)->RangeMultiplier(8)->Range(1 << 10, 1 << 19)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();

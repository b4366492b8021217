// The UTF-8 check (text::utf8_error) that every message body passes before it
// is parsed, in-process on 1 MiB and 16 MiB texts: plain ASCII, a comment line
// with a Turkish word in every sentence, the whole-server benchmark's mixed
// code (Turkish keywords and names), and Turkish prose with an emoji in each
// line. Goal: at least 4 GB/s on the ASCII-heavy ones.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "documents.hpp"
#include "text/utf8.hpp"

namespace {

std::string repeated(std::string_view unit, std::size_t size) {
  std::string text;
  while (text.size() < size) text += unit;
  text.resize(size);
  return text;
}

enum Text : int { kAscii, kComment, kMixedCode, kProse };

std::string text_of(int kind, std::size_t size) {
  switch (kind) {
    case kAscii: return repeated("// plain ASCII comment text, words and numbers 0123456789 ", size);
    case kComment: return repeated("bir yorum satırı, one long comment line of words ", size);
    case kMixedCode: return zevo::bench::numbered_units(zevo::bench::kMixedCodeBlock, size);
    default: return repeated("Sıcaklık ölçümü güncellendi, değer çok yüksek 🌡️ ışık söndü\n", size);
  }
}

void BM_Utf8Check(benchmark::State& state) {
  std::string text = text_of(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)) << 20);
  // Cut back to the last whole character, so that the text is well-formed.
  while (zevo::text::utf8_error(text)) text.pop_back();
  for (auto _ : state) {
    auto error = zevo::text::utf8_error(text);
    if (error) state.SkipWithError(error->c_str());
    benchmark::DoNotOptimize(error);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  static const char* const kNames[] = {"ascii", "comment", "code", "prose"};
  state.SetLabel(kNames[state.range(0)]);
}

BENCHMARK(BM_Utf8Check)
    ->ArgsProduct({{kAscii, kComment, kMixedCode, kProse}, {1, 16}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

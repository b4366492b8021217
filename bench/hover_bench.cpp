// Hover, completion and signature help on a 1 MB open document (about 30,000
// lines), the cursor on its last line; signature help also on 1 MB of one
// repeated letter.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "documents.hpp"
#include "lsp/completion.hpp"
#include "lsp/hover.hpp"
#include "lsp/signature.hpp"
#include "text/utf8.hpp"

namespace {

using namespace zevo::lsp;

constexpr const char* kUri = "file:///bench/buyuk.zv";

// Bilingual code in which the callee of the last line also stands on every
// fifth line, next to a variable named `variable` and non-ASCII letters.
std::string large_document(const std::string& last_line, const std::string& variable = "fark_") {
  const std::string unit = "fonksiyon hesapla_{n}(a: tamsayı, b: ondalık) -> tamsayı {\n"
                           "    değişken " + variable + "{n} = pow(a, 2) + karekök(b)\n"
                           "    eğer sonuç_{n} > 10 ise yazdır(\"büyük\")\n"
                           "    dön sonuç_{n}\n"
                           "}\n";
  std::string text;
  text.reserve(1 << 20);
  zevo::bench::append_numbered_units(text, unit, (1 << 20) - 200);
  text += last_line;
  return text;
}

nlohmann::json position_params(uint32_t line, uint32_t character) {
  return {{"textDocument", {{"uri", kUri}}}, {"position", {{"line", line}, {"character", character}}}};
}

uint32_t last_line_number(const std::string& text) {
  uint32_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

void BM_Hover(benchmark::State& state) {
  const std::string last = "    @realtime(deadline: 10ms) eğer x ise";
  ServerState server;
  open_document(server, kUri, large_document(last));
  const auto& text = *get_document(server, kUri)->text;
  const Params params = position_params(last_line_number(text), 32);
  zevo::json::Writer out;
  if (!handle_hover(params, server, out).ok() || out.text() == "null") state.SkipWithError("hover did not answer");
  for (auto _ : state) {
    out.clear();
    benchmark::DoNotOptimize(handle_hover(params, server, out));
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_Hover)->Unit(benchmark::kMicrosecond);

void BM_HoverForPosition(benchmark::State& state) {
  const std::string last = "    @realtime(deadline: 10ms) eğer x ise";
  const std::string text = large_document(last);
  const HoverParams params{{{kUri}, {last_line_number(text), 32}}};
  if (!hover_for_position(params, text)) state.SkipWithError("no hover");
  for (auto _ : state) benchmark::DoNotOptimize(hover_for_position(params, text));
}
BENCHMARK(BM_HoverForPosition)->Unit(benchmark::kMicrosecond);

// Argument 1: every line that names the callee also holds "fon", so the
// declaration search lower-cases each of them in full (the worst case).
void BM_SignatureHelp(benchmark::State& state) {
  const std::string last = "    değişken z = pow(2, ";
  DocumentsSnapshot snapshot;
  const std::string text = large_document(last, state.range(0) == 0 ? "fark_" : "fonk_");
  snapshot.add(kUri, std::make_shared<const std::string>(text));
  const nlohmann::json params =
      position_params(last_line_number(text), static_cast<uint32_t>(zevo::text::utf16_length(last)));
  zevo::json::Writer out;
  if (!handle_signature_help(params, snapshot, out).ok() || out.text() == "null") {
    state.SkipWithError("signature help did not answer");
  }
  for (auto _ : state) {
    out.clear();
    benchmark::DoNotOptimize(handle_signature_help(params, snapshot, out));
  }
}
BENCHMARK(BM_SignatureHelp)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The callee is a 32 KB run of "a" and the line before it 1 MB of runs one
// letter shorter: a near miss at every offset of the declaration search.
void BM_SignatureHelpRepeatedLetter(benchmark::State& state) {
  constexpr std::size_t kName = 32 * 1024;
  std::string text;
  zevo::bench::append_near_misses(text, kName, 1u << 20);
  text += '\n';
  text.append(kName, 'a').append("(");
  DocumentsSnapshot snapshot;
  snapshot.add(kUri, std::make_shared<const std::string>(std::move(text)));
  const nlohmann::json params = position_params(1, static_cast<uint32_t>(kName + 1));
  zevo::json::Writer out;
  for (auto _ : state) {
    out.clear();
    benchmark::DoNotOptimize(handle_signature_help(params, snapshot, out));
  }
}
BENCHMARK(BM_SignatureHelpRepeatedLetter)->Unit(benchmark::kMicrosecond);

void BM_Completion(benchmark::State& state) {
  ServerState server;
  open_document(server, kUri, large_document("yaz"));
  const Params params = position_params(last_line_number(*get_document(server, kUri)->text), 3);
  zevo::json::Writer out;
  if (!handle_completion(params, server, out).ok()) state.SkipWithError("completion did not answer");
  for (auto _ : state) {
    out.clear();
    benchmark::DoNotOptimize(handle_completion(params, server, out));
  }
}
BENCHMARK(BM_Completion)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

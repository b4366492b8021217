// The whole-document parse of about 10 MB of realistic ZEVO text (goal: at
// least 60 MB/s, peak memory under 20 times the text), the diagnostics
// computation on the same text, and the statement-by-statement parse of a
// keystroke in 100 KB of one-statement lines.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "documents.hpp"
#include "lsp/diagnostics.hpp"
#include "parser/parser.hpp"

namespace {

// Declarations and statements of every kind the parser reads, in both
// languages; "{n}" becomes a number so that names differ.
constexpr std::array<std::string_view, 8> kUnits = {
    "// Sensör okuma: ısı ölçümü {n}\n"
    "fonksiyon ölçüm_{n}(kanal: tamsayı, ölçek: ondalık) -> ondalık {\n"
    "    değişken ham = oku(kanal) * ölçek + 0.5;\n"
    "    eğer ham > 3.3 ve etkin ise\n"
    "        dön ham / 2.0;\n"
    "    veya eğer ham < 0.1 ise\n"
    "        dön 0.0;\n"
    "    değilse\n"
    "        yaz(\"değer: \", ham);\n"
    "    son\n"
    "    dön ham;\n"
    "}\n",
    "function read_sensor_{n}(channel: int) -> float {\n"
    "    let raw: int = adc_read(channel) + 42;\n"
    "    if raw >= 1024 { return 1.0; } else { log.warn(\"raw\", raw); }\n"
    "    for i in 0..16 { total = total + values[i] % 3; }\n"
    "    while count != 0 do count = count - 1 end\n"
    "    /* scale the raw count to volts */\n"
    "    return raw as float / 1023.0 * 3.3;\n"
    "}\n",
    "görev ısı_görevi_{n} { öncelik: 5 periyot: 100 ms yığın: 2 KB mod: hızlı }\n"
    "konu Sıcaklık_{n}: Ölçüm (güvenilir, geçmiş = 10, kalıcı);\n"
    "yayıncı yayın_{n} -> Sıcaklık_{n} (best_effort);\n"
    "abone dinle_{n} <- Sıcaklık_{n};\n",
    "olay Düğme_{n}(pin: tamsayı) öncelik 2 {\n"
    "    emit Basıldı(pin, {n});\n"
    "    gpio::PA5.toggle();\n"
    "    uart::TX.write(\"bağlantı kuruldu\\r\\n\");\n"
    "}\n",
    "let status_{n} = match code do\n"
    "    case 1 => \"ok\";\n"
    "    case Some(x) => x + 1;\n"
    "    _ => \"unknown\"\n"
    "end;\n"
    "sabit sınır_{n} = [1, 2, 3, (4, 5)];\n",
    "yapı Ölçüm_{n} { değer: ondalık, zaman: tamsayı, etiketler: Liste<yazı> }\n"
    "tip Kimlik_{n} = tamsayı\n"
    "use ::std::io::{read, write as w};\n"
    "içe_aktar \"sürücü/{n}\" olarak S;\n",
    "#[test]\n"
    "fn test_sum_{n}() {\n"
    "    dene { assert(topla(1, 2) == 3); } yakala e { panic!(\"failed: {}\", e); }\n"
    "    let p = yeni Nokta(1, 2).uzunluk()?;\n"
    "}\n",
    "her biri öğe içinde liste_{n} yap\n"
    "    eğer değil öğe.boş_mu() ise yaz(öğe) son\n"
    "son\n"
    "bölge tampon_{n}(4096) { x = y - -z; }\n",
};

const std::string& ten_megabytes() {
  static const std::string text = zevo::bench::mixed_units(kUnits, 0x2545F4914F6CDD1Du, 10u << 20);
  return text;
}

// Resident memory now and at its highest so far, in bytes.
std::size_t resident_bytes() {
  long size = 0;
  long pages = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &size, &pages) != 2) pages = 0;
    std::fclose(f);
  }
  return static_cast<std::size_t>(pages) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::size_t peak_resident_bytes() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

// Run first in the process, so that the peak it reports is that of parsing
// the text: the tree, the tokens in flight and the statement list.
void BM_ParseDocument(benchmark::State& state) {
  const std::string& text = ten_megabytes();
  // The benchmark runs this function more than once; the first run sees the process before any parse.
  static const std::size_t before = resident_bytes();
  std::size_t statements = 0;
  for (auto _ : state) {
    zevo::parser::Program program = zevo::parser::parse_document(text);
    statements = program.statements.size();
    benchmark::DoNotOptimize(program);
  }
  const std::size_t peak = peak_resident_bytes() - before;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["statements"] = static_cast<double>(statements);
  state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
  state.counters["peak_per_text_byte"] = static_cast<double>(peak) / static_cast<double>(text.size());
}
BENCHMARK(BM_ParseDocument)->Unit(benchmark::kMillisecond);

void BM_ComputeDiagnostics(benchmark::State& state) {
  const std::string text = ten_megabytes() + "{";
  for (auto _ : state) {
    auto diagnostics = zevo::lsp::compute_diagnostics(text);
    benchmark::DoNotOptimize(diagnostics);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ComputeDiagnostics)->Unit(benchmark::kMillisecond);

// The parse the diagnostics run on every keystroke, statement by statement, on
// 100 KB of one-statement lines.
void BM_CheckStatementDense(benchmark::State& state) {
  const std::string_view unit = state.range(0) == 0 ? "a;\n" : "f(x)\n";
  const std::string text = zevo::bench::numbered_units(unit, 100 << 10);
  for (auto _ : state) zevo::parser::check_document(text);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetLabel(state.range(0) == 0 ? "a; lines" : "f(x) lines");
}
BENCHMARK(BM_CheckStatementDense)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

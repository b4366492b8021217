// Lexing throughput on about 10 MB of ZEVO text mixing both keyword languages,
// identifiers with Turkish letters, numbers, strings and comments.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "documents.hpp"
#include "parser/lexer.hpp"

namespace {

using zevo::parser::Lexer;
using zevo::parser::SourceFile;
using zevo::parser::TokenKind;

// "{n}" in a snippet is replaced by a varying number, so identifiers differ.
constexpr std::array<std::string_view, 10> kSnippets = {
    "// Sensör okuma döngüsü: ısı ölçümü {n}\n"
    "fonksiyon ölçüm_al_{n}(kanal: tamsayı) -> ondalık {\n"
    "    değişken değer = adc::oku(kanal);\n"
    "    eğer değer > 3.3 ise\n"
    "        dön değer * 0.5;\n"
    "    veya eğer değer < 0.125 ise\n"
    "        dön 0.0;\n"
    "    son\n"
    "    dön değer;\n"
    "}\n",
    "function read_sensor_{n}(channel: int) -> float {\n"
    "    let raw = adc.read(channel) + 42;\n"
    "    if raw >= 1024 then return 1.0; end\n"
    "    /* scale the raw count to volts\n"
    "       (reference 3.3 V, 10 bits) */\n"
    "    return raw / 1023.0 * 3.3;\n"
    "}\n",
    "her biri öğe içinde liste_{n} yap\n"
    "    yazdır(\"Öğe: \\t\", öğe, \"\\n\");\n"
    "son\n",
    "görev ısı_görevi_{n} öncelik: 5 periyot: 100ms yığın: 2KB {\n"
    "    sabit eşik = 75;\n"
    "    iken doğru yap bekle(10ms); devret; son\n"
    "}\n",
    "katılımcı düğüm_{n} alan 0 {\n"
    "    konu \"sıcaklık/oda_{n}\" güvenilir geçmiş 10 kalıcılık geçici;\n"
    "    yayıncı yayın_{n}: konu;\n"
    "}\n",
    "while counter_{n} != 0 { counter_{n} = counter_{n} - 1; } // count down\n"
    "for item in 0..16 { total = total + item % 3; }\n",
    "gpio::PA5.set_high(); giriş_çıkış::PB3.yüksek_yap();\n"
    "uart::UART1.write('bağlantı kuruldu\\r\\n');\n",
    "match status_{n} {\n"
    "    1 => \"tamam\",\n"
    "    2 => 'hata: \\'zaman aşımı\\'',\n"
    "    _ => \"bilinmeyen durum\",\n"
    "}\n",
    "struct Ölçüm_{n} { değer: ondalık, zaman: tamsayı, birim: yazı }\n"
    "yapı Paket_{n} { başlık: liste, yük: demet }\n",
    "modül sürücü_{n}\n"
    "    içe_aktar donanım dan sistem;\n"
    "    dışa_aktar başlat;\n"
    "    değişken çarpan = 1.000244140625; değişken sayaç_ğüşiöç = 123456789;\n"
    "son\n",
};

void BM_LexRealistic(benchmark::State& state) {
  static const std::string text = zevo::bench::mixed_units(kSnippets, 0x9E3779B97F4A7C15u, 10u << 20, 1000);
  const auto last_line = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::int64_t tokens = 0;
  for (auto _ : state) {
    Lexer lexer(text, SourceFile{"<stdin>"});
    std::int64_t count = 0;
    for (auto token = lexer.next_token(); token.kind != TokenKind::EndOfInput;
         token = lexer.next_token()) {
      ++count;
      benchmark::DoNotOptimize(token);
    }
    // The text holds no character the lexer does not know: the end is the true end.
    if (lexer.last_span().line != last_line) state.SkipWithError("stopped before the end");
    tokens = count;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["tokens"] = static_cast<double>(tokens);
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(state.iterations() * text.size()) / 1e6,
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LexRealistic)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

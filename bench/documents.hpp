// The ZEVO texts the benchmarks run on are built from units: pieces of text in
// which every "{n}" stands for the number of the copy, so that the names of
// one copy differ from those of the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace zevo::bench {

// One block of ZEVO with the constructs the features look at: declarations,
// calls of a built-in, nested blocks, a comment, Turkish letters; the unit of
// the whole-server benchmark's documents.
constexpr std::string_view kMixedCodeBlock =
    "fonksiyon işlev_{n}(değer: tamsayı) -> tamsayı {\n"
    "  değişken sayaç_{n}: tamsayı = değer + {n}\n"
    "  eğer sayaç_{n} > 10 {\n"
    "    yazdır(\"büyük\") // çıktı\n"
    "  }\n"
    "  dön sayaç_{n} * 2\n"
    "}\n\n";

// A firmware module in both languages: declarations, calls of built-ins,
// strings and comments on every few lines.
inline constexpr std::string_view kFirmwareModule =
    "fonksiyon oku_{n}(pin: tamsayı, kanal: tamsayı) -> ondalık {\n"
    "    değişken ham = adc.oku(pin, kanal)\n"
    "    let sınır: tamsayı = 4095\n"
    "    eğer ham >= sınır { yazdır(\"taşma: \", ham) }\n"
    "    dön ham * 3.3 / sınır\n"
    "}\n"
    "function control_{n}(target, gain) {\n"
    "    let error = target - oku_{n}(1, 2)\n"
    "    const limit = 100\n"
    "    print(\"output\", max(error * gain, limit)) // log it\n"
    "    return error\n"
    "}\n";

// Appends `unit` with every "{n}" replaced by `number`.
inline void append_unit(std::string& text, std::string_view unit, std::string_view number) {
  constexpr std::string_view kMark = "{n}";
  for (std::size_t from = 0;;) {
    const std::size_t at = unit.find(kMark, from);
    if (at == std::string_view::npos) {
      text.append(unit.substr(from));
      return;
    }
    text.append(unit.substr(from, at - from)).append(number);
    from = at + kMark.size();
  }
}

// Copies of `unit` numbered 0, 1, 2, ... until `text` holds at least `size` bytes.
inline void append_numbered_units(std::string& text, std::string_view unit, std::size_t size) {
  for (std::uint64_t n = 0; text.size() < size; ++n) append_unit(text, unit, std::to_string(n));
}

inline std::string numbered_units(std::string_view unit, std::size_t size) {
  std::string text;
  append_numbered_units(text, unit, size);
  return text;
}

// Units drawn from `units` by a xorshift generator started at `seed`, until
// the text holds at least `size` bytes; the k-th copy is numbered k modulo
// `numbers`. The same seed gives the same text on every machine.
inline std::string mixed_units(std::span<const std::string_view> units, std::uint64_t seed, std::size_t size,
                               std::uint64_t numbers = std::numeric_limits<std::uint64_t>::max()) {
  std::string text;
  text.reserve(size + 1024);
  std::uint64_t state = seed;
  for (std::uint64_t n = 0; text.size() < size; ++n) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    append_unit(text, units[state % units.size()], std::to_string(n % numbers));
  }
  return text;
}

// Mixed code as typed in an editor: functions with Turkish and English
// keywords, tests and benchmarks, declarations, topics, annotations, comments
// and emoji.
inline constexpr std::string_view kEditorCodeUnits[] = {
    "// Modül {n}: sensör okuma 🔧 ve kontrol\n"
    "@realtime @deadline(10)\n"
    "fonksiyon oku_{n}(pin: tamsayı, kanal: tamsayı) -> ondalık {\n"
    "    değişken ham_{n} = adc.oku(pin, kanal)\n"
    "    sabit ÖLÇEK_{n} = 3.3\n"
    "    eğer ham_{n} >= 4095 { yazdır(\"taşma 😀\", ham_{n}) }\n"
    "    dön ham_{n} * ÖLÇEK_{n} / 4095\n"
    "}\n",
    "function control_{n}(target, gain) {\n"
    "    let error_{n} = target - oku_{n}(1, 2)\n"
    "    const limit_{n} = 100\n"
    "    print(\"output\", max(error_{n} * gain, limit_{n})) // log it\n"
    "    return error_{n}\n"
    "}\n",
    "konu sıcaklık_{n}: Ölçüm (güvenilir, derinlik: 10);\n"
    "yayıncı gönder_{n} -> sıcaklık_{n};\n"
    "subscriber listen_{n} <- sıcaklık_{n};\n",
    "değişken sayaç_{n}: tamsayı = 0\n"
    "let hazır_{n} = doğru // 🚀 hazır\n",
    "yapı Nokta_{n} {\n"
    "    x: ondalık,\n"
    "    y: ondalık\n"
    "}\n"
    "type Reading_{n} = float\n",
    "@test\n"
    "fonksiyon test_topla_{n}() {\n"
    "    değişken sonuç = topla(2, 3)\n"
    "    doğrula(sonuç == 5)\n"
    "}\n",
    "@bench\n"
    "fn benchmark_sırala_{n}(liste) { dön sırala(liste) }\n",
    "/* Açıklama {n}: bu blok\n"
    "   birkaç satır sürer ✨ */\n"
    "fn yardımcı_{n}(x) { dön x + 1 }\n\n",
};

// About `size` bytes of those units in one fixed order.
inline std::string mixed_editor_code(std::size_t size) {
  return mixed_units(kEditorCodeUnits, 0x9e3779b97f4a7c15, size);
}

// Runs of `word_length - 1` letters "a", each followed by a space, over about
// `size` bytes: a near miss of a `word_length`-letter word at every offset,
// where a search that compares at every candidate goes quadratic.
inline void append_near_misses(std::string& text, std::size_t word_length, std::size_t size) {
  for (std::size_t i = 0; i < size / word_length; ++i) text.append(word_length - 1, 'a').append(" ");
}

}  // namespace zevo::bench

// Hover texts are looked up by the exact word; the scan knows no comments or
// strings, so a keyword anywhere on a line gets its text.
#include "lsp/hover.hpp"

#include "lsp/decode.hpp"
#include "text/lines.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::lsp {

constexpr std::array<HoverText, 27> HOVER_TEXTS = {{
    {{"@public", "@halka_açık"},
     "**🔓 Public Security Classification / Halka Açık Güvenlik Sınıfı**\n"
     "\n"
     "```zevo\n"
     "@public  // veya @halka_açık\n"
     "fonksiyon calculate_checksum(veri: &[u8]) -> u32\n"
     "```\n"
     "\n"
     "**Kısıtlama yok** - Tüm derleme profillerinde kullanılabilir:\n"
     "- ✅ Yurtiçi derlemeler (Domestic)\n"
     "- ✅ İhracat derlemeleri (Export)\n"
     "- ✅ Demo derlemeleri\n"
     "- ✅ Geliştirme derlemeleri\n"
     "\n"
     "**No restrictions** - Can be included in any build profile.\n"
     "\n"
     "**Kullanım / Use for:** Açık API'ler, açık kaynak bileşenler, dokümantasyon araçları.\n"
     "\n"
     "**İlgili / Related:** `@exportable`, `@domestic_only`, `@classified`"},
    {{"@exportable", "@ihraç_edilebilir"},
     "**🌍 Exportable Security Classification / İhraç Edilebilir Güvenlik Sınıfı**\n"
     "\n"
     "```zevo\n"
     "@exportable  // veya @ihraç_edilebilir\n"
     "fonksiyon sensor_fusion(ölçümler: &[SensorData]) -> FusedOutput\n"
     "```\n"
     "\n"
     "**Sınırlı ihracat** - Şu profillerde kullanılabilir:\n"
     "- ✅ Yurtiçi derlemeler (Domestic)\n"
     "- ✅ İhracat derlemeleri (Export)\n"
     "- ❌ Demo derlemeleri\n"
     "- ✅ Geliştirme derlemeleri\n"
     "\n"
     "**Limited export** - Cannot be included in demo builds.\n"
     "\n"
     "**Kullanım / Use for:** Standart algoritmalar, hassas olmayan işlemler, ticari özellikler.\n"
     "\n"
     "**Uyumluluk / Compliance:** İşaretlemeden önce ITAR/EAR sınıflandırmasını kontrol edin.\n"
     "\n"
     "**İlgili / Related:** `@public`, `@domestic_only`, `@classified`"},
    {{"@domestic_only", "@yurtiçi"},
     "**🏠 Domestic Only Security Classification / Yalnızca Yurtiçi Güvenlik Sınıfı**\n"
     "\n"
     "```zevo\n"
     "@domestic_only  // veya @yurtiçi\n"
     "fonksiyon guidance_algorithm(hedef: Coordinate) -> FlightPath\n"
     "```\n"
     "\n"
     "**⚠️ İhraç edilemez** - Sadece şu profillerde:\n"
     "- ✅ Yurtiçi derlemeler (Domestic)\n"
     "- ❌ İhracat derlemeleri (DERLEME HATASI)\n"
     "- ❌ Demo derlemeleri\n"
     "- ✅ Geliştirme derlemeleri\n"
     "\n"
     "**⚠️ Cannot be exported** - Export builds will fail at compile-time if this symbol is referenced.\n"
     "\n"
     "**Kullanım / Use for:** Savunma algoritmaları, gizli işlemler, ihracat kontrolüne tabi teknoloji.\n"
     "\n"
     "**Uyumluluk / Compliance:** MIL-STD-882E, ITAR Kategori XV\n"
     "\n"
     "**İlgili / Related:** `@public`, `@exportable`, `@classified`"},
    {{"@classified", "@gizli"},
     "**🔴 Classified Security Classification / Gizli Güvenlik Sınıfı**\n"
     "\n"
     "```zevo\n"
     "@classified  // veya @gizli\n"
     "fonksiyon crypto_core(anahtar: &HSMKey, veri: &[u8]) -> EncryptedBlock\n"
     "```\n"
     "\n"
     "**En yüksek koruma** - Son derece kısıtlı:\n"
     "- ✅ Yurtiçi derlemeler (HSM imzası ile)\n"
     "- ❌ İhracat derlemeleri (DERLEME HATASI)\n"
     "- ❌ Demo derlemeleri (DERLEME HATASI)\n"
     "- ❌ Geliştirme derlemeleri (DERLEME HATASI)\n"
     "\n"
     "**Highest protection** - Extremely restricted, requires HSM signing.\n"
     "\n"
     "**Gereksinimler / Requirements:**\n"
     "- HSM ile imzalanmalı\n"
     "- Debug sembolleri yok\n"
     "- Sembol gizleme aktif\n"
     "- Denetim izi zorunlu\n"
     "\n"
     "**Uyumluluk / Compliance:** DO-178C Level A, MIL-STD-882E Cat I\n"
     "\n"
     "**İlgili / Related:** `@public`, `@exportable`, `@domestic_only`"},
    {{"@hal_safe", {}},
     "**🔧 HAL Safe Annotation / HAL Güvenli Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@hal_safe\n"
     "fonksiyon read_gpio(pin: GpioPin) -> bool\n"
     "```\n"
     "\n"
     "Fonksiyonu Donanım Soyutlama Katmanı (HAL) kullanımı için güvenli olarak işaretler.\n"
     "Marks function as safe for Hardware Abstraction Layer usage.\n"
     "\n"
     "**Derleyici doğrular / Compiler validates:**\n"
     "- Dinamik bellek tahsisi yok / No dynamic allocation\n"
     "- Engelleyici işlem yok / No blocking operations\n"
     "- Sınırlı yürütme süresi / Bounded execution time\n"
     "\n"
     "**İlgili / Related:** `@realtime`, `@dma_safe`, `@no_alloc`"},
    {{"@realtime", {}},
     "**⏱️ Real-Time Annotation / Gerçek Zamanlı Anotasyon**\n"
     "\n"
     "```zevo\n"
     "@realtime(deadline: 10ms, wcet: 5ms)\n"
     "fonksiyon motor_control(hız: i32) -> ControlOutput\n"
     "```\n"
     "\n"
     "Fonksiyonu gerçek zamanlı kısıtlamalarla işaretler.\n"
     "Marks function with real-time constraints.\n"
     "\n"
     "**Parametreler / Parameters:**\n"
     "- `deadline`: Maksimum izin verilen yürütme süresi / Maximum allowed execution time\n"
     "- `wcet`: En kötü durum yürütme süresi bütçesi / Worst-case execution time budget\n"
     "\n"
     "Derleyici WCET'i doğrular ve zamanlama raporları üretir.\n"
     "Compiler validates WCET and generates timing reports.\n"
     "\n"
     "**Uyumluluk / Compliance:** DO-178C, ISO 26262 ASIL-D"},
    {{"@dma_safe", {}},
     "**📡 DMA Safe Annotation / DMA Güvenli Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@dma_safe(channel: \"DMA2_CH3\", size: 4096)\n"
     "fonksiyon transfer_sensor_data(tampon: &mut [u8])\n"
     "```\n"
     "\n"
     "Fonksiyonu DMA işlemleri için güvenli olarak işaretler.\n"
     "Marks function as safe for DMA operations.\n"
     "\n"
     "**Derleyici doğrular / Compiler validates:**\n"
     "- Tampon hizalaması (32-byte sınırı) / Buffer alignment (32-byte boundary)\n"
     "- Transfer sırasında aliasing yok / No aliasing during transfer\n"
     "- Bellek koruma ayarları / Memory protection settings\n"
     "\n"
     "**İlgili / Related:** `@hal_safe`, `@no_alloc`"},
    {{"@no_alloc", {}},
     "**🚫 No Allocation Annotation / Tahsis Yok Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@no_alloc\n"
     "fonksiyon process_interrupt() -> InterruptResult\n"
     "```\n"
     "\n"
     "Fonksiyonu tahsisten bağımsız olarak işaretler.\n"
     "Marks function as allocation-free.\n"
     "\n"
     "**Derleyici zorlar / Compiler enforces:**\n"
     "- Heap tahsisi yok / No heap allocations\n"
     "- Dinamik yeniden boyutlandırma yok / No dynamic resizing\n"
     "- Sadece stack işlemleri / Stack-only operations\n"
     "\n"
     "**Kullanım / Use for:** Kesme işleyicileri, kritik bölümler, gerçek zamanlı kod.\n"
     "Interrupt handlers, critical sections, real-time code."},
    {{"@wcet", {}},
     "**⏱️ WCET Annotation / WCET Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@wcet(50us)\n"
     "fonksiyon pid_update(hata: f32) -> f32\n"
     "```\n"
     "\n"
     "En Kötü Durum Yürütme Süresi (WCET) bütçesini belirtir.\n"
     "Specifies Worst-Case Execution Time budget.\n"
     "\n"
     "**Derleyici doğrular / Compiler validates:**\n"
     "- Yürütme yollarının statik analizi / Static analysis of execution paths\n"
     "- Döngü sınırı doğrulaması / Loop bound verification\n"
     "- Sınırsız özyineleme yok / No unbounded recursion\n"
     "\n"
     "**Uyumluluk / Compliance:** DO-178C MC/DC coverage"},
    {{"@deadline", {}},
     "**⏰ Deadline Annotation / Son Tarih Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@deadline(100ms)\n"
     "fonksiyon navigation_update() -> NavState\n"
     "```\n"
     "\n"
     "Fonksiyon tamamlanması için kesin son tarih belirtir.\n"
     "Specifies hard deadline for function completion.\n"
     "\n"
     "**İhlal / Violation:** Çalışma zamanı son tarih kaçırması yapılandırılmış hata işleyiciyi tetikler.\n"
     "Runtime deadline miss triggers configured error handler.\n"
     "\n"
     "**İlgili / Related:** `@wcet`, `@realtime`"},
    {{"@critical", {}},
     "**🔴 Critical Section Annotation / Kritik Bölüm Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@critical\n"
     "fonksiyon update_flight_state(durum: &mut FlightState)\n"
     "```\n"
     "\n"
     "Fonksiyonu kritik bölüm olarak işaretler.\n"
     "Marks function as critical section.\n"
     "\n"
     "- Yürütme sırasında kesmeler devre dışı / Interrupts disabled during execution\n"
     "- Önalım devre dışı / Preemption disabled\n"
     "- Maksimum koruma / Maximum protection\n"
     "\n"
     "**Kullanım / Use for:** Durum güncellemeleri, güvenlik kritik işlemler.\n"
     "State updates, safety-critical operations."},
    {{"@certified", {}},
     "**✅ Certified Annotation / Sertifikalı Anotasyon**\n"
     "\n"
     "```zevo\n"
     "@certified(DO178C: \"DAL-A\", trace_id: \"REQ-001\")\n"
     "fonksiyon autopilot_engage() -> bool\n"
     "```\n"
     "\n"
     "Fonksiyonu sertifikasyon gereksinimine bağlar.\n"
     "Links function to certification requirement.\n"
     "\n"
     "**Öznitelikler / Attributes:**\n"
     "- `DO178C`: Geliştirme Güvence Seviyesi / Development Assurance Level\n"
     "- `trace_id`: Gereksinim izlenebilirlik kimliği / Requirement traceability ID\n"
     "- `version`: Sertifikasyon versiyonu / Certification version\n"
     "\n"
     "Denetimler için izlenebilirlik matrisi üretir.\n"
     "Generates traceability matrix for audits."},
    {{"@stack_limit", {}},
     "**📊 Stack Limit Annotation / Yığın Limiti Anotasyonu**\n"
     "\n"
     "```zevo\n"
     "@stack_limit(512)\n"
     "fonksiyon recursive_search(derinlik: u32) -> Option<Result>\n"
     "```\n"
     "\n"
     "Bayt cinsinden maksimum yığın kullanımını belirtir.\n"
     "Specifies maximum stack usage in bytes.\n"
     "\n"
     "**Derleyici doğrular / Compiler validates:**\n"
     "- Statik yığın analizi / Static stack analysis\n"
     "- Özyineleme derinlik limitleri / Recursion depth limits\n"
     "- Yerel değişken boyutları / Local variable sizes\n"
     "\n"
     "**Kullanım / Use for:** Sınırlı yığına sahip gömülü sistemler.\n"
     "Embedded systems with limited stack."},
    {{"if", "eğer"},
     "**Şart İfadesi / Conditional Statement**\n"
     "\n"
     "```zevo\n"
     "eğer koşul ise\n"
     "  // kod\n"
     "değilse\n"
     "  // kod\n"
     "son\n"
     "```\n"
     "\n"
     "Koşullu kod bloğu çalıştırır."},
    {{"iken", "while"},
     "**Döngü / While Loop**\n"
     "\n"
     "```zevo\n"
     "iken koşul\n"
     "  // kod\n"
     "son\n"
     "```\n"
     "\n"
     "Koşul doğru olduğu sürece tekrarlar."},
    {{"function", "fonksiyon"},
     "**Fonksiyon Tanımı / Function Definition**\n"
     "\n"
     "```zevo\n"
     "fonksiyon isim(param1: tür, param2: tür) -> dönüş_türü\n"
     "  // kod\n"
     "  dön değer\n"
     "son\n"
     "```\n"
     "\n"
     "Yeniden kullanılabilir kod bloğu tanımlar."},
    {{"let", "değişken"},
     "**Değişken Tanımı / Variable Declaration**\n"
     "\n"
     "```zevo\n"
     "değişken x = 5\n"
     "değişken y: tamsayı = 10\n"
     "```\n"
     "\n"
     "Değeri değiştirilebilen değişken tanımlar."},
    {{"sabit", "const"},
     "**Sabit Tanımı / Constant Declaration**\n"
     "\n"
     "```zevo\n"
     "sabit PI = 3.14159\n"
     "sabit MAX_SIZE: tamsayı = 1000\n"
     "```\n"
     "\n"
     "Değeri değişmeyen sabit tanımlar."},
    {{"dön", "return"},
     "**Dönüş İfadesi / Return Statement**\n"
     "\n"
     "```zevo\n"
     "dön değer\n"
     "```\n"
     "\n"
     "Fonksiyondan değer döndürür."},
    {{"yapı", "struct"},
     "**Yapı Tanımı / Struct Definition**\n"
     "\n"
     "```zevo\n"
     "yapı Nokta\n"
     "  x: ondalık\n"
     "  y: ondalık\n"
     "son\n"
     "```\n"
     "\n"
     "Özel veri tipi oluşturur."},
    {{"bölge", "region"},
     "**Bölge Tanımı / Region Definition**\n"
     "\n"
     "```zevo\n"
     "bölge isim\n"
     "  // bellek yönetimi\n"
     "son\n"
     "```\n"
     "\n"
     "Hızlı bellek tahsisi için region-based memory kullanır (263x hızlandırma)."},
    {{"i32", "tamsayı"},
     "**Tamsayı Türü / Integer Type**\n"
     "\n"
     "32-bit işaretli tam sayı (-2,147,483,648 ile 2,147,483,647 arası)"},
    {{"f64", "ondalık"},
     "**Ondalık Türü / Float Type**\n"
     "\n"
     "64-bit kayan noktalı sayı (15-17 basamak hassasiyet)"},
    {{"bool", {}},
     "**Boolean Türü**\n"
     "\n"
     "Mantıksal değer: `doğru` / `true` veya `yanlış` / `false`"},
    {{"metin", "string"},
     "**Metin Türü / String Type**\n"
     "\n"
     "UTF-8 kodlamalı metin dizisi"},
    {{"true", "doğru"},
     "**Mantıksal Doğru / Boolean True**\n"
     "\n"
     "Boolean türünde `true` değeri"},
    {{"false", "yanlış"},
     "**Mantıksal Yanlış / Boolean False**\n"
     "\n"
     "Boolean türünde `false` değeri"},
}};

std::optional<std::string_view> hover_word_at(std::string_view line, std::size_t column) {
  const std::size_t cursor = text::column_to_byte(line, column);
  if (cursor >= line.size()) return std::nullopt;

  const std::size_t start =
      text::run_start(line.substr(0, cursor), [](char32_t c) { return c == U'@' || text::is_identifier_char(c); });
  const std::size_t end = text::identifier_run_end(line, start == cursor && line[cursor] == '@' ? cursor + 1 : cursor);

  if (end <= start) return std::nullopt;
  return line.substr(start, end - start);
}

std::optional<Hover> hover_for_position(HoverParams params, std::string_view text) {
  const Position position = params.position_params.position;
  std::string_view line;
  if (!text::nth_line(text, position.line, line)) return std::nullopt;
  const auto word = hover_word_at(line, position.character);
  if (!word) return std::nullopt;
  for (const HoverText& row : HOVER_TEXTS) {
    for (std::string_view trigger : row.triggers) {
      if (!trigger.empty() && trigger == *word) {
        return Hover{MarkupContent{"markdown", std::string(row.text)}, std::nullopt};
      }
    }
  }
  return std::nullopt;
}

HandlerResult handle_hover(Params params, const ServerState& state, zevo::json::Writer& out) {
  auto decoded = decode_params<HoverParams>(std::move(params), "Invalid hover params");
  if (!decoded.ok()) return std::move(decoded.error());

  const Document* document = get_document(state, decoded->position_params.text_document.uri);
  const std::string_view text = document != nullptr && document->text ? std::string_view(*document->text)
                                                                       : std::string_view();
  const auto hover = hover_for_position(std::move(*decoded), text);
  if (hover) {
    write(out, *hover);
  } else {
    out.null();
  }
  return {};
}

}  // namespace zevo::lsp

// The catalogue ignores the document and the cursor: the editor filters it, so
// every request gets the same 140 items.
#include "lsp/completion.hpp"

#include <array>
#include <memory>
#include <string>

#include "json/json.hpp"
#include "lsp/decode.hpp"

namespace zevo::lsp {

namespace {

constexpr int32_t kKindFunction = 3;
constexpr int32_t kKindClass = 7;
constexpr int32_t kKindValue = 12;
constexpr int32_t kKindKeyword = 14;
constexpr int32_t kKindConstant = 21;
constexpr int32_t kFormatSnippet = 2;

struct KeywordRow {
  std::string_view label;
  std::string_view detail;
  std::string_view snippet;
};

// Type words and literals.
struct WordRow {
  std::string_view label;
  std::string_view detail;
};

struct FunctionRow {
  std::string_view label;
  std::string_view alias;  // empty: none
  std::string_view detail;
  std::array<std::string_view, 3> parameters;  // unused trailing ones are empty
};

struct ConstantRow {
  std::string_view label;
  std::string_view detail;
  std::string_view value;  // fixed text, not computed
};

// Group 1, Turkish keywords.
constexpr std::array<KeywordRow, 11> kTurkishKeywords = {{
    {"eğer", "if statement", "eğer ${1:koşul} ise\n  ${2}\nson"},
    {"iken", "while loop", "iken ${1:koşul}\n  ${2}\nson"},
    {"her biri", "for loop", "her biri ${1:item} içinde ${2:list}\n  ${3}\nson"},
    {"fonksiyon", "function", "fonksiyon ${1:isim}(${2:parametreler})\n  ${3}\nson"},
    {"değişken", "variable", "değişken ${1:isim} = ${2:değer}"},
    {"sabit", "constant", "sabit ${1:isim} = ${2:değer}"},
    {"dön", "return", "dön ${1:değer}"},
    {"dene", "try-catch", "dene\n  ${1}\nyakala ${2:hata}\n  ${3}\nson"},
    {"yapı", "struct", "yapı ${1:İsim}\n  ${2:alan}: ${3:tür}\nson"},
    {"bölge", "region", "bölge ${1:isim}\n  ${2}\nson"},
    {"modül", "module", "modül ${1:isim}\n  ${2}\nson"},
}};

// Group 2, English keywords.
constexpr std::array<KeywordRow, 11> kEnglishKeywords = {{
    {"if", "if statement", "if ${1:condition} then\n  ${2}\nend"},
    {"while", "while loop", "while ${1:condition}\n  ${2}\nend"},
    {"for", "for loop", "for ${1:item} in ${2:list}\n  ${3}\nend"},
    {"function", "function", "function ${1:name}(${2:params})\n  ${3}\nend"},
    {"let", "variable", "let ${1:name} = ${2:value}"},
    {"const", "constant", "const ${1:name} = ${2:value}"},
    {"return", "return", "return ${1:value}"},
    {"try", "try-catch", "try\n  ${1}\ncatch ${2:error}\n  ${3}\nend"},
    {"struct", "struct", "struct ${1:Name}\n  ${2:field}: ${3:type}\nend"},
    {"region", "region", "region ${1:name}\n  ${2}\nend"},
    {"module", "module", "module ${1:name}\n  ${2}\nend"},
}};

// Group 3, Turkish type words.
constexpr std::array<WordRow, 6> kTurkishTypes = {{
    {"tamsayı", "i32 integer"},
    {"ondalık", "f64 floating point"},
    {"bool", "boolean (doğru/yanlış)"},
    {"metin", "string"},
    {"dizi", "array"},
    {"boş", "null/void"},
}};

// Group 4, sized and English type words.
constexpr std::array<WordRow, 13> kSizedAndEnglishTypes = {{
    {"i8", "8-bit signed integer"},
    {"i16", "16-bit signed integer"},
    {"i32", "32-bit signed integer"},
    {"i64", "64-bit signed integer"},
    {"u8", "8-bit unsigned integer"},
    {"u16", "16-bit unsigned integer"},
    {"u32", "32-bit unsigned integer"},
    {"u64", "64-bit unsigned integer"},
    {"f32", "32-bit float"},
    {"f64", "64-bit float"},
    {"bool", "boolean (true/false)"},
    {"string", "string"},
    {"array", "array"},
}};

// Group 5, boolean literals.
constexpr std::array<WordRow, 4> kBooleanLiterals = {{
    {"doğru", "true"},
    {"yanlış", "false"},
    {"true", "true"},
    {"false", "false"},
}};

// Group 6, basic mathematics.
constexpr std::array<FunctionRow, 14> kBasicMathematics = {{
    {"abs", "mutlak", "Mutlak değer / Absolute value", {"x"}},
    {"sin", {}, "Sinüs (radyan)", {"x"}},
    {"cos", {}, "Kosinüs (radyan)", {"x"}},
    {"tan", {}, "Tanjant (radyan)", {"x"}},
    {"sqrt", "karekök", "Karekök / Square root", {"x"}},
    {"pow", "üs", "Üs alma / Power", {"x", "y"}},
    {"log", {}, "Doğal logaritma", {"x"}},
    {"log10", {}, "10 tabanında logaritma", {"x"}},
    {"exp", {}, "e^x üstel fonksiyon", {"x"}},
    {"floor", "taban", "Aşağı yuvarlama", {"x"}},
    {"ceil", "tavan", "Yukarı yuvarlama", {"x"}},
    {"round", "yuvarla", "En yakın tamsayıya yuvarlama", {"x"}},
    {"min", {}, "Minimum değer", {"a", "b"}},
    {"max", {}, "Maksimum değer", {"a", "b"}},
}};

// Group 7, further mathematics.
constexpr std::array<FunctionRow, 27> kFurtherMathematics = {{
    {"asin", {}, "Ters sinüs (arcsin)", {"x"}},
    {"acos", {}, "Ters kosinüs (arccos)", {"x"}},
    {"atan", {}, "Ters tanjant (arctan)", {"x"}},
    {"atan2", {}, "atan2(y, x) - İki argümanlı arctangent", {"y", "x"}},
    {"sinh", {}, "Hiperbolik sinüs", {"x"}},
    {"cosh", {}, "Hiperbolik kosinüs", {"x"}},
    {"tanh", {}, "Hiperbolik tanjant", {"x"}},
    {"asinh", {}, "Ters hiperbolik sinüs", {"x"}},
    {"acosh", {}, "Ters hiperbolik kosinüs", {"x"}},
    {"atanh", {}, "Ters hiperbolik tanjant", {"x"}},
    {"log2", {}, "2 tabanında logaritma", {"x"}},
    {"log1p", {}, "ln(1+x) - küçük x için hassas", {"x"}},
    {"exp2", {}, "2^x", {"x"}},
    {"expm1", {}, "e^x - 1 - küçük x için hassas", {"x"}},
    {"cbrt", {}, "Küp kök / Cube root", {"x"}},
    {"hypot", {}, "√(x² + y²) - Hipotenüs", {"x", "y"}},
    {"sign", "işaret", "İşaret (-1, 0, 1)", {"x"}},
    {"clamp", "sınırla", "Değeri aralıkla sınırla", {"x", "min", "max"}},
    {"lerp", {}, "Lineer interpolasyon", {"a", "b", "t"}},
    {"copysign", {}, "x'e y'nin işaretini ata", {"x", "y"}},
    {"trunc", {}, "Ondalık kısmı at", {"x"}},
    {"fmod", {}, "Kayan nokta modulo", {"x", "y"}},
    {"to_radians", "radyana", "Dereceyi radyana çevir", {"degrees"}},
    {"to_degrees", "dereceye", "Radyanı dereceye çevir", {"radians"}},
    {"is_nan", {}, "NaN kontrolü", {"x"}},
    {"is_infinite", {}, "Sonsuzluk kontrolü", {"x"}},
    {"is_finite", {}, "Sonlu sayı kontrolü", {"x"}},
}};

// Group 8, time.
constexpr std::array<FunctionRow, 5> kTime = {{
    {"now", "şimdi", "Unix timestamp (saniye)", {}},
    {"now_millis", "şimdi_ms", "Milisaniye cinsinden zaman", {}},
    {"now_micros", "şimdi_us", "Mikrosaniye cinsinden zaman", {}},
    {"sleep", "bekle", "Milisaniye bekle", {"ms"}},
    {"sleep_micros", "bekle_us", "Mikrosaniye bekle", {"us"}},
}};

// Group 9, random numbers.
constexpr std::array<FunctionRow, 5> kRandomNumbers = {{
    {"random", "rastgele", "0-1 arası rastgele sayı", {}},
    {"random_int", "rastgele_sayı", "Aralıkta rastgele tamsayı", {"min", "max"}},
    {"uniform", {}, "Düzgün dağılımlı rastgele sayı", {"min", "max"}},
    {"choice", "seç", "Diziden rastgele eleman seç", {"array"}},
    {"shuffle", "karıştır", "Diziyi karıştır", {"array"}},
}};

// Group 10, text.
constexpr std::array<FunctionRow, 18> kText = {{
    {"trim", "kırp", "Baş ve sondaki boşlukları kaldır", {"str"}},
    {"trim_start", "kırp_baş", "Baştaki boşlukları kaldır", {"str"}},
    {"trim_end", "kırp_son", "Sondaki boşlukları kaldır", {"str"}},
    {"replace", "değiştir", "Metinde değiştir", {"str", "pattern", "replacement"}},
    {"starts_with", "ile_başlar", "Başlangıç kontrolü", {"str", "prefix"}},
    {"ends_with", "ile_biter", "Bitiş kontrolü", {"str", "suffix"}},
    {"repeat", "tekrarla", "Metni tekrarla", {"str", "count"}},
    {"reverse_str", "ters_metin", "Metni ters çevir", {"str"}},
    {"char_at", "karakter", "İndeksteki karakter", {"str", "index"}},
    {"substr", "altmetin", "Alt string al", {"str", "start", "end"}},
    {"index_of", "konum", "Desenin konumu", {"str", "pattern"}},
    {"count_occurrences", "sayaç", "Tekrar sayısı", {"str", "pattern"}},
    {"is_empty", "boşmu", "Boş mu kontrolü", {"str"}},
    {"len", "uzunluk", "Uzunluk", {"value"}},
    {"split", "böl", "Metni böl", {"str", "delimiter"}},
    {"join", "birleştir", "Diziyi birleştir", {"array", "separator"}},
    {"to_upper", "büyük_harf", "Büyük harfe çevir", {"str"}},
    {"to_lower", "küçük_harf", "Küçük harfe çevir", {"str"}},
}};

// Group 11, arrays.
constexpr std::array<FunctionRow, 18> kArrays = {{
    {"range", "aralık", "Sayı dizisi oluştur", {"start", "end"}},
    {"reverse", "ters", "Diziyi ters çevir", {"array"}},
    {"sort", "sırala", "Diziyi sırala", {"array"}},
    {"sum", "toplam", "Dizi toplamı", {"array"}},
    {"product", "çarpım", "Dizi çarpımı", {"array"}},
    {"avg", "ortalama", "Dizi ortalaması", {"array"}},
    {"flatten", "düzleştir", "İç içe dizileri düzleştir", {"array"}},
    {"unique", "benzersiz", "Tekrarları kaldır", {"array"}},
    {"zip", {}, "İki diziyi birleştir", {"array1", "array2"}},
    {"enumerate", "numarala", "İndeksle birleştir", {"array"}},
    {"slice", "dilim", "Dizi dilimi al", {"array", "start", "end"}},
    {"push", "ekle", "Diziye eleman ekle", {"array", "value"}},
    {"pop", "çıkar", "Son elemanı çıkar", {"array"}},
    {"first", "ilk", "İlk eleman", {"array"}},
    {"last", "son", "Son eleman", {"array"}},
    {"contains", "içerir", "Eleman kontrolü", {"array", "value"}},
    {"map", "dönüştür", "Her elemana fonksiyon uygula", {"array", "func"}},
    {"filter", "filtrele", "Elemanları filtrele", {"array", "predicate"}},
}};

// Group 12, input and output.
constexpr std::array<FunctionRow, 5> kInputOutput = {{
    {"yazdır", "print", "Konsola yazdır", {"value"}},
    {"print", {}, "Print to console", {"value"}},
    {"println", {}, "Print with newline", {"value"}},
    {"oku", "read", "Konsoldan oku", {}},
    {"read", {}, "Read from console", {}},
}};

// Group 13, constants.
constexpr std::array<ConstantRow, 3> kConstants = {{
    {"pi", "π = 3.14159...", "3.141592653589793"},
    {"e", "Euler sabiti = 2.71828...", "2.718281828459045"},
    {"tau", "τ = 2π = 6.28318...", "6.283185307179586"},
}};

MarkupContent markdown(std::string value) { return MarkupContent{"markdown", std::move(value)}; }

// "label(${1:p1}, ${2:p2})", or "label()" without parameters.
std::string function_snippet(const FunctionRow& row) {
  std::string snippet(row.label);
  snippet += '(';
  for (std::size_t i = 0; i < row.parameters.size() && !row.parameters[i].empty(); ++i) {
    if (i > 0) snippet += ", ";
    snippet += "${";
    snippet += std::to_string(i + 1);
    snippet += ':';
    snippet += row.parameters[i];
    snippet += '}';
  }
  snippet += ')';
  return snippet;
}

template <class Row, std::size_t N, class Build>
void append_group(std::vector<CompletionItem>& items, const std::array<Row, N>& rows, Build build) {
  for (const Row& row : rows) items.push_back(build(row));
}

}  // namespace

CompletionItem keyword_completion_item(std::string_view label, std::string_view detail, std::string_view snippet) {
  CompletionItem item;
  item.label = label;
  item.kind = kKindKeyword;
  item.detail = std::string(detail);
  item.insert_text = std::string(snippet);
  item.insert_text_format = kFormatSnippet;
  return item;
}

CompletionItem type_completion_item(std::string_view label, std::string_view detail) {
  CompletionItem item;
  item.label = label;
  item.kind = kKindClass;
  item.detail = std::string(detail);
  item.documentation = markdown("**Tür**: `" + std::string(label) + "`\n\n" + std::string(detail));
  return item;
}

CompletionItem value_completion_item(std::string_view label, std::string_view detail) {
  CompletionItem item;
  item.label = label;
  item.kind = kKindValue;
  item.detail = std::string(detail);
  return item;
}

CompletionItem function_completion_item(std::string_view label, std::string_view alias, std::string_view detail,
                                        std::string_view snippet) {
  std::string doc = "**" + std::string(label) + "**";
  if (!alias.empty()) doc += " / **" + std::string(alias) + "**";
  doc += "\n\n";
  doc += detail;

  CompletionItem item;
  item.label = label;
  item.kind = kKindFunction;
  item.detail = std::string(detail);
  item.documentation = markdown(std::move(doc));
  item.insert_text = std::string(snippet);
  item.insert_text_format = kFormatSnippet;
  return item;
}

CompletionItem constant_completion_item(std::string_view label, std::string_view detail, std::string_view value) {
  CompletionItem item;
  item.label = label;
  item.kind = kKindConstant;
  item.detail = std::string(detail);
  item.documentation =
      markdown("**Sabit**: `" + std::string(label) + "`\n\nDeğer: `" + std::string(value) + "`");
  return item;
}

std::vector<CompletionItem> completion_items(CompletionParams) {
  const auto keyword = [](const KeywordRow& row) {
    return keyword_completion_item(row.label, row.detail, row.snippet);
  };
  const auto type = [](const WordRow& row) { return type_completion_item(row.label, row.detail); };
  const auto value = [](const WordRow& row) { return value_completion_item(row.label, row.detail); };
  const auto function = [](const FunctionRow& row) {
    return function_completion_item(row.label, row.alias, row.detail, function_snippet(row));
  };
  const auto constant = [](const ConstantRow& row) {
    return constant_completion_item(row.label, row.detail, row.value);
  };

  std::vector<CompletionItem> items;
  items.reserve(140);
  append_group(items, kTurkishKeywords, keyword);
  append_group(items, kEnglishKeywords, keyword);
  append_group(items, kTurkishTypes, type);
  append_group(items, kSizedAndEnglishTypes, type);
  append_group(items, kBooleanLiterals, value);
  append_group(items, kBasicMathematics, function);
  append_group(items, kFurtherMathematics, function);
  append_group(items, kTime, function);
  append_group(items, kRandomNumbers, function);
  append_group(items, kText, function);
  append_group(items, kArrays, function);
  append_group(items, kInputOutput, function);
  append_group(items, kConstants, constant);
  return items;
}

std::string_view completion_catalogue() {
  // Written once: the catalogue never changes, and rebuilding 140 items on
  // every keystroke would cost far more than copying one text.
  static const std::string text = [] {
    json::Writer out;
    out.begin_array();
    for (const CompletionItem& item : completion_items(CompletionParams{})) write(out, item);
    out.end_array();
    return out.text();
  }();
  return text;
}

HandlerResult handle_completion(Params params, const ServerState&, json::Writer& out) {
  auto decoded = decode_params<CompletionParams>(std::move(params), "Invalid completion params");
  if (!decoded.ok()) return std::move(decoded.error());
  out.raw(completion_catalogue());
  return {};
}

}  // namespace zevo::lsp

#include "lsp/symbols.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>

#include "json/json.hpp"
#include "lsp/record_text.hpp"
#include "text/lines.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

std::string_view skip_chars(std::string_view text, std::size_t n) {
  return text.substr(text::char_index_to_byte(text, n));
}

std::optional<std::size_t> char_index_of(std::string_view text, char32_t c) {
  // An ASCII byte is always a character of its own, even in malformed text.
  if (c < 0x80) {
    const std::size_t at = text.find(static_cast<char>(c));
    if (at == std::string_view::npos) return std::nullopt;
    return text::char_count(text.substr(0, at));
  }
  std::size_t index = 0;
  for (std::size_t i = 0; i < text.size(); ++index) {
    if (text::decode_utf8(text, i) == c) return index;
  }
  return std::nullopt;
}

std::string_view substring_chars(std::string_view text, std::size_t a, std::size_t b) {
  if (b <= a) return {};
  const std::string_view rest = skip_chars(text, a);
  return rest.substr(0, text::char_index_to_byte(rest, b - a));
}

namespace {

// Characters of `line` whose lower-case forms are the first `lowered`
// characters of its lower-cased text. Only "İ" grows (to "i" and U+0307), and
// counting the lower-cased text alone would shift every name after one.
std::size_t chars_before_lowered(std::string_view line, std::size_t lowered) {
  std::size_t count = 0;
  for (std::size_t i = 0; lowered > 0 && i < line.size(); ++count) {
    const char32_t c = text::decode_utf8(line, i);
    lowered -= (c == U'\u0130' && lowered >= 2) ? 2 : 1;
  }
  return count;
}

// Lines and columns of a document stay far below 2^32 (its size is bounded).
Range on_line(uint64_t line_number, uint64_t start, uint64_t end) {
  const auto line = static_cast<uint32_t>(line_number);
  return {{line, static_cast<uint32_t>(start)}, {line, static_cast<uint32_t>(end)}};
}

constexpr uint64_t kHighBits = 0x8080808080808080u;
constexpr uint64_t bytes_of(unsigned char b) { return 0x0101010101010101u * b; }

// Whether any of the eight bytes of `w` is below `n` (at most 0x80).
constexpr bool any_below(uint64_t w, unsigned char n) { return ((w - bytes_of(n)) & ~w & kHighBits) != 0; }

// How many bytes of `w` have their high bit set (the others none): a sum of
// ones by multiplication, since the baseline instruction set counts no bits.
constexpr std::size_t count_high_bits(uint64_t w) { return static_cast<std::size_t>(((w >> 7) * bytes_of(1)) >> 56); }

// What the scan needs of some bytes of well-formed text: their UTF-16 code
// units (one for each byte that begins a character, one more for each
// four-byte one) and whether the writer escapes one of them.
struct ByteCounts {
  std::size_t units = 0;
  bool special = false;
};

// Eight bytes at a time, the rest one by one: the texts are short.
ByteCounts count_bytes(std::string_view s) {
  ByteCounts counts;
  std::size_t i = 0;
  bool special = false;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    const uint64_t high = w & kHighBits;
    const uint64_t continuation = high & ~(w << 1);
    const uint64_t four_byte_lead = high & (w << 1) & (w << 2) & (w << 3);
    counts.units += 8 - count_high_bits(continuation) + count_high_bits(four_byte_lead);
    special = special || any_below(w, 0x20) || any_below(w ^ bytes_of('"'), 1) || any_below(w ^ bytes_of('\\'), 1);
  }
  for (; i < s.size(); ++i) {
    const auto byte = static_cast<unsigned char>(s[i]);
    counts.units += static_cast<std::size_t>((byte & 0xC0) != 0x80) + static_cast<std::size_t>(byte >= 0xF0);
    special |= (byte < 0x20) | (byte == '"') | (byte == '\\');
  }
  counts.special = special;
  return counts;
}

// Whether well-formed text has nothing that the writer escapes.
bool plain_bytes(std::string_view s) { return !count_bytes(s).special; }

// One line as the scan reads it: the line trimmed, its lower-cased text (the
// whole line, or only as much of the trimmed line as the declaration prefixes
// need when no function keyword can be in it) and that trimmed.
struct ScanLine {
  enum class Form : int8_t { unknown, well_formed, other };

  uint64_t number = 0;
  std::string_view line;
  std::string_view trimmed;
  std::string_view lowered;
  std::string_view lowered_trimmed;
  // Each offset of the lowered text is the same offset of the line's text
  // (the common case); otherwise offsets are carried over by counting
  // characters.
  bool same_offsets = false;
  // Found at the line's first symbol unless the whole text or the lowering
  // showed it.
  mutable Form form = Form::unknown;

  Form line_form() const {
    if (form == Form::unknown) form = text::utf8_error(line) ? Form::other : Form::well_formed;
    return form;
  }

  // The byte in `line` after `keyword`, found at `found` in `lowered`.
  std::size_t after_found(std::size_t found, std::string_view keyword) const {
    if (same_offsets) return found + keyword.size();
    const std::size_t k = chars_before_lowered(line, text::char_count(lowered.substr(0, found))) + text::char_count(keyword);
    return text::char_index_to_byte(line, k);
  }
  // The text after the keyword that `lowered_trimmed` begins with, its
  // leading white space removed.
  std::string_view after_keyword(std::string_view keyword) const {
    const std::size_t skip = same_offsets ? keyword.size() : text::char_index_to_byte(trimmed, text::char_count(keyword));
    return text::trim_start(trimmed.substr(skip));
  }
};

// One symbol as the scan finds it: views into the line, the detail in pieces
// that follow one another, so that nothing is copied before it is written.
struct SymbolView {
  // Left uninitialised beyond `detail_pieces`: a view is made for every symbol.
  struct Piece {
    const char* data;
    std::size_t size;
    std::string_view text() const { return {data, size}; }
  };

  std::string_view name;
  Piece detail[6];
  std::size_t detail_pieces = 0;
  uint64_t line = 0;
  uint64_t line_end = 0;  // the line's length in UTF-16 code units
  uint64_t name_start = 0;
  uint64_t name_end = 0;
  uint8_t kind = 0;
  bool well_formed = false;  // the line is well-formed UTF-8
  bool plain_line = false;   // the line holds nothing that the writer escapes

  void add_detail(std::string_view piece) { detail[detail_pieces++] = {piece.data(), piece.size()}; }
};

// The symbol named `name`, a view into the line.
SymbolView symbol_on_line(const ScanLine& scan, std::string_view name, uint8_t kind) {
  SymbolView view;
  view.name = name;
  view.line = scan.number;
  view.kind = kind;
  const std::string_view line = scan.line;
  const auto start = static_cast<std::size_t>(name.data() - line.data());
  if (scan.line_form() == ScanLine::Form::well_formed) {
    // The line in three parts, each byte looked at once.
    const ByteCounts before = count_bytes(line.substr(0, start));
    const ByteCounts in_name = count_bytes(name);
    const ByteCounts after = count_bytes(line.substr(start + name.size()));
    view.name_start = before.units;
    view.name_end = before.units + in_name.units;
    view.line_end = view.name_end + after.units;
    view.well_formed = true;
    view.plain_line = !(before.special || in_name.special || after.special);
  } else {
    view.name_start = text::byte_to_column(line, start);
    view.name_end = view.name_start + text::utf16_length(name);
    view.line_end = text::utf16_length(line);
  }
  return view;
}

SymbolRecord to_record(const SymbolView& view) {
  std::string detail;
  for (std::size_t i = 0; i < view.detail_pieces; ++i) detail.append(view.detail[i].text());
  return SymbolRecord{std::string(view.name), std::move(detail), on_line(view.line, 0, view.line_end),
                      on_line(view.line, view.name_start, view.name_end), view.kind};
}

// The text before the first `stop` (an ASCII character, so a byte search finds
// it whole), or nothing when there is none.
std::optional<std::string_view> before(std::string_view text, char stop) {
  const std::size_t at = text.find(stop);
  if (at == std::string_view::npos) return std::nullopt;
  return text.substr(0, at);
}

// The first of FUNCTION_KEYWORDS that `lowered` contains and where, or npos.
std::size_t find_function_keyword(std::string_view lowered, std::string_view& keyword) {
  for (std::string_view candidate : FUNCTION_KEYWORDS) {
    const std::size_t found = lowered.find(candidate);
    if (found != std::string_view::npos) {
      keyword = candidate;
      return found;
    }
  }
  return std::string_view::npos;
}

std::optional<SymbolView> function_symbol(const ScanLine& scan) {
  std::string_view keyword;
  const std::size_t found = find_function_keyword(scan.lowered, keyword);
  if (found == std::string_view::npos) return std::nullopt;

  const std::string_view rest = text::trim_start(scan.line.substr(scan.after_found(found, keyword)));
  const std::size_t open = rest.find('(');
  if (open == std::string_view::npos) return std::nullopt;
  const std::string_view name = text::trim(rest.substr(0, open));
  if (name.empty()) return std::nullopt;
  const std::size_t close = rest.find(')');
  if (close == std::string_view::npos) return std::nullopt;
  // Empty for "()" and when the ")" stands before the "(".
  const std::string_view parameters = close > open ? rest.substr(open + 1, close - open - 1) : std::string_view();

  // The selection starts at the name itself, however much white space (none
  // included) stands between it and the keyword.
  std::string_view return_type;
  const std::size_t arrow = rest.find("->");
  if (arrow != std::string_view::npos) {
    return_type = text::first_word(text::trim(rest.substr(arrow + 2)));
    if (return_type.empty()) return std::nullopt;
  }
  SymbolView view = symbol_on_line(scan, name, kSymbolFunction);
  view.add_detail(name);
  view.add_detail("(");
  view.add_detail(parameters);
  view.add_detail(")");
  if (arrow != std::string_view::npos) {
    view.add_detail(" -> ");
    view.add_detail(return_type);
  }
  return view;
}

template <std::size_t N>
const DeclarationPrefix* matching_prefix(const std::array<DeclarationPrefix, N>& table,
                                         std::string_view lowered_trimmed) {
  for (const auto& row : table) {
    if (lowered_trimmed.starts_with(row.prefix)) return &row;
  }
  return nullptr;
}

// The name before the first of `stops` that the text contains (tried in that
// order), else the text's first word.
std::string_view declared_symbol_name(std::string_view rest, std::string_view stops) {
  for (char stop : stops) {
    if (const auto head = before(rest, stop)) return text::trim(*head);
  }
  return text::first_word(rest);
}

std::optional<SymbolView> variable_symbol(const ScanLine& scan) {
  const DeclarationPrefix* row = matching_prefix(VARIABLE_PREFIXES, scan.lowered_trimmed);
  if (row == nullptr) return std::nullopt;
  const std::string_view rest = scan.after_keyword(row->keyword);
  // The ":" counts first even when an "=" stands before it.
  const std::string_view name = declared_symbol_name(rest, ":=");
  if (name.empty()) return std::nullopt;

  SymbolView view = symbol_on_line(scan, name, row->kind);
  view.add_detail(name);
  if (const std::size_t colon = rest.find(':'); colon != std::string_view::npos) {
    const std::string_view type_text = rest.substr(colon + 1);
    view.add_detail(": ");
    view.add_detail(text::trim(before(type_text, '=').value_or(type_text)));
  }
  return view;
}

std::optional<SymbolView> type_symbol(const ScanLine& scan) {
  const DeclarationPrefix* row = matching_prefix(TYPE_PREFIXES, scan.lowered_trimmed);
  if (row == nullptr) return std::nullopt;
  const std::string_view rest = scan.after_keyword(row->keyword);
  const std::string_view name = declared_symbol_name(rest, "={");
  if (name.empty()) return std::nullopt;
  SymbolView view = symbol_on_line(scan, name, row->kind);
  view.add_detail("struct ");
  view.add_detail(name);
  return view;
}

// Which lines need a closer look. Lower-casing maps each character to one
// character, but for "İ" ("i" and U+0307), and only "İ" and the Kelvin sign
// ("k") map something beyond ASCII to ASCII letters. So where the lowered line
// holds an ASCII pair of letters other than "i" and "k", the line holds that
// pair in one case or the other; the same holds for the first two characters
// of the trimmed lines, since no prefix has U+0307 after its "i". Other lines
// are not lower-cased at all.

// Pairs that each function keyword holds: "fo", "fu", "ev".
constexpr std::array<std::string_view, 3> kFunctionPairs = {"fo", "fu", "ev"};
static_assert(FUNCTION_KEYWORDS[0].find(kFunctionPairs[0]) != std::string_view::npos);
static_assert(FUNCTION_KEYWORDS[2].find(kFunctionPairs[1]) != std::string_view::npos);
static_assert(FUNCTION_KEYWORDS[1].find(kFunctionPairs[2]) != std::string_view::npos);

static_assert(std::endian::native == std::endian::little, "the first hit is the lowest byte of a block");

using Block = unsigned char __attribute__((vector_size(16)));

Block load_block(const char* p) {
  Block block;
  std::memcpy(&block, p, sizeof block);
  return block;
}

// Whether bytes `a`, `b`, or'ed with 0x20 (so letters of either case), are one of kFunctionPairs.
constexpr bool is_function_pair(unsigned char a, unsigned char b) {
  return (a == 'f' && (b == 'o' || b == 'u')) || (a == 'e' && b == 'v');
}

// Where the first of kFunctionPairs, of either case, begins at or after
// `from`; the text's size when none does.
std::size_t next_function_pair(std::string_view text, std::size_t from) {
  const char* const data = text.data();
  const std::size_t n = text.size();
  std::size_t i = from;
  for (; i + sizeof(Block) + 1 <= n; i += sizeof(Block)) {
    const Block a = load_block(data + i) | 0x20;
    const Block b = load_block(data + i + 1) | 0x20;
    const auto hits = ((a == 'f') & ((b == 'o') | (b == 'u'))) | ((a == 'e') & (b == 'v'));
    uint64_t half[2];
    std::memcpy(half, &hits, sizeof half);
    if (half[0] != 0) return i + static_cast<std::size_t>(std::countr_zero(half[0])) / 8;
    if (half[1] != 0) return i + 8 + static_cast<std::size_t>(std::countr_zero(half[1])) / 8;
  }
  for (; i + 1 < n; ++i) {
    if (is_function_pair(static_cast<unsigned char>(data[i] | 0x20), static_cast<unsigned char>(data[i + 1] | 0x20))) {
      return i;
    }
  }
  return n;
}

// The first two letters of every declaration prefix, and the bytes of the longest.
template <std::size_t N, std::size_t M>
constexpr std::array<std::string_view, N + M> first_pairs(const std::array<DeclarationPrefix, N>& a,
                                                           const std::array<DeclarationPrefix, M>& b) {
  std::array<std::string_view, N + M> pairs{};
  for (std::size_t i = 0; i < N; ++i) pairs[i] = a[i].prefix.substr(0, 2);
  for (std::size_t i = 0; i < M; ++i) pairs[N + i] = b[i].prefix.substr(0, 2);
  return pairs;
}
constexpr auto kPrefixPairs = first_pairs(VARIABLE_PREFIXES, TYPE_PREFIXES);
static_assert([] {
  for (std::string_view pair : kPrefixPairs) {
    for (char c : pair) {
      if (c < 'a' || c > 'z' || c == 'k') return false;
    }
  }
  return true;
}());
constexpr std::size_t kLongestPrefix = [] {
  std::size_t longest = 0;
  for (const auto& row : VARIABLE_PREFIXES) longest = std::max(longest, row.prefix.size());
  for (const auto& row : TYPE_PREFIXES) longest = std::max(longest, row.prefix.size());
  return longest;
}();

bool may_begin_declaration(std::string_view trimmed) {
  if (trimmed.size() < 2) return false;
  const auto a = static_cast<char>(trimmed[0] | 0x20);
  const auto b = static_cast<char>(trimmed[1] | 0x20);
  bool found = false;
  for (std::string_view pair : kPrefixPairs) found |= pair[0] == a && pair[1] == b;
  return found;
}

// Calls `visit` with each symbol in scan order.
template <class Visit>
void for_each_symbol(std::string_view text, Visit&& visit) {
  // Open documents are well-formed; a text that is not has each line with a
  // symbol looked at again.
  const ScanLine::Form form = text::utf8_error(text) ? ScanLine::Form::unknown : ScanLine::Form::well_formed;
  std::string lowered;  // its room serves every line
  std::size_t pair = 0;  // the next function pair at or after the line
  text::for_each_line(text, [&](std::size_t index, std::string_view line) {
    const std::string_view trimmed = text::trim(line);
    if (trimmed.starts_with("//") || trimmed.starts_with("/*")) return true;
    const auto start = static_cast<std::size_t>(line.data() - text.data());
    if (pair < start) pair = next_function_pair(text, start);
    const bool function = pair < start + line.size();
    if (!function && !may_begin_declaration(trimmed)) return true;

    ScanLine scan;
    scan.number = index;
    scan.line = line;
    scan.trimmed = trimmed;
    scan.form = form;
    if (!function) {
      // The prefixes need the lowered start alone, cut after a whole
      // character: where its characters keep their lengths, none of them
      // looks at what follows.
      std::size_t end = std::min(trimmed.size(), kLongestPrefix);
      while (end < trimmed.size() && text::is_continuation_byte(static_cast<unsigned char>(trimmed[end]))) ++end;
      scan.same_offsets = text::to_lower_same_offsets(trimmed.substr(0, end), lowered);
      if (scan.same_offsets) scan.lowered_trimmed = lowered;
    }
    if (!scan.same_offsets) {
      scan.same_offsets = text::to_lower_same_offsets(line, lowered);
      if (scan.same_offsets) {
        scan.form = ScanLine::Form::well_formed;
      } else {
        text::to_lower_into(line, lowered);
      }
      scan.lowered = lowered;
      // Lower-casing neither makes nor removes white space, so the trimmed
      // lower text is the lower text trimmed; where offsets stay it is cut at
      // the trimmed line's offsets.
      scan.lowered_trimmed =
          scan.same_offsets ? scan.lowered.substr(static_cast<std::size_t>(trimmed.data() - line.data()), trimmed.size())
                            : text::trim(scan.lowered);
      if (auto s = function_symbol(scan)) visit(*s);
    }
    if (auto s = variable_symbol(scan)) visit(*s);
    if (auto s = type_symbol(scan)) visit(*s);
    return true;
  });
}

char* put(char* p, std::string_view s) { return RecordText::put(p, s); }

// Lines and columns stay below 2^32, as in on_line.
char* put_number(char* p, uint64_t value) { return std::to_chars(p, p + 10, static_cast<uint32_t>(value)).ptr; }

// Writes each symbol as one piece of text where its texts need no escape,
// and member by member otherwise.
class SymbolWriter {
 public:
  explicit SymbolWriter(json::Writer& out) : out_(out) {}

  void operator()(const SymbolView& view) {
    if (plain(view)) {
      std::size_t texts = view.name.size();
      for (std::size_t i = 0; i < view.detail_pieces; ++i) texts += view.detail[i].text().size();
      char line[10];
      const std::string_view line_number(line, static_cast<std::size_t>(put_number(line, view.line) - line));
      record_.clear();
      record_.written(texts + kLiterals + 6 * 10, [&](char* p) {
        p = put(p, R"({"detail":")");
        for (std::size_t i = 0; i < view.detail_pieces; ++i) p = put(p, view.detail[i].text());
        p = put_number(put(p, R"(","kind":)"), view.kind);
        p = put(put(p, R"(,"name":")"), view.name);
        p = put_number(put(p, R"(","range":{"end":{"character":)"), view.line_end);
        p = put(put(p, R"(,"line":)"), line_number);
        p = put(put(p, R"(},"start":{"character":0,"line":)"), line_number);
        p = put_number(put(p, R"(}},"selectionRange":{"end":{"character":)"), view.name_end);
        p = put(put(p, R"(,"line":)"), line_number);
        p = put_number(put(p, R"(},"start":{"character":)"), view.name_start);
        p = put(put(put(p, R"(,"line":)"), line_number), "}}}");
        return p;
      });
      if (record_.write_to(out_)) return;
    }
    write(out_, to_record(view));
  }

 private:
  // The literal text of a record, numbers left out.
  static constexpr std::size_t kLiterals = 200;

  static bool plain(const SymbolView& view) {
    // The name and the pieces of the detail are the line's text or literals.
    if (view.plain_line) return true;
    // In a well-formed line only bytes are left to look at.
    const auto check = view.well_formed ? plain_bytes : RecordText::plain;
    for (std::size_t i = 0; i < view.detail_pieces; ++i) {
      if (!check(view.detail[i].text())) return false;
    }
    return check(view.name);
  }

  json::Writer& out_;
  RecordText record_;
};

}  // namespace

std::vector<SymbolRecord> document_symbols(std::string_view text) {
  std::vector<SymbolRecord> symbols;
  for_each_symbol(text, [&](const SymbolView& view) { symbols.push_back(to_record(view)); });
  return symbols;
}

void write(json::Writer& out, const SymbolRecord& symbol) {
  out.begin_object();
  out.key("detail");
  out.string(symbol.detail);
  out.key("kind");
  out.number(symbol.kind);
  out.key("name");
  out.string(symbol.name);
  out.key("range");
  write(out, symbol.range);
  out.key("selectionRange");
  write(out, symbol.selection_range);
  out.end_object();
}

HandlerResult handle_document_symbol(Params params, const DocumentsSnapshot& snapshot, json::Writer& out) {
  const nlohmann::json& raw = raw_params(params);
  const nlohmann::json& uri = json::get(json::get(raw, "textDocument"), "uri");
  const std::string* text = uri.is_string() ? snapshot.find(*uri.get_ptr<const std::string*>()) : nullptr;
  if (text == nullptr) {
    out.null();
    return {};
  }
  out.begin_array();
  SymbolWriter writer(out);
  for_each_symbol(*text, writer);
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

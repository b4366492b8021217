#include "lsp/semantic_tokens.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "json/json.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

uint32_t security_class_modifier(SecurityClass security) {
  switch (security) {
    case SecurityClass::none: return 0;
    case SecurityClass::public_: return 1u << 10;
    case SecurityClass::exportable: return 1u << 11;
    case SecurityClass::domestic_only: return 1u << 12;
    case SecurityClass::classified: return 1u << 13;
  }
  return 0;
}

namespace {

// The declaration keywords that the name scans test the line for, as bits of
// one set.
enum Keyword : unsigned {
  kFonksiyon = 1u << 0,
  kFunction = 1u << 1,
  kDegisken = 1u << 2,
  kLet = 1u << 3,
  kSabit = 1u << 4,
  kConst = 1u << 5,
  kYapi = 1u << 6,
  kStruct = 1u << 7,
  kTip = 1u << 8,
  kType = 1u << 9,
};

struct KeywordText {
  std::string_view spelling;
  unsigned bit;
};
constexpr KeywordText kFunctionKeywords[] = {{"fonksiyon", kFonksiyon}, {"function", kFunction}};
constexpr KeywordText kDeclaredNameKeywords[] = {{"değişken", kDegisken}, {"sabit", kSabit}, {"let", kLet}};
constexpr KeywordText kTypeKeywords[] = {{"yapı", kYapi}, {"struct", kStruct}, {"tip", kTip}, {"type", kType}};

constexpr std::string_view kDeclarationKeywords[] = {"fonksiyon", "function", "değişken", "let",  "sabit",
                                                     "const",     "yapı",     "struct",   "tip", "type"};

// The first two bytes of the declaration keywords, as a set of byte pairs.
constexpr std::array<uint64_t, 1024> kKeywordOpenings = [] {
  std::array<uint64_t, 1024> set{};
  for (std::string_view k : kDeclarationKeywords) {
    const unsigned pair = static_cast<unsigned char>(k[0]) << 8 | static_cast<unsigned char>(k[1]);
    set[pair >> 6] |= uint64_t{1} << (pair & 63);
  }
  return set;
}();

// Whether a declaration keyword may begin at byte `i` of `line`: room for the
// shortest, and its first two bytes. Inline, so that the call below is made
// only where one may.
inline bool may_open_keyword(std::string_view line, std::size_t i) {
  if (line.size() - i < 3) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const unsigned pair = bytes[i] << 8 | bytes[i + 1];
  return (kKeywordOpenings[pair >> 6] >> (pair & 63) & 1) != 0;
}

// The declaration keywords that begin at byte `i` of `line`, where one may.
unsigned keywords_opened_at(std::string_view line, std::size_t i) {
  unsigned found = 0;
  switch (line[i]) {
    case 'f':
      if (text::literal_at(line, i, "fonksiyon")) found |= kFonksiyon;
      if (text::literal_at(line, i, "function")) found |= kFunction;
      break;
    case 'd':
      if (text::literal_at(line, i, "değişken")) found |= kDegisken;
      break;
    case 'l':
      if (text::literal_at(line, i, "let")) found |= kLet;
      break;
    case 's':
      if (text::literal_at(line, i, "sabit")) found |= kSabit;
      if (text::literal_at(line, i, "struct")) found |= kStruct;
      break;
    case 'c':
      if (text::literal_at(line, i, "const")) found |= kConst;
      break;
    case 'y':
      if (text::literal_at(line, i, "yapı")) found |= kYapi;
      break;
    case 't':
      if (text::literal_at(line, i, "tip")) found |= kTip;
      if (text::literal_at(line, i, "type")) found |= kType;
      break;
    default: break;
  }
  return found;
}

// No declaration keyword ends with a start of itself, so two occurrences of
// one never overlap: the one after the first is where a search from the end
// of the first finds it.
constexpr bool keywords_never_overlap() {
  for (std::string_view k : kDeclarationKeywords) {
    for (std::size_t n = 1; n < k.size(); ++n) {
      if (k.substr(0, n) == k.substr(k.size() - n)) return false;
    }
  }
  return true;
}
static_assert(keywords_never_overlap());

constexpr std::size_t kKeywordBits = 10;

// Which declaration keywords a line contains (byte-wise, no word boundary),
// and where the first two occurrences of each begin: what searches for each
// would find, collected from the places in order.
struct KeywordPlaces {
  unsigned contained = 0;
  // Set for the keywords contained only: not cleared for each line.
  std::array<std::size_t, kKeywordBits> first;
  std::array<std::size_t, kKeywordBits> second;

  void add(unsigned found, std::size_t at) {
    for (; found != 0; found &= found - 1) {
      const auto k = static_cast<std::size_t>(std::countr_zero(found));
      const unsigned bit = 1u << k;
      if ((contained & bit) == 0) {
        contained |= bit;
        first[k] = at;
        second[k] = std::string_view::npos;
      } else if (second[k] == std::string_view::npos) {
        second[k] = at;
      }
    }
  }
};

// The keywords of the whole line, in one pass that stops only where a
// keyword's first two bytes stand.
KeywordPlaces keywords_contained(std::string_view line) {
  KeywordPlaces places;
  for (std::size_t i = 0; i + 3 <= line.size(); ++i) {
    if (may_open_keyword(line, i)) places.add(keywords_opened_at(line, i), i);
  }
  return places;
}

// The first bytes of the declaration keywords.
constexpr bool opens_keyword(char32_t c) {
  for (std::string_view k : kDeclarationKeywords) {
    if (c == static_cast<unsigned char>(k[0])) return true;
  }
  return false;
}

// An ASCII byte is a character of its own, so White_Space at an ASCII end of
// the text is trimmed here; the trims of the text layer take over at the first
// byte above ASCII.
std::string_view trimmed_start(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) {
    if (!text::is_white_space(static_cast<unsigned char>(s[i]))) return s.substr(i);
    ++i;
  }
  return text::trim_start(s.substr(i));
}
std::string_view trimmed_end(std::string_view s) {
  std::size_t end = s.size();
  while (end > 0 && static_cast<unsigned char>(s[end - 1]) < 0x80) {
    if (!text::is_white_space(static_cast<unsigned char>(s[end - 1]))) return s.substr(0, end);
    --end;
  }
  return text::trim_end(s.substr(0, end));
}

// The name between a keyword's first and second occurrences: trimmed, cut
// before the first of `stops`, trimmed again; empty unless it begins with a
// letter. A view into `line`.
std::string_view declared_name_after(std::string_view line, const KeywordText& keyword, const KeywordPlaces& places,
                                     std::string_view stops) {
  if ((places.contained & keyword.bit) == 0) return {};
  const auto k = static_cast<std::size_t>(std::countr_zero(keyword.bit));
  const std::size_t after = places.first[k] + keyword.spelling.size();
  const std::size_t second = places.second[k];
  // Trimming the end before the cut as well would change nothing: white
  // space at the end either falls behind the cut or is trimmed after it. So
  // the rest of the line is not walked back from its end.
  std::string_view segment =
      trimmed_start(line.substr(after, second == std::string_view::npos ? std::string_view::npos : second - after));
  // The stops are ASCII: a set of the bytes 0 to 63 and one of 64 to 127.
  uint64_t low = 0, high = 0;
  for (const char c : stops) (c < 64 ? low : high) |= uint64_t{1} << (c & 63);
  auto is_stop = [&](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 128 && ((byte < 64 ? low : high) >> (byte & 63) & 1) != 0;
  };
  const std::size_t stop = static_cast<std::size_t>(std::find_if(segment.begin(), segment.end(), is_stop) - segment.begin());
  segment = trimmed_end(trimmed_start(segment.substr(0, stop)));
  if (segment.empty()) return {};
  std::size_t i = 0;
  if (!text::is_alphabetic(text::decode_utf8(segment, i))) return {};
  return segment;
}

// declared_name with the line's keywords already known.
std::optional<std::string_view> declared_name_in(std::string_view line, const KeywordPlaces& places) {
  KeywordText keyword = {"const", kConst};
  for (const KeywordText& candidate : kDeclaredNameKeywords) {
    if ((places.contained & candidate.bit) != 0) {
      keyword = candidate;
      break;
    }
  }
  const std::string_view name = declared_name_after(line, keyword, places, ":=");
  if (name.empty()) return std::nullopt;
  return name;
}

// What the scans ask of a character, set on every byte of it; the marks of
// the ASCII characters that some scans look for let a line without them skip
// those scans.
enum CharClass : uint8_t {
  kIdentifier = 1,
  kNumeric = 2,
  kWhite = 4,
  kAtSign = 8,
  kQuote = 16,
  kSlash = 32,
  kOperatorByte = 64,
  kKeywordOpening = 128,  // the first byte of a declaration keyword
};

uint8_t class_of(char32_t c) {
  unsigned cls = (text::is_identifier_char(c) ? kIdentifier : 0) | (text::is_numeric(c) ? kNumeric : 0) |
                 (text::is_white_space(c) ? kWhite : 0);
  if (c == '@') cls |= kAtSign;
  if (c == '"') cls |= kQuote;
  if (c == '/') cls |= kSlash;
  if (opens_keyword(c)) cls |= kKeywordOpening;
  for (std::string_view op : SEMANTIC_OPERATORS) {
    if (c == static_cast<unsigned char>(op[0])) cls |= kOperatorByte;
  }
  return static_cast<uint8_t>(cls);
}

// The classes of the ASCII characters, asked once from the same functions.
const std::array<uint8_t, 128>& ascii_classes() {
  static const std::array<uint8_t, 128> table = [] {
    std::array<uint8_t, 128> t{};
    for (char32_t c = 0; c < 128; ++c) t[c] = class_of(c);
    return t;
  }();
  return table;
}

// The same few letters recur in a text (ğ, ü, ş, ı, ...), so the classes of
// the last characters above ASCII are kept by their low bits.
class NonAsciiClasses {
 public:
  uint8_t operator()(char32_t c) {
    Entry& e = entries_[c % entries_.size()];
    if (e.c != c) e = {c, class_of(c)};
    return e.cls;
  }

 private:
  struct Entry {
    char32_t c = 0;  // never above ASCII: an empty entry
    uint8_t cls = 0;
  };
  std::array<Entry, 256> entries_{};
};

// SEMANTIC_KEYWORDS by byte length, so that an identifier run is compared
// with the few spellings as long as itself.
constexpr std::size_t kLongestKeyword = 12;
struct KeywordsByLength {
  std::array<std::array<std::string_view, SEMANTIC_KEYWORDS.size()>, kLongestKeyword + 1> spellings{};
  std::array<std::size_t, kLongestKeyword + 1> counts{};
  // Per length, the first bytes its spellings begin with.
  std::array<std::array<uint64_t, 4>, kLongestKeyword + 1> openings{};
  constexpr KeywordsByLength() {
    for (std::string_view k : SEMANTIC_KEYWORDS) {
      spellings[k.size()][counts[k.size()]++] = k;
      const auto first = static_cast<unsigned char>(k[0]);
      openings[k.size()][first >> 6] |= uint64_t{1} << (first & 63);
    }
  }
  constexpr bool holds(std::string_view run) const {
    if (run.size() > kLongestKeyword) return false;
    const auto first = static_cast<unsigned char>(run[0]);
    if ((openings[run.size()][first >> 6] >> (first & 63) & 1) == 0) return false;
    const auto& same = spellings[run.size()];
    for (std::size_t i = 0; i < counts[run.size()]; ++i) {
      if (same[i][0] == run[0] && same[i] == run) return true;
    }
    return false;
  }
};
constexpr bool longest_keyword_fits() {
  for (std::string_view k : SEMANTIC_KEYWORDS) {
    if (k.size() > kLongestKeyword) return false;
  }
  return true;
}
static_assert(longest_keyword_fits());
constexpr KeywordsByLength kKeywordsByLength;

// The operators of two characters, in table order; each single character
// operator is the table's entry of its own byte.
constexpr std::size_t kPairOperators = 8;
constexpr bool pairs_come_first() {
  for (std::size_t i = 0; i < SEMANTIC_OPERATORS.size(); ++i) {
    if (SEMANTIC_OPERATORS[i].size() != (i < kPairOperators ? 2u : 1u)) return false;
  }
  return true;
}
static_assert(pairs_come_first());
constexpr std::array<bool, 256> kSingleOperators = [] {
  std::array<bool, 256> t{};
  for (std::size_t i = kPairOperators; i < SEMANTIC_OPERATORS.size(); ++i) {
    t[static_cast<unsigned char>(SEMANTIC_OPERATORS[i][0])] = true;
  }
  return t;
}();

// Below this many records a line is put in order by insertion; above it by
// std::stable_sort, which takes a buffer.
constexpr std::size_t kInsertionSorted = 64;

// Bit rows of a line of n bytes: bit i of word i / 64 stands for byte i. Bit n
// is set and the bits after it are clear, so that both searches below stop
// without a bound of their own; `from` is at most n.
using BitRow = const uint64_t*;
constexpr std::size_t row_words(std::size_t n) { return (n + 65) >> 6; }

// The first byte at or after `from` whose bit is set, or n.
std::size_t next_set(BitRow row, std::size_t from) {
  std::size_t word = from >> 6;
  uint64_t bits = row[word] & (~uint64_t{0} << (from & 63));
  while (bits == 0) bits = row[++word];
  return (word << 6) + static_cast<std::size_t>(std::countr_zero(bits));
}

// The first byte at or after `from` whose bit is clear, or `n`.
std::size_t next_clear(BitRow row, std::size_t from, std::size_t n) {
  std::size_t word = from >> 6;
  uint64_t bits = ~row[word] & (~uint64_t{0} << (from & 63));
  while (bits == 0) bits = ~row[++word];
  return std::min(n, (word << 6) + static_cast<std::size_t>(std::countr_zero(bits)));
}

// The low bit of each of the eight bytes of `w`, as eight bits in byte order.
constexpr uint64_t low_bits(uint64_t w) {
  return (w & 0x0101010101010101u) * 0x0102040810204080u >> 56;
}

// One line with, for every byte, the class of the character it belongs to,
// bit rows of the classes the walks step through, and, when the line is not
// all ASCII, the UTF-16 column where the character starts. Each scan walks
// the line once and appends its tokens in order of start; the buffers are
// kept from line to line.
class LineScan {
 public:
  // The tokens of one line, ordered by start; valid until the next call.
  const std::vector<SemanticTokenRecord>& run(uint32_t line_number, std::string_view line) {
    line_number_ = line_number;
    line_ = line;
    index_line();
    out_.clear();
    annotations();
    const KeywordPlaces places = keywords();
    first_keyword_name(kFunctionKeywords, places, "(", kTokenFunction);
    declared_names(places);
    first_keyword_name(kTypeKeywords, places, "={ ", kTokenStruct);
    strings();
    numbers();
    comment();
    operators();
    order();
    return out_;
  }

 private:
  // Through local pointers: a store of a byte may alias anything, and the
  // vectors' own fields would be read again after each one.
  void index_line() {
    const std::size_t n = line_.size();
    const auto* bytes = reinterpret_cast<const unsigned char*>(line_.data());
    const uint8_t* ascii = ascii_classes().data();
    // Eight bytes past the end classless, for the rows.
    classes_.resize(n + 8);
    uint8_t* classes = classes_.data();
    std::memset(classes + n, 0, 8);
    unsigned seen = 0;
    std::size_t i = 0;
    for (; i < n && bytes[i] < 0x80; ++i) {
      classes[i] = ascii[bytes[i]];
      seen |= classes[i];
    }
    ascii_ = i == n;
    if (!ascii_) {
      // Columns are byte offsets up to the first character above ASCII.
      columns_.resize(n + 1);
      uint32_t* columns = columns_.data();
      for (std::size_t b = 0; b < i; ++b) columns[b] = static_cast<uint32_t>(b);
      auto column = static_cast<uint32_t>(i);
      while (i < n) {
        if (bytes[i] < 0x80) {
          classes[i] = ascii[bytes[i]];
          seen |= classes[i];
          columns[i++] = column++;
          continue;
        }
        // Two-byte sequences (the Turkish letters) decoded here; the decoder
        // advances its own copy, so that `i` stays in a register.
        std::size_t next = i;
        char32_t c;
        if (bytes[i] >= 0xC2 && bytes[i] <= 0xDF && i + 1 < n && text::is_continuation_byte(bytes[i + 1])) {
          c = static_cast<char32_t>((bytes[i] & 0x1F) << 6 | (bytes[i + 1] & 0x3F));
          next = i + 2;
        } else {
          c = text::decode_utf8(line_, next);
        }
        const uint8_t cls = non_ascii_(c);
        seen |= cls;
        for (; i < next; ++i) {
          classes[i] = cls;
          columns[i] = column;
        }
        column += static_cast<uint32_t>(text::utf16_units(c));
      }
      columns[n] = column;
    }
    seen_ = seen;
    index_rows();
  }

  // The rows of the classes that the walks step through, eight class bytes
  // at a time.
  void index_rows() {
    const std::size_t n = line_.size();
    const std::size_t words = row_words(n);
    rows_.resize(words * kRows);
    const std::size_t groups = (n + 7) >> 3;
    const uint8_t* classes = classes_.data();
    uint64_t* rows = rows_.data();
    const uint64_t end_bit = uint64_t{1} << (n & 63);
    for (std::size_t word = 0; word < words; ++word) {
      const uint64_t end = word == n >> 6 ? end_bit : 0;
      uint64_t identifier = end, numeric = end, operators = end, openings = end;
      const std::size_t last = std::min(groups, (word + 1) << 3);
      for (std::size_t g = word << 3; g < last; ++g) {
        uint64_t w;
        std::memcpy(&w, classes + (g << 3), 8);
        const unsigned shift = static_cast<unsigned>(g & 7) << 3;
        identifier |= low_bits(w) << shift;
        numeric |= low_bits(w >> 1) << shift;
        operators |= low_bits(w >> 6) << shift;
        openings |= low_bits(w >> 7) << shift;
      }
      rows[word] = identifier;
      rows[words + word] = numeric;
      rows[2 * words + word] = operators;
      rows[3 * words + word] = openings;
    }
  }
  BitRow identifier_row() const { return rows_.data(); }
  BitRow numeric_row() const { return rows_.data() + row_words(line_.size()); }
  BitRow operator_row() const { return rows_.data() + 2 * row_words(line_.size()); }
  BitRow keyword_opening_row() const { return rows_.data() + 3 * row_words(line_.size()); }

  uint32_t column(std::size_t byte) const { return ascii_ ? static_cast<uint32_t>(byte) : columns_[byte]; }

  void emit(std::size_t begin, std::size_t end, uint32_t type, uint32_t modifiers) {
    const uint32_t first = column(begin);
    out_.push_back({line_number_, first, column(end) - first, type, modifiers});
  }
  void emit_name(std::string_view name, uint32_t type, uint32_t modifiers) {
    const auto begin = static_cast<std::size_t>(name.data() - line_.data());
    emit(begin, begin + name.size(), type, modifiers);
  }

  // Whether the character holding byte `p` may stand next to an annotation:
  // White_Space or one of `marks` (all ASCII, and an ASCII byte is always a
  // character of its own).
  bool bounds_annotation(std::size_t p, std::string_view marks) const {
    return (classes_[p] & kWhite) != 0 || marks.find(line_[p]) != std::string_view::npos;
  }

  // Every spelling begins with the only "@" it holds, so its matches never
  // overlap and each "@" is tried against every row; at most one row fits
  // at a place, since no spelling begins another.
  void annotations() {
    if ((seen_ & kAtSign) == 0) return;
    for (std::size_t p = line_.find('@'); p != std::string_view::npos; p = line_.find('@', p + 1)) {
      for (const AnnotationToken& row : ANNOTATION_TOKEN_TABLE) {
        // The byte after the "@" first: most rows differ there.
        if (line_.size() - p < row.spelling.size() || line_[p + 1] != row.spelling[1]) continue;
        if (!line_.substr(p).starts_with(row.spelling)) continue;
        const std::size_t end = p + row.spelling.size();
        if ((p == 0 || bounds_annotation(p - 1, "([,")) && (end == line_.size() || bounds_annotation(end, "()],"))) {
          emit(p, end, kTokenDecorator, security_class_modifier(row.security));
        }
      }
    }
  }

  // A keyword is bounded by non-identifier characters on both sides and made
  // of identifier characters itself, so its tokens are exactly the maximal
  // identifier runs that spell it: one walk over the runs finds what searching
  // for each keyword would, and at most one keyword starts at any place.
  // Which declaration keywords the line contains is found by a walk over the
  // bytes where one may begin.
  KeywordPlaces keywords() {
    const std::size_t n = line_.size();
    const BitRow row = identifier_row();
    for (std::size_t start = next_set(row, 0); start < n;) {
      const std::size_t end = next_clear(row, start, n);
      if (kKeywordsByLength.holds(line_.substr(start, end - start))) emit(start, end, kTokenKeyword, 0);
      start = next_set(row, end);
    }
    KeywordPlaces places;
    const BitRow openings = keyword_opening_row();
    for (std::size_t i = next_set(openings, 0); i < n; i = next_set(openings, i + 1)) {
      if (may_open_keyword(line_, i)) places.add(keywords_opened_at(line_, i), i);
    }
    return places;
  }

  // The name after the first of `keywords` that the line holds; a later
  // keyword is not tried when that one names nothing.
  void first_keyword_name(std::span<const KeywordText> keywords, const KeywordPlaces& places, std::string_view stops,
                          uint32_t type) {
    for (const KeywordText& keyword : keywords) {
      if ((places.contained & keyword.bit) == 0) continue;
      const std::string_view name = declared_name_after(line_, keyword, places, stops);
      if (!name.empty()) emit_name(name, type, kModifierDeclaration);
      return;
    }
  }

  void declared_names(const KeywordPlaces& places) {
    if ((places.contained & (kDegisken | kLet)) != 0) {
      if (const auto name = declared_name_in(line_, places)) emit_name(*name, kTokenVariable, kModifierDeclaration);
    }
    if ((places.contained & (kSabit | kConst)) != 0) {
      if (const auto name = declared_name_in(line_, places)) {
        emit_name(*name, kTokenVariable, kModifierDeclaration | kModifierReadonly);
      }
    }
  }

  // No escapes: every double quote opens or closes.
  void strings() {
    if ((seen_ & kQuote) == 0) return;
    std::size_t open = std::string_view::npos;
    for (std::size_t i = line_.find('"'); i != std::string_view::npos; i = line_.find('"', i + 1)) {
      if (open == std::string_view::npos) {
        open = i;
      } else {
        emit(open, i + 1, kTokenString, 0);
        open = std::string_view::npos;
      }
    }
  }

  // Every byte of a character has its class, so walking bytes finds the runs
  // that walking characters would: a run starts at its first numeric byte,
  // which begins a character, and ends at a byte that begins one.
  void numbers() {
    if ((seen_ & kNumeric) == 0) return;
    const std::size_t n = line_.size();
    const BitRow row = numeric_row();
    for (std::size_t i = next_set(row, 0); i < n;) {
      std::size_t end = next_clear(row, i + 1, n);
      while (end < n && line_[end] == '.') end = next_clear(row, end + 1, n);
      emit(i, end, kTokenNumber, 0);
      i = next_set(row, end);
    }
  }

  void comment() {
    if ((seen_ & kSlash) == 0) return;
    if (const std::size_t p = line_.find("//"); p != std::string_view::npos) {
      emit(p, line_.size(), kTokenComment, 0);
    }
  }

  // One walk for all operators: at each place the two-character operator
  // that starts there (at most one does) comes before the one-character
  // operator of the same byte, as in table order. A two-character match is
  // not taken inside the previous match of the same operator ("===" holds
  // one "==").
  void operators() {
    if ((seen_ & kOperatorByte) == 0) return;
    const std::size_t n = line_.size();
    const BitRow row = operator_row();
    std::array<std::size_t, kPairOperators> resume{};
    for (std::size_t p = next_set(row, 0); p < n; p = next_set(row, p + 1)) {
      const auto byte = static_cast<unsigned char>(line_[p]);
      if (p + 1 < n) {
        for (std::size_t k = 0; k < kPairOperators; ++k) {
          const std::string_view op = SEMANTIC_OPERATORS[k];
          if (op[0] == line_[p] && op[1] == line_[p + 1] && p >= resume[k]) {
            emit(p, p + 2, kTokenOperator, 0);
            resume[k] = p + 2;
            break;
          }
        }
      }
      if (kSingleOperators[byte]) emit(p, p + 1, kTokenOperator, 0);
    }
  }

  // Each scan's tokens are in order of start; a stable sort keeps the scans'
  // order where starts are equal.
  void order() {
    auto earlier = [](const SemanticTokenRecord& a, const SemanticTokenRecord& b) { return a.start < b.start; };
    if (out_.size() > kInsertionSorted) {
      std::stable_sort(out_.begin(), out_.end(), earlier);
      return;
    }
    for (std::size_t i = 1; i < out_.size(); ++i) {
      const SemanticTokenRecord r = out_[i];
      std::size_t j = i;
      for (; j > 0 && earlier(r, out_[j - 1]); --j) out_[j] = out_[j - 1];
      out_[j] = r;
    }
  }

  std::vector<SemanticTokenRecord> out_;
  uint32_t line_number_ = 0;
  std::string_view line_;
  bool ascii_ = true;
  unsigned seen_ = 0;  // the classes of the line's characters, together
  std::vector<uint8_t> classes_;
  // Rows of identifier, numeric, operator and keyword opening bytes, each
  // row_words(size) long.
  static constexpr std::size_t kRows = 4;
  std::vector<uint64_t> rows_;
  std::vector<uint32_t> columns_;
  NonAsciiClasses non_ascii_;
};

}  // namespace

std::optional<std::string_view> declared_name(std::string_view line) {
  return declared_name_in(line, keywords_contained(line));
}

namespace {

// Calls `visit` with the ordered tokens of each line in turn, so that the
// whole document's list never has to be held.
template <class Visit>
void for_each_line_tokens(std::string_view text, Visit&& visit) {
  LineScan scan;
  text::for_each_line(text, [&](std::size_t index, std::string_view line) {
    visit(scan.run(static_cast<uint32_t>(index), line));
    return true;
  });
}

// Each record relative to the one before it; the first relative to line 0, column 0.
class RelativeEncoder {
 public:
  // Writes the record's five values at `to`.
  void encode(const SemanticTokenRecord& r, uint32_t* to) {
    to[0] = r.line - line_;
    to[1] = r.line == line_ ? r.start - start_ : r.start;
    to[2] = r.length;
    to[3] = r.token_type;
    to[4] = r.modifiers;
    line_ = r.line;
    start_ = r.start;
  }

 private:
  uint32_t line_ = 0;
  uint32_t start_ = 0;
};

}  // namespace

std::vector<SemanticTokenRecord> semantic_token_records(std::string_view text) {
  std::vector<SemanticTokenRecord> records;
  for_each_line_tokens(text, [&](const std::vector<SemanticTokenRecord>& line) {
    records.insert(records.end(), line.begin(), line.end());
  });
  return records;
}

std::vector<uint32_t> encode_semantic_tokens(const std::vector<SemanticTokenRecord>& records) {
  std::vector<uint32_t> data;
  RelativeEncoder encoder;
  data.resize(records.size() * 5);
  for (std::size_t i = 0; i < records.size(); ++i) encoder.encode(records[i], &data[i * 5]);
  return data;
}

HandlerResult handle_semantic_tokens_full(Params params, const DocumentsSnapshot& snapshot, json::Writer& out) {
  const nlohmann::json& raw = raw_params(params);
  const nlohmann::json& uri = json::get(json::get(raw, "textDocument"), "uri");
  const std::string* text = uri.is_string() ? snapshot.find(*uri.get_ptr<const std::string*>()) : nullptr;
  out.begin_object();
  out.key("data");
  out.begin_array();
  if (text != nullptr) {
    RelativeEncoder encoder;
    // A line's values go to the writer together.
    std::vector<uint32_t> values;
    for_each_line_tokens(*text, [&](const std::vector<SemanticTokenRecord>& line) {
      values.resize(line.size() * 5);
      for (std::size_t i = 0; i < line.size(); ++i) encoder.encode(line[i], &values[i * 5]);
      out.numbers(values);
    });
  }
  out.end_array();
  out.end_object();
  return {};
}

}  // namespace zevo::lsp

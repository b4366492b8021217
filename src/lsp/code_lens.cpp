#include "lsp/code_lens.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "base/siphash.hpp"
#include "platform/platform.hpp"
#include "json/json.hpp"
#include "lsp/record_text.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;
constexpr std::size_t npos = std::string_view::npos;
using text::contains;

constexpr std::array<std::string_view, 3> kFunctionKeywords = {"fonksiyon", "function", "fn"};
// The first three name a function (the name ends at "("), the rest a value.
constexpr std::array<std::string_view, 7> kDeclarationKeywords = {"fonksiyon", "function", "fn", "değişken",
                                                                  "let",       "sabit",    "const"};
constexpr std::size_t kFunctionDeclarations = 3;
// The declaration keywords a line holds, as bits in the order above.
using KeywordBits = uint8_t;
// A line with one of these may be the declaration that a count leaves out: all but "fn".
constexpr KeywordBits kSkippableKeywords = 0b1111011;
constexpr std::array<std::string_view, 6> kProgramMarkers = {"fonksiyon ana(", "function main(", "fn main(",
                                                             "fonksiyon ana ", "function main ", "fn main "};
constexpr std::array<std::string_view, 4> kBenchmarkMarkers = {"benchmark", "karşılaştırma", "#[bench]", "@bench"};

// text::trim_start, trim_end, trim and first_word with the ASCII characters
// taken by the byte; the text's own walk by characters goes on from the first
// byte beyond ASCII. Lines, names and their ends are mostly ASCII.
constexpr bool ascii_blank(char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }
constexpr bool beyond_ascii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

std::string_view trim_start(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && ascii_blank(s[i])) ++i;
  s.remove_prefix(i);
  return !s.empty() && beyond_ascii(s.front()) ? text::trim_start(s) : s;
}

std::string_view trim_end(std::string_view s) {
  std::size_t end = s.size();
  while (end > 0 && ascii_blank(s[end - 1])) --end;
  s = s.substr(0, end);
  return !s.empty() && beyond_ascii(s.back()) ? text::trim_end(s) : s;
}

std::string_view trim(std::string_view s) { return trim_end(trim_start(s)); }

std::string_view first_word(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && !beyond_ascii(s[i]) && !ascii_blank(s[i])) ++i;
  if (i == s.size() || !beyond_ascii(s[i])) return s.substr(0, i);
  return s.substr(0, i + text::first_word(s.substr(i)).size());
}

template <std::size_t N>
bool contains_any(std::string_view s, const std::array<std::string_view, N>& needles) {
  for (std::string_view needle : needles) {
    if (contains(s, needle)) return true;
  }
  return false;
}

bool contains_followed_by_blank(std::string_view s, std::string_view keyword) {
  for (std::size_t at = s.find(keyword); at != npos; at = s.find(keyword, at + 1)) {
    const std::size_t after = at + keyword.size();
    if (after < s.size() && s[after] == ' ') return true;
  }
  return false;
}

// The word after a value keyword: up to the first white space, ":" or "=".
std::optional<std::string_view> value_name_after(std::string_view t, std::string_view keyword) {
  const std::size_t at = t.find(keyword);
  if (at == npos) return std::nullopt;
  // ":" and "=" are ASCII: a byte search cannot find them inside another character.
  const std::string_view word = first_word(trim_start(t.substr(at + keyword.size())));
  const std::string_view name = word.substr(0, word.find_first_of(":="));
  if (name.empty()) return std::nullopt;
  return name;
}

// Calls `visit(name)` with the names a line declares, in keyword order, which
// the reference lens tries one after another, until `visit` returns false. A
// keyword without a name ends the list. The names are views into the line, so
// the scan holds no copy of them.
template <class Visit>
void for_each_declared_name(std::string_view t, KeywordBits keywords, Visit&& visit) {
  for (std::size_t k = 0; k < kDeclarationKeywords.size(); ++k) {
    const std::string_view keyword = kDeclarationKeywords[k];
    if ((keywords >> k & 1) == 0) continue;
    auto name = k < kFunctionDeclarations ? function_name_after(t, keyword) : value_name_after(t, keyword);
    if (!name || !visit(*name)) return;
  }
}

// Whether two texts are the same; most are runs of a few bytes, compared
// here in two loads each rather than a call.
inline bool same_text(std::string_view a, std::string_view b) {
  const std::size_t n = a.size();
  if (n != b.size()) return false;
  const auto load = [](const char* p, auto word) {
    std::memcpy(&word, p, sizeof word);
    return word;
  };
  const char* x = a.data();
  const char* y = b.data();
  if (n >= 8 && n <= 16) {
    return load(x, uint64_t{}) == load(y, uint64_t{}) && load(x + n - 8, uint64_t{}) == load(y + n - 8, uint64_t{});
  }
  if (n >= 4 && n < 8) {
    return load(x, uint32_t{}) == load(y, uint32_t{}) && load(x + n - 4, uint32_t{}) == load(y + n - 4, uint32_t{});
  }
  if (n < 4) return n == 0 || (x[0] == y[0] && x[n / 2] == y[n / 2] && x[n - 1] == y[n - 1]);
  return std::memcmp(x, y, n) == 0;
}

// Counts and places of lines stay below 2^32: a document is at most a message long.
constexpr uint32_t kNone = UINT32_MAX;

// The declared names and their counts, in the order they are first
// declared, behind open addressing over small slots, since every identifier
// run of the document may be looked up. A name is its place in the document
// and its size; a slot holds the name's number and the top 32 bits of its
// hash, which also place it, so that a probe seldom compares text and the
// table grows without hashing again. A name keeps its number, so the lens
// lines keep the number of their first name and the search numbers its
// patterns by it. The hash is a cheap one with random keys; the names come
// from the client, so once they are all in, a table where some run of taken
// slots is long (which a client could force only by knowing the keys) is
// rebuilt under the keyed SipHash, and no lookup walks far.
class NameCounts {
 public:
  struct Name {
    uint32_t offset;
    uint32_t size;
    uint32_t count;
  };

  // The keys are drawn once for the process: a request asks the system for
  // nothing.
  explicit NameCounts(std::string_view text) : text_(text), slots_(16), shift_(64 - 4) {
    static const std::array<uint64_t, 2> keys = [] {
      std::array<uint64_t, 2> drawn = {0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL};
      platform::random_bytes(drawn.data(), sizeof drawn);  // on failure the fixed keys stay
      return drawn;
    }();
    k0_ = keys[0];
    k1_ = keys[1];
  }

  bool empty() const { return names_.empty(); }
  std::size_t size() const { return names_.size(); }
  // The number of the name, which is added unless it is in.
  uint32_t add(std::string_view name) {
    if ((names_.size() + 1) * 2 > slots_.size()) grow();
    const uint64_t hash = hash_of(name);
    const std::size_t mask = slots_.size() - 1;
    const uint32_t wanted = tag(hash);
    std::size_t steps = 0;
    std::size_t i = hash >> shift_;
    for (;; i = (i + 1) & mask, ++steps) {
      const Slot slot = slots_[i];
      if (slot.name == kNone) break;
      if (slot.tag == wanted && same(names_[slot.name], name)) return slot.name;
    }
    const auto number = static_cast<uint32_t>(names_.size());
    slots_[i] = Slot{wanted, number};
    names_.push_back({static_cast<uint32_t>(name.data() - text_.data()), static_cast<uint32_t>(name.size()), 0});
    if (steps > kLongestCluster && !keyed_) rekey();
    return number;
  }
  // Called once every name is in.
  void seal() {
    if (!keyed_ && longest_cluster() > kLongestCluster) rekey();
  }
  // The number of a name, or kNone; with the name's `hash_of`, which `fetch`
  // may have asked the memory for ahead.
  uint32_t number_of(std::string_view name) const { return number_of(name, hash_of(name)); }
  uint32_t number_of(std::string_view name, uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const uint32_t wanted = tag(hash);
    for (std::size_t i = hash >> shift_;; i = (i + 1) & mask) {
      const Slot slot = slots_[i];
      if (slot.name == kNone || (slot.tag == wanted && same(names_[slot.name], name))) return slot.name;
    }
  }
  uint64_t hash_of(std::string_view s) const {
    if (keyed_) return siphash13(k0_, k1_, s);
    const char* p = s.data();
    std::size_t n = s.size();
    uint64_t h = k0_ ^ (n * 0x9E3779B97F4A7C15ULL);
    for (; n >= 8; n -= 8, p += 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      h = mix(h ^ word, k1_ ^ 0xA0761D6478BD642FULL);
    }
    uint64_t last = 0;
    for (std::size_t i = 0; i < n; ++i) last |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    return mix(mix(h ^ last, k1_ ^ 0xE7037ED1A0B428DBULL), 0x8EBC6AF09C88C6E3ULL);
  }
  void fetch(uint64_t hash) const { __builtin_prefetch(&slots_[hash >> shift_]); }
  Name& operator[](uint32_t number) { return names_[number]; }
  const Name& operator[](uint32_t number) const { return names_[number]; }
  std::string_view text_of(const Name& name) const { return text_.substr(name.offset, name.size); }
  // The names in the order of their numbers.
  const std::vector<Name>& names() const { return names_; }

 private:
  struct Slot {
    uint32_t tag = 0;
    uint32_t name = kNone;  // kNone in a free slot
  };
  // Beyond any that random hashing of a half-full table gives.
  static constexpr std::size_t kLongestCluster = 128;

  static uint32_t tag(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }
  // A run at the name's own place is the name; others are compared.
  bool same(const Name& known, std::string_view name) const {
    if (known.size != name.size()) return false;
    const char* at = text_.data() + known.offset;
    return at == name.data() || std::memcmp(at, name.data(), name.size()) == 0;
  }

  static uint64_t mix(uint64_t a, uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
  }

  // Puts a slot of a name not in the table where its tag places it.
  void place(const Slot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = (uint64_t{slot.tag} << 32) >> shift_;
    while (slots_[i].name != kNone) i = (i + 1) & mask;
    slots_[i] = slot;
  }
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    --shift_;
    for (const Slot& slot : old) {
      if (slot.name != kNone) place(slot);
    }
  }
  void rekey() {
    keyed_ = true;
    std::vector<Slot> old(slots_.size());
    old.swap(slots_);
    for (Slot& slot : old) {
      if (slot.name == kNone) continue;
      slot.tag = tag(hash_of(text_of(names_[slot.name])));
      place(slot);
    }
  }
  std::size_t longest_cluster() const {
    // From a free slot, so that no run is cut at the start; runs across the end go on at the start.
    const std::size_t mask = slots_.size() - 1;
    std::size_t start = 0;
    while (slots_[start].name != kNone) ++start;
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t k = 1; k <= slots_.size(); ++k) {
      if (slots_[(start + k) & mask].name == kNone) {
        longest = std::max(longest, run);
        run = 0;
      } else {
        ++run;
      }
    }
    return longest;
  }

  std::string_view text_;    // the document, which holds every name
  std::vector<Name> names_;  // by number
  std::vector<Slot> slots_;  // a power of two, at most half used
  unsigned shift_;           // 64 less the bits of the slot count
  uint64_t k0_ = 0;
  uint64_t k1_ = 0;
  bool keyed_ = false;
};

// The bytes the line walk stops at: the first bytes of the keywords, and the
// "#" and "@" that begin attribute lines.
constexpr auto kLineStops = [] {
  std::array<bool, 256> stops{};
  for (const unsigned char c : std::string_view("fdlsc#@")) stops[c] = true;
  return stops;
}();

// The declaration keywords the line contains, from one byte walk that looks
// further only at the bytes above, and whether it holds a "#" or "@". A line
// holds the same keywords as its trimmed text: keywords begin and end with
// ASCII letters, which are neither white space nor part of another character.
KeywordBits declaration_keywords(std::string_view t, bool& mark) {
  KeywordBits found = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (!kLineStops[static_cast<unsigned char>(t[i])]) continue;
    switch (t[i]) {
      case 'f':
        if (text::literal_at(t, i, "fn")) found |= 1u << 2;
        if (text::literal_at(t, i, "fonksiyon")) found |= 1u << 0;
        if (text::literal_at(t, i, "function")) found |= 1u << 1;
        break;
      case 'd':
        if (text::literal_at(t, i, "değişken")) found |= 1u << 3;
        break;
      case 'l':
        if (text::literal_at(t, i, "let")) found |= 1u << 4;
        break;
      case 's':
        if (text::literal_at(t, i, "sabit")) found |= 1u << 5;
        break;
      case 'c':
        if (text::literal_at(t, i, "const")) found |= 1u << 6;
        break;
      default:
        mark = true;
        break;
    }
  }
  return found;
}

// A line that can get a lens: every lens but the attribute forms of the test
// and benchmark lenses needs a function or declaration keyword, and those
// begin with "#" or "@". Other lines declare nothing either.
bool may_have_lens(std::string_view t, KeywordBits keywords) {
  return keywords != 0 || t.starts_with('#') || t.starts_with('@');
}

// A line that may have lenses: where its trimmed text stands. A document is
// at most a message long, so 32 bits hold its offsets and line numbers.
struct LensLine {
  uint32_t index;
  uint32_t offset;
  uint32_t size;
  uint32_t name;  // the number of the first name it declares, or kNone
  KeywordBits keywords;

  bool skippable() const { return (keywords & kSkippableKeywords) != 0; }  // a count may leave it out

  std::string_view trimmed(std::string_view text) const { return text.substr(offset, size); }
};

// The lines that may have lenses, in order, and every name they declare.
struct Scan {
  explicit Scan(std::string_view text) : counts(text) {}

  std::deque<LensLine> lines;  // in blocks: no copy as it grows
  NameCounts counts;
};

// A set of texts as bits of a cheap hash, some sixteen bits a name: a text
// whose bit is clear is in no set, so most identifier runs skip the hash and
// the probe of the name table.
class TextBits {
 public:
  explicit TextBits(std::size_t names) {
    std::size_t bits = std::size_t{1} << 12;
    while (bits < names * 16 && bits < (std::size_t{1} << 24)) bits *= 2;
    mask_ = bits - 1;
    bits_.resize(bits / 64);
  }
  void add(std::string_view s) { bits_[slot(s) >> 6] |= uint64_t{1} << (slot(s) & 63); }
  bool may_hold(std::string_view s) const { return (bits_[slot(s) >> 6] >> (slot(s) & 63) & 1) != 0; }
  // The text's place among the bits.
  std::size_t slot(std::string_view s) const {
    const auto byte = [&](std::size_t i) { return static_cast<uint64_t>(static_cast<unsigned char>(s[i])); };
    const uint64_t n = s.size();
    return static_cast<std::size_t>(
        (n * 0x9E3779B97F4A7C15ULL ^ byte(0) * 0x85EBCA77C2B2AE63ULL ^ byte(n / 2) * 0xC2B2AE3D27D4EB4FULL ^
         byte(n - 1) * 0x27D4EB2F165667C5ULL) >> 40 & mask_);
  }

 private:
  std::vector<uint64_t> bits_;
  std::size_t mask_;
};

// The skipped-line search of the last request, kept with its patterns: while
// a document is typed in, the names it uses seldom change, and building the
// search costs more than walking it. It holds no view into any document.
class KeptSearch {
 public:
  // The search for the names of the table, numbered as they are.
  const text::MultiPatternSearch& for_names(const NameCounts& counts) {
    if (!search_ || !same(counts)) {
      search_.reset();
      texts_.clear();
      ends_.clear();
      std::vector<std::string_view> names;
      names.reserve(counts.size());
      for (const NameCounts::Name& name : counts.names()) {
        names.push_back(counts.text_of(name));
        ends_.push_back(static_cast<uint32_t>(texts_.append(names.back()).size()));
      }
      search_.emplace(names);
    }
    return *search_;
  }

 private:
  bool same(const NameCounts& counts) const {
    if (counts.size() != ends_.size()) return false;
    std::size_t at = 0;
    for (std::size_t p = 0; p < ends_.size(); ++p) {
      const std::string_view kept = std::string_view(texts_).substr(at, ends_[p] - at);
      if (!same_text(kept, counts.text_of(counts.names()[p]))) return false;
      at = ends_[p];
    }
    return true;
  }

  std::string texts_;  // the patterns one after another
  // Where each ends in `texts_`: seven names a line at most, below 2^32 bytes.
  std::vector<uint32_t> ends_;
  std::optional<text::MultiPatternSearch> search_;
};

// Reference counts of every name the text declares, from one walk over the
// identifier runs of the text that also feeds one search for the skipped
// declaration lines. Beside the document the scan holds the counts and the
// places of the lines that may have lenses.
Scan scan_lines(std::string_view text) {
  Scan scan(text);
  NameCounts& counts = scan.counts;
  std::size_t shortest = SIZE_MAX;
  text::for_each_line(text, [&](std::size_t index, std::string_view line) {
    bool mark = false;
    const KeywordBits keywords = declaration_keywords(line, mark);
    if (keywords == 0 && !mark) return true;
    const std::string_view t = trim(line);
    if (!may_have_lens(t, keywords)) return true;
    LensLine& lens_line = scan.lines.emplace_back(LensLine{static_cast<uint32_t>(index),
                                                           static_cast<uint32_t>(t.data() - text.data()),
                                                           static_cast<uint32_t>(t.size()), kNone, keywords});
    for_each_declared_name(t, keywords, [&](std::string_view name) {
      const uint32_t number = counts.add(name);
      if (lens_line.name == kNone) lens_line.name = number;
      shortest = std::min(shortest, name.size());
      return true;
    });
    return true;
  });
  if (counts.empty()) return scan;
  counts.seal();

  // Every name is a pattern of the search for the first skippable line that
  // contains it (where a name occurs as a run, a line that contains it holds
  // it inside one of its runs, so the search is fed runs); a name that occurs
  // as no run keeps its count of 0 whatever the search finds.
  static KeptSearch kept;
  text::MultiPatternSearch::Walk search(kept.for_names(counts));
  TextBits bits(counts.size());
  for (const NameCounts::Name& name : counts.names()) bits.add(counts.text_of(name));

  // A run that is a name goes to the search as that pattern. Another run the
  // same as one fed before holds no pattern not already found, so the runs
  // that recur (keywords, types, parameters) are fed once: a small table,
  // placed by the filter's hash, remembers the last run of each place.
  constexpr std::size_t kRecent = 4096;
  std::vector<std::string_view> recent(kRecent);
  // One walk over the identifier runs of the whole text counts them and feeds
  // the search with those of the skippable lines, each numbered by its line's
  // place in the list. A name's count leaves out its runs on the line the
  // search finds first for it: the runs of a line come in order, so that line
  // is known by the time they are counted. Runs end at white space and line
  // breaks, which stand around every lens line's trimmed text, so the text is
  // walked in pieces: before each lens line, the line, and after the last.
  // The names are looked up a few runs behind the walk, in order, each asked
  // for when its run is met, so that the walk does not wait on the memory for
  // each.
  struct Pending {
    std::string_view run;
    uint64_t hash;
    uint32_t line;  // the place of the skippable line it is in, or kNone
    bool name;      // whether the filter lets it be a name
  };
  constexpr std::size_t kAhead = 8;
  std::array<Pending, kAhead> pending;
  std::size_t queued = 0;
  bool more = true;  // some pattern is not found yet
  const auto settle = [&](const Pending& p) {
    const uint32_t number = p.name ? counts.number_of(p.run, p.hash) : kNone;
    if (number != kNone) {
      if (p.line == kNone) {
        ++counts[number].count;
        return;
      }
      if (more) more = search.whole(p.line, number);
      if (search.first(number) != p.line) ++counts[number].count;
      return;
    }
    if (p.line == kNone || !more) return;
    std::string_view& seen = recent[bits.slot(p.run) & (kRecent - 1)];
    if (same_text(seen, p.run)) return;
    seen = p.run;
    more = search.feed(p.line, p.run);
  };
  const auto walk = [&](std::string_view piece, uint32_t line) {
    text::for_each_identifier_run(piece, [&](std::string_view run) {
      const bool name = bits.may_hold(run);
      if (!name && (line == kNone || !more || run.size() < shortest)) return;
      Pending& next = pending[queued++ % kAhead];
      if (queued > kAhead) settle(next);
      next = {run, name ? counts.hash_of(run) : 0, line, name};
      if (name) counts.fetch(next.hash);
    });
  };
  std::size_t from = 0;
  for (std::size_t i = 0; i < scan.lines.size(); ++i) {
    const LensLine& line = scan.lines[i];
    walk(text.substr(from, line.offset - from), kNone);
    walk(line.trimmed(text), line.skippable() ? static_cast<uint32_t>(i) : kNone);
    from = line.offset + line.size;
  }
  walk(text.substr(from), kNone);
  for (std::size_t k = queued > kAhead ? queued - kAhead : 0; k < queued; ++k) settle(pending[k % kAhead]);
  return scan;
}

enum class LensKind : uint8_t { kFunction, kTest, kProgram, kBenchmark, kReference };

// One lens as the scan finds it; its texts are views into the document.
struct LensView {
  uint32_t line;
  uint32_t end;  // the trimmed line's length in UTF-16 code units
  LensKind kind;
  std::string_view name;  // the last argument
  std::size_t count = 0;  // references, for a reference lens
};

struct LensTexts {
  std::string_view command;
  std::string_view title_head;  // before the quoted name; the whole title of a program lens
  bool quoted_name;
  bool with_uri;
};

constexpr LensTexts texts_of(LensKind kind) {
  switch (kind) {
    case LensKind::kFunction: return {"zevo.runFunction", "▶ Run '", true, true};
    case LensKind::kTest: return {"zevo.runTest", "▶ Run Test '", true, true};
    case LensKind::kProgram: return {"zevo.runFunction", "▶ Run Program", false, true};
    case LensKind::kBenchmark: return {"zevo.runBenchmark", "▶ Run Benchmark '", true, true};
    case LensKind::kReference: break;
  }
  return {"editor.action.showReferences", "", false, false};
}

CodeLens to_code_lens(const LensView& view, std::string_view uri) {
  const LensTexts texts = texts_of(view.kind);
  std::string title;
  if (view.kind == LensKind::kReference) {
    title = view.count == 1 ? "1 reference" : std::to_string(view.count) + " references";
  } else {
    title = texts.title_head;
    if (texts.quoted_name) title.append(view.name).append("'");
  }
  std::vector<json> arguments;
  arguments.reserve(2);
  if (texts.with_uri) arguments.emplace_back(uri);
  arguments.emplace_back(std::string(view.name));
  CodeLens lens;
  lens.range = {{view.line, 0}, {view.line, view.end}};
  lens.command = Command{std::move(title), std::string(texts.command), std::move(arguments)};
  return lens;
}

// Writes each lens as one piece of text where its texts need no escape,
// and through the record's own writer otherwise.
class LensWriter {
 public:
  LensWriter(zevo::json::Writer& out, std::string_view uri) : out_(out), uri_(uri), plain_uri_(RecordText::plain(uri)) {}

  void operator()(const LensView& view) {
    const LensTexts texts = texts_of(view.kind);
    if ((!texts.with_uri || plain_uri_) && RecordText::plain(view.name)) {
      record_.clear();
      // The fixed texts, a title, three numbers, the URI and twice the name.
      const std::size_t most = 320 + uri_.size() + 2 * view.name.size();
      record_.written(most, [&](char* p) {
        const auto put = [&p](std::string_view s) { p = RecordText::put(p, s); };
        const auto number = [&p](uint64_t value) { p = std::to_chars(p, p + 20, value).ptr; };
        put(R"({"command":{"arguments":[")");
        if (texts.with_uri) {
          put(uri_);
          put(R"(",")");
        }
        put(view.name);
        put(R"("],"command":")");
        put(texts.command);
        put(R"(","title":")");
        if (view.kind == LensKind::kReference) {
          number(view.count);
          put(view.count == 1 ? " reference" : " references");
        } else {
          put(texts.title_head);
          if (texts.quoted_name) {
            put(view.name);
            put("'");
          }
        }
        put(R"("},"range":{"end":{"character":)");
        number(view.end);
        put(R"(,"line":)");
        number(view.line);
        put(R"(},"start":{"character":0,"line":)");
        number(view.line);
        put("}}}");
        return p;
      });
      if (record_.write_to(out_)) return;
    }
    write(out_, to_code_lens(view, uri_));
  }

 private:
  zevo::json::Writer& out_;
  std::string_view uri_;
  bool plain_uri_;
  RecordText record_;
};

// Words of a line that the test, program and benchmark lenses look for,
// found in one walk that stops only at their first bytes.
enum LineWords : uint8_t { kTestWord = 1, kMainWord = 2, kBenchWord = 4 };

// The high bit of each byte of `word` that equals `c`, and no other bit.
constexpr uint64_t bytes_equal(uint64_t word, unsigned char c) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const uint64_t x = word ^ (c * 0x0101010101010101ULL);
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// "test", " ana" or " main", "bench": the line is read eight bytes at a time
// for the bytes they begin with, which only there are compared.
uint8_t line_words(std::string_view t) {
  uint8_t found = 0;
  const auto at = [&](std::size_t i) {
    switch (t[i]) {
      case 't':
        if (text::literal_at(t, i, "test")) found |= kTestWord;
        break;
      case ' ':
        if (text::literal_at(t, i, " ana") || text::literal_at(t, i, " main")) found |= kMainWord;
        break;
      default:
        if (text::literal_at(t, i, "bench")) found |= kBenchWord;
        break;
    }
  };
  std::size_t i = 0;
  for (; t.size() - i >= 8; i += 8) {
    uint64_t word;
    std::memcpy(&word, t.data() + i, 8);
    // Little-endian: the lowest set bit is the first byte that matches.
    for (uint64_t stops = bytes_equal(word, 't') | bytes_equal(word, ' ') | bytes_equal(word, 'b'); stops != 0;
         stops &= stops - 1) {
      at(i + static_cast<std::size_t>(__builtin_ctzll(stops)) / 8);
    }
  }
  for (; i < t.size(); ++i) {
    if (t[i] == 't' || t[i] == ' ' || t[i] == 'b') at(i);
  }
  return found;
}

// text::utf16_length with ASCII taken eight bytes at a time and two-byte
// sequences, which are always well-formed and one unit, without a decode:
// lens lines are ASCII or mostly Latin letters.
std::size_t utf16_length(std::string_view s) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  std::size_t units = 0;
  for (std::size_t i = 0; i < n;) {
    if (n - i >= 8) {
      uint64_t word;
      std::memcpy(&word, bytes + i, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        i += 8;
        units += 8;
        continue;
      }
    }
    const unsigned char b = bytes[i];
    if (b < 0x80) {
      ++i;
      ++units;
    } else if (b >= 0xC2 && b <= 0xDF && i + 1 < n && text::is_continuation_byte(bytes[i + 1])) {
      i += 2;
      ++units;
    } else {
      units += text::utf16_units(text::decode_utf8(s, i));
    }
  }
  return units;
}

template <class Visit>
void add_line_lenses(Visit& visit, const LensLine& lens_line, std::string_view text, const NameCounts& counts) {
  const uint32_t line = lens_line.index;
  const std::string_view t = lens_line.trimmed(text);
  const auto end = static_cast<uint32_t>(utf16_length(t));
  // The function keywords come first among the declaration keywords; a line
  // holds a keyword exactly when its bit is set.
  const auto has_keyword = [&](std::size_t k) { return (lens_line.keywords >> k & 1) != 0; };
  const bool has_function_keyword = has_keyword(0) || has_keyword(1) || has_keyword(2);
  // The name after each function keyword, found once for the line.
  std::array<std::optional<std::string_view>, kFunctionKeywords.size()> names;
  std::array<bool, kFunctionKeywords.size()> named{};
  // The scan found the name after the first keyword; a keyword without one
  // left the line without a name.
  if (const auto k = static_cast<std::size_t>(__builtin_ctz(lens_line.keywords | 0x80u));
      k < kFunctionKeywords.size()) {
    named[k] = true;
    if (lens_line.name != kNone) names[k] = counts.text_of(counts[lens_line.name]);
  }
  const auto name_after = [&](std::size_t k) {
    if (!named[k]) {
      named[k] = true;
      if (has_keyword(k)) names[k] = function_name_after(t, kFunctionKeywords[k]);
    }
    return names[k];
  };
  const auto first_function_name = [&]() -> std::optional<std::string_view> {
    for (std::size_t k = 0; k < kFunctionKeywords.size(); ++k) {
      if (auto name = name_after(k)) return name;
    }
    return std::nullopt;
  };

  for (std::size_t k = 0; k < kFunctionKeywords.size(); ++k) {
    const std::string_view keyword = kFunctionKeywords[k];
    if (!has_keyword(k) || (!t.starts_with(keyword) && !contains_followed_by_blank(t, keyword))) continue;
    if (auto name = name_after(k)) {
      visit(LensView{line, end, LensKind::kFunction, *name});
      break;
    }
  }

  const uint8_t words = has_function_keyword ? line_words(t) : 0;
  const bool test_attribute = t.starts_with("#[test]") || t.starts_with("@test");
  if (test_attribute || (words & kTestWord) != 0) {
    const std::string_view name = test_attribute ? "test" : first_function_name().value_or("test");
    visit(LensView{line, end, LensKind::kTest, name});
  }

  // Each program marker holds a function keyword, and " ana" or " main".
  if ((words & kMainWord) != 0 && contains_any(t, kProgramMarkers)) {
    visit(LensView{line, end, LensKind::kProgram, "main"});
  }

  const bool bench_attribute = t.starts_with("#[bench]") || t.starts_with("@bench");
  if ((bench_attribute || (words & kBenchWord) != 0) && contains_any(t, kBenchmarkMarkers)) {
    visit(LensView{line, end, LensKind::kBenchmark, first_function_name().value_or("benchmark")});
  }

  // The first declared name that some run counts; the scan kept the number
  // of the first, the others are looked up.
  if (lens_line.name == kNone) return;
  const NameCounts::Name& first = counts[lens_line.name];
  if (first.count != 0) {
    visit(LensView{line, end, LensKind::kReference, counts.text_of(first), first.count});
    return;
  }
  // The first keyword had a name: the others are tried from the second on.
  for_each_declared_name(t, lens_line.keywords & (lens_line.keywords - 1), [&](std::string_view name) {
    const uint32_t number = counts.number_of(name);
    const std::size_t count = number == kNone ? 0 : counts[number].count;
    if (count == 0) return true;
    visit(LensView{line, end, LensKind::kReference, name, count});
    return false;
  });
}

}  // namespace

std::optional<std::string_view> function_name_after(std::string_view line, std::string_view keyword) {
  const std::size_t at = line.find(keyword);
  if (at == npos) return std::nullopt;
  const std::string_view rest = trim_start(line.substr(at + keyword.size()));
  const std::size_t paren = rest.find('(');
  if (paren == npos) return std::nullopt;
  const std::string_view name = trim(rest.substr(0, paren));
  if (name.empty()) return std::nullopt;
  return name;
}

namespace {

// Calls `visit(LensView)` with every lens of the text in order.
template <class Visit>
void for_each_code_lens(std::string_view text, Visit&& visit) {
  const Scan scan = scan_lines(text);
  for (const LensLine& line : scan.lines) add_line_lenses(visit, line, text, scan.counts);
}

}  // namespace

std::vector<CodeLens> compute_code_lenses(std::string_view text, std::string_view uri) {
  std::vector<CodeLens> lenses;
  for_each_code_lens(text, [&](const LensView& view) { lenses.push_back(to_code_lens(view, uri)); });
  return lenses;
}

HandlerResult handle_code_lens(Params params, const DocumentsSnapshot& snapshot, zevo::json::Writer& out) {
  const json& uri = zevo::json::get(zevo::json::get(raw_params(params), "textDocument"), "uri");
  if (!uri.is_string()) return internal_error(std::string(kCodeLensError) + "Missing textDocument.uri");
  const std::string& uri_text = *uri.get_ptr<const std::string*>();
  const std::string* text = snapshot.find(uri_text);
  if (text == nullptr) return internal_error(std::string(kCodeLensError) + "Document not found");
  out.begin_array();
  LensWriter writer(out, uri_text);
  for_each_code_lens(*text, writer);
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

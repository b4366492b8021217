// Substring searches that stay linear in the text whatever the needle.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "text/lines.hpp"

namespace zevo::text {

// Byte offset of the first `needle` in `haystack` at or after `from`, or npos
// (an empty needle is found at `from`). std::string_view::find compares up to
// the needle's length at every candidate offset, which goes quadratic for a
// long needle among near misses (runs of "a" searched for a longer run), so
// long needles go to a Boyer-Moore search, which stays linear up to the first
// match.
std::size_t find_text(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Up to this length the comparisons at each candidate cost little, and
// string_view::find (memchr, then memcmp) is faster than building the
// Boyer-Moore tables.
inline constexpr std::size_t kShortNeedle = 32;

// Whether `word`, a literal, stands in `s` at byte `i` (at most its size):
// compared at its compile-time length, without a call.
template <std::size_t N>
bool literal_at(std::string_view s, std::size_t i, const char (&word)[N]) {
  return s.size() - i >= N - 1 && std::memcmp(s.data() + i, word, N - 1) == 0;
}

// Whether `needle` occurs in `haystack` (an empty needle always does). The
// features ask it of every line for several keywords, so a short needle is
// searched here, without a call.
inline bool contains(std::string_view haystack, std::string_view needle) {
  const std::size_t at = needle.size() <= kShortNeedle ? haystack.find(needle) : find_text(haystack, needle);
  return at != std::string_view::npos;
}

// Calls `visit(index, line)`, in line order, for exactly the lines of `text`
// (as split_lines counts them) that contain `needle`, which holds no line
// break. Lines without it are skipped by one search over the whole text, so
// a word that is rare costs little more than that search. Stops early when
// `visit` returns false.
template <class Visit>
void for_each_line_containing(std::string_view text, std::string_view needle, Visit&& visit) {
  if (needle.empty()) return;
  std::size_t line_start = 0;
  std::size_t index = 0;
  while (line_start < text.size()) {
    const std::size_t hit = find_text(text, needle, line_start);
    if (hit == std::string_view::npos) return;
    // The hit can be far on: the breaks before it are counted in blocks.
    const std::string_view before = text.substr(line_start, hit - line_start);
    if (const std::size_t last = before.rfind('\n'); last != std::string_view::npos) {
      index += count_newlines(before);
      line_start += last + 1;
    }
    const std::size_t nl = text.find('\n', hit);
    if (!visit(index, line_ending_at(text, line_start, nl))) return;
    if (nl == std::string_view::npos) return;
    line_start = nl + 1;
    ++index;
  }
}

// For each of many patterns, the number of the first piece of text that
// contains it. One pass over the pieces for all patterns at once: a
// multi-pattern automaton over bytes, so thousands of patterns cost no more
// than a few.
class MultiPatternSearch {
 public:
  explicit MultiPatternSearch(const std::vector<std::string_view>& patterns);

  // One pass over numbered pieces: for each pattern in the constructor's
  // order, the number of the first piece fed that contains it. Numbers never
  // decrease and stay below 2^32 - 1; a match never spans two pieces.
  class Walk {
   public:
    explicit Walk(const MultiPatternSearch& search) : search_(search), first_(search.pattern_count_, kNone) {}

    // Feeds piece `number`; false once every pattern is found, when no piece
    // can find more.
    bool feed(std::size_t number, std::string_view piece) {
      uint32_t state = 0;
      for (const char ch : piece) {
        state = search_.step(state, static_cast<unsigned char>(ch));
        report(number, state);
      }
      return !done();
    }
    // Feeds a piece that is exactly pattern `p`: what the walk over it finds
    // is what ends at the nodes of its path, which are visited from its last
    // node up rather than walked down to, since the trie's nodes lie far apart.
    bool whole(std::size_t number, std::size_t p) {
      if (first_[p] != kNone) return !done();
      if (search_.alone_[p]) {
        first_[p] = static_cast<uint32_t>(number);
        ++found_;
        return !done();
      }
      for (uint32_t node = search_.last_node_[p]; node != kNone; node = search_.nodes_[node].up) report(number, node);
      return !done();
    }
    // The number of the first piece fed that holds pattern `p`, or npos.
    std::size_t first(std::size_t p) const { return first_[p] == kNone ? std::string_view::npos : first_[p]; }
    bool done() const { return found_ == first_.size(); }

   private:
    // A pattern already seen had every shorter pattern ending inside it
    // reported with it, so the walk stops at the first one seen before.
    void report(std::size_t number, uint32_t state) {
      const std::vector<Node>& nodes = search_.nodes_;
      for (uint32_t o = nodes[state].output; o != kNone && first_[nodes[o].pattern] == kNone;
           o = nodes[nodes[o].fail].output) {
        first_[nodes[o].pattern] = static_cast<uint32_t>(number);
        ++found_;
      }
    }

    const MultiPatternSearch& search_;
    std::vector<uint32_t> first_;
    std::size_t found_ = 0;
  };

  // Whether pattern `p` holds no other pattern, so that the walk over a piece
  // that is exactly `p` finds `p` alone.
  bool alone(std::size_t p) const { return alone_[p]; }

 private:
  static constexpr uint32_t kNone = UINT32_MAX;

  struct Node {
    uint32_t first_child = kNone;
    uint32_t next_sibling = kNone;
    uint32_t fail = 0;
    uint32_t output = kNone;  // this node or the nearest one on its fail chain that ends a pattern
    uint32_t pattern = kNone;
    uint32_t up = kNone;  // the nearest node before this one on its path where some pattern ends
    unsigned char byte = 0;
    bool inside_match = false;  // some pattern ends at a node before this one on its path
  };

  uint32_t child(uint32_t node, unsigned char byte) const {
    if (node == 0) return root_next_[byte];
    for (uint32_t c = nodes_[node].first_child; c != kNone; c = nodes_[c].next_sibling) {
      if (nodes_[c].byte == byte) return c;
    }
    return kNone;
  }

  uint32_t step(uint32_t state, unsigned char byte) const {
    for (;;) {
      const uint32_t next = child(state, byte);
      if (next != kNone) return next;
      if (state == 0) return 0;
      state = nodes_[state].fail;
    }
  }

  uint32_t add_child(uint32_t node, unsigned char byte);
  void link();

  std::vector<Node> nodes_;
  std::vector<bool> alone_;
  std::vector<uint32_t> last_node_;  // per pattern, the node its path ends at
  std::array<uint32_t, 256> root_next_{};
  std::size_t pattern_count_ = 0;
};

}  // namespace zevo::text

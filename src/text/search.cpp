#include "text/search.hpp"

#include <algorithm>
#include <cstring>
#include <functional>

namespace zevo::text {

std::size_t find_text(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.size() <= kShortNeedle) return haystack.find(needle, from);
  if (from > haystack.size()) return std::string_view::npos;
  const auto hit = std::search(haystack.begin() + from, haystack.end(),
                               std::boyer_moore_searcher(needle.begin(), needle.end()));
  return hit == haystack.end() ? std::string_view::npos : static_cast<std::size_t>(hit - haystack.begin());
}

MultiPatternSearch::MultiPatternSearch(const std::vector<std::string_view>& patterns) {
  root_next_.fill(kNone);
  std::size_t bytes = 0;
  for (std::string_view pattern : patterns) bytes += pattern.size();
  nodes_.reserve(bytes + 1);
  nodes_.push_back(Node{});
  // In byte order, each pattern shares the path of its common prefix with the
  // one before it and adds children greater than any its nodes have, so the
  // trie grows without a search among children. A pattern given twice keeps
  // its later index, as when inserted in the given order.
  struct Entry {
    // The first sixteen bytes, big-endian, so that most comparisons end there.
    uint64_t head;
    uint64_t next;
    std::string_view pattern;
    uint32_t index;
  };
  const auto word = [](std::string_view s, std::size_t from) {
    uint64_t w = 0;
    for (std::size_t i = from; i < from + 8; ++i) w = w << 8 | (i < s.size() ? static_cast<unsigned char>(s[i]) : 0u);
    return w;
  };
  std::vector<Entry> order;
  order.reserve(patterns.size());
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    order.push_back({word(patterns[p], 0), word(patterns[p], 8), patterns[p], static_cast<uint32_t>(p)});
  }
  std::sort(order.begin(), order.end(), [](const Entry& a, const Entry& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    if (const int c = a.pattern.compare(b.pattern); c != 0) return c < 0;
    return a.index < b.index;
  });
  last_node_.resize(patterns.size());
  std::vector<uint32_t> path;  // path[d]: the node after d + 1 bytes of the pattern before
  std::string_view previous;
  for (const Entry& entry : order) {
    const std::string_view pattern = entry.pattern;
    const uint32_t index = entry.index;
    const std::size_t common = static_cast<std::size_t>(
        std::mismatch(pattern.begin(), pattern.end(), previous.begin(), previous.end()).first - pattern.begin());
    path.resize(common);
    uint32_t node = common == 0 ? 0 : path[common - 1];
    for (std::size_t d = common; d < pattern.size(); ++d) {
      node = add_child(node, static_cast<unsigned char>(pattern[d]));
      path.push_back(node);
    }
    nodes_[node].pattern = index;
    last_node_[index] = node;
    previous = pattern;
  }
  link();
  pattern_count_ = patterns.size();
  // A pattern is alone when nothing ends on its path but itself: no pattern
  // ends before its last node, and none on the fail chain after it.
  alone_.assign(patterns.size(), false);
  for (std::size_t n = 1; n < nodes_.size(); ++n) {
    const Node& node = nodes_[n];
    if (node.pattern != kNone && !node.inside_match && nodes_[node.fail].output == kNone) alone_[node.pattern] = true;
  }
}

uint32_t MultiPatternSearch::add_child(uint32_t node, unsigned char byte) {
  const auto added = static_cast<uint32_t>(nodes_.size());
  Node child;
  child.byte = byte;
  if (node == 0) {
    root_next_[byte] = added;
  } else {
    child.next_sibling = nodes_[node].first_child;
    nodes_[node].first_child = added;
  }
  nodes_.push_back(child);
  return added;
}

// Fail links in breadth-first order, so a node's fail target is always linked before it.
void MultiPatternSearch::link() {
  std::vector<uint32_t> queue;
  queue.reserve(nodes_.size());
  for (uint32_t c : root_next_) {
    if (c == kNone) continue;
    nodes_[c].fail = 0;
    nodes_[c].output = nodes_[c].pattern != kNone ? c : kNone;
    queue.push_back(c);
  }
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const uint32_t node = queue[head];
    const bool inside_match = nodes_[node].inside_match || nodes_[node].output != kNone;
    for (uint32_t c = nodes_[node].first_child; c != kNone; c = nodes_[c].next_sibling) {
      const uint32_t fail = step(nodes_[node].fail, nodes_[c].byte);
      nodes_[c].fail = fail;
      nodes_[c].output = nodes_[c].pattern != kNone ? c : nodes_[fail].output;
      nodes_[c].inside_match = inside_match;
      nodes_[c].up = nodes_[node].output != kNone ? node : nodes_[node].up;
      queue.push_back(c);
    }
  }
}

}  // namespace zevo::text

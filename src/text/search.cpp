#include "text/search.hpp"

#include <algorithm>
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
  nodes_.push_back(Node{});
  for (std::size_t p = 0; p < patterns.size(); ++p) insert(patterns[p], static_cast<uint32_t>(p));
  link();
  pattern_count_ = patterns.size();
}

void MultiPatternSearch::insert(std::string_view pattern, uint32_t index) {
  uint32_t node = 0;
  for (const char ch : pattern) {
    const auto byte = static_cast<unsigned char>(ch);
    uint32_t next = child(node, byte);
    if (next == kNone) {
      next = static_cast<uint32_t>(nodes_.size());
      Node added;
      added.byte = byte;
      if (node == 0) {
        root_next_[byte] = next;
      } else {
        added.next_sibling = nodes_[node].first_child;
        nodes_[node].first_child = next;
      }
      nodes_.push_back(added);
    }
    node = next;
  }
  nodes_[node].pattern = index;
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
    for (uint32_t c = nodes_[node].first_child; c != kNone; c = nodes_[c].next_sibling) {
      const uint32_t fail = step(nodes_[node].fail, nodes_[c].byte);
      nodes_[c].fail = fail;
      nodes_[c].output = nodes_[c].pattern != kNone ? c : nodes_[fail].output;
      queue.push_back(c);
    }
  }
}

}  // namespace zevo::text

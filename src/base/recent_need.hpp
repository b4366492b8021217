// The largest of the last few needs recorded: how much memory kept for reuse
// should cover, so that it follows what recent work used and lets go of a
// large need's share a few records after it is gone.
#pragma once

#include <algorithm>
#include <cstddef>

namespace zevo {

class RecentNeed {
 public:
  void record(std::size_t need) { recent_[next_++ % kCount] = need; }
  std::size_t largest() const { return *std::max_element(recent_, recent_ + kCount); }

 private:
  static constexpr std::size_t kCount = 8;
  std::size_t recent_[kCount] = {};
  std::size_t next_ = 0;
};

}  // namespace zevo

// Random texts built from the pieces that the line and column rules care
// about: CR LF, lone CR, LF, characters of one to four UTF-8 bytes.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zevo::testing {

class RandomText {
 public:
  explicit RandomText(uint32_t seed,
                      std::vector<std::string_view> pieces = {"a", "\xC3\xA9", "\xF0\x9F\x98\x80", "\r", "\n", "\r\n", "bc"})
      : random_(seed), pieces_(std::move(pieces)) {}

  // A number below `n`.
  uint32_t pick(uint32_t n) { return static_cast<uint32_t>(random_() % n); }

  // Up to `max_pieces` pieces.
  std::string text(uint32_t max_pieces) {
    std::string out;
    for (uint32_t n = pick(max_pieces + 1); n > 0; --n) out += pieces_[pick(static_cast<uint32_t>(pieces_.size()))];
    return out;
  }

 private:
  std::mt19937 random_;
  std::vector<std::string_view> pieces_;
};

}  // namespace zevo::testing

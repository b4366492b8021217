// Texts for the block-edge tests: lower-case letters with, now and then, one
// of the pieces that the string loops must stop at or carry through.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zevo::json {

class MixedText {
 public:
  MixedText(uint32_t seed, std::span<const std::string> pieces) : seed_(seed), pieces_(pieces) {}

  // At least `length` bytes (a piece may run past it).
  std::string next(int length) {
    std::string text;
    while (static_cast<int>(text.size()) < length) {
      if (random() % 7 == 0) {
        text += pieces_[random() % pieces_.size()];
      } else {
        text.push_back(static_cast<char>('a' + random() % 26));
      }
    }
    return text;
  }

 private:
  uint32_t random() {
    seed_ = seed_ * 1103515245 + 12345;
    return (seed_ >> 16) & 0x7FFF;
  }

  uint32_t seed_;
  std::span<const std::string> pieces_;
};

}  // namespace zevo::json

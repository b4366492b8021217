// SipHash-1-3 with random keys: hash maps keyed by client-chosen text cannot be
// driven into collisions by a client that does not know the keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace zevo {

inline uint64_t siphash13(uint64_t k0, uint64_t k1, std::string_view data) {
  auto rotl = [](uint64_t x, int b) { return (x << b) | (x >> (64 - b)); };
  uint64_t v0 = 0x736f6d6570736575ULL ^ k0;
  uint64_t v1 = 0x646f72616e646f6dULL ^ k1;
  uint64_t v2 = 0x6c7967656e657261ULL ^ k0;
  uint64_t v3 = 0x7465646279746573ULL ^ k1;
  auto round = [&] {
    v0 += v1; v1 = rotl(v1, 13); v1 ^= v0; v0 = rotl(v0, 32);
    v2 += v3; v3 = rotl(v3, 16); v3 ^= v2;
    v0 += v3; v3 = rotl(v3, 21); v3 ^= v0;
    v2 += v1; v1 = rotl(v1, 17); v1 ^= v2; v2 = rotl(v2, 32);
  };
  const std::size_t n = data.size();
  const char* p = data.data();
  const std::size_t whole = n & ~std::size_t{7};
  for (std::size_t i = 0; i < whole; i += 8) {
    uint64_t m;
    std::memcpy(&m, p + i, 8);  // little-endian host
    v3 ^= m;
    round();
    v0 ^= m;
  }
  uint64_t last = static_cast<uint64_t>(n) << 56;
  for (std::size_t i = 0; i < (n & 7); ++i) {
    last |= static_cast<uint64_t>(static_cast<unsigned char>(p[whole + i])) << (8 * i);
  }
  v3 ^= last;
  round();
  v0 ^= last;
  v2 ^= 0xff;
  round();
  round();
  round();
  return v0 ^ v1 ^ v2 ^ v3;
}

// A hash functor for text keys with its own random keys, drawn when it is made.
class KeyedTextHash {
 public:
  using is_transparent = void;

  KeyedTextHash() {
    uint64_t keys[2] = {0x0123456789abcdefULL, 0xfedcba9876543210ULL};
    platform::random_bytes(keys, sizeof keys);  // on failure the fixed keys stay
    k0_ = keys[0];
    k1_ = keys[1];
  }
  std::size_t operator()(std::string_view s) const { return siphash13(k0_, k1_, s); }
  std::size_t operator()(const std::string& s) const { return siphash13(k0_, k1_, s); }

 private:
  uint64_t k0_ = 0;
  uint64_t k1_ = 0;
};

}  // namespace zevo

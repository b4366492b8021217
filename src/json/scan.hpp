// Finding the next byte of a string body that needs attention, 16 bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zevo::json {

// Whether a byte ends a plain run inside a string: a quote, a backslash, a
// control character, and (when asked) any byte of a non-ASCII sequence.
inline bool is_string_special(unsigned char byte, bool stop_at_non_ascii) {
  return byte == '"' || byte == '\\' || byte < 0x20 || (stop_at_non_ascii && byte >= 0x80);
}

// The first special byte in [p, end), or `end`.
inline const char* find_string_special(const char* p, const char* end, bool stop_at_non_ascii) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i last_control = _mm_set1_epi8(0x1F);
  // Signed comparison with -1 picks out the bytes >= 0x80.
  const __m128i minus_one = _mm_set1_epi8(-1);
  while (end - p >= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, backslash));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(_mm_min_epu8(chunk, last_control), chunk));
    if (stop_at_non_ascii) hits = _mm_or_si128(hits, _mm_cmpgt_epi8(minus_one, chunk));
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && !is_string_special(static_cast<unsigned char>(*p), stop_at_non_ascii)) ++p;
  return p;
}

// Bytes handled at once by the block loops below.
inline constexpr std::size_t kBlock = 16;

// Bytes whose masks are taken at once by the wide loops.
inline constexpr std::ptrdiff_t kWide = 64;

#if defined(__SSE2__)
inline uint64_t bits_of(__m128i hits, int block) {
  return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits))) << (16 * block);
}
#endif

// One bit per byte of the kWide bytes at `p`: quotes, backslashes and control
// characters.
inline uint64_t string_special_bits(const char* p) {
  uint64_t bits = 0;
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i last_control = _mm_set1_epi8(0x1F);
  for (int block = 0; block < 4; ++block) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * block));
    __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, backslash));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(_mm_min_epu8(chunk, last_control), chunk));
    bits |= bits_of(hits, block);
  }
#else
  for (int i = 0; i < kWide; ++i) {
    if (is_string_special(static_cast<unsigned char>(p[i]), false)) bits |= uint64_t{1} << i;
  }
#endif
  return bits;
}

// One bit per backslash among the kWide bytes at `p`.
inline uint64_t backslash_bits(const char* p) {
  uint64_t bits = 0;
#if defined(__SSE2__)
  const __m128i backslash = _mm_set1_epi8('\\');
  for (int block = 0; block < 4; ++block) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * block));
    bits |= bits_of(_mm_cmpeq_epi8(chunk, backslash), block);
  }
#else
  for (int i = 0; i < kWide; ++i) {
    if (p[i] == '\\') bits |= uint64_t{1} << i;
  }
#endif
  return bits;
}

// Copies `n` bytes in whole blocks: reads and writes up to kBlock - 1 bytes
// past them, which the caller must own.
inline void copy_blocks(char* dst, const char* src, std::size_t n) {
  for (std::size_t i = 0; i < n; i += kBlock) std::memcpy(dst + i, src + i, kBlock);
}

// The closing quote of a string body that begins at `p`, skipping the byte
// after each backslash; nullptr when a control character or the end of the
// text comes first. `escaped` is set when the body holds a backslash.
inline const char* find_closing_quote(const char* p, const char* end, bool& escaped) {
  escaped = false;
  // Set when the last byte of the previous wide block was a backslash.
  bool skip_first = false;
  while (end - p >= kWide) {
    uint64_t bits = string_special_bits(p);
    if (skip_first) bits &= ~uint64_t{1};
    skip_first = false;
    while (bits != 0) {
      const int k = __builtin_ctzll(bits);
      if (p[k] == '"') return p + k;
      if (p[k] != '\\') return nullptr;
      escaped = true;
      if (k == kWide - 1) {
        skip_first = true;
        break;
      }
      bits &= ~(uint64_t{3} << k);
    }
    p += kWide;
  }
  if (skip_first) {
    if (p == end) return nullptr;
    ++p;
  }
  for (;;) {
    p = find_string_special(p, end, /*stop_at_non_ascii=*/false);
    if (p == end) return nullptr;
    if (*p == '"') return p;
    if (*p != '\\' || end - p < 2) return nullptr;
    escaped = true;
    p += 2;
  }
}

// Copies [src, stop) to `dst`, handing every marked byte to `handle(src, dst)`,
// which writes what it stands for and moves both past it (it may take in more
// than one byte, never past `stop`), or returns false to give up. `wide_bits`
// marks the bytes of a kWide block, `marked` one byte. Plain runs are copied
// in whole blocks, so `dst` needs kBlock - 1 bytes of room past the output;
// `readable_end` bounds the bytes that may be read past `stop`.
template <class WideBits, class Marked, class Handle>
bool copy_runs(const char*& src, const char* stop, const char* readable_end, char*& dst, WideBits wide_bits,
               Marked marked, Handle handle) {
  constexpr auto kOverread = static_cast<std::ptrdiff_t>(kBlock);
  while (stop - src >= kWide && readable_end - src >= kWide + kOverread) {
    const char* const block = src;
    uint64_t bits = wide_bits(block);
    for (;;) {
      const auto offset = static_cast<int>(src - block);
      if (offset >= kWide) break;
      bits &= ~uint64_t{0} << offset;
      const int next = bits == 0 ? static_cast<int>(kWide) : __builtin_ctzll(bits);
      copy_blocks(dst, src, static_cast<std::size_t>(next - offset));
      dst += next - offset;
      src = block + next;
      if (bits == 0) break;
      if (!handle(src, dst)) return false;
    }
  }
  while (src < stop) {
    if (marked(static_cast<unsigned char>(*src))) {
      if (!handle(src, dst)) return false;
    } else {
      *dst++ = *src++;
    }
  }
  return true;
}

}  // namespace zevo::json

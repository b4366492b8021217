// Finding the next byte of a string body that needs attention, 16 bytes at a time.
#pragma once

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

}  // namespace zevo::json

#include "text/lines.hpp"

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zevo::text {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for_each_line(text, [&](std::size_t, std::string_view line) {
    lines.push_back(line);
    return true;
  });
  return lines;
}

namespace {

#if defined(__SSE2__)
// The line feeds among the 64 bytes at `p`: each compare adds one to a byte
// of a sum, and the sixteen bytes are added at once. (std::popcount of the
// compare masks is a call where the target has no instruction for it.)
inline std::size_t newlines_in_block(const char* p, __m128i newline) {
  __m128i sums = _mm_setzero_si128();
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(v, newline));
  }
  const __m128i total = _mm_sad_epu8(sums, _mm_setzero_si128());
  return static_cast<std::size_t>(_mm_cvtsi128_si32(total) + _mm_extract_epi16(total, 4));
}
#endif

// Where the line after the `n`-th "\n" (n >= 1) begins, or npos when the
// text has fewer. A position can be far into a large document, and every
// request at one looks for its line, so the breaks are counted in blocks.
std::size_t after_newlines(std::string_view text, std::size_t n) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  for (; i + 64 <= text.size(); i += 64) {
    const std::size_t here = newlines_in_block(text.data() + i, newline);
    if (here < n) {
      n -= here;
      continue;
    }
    uint64_t bits = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 16 * k));
      bits |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, newline)))) << (16 * k);
    }
    for (; n > 1; --n) bits &= bits - 1;
    return i + static_cast<std::size_t>(std::countr_zero(bits)) + 1;
  }
#endif
  for (; i < text.size(); ++i) {
    if (text[i] == '\n' && --n == 0) return i + 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t count_newlines(std::string_view text) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  for (; i + 64 <= text.size(); i += 64) {
    count += newlines_in_block(text.data() + i, newline);
  }
#endif
  for (; i < text.size(); ++i) count += text[i] == '\n';
  return count;
}

bool nth_line(std::string_view text, std::size_t n, std::string_view& line) {
  const std::size_t start = n == 0 ? 0 : after_newlines(text, n);
  if (start >= text.size()) return false;  // npos too: fewer breaks than `n`
  line = line_ending_at(text, start, text.find('\n', start));
  return true;
}

}  // namespace zevo::text

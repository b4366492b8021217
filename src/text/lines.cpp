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

// Where the line after the `n`-th "\n" (n >= 1) begins, or npos when the
// text has fewer. A position can be far into a large document, and every
// request at one looks for its line, so the breaks are counted in blocks.
std::size_t after_newlines(std::string_view text, std::size_t n) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  for (; i + 64 <= text.size(); i += 64) {
    uint64_t bits = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 16 * k));
      bits |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, newline)))) << (16 * k);
    }
    const auto here = static_cast<std::size_t>(std::popcount(bits));
    if (here < n) {
      n -= here;
      continue;
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
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 16 * k));
      count += static_cast<std::size_t>(std::popcount(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, newline)))));
    }
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

#include "text/utf8.hpp"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zevo::text {

namespace {

// Whether the 8 bytes at `p` are all ASCII.
inline bool ascii8(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return (word & 0x8080808080808080ull) == 0;
}

// The byte at `k` (1 to 3) of a sequence led by `lead`.
inline bool fits(const Utf8Lead& lead, std::size_t k, unsigned char b) {
  return k == 1 ? b >= lead.second_low && b <= lead.second_high : is_continuation_byte(b);
}

std::string invalid(std::size_t length, std::size_t index) {
  return "invalid utf-8 sequence of " + std::to_string(length) + " bytes from index " + std::to_string(index);
}

std::string incomplete(std::size_t index) {
  return "incomplete utf-8 byte sequence from index " + std::to_string(index);
}

}  // namespace

char32_t decode_utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  const Utf8Lead lead = utf8_lead(b0);
  if (lead.length == 0 || i + lead.length > s.size()) {
    ++i;
    return kReplacement;
  }
  char32_t c = b0 & (0x7F >> lead.length);
  for (std::size_t k = 1; k < lead.length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (!fits(lead, k, b)) {
      ++i;
      return kReplacement;
    }
    c = (c << 6) | (b & 0x3F);
  }
  i += lead.length;
  return c;
}

namespace {

// Checks one sequence after another from `i`, which starts one, until `i`
// reaches `until` (a sequence that begins before it is read whole): the error
// text of the first ill-formed one, or nothing.
std::optional<std::string> check_sequences(const unsigned char* s, std::size_t n, std::size_t& i,
                                           std::size_t until) {
  while (i < until) {
    if (s[i] < 0x80) {
      // Long ASCII runs are the common case: skip them a word pair at a time.
      while (i + 16 <= until && ascii8(s + i) && ascii8(s + i + 8)) i += 16;
      while (i < until && s[i] < 0x80) ++i;
      continue;
    }
    const Utf8Lead lead = utf8_lead(s[i]);
    if (lead.length == 0) return invalid(1, i);
    // Each following byte: missing means the sequence could still complete,
    // out of range means the valid prefix ends before it.
    for (std::size_t k = 1; k < lead.length; ++k) {
      if (i + k >= n) return incomplete(i);
      if (!fits(lead, k, s[i + k])) return invalid(k, i);
    }
    i += lead.length;
  }
  return std::nullopt;
}

#if defined(__SSE2__)

constexpr std::size_t kBlock = 64;

inline uint64_t mask_bits(__m128i hits, int chunk) {
  return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits))) << (16 * chunk);
}

inline __m128i bytes_of(unsigned byte) { return _mm_set1_epi8(static_cast<char>(byte)); }

// Bytes in [low, high] (both from 0x80 on): signed comparisons, where those
// bytes are negative and ASCII is positive.
inline __m128i between(__m128i v, unsigned low, unsigned high) {
  return _mm_and_si128(_mm_cmpgt_epi8(v, bytes_of(low - 1)), _mm_cmplt_epi8(v, bytes_of(high + 1)));
}

// Whether the kBlock bytes at `p` are all ASCII.
inline bool ascii_block(const unsigned char* p) {
  const auto* v = reinterpret_cast<const __m128i*>(p);
  const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                                   _mm_or_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
  return _mm_movemask_epi8(any) == 0;
}

// The continuation bytes that the sequences begun in a block still owe the
// next one (bits 0 to 2), and how far before the block's end the last of them began.
struct Owed {
  uint64_t bits = 0;
  std::size_t back = 0;
};

// One bit per byte of the kBlock bytes at `p`: the classes that ASCII and
// two-byte sequences (Latin letters, the Turkish ones among them) need.
struct CommonClasses {
  uint64_t high = 0;   // 0x80 and above
  uint64_t cont = 0;   // continuation bytes, 0x80 to 0xBF
  uint64_t lead2 = 0;  // 0xC2 to 0xDF
};

inline CommonClasses classify_common(const unsigned char* p) {
  CommonClasses c;
  for (int chunk = 0; chunk < 4; ++chunk) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + chunk);
    c.high |= mask_bits(v, chunk);
    c.cont |= mask_bits(_mm_cmplt_epi8(v, bytes_of(0xC0)), chunk);
    c.lead2 |= mask_bits(between(v, 0xC2, 0xDF), chunk);
  }
  return c;
}

// The classes the longer sequences need besides.
struct LongClasses {
  uint64_t lead3 = 0;  // 0xE0 to 0xEF
  uint64_t lead4 = 0;  // 0xF0 to 0xF4
  uint64_t below_90 = 0;
  uint64_t below_a0 = 0;
  // The leads whose second byte has a narrower range.
  uint64_t e0 = 0, ed = 0, f0 = 0, f4 = 0;
};

inline LongClasses classify_long(const unsigned char* p) {
  LongClasses c;
  for (int chunk = 0; chunk < 4; ++chunk) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + chunk);
    c.lead3 |= mask_bits(between(v, 0xE0, 0xEF), chunk);
    c.lead4 |= mask_bits(between(v, 0xF0, 0xF4), chunk);
    c.below_90 |= mask_bits(_mm_cmplt_epi8(v, bytes_of(0x90)), chunk);
    c.below_a0 |= mask_bits(_mm_cmplt_epi8(v, bytes_of(0xA0)), chunk);
    c.e0 |= mask_bits(_mm_cmpeq_epi8(v, bytes_of(0xE0)), chunk);
    c.ed |= mask_bits(_mm_cmpeq_epi8(v, bytes_of(0xED)), chunk);
    c.f0 |= mask_bits(_mm_cmpeq_epi8(v, bytes_of(0xF0)), chunk);
    c.f4 |= mask_bits(_mm_cmpeq_epi8(v, bytes_of(0xF4)), chunk);
  }
  return c;
}

// Whether the block at `p` is well-formed as a whole, given what the block
// before owes it; `owed` becomes what this one owes the next.
inline bool block_well_formed(const unsigned char* p, Owed& owed) {
  const CommonClasses c = classify_common(p);
  const uint64_t l2 = c.lead2;
  if ((c.high & ~(c.cont | l2)) == 0) {
    if (c.cont != ((l2 << 1) | owed.bits)) return false;
    owed.bits = l2 >> 63;
    owed.back = owed.bits;
    return true;
  }
  const LongClasses d = classify_long(p);
  const uint64_t l3 = d.lead3, l4 = d.lead4;
  if ((c.high & ~(c.cont | l2 | l3 | l4)) != 0) return false;
  const uint64_t expected = (l2 << 1) | (l3 << 1) | (l3 << 2) | (l4 << 1) | (l4 << 2) | (l4 << 3) | owed.bits;
  if (c.cont != expected) return false;
  // Second bytes that would make an overlong form, a surrogate or a value
  // above U+10FFFF; such a lead at the block's end is left to the walk.
  if (((d.e0 << 1) & d.below_a0) != 0 || ((d.ed << 1) & c.cont & ~d.below_a0) != 0 ||
      ((d.f0 << 1) & d.below_90) != 0 || ((d.f4 << 1) & c.cont & ~d.below_90) != 0 ||
      ((d.e0 | d.ed | d.f0 | d.f4) >> 63) != 0) {
    return false;
  }
  owed.bits = (l2 >> 63) | (l3 >> 63) | (l3 >> 62) | (l4 >> 63) | (l4 >> 62) | (l4 >> 61);
  owed.back = owed.bits != 0 ? static_cast<std::size_t>(__builtin_clzll(l2 | l3 | l4)) + 1 : 0;
  return true;
}

#endif

}  // namespace

std::optional<std::string> utf8_error(std::string_view bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
#if defined(__SSE2__)
  // Blocks are checked whole, 64 bytes at a time; a block that does not pass
  // is walked one sequence at a time, from the start of the sequence that
  // runs into it, so that an error is found and reported exactly as the walk
  // alone would.
  Owed owed;
  while (n - i >= kBlock) {
    if (owed.bits == 0 && ascii_block(s + i)) {
      i += kBlock;
      continue;
    }
    if (block_well_formed(s + i, owed)) {
      i += kBlock;
      continue;
    }
    const std::size_t until = i + kBlock;
    i -= owed.back;
    owed = Owed{};
    if (auto bad = check_sequences(s, n, i, until)) return bad;
  }
  i -= owed.back;
#endif
  return check_sequences(s, n, i, n);
}

std::size_t previous_char_start(std::string_view s, std::size_t end) {
  std::size_t i = end - 1;
  const std::size_t limit = end >= 4 ? end - 4 : 0;
  while (i > limit && is_continuation_byte(static_cast<unsigned char>(s[i]))) --i;
  std::size_t next = i;
  decode_utf8(s, next);
  return next == end ? i : end - 1;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::size_t utf16_length(std::string_view s) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      ++units;
    } else {
      units += utf16_units(decode_utf8(s, i));
    }
  }
  return units;
}

std::size_t char_count(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); ++count) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
    } else {
      decode_utf8(s, i);
    }
  }
  return count;
}

std::size_t column_to_byte(std::string_view line, std::size_t column) {
  std::size_t units = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    std::size_t next = i;
    const std::size_t width = utf16_units(decode_utf8(line, next));
    if (units + width > column) break;
    units += width;
    i = next;
  }
  return i;
}

std::size_t byte_to_column(std::string_view line, std::size_t byte) {
  if (byte > line.size()) byte = line.size();
  std::size_t units = 0;
  for (std::size_t i = 0; i < byte;) units += utf16_units(decode_utf8(line, i));
  return units;
}

std::size_t char_index_to_byte(std::string_view s, std::size_t count) {
  std::size_t i = 0;
  for (; count > 0 && i < s.size(); --count) decode_utf8(s, i);
  return i;
}

}  // namespace zevo::text

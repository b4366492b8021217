#include "url/host.hpp"

#include <unicode/uidna.h>

#include <algorithm>
#include <climits>

#include "text/ascii.hpp"
#include "text/utf8.hpp"
#include "url/percent.hpp"

namespace zevo::url::detail {

namespace {

constexpr std::string_view kForbiddenHostBytes("\0\t\n\r #/:<>?@[\\]^|", 17);
constexpr EncodeSet kForbiddenHostSet = EncodeSet{}.with(kForbiddenHostBytes);
// Also every non-ASCII byte: a domain is ASCII once UTS 46 is done with it.
constexpr EncodeSet kForbiddenDomainSet = kC0ControlSet.with("%").with(kForbiddenHostBytes);

// Error bits of the URL Standard's "domain to ASCII" with CheckHyphens and VerifyDnsLength off.
constexpr uint32_t kIgnoredIdnaErrors = UIDNA_ERROR_EMPTY_LABEL | UIDNA_ERROR_LABEL_TOO_LONG |
                                        UIDNA_ERROR_DOMAIN_NAME_TOO_LONG | UIDNA_ERROR_LEADING_HYPHEN |
                                        UIDNA_ERROR_TRAILING_HYPHEN | UIDNA_ERROR_HYPHEN_3_4;

// Punycode is quadratic in the label; the URL library refuses longer labels than these
// (decoding: bytes after "xn--"; encoding: code points).
constexpr std::size_t kPunycodeDecodeMax = 2000;
constexpr std::size_t kPunycodeEncodeMax = 1000;

bool starts_with_xn(std::string_view label) {
  return label.size() >= 4 && text::ascii_lower(label[0]) == 'x' && text::ascii_lower(label[1]) == 'n' &&
         label[2] == '-' && label[3] == '-';
}

// Byte length of the label separator at `i` (the full stop or one of the three characters
// UTS 46 maps to it), or 0.
std::size_t separator_length(std::string_view domain, std::size_t i) {
  if (domain[i] == '.') return 1;
  if (domain.compare(i, 3, "\xE3\x80\x82") == 0 || domain.compare(i, 3, "\xEF\xBC\x8E") == 0 ||
      domain.compare(i, 3, "\xEF\xBD\xA1") == 0) {
    return 3;
  }
  return 0;
}

// Calls `f(begin, end)` for each label; `end` is where its separator starts.
template <class F>
void for_each_label(std::string_view domain, F f) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < domain.size();) {
    const std::size_t length = separator_length(domain, i);
    if (length == 0) {
      ++i;
      continue;
    }
    f(start, i);
    i += length;
    start = i;
  }
  f(start, domain.size());
}

bool within_punycode_limits(std::string_view domain) {
  bool ok = true;
  for_each_label(domain, [&](std::size_t begin, std::size_t end) {
    const std::string_view label = domain.substr(begin, end - begin);
    bool ascii = true;
    for (char c : label) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
      if (starts_with_xn(label) && label.size() - 4 > kPunycodeDecodeMax) ok = false;
    } else if (text::char_count(label) > kPunycodeEncodeMax) {
      ok = false;
    }
  });
  return ok;
}

const UIDNA* uts46() {
  static const UIDNA* const idna = [] {
    UErrorCode status = U_ZERO_ERROR;
    UIDNA* opened = uidna_openUTS46(UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_NONTRANSITIONAL_TO_UNICODE |
                                        UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ,
                                    &status);
    return U_SUCCESS(status) ? opened : nullptr;
  }();
  return idna;
}

// Stands for a failed ICU call among the error bits.
constexpr std::uint32_t kCallFailed = 0x80000000u;

// The error bits that count of ICU's ToASCII of `name`; the result is appended to `out`
// when there are none.
std::uint32_t icu_errors(std::string& out, std::string_view name) {
  const std::size_t start = out.size();
  // ToASCII rarely grows a name much beyond its length; one retry covers the rest.
  std::int32_t capacity = static_cast<std::int32_t>(std::min<std::size_t>(name.size() * 2 + 64, INT32_MAX));
  for (int attempt = 0; attempt < 2; ++attempt) {
    out.resize(start + static_cast<std::size_t>(capacity));
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t length = uidna_nameToASCII_UTF8(uts46(), name.data(), static_cast<std::int32_t>(name.size()),
                                                       out.data() + start, capacity, &info, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      capacity = length;
      continue;
    }
    const std::uint32_t errors = U_FAILURE(status) ? kCallFailed : (info.errors & ~kIgnoredIdnaErrors);
    out.resize(errors == 0 ? start + static_cast<std::size_t>(length) : start);
    return errors;
  }
  out.resize(start);
  return kCallFailed;
}

// ICU rewrites a name label by label in place, which is quadratic in the number of labels, so
// a long name goes through in chunks of whole labels. Only the bidi rule spans labels: a name
// with a right-to-left label fails when any label breaks the rule. Two probes per chunk find
// both: a breaking label "1a" makes an RTL chunk fail, an RTL label makes a breaking chunk fail.
constexpr std::size_t kChunkBytes = 1024;

Status<> icu_to_ascii(std::string& out, std::string_view domain) {
  if (uts46() == nullptr || domain.size() > INT32_MAX / 2 || !within_punycode_limits(domain)) {
    return fail(std::string(kInvalidInternationalDomainName));
  }
  if (domain.size() <= kChunkBytes) {
    if (icu_errors(out, domain) == 0) return ok_status();
    return fail(std::string(kInvalidInternationalDomainName));
  }
  bool has_rtl = false;
  bool breaks_bidi = false;
  std::string probe;
  std::string probe_out;
  std::size_t chunk_start = 0;
  bool first = true;
  auto run_chunk = [&](std::size_t end) {
    const std::string_view chunk = domain.substr(chunk_start, end - chunk_start);
    if (!first) out.push_back('.');
    first = false;
    if (icu_errors(out, chunk) != 0) return false;
    probe.assign("1a.").append(chunk);
    has_rtl = has_rtl || (icu_errors(probe_out, probe) & UIDNA_ERROR_BIDI) != 0;
    probe.assign("\xD7\x90.").append(chunk);  // U+05D0
    breaks_bidi = breaks_bidi || (icu_errors(probe_out, probe) & UIDNA_ERROR_BIDI) != 0;
    probe_out.clear();
    return true;
  };
  bool ok = true;
  for_each_label(domain, [&](std::size_t, std::size_t end) {
    if (!ok || end == domain.size() || end - chunk_start < kChunkBytes) return;
    const std::size_t next = end + separator_length(domain, end);
    if (next == domain.size()) return;  // the final empty label stays with its chunk
    ok = run_chunk(end);
    chunk_start = next;
  });
  if (ok) ok = run_chunk(domain.size());
  if (ok && !(has_rtl && breaks_bidi)) return ok_status();
  return fail(std::string(kInvalidInternationalDomainName));
}

// Fills 0 into `value` for an empty number after a prefix; sets `overflow` past 32 bits.
bool parse_ipv4_number(std::string_view s, std::uint64_t& value, bool& overflow) {
  if (s.empty()) return false;
  int radix = 10;
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    radix = 16;
  } else if (s.size() >= 2 && s[0] == '0') {
    s.remove_prefix(1);
    radix = 8;
  }
  value = 0;
  overflow = false;
  for (char c : s) {
    const int digit = text::hex_value(c);
    if (digit < 0 || digit >= radix) return false;
    if (!overflow) {
      value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
      overflow = value > UINT32_MAX;
    }
  }
  return true;
}

}  // namespace

Status<> domain_to_ascii(std::string& out, std::string_view domain) {
  bool plain = true;  // ASCII without a Punycode label: UTS 46 only lower-cases it
  std::size_t label_start = 0;
  for (std::size_t i = 0; i < domain.size() && plain; ++i) {
    if (static_cast<unsigned char>(domain[i]) >= 0x80) plain = false;
    if (i == label_start && starts_with_xn(domain.substr(i))) plain = false;
    if (domain[i] == '.') label_start = i + 1;
  }
  const std::size_t start = out.size();
  if (plain) {
    out.reserve(start + domain.size());
    for (char c : domain) out.push_back(text::ascii_lower(c));
  } else if (auto converted = icu_to_ascii(out, domain); !converted) {
    return converted;
  }
  for (std::size_t i = start; i < out.size(); ++i) {
    if (kForbiddenDomainSet.contains(static_cast<unsigned char>(out[i]))) {
      out.resize(start);
      return fail(std::string(kInvalidInternationalDomainName));
    }
  }
  return ok_status();
}

std::optional<Ipv6Address> parse_ipv6(std::string_view input) {
  Ipv6Address address{};
  int piece = 0;
  int compress = -1;
  std::size_t p = 0;
  const std::size_t n = input.size();
  auto at = [&](std::size_t i) { return i < n ? input[i] : '\0'; };

  if (at(p) == ':') {
    if (at(p + 1) != ':') return std::nullopt;
    p += 2;
    compress = ++piece;
  }
  while (p < n) {
    if (piece == 8) return std::nullopt;
    if (input[p] == ':') {
      if (compress != -1) return std::nullopt;
      ++p;
      compress = ++piece;
      continue;
    }
    unsigned value = 0;
    int length = 0;
    while (length < 4 && p < n && text::hex_value(input[p]) >= 0) {
      value = value * 16 + static_cast<unsigned>(text::hex_value(input[p]));
      ++p;
      ++length;
    }
    if (at(p) == '.') {
      // An IPv4 address in the last two pieces.
      if (length == 0) return std::nullopt;
      p -= static_cast<std::size_t>(length);
      if (piece > 6) return std::nullopt;
      int numbers_seen = 0;
      while (p < n) {
        if (numbers_seen > 0) {
          if (input[p] != '.' || numbers_seen >= 4) return std::nullopt;
          ++p;
        }
        if (!text::is_ascii_digit(at(p))) return std::nullopt;
        int ipv4_piece = -1;
        while (text::is_ascii_digit(at(p))) {
          const int number = input[p] - '0';
          if (ipv4_piece == -1) {
            ipv4_piece = number;
          } else if (ipv4_piece == 0) {
            return std::nullopt;
          } else {
            ipv4_piece = ipv4_piece * 10 + number;
          }
          if (ipv4_piece > 255) return std::nullopt;
          ++p;
        }
        address[piece] = static_cast<std::uint16_t>(address[piece] * 0x100 + ipv4_piece);
        ++numbers_seen;
        if (numbers_seen == 2 || numbers_seen == 4) ++piece;
      }
      if (numbers_seen != 4) return std::nullopt;
      break;
    }
    if (at(p) == ':') {
      ++p;
      if (p >= n) return std::nullopt;
    } else if (p < n) {
      return std::nullopt;
    }
    address[piece++] = static_cast<std::uint16_t>(value);
  }
  if (compress != -1) {
    int swaps = piece - compress;
    piece = 7;
    while (piece != 0 && swaps > 0) {
      std::swap(address[piece], address[compress + swaps - 1]);
      --piece;
      --swaps;
    }
  } else if (piece != 8) {
    return std::nullopt;
  }
  return address;
}

void serialize_ipv6(std::string& out, const Ipv6Address& address) {
  // The first longest run of two or more zero pieces becomes "::".
  int compress = -1;
  int best = 1;
  for (int i = 0; i < 8;) {
    if (address[i] != 0) {
      ++i;
      continue;
    }
    int j = i;
    while (j < 8 && address[j] == 0) ++j;
    if (j - i > best) {
      best = j - i;
      compress = i;
    }
    i = j;
  }
  bool ignore0 = false;
  for (int i = 0; i < 8; ++i) {
    if (ignore0 && address[i] == 0) continue;
    ignore0 = false;
    if (compress == i) {
      out += i == 0 ? "::" : ":";
      ignore0 = true;
      continue;
    }
    const unsigned v = address[i];
    bool leading = true;
    for (int shift = 12; shift >= 0; shift -= 4) {
      const unsigned digit = (v >> shift) & 0xF;
      if (leading && digit == 0 && shift != 0) continue;
      leading = false;
      out.push_back(text::kLowerHexDigits[digit]);
    }
    if (i != 7) out.push_back(':');
  }
}

bool ends_in_a_number(std::string_view domain) {
  if (!domain.empty() && domain.back() == '.') {
    domain.remove_suffix(1);
    if (domain.empty()) return false;
  }
  const std::size_t dot = domain.rfind('.');
  const std::string_view last = dot == std::string_view::npos ? domain : domain.substr(dot + 1);
  if (last.empty()) return false;
  bool digits = true;
  for (char c : last) digits = digits && text::is_ascii_digit(c);
  if (digits) return true;
  std::uint64_t value;
  bool overflow;
  return parse_ipv4_number(last, value, overflow);
}

std::optional<std::uint32_t> parse_ipv4(std::string_view domain) {
  if (!domain.empty() && domain.back() == '.') domain.remove_suffix(1);
  std::uint64_t numbers[4];
  std::size_t count = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = domain.find('.', start);
    const std::string_view part = domain.substr(start, dot == std::string_view::npos ? dot : dot - start);
    bool overflow;
    if (count == 4 || !parse_ipv4_number(part, numbers[count], overflow) || overflow) return std::nullopt;
    ++count;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  std::uint64_t address = numbers[count - 1];
  if (address >= (std::uint64_t{1} << (8 * (5 - count)))) return std::nullopt;
  for (std::size_t i = 0; i + 1 < count; ++i) {
    if (numbers[i] > 255) return std::nullopt;
    address += numbers[i] << (8 * (3 - i));
  }
  return static_cast<std::uint32_t>(address);
}

void serialize_ipv4(std::string& out, std::uint32_t address) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out += std::to_string((address >> shift) & 0xFF);
    if (shift != 0) out.push_back('.');
  }
}

namespace {

Result<HostKind> parse_bracketed(std::string& out, std::string_view input) {
  if (input.size() < 2 || input.back() != ']') return fail(std::string(kInvalidIpv6Address));
  const auto address = parse_ipv6(input.substr(1, input.size() - 2));
  if (!address) return fail(std::string(kInvalidIpv6Address));
  out.push_back('[');
  serialize_ipv6(out, *address);
  out.push_back(']');
  return HostKind::ipv6;
}

}  // namespace

Result<HostKind> parse_special_host(std::string& out, std::string_view input) {
  if (!input.empty() && input[0] == '[') return parse_bracketed(out, input);
  std::string decoded;
  std::string_view domain = input;
  if (input.find('%') != std::string_view::npos) {
    decoded = percent_decode(input);
    domain = decoded;
  }
  const std::size_t start = out.size();
  if (auto converted = domain_to_ascii(out, domain); !converted) return fail(std::move(converted.error()));
  const std::string_view ascii = std::string_view(out).substr(start);
  if (ascii.empty()) return fail(std::string(kEmptyHost));
  if (!ends_in_a_number(ascii)) return HostKind::domain;
  const auto address = parse_ipv4(ascii);
  if (!address) return fail(std::string(kInvalidIpv4Address));
  out.resize(start);
  serialize_ipv4(out, *address);
  return HostKind::ipv4;
}

Result<HostKind> parse_opaque_host(std::string& out, std::string_view input) {
  if (!input.empty() && input[0] == '[') return parse_bracketed(out, input);
  for (char c : input) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x7F && kForbiddenHostSet.contains(b)) return fail(std::string(kInvalidDomainCharacter));
  }
  percent_encode(out, input, kC0ControlSet);
  return input.empty() ? HostKind::empty : HostKind::opaque;
}

}  // namespace zevo::url::detail

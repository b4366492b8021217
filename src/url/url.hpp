// WHATWG URL records: the basic URL parser without a base URL, and the serialiser.
// Document URIs from the client are parsed and printed again to give the store's keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.hpp"

namespace zevo::url {

// Error texts of a failed parse (the log line of the diagnostics notification shows them).
inline constexpr std::string_view kRelativeUrlWithoutBase = "relative URL without a base";
inline constexpr std::string_view kEmptyHost = "empty host";
inline constexpr std::string_view kInvalidPort = "invalid port number";
inline constexpr std::string_view kInvalidIpv4Address = "invalid IPv4 address";
inline constexpr std::string_view kInvalidIpv6Address = "invalid IPv6 address";
inline constexpr std::string_view kInvalidDomainCharacter = "invalid domain character";
inline constexpr std::string_view kInvalidInternationalDomainName = "invalid international domain name";
inline constexpr std::string_view kUrlTooLong = "URLs more than 4 GB are not supported";

enum class HostKind : std::uint8_t {
  none,    // no authority at all ("untitled:x", "sc:/x")
  empty,   // an authority with an empty host ("file:///x", "sc:///x")
  domain,  // a special scheme's ASCII domain
  opaque,  // a non-special scheme's percent-encoded host
  ipv4,
  ipv6,
};

// A parsed URL, kept as its serialisation plus the offsets of its components, so that
// printing it again costs one copy.
class Url {
 public:
  std::string_view href() const { return serialization_; }

  std::string_view scheme() const { return slice(0, scheme_end_); }
  std::string_view username() const;
  std::string_view password() const;
  HostKind host_kind() const { return host_kind_; }
  // The serialised host: a domain, an opaque host, dotted IPv4, or IPv6 in brackets.
  std::string_view host() const { return slice(host_start_, host_end_); }
  std::optional<std::uint16_t> port() const { return port_; }
  std::string_view path() const { return slice(path_start_, query_start_ ? *query_start_ : fragment_or_end()); }
  // Without the leading "?" / "#"; absent is not the same as empty.
  std::optional<std::string_view> query() const;
  std::optional<std::string_view> fragment() const;
  bool has_opaque_path() const { return opaque_path_; }
  bool is_special() const { return special_; }

 private:
  friend class Parser;

  std::string_view slice(std::size_t from, std::size_t to) const {
    return std::string_view(serialization_).substr(from, to - from);
  }
  std::size_t fragment_or_end() const { return fragment_start_ ? *fragment_start_ : serialization_.size(); }

  std::string serialization_;
  std::uint32_t scheme_end_ = 0;    // the ":" after the scheme
  std::uint32_t username_start_ = 0;
  std::uint32_t username_end_ = 0;  // a ":" before the password, the "@", or host_start_
  std::uint32_t host_start_ = 0;
  std::uint32_t host_end_ = 0;
  std::uint32_t path_start_ = 0;
  std::optional<std::uint32_t> query_start_;     // the "?"
  std::optional<std::uint32_t> fragment_start_;  // the "#"
  std::optional<std::uint16_t> port_;
  HostKind host_kind_ = HostKind::none;
  bool opaque_path_ = false;
  bool special_ = false;
};

// Parses `input` as an absolute URL; the error is one of the texts above.
Result<Url> parse(std::string_view input);

// The URL's href.
std::string serialize(const Url& url);

}  // namespace zevo::url

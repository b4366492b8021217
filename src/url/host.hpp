// Host parsing and serialisation: domains (with UTS 46 through ICU), IPv4, IPv6, opaque hosts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.hpp"
#include "url/url.hpp"

namespace zevo::url::detail {

// Both append the serialised host to `out` and return its kind; on failure `out` may hold
// a partial host.
Result<HostKind> parse_special_host(std::string& out, std::string_view input);
Result<HostKind> parse_opaque_host(std::string& out, std::string_view input);

// UTS 46 ToASCII of a percent-decoded domain, appended to `out`; the error is always
// "invalid international domain name".
Status<> domain_to_ascii(std::string& out, std::string_view domain);

using Ipv6Address = std::array<std::uint16_t, 8>;
std::optional<Ipv6Address> parse_ipv6(std::string_view input);
void serialize_ipv6(std::string& out, const Ipv6Address& address);

bool ends_in_a_number(std::string_view domain);
std::optional<std::uint32_t> parse_ipv4(std::string_view domain);
void serialize_ipv4(std::string& out, std::uint32_t address);

}  // namespace zevo::url::detail

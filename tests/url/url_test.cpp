// Document URIs as editors send them, the parse errors the log shows, the components of the
// record, and inputs built to make a parser slow or break it.
#include "url/url.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/repeat.hpp"

namespace {

using zevo::url::HostKind;
using zevo::url::parse;
using zevo::url::serialize;

std::string href_or_error(std::string_view input) {
  const auto r = parse(input);
  return r ? serialize(*r) : "error: " + r.error();
}

using zevo::testing::repeat;

TEST(Url, EverydayDocumentUris) {
  struct Case {
    const char* input;
    const char* href;  // nullptr: unchanged
  };
  const Case cases[] = {
      {"file:///C:/Users/x/a.zevo", nullptr},
      {"file:///c%3A/Users/x/a.zevo", nullptr},
      {"file:///home/u/My Dir/\xC3\xA4.zevo", "file:///home/u/My%20Dir/%C3%A4.zevo"},
      {"file:///home/user/proje dosyas\xC4\xB1/\xC5\x9F" "ema.zevo",
       "file:///home/user/proje%20dosyas%C4%B1/%C5%9Fema.zevo"},
      {"FILE:///A/../b", "file:///b"},
      {"file://localhost/etc/x", "file:///etc/x"},
      {"file://host/share/x", nullptr},
      {"untitled:Untitled-1", nullptr},
      {"vscode-notebook-cell:/x#y", nullptr},
      {"http://EXAMPLE.com:80/a/./b/../c?q#f", "http://example.com/a/c?q#f"},
      {"http://\xC3\x96RNEK.com.tr/", "http://xn--rnek-4qa.com.tr/"},
      {"http://0x7f.1/", "http://127.0.0.1/"},
      {"http://[::1]:8080/x", nullptr},
      // A Windows path is an absolute URL of scheme "c" with an opaque path.
      {"C:\\Users\\x\\a.zevo", "c:\\Users\\x\\a.zevo"},
      {"file:/C|/x/../../y", "file:///C:/y"},
      {"file:\\\\server\\share\\a b.zevo", "file://server/share/a%20b.zevo"},
      {"  file:///a\tb\nc\r.zevo \x01", "file:///abc.zevo"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(href_or_error(c.input), c.href ? c.href : c.input) << c.input;
  }
}

TEST(Url, ParseErrorsCarryTheLibraryText) {
  struct Case {
    const char* input;
    std::string_view error;
  };
  using namespace zevo::url;
  const Case cases[] = {
      {"", kRelativeUrlWithoutBase},
      {"not a uri", kRelativeUrlWithoutBase},
      {"/home/u/a.zevo", kRelativeUrlWithoutBase},
      {"1file:///x", kRelativeUrlWithoutBase},
      {" \t ", kRelativeUrlWithoutBase},
      {"http://", kEmptyHost},
      {"http://user@/x", kEmptyHost},
      {"http://user:pass@", kEmptyHost},
      {"http://:80/", kEmptyHost},
      {"sc://:80/", kEmptyHost},
      {"sc://u@/", kEmptyHost},
      {"http://%C2%AD/", kEmptyHost},  // a soft hyphen maps to nothing
      {"http://h:65536/", kInvalidPort},
      {"http://h:8a/", kInvalidPort},
      {"sc://h:-1/", kInvalidPort},
      {"http://h:99999999999999999999/", kInvalidPort},
      {"http://1.2.3.256/", kInvalidIpv4Address},
      {"http://0x100000000/", kInvalidIpv4Address},
      {"http://1.2.3.4.5/", kInvalidIpv4Address},
      {"http://a.09/", kInvalidIpv4Address},
      {"http://[::1/", kInvalidIpv6Address},
      {"http://[1:2::3::4]/", kInvalidIpv6Address},
      {"sc://[1:2:3:4:5:6:7:8:9]/", kInvalidIpv6Address},
      {"http://[::1.2.3.04]/", kInvalidIpv6Address},
      {"sc://a b/", kInvalidDomainCharacter},
      {"sc://a^b/", kInvalidDomainCharacter},
      {"https://exa mple.com/", kInvalidInternationalDomainName},
      {"http://a%2fb/", kInvalidInternationalDomainName},
      {"http://a\xE2\x80\x8D" "b.com/", kInvalidInternationalDomainName},  // a lone ZWJ
      {"https://xn--/", kInvalidInternationalDomainName},
      {"http://\xFF/", kInvalidInternationalDomainName},  // not UTF-8
      {"file://a:1/", kInvalidInternationalDomainName},
  };
  for (const Case& c : cases) {
    const auto r = parse(c.input);
    ASSERT_FALSE(r.ok()) << c.input << " gave " << r->href();
    EXPECT_EQ(r.error(), c.error) << c.input;
  }
}

TEST(Url, Components) {
  struct Case {
    const char* input;
    const char* scheme;
    const char* username;
    const char* password;
    HostKind host_kind;
    const char* host;
    int port;  // -1: none
    const char* path;
    const char* query;     // nullptr: absent
    const char* fragment;  // nullptr: absent
    bool opaque_path;
  };
  const Case cases[] = {
      {"https://us%65r:p@ss@Example.COM:8443/a/b?x=1#f", "https", "us%65r", "p%40ss", HostKind::domain,
       "example.com", 8443, "/a/b", "x=1", "f", false},
      {"https://:secret@h/", "https", "", "secret", HostKind::domain, "h", -1, "/", nullptr, nullptr, false},
      {"http://h?#", "http", "", "", HostKind::domain, "h", -1, "/", "", "", false},
      {"http://127.1:80", "http", "", "", HostKind::ipv4, "127.0.0.1", -1, "/", nullptr, nullptr, false},
      {"http://[0:0::FFFF:1.2.3.4]/", "http", "", "", HostKind::ipv6, "[::ffff:102:304]", -1, "/", nullptr,
       nullptr, false},
      {"file:///C:/x", "file", "", "", HostKind::empty, "", -1, "/C:/x", nullptr, nullptr, false},
      {"file://srv/x", "file", "", "", HostKind::domain, "srv", -1, "/x", nullptr, nullptr, false},
      {"untitled:Untitled-1", "untitled", "", "", HostKind::none, "", -1, "Untitled-1", nullptr, nullptr, true},
      {"sc:/.//x", "sc", "", "", HostKind::none, "", -1, "//x", nullptr, nullptr, false},
      {"sc://H%41/p", "sc", "", "", HostKind::opaque, "H%41", -1, "/p", nullptr, nullptr, false},
      {"sc://", "sc", "", "", HostKind::empty, "", -1, "", nullptr, nullptr, false},
      {"sc:", "sc", "", "", HostKind::none, "", -1, "", nullptr, nullptr, true},
      {"sc::x:y", "sc", "", "", HostKind::none, "", -1, ":x:y", nullptr, nullptr, true},
  };
  for (const Case& c : cases) {
    const auto r = parse(c.input);
    ASSERT_TRUE(r.ok()) << c.input << ": " << r.error();
    const zevo::url::Url& u = *r;
    EXPECT_EQ(u.scheme(), c.scheme) << c.input;
    EXPECT_EQ(u.username(), c.username) << c.input;
    EXPECT_EQ(u.password(), c.password) << c.input;
    EXPECT_EQ(u.host_kind(), c.host_kind) << c.input;
    EXPECT_EQ(u.host(), c.host) << c.input;
    EXPECT_EQ(u.port() ? int(*u.port()) : -1, c.port) << c.input;
    EXPECT_EQ(u.path(), c.path) << c.input;
    EXPECT_EQ(u.query().has_value(), c.query != nullptr) << c.input;
    if (c.query && u.query()) {
      EXPECT_EQ(*u.query(), c.query) << c.input;
    }
    EXPECT_EQ(u.fragment().has_value(), c.fragment != nullptr) << c.input;
    if (c.fragment && u.fragment()) {
      EXPECT_EQ(*u.fragment(), c.fragment) << c.input;
    }
    EXPECT_EQ(u.has_opaque_path(), c.opaque_path) << c.input;
  }
}

// A serialisation parses back to itself: the store's keys are stable.
TEST(Url, SerialisationIsAFixedPoint) {
  const char* inputs[] = {
      "file:///home/u/My Dir/\xC3\xA4.zevo", "FILE://LOCALHOST/A/./B/../c", "http://\xC3\x96RNEK.com.tr:8080/?a b#c d",
      "sc:/.//x",                           "web+x:a b?c#d",                 "file://localhost//a//../..//foo",
      "http://[1:0::]/",                    "https://u:p@h/%2e%2E/x",        "file:///w|/m",
  };
  for (const char* input : inputs) {
    const auto first = parse(input);
    ASSERT_TRUE(first.ok()) << input;
    const auto second = parse(first->href());
    ASSERT_TRUE(second.ok()) << first->href();
    EXPECT_EQ(second->href(), first->href()) << input;
  }
}

// Inputs of a few megabytes, each aimed at one place that could turn quadratic or overflow.
TEST(Url, LongHostileInputs) {
  struct Case {
    const char* what;
    std::string input;
    std::string href;  // empty: must fail
  };
  const std::size_t n = 200000;
  const Case cases[] = {
      {"dot-dot segments", "file:///" + repeat("a/../", n) + repeat("../", n) + "x", "file:///x"},
      {"deep path popped", "http://h/" + repeat("a/", n) + repeat("../", n - 1) + "b", "http://h/a/b"},
      {"stray percent signs", "http://h/" + repeat("%", n) + repeat("%4", n),
       "http://h/" + repeat("%", n) + repeat("%4", n)},
      {"escapes in a host", "http://" + repeat("%41", n) + "/", "http://" + repeat("a", n) + "/"},
      {"many non-ASCII labels", "http://" + repeat("\xC3\xB6.", n) + "com/",
       "http://" + repeat("xn--nda.", n) + "com/"},
      {"RTL label far from a label breaking the bidi rule",
       "http://\xD7\x90." + repeat("a.", n) + "1a/", ""},
      {"RTL label far from labels keeping the bidi rule", "http://\xD7\x90." + repeat("a.", n) + "b/",
       "http://xn--4db." + repeat("a.", n) + "b/"},
      {"label breaking the bidi rule in a name without RTL", "http://1a." + repeat("\xC3\xB6.", n) + "b/",
       "http://1a." + repeat("xn--nda.", n) + "b/"},
      {"non-ASCII label past the Punycode limit", "http://" + repeat("\xC3\xB6", 1001) + "/", ""},
      {"Punycode label past the decoding limit", "http://xn--" + repeat("a", 2001) + "-/", ""},
      {"long IPv6", "http://[" + repeat("1:", n) + "]/", ""},
      {"long IPv4 number", "http://0x" + repeat("0", n) + "1/", "http://0.0.0.1/"},
      {"long port", "http://h:" + repeat("0", n) + "8080/", "http://h:8080/"},
      {"many at signs", "http://" + repeat("@", n) + "h/", "http://" + repeat("%40", n - 1) + "@h/"},
      {"tabs everywhere", "http://h/" + repeat("a\t", n), "http://h/" + repeat("a", n)},
      {"long opaque path", "sc:" + repeat("\x01", n) + "x", "sc:" + repeat("%01", n) + "x"},
  };
  for (const Case& c : cases) {
    const auto r = parse(c.input);
    if (c.href.empty()) {
      EXPECT_FALSE(r.ok()) << c.what;
    } else {
      ASSERT_TRUE(r.ok()) << c.what << ": " << r.error();
      EXPECT_TRUE(r->href() == c.href) << c.what << ": got " << r->href().substr(0, 80) << "...";
    }
  }
}

TEST(Url, BytesThatAreNotUtf8AreEscapedOutsideTheHost) {
  EXPECT_EQ(href_or_error("file:///a\xFF\xC3/b?\xFE#\x80"), "file:///a%FF%C3/b?%FE#%80");
  EXPECT_EQ(href_or_error(std::string("sc://h\0x/", 9)), "error: invalid domain character");
  EXPECT_EQ(href_or_error(std::string("sc:/a\0b", 7)), "sc:/a%00b");
}

}  // namespace

#include "url/url.hpp"

#include <climits>

#include "text/ascii.hpp"
#include "url/host.hpp"
#include "url/percent.hpp"

namespace zevo::url {

namespace {

struct SpecialScheme {
  std::string_view name;
  int default_port;  // -1: none
};

constexpr SpecialScheme kSpecialSchemes[] = {
    {"ftp", 21}, {"file", -1}, {"http", 80}, {"https", 443}, {"ws", 80}, {"wss", 443},
};

using text::ascii_lower;
using text::is_ascii_digit;
using text::is_ascii_letter;

bool equals_ignoring_case(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != lower[i]) return false;
  }
  return true;
}

bool is_single_dot(std::string_view s) { return s == "." || equals_ignoring_case(s, "%2e"); }

bool is_double_dot(std::string_view s) {
  return s == ".." || equals_ignoring_case(s, ".%2e") || equals_ignoring_case(s, "%2e.") ||
         equals_ignoring_case(s, "%2e%2e");
}

bool is_windows_drive_letter(std::string_view s) {
  return s.size() == 2 && is_ascii_letter(s[0]) && (s[1] == ':' || s[1] == '|');
}

bool is_normalized_windows_drive_letter(std::string_view s) {
  return s.size() == 2 && is_ascii_letter(s[0]) && s[1] == ':';
}

// Leading and trailing C0 controls and spaces go; tabs and newlines go everywhere.
std::string_view clean_input(std::string_view input, std::string& storage) {
  std::size_t begin = 0;
  std::size_t end = input.size();
  while (begin < end && static_cast<unsigned char>(input[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(input[end - 1]) <= 0x20) --end;
  input = input.substr(begin, end - begin);
  auto is_tab_or_newline = [](char c) { return c == '\t' || c == '\n' || c == '\r'; };
  std::size_t i = 0;
  while (i < input.size() && !is_tab_or_newline(input[i])) ++i;
  if (i == input.size()) return input;
  storage.reserve(input.size());
  for (char c : input) {
    if (!is_tab_or_newline(c)) storage.push_back(c);
  }
  return storage;
}

}  // namespace

// The basic URL parser's states, writing the serialisation as it goes. Offsets are kept
// at full width until the record is built.
class Parser {
 public:
  explicit Parser(std::string_view input) : in_(input) {}

  Result<Url> run();

 private:
  bool at_end() const { return p_ >= in_.size(); }
  bool is_slash(char c) const { return c == '/' || (special_ && c == '\\'); }

  Status<> parse_file();
  Status<> parse_authority();
  void parse_path_start();
  void parse_path();
  void shorten_path(std::size_t segment_start);
  void parse_opaque_path();
  void parse_query_and_fragment();
  Url finish();

  std::string_view in_;
  std::size_t p_ = 0;
  std::string out_;
  const SpecialScheme* scheme_ = nullptr;  // null for a non-special scheme
  bool special_ = false;
  bool file_ = false;
  std::size_t scheme_end_ = 0;
  std::size_t username_start_ = 0;
  std::size_t username_end_ = 0;
  std::size_t host_start_ = 0;
  std::size_t host_end_ = 0;
  std::size_t path_start_ = 0;
  std::size_t query_start_ = SIZE_MAX;
  std::size_t fragment_start_ = SIZE_MAX;
  int port_ = -1;
  HostKind host_kind_ = HostKind::none;
  bool opaque_path_ = false;
  // This URL library leaves "C|" alone after "file://" with an empty host or "localhost",
  // and drops a real host in front of a drive letter.
  bool drive_letter_allowed_ = true;
  bool drop_host_ = false;
};

Result<Url> Parser::run() {
  std::size_t i = 0;
  if (in_.empty() || !is_ascii_letter(in_[0])) return fail(std::string(kRelativeUrlWithoutBase));
  while (i < in_.size() && (is_ascii_letter(in_[i]) || is_ascii_digit(in_[i]) || in_[i] == '+' || in_[i] == '-' ||
                            in_[i] == '.')) {
    ++i;
  }
  if (i == in_.size() || in_[i] != ':') return fail(std::string(kRelativeUrlWithoutBase));

  out_.reserve(in_.size() + 16);
  for (std::size_t k = 0; k < i; ++k) out_.push_back(ascii_lower(in_[k]));
  for (const SpecialScheme& s : kSpecialSchemes) {
    if (s.name == out_) scheme_ = &s;
  }
  special_ = scheme_ != nullptr;
  file_ = special_ && scheme_->name == "file";
  scheme_end_ = out_.size();
  out_.push_back(':');
  p_ = i + 1;
  username_start_ = username_end_ = host_start_ = host_end_ = out_.size();

  if (file_) {
    if (auto parsed = parse_file(); !parsed) return fail(std::move(parsed.error()));
  } else if (special_) {
    while (!at_end() && (in_[p_] == '/' || in_[p_] == '\\')) ++p_;
    out_ += "//";
    if (auto parsed = parse_authority(); !parsed) return fail(std::move(parsed.error()));
    parse_path_start();
  } else if (in_.compare(p_, 2, "//") == 0) {
    p_ += 2;
    out_ += "//";
    if (auto parsed = parse_authority(); !parsed) return fail(std::move(parsed.error()));
    parse_path_start();
  } else if (!at_end() && in_[p_] == '/') {
    ++p_;
    path_start_ = out_.size();
    out_.push_back('/');
    parse_path();
  } else {
    parse_opaque_path();
  }
  parse_query_and_fragment();

  // Without a host, a path beginning with an empty segment would read back as a host.
  if (host_kind_ == HostKind::none && !opaque_path_ && out_.compare(path_start_, 2, "//") == 0) {
    out_.insert(path_start_, "/.");
    path_start_ += 2;
    if (query_start_ != SIZE_MAX) query_start_ += 2;
    if (fragment_start_ != SIZE_MAX) fragment_start_ += 2;
  }
  if (out_.size() > UINT32_MAX) return fail(std::string(kUrlTooLong));
  return finish();
}

Status<> Parser::parse_file() {
  out_ += "//";
  username_start_ = username_end_ = host_start_ = host_end_ = out_.size();
  host_kind_ = HostKind::empty;
  const bool two_slashes = p_ + 1 < in_.size() && (in_[p_] == '/' || in_[p_] == '\\') &&
                           (in_[p_ + 1] == '/' || in_[p_ + 1] == '\\');
  if (!two_slashes) {
    if (!at_end() && (in_[p_] == '/' || in_[p_] == '\\')) ++p_;
    path_start_ = out_.size();
    out_.push_back('/');
    parse_path();
    return ok_status();
  }
  p_ += 2;
  std::size_t end = p_;
  while (end < in_.size() && in_[end] != '/' && in_[end] != '\\' && in_[end] != '?' && in_[end] != '#') ++end;
  const std::string_view host = in_.substr(p_, end - p_);
  // "file://C:/x": the drive letter is the path's, read again from its start.
  if (!is_windows_drive_letter(host)) {
    p_ = end;
    if (!host.empty()) {
      auto kind = detail::parse_special_host(out_, host);
      if (!kind) return fail(std::move(kind.error()));
      host_kind_ = *kind;
      if (std::string_view(out_).substr(host_start_) == "localhost") {
        out_.resize(host_start_);
        host_kind_ = HostKind::empty;
      }
    }
    host_end_ = out_.size();
    if (!at_end() && (in_[p_] == '/' || in_[p_] == '\\')) {
      ++p_;
      if (host_kind_ == HostKind::empty) drive_letter_allowed_ = false;
    }
  }
  path_start_ = out_.size();
  out_.push_back('/');
  parse_path();
  if (drop_host_) {
    out_.erase(host_start_, host_end_ - host_start_);
    path_start_ = host_end_ = host_start_;
    host_kind_ = HostKind::empty;
  }
  return ok_status();
}

Status<> Parser::parse_authority() {
  std::size_t end = p_;
  while (end < in_.size() && in_[end] != '/' && in_[end] != '?' && in_[end] != '#' && !is_slash(in_[end])) ++end;
  const std::string_view authority = in_.substr(p_, end - p_);
  p_ = end;

  username_start_ = out_.size();
  std::string_view host_port = authority;
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view credentials = authority.substr(0, at);
    host_port = authority.substr(at + 1);
    const std::size_t colon = credentials.find(':');
    detail::percent_encode(out_, credentials.substr(0, colon), detail::kUserinfoSet);
    username_end_ = out_.size();
    if (colon != std::string_view::npos && colon + 1 < credentials.size()) {
      out_.push_back(':');
      detail::percent_encode(out_, credentials.substr(colon + 1), detail::kUserinfoSet);
    }
    if (out_.size() > username_start_) out_.push_back('@');
    if (host_port.empty()) return fail(std::string(kEmptyHost));
  } else {
    username_end_ = out_.size();
  }

  host_start_ = out_.size();
  std::size_t colon = std::string_view::npos;
  bool in_brackets = false;
  for (std::size_t i = 0; i < host_port.size(); ++i) {
    const char c = host_port[i];
    if (c == '[') {
      in_brackets = true;
    } else if (c == ']') {
      in_brackets = false;
    } else if (c == ':' && !in_brackets) {
      colon = i;
      break;
    }
  }
  const std::string_view host = host_port.substr(0, colon);
  if (host.empty() && (special_ || colon != std::string_view::npos)) return fail(std::string(kEmptyHost));
  auto kind = special_ ? detail::parse_special_host(out_, host) : detail::parse_opaque_host(out_, host);
  if (!kind) return fail(std::move(kind.error()));
  host_kind_ = *kind;
  host_end_ = out_.size();

  if (colon == std::string_view::npos) return ok_status();
  const std::string_view digits = host_port.substr(colon + 1);
  std::uint32_t port = 0;
  for (char c : digits) {
    if (!is_ascii_digit(c)) return fail(std::string(kInvalidPort));
    port = port * 10 + static_cast<std::uint32_t>(c - '0');
    if (port > 65535) return fail(std::string(kInvalidPort));
  }
  if (!digits.empty() && (scheme_ == nullptr || static_cast<int>(port) != scheme_->default_port)) {
    port_ = static_cast<int>(port);
    out_.push_back(':');
    out_ += std::to_string(port);
  }
  return ok_status();
}

void Parser::parse_path_start() {
  path_start_ = out_.size();
  if (special_) {
    if (!at_end() && is_slash(in_[p_])) ++p_;
  } else if (!at_end() && in_[p_] == '/') {
    ++p_;
  } else {
    return;  // empty path before "?", "#" or the end
  }
  out_.push_back('/');
  parse_path();
}

// Each segment is written after the "/" that opens it; "." and ".." are undone in place.
void Parser::parse_path() {
  for (;;) {
    const std::size_t segment_start = out_.size();
    std::size_t end = p_;
    while (end < in_.size() && !is_slash(in_[end]) && in_[end] != '?' && in_[end] != '#') ++end;
    detail::percent_encode(out_, in_.substr(p_, end - p_), detail::kPathSet);
    p_ = end;
    const bool slash = !at_end() && is_slash(in_[p_]);
    if (slash) ++p_;

    const std::string_view segment = std::string_view(out_).substr(segment_start);
    if (is_double_dot(segment)) {
      out_.resize(segment_start);
      shorten_path(segment_start);
    } else if (is_single_dot(segment)) {
      out_.resize(segment_start);
    } else {
      if (file_ && drive_letter_allowed_ && segment_start == path_start_ + 1 && is_windows_drive_letter(segment)) {
        out_[segment_start + 1] = ':';
        drop_host_ = host_kind_ != HostKind::empty;
      }
      if (slash) out_.push_back('/');
    }
    if (!slash) break;
  }
  if (file_ && out_.compare(path_start_, 2, "//") == 0) {
    // This URL library drops a file path's leading empty segments.
    const std::size_t first = out_.find_first_not_of('/', path_start_);
    const std::size_t slashes = (first == std::string::npos ? out_.size() : first) - path_start_;
    out_.erase(path_start_ + 1, slashes - 1);
  }
}

// `segment_start` follows the "/" that closes the path's last segment.
void Parser::shorten_path(std::size_t segment_start) {
  if (segment_start - 1 == path_start_) return;
  const std::size_t previous = out_.rfind('/', segment_start - 2);
  const std::string_view last = std::string_view(out_).substr(previous + 1, segment_start - 2 - previous);
  if (file_ && previous == path_start_ && is_normalized_windows_drive_letter(last)) return;
  out_.resize(previous + 1);
}

void Parser::parse_opaque_path() {
  opaque_path_ = true;
  path_start_ = out_.size();
  std::size_t end = p_;
  while (end < in_.size() && in_[end] != '?' && in_[end] != '#') ++end;
  detail::percent_encode(out_, in_.substr(p_, end - p_), detail::kC0ControlSet);
  p_ = end;
}

void Parser::parse_query_and_fragment() {
  if (!at_end() && in_[p_] == '?') {
    query_start_ = out_.size();
    out_.push_back('?');
    ++p_;
    std::size_t end = in_.find('#', p_);
    if (end == std::string_view::npos) end = in_.size();
    detail::percent_encode(out_, in_.substr(p_, end - p_), special_ ? detail::kSpecialQuerySet : detail::kQuerySet);
    p_ = end;
  }
  if (!at_end() && in_[p_] == '#') {
    fragment_start_ = out_.size();
    out_.push_back('#');
    detail::percent_encode(out_, in_.substr(p_ + 1), detail::kFragmentSet);
    p_ = in_.size();
  }
}

Url Parser::finish() {
  Url url;
  auto narrow = [](std::size_t v) { return static_cast<std::uint32_t>(v); };
  url.scheme_end_ = narrow(scheme_end_);
  url.username_start_ = narrow(username_start_);
  url.username_end_ = narrow(username_end_);
  url.host_start_ = narrow(host_start_);
  url.host_end_ = narrow(host_end_);
  url.path_start_ = narrow(path_start_);
  if (query_start_ != SIZE_MAX) url.query_start_ = narrow(query_start_);
  if (fragment_start_ != SIZE_MAX) url.fragment_start_ = narrow(fragment_start_);
  if (port_ >= 0) url.port_ = static_cast<std::uint16_t>(port_);
  url.host_kind_ = host_kind_;
  url.opaque_path_ = opaque_path_;
  url.special_ = special_;
  url.serialization_ = std::move(out_);
  return url;
}

std::string_view Url::username() const { return slice(username_start_, username_end_); }

std::string_view Url::password() const {
  if (username_end_ >= host_start_ || serialization_[username_end_] != ':') return {};
  return slice(username_end_ + 1, host_start_ - 1);
}

std::optional<std::string_view> Url::query() const {
  if (!query_start_) return std::nullopt;
  return slice(*query_start_ + 1, fragment_or_end());
}

std::optional<std::string_view> Url::fragment() const {
  if (!fragment_start_) return std::nullopt;
  return slice(*fragment_start_ + 1, serialization_.size());
}

Result<Url> parse(std::string_view input) {
  std::string storage;
  return Parser(clean_input(input, storage)).run();
}

std::string serialize(const Url& url) { return std::string(url.href()); }

}  // namespace zevo::url

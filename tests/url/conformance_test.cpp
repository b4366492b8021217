// The web-platform-tests URL data (tests/url/data), run without a base URL. Where this URL
// library is known to answer otherwise, url-2.5.7-differences.json gives its answer; code
// points that ICU 72's UTS 46 data does not know yet are skipped.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "text/utf8.hpp"
#include "url/url.hpp"

namespace {

using nlohmann::json;

const std::string kDataDir = std::string(ZEVO_SOURCE_DIR) + "/tests/url/data/";

// Lone surrogates cannot live in UTF-8 text; they become U+FDD0 and their cases are skipped.
constexpr char32_t kLoneSurrogateMark = 0xFDD0;

bool is_escape_of(const std::string& s, std::size_t i, char lo, char hi) {
  if (i + 6 > s.size() || s[i] != '\\' || s[i + 1] != 'u') return false;
  const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 2])));
  const char e = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 3])));
  return d == 'd' && e >= lo && e <= hi;
}

json load(const std::string& name) {
  std::ifstream file(kDataDir + name, std::ios::binary);
  std::stringstream buffer;
  buffer << file.rdbuf();
  std::string text = buffer.str();
  for (std::size_t i = 0; i + 6 <= text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      ++i;  // an escaped backslash, not the start of an escape
      continue;
    }
    if (is_escape_of(text, i, '8', 'b')) {
      if (is_escape_of(text, i + 6, 'c', 'f')) {
        i += 11;
        continue;
      }
      text.replace(i, 6, "\\uFDD0");
    } else if (is_escape_of(text, i, 'c', 'f')) {
      text.replace(i, 6, "\\uFDD0");
    }
  }
  return json::parse(text);
}

struct Ranges {
  std::vector<std::pair<char32_t, char32_t>> list;
  bool contains(char32_t c) const {
    for (const auto& [lo, hi] : list) {
      if (c >= lo && c <= hi) return true;
    }
    return false;
  }
};

struct Differences {
  std::map<std::string, json> urltestdata, toascii, idna;
  Ranges icu_gap;
};

const Differences& differences() {
  static const Differences d = [] {
    Differences out;
    const json all = load("url-2.5.7-differences.json");
    for (const json& e : all["urltestdata"]) out.urltestdata[e["input"]] = e;
    for (const json& e : all["toascii"]) out.toascii[e["input"]] = e;
    for (const json& e : all["IdnaTestV2"]) out.idna[e["input"]] = e;
    const json& gap = all["icu72_uts46_vs_idna_1_1_0"];
    auto add = [&](const std::string& range) {
      const auto dots = range.find("..");
      const auto lo = static_cast<char32_t>(std::stoul(range.substr(0, dots), nullptr, 16));
      const auto hi =
          dots == std::string::npos ? lo : static_cast<char32_t>(std::stoul(range.substr(dots + 2), nullptr, 16));
      out.icu_gap.list.emplace_back(lo, hi);
    };
    for (const json& r : gap["rejected_by_icu72_accepted_by_url_2_5_7"]) add(r.get<std::string>());
    for (const auto& [cp, _] : gap["mapped_differently"].items()) add(cp);
    return out;
  }();
  return d;
}

// Why a case is left out, or nothing when it runs.
const char* skip_reason(const std::string& input) {
  for (std::size_t i = 0; i < input.size();) {
    const char32_t c = zevo::text::decode_utf8(input, i);
    if (c == kLoneSurrogateMark) return "lone surrogate";
    if (differences().icu_gap.contains(c)) return "ICU 72 data";
  }
  return nullptr;
}

struct Tally {
  int passed = 0;
  int overridden = 0;  // of the passed: expecting the differences file's answer instead of the data's
  std::map<std::string, int> skipped;  // by reason
  int failed = 0;

  void skip(const char* reason) { ++skipped[reason]; }
  void report(const char* name) const {
    int total = 0;
    std::string reasons;
    for (const auto& [reason, count] : skipped) {
      total += count;
      reasons += (reasons.empty() ? "" : ", ") + std::to_string(count) + " " + reason;
    }
    std::printf("%s: %d passed (%d of them overridden by the differences file), %d skipped (%s), %d failed\n",
                name, passed, overridden, total, reasons.c_str(), failed);
  }
};

std::string describe(const zevo::Result<zevo::url::Url>& r) {
  return r ? "href " + std::string(r->href()) : "error \"" + r.error() + "\"";
}

std::string port_text(const zevo::url::Url& url) { return url.port() ? std::to_string(*url.port()) : ""; }

std::string host_text(const zevo::url::Url& url) {
  std::string host(url.host());
  if (url.port()) host += ":" + port_text(url);
  return host;
}

std::string search(const zevo::url::Url& url) {
  const auto q = url.query();
  return q && !q->empty() ? "?" + std::string(*q) : "";
}

std::string hash(const zevo::url::Url& url) {
  const auto f = url.fragment();
  return f && !f->empty() ? "#" + std::string(*f) : "";
}

// Compares every component the data gives; returns what differs, or "".
std::string compare_components(const zevo::url::Url& url, const json& e) {
  const std::pair<const char*, std::string> got[] = {
      {"href", std::string(url.href())},
      {"protocol", std::string(url.scheme()) + ":"},
      {"username", std::string(url.username())},
      {"password", std::string(url.password())},
      {"host", host_text(url)},
      {"hostname", std::string(url.host())},
      {"port", port_text(url)},
      {"pathname", std::string(url.path())},
      {"search", search(url)},
      {"hash", hash(url)},
  };
  std::string diff;
  for (const auto& [key, value] : got) {
    if (e.contains(key) && e[key].get<std::string>() != value) {
      diff += std::string(" ") + key + ": want \"" + e[key].get<std::string>() + "\" got \"" + value + "\";";
    }
  }
  return diff;
}

TEST(UrlConformance, UrlTestDataWithoutBase) {
  Tally tally;
  for (const json& e : load("urltestdata.json")) {
    if (!e.is_object() || !e.contains("base") || !e["base"].is_null()) continue;
    const std::string input = e["input"];
    if (const char* reason = skip_reason(input)) {
      tally.skip(reason);
      continue;
    }
    const auto result = zevo::url::parse(input);
    std::string problem;
    const auto diff = differences().urltestdata.find(input);
    if (diff != differences().urltestdata.end()) {
      const json& d = diff->second;
      if (d.contains("url_2_5_7_error")) {
        if (result || result.error() != d["url_2_5_7_error"].get<std::string>()) {
          problem = "want error \"" + d["url_2_5_7_error"].get<std::string>() + "\"";
        }
      } else if (!result || result->href() != d["url_2_5_7_href"].get<std::string>()) {
        problem = "want href " + d["url_2_5_7_href"].get<std::string>();
      }
      if (problem.empty()) ++tally.overridden;
    } else if (e.value("failure", false)) {
      if (result) problem = "want failure";
    } else if (!result) {
      problem = "want href " + e["href"].get<std::string>();
    } else {
      problem = compare_components(*result, e);
    }
    if (problem.empty()) {
      ++tally.passed;
    } else {
      ++tally.failed;
      ADD_FAILURE() << "input \"" << input << "\": " << problem << "; got " << describe(result);
    }
  }
  tally.report("urltestdata.json (no base)");
  EXPECT_EQ(tally.passed, 555);
}

// Host cases, parsed as the host of "https://INPUT/x" as the web-platform-tests harness does.
void run_host_cases(const char* file, const std::map<std::string, json>& overrides) {
  Tally tally;
  for (const json& e : load(file)) {
    if (!e.is_object()) continue;
    const std::string input = e["input"];
    // The empty input would make "https:///x", whose host is "x".
    if (const char* reason = input.empty() ? "empty input" : skip_reason(input)) {
      tally.skip(reason);
      continue;
    }
    std::optional<std::string> want;  // nothing: failure
    if (!e["output"].is_null()) want = e["output"].get<std::string>();
    std::string want_error;
    const auto diff = overrides.find(input);
    if (diff != overrides.end()) {
      want.reset();
      if (diff->second.contains("url_2_5_7_host")) want = diff->second["url_2_5_7_host"].get<std::string>();
      if (diff->second.contains("url_2_5_7_error")) want_error = diff->second["url_2_5_7_error"].get<std::string>();
    }
    const auto result = zevo::url::parse("https://" + input + "/x");
    bool pass;
    if (want) {
      pass = result && result->host() == *want && result->href() == "https://" + *want + "/x";
    } else {
      pass = !result && (want_error.empty() || result.error() == want_error);
    }
    if (pass) {
      ++tally.passed;
      if (diff != overrides.end()) ++tally.overridden;
    } else {
      ++tally.failed;
      ADD_FAILURE() << file << " input \"" << input << "\": want " << (want ? "host " + *want : "failure")
                    << "; got " << describe(result);
    }
  }
  tally.report(file);
  EXPECT_GT(tally.passed, 0);
}

TEST(UrlConformance, IdnaTestV2Hosts) { run_host_cases("IdnaTestV2.json", differences().idna); }

TEST(UrlConformance, ToAsciiHosts) { run_host_cases("toascii.json", differences().toascii); }

}  // namespace

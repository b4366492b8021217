// Replays the recorded sessions of tests/e2e/corpus/ through the built server
// and compares standard output, standard error and the exit code byte for byte.
// On a difference it names the first differing frame (the request's id and
// method), not the whole stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(ZEVO_SOURCE_DIR) / "tests" / "e2e" / "corpus";

// Large sessions under the sanitizers take longer than the usual timeout.
constexpr std::chrono::milliseconds kReplayTimeout{120000};

struct Recorded {
  std::string name;
  int exit_code = 0;
};

std::string read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<Recorded> recorded_sessions() {
  std::vector<Recorded> sessions;
  std::istringstream listing(read_bytes(kCorpus / "sessions.txt"));
  Recorded session;
  while (listing >> session.name >> session.exit_code) sessions.push_back(session);
  return sessions;
}

// Both texts around their first differing byte; a missing one shows as <none>.
std::string side_by_side(const std::vector<std::string>& want, const std::vector<std::string>& got, std::size_t i) {
  constexpr std::size_t kBefore = 120;
  constexpr std::size_t kShown = 400;
  const std::string none = "<none>";
  const std::string& a = i < want.size() ? want[i] : none;
  const std::string& b = i < got.size() ? got[i] : none;
  const std::size_t at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
  const std::size_t from = at > kBefore ? at - kBefore : 0;
  auto excerpt = [&](const std::string& text) {
    return (from > 0 ? "..." : "") + text.substr(std::min(from, text.size()), kShown) +
           (text.size() > from + kShown ? "..." : "");
  };
  return " (first difference at byte " + std::to_string(at) + " of " + std::to_string(a.size()) + ")" +
         "\n  expected: " + excerpt(a) + "\n  actual:   " + excerpt(b);
}

// The id text of a response, as it stands after "id": in the envelope.
std::string id_of(std::string_view body) {
  constexpr std::string_view kPrefix = R"({"jsonrpc":"2.0","id":)";
  if (body.substr(0, kPrefix.size()) != kPrefix) return "";
  body.remove_prefix(kPrefix.size());
  const std::size_t end = std::min(body.find(R"(,"result":)"), body.find(R"(,"error":)"));
  return std::string(body.substr(0, end));
}

// The method of the request with this id text in the session's input.
std::string method_of(const std::string& input, const std::string& id) {
  const std::string key = R"({"jsonrpc":"2.0","id":)" + id + R"(,"method":")";
  for (const auto& body : frames_of(input)) {
    if (body.rfind(key, 0) == 0) return body.substr(key.size(), body.find('"', key.size()) - key.size());
  }
  return "?";
}

std::string first_difference(const std::string& input, const std::string& expected, const std::string& actual) {
  const std::vector<std::string> want = frames_of(expected);
  const std::vector<std::string> got = frames_of(actual);
  const std::size_t common = std::min(want.size(), got.size());
  std::size_t i = 0;
  while (i < common && want[i] == got[i]) ++i;
  if (i == common && want.size() == got.size()) {
    const auto at = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    return "same frames, framing differs at byte " + std::to_string(at.first - expected.begin());
  }
  std::string where = "frame " + std::to_string(i);
  const std::string& sample = i < want.size() ? want[i] : got[i];
  const std::string id = id_of(sample);
  if (!id.empty()) where += " (id " + id + ", " + method_of(input, id) + ")";
  return where + side_by_side(want, got, i);
}

std::string first_log_difference(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> want = split_lines(expected);
  const std::vector<std::string> got = split_lines(actual);
  std::size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
  return "log line " + std::to_string(i) + side_by_side(want, got, i);
}

// One test over every session: the listing is read when the test runs, so a
// session added to the data is replayed without the test list being refreshed.
TEST(AnswerCorpus, EverySessionReplaysToTheSameBytes) {
  const std::vector<Recorded> sessions = recorded_sessions();
  ASSERT_FALSE(sessions.empty());
  for (const Recorded& recorded : sessions) {
    SCOPED_TRACE("session " + recorded.name);
    const std::string input = read_bytes(kCorpus / (recorded.name + ".in"));
    const std::string expected_out = read_bytes(kCorpus / (recorded.name + ".out"));
    const std::string expected_err = read_bytes(kCorpus / (recorded.name + ".err"));
    ASSERT_FALSE(input.empty()) << recorded.name << ".in is missing";

    const Session session = run_session(input, kReplayTimeout);
    EXPECT_EQ(session.exit_code, recorded.exit_code);
    EXPECT_TRUE(session.stdout_bytes == expected_out)
        << "standard output differs: " << first_difference(input, expected_out, session.stdout_bytes);
    EXPECT_TRUE(session.stderr_bytes == expected_err)
        << "standard error differs: " << first_log_difference(expected_err, session.stderr_bytes);
  }
}

// A session file that the listing misses would never be replayed.
TEST(AnswerCorpus, ListingNamesEverySessionOfTheFolder) {
  std::set<std::string> listed;
  for (const auto& session : recorded_sessions()) listed.insert(session.name);
  ASSERT_FALSE(listed.empty());
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    const auto extension = entry.path().extension();
    if (extension == ".in" || extension == ".out" || extension == ".err") {
      EXPECT_TRUE(listed.count(entry.path().stem().string())) << entry.path().filename() << " is not listed";
    }
  }
}

}  // namespace
}  // namespace zevo::testing

// The parser conformance files: y_* must be accepted, n_* rejected, i_* may
// go either way. Each body goes through the UTF-8 check first, as on the wire.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/json.hpp"
#include "text/utf8.hpp"

namespace zevo::json {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  bool accepted;
  std::string error;
};

Outcome read_body(const std::string& body) {
  if (auto bad = text::utf8_error(body)) return {false, "Invalid UTF-8: " + *bad};
  auto value = parse(body);
  if (!value.ok()) return {false, "Invalid JSON: " + value.error()};
  // What was accepted must also write back as text that reads again.
  const std::string written = to_text(*value);
  auto again = parse(written);
  if (!again.ok()) return {false, "written form does not read again: " + again.error()};
  if (to_text(*again) != written) return {false, "written form changes on a second round"};
  return {true, ""};
}

std::vector<fs::path> files_with_prefix(char prefix) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(ZEVO_SOURCE_DIR) / "tests/json/data/test_parsing")) {
    if (entry.path().filename().string().front() == prefix) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Conformance, AcceptsEveryY) {
  const auto files = files_with_prefix('y');
  EXPECT_EQ(files.size(), 95u);
  for (const auto& path : files) {
    const Outcome outcome = read_body(contents(path));
    EXPECT_TRUE(outcome.accepted) << path.filename() << ": " << outcome.error;
  }
}

TEST(Conformance, RejectsEveryN) {
  const auto files = files_with_prefix('n');
  EXPECT_EQ(files.size(), 188u);
  for (const auto& path : files) {
    EXPECT_FALSE(read_body(contents(path)).accepted) << path.filename();
  }
}

TEST(Conformance, ImplementationDefinedOnesEndCleanly) {
  const auto files = files_with_prefix('i');
  EXPECT_EQ(files.size(), 35u);
  for (const auto& path : files) {
    const Outcome outcome = read_body(contents(path));
    // A rejection always says why and where.
    if (!outcome.accepted) {
      EXPECT_NE(outcome.error.find("Invalid "), std::string::npos) << path.filename();
    }
  }
}

}  // namespace
}  // namespace zevo::json

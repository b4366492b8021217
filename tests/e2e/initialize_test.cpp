// initialize through the real binary, with the parameters a current editor sends.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/lsp_server.hpp"

namespace zevo::testing {
namespace {

std::string fixture(const char* name) {
  std::ifstream in(std::string("tests/e2e/fixtures/") + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(InitializeE2E, FullEditorCapabilitiesAreAccepted) {
  const std::string params = fixture("vscode_initialize_params.json");
  ASSERT_GT(params.size(), 4000u);
  const Session s = run_session(frame(request(1, "initialize", params)) + frame(request(2, "initialize", params)));
  ASSERT_EQ(s.frames.size(), 2u);
  EXPECT_EQ(s.frames[0].rfind(R"({"jsonrpc":"2.0","id":1,"result":{"capabilities":{"codeActionProvider":true,)", 0), 0u);
  // Byte-identical results.
  EXPECT_EQ(s.frames[0].substr(24), s.frames[1].substr(24));
}

TEST(InitializeE2E, OneBadLeafFailsTheWholeRequest) {
  std::string params = fixture("vscode_initialize_params.json");
  const std::string good = R"("failureHandling": "textOnlyTransactional")";
  const std::size_t at = params.find(good);
  ASSERT_NE(at, std::string::npos);
  params.replace(at, good.size(), R"("failureHandling": "undo-all")");
  const Session s = run_session(frame(request(1, "initialize", params)));
  EXPECT_EQ(s.frames,
            std::vector<std::string>{R"({"jsonrpc":"2.0","id":1,"error":{"code":-32600,"message":"Invalid initialize params"}})"});
}

}  // namespace
}  // namespace zevo::testing

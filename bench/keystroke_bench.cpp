// The keystroke round over pipes, as an editor asks it after each character
// typed in a large document: one character typed in the middle of the text,
// then the full-text didChange until its diagnostics arrive, semantic tokens,
// document symbols, code lenses, inlay hints over the 80 lines around the
// cursor and the code actions at the cursor, each waiting for the one before.
//
//   keystroke_bench [server ...]
//
// runs every given server binary (by default the zevo-lsp of this build) on
// the same documents of 1 MB and 100 KB, the servers taking turns round after
// round so that they see the same machine load, and prints per document, step
// and server the median milliseconds and the ratio to the first server.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "documents.hpp"
#include "lsp_driver.hpp"

namespace {

using namespace zevo::bench;

constexpr const char* kUri = "file:///bench/keystroke.zv";


std::string document_text(std::size_t size) { return mixed_editor_code(size); }

constexpr const char* kSteps[] = {"didChange + diagnostics", "semanticTokens/full", "documentSymbol",
                                  "codeLens",                "inlayHint",           "codeAction"};
constexpr std::size_t kStepCount = std::size(kSteps);

std::string document_params() { return std::string(R"({"textDocument":{"uri":)") + json_string(kUri) + "}"; }
std::string range_params(int first, int first_character, int last, int last_character) {
  return R"("range":{"start":{"line":)" + std::to_string(first) + R"(,"character":)" +
         std::to_string(first_character) + R"(},"end":{"line":)" + std::to_string(last) + R"(,"character":)" +
         std::to_string(last_character) + "}}";
}

// One server with the document open, typing one character per round at the
// same place in the middle of the text.
class Typist {
 public:
  Typist(const std::string& binary, const std::string& text, std::size_t cursor, int line, int column)
      : server_(binary), text_(text), cursor_(cursor), line_(line), column_(column) {
    server_.round_trip(did_open(kUri, text_));
  }

  // The seconds of each step of one round.
  std::vector<double> round() {
    text_.insert(cursor_, 1, 'a');
    ++cursor_;
    ++column_;
    std::vector<double> seconds;
    seconds.reserve(kStepCount);
    std::string body;
    seconds.push_back(server_.round_trip(did_change(kUri, ++version_, text_), &body));
    expect(body, "publishDiagnostics");
    seconds.push_back(ask("textDocument/semanticTokens/full", document_params() + "}"));
    seconds.push_back(ask("textDocument/documentSymbol", document_params() + "}"));
    seconds.push_back(ask("textDocument/codeLens", document_params() + "}"));
    const int first = line_ > 40 ? line_ - 40 : 0;
    seconds.push_back(ask("textDocument/inlayHint", document_params() + "," + range_params(first, 0, line_ + 40, 0) + "}"));
    seconds.push_back(ask("textDocument/codeAction", document_params() + "," +
                                                         range_params(line_, column_, line_, column_) +
                                                         R"(,"context":{"diagnostics":[]}})"));
    return seconds;
  }

 private:
  double ask(const std::string& method, const std::string& params) {
    std::string body;
    const double seconds = server_.round_trip(request(++id_, method, params), &body);
    expect(body, "\"result\"");
    return seconds;
  }

  static void expect(const std::string& body, std::string_view what) {
    if (body.find(what) == std::string::npos) {
      std::fprintf(stderr, "expected %.*s: %.200s\n", static_cast<int>(what.size()), what.data(), body.c_str());
      std::exit(1);
    }
  }

  Server server_;
  std::string text_;
  std::size_t cursor_;
  int line_;
  int column_;
  int version_ = 1;
  int id_ = 0;
};

struct Size {
  const char* name;
  std::size_t bytes;
  int rounds;
};
constexpr Size kSizes[] = {{"1 MB", 1u << 20, 40}, {"100 KB", 100u << 10, 200}};
constexpr int kWarmRounds = 3;

// The cursor: inside the first comment at or after the middle line, after its "// ".
void find_cursor(const std::string& text, std::size_t& offset, int& line, int& column) {
  std::size_t at = 0;
  int number = 0;
  int middle = 0;
  for (char c : text) middle += c == '\n';
  middle /= 2;
  for (;;) {
    if (number >= middle && text.compare(at, 3, "// ") == 0) break;
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) std::abort();
    at = end + 1;
    ++number;
  }
  offset = at + 3;
  line = number;
  column = 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> binaries(argv + 1, argv + argc);
  if (binaries.empty()) binaries.push_back(zevo::testing::server_binary_path());
  std::printf("| document | step | server | median ms | ratio |\n");
  std::printf("|---|---|---|---:|---:|\n");
  for (const Size& size : kSizes) {
    const std::string text = document_text(size.bytes);
    std::size_t offset = 0;
    int line = 0;
    int column = 0;
    find_cursor(text, offset, line, column);
    std::vector<std::unique_ptr<Typist>> typists;
    for (const std::string& binary : binaries) {
      typists.push_back(std::make_unique<Typist>(binary, text, offset, line, column));
    }
    for (int round = 0; round < kWarmRounds; ++round) {
      for (auto& typist : typists) typist->round();
    }
    // seconds[server][step], one value per round; the last step is the total.
    std::vector<std::vector<std::vector<double>>> seconds(
        binaries.size(), std::vector<std::vector<double>>(kStepCount + 1));
    for (int round = 0; round < size.rounds; ++round) {
      for (std::size_t b = 0; b < typists.size(); ++b) {
        const std::vector<double> steps = typists[b]->round();
        double total = 0;
        for (std::size_t s = 0; s < kStepCount; ++s) {
          seconds[b][s].push_back(steps[s]);
          total += steps[s];
        }
        seconds[b][kStepCount].push_back(total);
      }
    }
    for (std::size_t s = 0; s <= kStepCount; ++s) {
      const double first = quantile(seconds[0][s], 0.5);
      for (std::size_t b = 0; b < binaries.size(); ++b) {
        const double median = quantile(seconds[b][s], 0.5);
        std::printf("| %s | %s | %zu | %.2f | %.2f |\n", size.name, s < kStepCount ? kSteps[s] : "**round**",
                    b + 1, median * 1000, median / first);
      }
    }
    std::fflush(stdout);
  }
  return 0;
}

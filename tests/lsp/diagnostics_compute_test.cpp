// The missing-closing-brace diagnostic, computed from a document's text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "lsp/diagnostics.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

struct Case {
  const char* name;
  std::string text;
  const char* message;  // null: no diagnostic
};

TEST(ComputeDiagnostics, MoreOpeningThanClosingBraces) {
  const Case cases[] = {
      {"empty text", "", nullptr},
      {"one open function", "fonksiyon ana() {", "Eksik kapatma parantezi: 1 açılış, 0 kapanış"},
      {"balanced", "fonksiyon ana() {\n  eğer a { b }\n}\n", nullptr},
      {"brace in a string", "yaz(\"{\")", "Eksik kapatma parantezi: 1 açılış, 0 kapanış"},
      {"brace in a comment", "// {\n/* { */ x", "Eksik kapatma parantezi: 2 açılış, 0 kapanış"},
      {"more closing", "}}{", nullptr},
      {"closing first, counts equal", "} {", nullptr},
      {"text that does not parse", "@@ {{ } &", "Eksik kapatma parantezi: 2 açılış, 1 kapanış"},
      {"multi-byte text around", "ğüş{ş}ı{", "Eksik kapatma parantezi: 2 açılış, 1 kapanış"},
      {"large counts", std::string(1234, '{') + std::string(1000, '}'),
       "Eksik kapatma parantezi: 1234 açılış, 1000 kapanış"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Diagnostic> diagnostics = compute_diagnostics(c.text);
    if (c.message == nullptr) {
      EXPECT_TRUE(diagnostics.empty());
      continue;
    }
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0].message, c.message);
  }
}

// Wherever the braces stand, the record is the same apart from its counts.
TEST(ComputeDiagnostics, RecordAsWritten) {
  const std::vector<Diagnostic> diagnostics = compute_diagnostics("x = 1\n\n  y = {\n");
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(written(diagnostics[0]),
            R"({"message":"Eksik kapatma parantezi: 1 açılış, 0 kapanış",)"
            R"("range":{"end":{"character":1,"line":0},"start":{"character":0,"line":0}},)"
            R"("severity":1,"source":"ZEVO"})");
}

// A nesting no parse can follow still gets its brace check, and the parse does
// not exhaust the stack on the way.
TEST(ComputeDiagnostics, DeeplyNestedTextStillChecked) {
  const std::string text = std::string(200000, '(') + std::string(100000, '{');
  const std::vector<Diagnostic> diagnostics = compute_diagnostics(text);
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0].message, "Eksik kapatma parantezi: 100000 açılış, 0 kapanış");
}

}  // namespace
}  // namespace zevo::lsp

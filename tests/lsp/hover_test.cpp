#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "lsp/hover.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

// Index of the row that holds `trigger`, or -1.
int row_of(std::string_view trigger) {
  for (std::size_t i = 0; i < HOVER_TEXTS.size(); ++i) {
    for (std::string_view t : HOVER_TEXTS[i].triggers) {
      if (!t.empty() && t == trigger) return static_cast<int>(i);
    }
  }
  return -1;
}

TEST(HoverTexts, EveryRowHasItsTriggersAndByteLength) {
  struct Case {
    std::string_view first;
    std::string_view second;  // empty: the row has one trigger
    std::size_t bytes;
  };
  const Case cases[] = {
      {"@public", "@halka_açık", 588},
      {"@exportable", "@ihraç_edilebilir", 705},
      {"@domestic_only", "@yurtiçi", 715},
      {"@classified", "@gizli", 734},
      {"@hal_safe", "", 540},
      {"@realtime", "", 641},
      {"@dma_safe", "", 560},
      {"@no_alloc", "", 553},
      {"@wcet", "", 507},
      {"@deadline", "", 445},
      {"@critical", "", 517},
      {"@certified", "", 583},
      {"@stack_limit", "", 569},
      {"if", "eğer", 141},
      {"iken", "while", 104},
      {"function", "fonksiyon", 193},
      {"let", "değişken", 154},
      {"sabit", "const", 144},
      {"dön", "return", 99},
      {"yapı", "struct", 124},
      {"bölge", "region", 172},
      {"i32", "tamsayı", 104},
      {"f64", "ondalık", 88},
      {"bool", "", 82},
      {"metin", "string", 61},
      {"true", "doğru", 70},
      {"false", "yanlış", 74},
  };
  ASSERT_EQ(std::size(cases), HOVER_TEXTS.size());
  for (std::size_t i = 0; i < HOVER_TEXTS.size(); ++i) {
    const HoverText& row = HOVER_TEXTS[i];
    EXPECT_EQ(row.triggers[0], cases[i].first) << "row " << i + 1;
    EXPECT_EQ(row.triggers[1], cases[i].second) << "row " << i + 1;
    EXPECT_EQ(row.text.size(), cases[i].bytes) << "row " << i + 1;
    EXPECT_NE(row.text.back(), '\n') << "row " << i + 1;
  }
}

TEST(HoverTexts, TriggersAreUniqueAndAnnotationsStartWithAt) {
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < HOVER_TEXTS.size(); ++i) {
    for (std::string_view t : HOVER_TEXTS[i].triggers) {
      if (t.empty()) continue;
      EXPECT_TRUE(seen.insert(t).second) << t;
      EXPECT_EQ(t.front() == '@', i < 13) << t;
    }
  }
}

TEST(HoverTexts, ExactBytesOfSampleRows) {
  EXPECT_EQ(HOVER_TEXTS[13].text,
            "**Şart İfadesi / Conditional Statement**\n\n```zevo\neğer koşul ise\n  // kod\ndeğilse\n  // kod\n"
            "son\n```\n\nKoşullu kod bloğu çalıştırır.");
  EXPECT_EQ(HOVER_TEXTS[23].text, "**Boolean Türü**\n\nMantıksal değer: `doğru` / `true` veya `yanlış` / `false`");
  EXPECT_EQ(HOVER_TEXTS[21].text,
            "**Tamsayı Türü / Integer Type**\n\n32-bit işaretli tam sayı (-2,147,483,648 ile 2,147,483,647 arası)");
  // Emoji with variation selectors and the escaped quotation marks.
  const std::string_view realtime = HOVER_TEXTS[5].text;
  EXPECT_EQ(realtime.substr(0, realtime.find('\n')), "**\u23F1\uFE0F Real-Time Annotation / Gerçek Zamanlı Anotasyon**");
  EXPECT_NE(HOVER_TEXTS[2].text.find("**\u26A0\uFE0F Cannot be exported**"), std::string_view::npos);
  EXPECT_NE(HOVER_TEXTS[6].text.find("@dma_safe(channel: \"DMA2_CH3\", size: 4096)\n"), std::string_view::npos);
}

TEST(HoverWordAt, AtSignAndEdgeRules) {
  struct Case {
    std::string_view line;
    std::size_t column;
    std::optional<std::string_view> word;
  };
  const Case cases[] = {
      {"if x", 0, "if"},
      {"if x", 1, "if"},
      {"if x", 2, "if"},  // right after the word, another character follows
      {"if x", 3, "x"},
      {"if", 2, std::nullopt},  // the end of the line
      {"if", 99, std::nullopt},
      {"  @public", 2, "@public"},  // on the leading "@"
      {"  @public", 3, "@public"},
      {"  @public", 8, "@public"},
      {"  @public", 1, std::nullopt},  // a blank with a blank before it
      {"a@public", 2, "a@public"},     // "@" is taken in on the left wherever it stands
      {"a@public", 1, "a"},            // an "@" under the cursor with a letter on its left
      {"if@x", 0, "if"},               // the right scan stops at "@"
      {"x@if", 2, "x@if"},
      {"@", 0, "@"},
      {"@@a", 1, "@"},  // the right scan does not pass the second "@"
      {"a @", 2, "@"},
      {"(x)", 0, std::nullopt},
      {"(x)", 2, "x"},  // ")" after the word: the word on its left
      {"değişken x", 8, "değişken"},
      {"değişken x", 9, "x"},
      {"değişken x", 10, std::nullopt},
      {"😀😀 if", 5, "if"},
      {"😀😀 if", 7, std::nullopt},
      {"😀😀 if", 1, std::nullopt},  // between the units of an emoji: that emoji, no word
      {"x😀y", 2, "x"},              // inside the emoji after "x": the emoji, "x" on its left
      {"if\r", 2, "if"},             // a kept "\r" is a character like any other
      {"", 0, std::nullopt},
      {"_a1", 1, "_a1"},
      {"٣x", 0, "٣x"},  // an Arabic-Indic digit (Nd) is an identifier character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hover_word_at(c.line, c.column), c.word) << "«" << c.line << "» column " << c.column;
  }
}

HoverParams at(uint32_t line, uint32_t character) {
  return HoverParams{TextDocumentPositionParams{TextDocumentIdentifier{"file:///a.zv"}, Position{line, character}}};
}

TEST(HoverForPosition, LinesColumnsAndLookup) {
  struct Case {
    std::string_view text;
    uint32_t line, character;
    std::string_view trigger;  // empty: no hover
  };
  const Case cases[] = {
      {"if x", 0, 1, "if"},
      {"x\n  @halka_açık\n", 1, 4, "@public"},
      {"// eğer", 0, 4, "if"},  // no notion of comments
      {"a\r\nyanlış", 1, 0, "false"},
      {"if\r\nx", 0, 2, ""},  // "\r" goes with the line feed: column 2 is the end
      {"x\nif\r", 1, 2, "if"},  // a last line keeps its "\r"
      {"if\n", 1, 0, ""},      // no empty line after a final line feed
      {"", 0, 0, ""},
      {"If", 0, 0, ""},
      {"IF", 0, 0, ""},
      {"i32x", 0, 0, ""},
      {"i32", 0, 0, "i32"},
      {"a@public", 0, 3, ""},
      {"@", 0, 0, ""},
      {"x = bool", 0, 5, "bool"},
      {"@stack_limit(512)", 0, 0, "@stack_limit"},
      {"@realtime(deadline: 10ms)", 0, 10, ""},  // "deadline" is no trigger; "@deadline" is
      {"f(@deadline)", 0, 5, "@deadline"},
  };
  for (const auto& c : cases) {
    const auto hover = hover_for_position(at(c.line, c.character), c.text);
    const std::string where = "«" + std::string(c.text) + "» " + std::to_string(c.line) + ":" +
                              std::to_string(c.character);
    if (c.trigger.empty()) {
      EXPECT_FALSE(hover) << where;
      continue;
    }
    ASSERT_TRUE(hover) << where;
    EXPECT_EQ(hover->contents.kind, "markdown") << where;
    EXPECT_EQ(hover->contents.value, HOVER_TEXTS[row_of(c.trigger)].text) << where;
    EXPECT_FALSE(hover->range) << where;
  }
}

TEST(HoverForPosition, BothTriggersOfARowGiveItsText) {
  for (const HoverText& row : HOVER_TEXTS) {
    for (std::string_view trigger : row.triggers) {
      if (trigger.empty()) continue;
      const std::string line = "  " + std::string(trigger) + " ";
      const auto hover = hover_for_position(at(0, 2), line);
      ASSERT_TRUE(hover) << trigger;
      EXPECT_EQ(hover->contents.value, row.text);
    }
  }
}

TEST(HandleHover, BadParametersAreInvalidRequest) {
  const ServerState state;
  const Params cases[] = {
      std::nullopt,
      nlohmann::json::array({nlohmann::json{{"uri", "file:///a.zv"}}, nlohmann::json{{"line", 0}, {"character", 0}}}),
      nlohmann::json{{"textDocument", {{"uri", "file:///a.zv"}}}},  // no position
      nlohmann::json{{"textDocument", {{"uri", "not a uri"}}}, {"position", {{"line", 0}, {"character", 0}}}},
      nlohmann::json{{"textDocument", {{"uri", "file:///a.zv"}}}, {"position", {{"line", -1}, {"character", 0}}}},
  };
  for (const auto& params : cases) {
    const Answer result = answer_of(handle_hover, params, state);
    ASSERT_NE(result.error(), nullptr) << (params ? params->dump() : "absent");
    EXPECT_EQ(result.error()->code, -32600);
    EXPECT_EQ(result.error()->message, "Invalid hover params");
    EXPECT_FALSE(result.error()->data);
  }
}

}  // namespace
}  // namespace zevo::lsp

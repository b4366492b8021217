#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/rename.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

struct WordCase {
  std::string_view text;
  uint32_t line;
  uint32_t character;
  std::optional<std::string_view> word;  // nothing: no word at the cursor
  uint32_t start = 0;
  uint32_t end = 0;
};

TEST(WordAtPosition, TakesTheIdentifierRunAroundTheCursor) {
  const WordCase cases[] = {
      {"let sayı = 5", 0, 5, "sayı", 4, 8},
      {"let sayı = 5", 0, 4, "sayı", 4, 8},
      {"let sayı = 5", 0, 8, "sayı", 4, 8},   // the blank right after the word
      {"let sayı = 5", 0, 3, "let", 0, 3},    // two words apart: the left one
      {"let sayı = 5", 0, 11, "5", 11, 12},
      {"let sayı = 5", 0, 12, std::nullopt},  // the end of the line
      {"let sayı = 5", 0, 400, std::nullopt},
      {"let sayı = 5", 0, 9, std::nullopt},   // "= " holds no identifier character
      {"x+y", 0, 1, "x", 0, 1},
      {"y = x + 1", 0, 0, "y", 0, 1},
      {"değişken çarp = 1", 0, 10, "çarp", 9, 13},
      {"😀 ab", 0, 3, "ab", 3, 5},             // the emoji counts two columns
      {"😀 ab", 0, 2, std::nullopt},            // an emoji is no identifier character
      {"😀 ab", 0, 1, std::nullopt},            // inside the pair: the emoji itself
      {"x2_ğ٣ + 1", 0, 2, "x2_ğ٣", 0, 5},       // digits of any script, "_" and Turkish letters
      {"let x = 5\n\n\n\ny = x + 1", 4, 4, "x", 4, 5},
      {"let x = 5\n\n\n\ny = x + 1", 4, 5, "x", 4, 5},
      {"a\n\nb", 1, 0, std::nullopt},           // an empty line has no word
      {"ab\r\n", 0, 2, std::nullopt},           // the "\r" before "\n" is not part of the line
      {"ab\rc", 0, 2, "ab", 0, 2},              // a lone "\r" is a character of the line
      {"let x\n", 1, 0, std::nullopt},          // no line after the final "\n"
      {"", 0, 0, std::nullopt},
  };
  for (const WordCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.line) + ":" + std::to_string(c.character));
    const auto found = word_at_position(c.text, c.line, c.character);
    ASSERT_EQ(found.has_value(), c.word.has_value());
    if (!found) continue;
    EXPECT_EQ(found->word, *c.word);
    EXPECT_EQ(found->range, (Range{{c.line, c.start}, {c.line, c.end}}));
  }
}

TEST(WholeWordOccurrences, CountsOnlyOccurrencesBetweenNonIdentifierCharacters) {
  struct Case {
    std::string_view line;
    std::string_view word;
    std::vector<WordOccurrence> expected;
  };
  const Case cases[] = {
      {"let x = x + 1", "x", {{4, 4, 5}, {8, 8, 9}}},
      {"x2 = x + xx", "x", {{5, 5, 6}}},
      {"let xs = 1", "x", {}},
      {"ax x; _x x_", "x", {{3, 3, 4}}},
      {"a.a", "a", {{0, 0, 1}, {2, 2, 3}}},
      {"aaa aa", "aa", {{4, 4, 6}}},            // the search resumes one character after each start
      {"aa_aa aaaa aa", "aa", {{11, 11, 13}}},  // nor does one inside a longer run count
      {"abçab ab", "ab", {{7, 6, 8}}},          // a run that goes on in a Turkish letter
      {"ab😀ab.ab", "ab", {{0, 0, 2}, {6, 4, 6}, {9, 7, 9}}},
      {"😀 = x", "x", {{7, 5, 6}}},             // byte offset 7, column 5
      {"çarp+çarp", "çarp", {{0, 0, 4}, {6, 5, 9}}},
      {"ğx ğ", "ğ", {{4, 3, 4}}},
      {"Sayı sayı", "sayı", {{6, 5, 9}}},       // case-sensitive
      {"\x80x \xC3x", "x", {{1, 1, 2}, {4, 4, 5}}},  // a stray byte stands alone, no identifier character
      {"", "x", {}},
      {"x", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line) + " / " + std::string(c.word));
    EXPECT_EQ(whole_word_occurrences(c.line, c.word), c.expected);
  }
}

TEST(ReservedWords, HoldTheFortyEightWordsByteForByte) {
  const std::set<std::string_view> distinct(RESERVED_WORDS.begin(), RESERVED_WORDS.end());
  EXPECT_EQ(distinct.size(), 48u);
  // Byte lengths never decrease along the table, from 2 to 10.
  for (std::size_t i = 1; i < RESERVED_WORDS.size(); ++i) {
    EXPECT_LE(RESERVED_WORDS[i - 1].size(), RESERVED_WORDS[i].size()) << RESERVED_WORDS[i];
  }
  EXPECT_EQ(RESERVED_WORDS.front().size(), 2u);
  EXPECT_EQ(RESERVED_WORDS.back().size(), 10u);
  for (std::string_view word : RESERVED_WORDS) EXPECT_TRUE(is_reserved_word(word)) << word;

  for (std::string_view word : {"eğer", "Sayı", "print", "null", "Mantıksal", "değişken", "ve", "Real"}) {
    EXPECT_TRUE(is_reserved_word(word)) << word;
  }
  for (std::string_view word : {"Eğer", "Let", "LET", "tamsayı", "yoksa", "ana", "son", "bölge", "modül", "metin",
                                "", "v", "değişkenler", "değişken ", "real"}) {
    EXPECT_FALSE(is_reserved_word(word)) << word;
  }
}

ServerState open_state(const std::vector<std::pair<std::string, std::string>>& documents) {
  ServerState state;
  for (const auto& [uri, text] : documents) open_document(state, uri, text);
  return state;
}

std::string dumped(const Answer& result) {
  if (!result.ok()) return "error " + std::to_string(result.error()->code) + " " + result.error()->message;
  return result.text;
}

json position_params(std::string_view uri, uint32_t line, uint32_t character) {
  return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

TEST(PrepareRename, AnswersTheWordAndItsRangeUnlessReserved) {
  const ServerState state = open_state({
      {"file:///a.zv", "let sayı = 5"},
      {"file:///b.zv", "eğer Sayı print null\nEğer tamsayı yoksa ana"},
      {"file:///c.zv", "değişken çarp = 1\n😀 ab"},
  });
  struct Case {
    std::string_view uri;
    uint32_t line;
    uint32_t character;
    std::string_view expected;
  };
  const Case cases[] = {
      {"file:///a.zv", 0, 5, R"({"placeholder":"sayı","range":{"end":{"character":8,"line":0},"start":{"character":4,"line":0}}})"},
      {"file:///a.zv", 0, 8, R"({"placeholder":"sayı","range":{"end":{"character":8,"line":0},"start":{"character":4,"line":0}}})"},
      {"file:///a.zv", 0, 3, "null"},   // "let" is reserved
      {"file:///a.zv", 0, 12, "null"},  // the end of the line
      {"file:///a.zv", 1, 0, "null"},   // no such line
      {"file:///b.zv", 0, 1, "null"},
      {"file:///b.zv", 0, 6, "null"},
      {"file:///b.zv", 0, 12, "null"},
      {"file:///b.zv", 0, 17, "null"},
      {"file:///b.zv", 1, 1, R"({"placeholder":"Eğer","range":{"end":{"character":4,"line":1},"start":{"character":0,"line":1}}})"},
      {"file:///b.zv", 1, 6, R"({"placeholder":"tamsayı","range":{"end":{"character":12,"line":1},"start":{"character":5,"line":1}}})"},
      {"file:///b.zv", 1, 14, R"({"placeholder":"yoksa","range":{"end":{"character":18,"line":1},"start":{"character":13,"line":1}}})"},
      {"file:///b.zv", 1, 20, R"({"placeholder":"ana","range":{"end":{"character":22,"line":1},"start":{"character":19,"line":1}}})"},
      {"file:///c.zv", 0, 9, R"({"placeholder":"çarp","range":{"end":{"character":13,"line":0},"start":{"character":9,"line":0}}})"},
      {"file:///c.zv", 1, 3, R"({"placeholder":"ab","range":{"end":{"character":5,"line":1},"start":{"character":3,"line":1}}})"},
      {"file:///closed.zv", 0, 0, "null"},
      // The request's URI is looked up in its serialised form.
      {"FILE:///a.zv", 0, 5, R"({"placeholder":"sayı","range":{"end":{"character":8,"line":0},"start":{"character":4,"line":0}}})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.uri) + " @" + std::to_string(c.line) + ":" + std::to_string(c.character));
    EXPECT_EQ(dumped(answer_of(handle_prepare_rename, position_params(c.uri, c.line, c.character), state)), c.expected);
  }
}

TEST(PrepareRename, TakesTheObjectOrTheTwoElementArrayAndRefusesTheRest) {
  const ServerState state = open_state({{"file:///a.zv", "let sayı = 5"}});
  const std::string found =
      R"({"placeholder":"sayı","range":{"end":{"character":8,"line":0},"start":{"character":4,"line":0}}})";
  const std::string invalid = "error -32600 Invalid prepareRename params";
  struct Case {
    Params params;
    std::string expected;
  };
  const Case cases[] = {
      {json::parse(R"([{"uri":"file:///a.zv"},{"line":0,"character":5}])"), found},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":5},"workDoneToken":[]})"),
       found},  // members beyond the two are not decoded
      {std::nullopt, invalid},
      {json::parse(R"([{"uri":"file:///a.zv"}])"), invalid},
      {json::parse(R"([{"uri":"file:///a.zv"},{"line":0,"character":5},1])"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"not a url"},"position":{"line":0,"character":5}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":-1,"character":5}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":5.5}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":4294967296,"character":0}})"), invalid},
      {json::parse(R"("text")"), invalid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params ? c.params->dump() : "absent");
    EXPECT_EQ(dumped(answer_of(handle_prepare_rename, c.params, state)), c.expected);
  }
}

json rename_params(std::string_view uri, uint32_t line, uint32_t character, std::string_view new_name) {
  json params = position_params(uri, line, character);
  params["newName"] = new_name;
  return params;
}

json with_member(json object, const std::string& key, json value) {
  object[key] = std::move(value);
  return object;
}

// The edits of a rename result as "line:start-end=text" per document URI.
std::map<std::string, std::vector<std::string>> edits_of(const Answer& result) {
  std::map<std::string, std::vector<std::string>> out;
  const json value = json::parse(dumped(result));
  EXPECT_EQ(value.size(), 1u);
  for (const auto& [uri, edits] : value.at("changes").items()) {
    auto& list = out[uri];
    for (const json& edit : edits) {
      const json& range = edit.at("range");
      EXPECT_EQ(range.at("start").at("line"), range.at("end").at("line"));
      list.push_back(std::to_string(range.at("start").at("line").get<int>()) + ":" +
                     std::to_string(range.at("start").at("character").get<int>()) + "-" +
                     std::to_string(range.at("end").at("character").get<int>()) + "=" +
                     edit.at("newText").get<std::string>());
    }
  }
  return out;
}

TEST(Rename, ReplacesEveryWholeWordOccurrenceInEveryOpenDocument) {
  const ServerState state = open_state({
      {"file:///b.zv", "let x = x + 1\nx2 ax xx let xs\n// x in a comment\n\"x\""},
      {"file:///a.zv", "y = x\r\n😀 = x"},
      {"file:///c.zv", "no use of the word here: xx x2"},
  });
  const Answer result = answer_of(handle_rename, rename_params("file:///b.zv", 0, 4, "y"), state);
  ASSERT_TRUE(result.ok());
  const std::map<std::string, std::vector<std::string>> expected = {
      {"file:///a.zv", {"0:4-5=y", "1:5-6=y"}},
      {"file:///b.zv", {"0:4-5=y", "0:8-9=y", "2:3-4=y", "3:1-2=y"}},
  };
  EXPECT_EQ(edits_of(result), expected);
  // The URI keys are written in byte order whatever the store's order.
  const std::string text = dumped(result);
  EXPECT_LT(text.find("file:///a.zv"), text.find("file:///b.zv"));

  EXPECT_EQ(dumped(answer_of(handle_rename, rename_params("file:///a.zv", 1, 5, "değer"), state)),
            R"({"changes":{"file:///a.zv":[{"newText":"değer","range":{"end":{"character":5,"line":0},"start":)"
            R"({"character":4,"line":0}}},{"newText":"değer","range":{"end":{"character":6,"line":1},"start":)"
            R"({"character":5,"line":1}}}],"file:///b.zv":[{"newText":"değer","range":{"end":{"character":5,"line":0},)"
            R"("start":{"character":4,"line":0}}},{"newText":"değer","range":{"end":{"character":9,"line":0},"start":)"
            R"({"character":8,"line":0}}},{"newText":"değer","range":{"end":{"character":4,"line":2},"start":)"
            R"({"character":3,"line":2}}},{"newText":"değer","range":{"end":{"character":2,"line":3},"start":)"
            R"({"character":1,"line":3}}}]}})");
}

TEST(Rename, GoesAheadOnAReservedWordAndOnTheSameName) {
  const ServerState state = open_state({
      {"file:///a.zv", "let a = 1\noutlet let"},
      {"file:///b.zv", "let\tb"},
  });
  const std::map<std::string, std::vector<std::string>> keyword = {
      {"file:///a.zv", {"0:0-3=izin", "1:7-10=izin"}},
      {"file:///b.zv", {"0:0-3=izin"}},
  };
  EXPECT_EQ(edits_of(answer_of(handle_rename, rename_params("file:///a.zv", 0, 1, "izin"), state)), keyword);
  const std::map<std::string, std::vector<std::string>> same = {{"file:///a.zv", {"0:4-5=a"}}};
  EXPECT_EQ(edits_of(answer_of(handle_rename, rename_params("file:///a.zv", 0, 4, "a"), state)), same);
}

TEST(Rename, ChecksTheNewName) {
  const ServerState state = open_state({{"file:///a.zv", "let x = 1"}});
  for (std::string_view name : {"", "9x", "x-y", "a b", "x.y", "değişken", "let", "Mantıksal", "😀", "x😀", " x"}) {
    EXPECT_EQ(dumped(answer_of(handle_rename, rename_params("file:///a.zv", 0, 4, name), state)), "null") << name;
  }
  for (std::string_view name : {"_x", "x9", "ğüzel", "Değişken", "Let", "_", "x٣"}) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"file:///a.zv", {"0:4-5=" + std::string(name)}}};
    EXPECT_EQ(edits_of(answer_of(handle_rename, rename_params("file:///a.zv", 0, 4, name), state)), expected) << name;
  }
}

TEST(Rename, NullWithoutADocumentOrAWordAndErrorsForBadParams) {
  const ServerState state = open_state({{"file:///a.zv", "let x = 1\n"}});
  const std::string invalid = "error -32600 Invalid rename params";
  struct Case {
    Params params;
    std::string expected;
  };
  const Case cases[] = {
      {rename_params("file:///closed.zv", 0, 4, "y"), "null"},
      {rename_params("file:///a.zv", 1, 0, "y"), "null"},
      {rename_params("file:///a.zv", 0, 9, "y"), "null"},
      {rename_params("file:///a.zv", 0, 6, "y"), "null"},  // "= " is no word
      {std::nullopt, invalid},
      {json::parse(R"([{"uri":"file:///a.zv"},{"line":0,"character":4},"y"])"), invalid},
      {position_params("file:///a.zv", 0, 4), invalid},
      {with_member(rename_params("file:///a.zv", 0, 4, "y"), "newName", 5), invalid},
      {rename_params("not a url", 0, 4, "y"), invalid},
      {with_member(rename_params("file:///a.zv", 0, 4, "y"), "workDoneToken", true), invalid},
      {with_member(rename_params("file:///a.zv", 0, 4, "y"), "workDoneToken", "t"),
       R"({"changes":{"file:///a.zv":[{"newText":"y","range":{"end":{"character":5,"line":0},"start":{"character":4,"line":0}}}]}})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params ? c.params->dump() : "absent");
    EXPECT_EQ(dumped(answer_of(handle_rename, c.params, state)), c.expected);
  }
}

}  // namespace
}  // namespace zevo::lsp

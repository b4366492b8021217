// Hover: the bilingual Markdown text of the word under the cursor.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/result.hpp"
#include "lsp/document.hpp"
#include "lsp/handler.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {

// One or two trigger words (an unused second one is empty) and the text they show.
struct HoverText {
  std::array<std::string_view, 2> triggers;
  std::string_view text;
};

// Keyword, type, literal and annotation texts; no trigger word stands in two rows.
extern const std::array<HoverText, 27> HOVER_TEXTS;

// The word that hover looks up around a UTF-16 column of one line, or nothing
// when the column is at or past the line's end or the cursor is on no word.
// Identifier characters and "@" are taken in on the left, only identifier
// characters on the right; an "@" under the cursor leads the word only when
// nothing was taken in on its left.
std::optional<std::string_view> hover_word_at(std::string_view line, std::size_t column);

std::optional<Hover> hover_for_position(HoverParams params, std::string_view text);

HandlerResult handle_hover(Params params, const ServerState& state, json::Writer& out);

}  // namespace zevo::lsp

#include "parser/keywords.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zevo::parser {

namespace {

constexpr std::uint32_t hash_word(std::string_view word) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (char c : word) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

// Open addressing over a table about five times the number of spellings, so a
// miss usually ends at the first empty slot.
constexpr std::size_t kSlotCount = 1024;
constexpr std::uint8_t kEmpty = 0xFF;
static_assert(KEYWORDS.size() < kEmpty);

constexpr std::array<std::uint8_t, kSlotCount> build_slots() {
  std::array<std::uint8_t, kSlotCount> slots{};
  for (auto& s : slots) s = kEmpty;
  for (std::size_t i = 0; i < KEYWORDS.size(); ++i) {
    std::size_t slot = hash_word(KEYWORDS[i].spelling) % kSlotCount;
    while (slots[slot] != kEmpty) slot = (slot + 1) % kSlotCount;
    slots[slot] = static_cast<std::uint8_t>(i);
  }
  return slots;
}

constexpr auto kSlots = build_slots();

constexpr bool spellings_distinct() {
  for (std::size_t i = 0; i < KEYWORDS.size(); ++i)
    for (std::size_t j = i + 1; j < KEYWORDS.size(); ++j)
      if (KEYWORDS[i].spelling == KEYWORDS[j].spelling) return false;
  return true;
}
static_assert(spellings_distinct());

constexpr std::size_t distinct_kinds() {
  std::array<bool, kTokenKindCount> seen{};
  std::size_t count = 0;
  for (const auto& k : KEYWORDS) {
    if (!seen[token_kind_number(k.kind)]) ++count;
    seen[token_kind_number(k.kind)] = true;
  }
  return count;
}
static_assert(distinct_kinds() == 202);

constexpr bool has_spelling(TokenKind kind) {
  for (const auto& k : KEYWORDS)
    if (k.kind == kind) return true;
  return false;
}
static_assert(!has_spelling(TokenKind::TrSpi) && !has_spelling(TokenKind::TrI2c) &&
              !has_spelling(TokenKind::TrToggle) && !has_spelling(TokenKind::Reserved159) &&
              !has_spelling(TokenKind::Reserved164));

}  // namespace

std::optional<TokenKind> keyword_in_slots(std::string_view word) {
  std::size_t slot = hash_word(word) % kSlotCount;
  for (;;) {
    const std::uint8_t index = kSlots[slot];
    if (index == kEmpty) return std::nullopt;
    if (KEYWORDS[index].spelling == word) return KEYWORDS[index].kind;
    slot = (slot + 1) % kSlotCount;
  }
}

}  // namespace zevo::parser

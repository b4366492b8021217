#include "parser/lexer.hpp"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "parser/keywords.hpp"
#include "text/ascii.hpp"
#include "text/number.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::parser {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

using text::is_ascii;
using text::is_ascii_digit;
using text::is_ascii_letter;

// A character class of text/unicode, remembered for U+0080 to U+024F (the
// Latin blocks, where the Turkish letters are), so that the common letters of
// a text need no property look-up.
template <bool (*Class)(char32_t)>
bool in_unicode_class(char32_t c) {
  static const auto latin = [] {
    std::array<bool, 0x250 - 0x80> table{};
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = Class(static_cast<char32_t>(0x80 + i));
    return table;
  }();
  if (c >= 0x80 && c < 0x250) return latin[c - 0x80];
  return Class(c);
}

// A stray byte reads as U+FFFD and moves one byte; a real U+FFFD takes three.
bool is_malformed(char32_t c, std::size_t width) { return c == text::kReplacement && width == 1; }

// First words of the spellings that hold a blank ("her biri", "veya eğer").
// The look-ahead runs only after these: after any other word it could only
// fail and be undone.
constexpr std::array<std::string_view, 2> kTwoWordStarts = {"her", "veya"};

constexpr bool two_word_starts_match_table() {
  std::size_t found = 0;
  for (const auto& k : KEYWORDS) {
    const std::size_t blank = k.spelling.find(' ');
    if (blank == std::string_view::npos) continue;
    ++found;
    bool listed = false;
    for (auto start : kTwoWordStarts) listed = listed || k.spelling.substr(0, blank) == start;
    if (!listed) return false;
  }
  return found == kTwoWordStarts.size();
}
static_assert(two_word_starts_match_table());

bool starts_two_word_spelling(std::string_view word) {
  for (auto start : kTwoWordStarts)
    if (word == start) return true;
  return false;
}

}  // namespace

Lexer::Lexer(std::string_view text, SourceFile source)
    : text_(text), source_(std::move(source)), last_span_{SourceFile{"<unknown>"}, 0, 0, 0} {
  if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) pos_.offset = kByteOrderMark.size();
}

Token Lexer::next_token() {
  // Every span names the lexer's own source, so the name is copied once.
  if (last_span_.line == 0) last_span_.file = source_;
  skip_trivia();
  const Position start = pos_;
  Token token = scan_token();
  last_span_.line = start.line;
  last_span_.column = start.column;
  last_span_.length = pos_.column > start.column ? pos_.column - start.column : 1;
  return token;
}

void Lexer::advance_char() {
  if (at_end()) return;
  const char b = text_[pos_.offset];
  if (b == '\n') {
    ++pos_.line;
    pos_.column = 1;
    ++pos_.offset;
    return;
  }
  ++pos_.column;
  if (is_ascii(b)) {
    ++pos_.offset;
  } else {
    text::decode_utf8(text_, pos_.offset);
  }
}

void Lexer::skip_trivia() {
  while (!at_end()) {
    const char b = text_[pos_.offset];
    if (b == ' ' || (b >= '\t' && b <= '\r')) {
      advance_char();
    } else if (b == '/') {
      const char next = byte_at(pos_.offset + 1);
      if (next == '/') {
        skip_line_comment();
      } else if (next == '*') {
        skip_block_comment();
      } else {
        return;
      }
    } else if (is_ascii(b)) {
      return;
    } else {
      std::size_t next = pos_.offset;
      if (!in_unicode_class<text::is_white_space>(text::decode_utf8(text_, next))) return;
      pos_.offset = next;
      ++pos_.column;
    }
  }
}

namespace {

// The columns the 8 bytes at `p` take in a line comment: one per byte of ASCII
// and one per whole two-byte sequence (the letters of Turkish), as the
// character walk counts them; 0 when a byte ends the line or begins or
// continues anything else, which the walk then takes a character at a time.
inline unsigned comment_word_columns(const char* p) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  uint64_t word;
  std::memcpy(&word, p, 8);
  const auto has_byte = [word](unsigned char b) {
    const uint64_t x = word ^ (kOnes * b);
    return ((x - kOnes) & ~x & kHigh) != 0;
  };
  const uint64_t high = word & kHigh;
  if (high == 0) return has_byte('\n') || has_byte('\r') ? 0 : 8;
  // Each mask has bit 7 of the bytes it names.
  const uint64_t lead = high & (word << 1);                   // 11xxxxxx
  const uint64_t continuation = high & ~(word << 1);          // 10xxxxxx
  const uint64_t two_byte_lead = lead & ~(word << 2) & kHigh  // 110xxxxx but not C0 or C1
                                 & (((word & 0x1E1E1E1E1E1E1E1Eull) + 0x7E7E7E7E7E7E7E7Eull) & kHigh);
  // Every lead a two-byte one, followed by the only continuation bytes, all inside the word.
  if (lead != two_byte_lead || continuation != two_byte_lead << 8 || (two_byte_lead >> 63) != 0) return 0;
  if (has_byte('\n') || has_byte('\r')) return 0;
  // Their number summed in the top byte: the target need not have a
  // population count instruction, and std::popcount is then a call.
  return 8 - static_cast<unsigned>(((continuation >> 7) * kOnes) >> 56);
}

}  // namespace

// A comment can be a whole document long: it is stepped over a word at a
// time where the word is ASCII and whole two-byte sequences, the rest a
// character at a time as advance_char does.
void Lexer::skip_line_comment() {
  const std::size_t n = text_.size();
  std::size_t i = pos_.offset;
  std::uint64_t column = pos_.column;
  while (i < n) {
    if (n - i >= 8) {
      if (const unsigned columns = comment_word_columns(text_.data() + i)) {
        i += 8;
        column += columns;
        continue;
      }
    }
    const char b = text_[i];
    if (b == '\n' || b == '\r') break;
    ++column;
    if (is_ascii(b)) {
      ++i;
    } else {
      text::decode_utf8(text_, i);
    }
  }
  pos_.offset = i;
  pos_.column = column;
}

void Lexer::skip_block_comment() {
  advance_ascii();
  advance_ascii();
  while (!at_end()) {
    if (text_[pos_.offset] == '*' && byte_at(pos_.offset + 1) == '/') {
      advance_ascii();
      advance_ascii();
      return;
    }
    advance_char();
  }
}

Token Lexer::scan_token() {
  if (at_end()) return Token{TokenKind::EndOfInput};
  const char b = text_[pos_.offset];
  if (is_ascii(b)) {
    if (is_ascii_letter(b) || b == '_') return read_word();
    if (is_ascii_digit(b)) return read_number();
    if (b == '"' || b == '\'') return read_string(b);
    return read_operator(b);
  }
  std::size_t next = pos_.offset;
  const char32_t c = text::decode_utf8(text_, next);
  if (in_unicode_class<text::is_identifier_start>(c)) return read_word();
  if (in_unicode_class<text::is_numeric>(c)) return read_number();
  advance_char();
  return Token{TokenKind::EndOfInput};
}

Token Lexer::read_operator(char c) {
  advance_ascii();
  // The kind when the next character is `second` (then taken too), else `alone`.
  auto pick = [this](char second, TokenKind both, TokenKind alone) {
    if (byte_at(pos_.offset) != second) return Token{alone};
    advance_ascii();
    return Token{both};
  };
  switch (c) {
    case '+': return Token{TokenKind::Plus};
    case '*': return Token{TokenKind::Star};
    case '%': return Token{TokenKind::Percent};
    case ',': return Token{TokenKind::Comma};
    case ';': return Token{TokenKind::Semicolon};
    case '|': return Token{TokenKind::Pipe};
    case '?': return Token{TokenKind::Question};
    case '(': return Token{TokenKind::LeftParen};
    case ')': return Token{TokenKind::RightParen};
    case '{': return Token{TokenKind::LeftBrace};
    case '}': return Token{TokenKind::RightBrace};
    case '[': return Token{TokenKind::LeftBracket};
    case ']': return Token{TokenKind::RightBracket};
    case '#': return Token{TokenKind::Hash};
    case '/': return Token{TokenKind::Slash};
    case '!': return pick('=', TokenKind::NotEqual, TokenKind::Bang);
    case '=': return pick('=', TokenKind::EqualEqual, TokenKind::Equal);
    case '<': return pick('=', TokenKind::LessEqual, TokenKind::Less);
    case '>': return pick('=', TokenKind::GreaterEqual, TokenKind::Greater);
    case ':': return pick(':', TokenKind::ColonColon, TokenKind::Colon);
    case '-': return pick('>', TokenKind::Arrow, TokenKind::Minus);
    case '.': {
      Token token = pick('.', TokenKind::DotDot, TokenKind::Dot);
      if (token.kind == TokenKind::DotDot) return pick('=', TokenKind::DotDotEqual, TokenKind::DotDot);
      return token;
    }
    default:
      // Controls, "$", "&", "@", "\", "^", "`", "~": characters the language does not know.
      return Token{TokenKind::EndOfInput};
  }
}

Token Lexer::read_string(char quote) {
  advance_ascii();
  std::string out;
  std::size_t chunk = pos_.offset;  // start of the bytes not yet copied into `out`
  auto flush = [&] { out.append(text_.data() + chunk, pos_.offset - chunk); };
  while (!at_end()) {
    const char b = text_[pos_.offset];
    if (b == quote) {
      flush();
      advance_ascii();
      return string_token(std::move(out));
    }
    if (b == '\\') {
      flush();
      advance_ascii();
      chunk = pos_.offset;
      if (at_end()) {
        out.push_back('\\');
        break;
      }
      const char e = text_[pos_.offset];
      char decoded;
      switch (e) {
        case 'n': decoded = '\n'; break;
        case 'r': decoded = '\r'; break;
        case 't': decoded = '\t'; break;
        case '0': decoded = '\0'; break;
        case '\\': decoded = '\\'; break;
        default:
          if (e != quote) {
            // Kept as written: the character after it is copied with the next chunk.
            out.push_back('\\');
            continue;
          }
          decoded = quote;
      }
      out.push_back(decoded);
      advance_ascii();
      chunk = pos_.offset;
    } else if (is_ascii(b)) {
      advance_char();
    } else {
      std::size_t next = pos_.offset;
      const char32_t c = text::decode_utf8(text_, next);
      if (is_malformed(c, next - pos_.offset)) {
        // The payload stays UTF-8 whatever bytes the text held.
        flush();
        text::append_utf8(out, text::kReplacement);
        chunk = next;
      }
      pos_.offset = next;
      ++pos_.column;
    }
  }
  flush();
  return string_token(std::move(out));
}

// Steps over the run of characters accepted by `ascii` (for an ASCII byte) or
// `other` (for any other character); whether the run held a non-ASCII character.
template <class Ascii, class Other>
bool Lexer::skip_run(Ascii ascii, Other other) {
  bool beyond_ascii = false;
  while (!at_end()) {
    const char b = text_[pos_.offset];
    if (is_ascii(b)) {
      if (!ascii(b)) break;
      advance_ascii();
    } else {
      std::size_t next = pos_.offset;
      if (!other(text::decode_utf8(text_, next))) break;
      pos_.offset = next;
      ++pos_.column;
      beyond_ascii = true;
    }
  }
  return beyond_ascii;
}

// After a word and one blank: whether a run of letters completes a spelling
// with a blank. The lexer then stands after the run; otherwise it has not moved.
bool Lexer::read_second_word(std::string_view first) {
  const Position saved = pos_;
  advance_ascii();
  const std::size_t run_start = pos_.offset;
  skip_run(is_ascii_letter, in_unicode_class<text::is_alphabetic>);
  const std::string_view run = text_.substr(run_start, pos_.offset - run_start);
  std::array<char, 32> joined;
  if (!run.empty() && first.size() + 1 + run.size() <= joined.size()) {
    std::memcpy(joined.data(), first.data(), first.size());
    joined[first.size()] = ' ';
    std::memcpy(joined.data() + first.size() + 1, run.data(), run.size());
    if (lookup_keyword(std::string_view(joined.data(), first.size() + 1 + run.size()))) return true;
  }
  pos_ = saved;
  return false;
}

Token Lexer::read_word() {
  const std::size_t start = pos_.offset;
  skip_run([](char c) { return is_ascii_letter(c) || is_ascii_digit(c) || c == '_'; },
           in_unicode_class<text::is_identifier_char>);
  const std::string_view word = text_.substr(start, pos_.offset - start);
  if (byte_at(pos_.offset) == ' ' && starts_two_word_spelling(word) && read_second_word(word)) {
    return Token{*lookup_keyword(text_.substr(start, pos_.offset - start))};
  }
  if (auto kind = lookup_keyword(word)) return Token{*kind};
  return identifier_token(word);
}

Token Lexer::read_number() {
  const std::size_t start = pos_.offset;
  bool ascii = !skip_run(is_ascii_digit, in_unicode_class<text::is_numeric>);
  if (byte_at(pos_.offset) == '.' && !at_end() && byte_at(pos_.offset + 1) != '.') {
    advance_ascii();
    ascii = !skip_run(is_ascii_digit, in_unicode_class<text::is_numeric>) && ascii;
    if (!ascii) return Token{TokenKind::EndOfInput};
    // Digits, a point and perhaps more digits: always a valid decimal; too large reads as infinity.
    return float_token(*text::parse_float(text_.substr(start, pos_.offset - start)));
  }
  if (!ascii) return Token{TokenKind::EndOfInput};
  if (auto value = text::parse_i64(text_.substr(start, pos_.offset - start))) return integer_token(*value);
  return Token{TokenKind::EndOfInput};
}

}  // namespace zevo::parser

#include "lsp/semantic_tokens.hpp"

#include <algorithm>
#include <memory>
#include <span>
#include <string>

#include "json/json.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

uint32_t security_class_modifier(SecurityClass security) {
  switch (security) {
    case SecurityClass::none: return 0;
    case SecurityClass::public_: return 1u << 10;
    case SecurityClass::exportable: return 1u << 11;
    case SecurityClass::domestic_only: return 1u << 12;
    case SecurityClass::classified: return 1u << 13;
  }
  return 0;
}

namespace {

constexpr std::string_view kFunctionKeywords[] = {"fonksiyon", "function"};
constexpr std::string_view kDeclaredNameKeywords[] = {"değişken", "sabit", "let"};
constexpr std::string_view kTypeKeywords[] = {"yapı", "struct", "tip", "type"};

using text::contains;

// Non-overlapping matches of one pattern from left to right. A pattern begins
// with a lead byte, so in UTF-8 every match starts on a character.
template <class Visit>
void for_each_match(std::string_view line, std::string_view pattern, Visit&& visit) {
  for (std::size_t p = line.find(pattern); p != std::string_view::npos; p = line.find(pattern, p + pattern.size())) {
    visit(p);
  }
}

// The name between a keyword's first and second occurrences: trimmed, cut
// before the first of `stops`, trimmed again; empty unless it begins with a
// letter. A view into `line`.
std::string_view declared_name_after(std::string_view line, std::string_view keyword, std::string_view stops) {
  const std::size_t first = line.find(keyword);
  if (first == std::string_view::npos) return {};
  std::string_view segment = line.substr(first + keyword.size());
  segment = text::trim(segment.substr(0, segment.find(keyword)));
  segment = text::trim(segment.substr(0, segment.find_first_of(stops)));
  if (segment.empty()) return {};
  std::size_t i = 0;
  if (!text::is_alphabetic(text::decode_utf8(segment, i))) return {};
  return segment;
}

bool opens_annotation(char32_t c) { return text::is_white_space(c) || c == '(' || c == '[' || c == ','; }
bool closes_annotation(char32_t c) {
  return text::is_white_space(c) || c == '(' || c == ')' || c == ']' || c == ',';
}

// One line with, for every byte, the character it belongs to, whether that is
// an identifier character, and the UTF-16 column where the character starts.
// The buffers are kept from line to line.
class LineScan {
 public:
  // The tokens of one line, ordered by start; valid until the next call.
  const std::vector<SemanticTokenRecord>& run(uint32_t line_number, std::string_view line) {
    line_number_ = line_number;
    line_ = line;
    index_line();
    out_.clear();
    annotations();
    keywords();
    first_keyword_name(kFunctionKeywords, "(", kTokenFunction);
    declared_names();
    first_keyword_name(kTypeKeywords, "={ ", kTokenStruct);
    strings();
    numbers();
    comment();
    operators();
    std::stable_sort(out_.begin(), out_.end(),
                     [](const SemanticTokenRecord& a, const SemanticTokenRecord& b) { return a.start < b.start; });
    return out_;
  }

 private:
  void index_line() {
    chars_.resize(line_.size());
    identifier_.resize(line_.size());
    columns_.resize(line_.size() + 1);
    uint32_t column = 0;
    for (std::size_t i = 0; i < line_.size();) {
      const std::size_t start = i;
      const char32_t c = text::decode_utf8(line_, i);
      const bool identifier = text::is_identifier_char(c);
      for (std::size_t b = start; b < i; ++b) {
        chars_[b] = c;
        identifier_[b] = identifier;
        columns_[b] = column;
      }
      column += static_cast<uint32_t>(text::utf16_units(c));
    }
    columns_[line_.size()] = column;
  }

  // Characters next to a match: absent at the line's ends.
  std::optional<char32_t> before(std::size_t p) const {
    if (p == 0) return std::nullopt;
    return chars_[p - 1];
  }
  std::optional<char32_t> at(std::size_t p) const {
    if (p >= line_.size()) return std::nullopt;
    return chars_[p];
  }

  void emit(std::size_t begin, std::size_t end, uint32_t type, uint32_t modifiers) {
    out_.push_back({line_number_, columns_[begin], columns_[end] - columns_[begin], type, modifiers});
  }
  void emit_name(std::string_view name, uint32_t type, uint32_t modifiers) {
    const auto begin = static_cast<std::size_t>(name.data() - line_.data());
    emit(begin, begin + name.size(), type, modifiers);
  }

  void annotations() {
    if (line_.find('@') == std::string_view::npos) return;
    for (const AnnotationToken& row : ANNOTATION_TOKEN_TABLE) {
      for_each_match(line_, row.spelling, [&](std::size_t p) {
        const std::size_t end = p + row.spelling.size();
        const auto left = before(p);
        const auto right = at(end);
        if ((!left || opens_annotation(*left)) && (!right || closes_annotation(*right))) {
          emit(p, end, kTokenDecorator, security_class_modifier(row.security));
        }
      });
    }
  }

  // A keyword is bounded by non-identifier characters on both sides and made
  // of identifier characters itself, so its tokens are exactly the maximal
  // identifier runs that spell it: one walk over the runs finds what searching
  // for each keyword would, and at most one keyword starts at any place.
  void keywords() {
    std::size_t i = 0;
    while (i < line_.size()) {
      if (!identifier_[i]) {
        ++i;
        continue;
      }
      const std::size_t start = i;
      while (i < line_.size() && identifier_[i]) ++i;
      const std::string_view run = line_.substr(start, i - start);
      if (std::find(SEMANTIC_KEYWORDS.begin(), SEMANTIC_KEYWORDS.end(), run) != SEMANTIC_KEYWORDS.end()) {
        emit(start, i, kTokenKeyword, 0);
      }
    }
  }

  // The name after the first of `keywords` that the line holds; a later
  // keyword is not tried when that one names nothing.
  void first_keyword_name(std::span<const std::string_view> keywords, std::string_view stops, uint32_t type) {
    for (std::string_view keyword : keywords) {
      if (!contains(line_, keyword)) continue;
      const std::string_view name = declared_name_after(line_, keyword, stops);
      if (!name.empty()) emit_name(name, type, kModifierDeclaration);
      return;
    }
  }

  void declared_names() {
    if (contains(line_, "değişken") || contains(line_, "let")) {
      if (const auto name = declared_name(line_)) emit_name(*name, kTokenVariable, kModifierDeclaration);
    }
    if (contains(line_, "sabit") || contains(line_, "const")) {
      if (const auto name = declared_name(line_)) {
        emit_name(*name, kTokenVariable, kModifierDeclaration | kModifierReadonly);
      }
    }
  }

  // No escapes: every double quote opens or closes.
  void strings() {
    std::size_t open = std::string_view::npos;
    for (std::size_t i = line_.find('"'); i != std::string_view::npos; i = line_.find('"', i + 1)) {
      if (open == std::string_view::npos) {
        open = i;
      } else {
        emit(open, i + 1, kTokenString, 0);
        open = std::string_view::npos;
      }
    }
  }

  void numbers() {
    for (std::size_t i = 0; i < line_.size();) {
      std::size_t next = i;
      if (!text::is_numeric(text::decode_utf8(line_, next))) {
        i = next;
        continue;
      }
      std::size_t end = next;
      while (end < line_.size()) {
        std::size_t after = end;
        const char32_t c = text::decode_utf8(line_, after);
        if (c != '.' && !text::is_numeric(c)) break;
        end = after;
      }
      emit(i, end, kTokenNumber, 0);
      i = end;
    }
  }

  void comment() {
    if (const std::size_t p = line_.find("//"); p != std::string_view::npos) {
      emit(p, line_.size(), kTokenComment, 0);
    }
  }

  void operators() {
    for (std::string_view op : SEMANTIC_OPERATORS) {
      for_each_match(line_, op, [&](std::size_t p) { emit(p, p + op.size(), kTokenOperator, 0); });
    }
  }

  std::vector<SemanticTokenRecord> out_;
  uint32_t line_number_ = 0;
  std::string_view line_;
  std::vector<char32_t> chars_;
  std::vector<uint8_t> identifier_;
  std::vector<uint32_t> columns_;
};

}  // namespace

std::optional<std::string_view> declared_name(std::string_view line) {
  std::string_view keyword = "const";
  for (std::string_view candidate : kDeclaredNameKeywords) {
    if (contains(line, candidate)) {
      keyword = candidate;
      break;
    }
  }
  const std::string_view name = declared_name_after(line, keyword, ":=");
  if (name.empty()) return std::nullopt;
  return name;
}

namespace {

// Calls `visit` with the ordered tokens of each line in turn, so that the
// whole document's list never has to be held.
template <class Visit>
void for_each_line_tokens(std::string_view text, Visit&& visit) {
  LineScan scan;
  text::for_each_line(text, [&](std::size_t index, std::string_view line) {
    visit(scan.run(static_cast<uint32_t>(index), line));
    return true;
  });
}

// Each record relative to the one before it; the first relative to line 0, column 0.
class RelativeEncoder {
 public:
  template <class Push>
  void encode(const SemanticTokenRecord& r, Push&& push) {
    push(r.line - line_);
    push(r.line == line_ ? r.start - start_ : r.start);
    push(r.length);
    push(r.token_type);
    push(r.modifiers);
    line_ = r.line;
    start_ = r.start;
  }

 private:
  uint32_t line_ = 0;
  uint32_t start_ = 0;
};

}  // namespace

std::vector<SemanticTokenRecord> semantic_token_records(std::string_view text) {
  std::vector<SemanticTokenRecord> records;
  for_each_line_tokens(text, [&](const std::vector<SemanticTokenRecord>& line) {
    records.insert(records.end(), line.begin(), line.end());
  });
  return records;
}

std::vector<uint32_t> encode_semantic_tokens(const std::vector<SemanticTokenRecord>& records) {
  std::vector<uint32_t> data;
  data.reserve(records.size() * 5);
  RelativeEncoder encoder;
  for (const SemanticTokenRecord& r : records) encoder.encode(r, [&](uint32_t v) { data.push_back(v); });
  return data;
}

HandlerResult handle_semantic_tokens_full(Params params, const DocumentsSnapshot& snapshot, json::Writer& out) {
  const nlohmann::json& raw = raw_params(params);
  const nlohmann::json& uri = json::get(json::get(raw, "textDocument"), "uri");
  const std::string* text = uri.is_string() ? snapshot.find(*uri.get_ptr<const std::string*>()) : nullptr;
  out.begin_object();
  out.key("data");
  out.begin_array();
  if (text != nullptr) {
    RelativeEncoder encoder;
    auto push = [&](uint32_t v) { out.number(v); };
    for_each_line_tokens(*text, [&](const std::vector<SemanticTokenRecord>& line) {
      for (const SemanticTokenRecord& r : line) encoder.encode(r, push);
    });
  }
  out.end_array();
  out.end_object();
  return {};
}

}  // namespace zevo::lsp

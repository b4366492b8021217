#include "lsp/code_lens.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "base/siphash.hpp"
#include "json/json.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;
constexpr std::size_t npos = std::string_view::npos;
using text::contains;

constexpr std::array<std::string_view, 3> kFunctionKeywords = {"fonksiyon", "function", "fn"};
// The first three name a function (the name ends at "("), the rest a value.
constexpr std::array<std::string_view, 7> kDeclarationKeywords = {"fonksiyon", "function", "fn", "değişken",
                                                                  "let",       "sabit",    "const"};
constexpr std::size_t kFunctionDeclarations = 3;
// A line with one of these may be the declaration that a count leaves out; "fn" is not among them.
constexpr std::array<std::string_view, 6> kSkippableKeywords = {"fonksiyon", "function", "değişken",
                                                                "let",       "sabit",    "const"};
constexpr std::array<std::string_view, 6> kProgramMarkers = {"fonksiyon ana(", "function main(", "fn main(",
                                                             "fonksiyon ana ", "function main ", "fn main "};
constexpr std::array<std::string_view, 4> kBenchmarkMarkers = {"benchmark", "karşılaştırma", "#[bench]", "@bench"};

template <std::size_t N>
bool contains_any(std::string_view s, const std::array<std::string_view, N>& needles) {
  for (std::string_view needle : needles) {
    if (contains(s, needle)) return true;
  }
  return false;
}

bool contains_followed_by_blank(std::string_view s, std::string_view keyword) {
  for (std::size_t at = s.find(keyword); at != npos; at = s.find(keyword, at + 1)) {
    const std::size_t after = at + keyword.size();
    if (after < s.size() && s[after] == ' ') return true;
  }
  return false;
}

std::optional<std::string_view> first_function_name(std::string_view t) {
  for (std::string_view keyword : kFunctionKeywords) {
    if (auto name = function_name_after(t, keyword)) return name;
  }
  return std::nullopt;
}

// The word after a value keyword: up to the first white space, ":" or "=".
std::optional<std::string_view> value_name_after(std::string_view t, std::string_view keyword) {
  const std::size_t at = t.find(keyword);
  if (at == npos) return std::nullopt;
  // ":" and "=" are ASCII: a byte search cannot find them inside another character.
  const std::string_view word = text::first_word(text::trim_start(t.substr(at + keyword.size())));
  const std::string_view name = word.substr(0, word.find_first_of(":="));
  if (name.empty()) return std::nullopt;
  return name;
}

// Calls `visit(name)` with the names a line declares, in keyword order, which
// the reference lens tries one after another, until `visit` returns false. A
// keyword without a name ends the list. The names are views into the line, so
// the scan holds no copy of them.
template <class Visit>
void for_each_declared_name(std::string_view t, Visit&& visit) {
  for (std::size_t k = 0; k < kDeclarationKeywords.size(); ++k) {
    const std::string_view keyword = kDeclarationKeywords[k];
    if (!contains(t, keyword)) continue;
    auto name = k < kFunctionDeclarations ? function_name_after(t, keyword) : value_name_after(t, keyword);
    if (!name || !visit(*name)) return;
  }
}

struct NameCount {
  std::size_t count = 0;
  std::size_t skipped_line = npos;  // the line left out of the count, if any
};

using NameCounts = std::unordered_map<std::string_view, NameCount, KeyedTextHash, std::equal_to<>>;

// Reference counts of every name the text declares, from one walk over the
// identifier runs of the text, one search for all the skipped declaration
// lines, and one more walk over each of those lines, however many names it is
// skipped for. The lines are walked, never listed: beside the document the
// scan holds the counts only.
NameCounts count_references(std::string_view text) {
  NameCounts counts;
  text::for_each_line(text, [&](std::size_t, std::string_view line) {
    for_each_declared_name(text::trim(line), [&](std::string_view name) {
      counts.emplace(name, NameCount{});
      return true;
    });
    return true;
  });
  if (counts.empty()) return counts;

  // Most runs have a length that no name has; they skip the hash.
  uint64_t lengths = 0;
  for (const auto& entry : counts) lengths |= uint64_t{1} << std::min<std::size_t>(entry.first.size(), 63);
  text::for_each_line(text, [&](std::size_t, std::string_view line) {
    text::for_each_identifier_run(line, [&](std::string_view run) {
      if ((lengths >> std::min<std::size_t>(run.size(), 63) & 1) == 0) return;
      auto it = counts.find(run);
      if (it != counts.end()) ++it->second.count;
    });
    return true;
  });

  // Only a name that occurs as a run can lose one to its declaration line.
  std::vector<NameCount*> used_counts;
  std::vector<std::string_view> used;
  for (auto& [name, count] : counts) {
    if (count.count == 0) continue;
    used.push_back(name);
    used_counts.push_back(&count);
  }
  const text::MultiPatternSearch finder(used);
  const auto skipped = finder.first_lines(text, [](std::string_view line) { return contains_any(line, kSkippableKeywords); });
  std::vector<std::size_t> skipped_lines;
  for (std::size_t p = 0; p < used.size(); ++p) {
    used_counts[p]->skipped_line = skipped[p];
    if (skipped[p] != npos) skipped_lines.push_back(skipped[p]);
  }
  std::sort(skipped_lines.begin(), skipped_lines.end());
  skipped_lines.erase(std::unique(skipped_lines.begin(), skipped_lines.end()), skipped_lines.end());
  auto next = skipped_lines.begin();
  text::for_each_line(text, [&](std::size_t li, std::string_view line) {
    if (next == skipped_lines.end()) return false;
    if (*next != li) return true;
    ++next;
    text::for_each_identifier_run(line, [&](std::string_view run) {
      auto it = counts.find(run);
      if (it != counts.end() && it->second.skipped_line == li) --it->second.count;
    });
    return true;
  });
  return counts;
}

// The command's arguments: the URI text when given, then the name.
CodeLens make_lens(const Range& range, std::string title, std::string_view command,
                   std::optional<std::string_view> uri, std::string name) {
  std::vector<json> arguments;
  arguments.reserve(2);
  if (uri) arguments.emplace_back(*uri);
  arguments.emplace_back(std::move(name));
  CodeLens lens;
  lens.range = range;
  lens.command = Command{std::move(title), std::string(command), std::move(arguments)};
  return lens;
}

std::string quoted(std::string_view prefix, std::string_view name) {
  std::string out(prefix);
  out += name;
  out += '\'';
  return out;
}

template <class Visit>
void add_line_lenses(Visit& visit, uint32_t line, std::string_view t, std::string_view uri, const NameCounts& counts) {
  const Range range{{line, 0}, {line, static_cast<uint32_t>(text::utf16_length(t))}};
  const bool has_function_keyword = contains_any(t, kFunctionKeywords);

  for (std::string_view keyword : kFunctionKeywords) {
    if (!t.starts_with(keyword) && !contains_followed_by_blank(t, keyword)) continue;
    if (auto name = function_name_after(t, keyword)) {
      visit(make_lens(range, quoted("▶ Run '", *name), "zevo.runFunction", uri, std::string(*name)));
      break;
    }
  }

  const bool test_attribute = t.starts_with("#[test]") || t.starts_with("@test");
  if (test_attribute || (contains(t, "test") && has_function_keyword)) {
    const std::string_view name = test_attribute ? "test" : first_function_name(t).value_or("test");
    std::string title = quoted("▶ Run Test '", name);
    visit(make_lens(range, std::move(title), "zevo.runTest", uri, std::string(name)));
  }

  if (contains_any(t, kProgramMarkers)) {
    visit(make_lens(range, "▶ Run Program", "zevo.runFunction", uri, "main"));
  }

  const bool bench_attribute = t.starts_with("#[bench]") || t.starts_with("@bench");
  if (contains_any(t, kBenchmarkMarkers) && (bench_attribute || (contains(t, "bench") && has_function_keyword))) {
    const std::string_view name = first_function_name(t).value_or("benchmark");
    std::string title = quoted("▶ Run Benchmark '", name);
    visit(make_lens(range, std::move(title), "zevo.runBenchmark", uri, std::string(name)));
  }

  for_each_declared_name(t, [&](std::string_view name) {
    const std::size_t count = counts.find(name)->second.count;
    if (count == 0) return true;
    std::string title = count == 1 ? "1 reference" : std::to_string(count) + " references";
    visit(make_lens(range, std::move(title), "editor.action.showReferences", std::nullopt, std::string(name)));
    return false;
  });
}

}  // namespace

std::optional<std::string_view> function_name_after(std::string_view line, std::string_view keyword) {
  const std::size_t at = line.find(keyword);
  if (at == npos) return std::nullopt;
  const std::string_view rest = text::trim_start(line.substr(at + keyword.size()));
  const std::size_t paren = rest.find('(');
  if (paren == npos) return std::nullopt;
  const std::string_view name = text::trim(rest.substr(0, paren));
  if (name.empty()) return std::nullopt;
  return name;
}

namespace {

// Calls `visit(CodeLens)` with every lens of the text in order; only one lens
// is held at a time.
template <class Visit>
void for_each_code_lens(std::string_view text, std::string_view uri, Visit&& visit) {
  const NameCounts counts = count_references(text);
  text::for_each_line(text, [&](std::size_t i, std::string_view line) {
    add_line_lenses(visit, static_cast<uint32_t>(i), text::trim(line), uri, counts);
    return true;
  });
}

}  // namespace

std::vector<CodeLens> compute_code_lenses(std::string_view text, std::string_view uri) {
  std::vector<CodeLens> lenses;
  for_each_code_lens(text, uri, [&](CodeLens lens) { lenses.push_back(std::move(lens)); });
  return lenses;
}

HandlerResult handle_code_lens(Params params, const DocumentsSnapshot& snapshot, zevo::json::Writer& out) {
  const json& uri = zevo::json::get(zevo::json::get(raw_params(params), "textDocument"), "uri");
  if (!uri.is_string()) return internal_error(std::string(kCodeLensError) + "Missing textDocument.uri");
  const std::string& uri_text = *uri.get_ptr<const std::string*>();
  const std::string* text = snapshot.find(uri_text);
  if (text == nullptr) return internal_error(std::string(kCodeLensError) + "Document not found");
  out.begin_array();
  for_each_code_lens(*text, uri_text, [&](const CodeLens& lens) { write(out, lens); });
  out.end_array();
  return {};
}

}  // namespace zevo::lsp

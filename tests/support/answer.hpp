// Calling a request handler the way the dispatcher does, and keeping what it wrote.
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "json/json.hpp"
#include "lsp/handler.hpp"

namespace zevo::lsp {

// A handler's outcome (a HandlerResult, or the Status of a feature that gives
// its own error texts) and the text it wrote, meaningful only when ok().
template <class Outcome>
struct AnswerOf {
  Outcome result;
  std::string text;

  bool ok() const { return result.ok(); }
  decltype(auto) error() const { return result.error(); }
};
using Answer = AnswerOf<HandlerResult>;

// Calls handler(args..., writer) with a writer of the given limit.
template <class Handler, class... Args>
auto answer_of(Handler&& handler, Args&&... args) {
  json::Writer out;
  auto result = handler(std::forward<Args>(args)..., out);
  return AnswerOf<decltype(result)>{std::move(result), out.text()};
}

// One record as the writer puts it.
template <class Record>
std::string written(const Record& record) {
  json::Writer out;
  write(out, record);
  return out.text();
}

}  // namespace zevo::lsp

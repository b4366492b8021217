// The ZEVO parser: recursive descent over a two-token window (the current
// token and the next one), with a Pratt loop for expressions.
//
// Position convention of every routine: a statement, expression or type
// routine is entered with `current` on its first token and, when it yields
// something, returns with `current` on its last token; a pattern routine
// returns with `current` on the token after the pattern; `parse_block` is
// entered on the token before the block and returns on its terminator. A
// routine that yields nothing leaves `current` where it stopped, and the loop
// around it advances past that token. Nothing is ever reported.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "parser/ast.hpp"
#include "parser/lexer.hpp"
#include "parser/token.hpp"

namespace zevo::parser {

// How deeply statements, blocks, expressions, types, patterns and attribute
// arguments may nest inside one another. A construct deeper than this yields
// nothing, like any construct that does not fit, so no text can exhaust the
// stack.
inline constexpr int kMaxNesting = 256;

// The items of the lists being read, the innermost list's last. Lists nest
// strictly, so one store serves them all: a finished list is moved once into
// the arena at its exact length, and the store keeps its room from one parse
// to the next while recent parses needed it.
template <class T>
class PendingItems {
 public:
  PendingItems();
  ~PendingItems();
  PendingItems(const PendingItems&) = delete;
  PendingItems& operator=(const PendingItems&) = delete;

  // One list being read: the items pushed since it was opened. Those it has
  // not handed over are dropped with it.
  class List {
   public:
    explicit List(PendingItems& store) : store_(store), mark_(store.items_.size()) {}
    ~List() {
      store_.peak_ = std::max(store_.peak_, store_.items_.size());
      store_.items_.erase(store_.items_.begin() + static_cast<std::ptrdiff_t>(mark_), store_.items_.end());
    }
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    void push_back(T&& item) { store_.items_.push_back(std::move(item)); }
    std::span<T> items() { return std::span<T>(store_.items_).subspan(mark_); }

   private:
    PendingItems& store_;
    std::size_t mark_;
  };

  List open() { return List(*this); }

 private:
  std::vector<T> items_;
  std::size_t peak_ = 0;
};

class Parser {
 public:
  // Reads the first two tokens; the parser owns the lexer from then on.
  explicit Parser(Lexer lexer);
  // The window points into the parser itself.
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  const Token& current() const { return *current_; }
  const Token& next() const { return *next_; }
  const Span& current_span() const { return *current_span_; }
  const Span& next_span() const { return *next_span_; }

  void advance();

  // Nodes that the routines below yield live in the parser's arena, so they
  // last as long as the parser, or as the Program that `parse_program` returns.
  Program parse_program();
  // Reads the statements to the end as `parse_program` does, hands each
  // top-level one to `visit(const Stmt&)` and then drops it with the memory it
  // took, so memory holds the largest statement rather than the document.
  // Nothing outside a statement points into the arena: the window's tokens
  // own their text and no list is open between top-level statements.
  template <class Visit>
  void read_each_statement(Visit visit) {
    read_statements_to_end([&](Stmt&& stmt) { visit(static_cast<const Stmt&>(stmt)); }, [this] { arena_->reset(); });
  }
  // Bytes the parser's arena holds.
  std::size_t arena_bytes() const { return arena_->reserved(); }
  std::optional<Stmt> parse_statement();
  Block parse_block();
  Block parse_statements_to_end();

  std::optional<Expr> parse_expression(std::uint8_t min_power);
  std::optional<TypeRef> parse_type();
  std::optional<Pattern> parse_pattern();
  std::optional<Seq<Expr>> parse_call_arguments();
  std::optional<Seq<Param>> parse_parameters();
  std::optional<Seq<AttrArg>> parse_attribute_args();
  Seq<QosPolicy> parse_qos_options();

 private:
  // Counts one level of nesting for as long as it lives.
  class Nesting {
   public:
    explicit Nesting(Parser& parser) : parser_(parser) { ++parser_.depth_; }
    ~Nesting() { --parser_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    bool too_deep() const { return parser_.depth_ > kMaxNesting; }

   private:
    Parser& parser_;
  };

  template <class T, class... Args>
  Box<T> make(Args&&... args) {
    return arena_->box<T>(std::forward<Args>(args)...);
  }
  template <class T>
  Seq<T> seq(std::vector<T>&& items) {
    return arena_->seq(std::move(items));
  }
  template <class T>
  Seq<T> seq(std::span<T> items) {
    return arena_->seq(items);
  }
  // The text of the current identifier or string, kept in the arena.
  Text current_text() { return arena_->text(current_->text); }

  bool at(TokenKind kind) const { return current_->kind == kind; }
  bool next_at(TokenKind kind) const { return next_->kind == kind; }
  void advance_twice() {
    advance();
    advance();
  }

  // The items after a first one, each behind a ",", for as long as the next
  // token is ","; false when one does not parse. With `close`, a "," right
  // before that token ends the list there (a trailing comma), and `*closed`
  // says so.
  template <class Items, class Read>
  bool read_more_items(Items& items, Read read, std::optional<TokenKind> close = std::nullopt,
                       bool* closed = nullptr) {
    while (next_at(TokenKind::Comma)) {
      advance_twice();
      if (close && at(*close)) {
        *closed = true;
        return true;
      }
      auto item = read();
      if (!item) return false;
      items.push_back(std::move(*item));
    }
    return true;
  }
  auto expression_reader() {
    return [this] { return parse_expression(0); };
  }
  auto type_reader() {
    return [this] { return parse_type(); };
  }

  // `after_each` runs after every statement, read or not.
  template <class Keep, class AfterEach>
  void read_statements_to_end(Keep keep, AfterEach after_each) {
    while (!at(TokenKind::EndOfInput)) {
      if (auto stmt = parse_statement()) keep(std::move(*stmt));
      after_each();
      advance();
    }
  }
  template <class Keep>
  void read_statements_to_end(Keep keep) {
    read_statements_to_end(keep, [] {});
  }

  // Statements (parser_stmt.cpp).
  std::optional<Stmt> parse_expression_statement();
  std::optional<Stmt> parse_assignment();
  std::optional<Stmt> parse_let_or_const(bool is_const);
  std::optional<Stmt> parse_return();
  std::optional<Stmt> parse_while();
  std::optional<Stmt> parse_for();
  std::optional<Stmt> parse_if_statement();
  std::optional<Stmt> parse_try();
  std::optional<Stmt> parse_function();
  std::optional<Stmt> parse_module();
  std::optional<Stmt> parse_region();
  std::optional<Stmt> parse_struct();
  std::optional<Stmt> parse_type_declaration();
  std::optional<Stmt> parse_use();
  std::optional<Stmt> parse_import();
  std::optional<Stmt> parse_export();
  std::optional<Stmt> parse_attributed_statement();
  std::optional<Param> parse_parameter();
  Seq<StructField> parse_struct_fields();

  // Expressions (parser_expr.cpp).
  // The postfix and binary operators after `left`, which they wrap; false
  // when one does not parse.
  bool read_operators(Expr& left, std::uint8_t min_power);
  std::optional<Expr> parse_prefix();
  std::optional<Expr> parse_list();
  std::optional<Expr> parse_parenthesized();
  std::optional<Expr> parse_if_expression();
  std::optional<Expr> parse_match();
  std::optional<Expr> parse_panic();
  std::optional<Expr> parse_asm();
  std::optional<Expr> parse_pin_method_call();
  std::optional<Seq<TypeRef>> parse_type_arguments();
  std::optional<TypeRef> parse_tuple_type();
  // "Some", "Ok" or "Err" around an expression or a pattern, which `read` parses.
  template <class Node, class SomeNode, class OkNode, class ErrNode, class Read>
  std::optional<Node> parse_wrapped(Read read);

  // Messaging, task, event and hardware forms (parser_decl.cpp).
  std::optional<Stmt> parse_participant();
  std::optional<Stmt> parse_topic();
  std::optional<Stmt> parse_publisher();
  std::optional<Stmt> parse_subscriber();
  std::optional<Stmt> parse_hardware_use();
  std::optional<Stmt> parse_task();
  std::optional<Stmt> parse_on_event();
  std::optional<Stmt> parse_emit();
  Seq<QosPolicy> trailing_qos_options();

  // Holds every node built so far; `parse_program` hands it to its Program.
  std::unique_ptr<Arena> arena_;
  PendingItems<Stmt> pending_statements_;
  PendingItems<Expr> pending_expressions_;
  Lexer lexer_;
  // The window's two tokens and their spans; `current_` and `next_` trade
  // places on every step, so a step moves no token.
  Token tokens_[2];
  Span spans_[2];
  Token* current_ = &tokens_[0];
  Token* next_ = &tokens_[1];
  Span* current_span_ = &spans_[0];
  Span* next_span_ = &spans_[1];
  int depth_ = 0;
};

// The whole-document parse, under the source name "<stdin>".
Program parse_document(std::string_view text);

// The same parse for callers that drop the tree unread (the diagnostics and go
// to definition), statement by statement (`read_each_statement`).
void check_document(std::string_view text);

}  // namespace zevo::parser

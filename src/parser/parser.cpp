#include "parser/parser.hpp"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace zevo::parser {

namespace {

bool is_block_terminator(TokenKind kind) {
  switch (kind) {
    case TokenKind::EndOfInput:
    case TokenKind::RightBrace:
    case TokenKind::TrElse:
    case TokenKind::TrElif:
    case TokenKind::TrFn:
    case TokenKind::TrModule:
    case TokenKind::TrEnd:
    case TokenKind::Else:
    case TokenKind::Elif:
    case TokenKind::Fn:
    case TokenKind::Module:
    case TokenKind::End:
      return true;
    default:
      return false;
  }
}

bool is_block_opener(TokenKind kind) {
  return kind == TokenKind::LeftBrace || kind == TokenKind::TrDo || kind == TokenKind::Do;
}

}  // namespace

template <class T>
PendingItems<T>::PendingItems() : items_(take_list_room<T>()) {}

template <class T>
PendingItems<T>::~PendingItems() {
  record_list_need<T>(peak_);
  give_back_list_room(std::move(items_));
}

template class PendingItems<Stmt>;
template class PendingItems<Expr>;

namespace {

// One parser reads one source, so only a span's position changes from token to token.
void take_position(Span& span, const Span& from) {
  span.line = from.line;
  span.column = from.column;
  span.length = from.length;
}

}  // namespace

Parser::Parser(Lexer lexer) : arena_(std::make_unique<Arena>()), lexer_(std::move(lexer)) {
  *current_ = lexer_.next_token();
  *current_span_ = lexer_.last_span();
  *next_ = lexer_.next_token();
  *next_span_ = lexer_.last_span();
}

void Parser::advance() {
  // The old current token is dropped, and the token after `next` is built in
  // its slot: assigning it would move its text, which for a short one copies.
  std::swap(current_, next_);
  std::swap(current_span_, next_span_);
  std::destroy_at(next_);
  ::new (static_cast<void*>(next_)) Token(lexer_.next_token());
  take_position(*next_span_, lexer_.last_span());
}

Program Parser::parse_program() {
  Program program;
  read_statements_to_end([&](Stmt&& stmt) { program.statements.push_back(*arena_, std::move(stmt)); });
  program.arena = std::exchange(arena_, std::make_unique<Arena>());
  return program;
}

Block Parser::parse_statements_to_end() {
  auto body = pending_statements_.open();
  read_statements_to_end([&](Stmt&& stmt) { body.push_back(std::move(stmt)); });
  return seq(body.items());
}

Block Parser::parse_block() {
  // A block never fails; one nested too deeply is cut off by its statements.
  Nesting nesting(*this);
  auto body = pending_statements_.open();
  advance();
  if (is_block_opener(current_->kind)) advance();
  while (!is_block_terminator(current_->kind)) {
    if (auto stmt = parse_statement()) body.push_back(std::move(*stmt));
    advance();
  }
  return seq(body.items());
}

std::optional<Stmt> Parser::parse_statement() {
  Nesting nesting(*this);
  if (nesting.too_deep()) return std::nullopt;
  switch (current_->kind) {
    case TokenKind::RightBrace:
      return std::nullopt;
    case TokenKind::TrIf:
    case TokenKind::If:
      return parse_if_statement();
    case TokenKind::TrWhile:
    case TokenKind::While:
      return parse_while();
    case TokenKind::TrFor:
    case TokenKind::For:
      return parse_for();
    case TokenKind::TrFn:
    case TokenKind::Fn:
      return parse_function();
    case TokenKind::TrModule:
    case TokenKind::Module:
      return parse_module();
    case TokenKind::TrReturn:
    case TokenKind::Return:
      return parse_return();
    case TokenKind::TrConst:
    case TokenKind::Const:
      return parse_let_or_const(true);
    case TokenKind::TrLet:
    case TokenKind::Let:
    case TokenKind::Variable:
      return parse_let_or_const(false);
    case TokenKind::TrTry:
    case TokenKind::Try:
      return parse_try();
    case TokenKind::TrBreak:
    case TokenKind::Break:
    case TokenKind::TrContinue:
    case TokenKind::Continue: {
      const bool is_break = at(TokenKind::TrBreak) || at(TokenKind::Break);
      if (next_at(TokenKind::Semicolon)) advance();
      return is_break ? Stmt(parser::Break{}) : Stmt(parser::Continue{});
    }
    case TokenKind::TrStruct:
    case TokenKind::Struct:
      return parse_struct();
    case TokenKind::TrRegion:
    case TokenKind::Region:
      return parse_region();
    case TokenKind::TrUse:
    case TokenKind::Use:
      if (next_at(TokenKind::Hal) || next_at(TokenKind::TrHal)) return parse_hardware_use();
      return parse_use();
    case TokenKind::TrImport:
    case TokenKind::Import:
      return parse_import();
    case TokenKind::TrExport:
    case TokenKind::Export:
      return parse_export();
    case TokenKind::Tip:
    case TokenKind::Type:
      return parse_type_declaration();
    case TokenKind::TrParticipant:
    case TokenKind::Participant:
      return parse_participant();
    case TokenKind::TrTopic:
    case TokenKind::Topic:
      return parse_topic();
    case TokenKind::TrPublisher:
    case TokenKind::Publisher:
      return parse_publisher();
    case TokenKind::TrSubscriber:
    case TokenKind::Subscriber:
      return parse_subscriber();
    case TokenKind::Identifier:
      if (next_at(TokenKind::Equal)) return parse_assignment();
      return parse_expression_statement();
    case TokenKind::Hash:
      return parse_attributed_statement();
    case TokenKind::Task:
    case TokenKind::TrTask:
      return parse_task();
    case TokenKind::On:
    case TokenKind::TrOn:
      return parse_on_event();
    case TokenKind::Emit:
    case TokenKind::TrEmit:
      return parse_emit();
    default:
      return parse_expression_statement();
  }
}

Program parse_document(std::string_view text) {
  Parser parser(Lexer(text, SourceFile{"<stdin>"}));
  return parser.parse_program();
}

void check_document(std::string_view text) {
  Parser parser(Lexer(text, SourceFile{"<stdin>"}));
  parser.read_each_statement([](const Stmt&) {});
}

}  // namespace zevo::parser

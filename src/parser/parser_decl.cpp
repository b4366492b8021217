// Publish/subscribe declarations with their quality-of-service options,
// tasks, task methods, event handlers, event emission and hardware use.
#include <cmath>
#include <limits>
#include <utility>

#include "parser/parser.hpp"
#include "parser/parser_tables.hpp"

namespace zevo::parser {

namespace {

struct QosOption {
  TokenKind kind;
  QosPolicyKind policy;
  std::uint8_t choice;
};

// History, Deadline and Lifespan also read an optional "= N" after the word.
constexpr QosOption QOS_OPTIONS[] = {
    {TokenKind::TrReliable, QosPolicyKind::Reliability, 0},
    {TokenKind::Reliable, QosPolicyKind::Reliability, 0},
    {TokenKind::TrBestEffort, QosPolicyKind::Reliability, 1},
    {TokenKind::BestEffort, QosPolicyKind::Reliability, 1},
    {TokenKind::TrHistory, QosPolicyKind::History, 0},
    {TokenKind::History, QosPolicyKind::History, 0},
    {TokenKind::TrVolatile, QosPolicyKind::Durability, 0},
    {TokenKind::Volatile, QosPolicyKind::Durability, 0},
    {TokenKind::TrTransient, QosPolicyKind::Durability, 1},
    {TokenKind::Transient, QosPolicyKind::Durability, 1},
    {TokenKind::TrPersistent, QosPolicyKind::Durability, 2},
    {TokenKind::Persistent, QosPolicyKind::Durability, 2},
    {TokenKind::TrDeadline, QosPolicyKind::Deadline, 0},
    {TokenKind::Deadline, QosPolicyKind::Deadline, 0},
    {TokenKind::TrLifespan, QosPolicyKind::Lifespan, 0},
    {TokenKind::Lifespan, QosPolicyKind::Lifespan, 0},
};

const QosOption* find_qos_option(TokenKind kind) {
  for (const QosOption& option : QOS_OPTIONS) {
    if (option.kind == kind) return &option;
  }
  return nullptr;
}

// The peripheral's index in PERIPHERAL_NAMES, for the English and the Turkish words.
std::optional<std::size_t> peripheral_index(TokenKind kind) {
  const int n = token_kind_number(kind);
  for (TokenKind first : {TokenKind::Gpio, TokenKind::TrGpio}) {
    const int start = token_kind_number(first);
    if (n >= start && n < start + static_cast<int>(std::size(tables::PERIPHERAL_NAMES))) {
      return static_cast<std::size_t>(n - start);
    }
  }
  return std::nullopt;
}

bool is_priority(TokenKind kind) { return kind == TokenKind::Priority || kind == TokenKind::TrPriority; }

// Rounds toward zero and saturates at both ends of the unsigned range; NaN reads as 0.
std::uint64_t saturating_u64(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 18446744073709551616.0) return std::numeric_limits<std::uint64_t>::max();
  return static_cast<std::uint64_t>(value);
}

}  // namespace

std::optional<Stmt> Parser::parse_participant() {
  std::int64_t domain = 0;
  if (next_at(TokenKind::IntegerLiteral)) {
    advance();
    domain = current_->integer;
  }
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(make<Participant>(Expr(Integer{domain})));
}

// The options in parentheses after a topic, publisher or subscriber, and the ";".
Seq<QosPolicy> Parser::trailing_qos_options() {
  Seq<QosPolicy> qos;
  if (next_at(TokenKind::LeftParen)) {
    advance();
    qos = parse_qos_options();
  }
  if (next_at(TokenKind::Semicolon)) advance();
  return qos;
}

std::optional<Stmt> Parser::parse_topic() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  if (!at(TokenKind::Colon)) return std::nullopt;
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  TypeRef message_type{current_text(), {}};
  auto qos = trailing_qos_options();
  return Stmt(make<Topic>(std::move(name), std::move(message_type), std::move(qos)));
}

std::optional<Stmt> Parser::parse_publisher() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  if (!at(TokenKind::Arrow)) return std::nullopt;
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text topic = current_text();
  auto qos = trailing_qos_options();
  return Stmt(make<Publisher>(std::move(name), std::move(topic), std::move(qos)));
}

std::optional<Stmt> Parser::parse_subscriber() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  // "<-" reaches the parser as "<" and "-".
  if (at(TokenKind::Less) && next_at(TokenKind::Minus)) {
    advance();
  } else if (!at(TokenKind::Arrow)) {
    return std::nullopt;
  }
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text topic = current_text();
  auto qos = trailing_qos_options();
  return Stmt(make<Subscriber>(std::move(name), std::move(topic), std::move(qos)));
}

Seq<QosPolicy> Parser::parse_qos_options() {
  std::vector<QosPolicy> qos;
  if (!at(TokenKind::LeftParen)) return Seq<QosPolicy>();
  advance();
  while (!at(TokenKind::RightParen) && !at(TokenKind::EndOfInput)) {
    const QosOption* option = find_qos_option(current_->kind);
    advance();
    if (option != nullptr) {
      QosPolicy policy{option->policy, option->choice, false, 0};
      const bool takes_value = option->policy == QosPolicyKind::History ||
                               option->policy == QosPolicyKind::Deadline ||
                               option->policy == QosPolicyKind::Lifespan;
      if (takes_value) {
        bool has_equal = false;
        std::optional<std::int64_t> number;
        if (at(TokenKind::Equal)) {
          has_equal = true;
          advance();
          if (at(TokenKind::IntegerLiteral)) {
            number = current_->integer;
            advance();
          }
        }
        if (option->policy == QosPolicyKind::History) {
          // A depth is kept in 32 bits; "history =" without one means a depth of 1.
          policy.keep_all = !has_equal;
          policy.value = !has_equal ? 0 : number ? static_cast<std::uint32_t>(*number) : 1;
        } else {
          policy.value = number ? static_cast<std::uint64_t>(*number) : 0;
        }
      }
      qos.push_back(policy);
    }
    if (at(TokenKind::Comma)) advance();
  }
  return seq(std::move(qos));
}

std::optional<Stmt> Parser::parse_hardware_use() {
  advance();
  std::vector<Text> path;
  path.push_back(Text::fixed(at(TokenKind::Hal) ? "hal" : "dsk"));
  if (!next_at(TokenKind::ColonColon)) return std::nullopt;
  advance_twice();
  if (const auto index = peripheral_index(current_->kind)) {
    path.push_back(Text::fixed(tables::PERIPHERAL_NAMES[*index]));
  } else if (at(TokenKind::Identifier)) {
    path.push_back(current_text());
  } else {
    return std::nullopt;
  }
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(make<UseHal>(seq(std::move(path))));
}

std::optional<Stmt> Parser::parse_task() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();

  if (next_at(TokenKind::Dot)) {
    advance_twice();
    if (!at(TokenKind::Identifier)) return std::nullopt;
    Text handler = current_text();
    if (!next_at(TokenKind::LeftParen)) return std::nullopt;
    advance();
    auto params = parse_parameters();
    if (!params) return std::nullopt;
    if (!next_at(TokenKind::LeftBrace)) return std::nullopt;
    advance();
    Block body = parse_block();
    return Stmt(make<TaskMethod>(std::move(name), std::move(handler), std::move(*params), std::move(body)));
  }

  if (!next_at(TokenKind::LeftBrace)) return std::nullopt;
  advance_twice();
  Box<Task> task = make<Task>();
  task->name = std::move(name);
  std::vector<TaskEntry> entries;
  // Only a property word without its ":" fails the task; every other misfit is passed over.
  while (!at(TokenKind::RightBrace) && !at(TokenKind::EndOfInput)) {
    switch (current_->kind) {
      case TokenKind::Priority:
      case TokenKind::TrPriority:
        advance();
        if (!at(TokenKind::Colon)) return std::nullopt;
        advance();
        if (at(TokenKind::IntegerLiteral)) task->priority = static_cast<std::uint8_t>(current_->integer);
        break;
      case TokenKind::Stack:
      case TokenKind::TrStack:
        advance();
        if (!at(TokenKind::Colon)) return std::nullopt;
        advance();
        if (at(TokenKind::IntegerLiteral)) {
          std::uint64_t bytes = static_cast<std::uint64_t>(current_->integer);
          const bool kilo = next_at(TokenKind::UnitKb) || (next_at(TokenKind::Identifier) && next_->text == "kb");
          const bool mega = next_at(TokenKind::Identifier) && (next_->text == "MB" || next_->text == "mb");
          if (kilo || mega) {
            bytes *= kilo ? 1024u : 1048576u;  // unsigned: wraps at 64 bits
            advance();
          }
          task->stack = bytes;
        } else {
          task->stack.reset();
        }
        break;
      case TokenKind::Period:
      case TokenKind::TrPeriod: {
        advance();
        if (!at(TokenKind::Colon)) return std::nullopt;
        advance();
        std::uint64_t value;
        if (at(TokenKind::IntegerLiteral)) {
          value = static_cast<std::uint64_t>(current_->integer);
        } else if (at(TokenKind::FloatLiteral)) {
          value = saturating_u64(current_->real);
        } else {
          task->period.reset();
          break;
        }
        TimeUnit unit = TimeUnit::Ms;
        bool has_unit = true;
        if (next_at(TokenKind::UnitMs)) {
          unit = TimeUnit::Ms;
        } else if (next_at(TokenKind::UnitUs)) {
          unit = TimeUnit::Us;
        } else if (next_at(TokenKind::UnitS)) {
          unit = TimeUnit::S;
        } else if (next_at(TokenKind::Identifier) && next_->text == "ns") {
          unit = TimeUnit::Ns;
        } else {
          has_unit = false;
        }
        if (has_unit) advance();
        task->period = TaskPeriod{value, unit};
        break;
      }
      case TokenKind::Identifier: {
        Text entry = current_text();
        advance();
        if (at(TokenKind::Colon)) {
          advance();
          if (at(TokenKind::Identifier)) entries.push_back(TaskEntry{std::move(entry), current_text()});
        }
        break;
      }
      default:
        break;
    }
    advance();
  }
  task->entries = seq(std::move(entries));
  return Stmt(std::move(task));
}

std::optional<Stmt> Parser::parse_on_event() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text event = current_text();
  if (!next_at(TokenKind::LeftParen)) return std::nullopt;
  advance();
  auto params = parse_parameters();
  if (!params) return std::nullopt;
  std::optional<std::uint8_t> priority;
  if (is_priority(next_->kind)) {
    // Written without a colon here.
    advance_twice();
    if (at(TokenKind::IntegerLiteral)) priority = static_cast<std::uint8_t>(current_->integer);
  }
  if (!next_at(TokenKind::LeftBrace)) return std::nullopt;
  advance();
  Block body = parse_block();
  return Stmt(make<OnEvent>(std::move(event), std::move(*params), priority, std::move(body)));
}

std::optional<Stmt> Parser::parse_emit() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text event = current_text();
  auto args = pending_expressions_.open();
  if (next_at(TokenKind::LeftParen)) {
    advance_twice();
    if (!at(TokenKind::RightParen) && !at(TokenKind::EndOfInput)) {
      // An argument that does not parse is left out.
      if (auto arg = parse_expression(0)) args.push_back(std::move(*arg));
      while (next_at(TokenKind::Comma)) {
        advance_twice();
        if (auto arg = parse_expression(0)) args.push_back(std::move(*arg));
      }
    }
    if (next_at(TokenKind::RightParen)) advance();
  }
  return Stmt(ExprStmt{Expr(make<Emit>(std::move(event), seq(args.items())))});
}

}  // namespace zevo::parser

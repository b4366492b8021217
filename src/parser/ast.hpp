// The syntax tree the parser builds: statements, expressions, patterns, types
// and the small records they hold.
//
// `Stmt`, `Expr` and `Pattern` are 16-byte handles: a variant whose
// alternatives with children or text live in their own allocation (`Box`),
// while the tiny ones (integers, flags, empty markers) sit in the handle. Every
// node owns its children outright.
//
// Left-nested chains (`a + a + ...`, `f()()...`, `a.b.c...`, else-if links)
// are built by loops, not by recursion, so their depth has no bound; dropping
// a handle therefore hands its node to a per-thread work list instead of
// recursing once per level (see ast.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "parser/token.hpp"

namespace zevo::parser {

template <class T>
using Box = std::unique_ptr<T>;

// ---- Expressions -----------------------------------------------------------

struct Integer {
  std::int64_t value = 0;
};
struct Float {
  double value = 0.0;
};
struct Bool {
  bool value = false;
};
struct Null {};
struct NoneExpr {};

struct NameRef;
struct Str;
struct List;
struct Index;
struct Unary;
struct Binary;
struct IfExpr;
struct Match;
struct Call;
struct New;
struct Move;
struct Share;
struct Change;
struct Tuple;
struct SomeExpr;
struct OkExpr;
struct ErrExpr;
struct Asm;
struct Panic;
struct TryExpr;
struct PinMethodCall;
struct RangeExpr;
struct Cast;
struct MethodCall;
struct Emit;

struct Expr {
  // In the declared order of the alternatives.
  using Node = std::variant<Box<NameRef>, Integer, Float, Box<Str>, Bool, Null, Box<List>, Box<Index>,
                            Box<Unary>, Box<Binary>, Box<IfExpr>, Box<Match>, Box<Call>, Box<New>,
                            Box<Move>, Box<Share>, Box<Change>, Box<Tuple>, Box<SomeExpr>, NoneExpr,
                            Box<OkExpr>, Box<ErrExpr>, Box<Asm>, Box<Panic>, Box<TryExpr>,
                            Box<PinMethodCall>, Box<RangeExpr>, Box<Cast>, Box<MethodCall>, Box<Emit>>;
  Node node;

  Expr() = default;
  template <class Alt>
    requires std::is_constructible_v<Node, Alt&&>
  Expr(Alt&& alt) : node(std::forward<Alt>(alt)) {}
  Expr(Expr&&) noexcept = default;
  Expr& operator=(Expr&&) noexcept = default;
  ~Expr();
};

// ---- Statements --------------------------------------------------------------

struct Break {};
struct Continue {};

struct Let;
struct Const;
struct Assign;
struct Return;
struct ExprStmt;
struct Function;
struct Module;
struct While;
struct For;
struct If;
struct Try;
struct Struct;
struct TypeAlias;
struct Region;
struct Use;
struct Import;
struct Export;
struct Attributed;
struct Participant;
struct Topic;
struct Publisher;
struct Subscriber;
struct UseHal;
struct Task;
struct TaskMethod;
struct OnEvent;

struct Stmt {
  using Node = std::variant<Box<Let>, Box<Const>, Box<Assign>, Box<Return>, Box<ExprStmt>, Box<Function>,
                            Box<Module>, Box<While>, Box<For>, Box<If>, Box<Try>, Box<Struct>,
                            Box<TypeAlias>, Box<Region>, Box<Use>, Box<Import>, Box<Export>,
                            Box<Attributed>, Box<Participant>, Box<Topic>, Box<Publisher>,
                            Box<Subscriber>, Box<UseHal>, Box<Task>, Box<TaskMethod>, Box<OnEvent>,
                            Break, Continue>;
  Node node;

  Stmt() = default;
  template <class Alt>
    requires std::is_constructible_v<Node, Alt&&>
  Stmt(Alt&& alt) : node(std::forward<Alt>(alt)) {}
  Stmt(Stmt&&) noexcept = default;
  Stmt& operator=(Stmt&&) noexcept = default;
  ~Stmt();
};

using Block = std::vector<Stmt>;

// ---- Patterns ------------------------------------------------------------------

struct Wildcard {};
struct NonePattern {};

struct Literal;
struct Binding;
struct TuplePattern;
struct SomePattern;
struct OkPattern;
struct ErrPattern;

// Patterns nest only through the parser's recursion, which is bounded, so
// they are dropped the ordinary way.
struct Pattern {
  using Node = std::variant<Box<Literal>, Box<Binding>, Wildcard, Box<TuplePattern>, Box<SomePattern>,
                            NonePattern, Box<OkPattern>, Box<ErrPattern>>;
  Node node;

  Pattern() = default;
  template <class Alt>
    requires std::is_constructible_v<Node, Alt&&>
  Pattern(Alt&& alt) : node(std::forward<Alt>(alt)) {}
};

// ---- Small records ---------------------------------------------------------------

// A tuple type is named "demet" and has its element types as `args`.
struct TypeRef {
  std::string name;
  std::vector<TypeRef> args;
};

struct Param {
  std::string name;
  std::optional<TypeRef> type_ref;
};

struct StructField {
  std::string name;
  TypeRef type_ref;
};

struct UseItem {
  std::string name;
  std::optional<std::string> alias;
};

struct UseSelection {
  struct Path {};
  struct Items {
    std::vector<UseItem> items;
  };
  std::variant<Path, Items> value;
};

enum class ExportKind : std::uint8_t { FunctionItem, StructItem, ConstItem, ModuleItem, All };

struct ExportItem {
  ExportKind kind = ExportKind::All;
  std::optional<std::string> name;  // absent for All
};

struct AttrArg {
  struct KeyValue {
    std::string name;
    std::string value;
  };
  struct Flag {
    std::string name;
  };
  struct Nested {
    std::string name;
    std::vector<AttrArg> args;
  };
  std::variant<KeyValue, Flag, Nested> value;
};

enum class QosPolicyKind : std::uint8_t { Reliability = 0, History = 1, Durability = 2, Deadline = 3, Lifespan = 4 };

// Which fields mean something depends on `policy`: `choice` for Reliability and
// Durability, `keep_all` and `value` for History, `value` for Deadline and Lifespan.
struct QosPolicy {
  QosPolicyKind policy = QosPolicyKind::Reliability;
  std::uint8_t choice = 0;
  bool keep_all = false;
  std::uint64_t value = 0;
};

struct TaskEntry {
  std::string name;
  std::string value;
};

enum class TimeUnit : std::uint8_t { Ns = 0, Us = 1, Ms = 2, S = 3 };

struct TaskPeriod {
  std::uint64_t value = 0;
  TimeUnit unit = TimeUnit::Ms;
};

enum class AsmArch : std::uint8_t { X86_64 = 0, Arm64 = 1, Riscv = 2 };
enum class AsmDirection : std::uint8_t { In = 0, Out = 1, InOut = 2, LateOut = 3 };

struct AsmOperand {
  AsmDirection direction = AsmDirection::In;
  std::string register_name;
  Expr value;
};

struct MatchArm {
  Pattern pattern;
  Expr body;
};

// The part of an `If` after its first body: an else block, or another `If`
// record (the next link of an else-if chain).
struct ElseBranch {
  struct Else {
    Block body;
  };
  struct ElseIf {
    Box<If> link;
  };
  std::variant<Else, ElseIf> value;

  ElseBranch() = default;
  ElseBranch(Else e) : value(std::move(e)) {}
  ElseBranch(ElseIf e) : value(std::move(e)) {}
  ElseBranch(ElseBranch&&) noexcept = default;
  ElseBranch& operator=(ElseBranch&&) noexcept = default;
  ~ElseBranch();
};

// ---- Expression alternatives ---------------------------------------------------

struct NameRef {
  std::string name;
};
struct Str {
  std::string text;
};
struct List {
  std::vector<Expr> items;
};
struct Index {
  Expr object;
  Expr index;
};
// `op` is "-", "değil" or "not".
struct Unary {
  std::string op;
  Expr operand;
};
// `op` is one of "+", "-", "*", "/", "%", "==", "!=", "<", ">", "<=", ">=",
// "and", "or", "::" and ".".
struct Binary {
  std::string op;
  Expr left;
  Expr right;
};
struct IfExpr {
  Expr condition;
  Box<Block> then_body;
  Box<Block> else_body;  // null when there is no else block
};
struct Match {
  Expr scrutinee;
  std::vector<MatchArm> arms;
};
struct Call {
  Expr callee;
  std::vector<Expr> args;
};
struct New {
  std::string type_name;
};
struct Move {
  Expr operand;
};
struct Share {
  Expr operand;
};
struct Change {
  Expr operand;
};
struct Tuple {
  std::vector<Expr> items;
};
struct SomeExpr {
  Expr operand;
};
struct OkExpr {
  Expr operand;
};
struct ErrExpr {
  Expr operand;
};
struct Asm {
  AsmArch arch = AsmArch::X86_64;
  std::string template_;
  std::vector<AsmOperand> operands;
};
struct Panic {
  std::string message;
  std::vector<Expr> args;
  Span location;  // of the "panic" token
};
struct TryExpr {
  Expr operand;
  Span location;  // of the "?" token
};
struct PinMethodCall {
  std::string peripheral;
  std::string pin;
  std::optional<std::uint8_t> pin_number;
  std::string operation;
  std::vector<Expr> args;
};
struct RangeExpr {
  bool inclusive = false;
  Expr low;
  Expr high;
};
struct Cast {
  Expr operand;
  TypeRef target;
};
struct MethodCall {
  Expr object;
  std::string method;
  std::vector<Expr> args;
};
struct Emit {
  std::string event;
  std::vector<Expr> args;
};

// ---- Statement alternatives ------------------------------------------------------

struct Let {
  std::string name;
  Expr value;
};
struct Const {
  std::string name;
  Expr value;
};
struct Assign {
  std::string name;
  Expr value;
};
struct Return {
  Expr value;
};
struct ExprStmt {
  Expr expr;
};
struct Function {
  std::string name;
  std::vector<std::string> type_params;
  std::vector<Param> params;
  std::optional<TypeRef> return_type;
  Block body;
};
struct Module {
  std::string name;
  Block body;
};
struct While {
  Expr condition;
  Block body;
};
struct For {
  std::string variable;
  Expr iterable;
  Block body;
};
struct If {
  Expr condition;
  Block then_body;
  Box<ElseBranch> else_branch;  // null when there is none
};
struct Try {
  Block body;
  std::optional<std::string> catch_name;
  Block catch_body;
};
struct Struct {
  std::string name;
  std::vector<StructField> fields;
};
struct TypeAlias {
  std::string name;
  TypeRef target;
};
struct Region {
  std::string name;
  std::optional<std::int64_t> size;
  Block body;
};
struct Use {
  bool absolute = false;
  std::vector<std::string> path;
  UseSelection selection;
  std::optional<std::string> alias;
};
struct Import {
  std::string path;
  std::optional<std::string> alias;
  std::optional<std::vector<std::string>> items;
};
struct Export {
  std::vector<ExportItem> items;
};
struct Attributed {
  std::string name;
  std::vector<AttrArg> args;
  Stmt statement;
};
struct Participant {
  Expr domain;  // always an Integer
};
struct Topic {
  std::string name;
  TypeRef message_type;  // a name without arguments
  std::vector<QosPolicy> qos;
};
struct Publisher {
  std::string name;
  std::string topic;
  std::vector<QosPolicy> qos;
};
struct Subscriber {
  std::string name;
  std::string topic;
  std::vector<QosPolicy> qos;
};
struct UseHal {
  std::vector<std::string> path;  // always two entries
};
struct Task {
  std::string name;
  std::optional<std::uint8_t> priority;
  std::optional<TaskPeriod> period;
  std::optional<std::uint64_t> stack;  // bytes
  std::vector<TaskEntry> entries;
};
struct TaskMethod {
  std::string task;
  std::string handler;
  std::vector<Param> params;
  Block body;
};
struct OnEvent {
  std::string event;
  std::vector<Param> params;
  std::optional<std::uint8_t> priority;
  Block body;
};

// ---- Pattern alternatives ----------------------------------------------------------

struct Literal {
  Expr value;
};
struct Binding {
  std::string name;
};
struct TuplePattern {
  std::vector<Pattern> items;
};
struct SomePattern {
  Pattern inner;
};
struct OkPattern {
  Pattern inner;
};
struct ErrPattern {
  Pattern inner;
};

// The whole-document parse: the statements in the order of the text.
using Program = std::vector<Stmt>;

// Builds a boxed alternative: `box<Binary>("+", std::move(a), std::move(b))`.
template <class T, class... Args>
Box<T> box(Args&&... args) {
  return Box<T>(new T{std::forward<Args>(args)...});
}

// The alternative a handle holds, or null (boxed and inline alternatives alike).
template <class T, class Handle>
const T* node_as(const Handle& handle) {
  if constexpr (std::is_constructible_v<typename Handle::Node, Box<T>>) {
    const auto* b = std::get_if<Box<T>>(&handle.node);
    return b ? b->get() : nullptr;
  } else {
    return std::get_if<T>(&handle.node);
  }
}

}  // namespace zevo::parser

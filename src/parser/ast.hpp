// The syntax tree the parser builds: statements, expressions, patterns, types
// and the small records they hold.
//
// Every node, text and list of one parse lives in the `Arena` that its
// `Program` owns: nodes refer to their children through `Box` handles, and the
// whole tree is dropped at once with the arena. Nothing in the tree has a
// destructor of its own that reaches a child, so no tree, however deep (a
// million `a + a + ...`, `f()()...` or else-if links), is dropped by
// recursion. `Expr` and `Pattern` are 16-byte handles, `Stmt` a 24-byte one:
// variants whose larger alternatives are boxed, while the small ones (numbers,
// flags, empty markers, a name reference, an expression statement) sit in the
// handle, as the most common statements of a document are a call or a name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "parser/token.hpp"

namespace zevo::parser {

// A handle to one node in the arena. It cannot be copied, so a node is
// reachable from one place only; moving it copies the address and leaves the
// source as it was, never to be read again, so that the handles and the
// variants that hold them move as plain bytes.
template <class T>
class Box {
 public:
  Box() = default;
  explicit Box(T* node) : node_(node) {}
  Box(Box&& other) noexcept = default;
  Box& operator=(Box&& other) noexcept = default;
  T* get() const { return node_; }
  T* operator->() const { return node_; }
  T& operator*() const { return *node_; }
  explicit operator bool() const { return node_ != nullptr; }

 private:
  T* node_ = nullptr;
};

// An address and a length in 8 bytes: the address in the upper 48 bits, which
// hold every user-space address, and the length below it. A length of kLong or
// more is kept in the 8 bytes before the address, and the field says only that
// it is long.
class AddressLength {
 public:
  static constexpr std::size_t kLong = 0xFFFF;

  AddressLength() = default;
  AddressLength(const void* at, std::size_t length)
      : bits_(reinterpret_cast<std::uintptr_t>(at) << kLengthBits | std::min(length, kLong)) {}

  template <class T>
  T* address() const {
    return reinterpret_cast<T*>(bits_ >> kLengthBits);
  }
  std::size_t length() const {
    std::size_t n = bits_ & kLong;
    if (n == kLong) std::memcpy(&n, address<const char>() - sizeof n, sizeof n);
    return n;
  }

 private:
  static constexpr unsigned kLengthBits = 16;
  static_assert(sizeof(std::uintptr_t) == 8);
  std::uint64_t bits_ = 0;
};

// Text held by the arena (or fixed text of the program), UTF-8.
class Text {
 public:
  Text() : at_("", 0) {}
  // Only for short text of static storage: operator spellings and table names.
  static Text fixed(std::string_view s) { return Text(s.data(), s.size()); }

  std::string_view view() const { return {at_.address<const char>(), at_.length()}; }
  operator std::string_view() const { return view(); }
  std::size_t size() const { return at_.length(); }
  bool empty() const { return size() == 0; }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }

 private:
  friend class Arena;
  Text(const char* data, std::size_t size) : at_(data, size) {}
  AddressLength at_;
};

// An ordered list held by the arena; it is filled once, when its node is built.
template <class T>
class Seq {
 public:
  Seq() = default;
  Seq(Seq&& other) noexcept : at_(std::exchange(other.at_, {})) {}
  Seq& operator=(Seq&& other) noexcept {
    at_ = std::exchange(other.at_, {});
    return *this;
  }
  T* begin() const { return at_.address<T>(); }
  T* end() const { return begin() + size(); }
  std::size_t size() const { return at_.length(); }
  bool empty() const { return size() == 0; }
  T& operator[](std::size_t i) const { return begin()[i]; }
  T& front() const { return begin()[0]; }
  T& back() const { return begin()[size() - 1]; }

 private:
  friend class Arena;
  AddressLength at_;
};

// Owns the memory of one tree. Objects are never released one by one: the
// arena frees its blocks when it is dropped (or all but one when it is reset),
// after running the destructors of the few objects that have one (spans,
// which hold a file name).
class Arena {
 public:
  // Blocks double in size from this one, so a large tree needs few of them.
  static constexpr std::size_t kFirstBlockSize = std::size_t{16} << 10;

  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena();

  void* allocate(std::size_t size, std::size_t align) {
    const auto at = reinterpret_cast<std::uintptr_t>(cursor_);
    const std::uintptr_t start = (at + align - 1) & ~static_cast<std::uintptr_t>(align - 1);
    if (cursor_ == nullptr || start + size > reinterpret_cast<std::uintptr_t>(limit_)) {
      return allocate_in_new_block(size, align);
    }
    cursor_ = reinterpret_cast<char*>(start + size);
    return reinterpret_cast<void*>(start);
  }

  template <class T, class... Args>
  T* make(Args&&... args) {
    T* object = new (allocate(sizeof(T), alignof(T))) T{std::forward<Args>(args)...};
    if constexpr (!std::is_trivially_destructible_v<T>) {
      finalizers_.push_back({object, [](void* o) { static_cast<T*>(o)->~T(); }});
    }
    return object;
  }

  template <class T, class... Args>
  Box<T> box(Args&&... args) {
    return Box<T>(make<T>(std::forward<Args>(args)...));
  }

  Text text(std::string_view s);

  // Drops every object built so far and keeps the newest block, the largest,
  // for what comes next; the older blocks go back to the pool.
  void reset() {
    if (!finalizers_.empty() || (blocks_ != nullptr && blocks_->previous != nullptr)) drop_older_blocks();
    if (blocks_ == nullptr) return;
    cursor_ = reinterpret_cast<char*>(blocks_) + kBlockHeader;
    limit_ = cursor_ + blocks_->size;
  }
  // Bytes in the blocks the arena holds.
  std::size_t reserved() const;

  // A list of `items`, moved in at their exact number.
  template <class T>
  Seq<T> seq(std::span<T> items) {
    // Children are never destroyed one by one, so only plain records may be listed.
    static_assert(std::is_trivially_destructible_v<T>);
    Seq<T> out;
    if (items.empty()) return out;
    // A long list keeps its length before its first item.
    const std::size_t prefix = items.size() >= AddressLength::kLong ? std::max(sizeof(std::size_t), alignof(T)) : 0;
    char* memory = static_cast<char*>(
        allocate(prefix + sizeof(T) * items.size(), std::max(alignof(T), alignof(std::size_t))));
    T* data = reinterpret_cast<T*>(memory + prefix);
    const std::size_t size = items.size();
    if (prefix != 0) std::memcpy(memory + prefix - sizeof size, &size, sizeof size);
    for (std::size_t i = 0; i < size; ++i) new (data + i) T(std::move(items[i]));
    out.at_ = AddressLength(data, size);
    return out;
  }
  template <class T>
  Seq<T> seq(std::vector<T>&& items) {
    Seq<T> out = seq(std::span<T>(items));
    items.clear();
    return out;
  }

 private:
  struct Finalizer {
    void* object;
    void (*destroy)(void*);
  };
  struct Block {
    Block* previous;
    std::size_t size;  // bytes after the header
  };
  static constexpr std::size_t kBlockHeader =
      (sizeof(Block) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
  void add_block(std::size_t at_least);
  // Runs the finalizers and lets go of every block but the newest.
  void drop_older_blocks();
  void* allocate_in_new_block(std::size_t size, std::size_t align);

  // Records fill a block upwards from `cursor_`, texts downwards from
  // `limit_`, so a text never leaves alignment padding before the next record.
  char* cursor_ = nullptr;
  char* limit_ = nullptr;
  Block* blocks_ = nullptr;
  std::size_t next_block_size_ = kFirstBlockSize;
  std::vector<Finalizer> finalizers_;
};

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

struct NameRef {
  Text name;
};
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
  using Node = std::variant<NameRef, Integer, Float, Box<Str>, Bool, Null, Box<List>, Box<Index>,
                            Box<Unary>, Box<Binary>, Box<IfExpr>, Box<Match>, Box<Call>, Box<New>,
                            Box<Move>, Box<Share>, Box<Change>, Box<Tuple>, Box<SomeExpr>, NoneExpr,
                            Box<OkExpr>, Box<ErrExpr>, Box<Asm>, Box<Panic>, Box<TryExpr>,
                            Box<PinMethodCall>, Box<RangeExpr>, Box<Cast>, Box<MethodCall>, Box<Emit>>;
  Node node;

  Expr() = default;
  template <class Alt>
    requires std::is_constructible_v<Node, Alt&&>
  Expr(Alt&& alt) : node(std::forward<Alt>(alt)) {}
};

// ---- Statements --------------------------------------------------------------

struct Break {};
struct Continue {};

struct Let;
struct Const;
struct Assign;
struct Return;
struct ExprStmt {
  Expr expr;
};
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
  using Node = std::variant<Box<Let>, Box<Const>, Box<Assign>, Box<Return>, ExprStmt, Box<Function>,
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
};

using Block = Seq<Stmt>;

// ---- Patterns ------------------------------------------------------------------

struct Wildcard {};
struct NonePattern {};

struct Literal;
struct Binding;
struct TuplePattern;
struct SomePattern;
struct OkPattern;
struct ErrPattern;

struct Pattern {
  using Node = std::variant<Box<Literal>, Box<Binding>, Wildcard, Box<TuplePattern>, Box<SomePattern>,
                            NonePattern, Box<OkPattern>, Box<ErrPattern>>;
  Node node;

  Pattern() = default;
  template <class Alt>
    requires std::is_constructible_v<Node, Alt&&>
  Pattern(Alt&& alt) : node(std::forward<Alt>(alt)) {}
};

// Handles are returned and moved at every step of the parse.
static_assert(std::is_trivially_move_constructible_v<Expr> && std::is_trivially_move_assignable_v<Expr>);
static_assert(std::is_trivially_move_constructible_v<Stmt> && std::is_trivially_move_assignable_v<Stmt>);
static_assert(std::is_trivially_move_constructible_v<Pattern> && std::is_trivially_move_assignable_v<Pattern>);

// ---- Small records ---------------------------------------------------------------

// A tuple type is named "demet" and has its element types as `args`.
struct TypeRef {
  Text name;
  Seq<TypeRef> args;
};

struct Param {
  Text name;
  std::optional<TypeRef> type_ref;
};

struct StructField {
  Text name;
  TypeRef type_ref;
};

struct UseItem {
  Text name;
  std::optional<Text> alias;
};

struct UseSelection {
  struct Path {};
  struct Items {
    Seq<UseItem> items;
  };
  std::variant<Path, Items> value;
};

enum class ExportKind : std::uint8_t { FunctionItem, StructItem, ConstItem, ModuleItem, All };

struct ExportItem {
  ExportKind kind = ExportKind::All;
  std::optional<Text> name;  // absent for All
};

struct AttrArg {
  struct KeyValue {
    Text name;
    Text value;
  };
  struct Flag {
    Text name;
  };
  struct Nested {
    Text name;
    Seq<AttrArg> args;
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
  Text name;
  Text value;
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
  Text register_name;
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
};

// ---- Expression alternatives ---------------------------------------------------

struct Str {
  Text text;
};
struct List {
  Seq<Expr> items;
};
struct Index {
  Expr object;
  Expr index;
};
// `op` is "-", "değil" or "not".
struct Unary {
  Text op;
  Expr operand;
};
// `op` is one of "+", "-", "*", "/", "%", "==", "!=", "<", ">", "<=", ">=",
// "and", "or", "::" and ".".
struct Binary {
  Text op;
  Expr left;
  Expr right;
};
struct IfExpr {
  Expr condition;
  Block then_body;
  std::optional<Block> else_body;
};
struct Match {
  Expr scrutinee;
  Seq<MatchArm> arms;
};
struct Call {
  Expr callee;
  Seq<Expr> args;
};
struct New {
  Text type_name;
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
  Seq<Expr> items;
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
  Text template_;
  Seq<AsmOperand> operands;
};
struct Panic {
  Text message;
  Seq<Expr> args;
  Span location;  // of the "panic" token
};
struct TryExpr {
  Expr operand;
  Span location;  // of the "?" token
};
struct PinMethodCall {
  Text peripheral;
  Text pin;
  std::optional<std::uint8_t> pin_number;
  Text operation;
  Seq<Expr> args;
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
  Text method;
  Seq<Expr> args;
};
struct Emit {
  Text event;
  Seq<Expr> args;
};

// ---- Statement alternatives ------------------------------------------------------

struct Let {
  Text name;
  Expr value;
};
struct Const {
  Text name;
  Expr value;
};
struct Assign {
  Text name;
  Expr value;
};
struct Return {
  Expr value;
};
struct Function {
  Text name;
  Seq<Text> type_params;
  Seq<Param> params;
  std::optional<TypeRef> return_type;
  Block body;
};
struct Module {
  Text name;
  Block body;
};
struct While {
  Expr condition;
  Block body;
};
struct For {
  Text variable;
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
  std::optional<Text> catch_name;
  Block catch_body;
};
struct Struct {
  Text name;
  Seq<StructField> fields;
};
struct TypeAlias {
  Text name;
  TypeRef target;
};
struct Region {
  Text name;
  std::optional<std::int64_t> size;
  Block body;
};
struct Use {
  bool absolute = false;
  Seq<Text> path;
  UseSelection selection;
  std::optional<Text> alias;
};
struct Import {
  Text path;
  std::optional<Text> alias;
  std::optional<Seq<Text>> items;
};
struct Export {
  Seq<ExportItem> items;
};
struct Attributed {
  Text name;
  Seq<AttrArg> args;
  Stmt statement;
};
struct Participant {
  Expr domain;  // always an Integer
};
struct Topic {
  Text name;
  TypeRef message_type;  // a name without arguments
  Seq<QosPolicy> qos;
};
struct Publisher {
  Text name;
  Text topic;
  Seq<QosPolicy> qos;
};
struct Subscriber {
  Text name;
  Text topic;
  Seq<QosPolicy> qos;
};
struct UseHal {
  Seq<Text> path;  // always two entries
};
struct Task {
  Text name;
  std::optional<std::uint8_t> priority;
  std::optional<TaskPeriod> period;
  std::optional<std::uint64_t> stack;  // bytes
  Seq<TaskEntry> entries;
};
struct TaskMethod {
  Text task;
  Text handler;
  Seq<Param> params;
  Block body;
};
struct OnEvent {
  Text event;
  Seq<Param> params;
  std::optional<std::uint8_t> priority;
  Block body;
};

// ---- Pattern alternatives ----------------------------------------------------------

struct Literal {
  Expr value;
};
struct Binding {
  Text name;
};
struct TuplePattern {
  Seq<Pattern> items;
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

// Room for the items of the lists being read, kept from one parse to the next
// while recent parses needed as much: growing a list into fresh memory costs a
// copy and a page fault per page, every time.
template <class T>
std::vector<T> take_list_room();
// How many items the lists of one parse held at most.
template <class T>
void record_list_need(std::size_t items);
template <class T>
void give_back_list_room(std::vector<T>&& room);

// The statements of a whole document, in pieces of the arena: a document's
// statements are never copied into ever larger memory as the list grows.
class Statements {
 public:
  class iterator {
   public:
    iterator(const Statements* list, std::size_t at) : list_(list), at_(at) {}
    Stmt& operator*() const { return (*list_)[at_]; }
    Stmt* operator->() const { return &(*list_)[at_]; }
    iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const iterator& other) const { return at_ == other.at_; }

   private:
    const Statements* list_;
    std::size_t at_;
  };

  Statements() = default;
  Statements(Statements&& other) noexcept
      : pieces_(std::move(other.pieces_)), size_(std::exchange(other.size_, 0)) {}
  Statements& operator=(Statements&& other) noexcept {
    pieces_ = std::move(other.pieces_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  // Adds `stmt` at the end, in a piece taken from `arena` when the last is full.
  void push_back(Arena& arena, Stmt&& stmt) {
    if (size_ % kPiece == 0) add_piece(arena);
    new (&pieces_.back()[size_ % kPiece]) Stmt(std::move(stmt));
    ++size_;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Stmt& operator[](std::size_t i) const { return pieces_[i / kPiece][i % kPiece]; }
  Stmt& front() const { return (*this)[0]; }
  Stmt& back() const { return (*this)[size_ - 1]; }
  iterator begin() const { return {this, 0}; }
  iterator end() const { return {this, size_}; }

 private:
  static constexpr std::size_t kPiece = 256;
  void add_piece(Arena& arena);

  std::vector<Stmt*> pieces_;
  std::size_t size_ = 0;
};

// The whole-document parse: the statements in the order of the text, and the
// arena that holds them.
struct Program {
  std::unique_ptr<Arena> arena;
  Statements statements;
};

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

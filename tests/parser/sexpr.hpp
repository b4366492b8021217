// A compact printed form of syntax trees, for stating expected parses in tests.
//
//   statements  (let x E) (const x E) (assign x E) (return E) E (break) ...
//   blocks      [s1 s2]
//   expressions x 5 1.5 "s" true null None (+ a b) (- a) (call f a) (method o m a)
//               (index a i) (? a @L:C) (as a T) (.. a b) (..= a b) (list a) (tuple a)
//   types       name or name<a,b>
//
// It recurses once per level, so it is meant for the small trees of the tests.
#pragma once

#include <charconv>
#include <string>
#include <type_traits>
#include <variant>

#include "parser/ast.hpp"
#include "parser/parser.hpp"

namespace zevo::parser::testing {

inline std::string operator+(std::string a, const Text& b) {
  a += b.view();
  return a;
}
inline std::string operator+(const char* a, const Text& b) { return std::string(a) + b; }
inline std::string operator+(const Text& a, std::string_view b) { return std::string(a.view()) += b; }

class SexprPrinter {
 public:
  static constexpr const char* kEmptyHandle = "<empty>";
  std::string out;

  void program(const Program& p) { list(p.statements, " "); }

  void stmt(const Stmt& s) {
    std::visit([this](const auto& alt) { stmt_alt(alt); }, s.node);
  }

  void expr(const Expr& e) {
    std::visit([this](const auto& alt) { expr_alt(alt); }, e.node);
  }

  void pattern(const Pattern& p) {
    std::visit([this](const auto& alt) { pattern_alt(alt); }, p.node);
  }

  void type(const TypeRef& t) {
    out += t.name;
    if (t.args.empty()) return;
    out += '<';
    for (std::size_t i = 0; i < t.args.size(); ++i) {
      if (i) out += ',';
      type(t.args[i]);
    }
    out += '>';
  }

  void block(const Block& b) {
    out += '[';
    list(b, " ");
    out += ']';
  }

 private:
  // An empty handle inside a finished tree is a fault of the parser.
  template <class T>
  void stmt_alt(const Box<T>& b) {
    if (b) {
      stmt_node(*b);
    } else {
      out += kEmptyHandle;
    }
  }
  void stmt_alt(const ExprStmt& s) { stmt_node(s); }
  void stmt_alt(const Break&) { out += "(break)"; }
  void stmt_alt(const Continue&) { out += "(continue)"; }

  template <class T>
  void expr_alt(const Box<T>& b) {
    if (b) {
      expr_node(*b);
    } else {
      out += kEmptyHandle;
    }
  }
  void expr_alt(const NameRef& v) { expr_node(v); }
  void expr_alt(const Integer& v) { out += std::to_string(v.value); }
  void expr_alt(const Float& v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.value);
    std::string s(buf, end);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";
    out += s;
  }
  void expr_alt(const Bool& v) { out += v.value ? "true" : "false"; }
  void expr_alt(const Null&) { out += "null"; }
  void expr_alt(const NoneExpr&) { out += "None"; }

  template <class T>
  void pattern_alt(const Box<T>& b) {
    if (b) {
      pattern_node(*b);
    } else {
      out += kEmptyHandle;
    }
  }
  void pattern_alt(const Wildcard&) { out += '_'; }
  void pattern_alt(const NonePattern&) { out += "None"; }

  template <class List, class Fn>
  void each(const List& items, const char* sep, Fn fn) {
    bool first = true;
    for (const auto& item : items) {
      if (!first) out += sep;
      first = false;
      fn(item);
    }
  }
  template <class Stmts>
  void list(const Stmts& items, const char* sep) {
    each(items, sep, [this](const Stmt& s) { stmt(s); });
  }
  // " a b c" after a head.
  void args(const Seq<Expr>& items) {
    for (const Expr& e : items) {
      out += ' ';
      expr(e);
    }
  }
  void quoted(std::string_view s) {
    out += '"';
    for (char c : s) {
      if (c == '"' || c == '\\') out += '\\';
      if (c == '\n') {
        out += "\\n";
        continue;
      }
      out += c;
    }
    out += '"';
  }
  void words(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) out += piece;
  }
  void span(const Span& s) { out += " @" + std::to_string(s.line) + ":" + std::to_string(s.column); }
  void params(const Seq<Param>& ps) {
    out += '(';
    each(ps, " ", [this](const Param& p) {
      out += p.name;
      if (p.type_ref) {
        out += ':';
        type(*p.type_ref);
      }
    });
    out += ')';
  }
  void qos(const Seq<QosPolicy>& list) {
    if (list.empty()) return;
    out += " (";
    each(list, " ", [this](const QosPolicy& q) {
      switch (q.policy) {
        case QosPolicyKind::Reliability:
          out += "reliability=" + std::to_string(q.choice);
          break;
        case QosPolicyKind::History:
          out += q.keep_all ? std::string("history=all") : "history=" + std::to_string(q.value);
          break;
        case QosPolicyKind::Durability:
          out += "durability=" + std::to_string(q.choice);
          break;
        case QosPolicyKind::Deadline:
          out += "deadline=" + std::to_string(q.value);
          break;
        case QosPolicyKind::Lifespan:
          out += "lifespan=" + std::to_string(q.value);
          break;
      }
    });
    out += ')';
  }
  void attr_args(const Seq<AttrArg>& list) {
    each(list, " ", [this](const AttrArg& a) {
      std::visit(
          [this](const auto& v) {
            using V = std::decay_t<decltype(v)>;
            out += v.name;
            if constexpr (std::is_same_v<V, AttrArg::KeyValue>) {
              out += '=';
              out += v.value;
            } else if constexpr (std::is_same_v<V, AttrArg::Nested>) {
              out += '(';
              attr_args(v.args);
              out += ')';
            }
          },
          a.value);
    });
  }
  void else_branch(const ElseBranch& e) {
    if (const auto* block_else = std::get_if<ElseBranch::Else>(&e.value)) {
      out += " (else ";
      block(block_else->body);
      out += ')';
    } else if (const auto& link = std::get<ElseBranch::ElseIf>(e.value).link) {
      out += " (elif ";
      if_record(*link);
      out += ')';
    } else {
      out += kEmptyHandle;
    }
  }
  void if_record(const If& s) {
    expr(s.condition);
    out += ' ';
    block(s.then_body);
    if (s.else_branch) else_branch(*s.else_branch);
  }

  // ---- statements
  void stmt_node(const Let& s) { named("let", s.name, s.value); }
  void stmt_node(const Const& s) { named("const", s.name, s.value); }
  void stmt_node(const Assign& s) { named("assign", s.name, s.value); }
  void named(const char* head, std::string_view name, const Expr& value) {
    words({"(", head, " ", name, " "});
    expr(value);
    out += ')';
  }
  void stmt_node(const Return& s) {
    out += "(return ";
    expr(s.value);
    out += ')';
  }
  void stmt_node(const ExprStmt& s) { expr(s.expr); }
  void stmt_node(const Function& s) {
    out += "(fn " + s.name;
    if (!s.type_params.empty()) {
      out += '<';
      each(s.type_params, ",", [this](const Text& t) { out += t; });
      out += '>';
    }
    out += ' ';
    params(s.params);
    if (s.return_type) {
      out += " -> ";
      type(*s.return_type);
    }
    out += ' ';
    block(s.body);
    out += ')';
  }
  void stmt_node(const Module& s) {
    out += "(module " + s.name + " ";
    block(s.body);
    out += ')';
  }
  void stmt_node(const While& s) {
    out += "(while ";
    expr(s.condition);
    out += ' ';
    block(s.body);
    out += ')';
  }
  void stmt_node(const For& s) {
    out += "(for " + s.variable + " ";
    expr(s.iterable);
    out += ' ';
    block(s.body);
    out += ')';
  }
  void stmt_node(const If& s) {
    out += "(if ";
    if_record(s);
    out += ')';
  }
  void stmt_node(const Try& s) {
    out += "(try ";
    block(s.body);
    out += " catch ";
    if (s.catch_name) out += *s.catch_name + " ";
    block(s.catch_body);
    out += ')';
  }
  void stmt_node(const Struct& s) {
    out += "(struct " + s.name + " (";
    each(s.fields, " ", [this](const StructField& f) {
      out += f.name + ":";
      type(f.type_ref);
    });
    out += "))";
  }
  void stmt_node(const TypeAlias& s) {
    out += "(type " + s.name + " ";
    type(s.target);
    out += ')';
  }
  void stmt_node(const Region& s) {
    out += "(region " + s.name + " ";
    if (s.size) out += std::to_string(*s.size) + " ";
    block(s.body);
    out += ')';
  }
  void stmt_node(const Use& s) {
    out += "(use ";
    if (s.absolute) out += "::";
    each(s.path, "::", [this](const Text& p) { out += p; });
    if (const auto* items = std::get_if<UseSelection::Items>(&s.selection.value)) {
      out += " {";
      each(items->items, " ", [this](const UseItem& i) {
        out += i.name;
        if (i.alias) out += " as " + *i.alias;
      });
      out += '}';
    }
    if (s.alias) out += " as " + *s.alias;
    out += ')';
  }
  void stmt_node(const Import& s) {
    out += "(import ";
    quoted(s.path);
    if (s.alias) out += " as " + *s.alias;
    if (s.items) {
      out += " {";
      each(*s.items, " ", [this](const Text& i) { out += i; });
      out += '}';
    }
    out += ')';
  }
  void stmt_node(const Export& s) {
    out += "(export";
    for (const ExportItem& item : s.items) {
      static constexpr const char* kKinds[] = {"fn:", "struct:", "const:", "module:", "*"};
      out += ' ';
      out += kKinds[static_cast<int>(item.kind)];
      if (item.name) out += *item.name;
    }
    out += ')';
  }
  void stmt_node(const Attributed& s) {
    out += "(#[" + s.name;
    if (!s.args.empty()) {
      out += '(';
      attr_args(s.args);
      out += ')';
    }
    out += "] ";
    stmt(s.statement);
    out += ')';
  }
  void stmt_node(const Participant& s) {
    out += "(participant ";
    expr(s.domain);
    out += ')';
  }
  void stmt_node(const Topic& s) {
    out += "(topic " + s.name + " ";
    type(s.message_type);
    qos(s.qos);
    out += ')';
  }
  void stmt_node(const Publisher& s) {
    out += "(publisher " + s.name + " " + s.topic;
    qos(s.qos);
    out += ')';
  }
  void stmt_node(const Subscriber& s) {
    out += "(subscriber " + s.name + " " + s.topic;
    qos(s.qos);
    out += ')';
  }
  void stmt_node(const UseHal& s) {
    out += "(use-hal ";
    each(s.path, "::", [this](const Text& p) { out += p; });
    out += ')';
  }
  void stmt_node(const Task& s) {
    static constexpr const char* kUnits[] = {"ns", "us", "ms", "s"};
    out += "(task " + s.name;
    if (s.priority) out += " priority=" + std::to_string(*s.priority);
    if (s.period) out += " period=" + std::to_string(s.period->value) + kUnits[static_cast<int>(s.period->unit)];
    if (s.stack) out += " stack=" + std::to_string(*s.stack);
    for (const TaskEntry& e : s.entries) out += " " + e.name + ":" + e.value;
    out += ')';
  }
  void stmt_node(const TaskMethod& s) {
    out += "(task-method " + s.task + "." + s.handler + " ";
    params(s.params);
    out += ' ';
    block(s.body);
    out += ')';
  }
  void stmt_node(const OnEvent& s) {
    out += "(on " + s.event + " ";
    params(s.params);
    if (s.priority) out += " priority=" + std::to_string(*s.priority);
    out += ' ';
    block(s.body);
    out += ')';
  }

  // ---- expressions
  void expr_node(const NameRef& e) { out += e.name; }
  void expr_node(const Str& e) { quoted(e.text); }
  void expr_node(const List& e) {
    out += "(list";
    args(e.items);
    out += ')';
  }
  void expr_node(const Index& e) { pair("index", e.object, e.index); }
  void expr_node(const Unary& e) {
    words({"(", e.op, " "});
    expr(e.operand);
    out += ')';
  }
  void expr_node(const Binary& e) { pair(e.op, e.left, e.right); }
  void pair(std::string_view head, const Expr& a, const Expr& b) {
    words({"(", head, " "});
    expr(a);
    out += ' ';
    expr(b);
    out += ')';
  }
  void unary(std::string_view head, const Expr& a) {
    words({"(", head, " "});
    expr(a);
    out += ')';
  }
  void expr_node(const IfExpr& e) {
    out += "(if-expr ";
    expr(e.condition);
    out += ' ';
    block(e.then_body);
    if (e.else_body) {
      out += ' ';
      block(*e.else_body);
    }
    out += ')';
  }
  void expr_node(const Match& e) {
    out += "(match ";
    expr(e.scrutinee);
    for (const MatchArm& arm : e.arms) {
      out += " (";
      pattern(arm.pattern);
      out += " => ";
      expr(arm.body);
      out += ')';
    }
    out += ')';
  }
  void expr_node(const Call& e) {
    out += "(call ";
    expr(e.callee);
    args(e.args);
    out += ')';
  }
  void expr_node(const New& e) { out += "(new " + e.type_name + ")"; }
  void expr_node(const Move& e) { unary("move", e.operand); }
  void expr_node(const Share& e) { unary("share", e.operand); }
  void expr_node(const Change& e) { unary("change", e.operand); }
  void expr_node(const Tuple& e) {
    out += "(tuple";
    args(e.items);
    out += ')';
  }
  void expr_node(const SomeExpr& e) { unary("Some", e.operand); }
  void expr_node(const OkExpr& e) { unary("Ok", e.operand); }
  void expr_node(const ErrExpr& e) { unary("Err", e.operand); }
  void expr_node(const Asm& e) {
    static constexpr const char* kArch[] = {"x86_64", "arm64", "riscv"};
    static constexpr const char* kDir[] = {"in", "out", "inout", "lateout"};
    out += std::string("(asm ") + kArch[static_cast<int>(e.arch)] + " ";
    quoted(e.template_);
    for (const AsmOperand& op : e.operands) {
      out += std::string(" (") + kDir[static_cast<int>(op.direction)] + " " + op.register_name + " ";
      expr(op.value);
      out += ')';
    }
    out += ')';
  }
  void expr_node(const Panic& e) {
    out += "(panic ";
    quoted(e.message);
    args(e.args);
    span(e.location);
    out += ')';
  }
  void expr_node(const TryExpr& e) {
    out += "(? ";
    expr(e.operand);
    span(e.location);
    out += ')';
  }
  void expr_node(const PinMethodCall& e) {
    out += "(pin " + e.peripheral + " " + e.pin;
    if (e.pin_number) out += "#" + std::to_string(*e.pin_number);
    out += " " + e.operation;
    args(e.args);
    out += ')';
  }
  void expr_node(const RangeExpr& e) { pair(e.inclusive ? "..=" : "..", e.low, e.high); }
  void expr_node(const Cast& e) {
    out += "(as ";
    expr(e.operand);
    out += ' ';
    type(e.target);
    out += ')';
  }
  void expr_node(const MethodCall& e) {
    out += "(method ";
    expr(e.object);
    out += " " + e.method;
    args(e.args);
    out += ')';
  }
  void expr_node(const Emit& e) {
    out += "(emit " + e.event;
    args(e.args);
    out += ')';
  }

  // ---- patterns
  void pattern_node(const Literal& p) {
    out += "(lit ";
    expr(p.value);
    out += ')';
  }
  void pattern_node(const Binding& p) { out += p.name; }
  void pattern_node(const TuplePattern& p) {
    out += "(tuple";
    for (const Pattern& item : p.items) {
      out += ' ';
      pattern(item);
    }
    out += ')';
  }
  void pattern_node(const SomePattern& p) { inner("Some", p.inner); }
  void pattern_node(const OkPattern& p) { inner("Ok", p.inner); }
  void pattern_node(const ErrPattern& p) { inner("Err", p.inner); }
  void inner(std::string_view head, const Pattern& p) {
    words({"(", head, " "});
    pattern(p);
    out += ')';
  }
};

inline std::string sexpr(const Program& program) {
  SexprPrinter p;
  p.program(program);
  return p.out;
}

inline std::string sexpr(const Expr& e) {
  SexprPrinter p;
  p.expr(e);
  return p.out;
}

inline std::string sexpr(const TypeRef& t) {
  SexprPrinter p;
  p.type(t);
  return p.out;
}

inline std::string sexpr(const Pattern& pattern) {
  SexprPrinter p;
  p.pattern(pattern);
  return p.out;
}

// The printed parse of a whole text.
inline std::string parse_sexpr(std::string_view text) { return sexpr(parse_document(text)); }

// The same, printed statement by statement as `read_each_statement` hands them
// over, each before it is dropped.
inline std::string read_each_sexpr(std::string_view text) {
  Parser parser(Lexer(text, SourceFile{"<stdin>"}));
  SexprPrinter p;
  parser.read_each_statement([&p](const Stmt& s) {
    if (!p.out.empty()) p.out += ' ';
    p.stmt(s);
  });
  return p.out;
}

}  // namespace zevo::parser::testing

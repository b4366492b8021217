#include "parser/ast.hpp"

namespace zevo::parser {

namespace {

// Nodes waiting to be destroyed. The first handle dropped on a thread drains
// the list; every handle dropped while it drains (the children of the node
// being destroyed) only joins the list, so the stack never grows with the
// depth of the tree.
struct Graveyard {
  std::vector<Expr::Node> exprs;
  std::vector<Stmt::Node> stmts;
  bool draining = false;
};

Graveyard& graveyard() {
  thread_local Graveyard g;
  return g;
}

template <class T>
struct IsBox : std::false_type {};
template <class T>
struct IsBox<Box<T>> : std::true_type {};

// Nodes that hold only text can be destroyed on the spot.
template <class T>
constexpr bool kLeaf = std::is_same_v<T, Box<NameRef>> || std::is_same_v<T, Box<Str>> ||
                       std::is_same_v<T, Box<New>>;

// Inline alternatives, text-only nodes and emptied boxes own nothing that could recurse.
template <class Node>
bool owns_subtree(const Node& node) {
  return std::visit(
      [](const auto& alt) {
        using Alt = std::decay_t<decltype(alt)>;
        if constexpr (IsBox<Alt>::value && !kLeaf<Alt>) {
          return alt != nullptr;
        } else {
          return false;
        }
      },
      node);
}

void drain(Graveyard& g) {
  g.draining = true;
  while (!g.exprs.empty() || !g.stmts.empty()) {
    if (!g.exprs.empty()) {
      Expr::Node dead = std::move(g.exprs.back());
      g.exprs.pop_back();
    } else {
      Stmt::Node dead = std::move(g.stmts.back());
      g.stmts.pop_back();
    }
  }
  g.draining = false;
}

}  // namespace

Expr::~Expr() {
  if (!owns_subtree(node)) return;
  Graveyard& g = graveyard();
  g.exprs.push_back(std::move(node));
  if (!g.draining) drain(g);
}

Stmt::~Stmt() {
  if (!owns_subtree(node)) return;
  Graveyard& g = graveyard();
  g.stmts.push_back(std::move(node));
  if (!g.draining) drain(g);
}

ElseBranch::~ElseBranch() {
  auto* link = std::get_if<ElseIf>(&value);
  if (link == nullptr || link->link == nullptr) return;
  Graveyard& g = graveyard();
  g.stmts.push_back(Stmt::Node(std::move(link->link)));
  if (!g.draining) drain(g);
}

}  // namespace zevo::parser

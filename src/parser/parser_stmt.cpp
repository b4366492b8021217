// The core statements: declarations, assignments, control flow, modules,
// regions, imports and exports, attributes.
#include <utility>

#include "parser/parser.hpp"
#include "parser/parser_tables.hpp"

namespace zevo::parser {

namespace {

bool is_do(TokenKind kind) { return kind == TokenKind::TrDo || kind == TokenKind::Do; }

bool is_as(TokenKind kind) { return kind == TokenKind::TrAs || kind == TokenKind::As; }

bool is_else(TokenKind kind) { return kind == TokenKind::TrElse || kind == TokenKind::Else; }

bool is_elif(TokenKind kind) { return kind == TokenKind::TrElif || kind == TokenKind::Elif; }

}  // namespace

std::optional<Stmt> Parser::parse_expression_statement() {
  if (at(TokenKind::Identifier) && next_at(TokenKind::Equal)) return parse_assignment();
  auto expr = parse_expression(0);
  if (!expr) return std::nullopt;
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(box<ExprStmt>(std::move(*expr)));
}

std::optional<Stmt> Parser::parse_assignment() {
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  advance();
  if (!at(TokenKind::Equal)) return std::nullopt;
  advance();
  auto value = parse_expression(0);
  if (!value) return std::nullopt;
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(box<Assign>(std::move(name), std::move(*value)));
}

std::optional<Stmt> Parser::parse_let_or_const(bool is_const) {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  advance();
  if (at(TokenKind::Colon)) {
    // The written type is not kept, however far it runs.
    while (!at(TokenKind::Equal) && !at(TokenKind::EndOfInput)) advance();
  }
  if (!at(TokenKind::Equal)) return std::nullopt;
  advance();
  auto value = parse_expression(0);
  if (!value) return std::nullopt;
  if (next_at(TokenKind::Semicolon)) advance();
  if (is_const) return Stmt(box<Const>(std::move(name), std::move(*value)));
  return Stmt(box<Let>(std::move(name), std::move(*value)));
}

std::optional<Stmt> Parser::parse_return() {
  advance();
  auto value = parse_expression(0);
  if (!value) return std::nullopt;
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(box<Return>(std::move(*value)));
}

std::optional<Stmt> Parser::parse_while() {
  advance();
  auto condition = parse_expression(0);
  if (!condition) return std::nullopt;
  if (is_do(next_.kind)) advance();
  Block body = parse_block();
  return Stmt(box<While>(std::move(*condition), std::move(body)));
}

std::optional<Stmt> Parser::parse_for() {
  if (next_at(TokenKind::Identifier) && next_.text == "each") advance();
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string variable = current_.text;
  advance();  // onto "içinde" / "in", which is not examined
  advance();
  auto iterable = parse_expression(0);
  if (!iterable) return std::nullopt;
  if (is_do(next_.kind)) advance();
  Block body = parse_block();
  return Stmt(box<For>(std::move(variable), std::move(*iterable), std::move(body)));
}

// The else-if links are read by a loop, one `If` record per link, so a long
// chain costs no stack; a link that fails drops the whole statement.
std::optional<Stmt> Parser::parse_if_statement() {
  Box<If> head;
  Box<ElseBranch>* tail = nullptr;  // where the next link hangs
  while (true) {
    advance();
    auto condition = parse_expression(0);
    if (!condition) return std::nullopt;
    if (next_at(TokenKind::TrThen) || next_at(TokenKind::Then)) advance();
    Block then_body = parse_block();
    Box<If> link = box<If>(std::move(*condition), std::move(then_body), nullptr);
    If* link_ptr = link.get();
    if (tail == nullptr) {
      head = std::move(link);
    } else {
      *tail = std::make_unique<ElseBranch>(ElseBranch::ElseIf{std::move(link)});
    }
    tail = &link_ptr->else_branch;

    const bool closed = at(TokenKind::RightBrace) || at(TokenKind::TrEnd) || at(TokenKind::End);
    if (closed && (is_else(next_.kind) || is_elif(next_.kind))) advance();
    if (is_else(current_.kind)) {
      if (next_at(TokenKind::If)) {
        advance();
        continue;
      }
      *tail = std::make_unique<ElseBranch>(ElseBranch::Else{parse_block()});
      break;
    }
    if (is_elif(current_.kind)) continue;
    break;
  }
  return Stmt(std::move(head));
}

std::optional<Stmt> Parser::parse_try() {
  advance();
  Block body = parse_block();
  advance();  // onto "yakala" / "catch", which is not examined
  std::optional<std::string> catch_name;
  if (next_at(TokenKind::Identifier)) {
    advance();
    catch_name = current_.text;
  }
  advance();
  Block catch_body = parse_block();
  return Stmt(box<Try>(std::move(body), std::move(catch_name), std::move(catch_body)));
}

std::optional<Stmt> Parser::parse_function() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;

  std::vector<std::string> type_params;
  if (next_at(TokenKind::Less)) {
    advance_twice();
    if (!at(TokenKind::Identifier)) return std::nullopt;
    type_params.push_back(current_.text);
    while (next_at(TokenKind::Comma)) {
      advance_twice();
      if (!at(TokenKind::Identifier)) return std::nullopt;
      type_params.push_back(current_.text);
    }
    advance();
    if (!at(TokenKind::Greater)) return std::nullopt;
  }

  if (!next_at(TokenKind::LeftParen)) return std::nullopt;
  advance();
  auto params = parse_parameters();
  if (!params) return std::nullopt;

  // A return type that does not parse is simply missing.
  std::optional<TypeRef> return_type;
  if (next_at(TokenKind::Colon) || next_at(TokenKind::Arrow)) {
    advance_twice();
    return_type = parse_type();
  } else if (next_at(TokenKind::Minus)) {
    advance();
    if (!next_at(TokenKind::Greater)) return std::nullopt;
    advance_twice();
    return_type = parse_type();
  }

  Block body = parse_block();
  return Stmt(box<Function>(std::move(name), std::move(type_params), std::move(*params),
                            std::move(return_type), std::move(body)));
}

std::optional<Stmt> Parser::parse_module() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  if (is_do(next_.kind)) advance();
  advance();
  Block body = parse_statements_to_end();
  return Stmt(box<Module>(std::move(name), std::move(body)));
}

std::optional<Stmt> Parser::parse_region() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  advance();
  std::optional<std::int64_t> size;
  if (at(TokenKind::LeftParen)) {
    advance();
    if (at(TokenKind::IntegerLiteral)) {
      size = current_.integer;
      advance();
      if (!at(TokenKind::RightParen)) return std::nullopt;
      advance();
    }
  }
  if (!at(TokenKind::LeftBrace) && !is_do(current_.kind)) return std::nullopt;
  Block body = parse_block();
  return Stmt(box<Region>(std::move(name), size, std::move(body)));
}

// Fields up to the first token that is no field name, or up to where a field broke off.
std::vector<StructField> Parser::parse_struct_fields() {
  std::vector<StructField> fields;
  while (at(TokenKind::Identifier)) {
    std::string name = current_.text;
    advance();
    if (!at(TokenKind::Colon)) break;
    advance();
    auto type = parse_type();
    if (!type) break;
    fields.push_back(StructField{std::move(name), std::move(*type)});
    advance();
    if (at(TokenKind::Comma)) advance();
  }
  return fields;
}

std::optional<Stmt> Parser::parse_struct() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  advance();
  if (!at(TokenKind::LeftBrace) && !is_do(current_.kind)) return std::nullopt;
  advance();
  auto fields = parse_struct_fields();
  return Stmt(box<Struct>(std::move(name), std::move(fields)));
}

std::optional<Stmt> Parser::parse_type_declaration() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  advance();
  if (!at(TokenKind::Equal)) return std::nullopt;
  advance();

  if ((at(TokenKind::TrStruct) || at(TokenKind::Struct)) && is_do(next_.kind)) {
    advance_twice();
    auto fields = parse_struct_fields();
    return Stmt(box<Struct>(std::move(name), std::move(fields)));
  }
  if (auto target = parse_type()) return Stmt(box<TypeAlias>(std::move(name), std::move(*target)));

  // A union of names or strings keeps its first alternative only.
  if (!at(TokenKind::Identifier) && !at(TokenKind::StringLiteral)) return std::nullopt;
  TypeRef target{current_.text, {}};
  while (next_at(TokenKind::Pipe)) advance_twice();
  return Stmt(box<TypeAlias>(std::move(name), std::move(target)));
}

std::optional<Stmt> Parser::parse_use() {
  advance();
  const bool absolute = at(TokenKind::ColonColon);
  if (absolute) advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;

  std::vector<std::string> path;
  UseSelection selection{UseSelection::Path{}};
  while (true) {
    path.push_back(current_.text);
    if (!next_at(TokenKind::ColonColon)) break;
    advance_twice();
    if (at(TokenKind::Identifier)) continue;
    if (at(TokenKind::Star)) break;
    if (!at(TokenKind::LeftBrace)) return std::nullopt;

    UseSelection::Items items;
    advance();
    while (at(TokenKind::Identifier)) {
      UseItem item{current_.text, std::nullopt};
      if (is_as(next_.kind)) {
        advance_twice();
        if (at(TokenKind::Identifier)) item.alias = current_.text;
      }
      items.items.push_back(std::move(item));
      if (!next_at(TokenKind::Comma)) break;
      advance_twice();
    }
    if (next_at(TokenKind::RightBrace)) advance();
    selection.value = std::move(items);
    break;
  }

  std::optional<std::string> alias;
  if (is_as(next_.kind)) {
    advance_twice();
    if (at(TokenKind::Identifier)) alias = current_.text;
  }
  return Stmt(box<Use>(absolute, std::move(path), std::move(selection), std::move(alias)));
}

std::optional<Stmt> Parser::parse_import() {
  advance();
  if (!at(TokenKind::StringLiteral)) return std::nullopt;
  std::string path = current_.text;
  std::optional<std::string> alias;
  if (is_as(next_.kind)) {
    advance_twice();
    if (at(TokenKind::Identifier)) alias = current_.text;
  }
  std::optional<std::vector<std::string>> items;
  if (next_at(TokenKind::ColonColon)) {
    advance_twice();
    if (at(TokenKind::LeftBrace)) {
      items.emplace();
      advance();
      while (at(TokenKind::Identifier)) {
        items->push_back(current_.text);
        if (!next_at(TokenKind::Comma)) break;
        advance_twice();
      }
      if (next_at(TokenKind::RightBrace)) advance();
    }
  }
  return Stmt(box<Import>(std::move(path), std::move(alias), std::move(items)));
}

std::optional<Stmt> Parser::parse_export() {
  advance();
  std::vector<ExportItem> items;
  ExportKind kind;
  switch (current_.kind) {
    case TokenKind::Star:
      items.push_back(ExportItem{ExportKind::All, std::nullopt});
      return Stmt(box<Export>(std::move(items)));
    case TokenKind::LeftBrace:
      advance();
      while (at(TokenKind::Identifier)) {
        items.push_back(ExportItem{ExportKind::FunctionItem, current_.text});
        if (!next_at(TokenKind::Comma)) break;
        advance_twice();
      }
      if (next_at(TokenKind::RightBrace)) advance();
      return Stmt(box<Export>(std::move(items)));
    case TokenKind::TrFn:
    case TokenKind::Fn:
      kind = ExportKind::FunctionItem;
      break;
    case TokenKind::TrStruct:
    case TokenKind::Struct:
      kind = ExportKind::StructItem;
      break;
    case TokenKind::TrConst:
    case TokenKind::Const:
      kind = ExportKind::ConstItem;
      break;
    case TokenKind::TrModule:
    case TokenKind::Module:
      kind = ExportKind::ModuleItem;
      break;
    default:
      return std::nullopt;
  }
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  items.push_back(ExportItem{kind, current_.text});
  return Stmt(box<Export>(std::move(items)));
}

std::optional<Stmt> Parser::parse_attributed_statement() {
  advance();
  if (!at(TokenKind::LeftBracket)) return std::nullopt;
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  std::string name = current_.text;
  advance();
  std::vector<AttrArg> args;
  if (at(TokenKind::LeftParen)) {
    advance();
    auto read = parse_attribute_args();
    if (!read) return std::nullopt;
    args = std::move(*read);
    if (!at(TokenKind::RightParen)) return std::nullopt;
    advance();
  }
  if (!at(TokenKind::RightBracket)) return std::nullopt;
  advance();
  auto statement = parse_statement();
  if (!statement) return std::nullopt;
  return Stmt(box<Attributed>(std::move(name), std::move(args), std::move(*statement)));
}

std::optional<std::vector<AttrArg>> Parser::parse_attribute_args() {
  Nesting nesting(*this);
  if (nesting.too_deep()) return std::nullopt;
  std::vector<AttrArg> args;
  while (true) {
    if (at(TokenKind::Comma)) {
      advance();
      continue;
    }
    if (at(TokenKind::RightParen)) return args;

    std::string name;
    switch (current_.kind) {
      case TokenKind::TrAnd:
      case TokenKind::And:
        name = "and";
        break;
      case TokenKind::TrOr:
      case TokenKind::Or:
        name = "or";
        break;
      case TokenKind::TrNot:
      case TokenKind::Not:
        name = "not";
        break;
      case TokenKind::Identifier:
        name = current_.text;
        break;
      default:
        return std::nullopt;
    }
    advance();
    if (at(TokenKind::LeftParen)) {
      advance();
      auto nested = parse_attribute_args();
      if (!nested) return std::nullopt;
      if (!at(TokenKind::RightParen)) return std::nullopt;
      args.push_back(AttrArg{AttrArg::Nested{std::move(name), std::move(*nested)}});
      advance();
    } else if (at(TokenKind::Equal)) {
      advance();
      if (!at(TokenKind::StringLiteral) && !at(TokenKind::Identifier)) return std::nullopt;
      args.push_back(AttrArg{AttrArg::KeyValue{std::move(name), current_.text}});
      advance();
    } else {
      args.push_back(AttrArg{AttrArg::Flag{std::move(name)}});
    }
  }
}

std::optional<std::vector<Param>> Parser::parse_parameters() {
  const bool empty = next_at(TokenKind::RightParen);
  advance();
  std::vector<Param> params;
  if (empty) return params;
  auto first = parse_parameter();
  if (!first) return std::nullopt;
  params.push_back(std::move(*first));
  while (true) {
    if (next_at(TokenKind::Comma)) {
      advance_twice();
      auto param = parse_parameter();
      if (!param) return std::nullopt;
      params.push_back(std::move(*param));
    } else if (next_at(TokenKind::RightParen)) {
      advance();
      return params;
    } else {
      return std::nullopt;
    }
  }
}

std::optional<Param> Parser::parse_parameter() {
  std::string name;
  if (at(TokenKind::Identifier)) {
    name = current_.text;
  } else if (const auto* word = tables::find_spelling(tables::PARAMETER_TYPE_WORDS, current_.kind)) {
    name = std::string(*word);
  } else {
    return std::nullopt;
  }
  std::optional<TypeRef> type_ref;
  if (next_at(TokenKind::Colon)) {
    advance_twice();
    type_ref = parse_type();
    if (!type_ref) return std::nullopt;
  }
  return Param{std::move(name), std::move(type_ref)};
}

}  // namespace zevo::parser

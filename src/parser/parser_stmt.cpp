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
  return Stmt(ExprStmt{std::move(*expr)});
}

std::optional<Stmt> Parser::parse_assignment() {
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  if (!at(TokenKind::Equal)) return std::nullopt;
  advance();
  auto value = parse_expression(0);
  if (!value) return std::nullopt;
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(make<Assign>(std::move(name), std::move(*value)));
}

std::optional<Stmt> Parser::parse_let_or_const(bool is_const) {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
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
  if (is_const) return Stmt(make<Const>(std::move(name), std::move(*value)));
  return Stmt(make<Let>(std::move(name), std::move(*value)));
}

std::optional<Stmt> Parser::parse_return() {
  advance();
  auto value = parse_expression(0);
  if (!value) return std::nullopt;
  if (next_at(TokenKind::Semicolon)) advance();
  return Stmt(make<Return>(std::move(*value)));
}

std::optional<Stmt> Parser::parse_while() {
  advance();
  auto condition = parse_expression(0);
  if (!condition) return std::nullopt;
  if (is_do(next_->kind)) advance();
  Block body = parse_block();
  return Stmt(make<While>(std::move(*condition), std::move(body)));
}

std::optional<Stmt> Parser::parse_for() {
  if (next_at(TokenKind::Identifier) && next_->text == "each") advance();
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text variable = current_text();
  advance();  // onto "içinde" / "in", which is not examined
  advance();
  auto iterable = parse_expression(0);
  if (!iterable) return std::nullopt;
  if (is_do(next_->kind)) advance();
  Block body = parse_block();
  return Stmt(make<For>(std::move(variable), std::move(*iterable), std::move(body)));
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
    Box<If> link = make<If>(std::move(*condition), std::move(then_body), Box<ElseBranch>());
    If* link_ptr = link.get();
    if (tail == nullptr) {
      head = std::move(link);
    } else {
      *tail = make<ElseBranch>(ElseBranch::ElseIf{std::move(link)});
    }
    tail = &link_ptr->else_branch;

    const bool closed = at(TokenKind::RightBrace) || at(TokenKind::TrEnd) || at(TokenKind::End);
    if (closed && (is_else(next_->kind) || is_elif(next_->kind))) advance();
    if (is_else(current_->kind)) {
      if (next_at(TokenKind::If)) {
        advance();
        continue;
      }
      *tail = make<ElseBranch>(ElseBranch::Else{parse_block()});
      break;
    }
    if (is_elif(current_->kind)) continue;
    break;
  }
  return Stmt(std::move(head));
}

std::optional<Stmt> Parser::parse_try() {
  advance();
  Block body = parse_block();
  advance();  // onto "yakala" / "catch", which is not examined
  std::optional<Text> catch_name;
  if (next_at(TokenKind::Identifier)) {
    advance();
    catch_name = current_text();
  }
  advance();
  Block catch_body = parse_block();
  return Stmt(make<Try>(std::move(body), std::move(catch_name), std::move(catch_body)));
}

std::optional<Stmt> Parser::parse_function() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();

  std::vector<Text> type_params;
  if (next_at(TokenKind::Less)) {
    advance_twice();
    if (!at(TokenKind::Identifier)) return std::nullopt;
    type_params.push_back(current_text());
    while (next_at(TokenKind::Comma)) {
      advance_twice();
      if (!at(TokenKind::Identifier)) return std::nullopt;
      type_params.push_back(current_text());
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
  return Stmt(make<Function>(std::move(name), seq(std::move(type_params)), std::move(*params),
                             std::move(return_type), std::move(body)));
}

std::optional<Stmt> Parser::parse_module() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  if (is_do(next_->kind)) advance();
  advance();
  Block body = parse_statements_to_end();
  return Stmt(make<Module>(std::move(name), std::move(body)));
}

std::optional<Stmt> Parser::parse_region() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  std::optional<std::int64_t> size;
  if (at(TokenKind::LeftParen)) {
    advance();
    if (at(TokenKind::IntegerLiteral)) {
      size = current_->integer;
      advance();
      if (!at(TokenKind::RightParen)) return std::nullopt;
      advance();
    }
  }
  if (!at(TokenKind::LeftBrace) && !is_do(current_->kind)) return std::nullopt;
  Block body = parse_block();
  return Stmt(make<Region>(std::move(name), size, std::move(body)));
}

// Fields up to the first token that is no field name, or up to where a field broke off.
Seq<StructField> Parser::parse_struct_fields() {
  std::vector<StructField> fields;
  while (at(TokenKind::Identifier)) {
    Text name = current_text();
    advance();
    if (!at(TokenKind::Colon)) break;
    advance();
    auto type = parse_type();
    if (!type) break;
    fields.push_back(StructField{std::move(name), std::move(*type)});
    advance();
    if (at(TokenKind::Comma)) advance();
  }
  return seq(std::move(fields));
}

std::optional<Stmt> Parser::parse_struct() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  if (!at(TokenKind::LeftBrace) && !is_do(current_->kind)) return std::nullopt;
  advance();
  auto fields = parse_struct_fields();
  return Stmt(make<Struct>(std::move(name), std::move(fields)));
}

std::optional<Stmt> Parser::parse_type_declaration() {
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  if (!at(TokenKind::Equal)) return std::nullopt;
  advance();

  if ((at(TokenKind::TrStruct) || at(TokenKind::Struct)) && is_do(next_->kind)) {
    advance_twice();
    auto fields = parse_struct_fields();
    return Stmt(make<Struct>(std::move(name), std::move(fields)));
  }
  if (auto target = parse_type()) return Stmt(make<TypeAlias>(std::move(name), std::move(*target)));

  // A union of names or strings keeps its first alternative only.
  if (!at(TokenKind::Identifier) && !at(TokenKind::StringLiteral)) return std::nullopt;
  TypeRef target{current_text(), {}};
  while (next_at(TokenKind::Pipe)) advance_twice();
  return Stmt(make<TypeAlias>(std::move(name), std::move(target)));
}

std::optional<Stmt> Parser::parse_use() {
  advance();
  const bool absolute = at(TokenKind::ColonColon);
  if (absolute) advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;

  std::vector<Text> path;
  UseSelection selection{UseSelection::Path{}};
  while (true) {
    path.push_back(current_text());
    if (!next_at(TokenKind::ColonColon)) break;
    advance_twice();
    if (at(TokenKind::Identifier)) continue;
    if (at(TokenKind::Star)) break;
    if (!at(TokenKind::LeftBrace)) return std::nullopt;

    std::vector<UseItem> items;
    advance();
    while (at(TokenKind::Identifier)) {
      UseItem item{current_text(), std::nullopt};
      if (is_as(next_->kind)) {
        advance_twice();
        if (at(TokenKind::Identifier)) item.alias = current_text();
      }
      items.push_back(std::move(item));
      if (!next_at(TokenKind::Comma)) break;
      advance_twice();
    }
    if (next_at(TokenKind::RightBrace)) advance();
    selection.value = UseSelection::Items{seq(std::move(items))};
    break;
  }

  std::optional<Text> alias;
  if (is_as(next_->kind)) {
    advance_twice();
    if (at(TokenKind::Identifier)) alias = current_text();
  }
  return Stmt(make<Use>(absolute, seq(std::move(path)), std::move(selection), std::move(alias)));
}

std::optional<Stmt> Parser::parse_import() {
  advance();
  if (!at(TokenKind::StringLiteral)) return std::nullopt;
  Text path = current_text();
  std::optional<Text> alias;
  if (is_as(next_->kind)) {
    advance_twice();
    if (at(TokenKind::Identifier)) alias = current_text();
  }
  std::optional<Seq<Text>> items;
  if (next_at(TokenKind::ColonColon)) {
    advance_twice();
    if (at(TokenKind::LeftBrace)) {
      std::vector<Text> names;
      advance();
      while (at(TokenKind::Identifier)) {
        names.push_back(current_text());
        if (!next_at(TokenKind::Comma)) break;
        advance_twice();
      }
      if (next_at(TokenKind::RightBrace)) advance();
      items = seq(std::move(names));
    }
  }
  return Stmt(make<Import>(std::move(path), std::move(alias), std::move(items)));
}

std::optional<Stmt> Parser::parse_export() {
  advance();
  std::vector<ExportItem> items;
  ExportKind kind;
  switch (current_->kind) {
    case TokenKind::Star:
      items.push_back(ExportItem{ExportKind::All, std::nullopt});
      return Stmt(make<Export>(seq(std::move(items))));
    case TokenKind::LeftBrace:
      advance();
      while (at(TokenKind::Identifier)) {
        items.push_back(ExportItem{ExportKind::FunctionItem, current_text()});
        if (!next_at(TokenKind::Comma)) break;
        advance_twice();
      }
      if (next_at(TokenKind::RightBrace)) advance();
      return Stmt(make<Export>(seq(std::move(items))));
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
  items.push_back(ExportItem{kind, current_text()});
  return Stmt(make<Export>(seq(std::move(items))));
}

std::optional<Stmt> Parser::parse_attributed_statement() {
  advance();
  if (!at(TokenKind::LeftBracket)) return std::nullopt;
  advance();
  if (!at(TokenKind::Identifier)) return std::nullopt;
  Text name = current_text();
  advance();
  Seq<AttrArg> args;
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
  return Stmt(make<Attributed>(std::move(name), std::move(args), std::move(*statement)));
}

std::optional<Seq<AttrArg>> Parser::parse_attribute_args() {
  Nesting nesting(*this);
  if (nesting.too_deep()) return std::nullopt;
  std::vector<AttrArg> args;
  while (true) {
    if (at(TokenKind::Comma)) {
      advance();
      continue;
    }
    if (at(TokenKind::RightParen)) return seq(std::move(args));

    Text name;
    switch (current_->kind) {
      case TokenKind::TrAnd:
      case TokenKind::And:
        name = Text::fixed("and");
        break;
      case TokenKind::TrOr:
      case TokenKind::Or:
        name = Text::fixed("or");
        break;
      case TokenKind::TrNot:
      case TokenKind::Not:
        name = Text::fixed("not");
        break;
      case TokenKind::Identifier:
        name = current_text();
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
      args.push_back(AttrArg{AttrArg::KeyValue{std::move(name), current_text()}});
      advance();
    } else {
      args.push_back(AttrArg{AttrArg::Flag{std::move(name)}});
    }
  }
}

std::optional<Seq<Param>> Parser::parse_parameters() {
  const bool empty = next_at(TokenKind::RightParen);
  advance();
  std::vector<Param> params;
  if (empty) return Seq<Param>();
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
      return seq(std::move(params));
    } else {
      return std::nullopt;
    }
  }
}

std::optional<Param> Parser::parse_parameter() {
  Text name;
  if (at(TokenKind::Identifier)) {
    name = current_text();
  } else if (const auto* word = tables::find_spelling(tables::PARAMETER_TYPE_WORDS, current_->kind)) {
    name = Text::fixed(*word);
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

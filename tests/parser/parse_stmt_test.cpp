// Statements: source text -> printed tree.
#include <gtest/gtest.h>

#include "parser/parser.hpp"
#include "parser/parse_case.hpp"

namespace zevo::parser {
namespace {

using Case = testing::ParseCase;
using testing::expect_parses;

TEST(ParseProgram, EmptyAndUnparsableTexts) {
  const Case cases[] = {
      {"", ""},
      {"// only a comment\n/* and a block */", ""},
      // The first token is a character the lexer does not know: end of input.
      {"@x = 1", ""},
      {"x = 1 & y = 2", "(assign x 1)"},
      // A stray closing brace at statement level is passed over.
      {"}", ""},
      {"} x = 1", "(assign x 1)"},
      // Keywords without a statement of their own yield nothing.
      {"yakala son yap catch x", "x"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, LetConstAssignReturn) {
  const Case cases[] = {
      {"değişken x = 5;", "(let x 5)"},
      {"olsun x = 5", "(let x 5)"},
      {"variable x = 5", "(let x 5)"},
      {"let x: int = 5", "(let x 5)"},
      // The written type is skipped up to the next "=", across lines.
      {"değişken x: tamsayı\ny = 3", "(let x 3)"},
      {"değişken x: tamsayı\nf(1)\ng()", ""},
      {"sabit PI = 3.14;", "(const PI 3.14)"},
      {"const N: List<int> = [1, 2]", "(const N (list 1 2))"},
      {"let = 5", "5"},
      {"let x 5", ""},
      {"x = 1", "(assign x 1)"},
      {"x = 1; y = 2;", "(assign x 1) (assign y 2)"},
      // Only a bare name assigns; the "=" after x.y yields nothing.
      {"x.y = 1", "(. x y) 1"},
      {"x = ", ""},
      {"dön a + b;", "(return (+ a b))"},
      {"dön;", ""},
      {"return }", ""},
      {"dur; geç break continue;", "(break) (continue) (break) (continue)"},
      {"f(x);", "(call f x)"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, Loops) {
  const Case cases[] = {
      {"iken i < 3 yap i = i + 1 son\nyaz(i)", "(while (< i 3) [(assign i (+ i 1))]) (call yaz i)"},
      {"while x { y }", "(while x [y])"},
      {"döngü x do y end", "(while x [y])"},
      {"while { y }", "y"},
      {"for each x in xs { y }", "(for x xs [y])"},
      {"için x içinde xs yap y son", "(for x xs [y])"},
      {"her biri x içinde 0..10 { yaz(x) }", "(for x (.. 0 10) [(call yaz x)])"},
      // The token after the variable is passed over unread.
      {"for x of xs { y }", "(for x xs [y])"},
      {"for 1 in xs { y }", "xs y"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, IfChains) {
  const Case cases[] = {
      {"eğer a ise b değilse c son", "(if a [b] (else [c]))"},
      {"if a { b }", "(if a [b])"},
      {"if a then b end", "(if a [b])"},
      {"if a { b } else if c { d } else { e }", "(if a [b] (elif c [d] (else [e])))"},
      {"if a { b } elif c { d } elif e { f }", "(if a [b] (elif c [d] (elif e [f])))"},
      {"eğer a { b } veya eğer c { d } değilse { e }", "(if a [b] (elif c [d] (else [e])))"},
      // Only the English "if" chains after "else" or "değilse".
      {"eğer a { b } değilse eğer c { d }", "(if a [b] (else [(if c [d])]))"},
      // A link that fails drops the whole statement.
      {"if a { b } elif { d } x", "d x"},
      {"if { b }", "b"},
      // The then-block may end on the else keyword itself.
      {"eğer a ise b değilse c son d", "(if a [b] (else [c])) d"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, Try) {
  const Case cases[] = {
      {"dene { a } yakala e { b }", "(try [a] catch e [b])"},
      {"try { a } catch { b }", "(try [a] catch [b])"},
      // The token right after "try" is passed over, whatever it is.
      {"try x { a } catch e { b }", "(try [a] catch e [b])"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, Functions) {
  const Case cases[] = {
      {"fonksiyon topla(a: tamsayı, b: tamsayı): tamsayı { dön a + b }",
       "(fn topla (a:tamsayı b:tamsayı) -> tamsayı [(return (+ a b))])"},
      {"fn f() -> int { }", "(fn f () -> integer [])"},
      {"fn f() - > int { }", "(fn f () -> integer [])"},
      {"fn f<T, U>(x: T) { }", "(fn f<T,U> (x:T) [])"},
      {"fonksiyon f() dön 1 son", "(fn f () [(return 1)])"},
      {"function f(a, b) { }", "(fn f (a b) [])"},
      // Turkish type words may name a parameter.
      {"fn f(liste, yazı: yazı) { }", "(fn f (liste yazı:yazı) [])"},
      // A return type that does not parse is simply missing.
      {"fn f(): liste { x }", "(fn f () [x])"},
      // The next declaration's keyword ends the body and is passed over.
      {"fonksiyon a() yap x fonksiyon b() yap y son", "(fn a () [x]) (call b) y"},
      {"fn f(a b) { }", "b"},
      {"fn f(a,) { }", ""},
      {"fn f(a: liste) { }", ""},
      {"fn f<T U>() { }", "(tuple)"},
      {"fn f { }", ""},
      {"fn 1() { }", "(tuple)"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, ModulesAndRegions) {
  const Case cases[] = {
      // A module takes the rest of the text.
      {"modül M\nx = 1\nfn f() {}\n}\ny", "(module M [(assign x 1) (fn f () []) y])"},
      {"module M do x", "(module M [x])"},
      {"bölge R(1024) { x }", "(region R 1024 [x])"},
      {"region R { x }", "(region R [x])"},
      {"region R do x end", "(region R [x])"},
      {"bölge R x", ""},
      {"bölge R(x) { y }", "y"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, StructsAndTypes) {
  const Case cases[] = {
      {"yapı Nokta { x: tamsayı, y: tamsayı }", "(struct Nokta (x:tamsayı y:tamsayı))"},
      {"struct P do a: Map<string, int> end", "(struct P (a:Map<string,integer>))"},
      {"tip Nokta = yapı yap x: tamsayı son", "(struct Nokta (x:tamsayı))"},
      {"type P = struct do x: int y: float end", "(struct P (x:integer y:float))"},
      // A name without ":" ends the field list.
      {"yapı P { x y }", "(struct P ())"},
      {"yapı P { x: liste, y: int }", "(struct P ()) y"},
      {"tip Kimlik = tamsayı", "(type Kimlik tamsayı)"},
      {"type Pair = (int, string)", "(type Pair demet<integer,string>)"},
      // A union keeps its first alternative and ends on the last one.
      {"tip Renk = \"a\" | \"b\" | \"c\" x", "(type Renk a) x"},
      {"type T = yapı { x: int }", "x"},
      {"type T int", ""},
  };
  expect_parses(cases);
}

TEST(ParseStatement, UseImportExport) {
  const Case cases[] = {
      {"use ::std::io::{read, write as w}", "(use ::std::io {read write as w})"},
      {"kullan a::b olarak c", "(use a::b as c)"},
      {"kullan a::b", "(use a::b)"},
      {"kullan a::b::*", "(use a::b)"},
      {"use a::{}", "(use a {})"},
      // A routine that yields nothing stops on the token that broke it, and the
      // statement loop passes over that token.
      {"use a::1", ""},
      {"use 1 x", "x"},
      {"içe_aktar \"lib\" olarak L :: { a, b }", "(import \"lib\" as L {a b})"},
      {"import \"lib\"", "(import \"lib\")"},
      {"import \"lib\"::x", "(import \"lib\")"},
      // Braces give a list of items even when it is empty.
      {"import \"lib\" :: {}", "(import \"lib\" {})"},
      {"import lib", ""},
      {"dışa_aktar { a, b }", "(export fn:a fn:b)"},
      {"export *", "(export *)"},
      {"export fn f export struct S export const C export modül M",
       "(export fn:f) (export struct:S) (export const:C) (export module:M)"},
      {"export 1 x", "x"},
  };
  expect_parses(cases);
}

TEST(ParseStatement, Attributes) {
  const Case cases[] = {
      {"#[test] fn f() {}", "(#[test] (fn f () []))"},
      {"#[cfg(not(feature = \"kayıt\"))] fn f() {}", "(#[cfg(not(feature=kayıt))] (fn f () []))"},
      {"#[a(ve, veya, değil)] x", "(#[a(and or not)] x)"},
      {"#[a(x = y, z)] #[b] x", "(#[a(x=y z)] (#[b] x))"},
      {"#[a(1)] x", "x"},
      {"#[a(x = 1)] x", "x"},
      {"#[a] }", ""},
      {"#a x", "x"},
  };
  expect_parses(cases);
}

}  // namespace
}  // namespace zevo::parser

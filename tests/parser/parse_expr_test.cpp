// Expressions, types and patterns: source text -> printed tree. Each routine
// runs on a parser of its own, which also shows where it leaves `current`.
#include <gtest/gtest.h>

#include "parser/parser.hpp"
#include "parser/parse_case.hpp"

namespace zevo::parser {
namespace {

using testing::parse_sexpr;
using testing::sexpr;

constexpr const char* kNone = "<none>";

Parser parser_for(std::string_view text) { return Parser(Lexer(text, SourceFile{"<stdin>"})); }

using Case = testing::ParseCase;  // kNone when a routine yields nothing

// An expression or type that yields something ends on the text's last token;
// a pattern ends on the token after it, here the end of the text.
template <class ParseFn>
void expect_routine(const Case& c, ParseFn parse, bool ends_after) {
  SCOPED_TRACE(c.source);
  Parser parser = parser_for(c.source);
  auto result = parse(parser);
  if (!result) {
    EXPECT_STREQ(kNone, c.expected);
    return;
  }
  EXPECT_EQ(sexpr(*result), c.expected);
  if (ends_after) {
    EXPECT_EQ(parser.current().kind, TokenKind::EndOfInput);
  } else {
    EXPECT_EQ(parser.next().kind, TokenKind::EndOfInput);
  }
}

template <std::size_t N>
void expect_expressions(const Case (&cases)[N]) {
  for (const Case& c : cases) expect_routine(c, [](Parser& p) { return p.parse_expression(0); }, false);
}

TEST(ParseExpression, PrecedenceAndGrouping) {
  const Case cases[] = {
      {"1 + 2 * 3", "(+ 1 (* 2 3))"},
      {"a - b - c", "(- (- a b) c)"},
      {"a * b / c % d", "(% (/ (* a b) c) d)"},
      {"a ve b veya c", "(or (and a b) c)"},
      {"a and b or c", "(or (and a b) c)"},
      // "ve" and "veya" share one power, so they group to the left.
      {"a veya b ve c", "(and (or a b) c)"},
      {"a < b == c", "(== (< a b) c)"},
      {"a == b != c", "(!= (== a b) c)"},
      {"a <= b + 1", "(<= a (+ b 1))"},
      {"a >= b", "(>= a b)"},
      {"a > b", "(> a b)"},
      {"-a * b", "(* (- a) b)"},
      {"- - x", "(- (- x))"},
      {"-a.b()", "(- (method a b))"},
      {"değil x ve y", "(and (değil x) y)"},
      {"not x", "(not x)"},
      {"0..n + 1", "(.. 0 (+ n 1))"},
      {"a..=b", "(..= a b)"},
      {"0..1..2", "(.. (.. 0 1) 2)"},
      {"x as int + 1", "(+ (as x integer) 1)"},
      {"x olarak ondalık", "(as x ondalık)"},
      {"x as Vec<int> as T", "(as (as x Vec<integer>) T)"},
      {"(1)", "1"},
      {"(a + b) * c", "(* (+ a b) c)"},
      {"()", "(tuple)"},
      {"(1, 2)", "(tuple 1 2)"},
      {"(1, 2,)", "(tuple 1 2)"},
      {"(1 2)", kNone},
      {"(1, 2", kNone},
      {"[]", "(list)"},
      {"[1, [2]]", "(list 1 (list 2))"},
      {"[1, 2,]", kNone},
      {"[1 2]", kNone},
      {"1 +", kNone},
      {"x as liste", kNone},
      // Line breaks end nothing.
      {"a\n-b", "(- a b)"},
      {"f\n(x)", "(call f x)"},
  };
  expect_expressions(cases);
}

TEST(ParseExpression, LiteralsAndWords) {
  const Case cases[] = {
      {"42", "42"},
      {"3.14", "3.14"},
      {"1.", "1.0"},
      {"\"metin\"", "\"metin\""},
      {"'tek'", "\"tek\""},
      {"doğru", "true"},
      {"yanlış", "false"},
      {"true", "true"},
      {"boş", "null"},
      {"null", "null"},
      {"Hiçbir", "None"},
      {"None", "None"},
      {"Bazı(5)", "(Some 5)"},
      {"Some(a + 1)", "(Some (+ a 1))"},
      {"Tamam(1)", "(Ok 1)"},
      {"Err(e)", "(Err e)"},
      {"Some 5", kNone},
      {"Ok(1", kNone},
      {"geçir a + b", "(move (+ a b))"},
      {"paylaş x", "(share x)"},
      {"share x", "(share x)"},
      {"değiştir x", "(change x)"},
      {"yeni Nokta", "(new Nokta)"},
      {"new 5", kNone},
      {"son", kNone},
      {"liste", kNone},
      {"giriş_çıkış::PA5.toggle", kNone},
  };
  expect_expressions(cases);
}

TEST(ParseExpression, PostfixOperators) {
  const Case cases[] = {
      {"a.b", "(. a b)"},
      {"a.b.c", "(. (. a b) c)"},
      {"a.b(1)", "(method a b 1)"},
      {"a.b(1).c", "(. (method a b 1) c)"},
      {"a.5", kNone},
      {"a::b + c", "(:: a (+ b c))"},
      {"a::b::c", "(:: a (:: b c))"},
      {"f()", "(call f)"},
      {"f(1, g(2))", "(call f 1 (call g 2))"},
      {"f()()", "(call (call f))"},
      // A call argument that does not parse is left out; a missing separator fails.
      {"f(,)", "(call f)"},
      {"f(1, ]) ", "(call f 1)"},
      {"f(1, , 2)", kNone},
      {"f(1 2)", kNone},
      {"f(1,)", kNone},
      {"x?", "(? x @1:2)"},
      {"f(x)?.y", "(. (? (call f x) @1:5) y)"},
      {"a[0]", "(index a 0)"},
      {"a[i + 1][j]", "(index (index a (+ i 1)) j)"},
      {"a[0", kNone},
      {"a[]", kNone},
      {"yeni Nokta(1, 2)", "(call (new Nokta) 1 2)"},
  };
  expect_expressions(cases);
}

TEST(ParseExpression, IfAndMatch) {
  const Case cases[] = {
      {"eğer a ise { 1 } değilse { 2 }", "(if-expr a [1] [2])"},
      {"if a { 1 }", "(if-expr a [1])"},
      {"if a then { x = 1 } else { y }", "(if-expr a [(assign x 1)] [y])"},
      // The token after the condition is taken as the opener unread.
      {"if a x y }", "(if-expr a [y])"},
      {"if { 1 }", kNone},
      {"seç x yap durum 1 => a; durum _ => b son", "(match x ((lit 1) => a) (_ => b))"},
      {"match x do case \"a\" => 1 _ => 0 end", "(match x ((lit \"a\") => 1) (_ => 0))"},
      {"seç x yap durum Bazı(v) => v son", "(match x ((Some v) => v))"},
      {"seç x yap durum (a, b) => a son", "(match x ((tuple a b) => a))"},
      {"match x do case None => 0 case Ok(_) => 1 case Err(e) => e end",
       "(match x (None => 0) ((Ok _) => 1) ((Err e) => e))"},
      {"match x do case doğru => 1 case 1..5 => 2 end", "(match x ((lit true) => 1) ((lit (.. 1 5)) => 2))"},
      {"match x do end", "(match x)"},
      {"match x do case 1 => a", "(match x ((lit 1) => a))"},
      {"match x { durum 1 => a }", kNone},
      {"seç x yap durum 1.5 => x son", kNone},
      {"seç x yap durum 1 > a son", kNone},
      {"seç x yap durum 1 => son", kNone},
      {"seç x yap y => 1 son", kNone},
  };
  expect_expressions(cases);
}

TEST(ParseExpression, IfWithoutBracesEndsOnTheElseKeyword) {
  // The 1 is taken as the first body's opener; "değilse" then ends that body and
  // is not the next token, so there is no else body.
  EXPECT_EQ(parse_sexpr("değişken x = eğer a ise 1 değilse 2 son"), "(let x (if-expr a [])) 2");
  EXPECT_EQ(parse_sexpr("değişken x = eğer a ise { 1 } değilse { 2 }"), "(let x (if-expr a [1] [2]))");
}

TEST(ParseExpression, AsmAndPanic) {
  const Case cases[] = {
      {"asm(x86_64, \"nop\")", "(asm x86_64 \"nop\")"},
      {"asm(arm64, \"mov\", out(r0) x)", "(asm arm64 \"mov\" (out r0 x))"},
      {"asm(aarch64, \"t\", in(r1) a + 1, inout(r2) b, lateout(r3) c, içinde(r4) d)",
       "(asm arm64 \"t\" (in r1 (+ a 1)) (inout r2 b) (lateout r3 c) (in r4 d))"},
      {"asm(riscv64, \"t\")", "(asm riscv \"t\")"},
      // An operand that breaks off is dropped when ")" follows.
      {"asm(x86_64, \"t\", foo)", "(asm x86_64 \"t\")"},
      {"asm(x86_64, \"t\", out(r0) a, out)", "(asm x86_64 \"t\" (out r0 a))"},
      {"asm(x86_64, \"t\", out(r0) a, out r1)", kNone},
      {"asm(x86_64, \"t\", out(r0))", kNone},
      {"asm(x86_64, \"t\", foo bar)", kNone},
      {"asm(mips, \"t\")", kNone},
      {"asm(x86_64 \"t\")", kNone},
      {"asm(x86_64, t)", kNone},
      {"asm(x86_64, \"t\" x)", kNone},
      {"asm x86_64", kNone},
      {"panic!(\"hata\")", "(panic \"hata\" @1:1)"},
      {"panic!(\"hata {}\", x, y + 1)", "(panic \"hata {}\" x (+ y 1) @1:1)"},
      {"panic(\"hata\")", kNone},
      {"panic!(x)", kNone},
      {"panic!(\"a\", )", kNone},
  };
  expect_expressions(cases);
}

TEST(ParseExpression, PinMethodCalls) {
  const Case cases[] = {
      {"gpio::PA5.set_high()", "(pin gpio A#5 set_high)"},
      {"gpio::Pa5.toggle", "(pin gpio A#5 toggle)"},
      {"gpio::PB+7.toggle", kNone},  // "+" is its own token, so the name is PB
      {"gpio::PC15.is_low()", "(pin gpio C#15 is_low)"},
      {"gpio::pa5.toggle", "(pin gpio pa5 toggle)"},
      {"gpio::PB16.toggle", "(pin gpio PB16 toggle)"},
      {"gpio::PAx.toggle", "(pin gpio PAx toggle)"},
      {"gpio::P12.toggle", kNone},
      {"gpio::P5.toggle", "(pin gpio P5 toggle)"},
      {"gpio::LED.yüksek_yap()", "(pin gpio LED yüksek_yap)"},
      {"uart::TX.send(1, x)", "(pin uart TX send 1 x)"},
      {"dma::CH1.alçak_mı()", "(pin dma CH1 alçak_mı)"},
      {"gpio::PA5.as_output(pull_up)", "(pin gpio A#5 as_output PullUp)"},
      {"gpio::PA5.çıkış_olarak(yukarı_çek, push_pull)", "(pin gpio A#5 çıkış_olarak yukarı_çek PushPull)"},
      {"gpio::PA5.değiştir()", kNone},
      {"gpio::PA5.toggle(1 2)", kNone},
      {"gpio::PA5", kNone},
      {"gpio.PA5.toggle", kNone},
      {"timer::5.toggle", kNone},
  };
  expect_expressions(cases);
}

TEST(ParseType, NamesArgumentsTuples) {
  const Case cases[] = {
      {"tamsayı", "tamsayı"},
      {"ondalık", "ondalık"},
      {"yazı", "yazı"},
      {"mantıksal", "mantıksal"},
      {"int", "integer"},
      {"integer", "integer"},
      {"float", "float"},
      {"string", "string"},
      {"bool", "boolean"},
      {"boolean", "boolean"},
      {"Nokta", "Nokta"},
      {"liste", kNone},
      {"demet", kNone},
      {"list", kNone},
      {"tuple", kNone},
      {"Map<string, Vec<int>>", "Map<string,Vec<integer>>"},
      {"List<List<int>>", "List<List<integer>>"},
      {"(int, float)", "demet<integer,float>"},
      {"(int,)", "demet<integer>"},
      {"()", "demet"},
      {"(int float)", kNone},
      {"Vec<>", kNone},
      {"Vec<int", kNone},
      {"Vec<int,>", kNone},
  };
  for (const Case& c : cases) expect_routine(c, [](Parser& p) { return p.parse_type(); }, false);
}

TEST(ParsePattern, EveryAlternative) {
  const Case cases[] = {
      {"1", "(lit 1)"},
      {"\"a\"", "(lit \"a\")"},
      {"yanlış", "(lit false)"},
      {"boş", "(lit null)"},
      {"_", "_"},
      {"v", "v"},
      {"Hiçbir", "None"},
      {"Bazı(v)", "(Some v)"},
      {"Tamam((a, _))", "(Ok (tuple a _))"},
      {"Hata(e)", "(Err e)"},
      {"()", "(tuple)"},
      {"(a)", "a"},
      {"(a, b)", "(tuple a b)"},
      {"(a, b,)", "(tuple a b)"},
      {"(a b)", kNone},
      {"Some v", kNone},
      {"Some(v", kNone},
      {"1.5", kNone},
      {"-1", kNone},
  };
  for (const Case& c : cases) expect_routine(c, [](Parser& p) { return p.parse_pattern(); }, true);
}

}  // namespace
}  // namespace zevo::parser

// Publish/subscribe, task, event, emit and hardware-use statements.
#include <gtest/gtest.h>

#include "parser/parser.hpp"
#include "parser/parse_case.hpp"

namespace zevo::parser {
namespace {

using Case = testing::ParseCase;
using testing::expect_parses;

TEST(ParseMessaging, ParticipantsTopicsPublishersSubscribers) {
  const Case cases[] = {
      {"katılımcı 5;", "(participant 5)"},
      {"participant; x", "(participant 0) x"},
      {"katılımcı\nkonu T: Mesaj", "(participant 0) (topic T Mesaj)"},
      {"konu Sıcaklık: Float32 (güvenilir, geçmiş = 10, kalıcı);",
       "(topic Sıcaklık Float32 (reliability=0 history=10 durability=1))"},
      {"topic T: M", "(topic T M)"},
      {"topic T: M; x", "(topic T M) x"},
      // The message type must be an identifier, and "tamsayı" is a keyword.
      {"konu T: tamsayı", ""},
      {"topic T M", ""},
      {"yayıncı P -> T (best_effort)", "(publisher P T (reliability=1))"},
      {"publisher P -> T;", "(publisher P T)"},
      // The publisher fails on "<"; the "-" after it starts an expression.
      {"yayıncı P <- T", "(- T)"},
      {"abone S <- T", "(subscriber S T)"},
      {"abone S -> T", "(subscriber S T)"},
      {"subscriber S <- T (elinden_gelen, sürekli)", "(subscriber S T (reliability=1 durability=2))"},
      {"subscriber S < T", "T"},
  };
  expect_parses(cases);
}

TEST(ParseMessaging, QualityOfServiceOptions) {
  const Case cases[] = {
      {"topic T: M (history)", "(topic T M (history=all))"},
      {"topic T: M (history =)", "(topic T M (history=1))"},
      {"topic T: M (geçmiş = x)", "(topic T M (history=1))"},
      // The depth keeps the low 32 bits.
      {"topic T: M (history = 4294967297)", "(topic T M (history=1))"},
      {"topic T: M (deadline = 100, lifespan)", "(topic T M (deadline=100 lifespan=0))"},
      {"topic T: M (süre_sınırı = 5 ömür = 7)", "(topic T M (deadline=5 lifespan=7))"},
      {"topic T: M (volatile, transient, persistent, geçici)",
       "(topic T M (durability=0 durability=1 durability=2 durability=0))"},
      // The durability policy's own name is no option.
      {"topic T: M (durability, x, reliable)", "(topic T M (reliability=0))"},
      {"topic T: M (kalıcılık = 2, reliable, reliable)", "(topic T M (reliability=0 reliability=0))"},
      {"topic T: M ()", "(topic T M)"},
      // An option list without its ")" runs to the end of the text.
      {"topic T: M (reliable\nx = 1\nhistory", "(topic T M (reliability=0 history=all))"},
  };
  expect_parses(cases);
}

TEST(ParseHardware, UseHal) {
  const Case cases[] = {
      {"kullan hal::gpio;", "(use-hal hal::gpio)"},
      {"use dsk::giriş_çıkış", "(use-hal dsk::gpio)"},
      {"use donanım_soyutlama_katmanı::zamanlayıcı", "(use-hal dsk::timer)"},
      {"use hal::seri_iletişim", "(use-hal hal::uart)"},
      {"use hal::doğrudan_bellek use hal::dma", "(use-hal hal::dma) (use-hal hal::dma)"},
      {"kullan hal::LED", "(use-hal hal::LED)"},
      {"kullan hal", ""},
      {"use hal::5 x", "x"},
      // A peripheral keyword is no path segment of a plain use.
      {"use gpio::x", "x"},
  };
  expect_parses(cases);
}

TEST(ParseTasks, TaskBodies) {
  const Case cases[] = {
      {"görev Sensör { öncelik: 5 periyot: 10 ms yığın: 4 KB mod: hızlı }",
       "(task Sensör priority=5 period=10ms stack=4096 mod:hızlı)"},
      {"task T { period: 10\nstack: 2 kb }", "(task T period=10ms stack=2048)"},
      {"task T { period: 2.5 s }", "(task T period=2s)"},
      {"task T { period: 100 ns }", "(task T period=100ns)"},
      // A float period is cut toward zero and saturates at the top of the unsigned range.
      {"task T { period: 18446744073709549568.9 us }", "(task T period=18446744073709549568us)"},
      {"task T { period: 18446744073709551615.0 }", "(task T period=18446744073709551615ms)"},
      {"task T { period: 100000000000000000000000.5 s }", "(task T period=18446744073709551615s)"},
      {"task T { period: 5 us periyot: 6 µs }", "(task T period=6us)"},
      {"task T { stack: 1 MB }", "(task T stack=1048576)"},
      {"task T { stack: 3 mb }", "(task T stack=3145728)"},
      // Wraps at 64 bits.
      {"task T { stack: 9223372036854775807 KB }", "(task T stack=18446744073709550592)"},
      // A later line of the same property replaces an earlier one.
      {"task T { stack: 4 KB stack: 8 }", "(task T stack=8)"},
      {"task T { stack: 4 stack: x }", "(task T)"},
      {"task T { period: 4 period: x }", "(task T)"},
      {"task T { priority: 300 }", "(task T priority=44)"},
      {"task T { priority: 9223372036854775807 }", "(task T priority=255)"},
      {"task T { priority: x }", "(task T)"},
      // Only a property word without its ":" fails the whole task.
      {"task T { priority 5 } x", "x"},
      {"task T { stack 5 }", ""},
      {"task T { period 5 }", ""},
      {"task T { mod hızlı: 1 a: b c: 2 }", "(task T a:b)"},
      {"task T { priority: 1", "(task T priority=1)"},
      {"task T { }", "(task T)"},
      {"task T", ""},
      {"task 5 { }", ""},
  };
  expect_parses(cases);
}

TEST(ParseTasks, TaskMethodsEventsEmits) {
  const Case cases[] = {
      {"görev T.işle(x) { y }", "(task-method T.işle (x) [y])"},
      {"task T.run(a: int, b) { }", "(task-method T.run (a:integer b) [])"},
      {"görev T.işle { }", ""},
      {"görev T.işle() y", "y"},
      {"olay Tık(x) öncelik 2 { y }", "(on Tık (x) priority=2 [y])"},
      {"on E(a: int) priority 300 { }", "(on E (a:integer) priority=44 [])"},
      {"on E() { }", "(on E () [])"},
      {"on E() priority x { }", "(on E () [])"},
      {"on E() priority { }", ""},
      {"on E { }", ""},
      {"emit Hazır(1, 2)", "(emit Hazır 1 2)"},
      {"emit Hazır", "(emit Hazır)"},
      {"emit Hazır()", "(emit Hazır)"},
      {"emit Hazır(1,)", "(emit Hazır 1)"},
      // An argument that yields nothing is left out; the list goes on only after a ",".
      {"emit Hazır(, 1)", "(emit Hazır) 1"},
      {"emit Hazır(], 1)", "(emit Hazır 1)"},
      // The ";" after an emit is not taken in; it yields nothing of its own.
      {"yayınla_olay E(x); y", "(emit E x) y"},
      {"emit E(x", "(emit E x)"},
      {"emit 5", ""},
  };
  expect_parses(cases);
}

}  // namespace
}  // namespace zevo::parser

'use strict';
// The edits of the translate and extract commands and the run command lines.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const { translationEdits } = require('../src/translate.js');
const { planExtraction, defaultName } = require('../src/extract.js');
const { commandLine } = require('../src/run.js');

function applyOffsets(text, edits) {
  for (const e of [...edits].sort((a, b) => b.start - a.start)) text = text.slice(0, e.start) + e.newText + text.slice(e.end);
  return text;
}

function translate(text, to, start = 0, end = text.length) {
  return applyOffsets(text, translationEdits(text, start, end, to));
}

test('translation rewrites keywords and leaves names, strings and comments', () => {
  const cases = [
    ['iken doğru {', 'english', '  while true {'.trim()],
    ['eğer x ise yaz(1) değilse yaz(2) son', 'english', 'if x then yaz(1) else yaz(2) end'],
    ['veya eğer x', 'english', 'elif x'],
    ['her biri x içinde liste', 'english', 'for x in list'],
    ['yaz("eğer") // eğer /* iken */', 'english', 'yaz("eğer") // eğer /* iken */'],
    ['değişkenç = ikenler + çiken', 'english', 'değişkenç = ikenler + çiken'],
    ['fn f() { let x: int = 1 }', 'turkish', 'fonksiyon f() { değişken x: tamsayı = 1 }'],
    ['function g() { if a { return b } else { return c } }', 'turkish', 'fonksiyon g() { eğer a { dön b } değilse { dön c } }'],
    ['elif true', 'turkish', 'veya eğer doğru'],
    ['10ms', 'turkish', '10ms'],
  ];
  for (const [text, to, expected] of cases) assert.equal(translate(text, to), expected, text);
});

test('translation touches only the words that overlap the range', () => {
  const text = 'eğer a {\n  dön b\n}\ndön c';
  const start = text.indexOf('dön');
  assert.equal(translate(text, 'english', start + 1, start + 2), 'eğer a {\n  return b\n}\ndön c');
});

const blink = fs.readFileSync(path.join(__dirname, '..', '..', '..', 'examples', 'blink.zv'), 'utf8');

function applyLines(text, edits) {
  const lines = text.split('\n');
  const offset = (p) => lines.slice(0, p.line).reduce((n, l) => n + l.length + 1, 0) + p.character;
  return applyOffsets(text, edits.map((e) => ({ start: offset(e.start), end: offset(e.end), newText: e.newText })));
}

const range = (s, sc, e, ec) => ({ start: { line: s, character: sc }, end: { line: e, character: ec } });

test('extraction of a loop body: a call in place, the function after the enclosing one', () => {
  const plan = planExtraction(blink, range(11, 0, 15, 0), { name: 'yak_söndür' });
  const out = applyLines(blink, plan.edits);
  assert.match(out, /  iken doğru \{\n    yak_söndür\(\)\n    sayaç = sayaç \+ 1\n  \}\n\}\n\nfonksiyon yak_söndür\(\) \{\n  gpio\.write\(LED_PIN, 1\)\n  bekle\(500\)\n  gpio\.write\(LED_PIN, 0\)\n  bekle\(500\)\n\}\n$/);
});

test('extraction passes the locals it reads, with their types', () => {
  const text = 'function f(a: int, b) {\n  let x: list[int] = a\n  const y = 2\n  print(x + b)\n  let z = y\n  print(z)\n}\n';
  const plan = planExtraction(text, range(3, 2, 5, 10), { name: 'g' });
  assert.deepEqual(plan.params, [{ name: 'x', type: 'list[int]' }, { name: 'b', type: '' }, { name: 'y', type: '' }]);
  const out = applyLines(text, plan.edits);
  assert.equal(out, 'function f(a: int, b) {\n  let x: list[int] = a\n  const y = 2\n  g(x, b, y)\n}\n\nfunction g(x: list[int], b, y) {\n  print(x + b)\n  let z = y\n  print(z)\n}\n');
});

test('extraction at the top level puts the function before the call', () => {
  const text = 'let a = 1\nprint(a)\nprint(2)\n';
  const out = applyLines(text, planExtraction(text, range(1, 0, 2, 8), { name: 'p' }).edits);
  assert.equal(out, 'let a = 1\nfunction p() {\n  print(a)\n  print(2)\n}\n\np()\n');
});

test('extraction refuses what is no whole statements of one body', () => {
  assert.match(planExtraction(blink, range(10, 0, 12, 0), { name: 'x' }).error, /braces/);
  assert.match(planExtraction(blink, range(4, 0, 7, 0), { name: "x" }).error, /one function body/);
  assert.match(planExtraction(blink, range(3, 0, 3, 0), { name: 'x' }).error, /Select/);
});

test('the default name follows the language of the document and is unused', () => {
  assert.equal(defaultName(blink), 'yeni_fonksiyon');
  assert.equal(defaultName('function f() {}\nnew_function()'), 'new_function_2');
});

test('run command lines quote what they put in', () => {
  const vars = { file: '/w/a b.zv', function: 'ana', fileDirname: '/w', workspaceFolder: "/it's" };
  assert.equal(commandLine('zevo-run ${file} --fn ${function} ${nope}', vars, 'linux'), "zevo-run '/w/a b.zv' --fn ana ${nope}");
  assert.equal(commandLine('cd ${workspaceFolder}', vars, 'linux'), "cd '/it'\\''s'");
  assert.equal(commandLine('run ${file}', vars, 'win32'), 'run "/w/a b.zv"');
});

'use strict';
// The extension's tables against the server's sources.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const tables = require('../tools/tables.js');
const extract = require('../src/extract.js');

const table = tables.keywords();
const kindOf = new Map(table.map((k) => [k.spelling, k.kind]));
const { toEnglish, toTurkish } = tables.twins();

test('the extension carries the version of the project', () => {
  const cmake = fs.readFileSync(path.join(tables.REPO, 'CMakeLists.txt'), 'utf8');
  const version = /project\(zevo_lsp VERSION ([0-9.]+)/.exec(cmake)[1];
  assert.equal(require('../package.json').version, version);
});

test('the keyword table is read whole', () => {
  const header = fs.readFileSync(path.join(tables.REPO, 'src/parser/keywords.hpp'), 'utf8');
  const size = Number(/std::array<Keyword, (\d+)> KEYWORDS/.exec(header)[1]);
  assert.equal(table.length, size);
  assert.equal(kindOf.get('µs'), 'UnitUs');
  assert.equal(kindOf.get('veya eğer'), 'TrElif');
});

test('a twin is a spelling of the counterpart kind, and translating back gives the same kind', () => {
  for (const [map, back] of [[toEnglish, toTurkish], [toTurkish, toEnglish]]) {
    for (const [word, twin] of Object.entries(map)) {
      const kind = kindOf.get(word);
      const twinKind = kindOf.get(twin);
      assert.ok(twinKind === 'Tr' + kind || kind === 'Tr' + twinKind, `${word} -> ${twin}`);
      assert.equal(kindOf.get(back[twin]), kind, `${word} -> ${twin} -> ${back[twin]}`);
    }
  }
  // Both ways, every kind that has a counterpart with a spelling.
  assert.equal(toEnglish['değilse'], 'else');
  assert.equal(toTurkish['fn'], 'fonksiyon');
  assert.equal(toEnglish['her biri'], 'for');
});

test('the server\'s translation pairs agree with the twins wherever both words are keywords', () => {
  for (const { turkish, english } of tables.translations()) {
    if (!kindOf.has(turkish) || !kindOf.has(english)) continue;
    assert.equal(toEnglish[turkish], english, turkish);
    assert.equal(toTurkish[english], turkish, english);
  }
});

test('the words the extraction looks for are keywords', () => {
  for (const w of [...extract.FUNCTION_WORDS, ...extract.DECLARATION_WORDS, ...extract.LOOP_WORDS, ...extract.LOOP_IN_WORDS]) {
    assert.ok(kindOf.has(w), w);
  }
});

test('the word pattern is the lexer\'s identifier class', () => {
  const { wordPattern } = require('../language-configuration.json');
  const re = new RegExp(wordPattern.pattern, wordPattern.flags + 'g');
  const words = (s) => s.match(re) ?? [];
  for (const w of ['sayaç', 'değişkenİ', 'ışık_2', 'x2', '_a', 'ω', '\u0663', '\u2167', '\u00AA']) assert.deepEqual(words(w), [w]);
  for (const c of [' ', '-', '@', '\u00AB', '\u20AC', '.', '\u00B2'.replace('\u00B2', '+')]) assert.deepEqual(words(`a${c}b`), ['a', 'b'], c);
});

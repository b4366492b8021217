'use strict';
// The grammar against the lexer's own table and the repository's examples.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const tables = require('../tools/tables.js');
const { scopeOf } = require('../tools/generate.js');
const { tokenize } = require('./textmate.js');

const kinds = tables.tokenKinds();
const table = tables.keywords();
const spellings = new Set(table.map((k) => k.spelling));

// The tokens of a text that carry some scope, as [text, innermost scope].
async function scoped(text) {
  return (await tokenize(text)).filter((t) => t.text.trim() !== '').map((t) => [t.text, t.scopes.at(-1)]);
}

test('every keyword of the lexer, in both languages, is one token of its scope', async () => {
  assert.ok(table.some((k) => tables.isTurkishKind(k.kind)) && table.some((k) => !tables.isTurkishKind(k.kind)));
  for (const { spelling, kind } of table) {
    const scope = scopeOf(kind, kinds.get(kind));
    assert.deepEqual(await scoped(`(${spelling})`), [
      ['(', 'punctuation.section.parens.zevo'],
      [spelling, scope],
      [')', 'punctuation.section.parens.zevo'],
    ], spelling);
  }
});

test('a keyword inside a longer word is no keyword', async () => {
  for (const { spelling } of table) {
    // A letter, a digit or "_" on either side makes another word; of a
    // two-word spelling, a letter before or after it.
    const words = spelling.includes(' ')
      ? [`ç${spelling}`, `${spelling}ç`]
      : [`ç${spelling}`, `${spelling}ç`, `${spelling}_`, `_${spelling}`, `${spelling}2`, `x2${spelling}`];
    for (const word of words) {
      if (spellings.has(word)) continue;
      const tokens = await scoped(word);
      assert.ok(!tokens.some(([t]) => t === spelling), `${word}: ${JSON.stringify(tokens)}`);
      if (!spelling.includes(' ')) assert.deepEqual(tokens, [[word, 'variable.other.zevo']], word);
    }
  }
});

test('Turkish identifiers are whole identifiers', async () => {
  for (const word of ['sayaç', 'değişkenİ', 'ikenler', 'çiken', 'değişkenç', 'ışık', 'Ölçüm_2', 'ğ', '_için']) {
    assert.deepEqual(await scoped(word), [[word, 'variable.other.zevo']], word);
  }
  assert.deepEqual(await scoped('değişken sayaç: tamsayı = 0'), [
    ['değişken', 'storage.type.zevo'],
    ['sayaç', 'variable.other.zevo'],
    [':', 'punctuation.separator.colon.zevo'],
    ['tamsayı', 'support.type.primitive.zevo'],
    ['=', 'keyword.operator.assignment.zevo'],
    ['0', 'constant.numeric.zevo'],
  ]);
});

test('the two-word keywords follow the lexer look-ahead', async () => {
  const cases = [
    ['veya eğer x', [['veya eğer', 'keyword.control.zevo'], ['x', 'variable.other.zevo']]],
    ['veya eğer_x', [['veya eğer', 'keyword.control.zevo'], ['_x', 'variable.other.zevo']]],
    ['veya eğerx', [['veya', 'keyword.operator.word.zevo'], ['eğerx', 'variable.other.zevo']]],
    ['her biri2', [['her biri', 'keyword.control.zevo'], ['2', 'constant.numeric.zevo']]],
    ['her  biri', [['her', 'variable.other.zevo'], ['biri', 'variable.other.zevo']]],
  ];
  for (const [text, expected] of cases) assert.deepEqual(await scoped(text), expected, text);
});

test('annotations, numbers, strings, comments and operators', async () => {
  const cases = [
    ['@test fonksiyon topla()', [['@', 'punctuation.definition.annotation.zevo'], ['test', 'storage.type.annotation.zevo'],
      ['fonksiyon', 'storage.type.function.zevo'], ['topla', 'entity.name.function.zevo'],
      ['(', 'punctuation.section.parens.zevo'], [')', 'punctuation.section.parens.zevo']]],
    ['@gerçek_zamanlı', [['@', 'punctuation.definition.annotation.zevo'], ['gerçek_zamanlı', 'storage.type.annotation.zevo']]],
    ['#[test]', [['#[', 'punctuation.definition.annotation.begin.zevo'], ['test', 'storage.type.annotation.zevo'],
      [']', 'punctuation.definition.annotation.end.zevo']]],
    ['10ms', [['10', 'constant.numeric.zevo'], ['ms', 'keyword.other.unit.zevo']]],
    ['5µs', [['5', 'constant.numeric.zevo'], ['µs', 'keyword.other.unit.zevo']]],
    ['10msx', [['10', 'constant.numeric.zevo'], ['msx', 'variable.other.zevo']]],
    ['3.14', [['3.14', 'constant.numeric.zevo']]],
    ['1..5', [['1', 'constant.numeric.zevo'], ['..', 'keyword.operator.range.zevo'], ['5', 'constant.numeric.zevo']]],
    ['x2', [['x2', 'variable.other.zevo']]],
    ['2if', [['2', 'constant.numeric.zevo'], ['if', 'keyword.control.zevo']]],
    ['"iken \\n \\" \\q"', [['"', 'punctuation.definition.string.begin.zevo'], ['iken ', 'string.quoted.double.zevo'],
      ['\\n', 'constant.character.escape.zevo'], ['\\"', 'constant.character.escape.zevo'],
      ['\\q', 'string.quoted.double.zevo'], ['"', 'punctuation.definition.string.end.zevo']]],
    ["'it\\'s'", [["'", 'punctuation.definition.string.begin.zevo'], ['it', 'string.quoted.single.zevo'],
      ["\\'", 'constant.character.escape.zevo'], ['s', 'string.quoted.single.zevo'], ["'", 'punctuation.definition.string.end.zevo']]],
    ['// eğer iken', [['//', 'punctuation.definition.comment.zevo'], [' eğer iken', 'comment.line.double-slash.zevo']]],
    ['/* eğer\niken */ x', [['/*', 'punctuation.definition.comment.begin.zevo'], [' eğer', 'comment.block.zevo'],
      ['iken ', 'comment.block.zevo'], ['*/', 'punctuation.definition.comment.end.zevo'], ['x', 'variable.other.zevo']]],
    ['a -> b :: c != d', [['a', 'variable.other.zevo'], ['->', 'keyword.operator.arrow.zevo'], ['b', 'variable.other.zevo'],
      ['::', 'punctuation.separator.namespace.zevo'], ['c', 'variable.other.zevo'], ['!=', 'keyword.operator.comparison.zevo'],
      ['d', 'variable.other.zevo']]],
    ['yaz(x)', [['yaz', 'entity.name.function.call.zevo'], ['(', 'punctuation.section.parens.zevo'], ['x', 'variable.other.zevo'],
      [')', 'punctuation.section.parens.zevo']]],
  ];
  for (const [text, expected] of cases) assert.deepEqual(await scoped(text), expected, text);
});

test('every character of the example files is scoped', async () => {
  const dir = path.join(tables.REPO, 'examples');
  const files = fs.readdirSync(dir).filter((f) => f.endsWith('.zv'));
  assert.ok(files.length > 0);
  for (const file of files) {
    const tokens = await tokenize(fs.readFileSync(path.join(dir, file), 'utf8'));
    const bare = tokens.filter((t) => t.text.trim() !== '' && t.scopes.length === 0);
    assert.deepEqual(bare, [], file);
  }
});

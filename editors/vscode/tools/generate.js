'use strict';
// Writes the files made from the server's tables (see tables.js):
//   syntaxes/zevo.tmLanguage.json  the TextMate grammar, source.zevo
//   src/keywords.json              the spellings of each language, and spelling -> twin both ways
// Run by the packaging script and by the tests; the outputs are not committed.
const fs = require('fs');
const path = require('path');
const tables = require('./tables.js');

// Oniguruma's \b is ASCII-only; these classes are the lexer's identifier class
// (is_identifier_char) and the letters its two-word look-ahead reads.
const ID_CHAR = '[\\p{Alphabetic}\\p{N}_]';
const ID_START = '[\\p{Alphabetic}_]';
const LETTER = '\\p{Alphabetic}';
// A word can follow a number directly ("10ms", "2if" are two tokens to the
// lexer), so only a letter or "_" before a keyword makes it part of a word.
const NOT_AFTER_ID = `(?<![\\p{Alphabetic}_])`;
const NOT_BEFORE_ID = `(?!${ID_CHAR})`;
const IDENTIFIER = `${ID_START}${ID_CHAR}*`;

// Core keywords by the English kind name (a Turkish kind takes its twin's
// scope); every other keyword takes its number range's scope.
const CORE_SCOPES = {
  'constant.language.zevo': ['True', 'False', 'Null'],
  'support.function.builtin.zevo': ['Some', 'None', 'Ok', 'Err', 'Panic'],
  'keyword.operator.word.zevo': ['And', 'Or', 'Not'],
  'storage.type.zevo': ['Fn', 'Let', 'Const', 'Variable', 'Struct', 'Module', 'Tip', 'Type', 'Region'],
  'storage.modifier.zevo': ['Pub', 'Share', 'Move', 'Change', 'New'],
  'keyword.control.import.zevo': ['Import', 'Export', 'Use', 'From', 'As'],
};
const RANGE_SCOPES = [
  [27, 113, 'keyword.control.zevo'],
  [114, 153, 'keyword.other.messaging.zevo'],
  [155, 164, 'keyword.other.asm.zevo'],
  [165, 184, 'support.type.hardware.zevo'],
  [185, 208, 'support.function.hardware.zevo'],
  [210, 221, 'support.type.primitive.zevo'],
  [227, 240, 'keyword.other.task.zevo'],
  [241, 244, 'keyword.other.unit.zevo'],
];

function scopeOf(kind, number) {
  const english = tables.isTurkishKind(kind) ? kind.slice(2) : kind;
  for (const [scope, names] of Object.entries(CORE_SCOPES)) if (names.includes(english)) return scope;
  for (const [lo, hi, scope] of RANGE_SCOPES) if (number >= lo && number <= hi) return scope;
  throw new Error(`keyword kind ${kind} (${number}) has no scope`);
}

function escapeRegex(s) {
  return s.replace(/[\\^$.*+?()[\]{}|]/g, '\\$&');
}

function alternatives(spellings) {
  return [...spellings].sort((a, b) => b.length - a.length || (a < b ? -1 : 1)).map(escapeRegex).join('|');
}

// One rule per scope. A two-word spelling ends where the look-ahead's run of
// letters ends ("veya eğer_x" is the keyword, then "_x"), a one-word spelling
// where the identifier ends.
function keywordMatch(spellings) {
  const multi = spellings.filter((s) => s.includes(' '));
  const single = spellings.filter((s) => !s.includes(' '));
  const parts = [];
  if (multi.length) parts.push(`(?:${alternatives(multi)})(?!${LETTER})`);
  if (single.length) parts.push(`(?:${alternatives(single)})${NOT_BEFORE_ID}`);
  return `${NOT_AFTER_ID}(?:${parts.join('|')})`;
}

function spellingsOf(table, kinds, predicate) {
  return table.filter(({ kind }) => predicate(kind, kinds.get(kind))).map(({ spelling }) => spelling);
}

// A backslash escapes n, r, t, 0, itself and the string's own quote; before
// any other character it stays, with that character.
function stringRule(kind, quote) {
  return {
    name: `string.quoted.${kind}.zevo`,
    begin: quote,
    end: quote,
    beginCaptures: { 0: { name: 'punctuation.definition.string.begin.zevo' } },
    endCaptures: { 0: { name: 'punctuation.definition.string.end.zevo' } },
    patterns: [{ name: 'constant.character.escape.zevo', match: `\\\\[nrt0\\\\${quote}]` }, { match: '\\\\.' }],
  };
}

function grammar(table = tables.keywords(), kinds = tables.tokenKinds()) {
  const byScope = new Map();
  for (const { spelling, kind } of table) {
    const scope = scopeOf(kind, kinds.get(kind));
    if (!byScope.has(scope)) byScope.set(scope, []);
    byScope.get(scope).push(spelling);
  }
  const keywordRules = [...byScope].map(([name, spellings]) => ({ name, match: keywordMatch(spellings) }));

  const isKind = (...names) => (kind) => names.includes(tables.isTurkishKind(kind) ? kind.slice(2) : kind);
  const functionWords = spellingsOf(table, kinds, isKind('Fn'));
  const typeWords = spellingsOf(table, kinds, isKind('Struct', 'Tip', 'Type'));
  const moduleWords = spellingsOf(table, kinds, isKind('Module'));
  const units = spellingsOf(table, kinds, (_, n) => n >= 241 && n <= 244);

  return {
    $schema: 'https://raw.githubusercontent.com/martinring/tmlanguage/master/tmlanguage.json',
    name: 'ZEVO',
    scopeName: 'source.zevo',
    fileTypes: ['zv'],
    patterns: [
      { include: '#comments' },
      { include: '#strings' },
      { include: '#annotations' },
      { include: '#numbers' },
      { include: '#declarations' },
      { include: '#keywords' },
      { include: '#calls' },
      { include: '#identifiers' },
      { include: '#operators' },
      { include: '#punctuation' },
    ],
    repository: {
      comments: {
        patterns: [
          {
            name: 'comment.block.zevo',
            begin: '/\\*',
            end: '\\*/',
            beginCaptures: { 0: { name: 'punctuation.definition.comment.begin.zevo' } },
            endCaptures: { 0: { name: 'punctuation.definition.comment.end.zevo' } },
          },
          {
            name: 'comment.line.double-slash.zevo',
            match: '(//).*',
            captures: { 1: { name: 'punctuation.definition.comment.zevo' } },
          },
        ],
      },
      strings: { patterns: [stringRule('double', '"'), stringRule('single', "'")] },
      annotations: {
        patterns: [
          {
            name: 'storage.type.annotation.zevo',
            match: `(@)${IDENTIFIER}`,
            captures: { 1: { name: 'punctuation.definition.annotation.zevo' } },
          },
          {
            name: 'storage.type.annotation.zevo',
            match: '(#\\[)[^\\]\\n]*(\\])',
            captures: {
              1: { name: 'punctuation.definition.annotation.begin.zevo' },
              2: { name: 'punctuation.definition.annotation.end.zevo' },
            },
          },
        ],
      },
      numbers: {
        // "10ms": the number, then the unit keyword right after it. A digit
        // inside a word never gets here: the identifier rule starts earlier.
        match: `([0-9]+(?:\\.(?!\\.)[0-9]*)?)(?:(${alternatives(units)})${NOT_BEFORE_ID})?`,
        captures: {
          1: { name: 'constant.numeric.zevo' },
          2: { name: 'keyword.other.unit.zevo' },
        },
      },
      declarations: {
        patterns: [
          {
            match: `${NOT_AFTER_ID}(${alternatives(functionWords)})${NOT_BEFORE_ID}\\s+(${IDENTIFIER})`,
            captures: { 1: { name: 'storage.type.function.zevo' }, 2: { name: 'entity.name.function.zevo' } },
          },
          {
            match: `${NOT_AFTER_ID}(${alternatives(typeWords)})${NOT_BEFORE_ID}\\s+(${IDENTIFIER})`,
            captures: { 1: { name: 'storage.type.zevo' }, 2: { name: 'entity.name.type.zevo' } },
          },
          {
            match: `${NOT_AFTER_ID}(${alternatives(moduleWords)})${NOT_BEFORE_ID}\\s+(${IDENTIFIER})`,
            captures: { 1: { name: 'storage.type.zevo' }, 2: { name: 'entity.name.namespace.zevo' } },
          },
        ],
      },
      keywords: { patterns: keywordRules },
      calls: {
        match: `(${IDENTIFIER})(?=\\s*\\()`,
        captures: { 1: { name: 'entity.name.function.call.zevo' } },
      },
      identifiers: { name: 'variable.other.zevo', match: IDENTIFIER },
      operators: {
        patterns: [
          { name: 'keyword.operator.arrow.zevo', match: '->' },
          { name: 'punctuation.separator.namespace.zevo', match: '::' },
          { name: 'keyword.operator.range.zevo', match: '\\.\\.=?' },
          { name: 'keyword.operator.comparison.zevo', match: '==|!=|<=|>=|<|>' },
          { name: 'keyword.operator.assignment.zevo', match: '=' },
          { name: 'keyword.operator.arithmetic.zevo', match: '[-+*/%]' },
          { name: 'keyword.operator.logical.zevo', match: '!' },
          { name: 'keyword.operator.question.zevo', match: '\\?' },
          { name: 'keyword.operator.pipe.zevo', match: '\\|' },
        ],
      },
      punctuation: {
        patterns: [
          { name: 'punctuation.separator.comma.zevo', match: ',' },
          { name: 'punctuation.terminator.statement.zevo', match: ';' },
          { name: 'punctuation.separator.colon.zevo', match: ':' },
          { name: 'punctuation.accessor.zevo', match: '\\.' },
          { name: 'punctuation.section.braces.zevo', match: '[{}]' },
          { name: 'punctuation.section.brackets.zevo', match: '[\\[\\]]' },
          { name: 'punctuation.section.parens.zevo', match: '[()]' },
          { name: 'punctuation.definition.hash.zevo', match: '#' },
        ],
      },
    },
  };
}

function keywordData(table = tables.keywords()) {
  return {
    turkish: table.filter((k) => tables.isTurkishKind(k.kind)).map((k) => k.spelling),
    english: table.filter((k) => !tables.isTurkishKind(k.kind)).map((k) => k.spelling),
    ...tables.twins(table),
  };
}

function write(dir = path.resolve(__dirname, '..')) {
  fs.mkdirSync(path.join(dir, 'syntaxes'), { recursive: true });
  fs.writeFileSync(path.join(dir, 'syntaxes', 'zevo.tmLanguage.json'), JSON.stringify(grammar(), null, 2) + '\n');
  fs.writeFileSync(path.join(dir, 'src', 'keywords.json'), JSON.stringify(keywordData(), null, 2) + '\n');
}

module.exports = { grammar, scopeOf, keywordData, write };

if (require.main === module) write();

'use strict';
// Reads the server's own tables out of its C++ sources, so that the grammar and
// the keyword translation can never disagree with the lexer:
//   src/parser/token.hpp     kind names and numbers
//   src/parser/keywords.hpp  KEYWORDS, spelling -> kind
//   src/lsp/code_actions.hpp KEYWORD_TRANSLATIONS, the server's preferred twins
const fs = require('fs');
const path = require('path');

const REPO = path.resolve(__dirname, '..', '..', '..');

// C++ string literal body -> JS string (the tables use UTF-8 text and \xNN escapes).
function unescapeCpp(body) {
  const bytes = [];
  for (let i = 0; i < body.length; ) {
    if (body[i] === '\\') {
      if (body[i + 1] === 'x') {
        const m = /^[0-9A-Fa-f]{1,2}/.exec(body.slice(i + 2));
        bytes.push(parseInt(m[0], 16));
        i += 2 + m[0].length;
      } else {
        bytes.push(body.charCodeAt(i + 1));
        i += 2;
      }
    } else {
      const cp = body.codePointAt(i);
      const ch = String.fromCodePoint(cp);
      for (const b of Buffer.from(ch, 'utf8')) bytes.push(b);
      i += ch.length;
    }
  }
  return Buffer.from(bytes).toString('utf8');
}

function read(rel) {
  return fs.readFileSync(path.join(REPO, rel), 'utf8');
}

function tokenKinds() {
  const text = read('src/parser/token.hpp');
  const body = /enum class TokenKind[^{]*\{([\s\S]*?)\n\};/.exec(text)[1];
  const kinds = new Map();
  for (const m of body.matchAll(/^\s*([A-Za-z][A-Za-z0-9_]*)\s*=\s*(\d+),/gm)) kinds.set(m[1], Number(m[2]));
  return kinds;
}

function keywords() {
  const text = read('src/parser/keywords.hpp');
  const body = /KEYWORDS\{\{([\s\S]*?)\n\}\};/.exec(text)[1];
  return [...body.matchAll(/\{"((?:[^"\\]|\\.)*)",\s*TokenKind::([A-Za-z0-9_]+)\}/g)].map((m) => ({
    spelling: unescapeCpp(m[1]),
    kind: m[2],
  }));
}

function translations() {
  const text = read('src/lsp/code_actions.hpp');
  const body = /KEYWORD_TRANSLATIONS = \{\{([\s\S]*?)\}\};/.exec(text)[1];
  return [...body.matchAll(/\{"((?:[^"\\]|\\.)*)",\s*"((?:[^"\\]|\\.)*)"\}/g)].map((m) => ({
    turkish: unescapeCpp(m[1]),
    english: unescapeCpp(m[2]),
  }));
}

// Turkish kinds are named Tr + their English counterpart's name.
function isTurkishKind(kind) {
  return /^Tr[A-Z]/.test(kind);
}

// One spelling per kind for writing it: the one the server's translation pairs
// use when they name one of the kind's spellings, otherwise the table's first.
function preferredSpellings(table, pairs) {
  const preferred = new Set(pairs.flatMap((p) => [p.turkish, p.english]));
  const byKind = new Map();
  for (const { spelling, kind } of table) {
    if (!byKind.has(kind)) byKind.set(kind, []);
    byKind.get(kind).push(spelling);
  }
  const out = new Map();
  for (const [kind, spellings] of byKind) out.set(kind, spellings.find((s) => preferred.has(s)) ?? spellings[0]);
  return out;
}

// Every spelling -> the spelling of its twin in the other language, for the
// kinds that have a twin with a spelling.
function twins(table = keywords(), pairs = translations()) {
  const preferred = preferredSpellings(table, pairs);
  const toEnglish = {};
  const toTurkish = {};
  for (const { spelling, kind } of table) {
    if (isTurkishKind(kind)) {
      const twin = preferred.get(kind.slice(2));
      if (twin !== undefined) toEnglish[spelling] = twin;
    } else {
      const twin = preferred.get('Tr' + kind);
      if (twin !== undefined) toTurkish[spelling] = twin;
    }
  }
  return { toEnglish, toTurkish };
}

module.exports = { REPO, tokenKinds, keywords, translations, twins, isTurkishKind, unescapeCpp };

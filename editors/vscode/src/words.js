'use strict';
// The lexer's view of a text, as far as the editor side needs it: words
// (identifiers and keywords, the two-word keywords joined), strings, comments
// and numbers, with UTF-16 offsets as VS Code counts them. No vscode import, so
// that the tests can run it in plain Node.
const data = require('./keywords.json');

const KEYWORDS = new Set([...data.turkish, ...data.english]);
const TURKISH = new Set(data.turkish);
const ENGLISH = new Set(data.english);
const TWO_WORD = new Set([...KEYWORDS].filter((k) => k.includes(' ')));

// is_identifier_char, and the characters that start a word or a number.
const ID_CHAR = /[\p{Alphabetic}\p{N}_]/u;
const ID_START = /[\p{Alphabetic}_]/u;
const LETTER = /\p{Alphabetic}/u;
const NUMERIC = /\p{N}/u;
const WHITE = /[\t-\r \u0085\u00A0\u1680\u2000-\u200A\u2028\u2029\u202F\u205F\u3000]/;

function charAt(text, i) {
  return i < text.length ? String.fromCodePoint(text.codePointAt(i)) : '';
}

// Tokens of kind 'word', 'string', 'comment', 'number' or 'other' (one character).
function scan(text) {
  const tokens = [];
  let i = text.startsWith('\uFEFF') ? 1 : 0;
  const runWhile = (j, re) => {
    for (let c = charAt(text, j); c && re.test(c); c = charAt(text, j)) j += c.length;
    return j;
  };
  while (i < text.length) {
    const c = charAt(text, i);
    const start = i;
    let kind;
    if (WHITE.test(c)) {
      i += c.length;
      continue;
    } else if (text.startsWith('//', i)) {
      const m = /[\n\r]/.exec(text.slice(i));
      i = m ? i + m.index : text.length;
      kind = 'comment';
    } else if (text.startsWith('/*', i)) {
      const close = text.indexOf('*/', i + 2);
      i = close < 0 ? text.length : close + 2;
      kind = 'comment';
    } else if (c === '"' || c === "'") {
      i += 1;
      while (i < text.length && text[i] !== c) i += text[i] === '\\' ? 2 : 1;
      i = Math.min(i + 1, text.length);
      kind = 'string';
    } else if (ID_START.test(c)) {
      i = runWhile(i, ID_CHAR);
      // The lexer's look-ahead: one blank, then a run of letters.
      if (text[i] === ' ') {
        const second = runWhile(i + 1, LETTER);
        if (TWO_WORD.has(text.slice(start, second))) i = second;
      }
      kind = 'word';
    } else if (NUMERIC.test(c)) {
      i = runWhile(i, NUMERIC);
      if (text[i] === '.' && text[i + 1] !== '.') i = runWhile(i + 1, NUMERIC);
      kind = 'number';
    } else {
      i += c.length;
      kind = 'other';
    }
    tokens.push({ kind, start, end: i, text: text.slice(start, i) });
  }
  return tokens;
}

function isKeyword(word) {
  return KEYWORDS.has(word);
}

function isIdentifier(word) {
  return /^[\p{Alphabetic}_][\p{Alphabetic}\p{N}_]*$/u.test(word) && !KEYWORDS.has(word);
}

// 'turkish' or 'english': the language most of the text's keywords are written
// in, Turkish on a tie (the words that are spelled alike count for neither).
function languageOf(text) {
  let turkish = 0;
  let english = 0;
  for (const t of scan(text)) {
    if (t.kind !== 'word') continue;
    if (TURKISH.has(t.text)) turkish += 1;
    else if (ENGLISH.has(t.text)) english += 1;
  }
  return english > turkish ? 'english' : 'turkish';
}

module.exports = { scan, isKeyword, isIdentifier, languageOf, data };

'use strict';
// Extract to function: the selected statements become the body of a new
// function, written in the document's keyword language, and a call takes their
// place. Locals of the enclosing function that the statements read become
// parameters (with their declared types). No vscode import: the tests run it.
const { scan, isIdentifier, languageOf } = require('./words.js');

// Words of the lexer's table (checked against it by the tests).
const FUNCTION_WORDS = ['fonksiyon', 'function', 'fn'];
const DECLARATION_WORDS = ['değişken', 'olsun', 'sabit', 'let', 'variable', 'const'];
const LOOP_WORDS = ['için', 'her biri', 'for'];
const LOOP_IN_WORDS = ['içinde', 'in'];

function lineStarts(text) {
  const starts = [0];
  for (const m of text.matchAll(/\r\n|\r|\n/g)) starts.push(m.index + m[0].length);
  return starts;
}

function lineOf(starts, offset) {
  let lo = 0;
  let hi = starts.length - 1;
  while (lo < hi) {
    const mid = (lo + hi + 1) >> 1;
    if (starts[mid] <= offset) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

const indentOf = (line) => /^[ \t]*/.exec(line)[0];

// The top-level functions: keyword, header line, and the lines of the body's
// braces.
function topLevelFunctions(tokens, starts) {
  const functions = [];
  let depth = 0;
  let pending = null;
  let current = null;
  for (let i = 0; i < tokens.length; i++) {
    const t = tokens[i];
    if (t.kind === 'word' && depth === 0 && FUNCTION_WORDS.includes(t.text)) {
      pending = { keyword: t.text, header: lineOf(starts, t.start), first: i };
    } else if (t.kind === 'other' && t.text === '{') {
      if (depth === 0 && pending) {
        current = { ...pending, open: lineOf(starts, t.start), openToken: i };
        pending = null;
      }
      depth += 1;
    } else if (t.kind === 'other' && t.text === '}') {
      depth = Math.max(0, depth - 1);
      if (depth === 0 && current) {
        functions.push({ ...current, close: lineOf(starts, t.start) });
        current = null;
      }
    }
  }
  return functions;
}

// Names declared by the tokens [from, to): name -> type text ('' when none).
function declarations(tokens, from, to, text) {
  const declared = new Map();
  const declare = (name, type) => declared.has(name) || declared.set(name, type);
  for (let i = from; i < to; i++) {
    const t = tokens[i];
    if (t.kind !== 'word') continue;
    const next = tokens[i + 1];
    if ((DECLARATION_WORDS.includes(t.text) || LOOP_WORDS.includes(t.text)) && next?.kind === 'word' && isIdentifier(next.text)) {
      let type = '';
      if (tokens[i + 2]?.text === ':' && DECLARATION_WORDS.includes(t.text)) {
        // The type runs to the "=" or the end of the line.
        let j = i + 3;
        const lineEnd = text.slice(tokens[i + 2].end).search(/[\r\n]|$/) + tokens[i + 2].end;
        while (j < to && tokens[j].text !== '=' && tokens[j].start < lineEnd) j++;
        type = text.slice(tokens[i + 3]?.start ?? 0, tokens[j - 1]?.end ?? 0).trim();
      }
      declare(next.text, type);
    }
  }
  return declared;
}

// The parameters of the function whose keyword is tokens[first]: name -> type.
function parameters(tokens, first, text) {
  const params = new Map();
  let i = first;
  while (i < tokens.length && tokens[i].text !== '(') i++;
  let depth = 0;
  for (i += 1; i < tokens.length; i++) {
    const t = tokens[i];
    if (t.text === '(' || t.text === '[') depth++;
    else if (t.text === ')' || t.text === ']') {
      if (depth-- === 0) break;
    } else if (depth === 0 && t.kind === 'word' && isIdentifier(t.text) && (tokens[i - 1].text === '(' || tokens[i - 1].text === ',')) {
      let type = '';
      if (tokens[i + 1]?.text === ':') {
        let j = i + 2;
        let d = 0;
        while (j < tokens.length && !(d === 0 && (tokens[j].text === ',' || tokens[j].text === ')'))) {
          if (tokens[j].text === '(' || tokens[j].text === '[') d++;
          if (tokens[j].text === ')' || tokens[j].text === ']') d--;
          j++;
        }
        type = text.slice(tokens[i + 2].start, tokens[j - 1].end).trim();
      }
      params.set(t.text, type);
    }
  }
  return params;
}

function uniqueName(base, text) {
  const used = new Set(scan(text).filter((t) => t.kind === 'word').map((t) => t.text));
  if (!used.has(base)) return base;
  for (let n = 2; ; n++) if (!used.has(`${base}_${n}`)) return `${base}_${n}`;
}

function defaultName(text) {
  return uniqueName(languageOf(text) === 'english' ? 'new_function' : 'yeni_fonksiyon', text);
}

// The extraction of the lines that `range` covers (a range that ends at the
// start of a line leaves that line out), as line-based edits:
//   { edits: [{ start: {line, character}, end: {line, character}, newText }] }
// or { error } when the lines are no whole statements of one body.
function planExtraction(text, range, { name, eol = '\n', indentUnit = '  ' }) {
  const lines = text.split(/\r\n|\r|\n/);
  const s = range.start.line;
  let e = range.end.line;
  if (e > s && range.end.character === 0) e -= 1;
  if (s >= lines.length || lines.slice(s, e + 1).every((l) => l.trim() === '')) return { error: 'Select the statements to extract.' };
  e = Math.min(e, lines.length - 1);

  const tokens = scan(text);
  const starts = lineStarts(text);
  const inSelection = (t) => {
    const line = lineOf(starts, t.start);
    return line >= s && line <= e;
  };
  const selected = tokens.filter(inSelection);
  let depth = 0;
  for (const t of selected) {
    if (t.text === '{') depth++;
    if (t.text === '}' && --depth < 0) break;
  }
  if (depth !== 0) return { error: 'Select whole statements: the braces of the selection do not balance.' };

  const functions = topLevelFunctions(tokens, starts);
  const enclosing = functions.find((f) => f.open < s && e < f.close);
  if (!enclosing && functions.some((f) => f.header <= e && s <= f.close)) {
    return { error: 'Select statements inside one function body, or at the top level.' };
  }

  // Locals of the enclosing function read by the selection, declared before it.
  const params = [];
  if (enclosing) {
    const firstSelected = tokens.indexOf(selected[0]);
    const visible = new Map([
      ...parameters(tokens, enclosing.first, text),
      ...declarations(tokens, enclosing.openToken, firstSelected, text),
    ]);
    const localInSelection = declarations(tokens, firstSelected, firstSelected + selected.length, text);
    for (let i = 0; i < selected.length; i++) {
      const t = selected[i];
      const before = selected[i - 1];
      if (t.kind !== 'word' || !visible.has(t.text) || before?.text === '.') continue;
      if (localInSelection.has(t.text) || params.some((p) => p.name === t.text)) continue;
      params.push({ name: t.text, type: visible.get(t.text) });
    }
  }

  const keyword = enclosing ? enclosing.keyword : languageOf(text) === 'english' ? 'function' : 'fonksiyon';
  const outer = enclosing ? indentOf(lines[enclosing.header]) : '';
  const body = lines.slice(s, e + 1);
  const common = Math.min(...body.filter((l) => l.trim() !== '').map((l) => indentOf(l).length));
  const bodyText = body.map((l) => (l.trim() === '' ? '' : outer + indentUnit + l.slice(common))).join(eol);
  const signature = params.map((p) => (p.type ? `${p.name}: ${p.type}` : p.name)).join(', ');
  const fn = `${outer}${keyword} ${name}(${signature}) {${eol}${bodyText}${eol}${outer}}`;
  const call = `${indentOf(body.find((l) => l.trim() !== ''))}${name}(${params.map((p) => p.name).join(', ')})`;

  const replaced = { start: { line: s, character: 0 }, end: { line: e, character: lines[e].length } };
  if (!enclosing) return { edits: [{ ...replaced, newText: fn + eol + eol + call }], params };
  const after = { line: enclosing.close, character: lines[enclosing.close].length };
  return { edits: [{ ...replaced, newText: call }, { start: after, end: after, newText: eol + eol + fn }], params };
}

module.exports = { planExtraction, defaultName, FUNCTION_WORDS, DECLARATION_WORDS, LOOP_WORDS, LOOP_IN_WORDS };

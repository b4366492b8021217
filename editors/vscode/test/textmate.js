'use strict';
// Tokenizes ZEVO text with the engine VS Code uses (vscode-textmate over
// vscode-oniguruma), from the generated grammar.
const fs = require('fs');
const path = require('path');
const vsctm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');
const { grammar } = require('../tools/generate.js');

let loaded;
function load() {
  loaded ??= (async () => {
    const wasm = fs.readFileSync(path.join(path.dirname(require.resolve('vscode-oniguruma')), 'onig.wasm'));
    await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
    const registry = new vsctm.Registry({
      onigLib: Promise.resolve({
        createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
        createOnigString: (s) => new oniguruma.OnigString(s),
      }),
      loadGrammar: async (scopeName) =>
        scopeName === 'source.zevo' ? vsctm.parseRawGrammar(JSON.stringify(grammar()), 'zevo.json') : null,
    });
    return registry.loadGrammar('source.zevo');
  })();
  return loaded;
}

// [{ text, scopes }] for every token of every line, lines split as VS Code does.
async function tokenize(text) {
  const g = await load();
  let state = vsctm.INITIAL;
  const out = [];
  for (const line of text.split(/\r\n|\r|\n/)) {
    const r = g.tokenizeLine(line, state);
    for (const t of r.tokens) out.push({ text: line.slice(t.startIndex, t.endIndex), scopes: t.scopes.slice(1) });
    state = r.ruleStack;
  }
  return out;
}

module.exports = { tokenize };

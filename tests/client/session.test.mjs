// A whole editor session against the built server, spoken through the protocol
// library that editors use: the library frames, parses and matches every
// message, so a framing fault or a response of the wrong shape fails here the
// way it would fail in an editor.
//
// The server is $ZEVO_LSP, a command line split at spaces (so a Windows build
// can run under Wine), or build/src/zevo-lsp of the repository.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import path from 'node:path';

import {
  createProtocolConnection,
  StreamMessageReader,
  StreamMessageWriter,
  InitializeRequest,
  InitializedNotification,
  DidOpenTextDocumentNotification,
  DidChangeTextDocumentNotification,
  DidCloseTextDocumentNotification,
  PublishDiagnosticsNotification,
  HoverRequest,
  CompletionRequest,
  SignatureHelpRequest,
  DefinitionRequest,
  ReferencesRequest,
  PrepareRenameRequest,
  RenameRequest,
  DocumentSymbolRequest,
  SemanticTokensRequest,
  InlayHintRequest,
  CodeLensRequest,
  CodeActionRequest,
  ShutdownRequest,
  ExitNotification,
  TextDocumentSyncKind,
  SemanticTokenTypes,
  SemanticTokenModifiers,
  DiagnosticSeverity,
  CompletionItemKind,
  MarkupKind,
  Position,
  Range,
  Location,
  LocationLink,
  Hover,
  MarkupContent,
  DocumentSymbol,
  SemanticTokens,
  InlayHint,
  CodeLens,
  CodeAction,
  Command,
  WorkspaceEdit,
  TextEdit,
  Diagnostic,
} from 'vscode-languageserver-protocol/node.js';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const serverCommand = process.env.ZEVO_LSP
  ? process.env.ZEVO_LSP.split(' ').filter((word) => word !== '')
  : [path.join(root, 'build', 'src', 'zevo-lsp')];

const MAIN_URI = 'file:///home/dev/zevo-projects/blink/ana.zv';
const LIB_URI = 'file:///home/dev/zevo-projects/blink/s%C3%BCr%C3%BCc%C3%BC.zv';

const MAIN_TEXT = [
  '// Bir LED\'i yakıp söndüren küçük bir program.',
  'sabit LED_PIN = 13',
  'değişken sayaç: tamsayı = 0',
  '',
  'fonksiyon bekle(ms: tamsayı) {',
  '  timer.delay(ms)',
  '}',
  '',
  'fonksiyon ana() {',
  '  gpio.mode(LED_PIN, çıkış)',
  '  iken doğru {',
  '    gpio.write(LED_PIN, 1)',
  '    yazdır("yandı")',
  '    bekle(500)',
  '    gpio.write(LED_PIN, 0)',
  '    bekle(500)',
  '    sayaç = sayaç + 1',
  '  }',
  '}',
  '',
].join('\n');

// One brace left open: the server publishes its one diagnostic for it.
const LIB_TEXT = [
  '@realtime',
  'function test_blink() {',
  '  let count = 0',
  '  if count == 0 {',
  '    count = count + 1',
  '}',
  '',
].join('\n');

// The client capabilities a current editor sends, with this session's process.
function initializeParams() {
  const file = path.join(root, 'tests', 'e2e', 'fixtures', 'vscode_initialize_params.json');
  const params = JSON.parse(readFileSync(file, 'utf8'));
  params.processId = process.pid;
  return params;
}

// The byte offset of a UTF-16 position, as an editor counts it.
function offsetAt(text, position) {
  let offset = 0;
  for (let line = 0; line < position.line; ++line) {
    const next = text.indexOf('\n', offset);
    if (next < 0) return text.length;
    offset = next + 1;
  }
  const end = text.indexOf('\n', offset);
  return Math.min(offset + position.character, end < 0 ? text.length : end);
}

// Applies non-overlapping edits the way an editor does: from the last to the first.
function applyEdits(text, edits) {
  const sorted = [...edits].sort((a, b) => offsetAt(text, b.range.start) - offsetAt(text, a.range.start));
  for (const edit of sorted) {
    text = text.slice(0, offsetAt(text, edit.range.start)) + edit.newText + text.slice(offsetAt(text, edit.range.end));
  }
  return text;
}

function positionOf(text, word, occurrence = 0) {
  let index = -1;
  for (let n = 0; n <= occurrence; ++n) index = text.indexOf(word, index + 1);
  assert.ok(index >= 0, `${word} is in the text`);
  const before = text.slice(0, index).split('\n');
  return Position.create(before.length - 1, before[before.length - 1].length);
}

function startServer() {
  const child = spawn(serverCommand[0], serverCommand.slice(1), { stdio: ['pipe', 'pipe', 'pipe'] });
  let log = '';
  child.stderr.setEncoding('utf8');
  child.stderr.on('data', (chunk) => { log += chunk; });
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  const connection = createProtocolConnection(new StreamMessageReader(child.stdout), new StreamMessageWriter(child.stdin));
  const diagnostics = [];
  const waiting = [];
  connection.onNotification(PublishDiagnosticsNotification.type, (params) => {
    diagnostics.push(params);
    for (const w of waiting.splice(0)) w();
  });
  connection.listen();
  // Resolves once `count` diagnostics notifications have come in all.
  const diagnosticsCount = (count) => new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`${diagnostics.length} of ${count} diagnostics notifications`)), 10000);
    const check = () => {
      if (diagnostics.length >= count) {
        clearTimeout(timer);
        resolve(diagnostics.slice(0, count));
      } else {
        waiting.push(check);
      }
    };
    check();
  });
  return { child, connection, diagnostics, diagnosticsCount, exited, log: () => log };
}

test('a whole editor session', { timeout: 60000 }, async () => {
  const server = startServer();
  const { connection } = server;
  try {
    // ---- initialize -------------------------------------------------------
    const init = await connection.sendRequest(InitializeRequest.type, initializeParams());
    assert.deepEqual(init.serverInfo, { name: 'ZEVO Language Server', version: '0.9.4' });
    const caps = init.capabilities;
    assert.deepEqual(caps.textDocumentSync, { openClose: true, change: TextDocumentSyncKind.Full });
    assert.equal(caps.positionEncoding, undefined, 'columns stay UTF-16');
    // The protocol's predefined names first, in the protocol's order; the server
    // may add its own after them.
    const legend = caps.semanticTokensProvider.legend;
    assert.deepEqual(legend.tokenTypes.slice(0, 22), Object.values(SemanticTokenTypes).slice(0, 22));
    assert.deepEqual(legend.tokenModifiers.slice(0, 10), Object.values(SemanticTokenModifiers));
    for (const provider of ['hoverProvider', 'definitionProvider', 'referencesProvider', 'renameProvider',
      'documentSymbolProvider', 'codeActionProvider', 'inlayHintProvider']) {
      assert.equal(caps[provider], true, provider);
    }
    await connection.sendNotification(InitializedNotification.type, {});

    // ---- two documents ----------------------------------------------------
    await connection.sendNotification(DidOpenTextDocumentNotification.type, {
      textDocument: { uri: MAIN_URI, languageId: 'zevo', version: 1, text: MAIN_TEXT },
    });
    await connection.sendNotification(DidOpenTextDocumentNotification.type, {
      textDocument: { uri: LIB_URI, languageId: 'zevo', version: 1, text: LIB_TEXT },
    });
    const [mainDiagnostics, libDiagnostics] = await server.diagnosticsCount(2);
    assert.deepEqual(mainDiagnostics, { uri: MAIN_URI, diagnostics: [] });
    assert.equal(libDiagnostics.uri, LIB_URI);
    assert.equal(libDiagnostics.diagnostics.length, 1);
    const [missingBrace] = libDiagnostics.diagnostics;
    assert.ok(Diagnostic.is(missingBrace));
    assert.equal(missingBrace.severity, DiagnosticSeverity.Error);
    assert.equal(missingBrace.source, 'ZEVO');

    const main = { uri: MAIN_URI };
    const lib = { uri: LIB_URI };

    // ---- every request method once ---------------------------------------
    const hover = await connection.sendRequest(HoverRequest.type, {
      textDocument: main, position: positionOf(MAIN_TEXT, 'fonksiyon'),
    });
    assert.ok(Hover.is(hover));
    assert.ok(MarkupContent.is(hover.contents));
    assert.equal(hover.contents.kind, MarkupKind.Markdown);

    const completion = await connection.sendRequest(CompletionRequest.type, {
      textDocument: main, position: Position.create(3, 0),
    });
    assert.ok(Array.isArray(completion) && completion.length > 0);
    const kinds = new Set(Object.values(CompletionItemKind));
    for (const item of completion) {
      assert.equal(typeof item.label, 'string');
      assert.ok(item.kind === undefined || kinds.has(item.kind), `${item.label}: kind ${item.kind}`);
    }
    assert.ok(completion.some((item) => item.label === 'eğer'));

    const call = positionOf(MAIN_TEXT, 'yazdır(');
    const signature = await connection.sendRequest(SignatureHelpRequest.type, {
      textDocument: main, position: Position.create(call.line, call.character + 'yazdır('.length),
    });
    assert.ok(signature !== null && Array.isArray(signature.signatures));
    assert.equal(signature.signatures[0].label, 'yazdır(mesaj: metin)');
    for (const p of signature.signatures[0].parameters ?? []) {
      assert.ok(typeof p.label === 'string' || Array.isArray(p.label));
    }

    const definition = await connection.sendRequest(DefinitionRequest.type, {
      textDocument: main, position: positionOf(MAIN_TEXT, 'bekle', 1),
    });
    assert.ok(definition !== null, 'bekle is declared in the document');
    for (const target of [definition].flat()) assert.ok(Location.is(target) || LocationLink.is(target));
    const definitionRange = [definition].flat()[0].range ?? [definition].flat()[0].targetSelectionRange;
    assert.equal(definitionRange.start.line, 4);

    const references = await connection.sendRequest(ReferencesRequest.type, {
      textDocument: main, position: positionOf(MAIN_TEXT, 'sayaç'), context: { includeDeclaration: true },
    });
    assert.ok(Array.isArray(references));
    for (const location of references) assert.ok(Location.is(location));
    assert.equal(references.filter((l) => l.uri === MAIN_URI).length, 3);

    const renameAt = positionOf(MAIN_TEXT, 'sayaç', 1);
    const prepared = await connection.sendRequest(PrepareRenameRequest.type, { textDocument: main, position: renameAt });
    assert.ok(prepared !== null);
    assert.ok(Range.is(prepared) || Range.is(prepared.range), JSON.stringify(prepared));

    const edit = await connection.sendRequest(RenameRequest.type, {
      textDocument: main, position: renameAt, newName: 'ölçüm_sayısı',
    });
    assert.ok(WorkspaceEdit.is(edit));
    const mainEdits = edit.changes[MAIN_URI];
    assert.equal(mainEdits.length, 3);
    for (const e of mainEdits) assert.ok(TextEdit.is(e));

    const symbols = await connection.sendRequest(DocumentSymbolRequest.type, { textDocument: main });
    assert.ok(Array.isArray(symbols) && symbols.length > 0);
    for (const symbol of symbols) assert.ok(DocumentSymbol.is(symbol), JSON.stringify(symbol));
    assert.ok(symbols.some((s) => s.name === 'ana'));

    const tokens = await connection.sendRequest(SemanticTokensRequest.type, { textDocument: main });
    assert.ok(SemanticTokens.is(tokens));
    assert.ok(tokens.data.length > 0 && tokens.data.length % 5 === 0);
    for (let i = 0; i < tokens.data.length; i += 5) {
      const [, , length, type, modifiers] = tokens.data.slice(i, i + 5);
      assert.ok(length > 0 && type < legend.tokenTypes.length && modifiers < 1 << legend.tokenModifiers.length,
        `token ${i / 5}: ${tokens.data.slice(i, i + 5)}`);
    }

    const hints = await connection.sendRequest(InlayHintRequest.type, {
      textDocument: main, range: Range.create(0, 0, 19, 0),
    });
    assert.ok(Array.isArray(hints));
    for (const hint of hints) assert.ok(InlayHint.is(hint), JSON.stringify(hint));

    const lenses = await connection.sendRequest(CodeLensRequest.type, { textDocument: lib });
    assert.ok(Array.isArray(lenses) && lenses.length > 0);
    for (const lens of lenses) {
      assert.ok(CodeLens.is(lens));
      assert.ok(Command.is(lens.command));
    }
    assert.ok(lenses.some((lens) => lens.command.command === 'zevo.runTest'));

    const actions = await connection.sendRequest(CodeActionRequest.type, {
      textDocument: lib, range: missingBrace.range, context: { diagnostics: [missingBrace] },
    });
    assert.ok(Array.isArray(actions));
    for (const action of actions) assert.ok(CodeAction.is(action) || Command.is(action), JSON.stringify(action));

    // ---- the rename applied by the editor and sent back --------------------
    const renamed = applyEdits(MAIN_TEXT, mainEdits);
    assert.equal(renamed.split('ölçüm_sayısı').length - 1, 3);
    assert.ok(!renamed.includes('sayaç'));
    await connection.sendNotification(DidChangeTextDocumentNotification.type, {
      textDocument: { uri: MAIN_URI, version: 2 }, contentChanges: [{ text: renamed }],
    });
    const changed = (await server.diagnosticsCount(3))[2];
    assert.deepEqual(changed, { uri: MAIN_URI, diagnostics: [] });
    const after = await connection.sendRequest(ReferencesRequest.type, {
      textDocument: main, position: positionOf(renamed, 'ölçüm_sayısı'), context: { includeDeclaration: true },
    });
    assert.equal(after.filter((l) => l.uri === MAIN_URI).length, 3);

    await connection.sendNotification(DidCloseTextDocumentNotification.type, { textDocument: lib });
    assert.deepEqual(await connection.sendRequest(CodeLensRequest.type, { textDocument: lib }).catch((e) => e.message),
      'Code lens error: Document not found');

    // ---- shutdown and exit -------------------------------------------------
    assert.equal(await connection.sendRequest(ShutdownRequest.type), null);
    await connection.sendNotification(ExitNotification.type);
    assert.deepEqual(await server.exited, { code: 0, signal: null });
    assert.equal(server.diagnostics.length, 3, 'nothing is published on close');
    assert.match(server.log(), /Çıkış bildirimi alındı\n$/);
  } finally {
    connection.dispose();
    server.child.kill();
  }
});

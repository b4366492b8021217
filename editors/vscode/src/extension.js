'use strict';
// The ZEVO extension: starts zevo-lsp over stdio and runs the commands that the
// server places in its code lenses and code actions (the server runs none).
const vscode = require('vscode');
const cp = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { LanguageClient, CloseAction, ErrorAction } = require('vscode-languageclient/node');
const { scan, isIdentifier } = require('./words.js');
const { translationEdits } = require('./translate.js');
const { planExtraction, defaultName } = require('./extract.js');
const { commandLine } = require('./run.js');

const SERVER_NAME = process.platform === 'win32' ? 'zevo-lsp.exe' : 'zevo-lsp';

let context;
let log;
let client;
let server; // { path, process, stopping }

// vscode-languageclient 11 needs log channels (it follows their log level).
let trace;
function traceChannel() {
  trace ??= vscode.window.createOutputChannel('ZEVO Language Server Trace', { log: true });
  return trace;
}

function setting(name) {
  return vscode.workspace.getConfiguration('zevo').get(name);
}

function isExecutable(file) {
  try {
    if (!fs.statSync(file).isFile()) return false;
    fs.accessSync(file, process.platform === 'win32' ? fs.constants.R_OK : fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

function onPath(name) {
  const exts = process.platform === 'win32' ? (process.env.PATHEXT || '.EXE').split(';').concat(['']) : [''];
  for (const dir of (process.env.PATH || '').split(path.delimiter)) {
    if (!dir) continue;
    for (const ext of exts) {
      const candidate = path.join(dir, name.endsWith('.exe') ? name : name + ext);
      if (isExecutable(candidate)) return candidate;
    }
  }
  return undefined;
}

// The server to start: zevo.server.path, else the bundled binary, else
// zevo-lsp on PATH. { path } or { error } naming what was tried.
function findServer() {
  const configured = (setting('server.path') || '').trim();
  if (configured) {
    let file = configured.replace(/^~(?=$|[\\/])/, os.homedir());
    const folder = vscode.workspace.workspaceFolders?.[0]?.uri.fsPath;
    if (folder) file = file.replace(/\$\{workspaceFolder\}/g, folder);
    if (!path.isAbsolute(file) && folder) file = path.join(folder, file);
    if (isExecutable(file)) return { path: file };
    return { error: `ZEVO: zevo.server.path is '${configured}', but '${file}' is no executable file.` };
  }
  const bundled = path.join(context.extensionPath, 'server', SERVER_NAME);
  // An unpacker that dropped the executable bit leaves a bundled server that
  // only needs it back.
  if (fs.existsSync(bundled) && !isExecutable(bundled) && process.platform !== 'win32') {
    try {
      fs.chmodSync(bundled, 0o755);
    } catch {}
  }
  if (isExecutable(bundled)) return { path: bundled };
  const found = onPath('zevo-lsp');
  if (found) return { path: found };
  return {
    error:
      `ZEVO: no language server found: this package has no bundled server (${bundled}), ` +
      `zevo.server.path is not set, and 'zevo-lsp' is not on PATH.`,
  };
}

async function showStartError(message) {
  log.error(message);
  const choice = await vscode.window.showErrorMessage(message, 'Open Settings', 'Restart Server', 'Show Log');
  if (choice === 'Open Settings') vscode.commands.executeCommand('workbench.action.openSettings', 'zevo.server.path');
  else if (choice === 'Restart Server') vscode.commands.executeCommand('zevo.restartServer');
  else if (choice === 'Show Log') log.show();
}

function onServerExit(state, code, signal) {
  if (state.stopping) return;
  state.stopping = true;
  const how = signal ? `was ended by signal ${signal}` : `exited with code ${code}`;
  showStartError(`ZEVO: the language server '${state.path}' ${how}. Restart it with the command "ZEVO: Restart Language Server".`);
}

// The library's own message for a failed start ("couldn't create connection
// to server", often a bare EPIPE) goes to the log only: the exit handler, or
// the start below, names the path and the cause.
class ZevoClient extends LanguageClient {
  error(message, data, showNotification) {
    super.error(message, data, /couldn't create connection/.test(message) ? false : showNotification);
  }
}

async function startServer() {
  const found = findServer();
  if (found.error) {
    showStartError(found.error);
    return;
  }
  const state = { path: found.path, process: undefined, stopping: false };
  server = state;
  log.info(`Starting ${state.path}`);

  // Spawned here rather than by the library, to see the exit code; no
  // argument (the server reads none) and no transport option, which would
  // append "--stdio".
  const serverOptions = () =>
    new Promise((resolve, reject) => {
      const folder = vscode.workspace.workspaceFolders?.[0]?.uri.fsPath;
      const child = cp.spawn(state.path, [], { cwd: folder || path.dirname(state.path), stdio: 'pipe' });
      state.process = child;
      child.once('spawn', () => resolve(child));
      child.once('error', (err) => {
        if (!state.stopping) showStartError(`ZEVO: could not start the language server '${state.path}': ${err.message}`);
        state.stopping = true;
        reject(err);
      });
      child.once('exit', (code, signal) => onServerExit(state, code, signal));
    });

  client = new ZevoClient(
    'zevo',
    'ZEVO Language Server',
    serverOptions,
    {
      documentSelector: [{ language: 'zevo' }],
      outputChannel: log,
      traceOutputChannel: traceChannel(),
      // The server's standard error is its log, not a list of errors.
      stdioOptions: {
        stderr: (input, channel) => {
          require('readline')
            .createInterface({ input, crlfDelay: Infinity, terminal: false })
            .on('line', (line) => channel.info(line));
        },
      },
      // The exit handler above names the path and the code; no second message.
      errorHandler: {
        error: () => ({ action: ErrorAction.Continue, handled: true }),
        closed: () => ({ action: CloseAction.DoNotRestart, handled: true }),
      },
      initializationFailedHandler: (error) => {
        log.error(`Initialization failed: ${error?.message ?? error}`);
        return false;
      },
      middleware: { provideCodeLenses: rewriteReferenceLenses },
    },
  );
  try {
    await client.start();
  } catch (err) {
    log.error(`The client did not start: ${err?.message ?? err}`);
    // Give an exit its chance to be reported with its code first.
    await new Promise((r) => setTimeout(r, 1000));
    if (!state.stopping) {
      state.stopping = true;
      showStartError(`ZEVO: the language server '${state.path}' did not start: ${err?.message ?? err}`);
    }
  }
}

async function stopServer() {
  if (!client) return;
  const old = client;
  const state = server;
  client = undefined;
  if (state) state.stopping = true;
  try {
    await old.stop(2000);
  } catch (err) {
    log.warn(`Stopping the server: ${err?.message ?? err}`);
  }
  if (state?.process && state.process.exitCode === null && state.process.signalCode === null) state.process.kill();
}

async function restartServer() {
  await stopServer();
  await startServer();
}

// The server's reference lens carries only the declared name, which VS Code's
// editor.action.showReferences cannot take; its lenses go to zevo.showReferences.
async function rewriteReferenceLenses(document, token, next) {
  const lenses = await next(document, token);
  for (const lens of lenses ?? []) {
    const cmd = lens.command;
    if (cmd?.command === 'editor.action.showReferences' && cmd.arguments?.length === 1 && typeof cmd.arguments[0] === 'string') {
      lens.command = { title: cmd.title, command: 'zevo.showReferences', arguments: [document.uri, lens.range.start.line, cmd.arguments[0]] };
    }
  }
  return lenses;
}

function uriOf(arg) {
  if (arg instanceof vscode.Uri) return arg;
  if (typeof arg === 'string') return vscode.Uri.parse(arg);
  return vscode.window.activeTextEditor?.document.uri;
}

function rangeOf(arg) {
  if (arg && arg.start && arg.end) {
    return new vscode.Range(arg.start.line, arg.start.character, arg.end.line, arg.end.character);
  }
  return vscode.window.activeTextEditor?.selection;
}

async function showReferences(uriArg, line, name) {
  const uri = uriOf(uriArg);
  const document = await vscode.workspace.openTextDocument(uri);
  const text = document.getText();
  // The name on the lens's line, else its first occurrence.
  const lineStart = document.offsetAt(new vscode.Position(line, 0));
  const words = scan(text).filter((t) => t.kind === 'word' && t.text === name);
  const word = words.find((t) => t.start >= lineStart && document.positionAt(t.start).line === line) ?? words[0];
  if (!word) {
    vscode.window.showInformationMessage(`ZEVO: '${name}' does not occur in ${path.basename(uri.fsPath)}.`);
    return;
  }
  const position = document.positionAt(word.start);
  const locations = (await vscode.commands.executeCommand('vscode.executeReferenceProvider', uri, position)) ?? [];
  if (locations.length === 0) {
    vscode.window.showInformationMessage(`ZEVO: no references to '${name}'.`);
    return;
  }
  await vscode.commands.executeCommand('editor.action.showReferences', uri, position, locations);
}

function runner(kind) {
  return async (uriArg, name) => {
    const key = { run: 'run.command', test: 'test.command', benchmark: 'benchmark.command' }[kind];
    const template = (setting(key) || '').trim();
    const uri = uriOf(uriArg);
    if (!uri) return;
    const what = kind === 'run' ? (name === 'main' ? 'the program' : `'${name}'`) : `the ${kind} '${name}'`;
    if (!template) {
      const choice = await vscode.window.showWarningMessage(
        `ZEVO: no command is set to run ${what}. Set zevo.${key}, for example "zevo-run \${file} \${function}".`,
        'Open Settings',
      );
      if (choice) vscode.commands.executeCommand('workbench.action.openSettings', `zevo.${key}`);
      return;
    }
    const document = vscode.workspace.textDocuments.find((d) => d.uri.toString() === uri.toString());
    if (document?.isDirty) await document.save();
    const folder = vscode.workspace.getWorkspaceFolder(uri)?.uri.fsPath ?? path.dirname(uri.fsPath);
    const line = commandLine(template, {
      file: uri.fsPath,
      fileDirname: path.dirname(uri.fsPath),
      function: name ?? 'main',
      workspaceFolder: folder,
    });
    let terminal = vscode.window.terminals.find((t) => t.name === 'ZEVO' && t.exitStatus === undefined);
    terminal ??= vscode.window.createTerminal({ name: 'ZEVO', cwd: folder });
    terminal.show(true);
    terminal.sendText(line);
  };
}

async function editorFor(uri) {
  const document = await vscode.workspace.openTextDocument(uri);
  return vscode.window.showTextDocument(document, { preserveFocus: false });
}

function translator(to) {
  return async (uriArg, rangeArg) => {
    const uri = uriOf(uriArg);
    if (!uri) return;
    const editor = await editorFor(uri);
    const document = editor.document;
    let range = rangeOf(rangeArg) ?? editor.selection;
    // A bare cursor stands for its line: that is the line the server looked at.
    if (range.isEmpty) range = document.lineAt(range.start.line).range;
    const edits = translationEdits(document.getText(), document.offsetAt(range.start), document.offsetAt(range.end), to);
    if (edits.length === 0) {
      vscode.window.showInformationMessage(`ZEVO: no keyword in the selection has a twin in ${to === 'english' ? 'English' : 'Turkish'}.`);
      return;
    }
    await editor.edit((b) => {
      for (const e of edits) b.replace(new vscode.Range(document.positionAt(e.start), document.positionAt(e.end)), e.newText);
    });
  };
}

async function extractFunction(uriArg, rangeArg) {
  const uri = uriOf(uriArg);
  if (!uri) return;
  const editor = await editorFor(uri);
  const document = editor.document;
  const range = rangeOf(rangeArg) ?? editor.selection;
  const text = document.getText();
  const name = await vscode.window.showInputBox({
    title: 'Extract to function',
    prompt: 'Name of the new function',
    value: defaultName(text),
    validateInput: (value) => (isIdentifier(value) ? undefined : `'${value}' is no ZEVO identifier (or it is a keyword).`),
  });
  if (name === undefined) return;
  const indentUnit = editor.options.insertSpaces ? ' '.repeat(Number(editor.options.tabSize) || 2) : '\t';
  const eol = document.eol === vscode.EndOfLine.CRLF ? '\r\n' : '\n';
  const plan = planExtraction(text, range, { name, eol, indentUnit });
  if (plan.error) {
    vscode.window.showWarningMessage(`ZEVO: ${plan.error}`);
    return;
  }
  const toRange = (e) => new vscode.Range(e.start.line, e.start.character, e.end.line, e.end.character);
  await editor.edit((b) => {
    for (const e of plan.edits) b.replace(toRange(e), e.newText);
  });
}

function activate(ctx) {
  context = ctx;
  log = vscode.window.createOutputChannel('ZEVO Language Server', { log: true });
  const register = (id, fn) => ctx.subscriptions.push(vscode.commands.registerCommand(id, fn));
  register('zevo.restartServer', restartServer);
  register('zevo.showServerLog', () => log.show());
  register('zevo.runFunction', runner('run'));
  register('zevo.runTest', runner('test'));
  register('zevo.runBenchmark', runner('benchmark'));
  register('zevo.showReferences', showReferences);
  register('zevo.translateToEnglish', translator('english'));
  register('zevo.translateToTurkish', translator('turkish'));
  register('zevo.extractFunction', extractFunction);
  ctx.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration((e) => {
      if (e.affectsConfiguration('zevo.server.path')) restartServer();
    }),
    log,
  );
  return startServer();
}

function deactivate() {
  return stopServer();
}

module.exports = { activate, deactivate };

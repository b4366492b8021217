// The packaged extension in a real VS Code: code-server on 127.0.0.1, driven
// through Debian's chromium, on a scratch copy of examples/. Every step leaves a
// screenshot in $ZEVO_UI_OUT/screenshots.
//
//   ZEVO_VSIX    the linux-x64 package to install
//   ZEVO_UI_OUT  a scratch folder (HOME, XDG folders, settings, the workspace)
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const repo = path.resolve(here, '..', '..', '..', '..');
const vsix = process.env.ZEVO_VSIX;
const out = path.resolve(process.env.ZEVO_UI_OUT ?? path.join(repo, 'build', 'vscode-ui'));
const codeServer = path.join(here, 'node_modules', '.bin', 'code-server');
const shots = path.join(out, 'screenshots');
const workspace = path.join(out, 'workspace');
const marker = path.join(out, 'run-marker.txt');
const dirs = {
  HOME: path.join(out, 'home'),
  XDG_CONFIG_HOME: path.join(out, 'xdg', 'config'),
  XDG_DATA_HOME: path.join(out, 'xdg', 'data'),
  XDG_CACHE_HOME: path.join(out, 'xdg', 'cache'),
  XDG_STATE_HOME: path.join(out, 'xdg', 'state'),
  XDG_RUNTIME_DIR: path.join(out, 'xdg', 'runtime'),
  TMPDIR: path.join(out, 'tmp'),
};
const userData = path.join(out, 'user-data');
const extensions = path.join(out, 'extensions');
const env = { ...process.env, ...dirs, SHELL: '/bin/bash' };

let server; // the code-server child, leader of its own process group
let browser;
let page;
const errorsSeen = [];
let shotNumber = 0;

async function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.once('error', reject);
    s.listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });
}

async function shot(name) {
  shotNumber += 1;
  await page.screenshot({ path: path.join(shots, `${String(shotNumber).padStart(2, '0')}-${name}.png`) });
}

// Error notifications are collected after every step; none may appear.
async function collectErrors() {
  const texts = await page.locator('.notifications-toasts .notification-list-item:has(.codicon-error)').allInnerTexts();
  for (const t of texts) if (!errorsSeen.includes(t)) errorsSeen.push(t);
}

async function command(title) {
  const input = page.locator('.quick-input-widget input');
  await page.keyboard.press('F1');
  // Where nothing has the focus (after the notifications centre closes), F1
  // reaches no one: focus the editor area and press it again.
  if (!(await input.isVisible())) {
    await input.waitFor({ timeout: 3000 }).catch(async () => {
      await page.locator('.monaco-workbench .part.editor').click({ position: { x: 200, y: 200 } });
      await page.keyboard.press('F1');
    });
  }
  await input.waitFor();
  await input.fill('>' + title);
  await page.locator('.quick-input-list .monaco-list-row', { hasText: title }).first().waitFor();
  await page.keyboard.press('Enter');
}

async function goToLine(line, column = 1) {
  await page.keyboard.press('Control+G');
  const input = page.locator('.quick-input-widget input');
  await input.waitFor();
  await input.fill(`:${line}:${column}`);
  await page.keyboard.press('Enter');
  await page.locator('.quick-input-widget').waitFor({ state: 'hidden' });
}

// The editor's text, from its model (the DOM holds only the visible lines).
async function editorText() {
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Control+C');
  const text = await page.evaluate(() => navigator.clipboard.readText());
  await page.keyboard.press('Escape');
  await page.keyboard.press('Control+Home');
  return text;
}

// Undoes until the editor holds the example as it was opened.
let original;
async function restore() {
  for (let i = 0; i < 10 && (await editorText()) !== original; i++) await page.keyboard.press('Control+Z');
  assert.equal(await editorText(), original);
}

async function cursor() {
  return page.locator('#status\\.editor\\.selection').innerText();
}

// Waits until `probe` returns a truthy value; gives it back.
async function until(probe, what, ms = 20000) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await probe();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 200));
  }
}

function processes() {
  return fs
    .readdirSync('/proc')
    .filter((p) => /^\d+$/.test(p))
    .map((pid) => {
      try {
        const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        const cmdline = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').split('\0').filter(Boolean);
        return { pid: Number(pid), ppid: Number(fields[1]), pgid: Number(fields[2]), cmdline };
      } catch {
        return null;
      }
    })
    .filter(Boolean);
}

before(async () => {
  assert.ok(vsix && fs.existsSync(vsix), `ZEVO_VSIX (${vsix}) names no package`);
  fs.rmSync(out, { recursive: true, force: true });
  for (const d of [...Object.values(dirs), userData, extensions, shots]) fs.mkdirSync(d, { recursive: true });
  fs.cpSync(path.join(repo, 'examples'), workspace, { recursive: true });

  fs.mkdirSync(path.join(userData, 'User'), { recursive: true });
  fs.writeFileSync(
    path.join(userData, 'User', 'settings.json'),
    JSON.stringify(
      {
        'files.autoSave': 'off',
        'workbench.startupEditor': 'none',
        'workbench.tips.enabled': false,
        'workbench.welcomePage.walkthroughs.openOnInstall': false,
        'security.workspace.trust.enabled': false,
        'telemetry.telemetryLevel': 'off',
        'extensions.autoCheckUpdates': false,
        'extensions.autoUpdate': false,
        'update.mode': 'none',
        'chat.commandCenter.enabled': false,
        'git.enabled': false,
        'git.openRepositoryInParentFolders': 'never',
        'workbench.colorTheme': 'Default Dark Modern',
        'zevo.run.command': `echo ZEVO_RUN \${function} \${file} > ${marker}`,
      },
      null,
      2,
    ),
  );

  const port = await freePort();
  const config = path.join(out, 'code-server.yaml');
  fs.writeFileSync(
    config,
    `bind-addr: 127.0.0.1:${port}\nauth: none\ncert: false\ndisable-telemetry: true\ndisable-update-check: true\ndisable-workspace-trust: true\n`,
  );
  const common = ['--config', config, '--user-data-dir', userData, '--extensions-dir', extensions];
  execFileSync(codeServer, [...common, '--install-extension', vsix], { env, stdio: ['ignore', 'inherit', 'inherit'] });

  const log = fs.openSync(path.join(out, 'code-server.log'), 'w');
  server = spawn(codeServer, [...common, workspace], { env, detached: true, stdio: ['ignore', log, log] });
  const url = `http://127.0.0.1:${port}/?folder=${encodeURIComponent(workspace)}`;
  await until(async () => (await fetch(url).catch(() => null))?.ok, 'code-server to answer');

  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu'] });
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: `http://127.0.0.1:${port}` });
  page = await context.newPage();
  page.setDefaultTimeout(30000);
  await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 120000 });
  await page.locator('.monaco-workbench').waitFor({ timeout: 60000 });
  await page.locator('.explorer-folders-view').waitFor({ timeout: 60000 });

  // Open the example through Quick Open.
  await page.keyboard.press('Control+P');
  await page.locator('.quick-input-widget input').fill('blink.zv');
  await page.locator('.quick-input-list .monaco-list-row', { hasText: 'blink.zv' }).first().waitFor();
  await page.keyboard.press('Enter');
  await page.locator('.monaco-editor .view-lines').first().waitFor();
  await page.locator('.monaco-editor .view-lines', { hasText: 'sayaç' }).waitFor();
  original = fs.readFileSync(path.join(workspace, 'blink.zv'), 'utf8');
});

after(async () => {
  await browser?.close().catch(() => {});
  if (server?.pid) {
    // The extension host and its server are in code-server's process group.
    try {
      process.kill(-server.pid, 'SIGTERM');
    } catch {}
    await new Promise((r) => setTimeout(r, 1000));
    try {
      process.kill(-server.pid, 'SIGKILL');
    } catch {}
  }
});

test('the language mode is ZEVO, with its editing rules', async () => {
  await until(async () => (await page.locator('#status\\.editor\\.mode').innerText()).trim() === 'ZEVO', 'the ZEVO mode');
  await shot('opened');
  // No Turkish letter boxed as an ambiguous or non-ASCII character.
  assert.equal(await page.locator('.monaco-editor .unicode-highlight').count(), 0);
  // A double click takes a word with Turkish letters whole.
  await page.locator('.monaco-editor .view-line span span', { hasText: /^sayaç$/ }).first().dblclick();
  await until(async () => /\(5 selected\)/.test(await cursor()), 'sayaç selected whole');
  await page.keyboard.press('Escape');
});

test('the extension host started the bundled server', async () => {
  const found = await until(() => {
    const all = processes();
    return all.find((p) => p.cmdline[0]?.startsWith(extensions) && p.cmdline[0].endsWith('/server/zevo-lsp'));
  }, 'a zevo-lsp process');
  assert.deepEqual(found.cmdline.slice(1), [], 'the server is started with no argument');
  assert.equal(found.pgid, server.pid, 'the server runs in the process group of code-server');
  const parent = processes().find((p) => p.pid === found.ppid);
  assert.ok(parent.cmdline.join(' ').includes('extensionHost') || parent.cmdline.join(' ').includes('bootstrap-fork'), parent.cmdline.join(' '));
});

// The scopes that the token inspector shows for the token at (line, column).
async function inspect(line, column, name = `inspect-${line}-${column}`) {
  await goToLine(line, column);
  await command('Developer: Inspect Editor Tokens and Scopes');
  const widget = page.locator('.token-inspect-widget');
  await widget.waitFor();
  const text = await until(async () => {
    const t = await widget.innerText();
    return !/Loading/.test(t) && t;
  }, 'the token inspector');
  if (name) await shot(name);
  await page.keyboard.press('Escape');
  return text;
}

test('the grammar colours keywords, types, numbers and identifiers apart', async () => {
  // Grammar colours: the spans of a keyword, an identifier and a number differ.
  const colours = await page.evaluate(() => {
    const out = {};
    for (const span of document.querySelectorAll('.monaco-editor .view-line span span')) {
      out[span.textContent] ??= getComputedStyle(span).color;
    }
    return out;
  });
  assert.ok(colours['fonksiyon'] && colours['sayaç'] && colours['500'], JSON.stringify(colours));
  assert.notEqual(colours['fonksiyon'], colours['sayaç']);
  assert.notEqual(colours['fonksiyon'], colours['500']);
  const keyword = await inspect(5, 2);
  assert.match(keyword, /storage\.type\.function\.zevo/);
  assert.match(keyword, /source\.zevo/);
});

test('the server sends semantic tokens', async () => {
  const text = await until(async () => {
    const t = await inspect(3, 10, null);
    return /semantic token type/i.test(t) && t;
  }, 'a semantic token on sayaç');
  await inspect(3, 10, 'semantic-token');
  assert.match(text, /variable\.other\.zevo/);
});

test('a diagnostic appears and clears', async () => {
  // The last line's "}" removed: one "{" too many.
  await goToLine(18, 1);
  await page.keyboard.press('Shift+End');
  await page.keyboard.press('Backspace');
  await shot('brace-removed');
  const squiggle = page.locator('.monaco-editor .squiggly-error').first();
  const problems = page.locator('#status\\.problems');
  await until(async () => /Errors: 1\b/.test(await problems.getAttribute('aria-label')), 'one error in the status bar');
  await page.keyboard.press('Control+Home'); // the diagnostic stands on the first line
  await squiggle.waitFor({ state: 'attached' });
  await shot('diagnostic');
  await page.keyboard.press('Control+Z');
  await squiggle.waitFor({ state: 'detached' });
  await until(async () => /Errors: 0\b|No Problems/.test(await problems.getAttribute('aria-label')), 'no error in the status bar');
  await restore();
  await collectErrors();
});

test('hover', async () => {
  const word = page.locator('.monaco-editor .view-line span span', { hasText: /^iken$/ }).first();
  await word.hover();
  const hover = page.locator('.monaco-hover:not(.hidden)', { hasText: /\S/ }).first();
  await hover.waitFor();
  await shot('hover');
  const box = await hover.boundingBox();
  const wordBox = await word.boundingBox();
  const x = Math.max(0, Math.min(box.x, wordBox.x) - 8);
  const y = Math.max(0, Math.min(box.y, wordBox.y) - 8);
  await page.screenshot({
    path: path.join(shots, 'hover-crop.png'),
    clip: { x, y, width: Math.max(box.x + box.width, wordBox.x + wordBox.width) - x + 8, height: Math.max(box.y + box.height, wordBox.y + wordBox.height) - y + 8 },
  });
  assert.ok((await hover.innerText()).trim().length > 0);
  await page.mouse.move(0, 0);
  await page.keyboard.press('Escape');
});

test('completion items', async () => {
  await goToLine(18, 1);
  await page.keyboard.press('End');
  await page.keyboard.press('Enter');
  await page.keyboard.type('fon');
  await page.keyboard.press('Control+Space');
  const item = page.locator('.suggest-widget .monaco-list-row', { hasText: 'fonksiyon' }).first();
  await item.waitFor();
  await shot('completion');
  await page.keyboard.press('Escape');
  await restore();
  await collectErrors();
});

test('go to definition', async () => {
  await goToLine(13, 6); // bekle(500)
  await page.keyboard.press('F12');
  await until(async () => /Ln 5,/.test(await cursor()), 'the cursor on the declaration of bekle');
  await shot('definition');
});

test('rename', async () => {
  await goToLine(3, 10); // sayaç
  await page.keyboard.press('F2');
  const input = page.locator('.rename-box input, .rename-box textarea').first();
  await input.waitFor();
  await input.fill('sayım');
  await page.keyboard.press('Enter');
  const text = await until(async () => {
    const t = await editorText();
    return t.includes('sayım = sayım + 1') && t;
  }, 'the renamed variable');
  assert.ok(!text.includes('sayaç'), text);
  await shot('rename');
  await restore();
});

test('a run lens runs the configured command in a terminal', async () => {
  fs.rmSync(marker, { force: true });
  await page.locator('.codelens-decoration a', { hasText: "▶ Run 'ana'" }).first().click();
  const text = await until(() => fs.existsSync(marker) && fs.readFileSync(marker, 'utf8').trim(), 'the run marker', 30000);
  assert.equal(text, `ZEVO_RUN ana ${path.join(workspace, 'blink.zv')}`);
  await shot('run-lens');
  await collectErrors();
});

test('a reference lens opens the references view', async () => {
  await page.locator('.monaco-editor textarea').first().focus();
  const lens = page.locator('.codelens-decoration a', { hasText: /references?$/ }).first();
  await lens.click();
  const peek = page.locator('.zone-widget .peekview-widget, .reference-zone-widget').first();
  await peek.waitFor();
  await until(async () => (await page.locator('.reference-zone-widget .monaco-list-row').count()) > 0, 'the references listed');
  await shot('references');
  await page.keyboard.press('Escape');
  await collectErrors();
});

// Chooses an offer of the code-action menu by keyboard (the menu's pointer
// guard takes the first clicks).
async function codeAction(title) {
  await page.keyboard.press('Control+.');
  const rows = page.locator('.action-widget .monaco-list-row.action');
  await rows.filter({ hasText: title }).first().waitFor();
  await shot(`actions-${title.replace(/\W+/g, '-')}`);
  const labels = await rows.evaluateAll((els) => els.map((e) => e.getAttribute('aria-label')));
  const index = labels.indexOf(title);
  assert.ok(index >= 0, JSON.stringify(labels));
  for (let i = 0; i < index; i++) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
}

test('the translate action rewrites the keywords of the line', async () => {
  await goToLine(11, 3); // iken doğru {
  await codeAction('Translate to English');
  await until(async () => (await editorText()).includes('  while true {'), 'the translated line');
  await shot('translated');
  await restore();
  await collectErrors();
});

test('the extract action makes a function of the selected lines', async () => {
  await goToLine(12, 1);
  for (let i = 0; i < 4; i++) await page.keyboard.press('Shift+ArrowDown');
  await codeAction('Extract to function');
  const input = page.locator('.quick-input-widget input');
  await input.waitFor();
  await page.keyboard.press('Enter');
  const text = await until(async () => {
    const t = await editorText();
    return t.includes('fonksiyon yeni_fonksiyon() {') && t;
  }, 'the extracted function');
  assert.match(text, /iken doğru \{\n {4}yeni_fonksiyon\(\)\n {4}sayaç = sayaç \+ 1\n/);
  assert.match(text, /\nfonksiyon yeni_fonksiyon\(\) \{\n {2}gpio\.write\(LED_PIN, 1\)\n {2}bekle\(500\)\n {2}gpio\.write\(LED_PIN, 0\)\n {2}bekle\(500\)\n\}/);
  await shot('extracted');
  await restore();
  await collectErrors();
});

test('no error notification appeared', async () => {
  await collectErrors();
  await command('Notifications: Show Notifications');
  await page.waitForTimeout(500);
  const center = await page.locator('.notifications-center .notification-list-item:has(.codicon-error)').allInnerTexts();
  await shot('notifications');
  await command('Notifications: Hide Notifications');
  assert.deepEqual([...errorsSeen, ...center], []);
});

// The failures a user can meet, after the check above: each one is named in
// an error message, and clearing the setting brings the bundled server back.
// Through the settings editor, as a user would.
async function setSetting(key, value) {
  await command('Preferences: Open User Settings');
  await page.locator('.settings-editor').waitFor();
  await page.keyboard.type(key);
  // code-server is a remote window: machine-overridable settings live on its
  // Remote tab.
  await page.locator('.settings-editor .settings-tabs-widget .action-label', { hasText: 'Remote' }).click();
  const input = page.locator(`.settings-editor .setting-item-contents:has-text("${key.split('.').at(-1).replace(/^./, (c) => c.toUpperCase())}") input`).first();
  await input.waitFor();
  await input.fill(value);
  await page.waitForTimeout(1000); // the settings editor writes after a pause
  await shot('setting-' + key.replace(/\W+/g, '-'));
}

async function errorMessage(pattern) {
  const toast = page.locator('.notifications-toasts .notification-list-item', { hasText: pattern }).first();
  await toast.waitFor();
  const text = await toast.innerText();
  // One message for one failure.
  await page.waitForTimeout(2000);
  assert.equal(await page.locator('.notifications-toasts .notification-list-item:has(.codicon-error)').count(), 1);
  await shot('error-' + pattern.source.replace(/\W+/g, '-').slice(0, 30));
  await toast.hover();
  await toast.locator('.codicon-notifications-clear').click();
  await toast.waitFor({ state: 'detached' });
  return text;
}

test('a server path that names no program, and a server that exits, are reported', async () => {
  const missing = path.join(out, 'no-such-zevo-lsp');
  await setSetting('zevo.server.path', missing);
  assert.match(await errorMessage(/no-such-zevo-lsp/), /is no executable file/);

  const failing = path.join(out, 'failing-zevo-lsp');
  fs.writeFileSync(failing, '#!/bin/sh\nexit 3\n', { mode: 0o755 });
  await setSetting('zevo.server.path', failing);
  assert.match(await errorMessage(/failing-zevo-lsp/), /exited with code 3/);

  await setSetting('zevo.server.path', '');
  await until(
    () => processes().find((p) => p.cmdline[0]?.startsWith(extensions) && p.cmdline[0].endsWith('/server/zevo-lsp')),
    'the bundled server started again',
  );
});

'use strict';
// The command lines of the run lenses: a user's template with ${...} names
// replaced by shell-quoted values. No vscode import: the tests run it.

function quote(value, platform = process.platform) {
  if (platform === 'win32') return `"${value.replace(/"/g, '""')}"`;
  return /^[A-Za-z0-9_\/.,:=+@%-]+$/.test(value) ? value : `'${value.replace(/'/g, `'\\''`)}'`;
}

// `vars` maps names (file, fileDirname, function, workspaceFolder) to values;
// a name it lacks stays as written.
function commandLine(template, vars, platform = process.platform) {
  return template.replace(/\$\{(\w+)\}/g, (whole, name) => (Object.hasOwn(vars, name) ? quote(vars[name], platform) : whole));
}

module.exports = { commandLine, quote };

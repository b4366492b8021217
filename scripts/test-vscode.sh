#!/usr/bin/env bash
# The VS Code extension's tests against the server built in BUILD (default
# build): the grammar, the tables and the command edits in Node, then the
# linux-x64 package, made from a scratch archive of BUILD/src/zevo-lsp,
# installed into code-server and driven through chromium. Screenshots and the
# editor's logs go to BUILD/vscode-ui.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
server="$build/src/zevo-lsp"
[[ -x "$server" ]] || { echo "test-vscode: no $server; build the zevo-lsp target first" >&2; exit 1; }

./scripts/setup.sh vscode
node editors/vscode/tools/generate.js

version=$(node -p "require('./editors/vscode/package.json').version")
dist="$build/vscode-dist"
top="zevo-lsp-$version-x86_64-linux"
rm -rf "$dist"
mkdir -p "$dist/$top"
cp "$server" "$dist/$top/"
tar -czf "$dist/$top.tar.gz" -C "$dist" "$top"
rm -rf "${dist:?}/$top"
./scripts/package-vsix.sh "$dist"

out="$build/vscode-ui"
mkdir -p "$out"
set +e
ZEVO_VSIX="$PWD/$dist/zevo-$version-linux-x64.vsix" ZEVO_UI_OUT="$PWD/$out" \
  node --test editors/vscode/test/*.test.js editors/vscode/test/ui/vscode.test.mjs 2>&1 | tee "$build/vscode-test.log"
rc=${PIPESTATUS[0]}
set -e
# The closing line counts what ran (node's summary is above it).
pass=$(sed -n 's/^# pass //p' "$build/vscode-test.log")
fail=$(sed -n 's/^# fail //p' "$build/vscode-test.log")
echo "test-vscode: ${pass:-0} passed, ${fail:-?} failed; screenshots in $out/screenshots"
exit "$rc"

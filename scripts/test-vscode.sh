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

ZEVO_VSIX="$PWD/$dist/zevo-$version-linux-x64.vsix" ZEVO_UI_OUT="$PWD/$build/vscode-ui" \
  node --test editors/vscode/test/*.test.js editors/vscode/test/ui/vscode.test.mjs

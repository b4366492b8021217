#!/usr/bin/env bash
# The VS Code extension's tests: the grammar, the tables and the command edits
# in Node, then the linux-x64 package that scripts/package.sh wrote to dist/
# (with the archived release server inside) installed into code-server and
# driven through chromium. Screenshots and the editor's logs go to BUILD/vscode-ui
# (BUILD: default build).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}

./scripts/setup.sh vscode
node editors/vscode/tools/generate.js

version=$(node -p "require('./editors/vscode/package.json').version")
vsix="dist/zevo-$version-linux-x64.vsix"
[[ -f "$vsix" ]] || { echo "test-vscode: no $vsix; run scripts/package.sh first" >&2; exit 1; }

out="$build/vscode-ui"
mkdir -p "$out"
set +e
ZEVO_VSIX="$PWD/$vsix" ZEVO_UI_OUT="$PWD/$out" \
  node --test editors/vscode/test/*.test.js editors/vscode/test/ui/vscode.test.mjs 2>&1 | tee "$build/vscode-test.log"
rc=${PIPESTATUS[0]}
set -e
# The closing line counts what ran (node's summary is above it).
pass=$(sed -n 's/^# pass //p' "$build/vscode-test.log")
fail=$(sed -n 's/^# fail //p' "$build/vscode-test.log")
echo "test-vscode: ${pass:-0} passed, ${fail:-?} failed; screenshots in $out/screenshots"
exit "$rc"

#!/usr/bin/env bash
# Writes the VS Code extension packages into DIST, each platform's with its
# server taken from the release archive in DIST:
#   DIST/zevo-V-linux-x64.vsix  from DIST/zevo-lsp-V-x86_64-linux.tar.gz
#   DIST/zevo-V-win32-x64.vsix  from DIST/zevo-lsp-V-x86_64-windows.zip
#   DIST/zevo-V.vsix            no server: it starts zevo.server.path or zevo-lsp on PATH
# V is the project's version; the extension's package.json must carry the same.
set -euo pipefail
cd "$(dirname "$0")/.."

[[ $# -eq 1 ]] || { echo "usage: $0 DIST" >&2; exit 2; }
dist=$(realpath "$1")
ext=editors/vscode

version=$(sed -n 's/^project(zevo_lsp VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
ext_version=$(node -p "require('./$ext/package.json').version")
if [[ -z "$version" || "$version" != "$ext_version" ]]; then
  echo "package-vsix: CMakeLists.txt says version '$version', $ext/package.json '$ext_version'" >&2
  exit 1
fi

linux_archive="$dist/zevo-lsp-$version-x86_64-linux.tar.gz"
windows_archive="$dist/zevo-lsp-$version-x86_64-windows.zip"
for archive in "$linux_archive" "$windows_archive"; do
  [[ -f "$archive" ]] || { echo "package-vsix: $archive is missing (scripts/package.sh writes it)" >&2; exit 1; }
done

./scripts/setup.sh vscode
node "$ext/tools/generate.js"

work=$(mktemp -d)
# The server and the licence files are put into the extension folder only for
# the time of the packaging.
cleanup() { rm -rf "$work" "$ext/server" "$ext/LICENSE" "$ext/THIRD_PARTY_NOTICES.md"; }
trap cleanup EXIT

vsce() { (cd "$ext" && node node_modules/@vscode/vsce/vsce package --allow-missing-repository "$@" >&2); }

# Unpacks a release archive into $work/NAME and puts its server and licence
# files into the extension.
take_server() {
  local archive=$1 top=$2 binary=$3
  rm -rf "$work/$top" "$ext/server"
  case "$archive" in
    *.tar.gz) tar -xzf "$archive" -C "$work" ;;
    *.zip) unzip -q "$archive" -d "$work" ;;
  esac
  [[ -f "$work/$top/$binary" ]] || { echo "package-vsix: $archive holds no $top/$binary" >&2; exit 1; }
  mkdir -p "$ext/server"
  install -m 0755 "$work/$top/$binary" "$ext/server/$binary"
  for f in LICENSE THIRD_PARTY_NOTICES.md; do
    [[ -f "$work/$top/$f" ]] || { echo "package-vsix: $archive holds no $top/$f" >&2; exit 1; }
    cp "$work/$top/$f" "$ext/$f"
  done
}

take_server "$linux_archive" "zevo-lsp-$version-x86_64-linux" zevo-lsp
vsce --target linux-x64 -o "$dist/zevo-$version-linux-x64.vsix"

take_server "$windows_archive" "zevo-lsp-$version-x86_64-windows" zevo-lsp.exe
vsce --target win32-x64 -o "$dist/zevo-$version-win32-x64.vsix"

rm -rf "$ext/server"
vsce -o "$dist/zevo-$version.vsix"
ls -l "$dist"/zevo-"$version"*.vsix >&2

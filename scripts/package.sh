#!/usr/bin/env bash
# Writes the release archives to dist/ (emptied first):
#   zevo-lsp-VERSION-x86_64-linux.tar.gz   a Release build linked with ZEVO_STATIC_RUNTIME,
#                                          so it needs only the C library
#   zevo-lsp-VERSION-x86_64-windows.zip    zevo-lsp.exe from scripts/build-windows.sh
#   zevo-VERSION-linux-x64.vsix,           the VS Code extension with each archive's server
#   zevo-VERSION-win32-x64.vsix,           inside, and without a server
#   zevo-VERSION.vsix                      (scripts/package-vsix.sh)
#   SHA256SUMS                             over every other file in dist/
# Each archive holds one folder named like the archive: the binary (stripped), README.md,
# LICENSE and THIRD_PARTY_NOTICES.md. VERSION is project(VERSION) in CMakeLists.txt.
# The archives' entries carry SOURCE_DATE_EPOCH when it is set, else the last commit's
# time, and owner 0 and fixed modes, so the same binaries give the same checksums.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package: $*" >&2; exit 1; }

[[ -f scripts/build-windows.sh ]] ||
  fail "scripts/build-windows.sh is missing: it builds zevo-lsp.exe for the Windows archive"

./scripts/setup.sh package

version=$(sed -n 's/^project(zevo_lsp VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[[ -n "$version" ]] || fail "no project(zevo_lsp VERSION ...) in CMakeLists.txt"
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
[[ -n "$epoch" ]] || fail "no commit to take the archives' time from: set SOURCE_DATE_EPOCH"
docs=(README.md LICENSE THIRD_PARTY_NOTICES.md)
jobs=$(nproc)

dist=$PWD/dist
stage=$PWD/build-package/stage
rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"

# Copies the docs beside the binary already in FOLDER and gives every entry its
# fixed time and mode.
finish_folder() {
  local folder=$1
  cp "${docs[@]}" "$folder/"
  chmod 0755 "$folder"
  for doc in "${docs[@]}"; do chmod 0644 "$folder/$doc"; done
  find "$folder" -exec touch -h -d "@$epoch" {} +
}

echo "=== package: Linux release build (build-package)"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEVO_STATIC_RUNTIME=ON \
  -DZEVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-package -j "$jobs" --target zevo-lsp
linux=zevo-lsp-$version-x86_64-linux
cmake --install build-package --prefix "$stage/install" --strip >/dev/null
mkdir "$stage/$linux"
install -m 0755 "$stage/install/bin/zevo-lsp" "$stage/$linux/zevo-lsp"
finish_folder "$stage/$linux"
tar -C "$stage" --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner -cf - "$linux" |
  gzip -n -9 >"$dist/$linux.tar.gz"

echo "=== package: Windows build (scripts/build-windows.sh)"
bash scripts/build-windows.sh
exe=build-windows/src/zevo-lsp.exe
[[ -f "$exe" ]] || fail "scripts/build-windows.sh made no $exe"
windows=zevo-lsp-$version-x86_64-windows
mkdir "$stage/$windows"
# strip stamps the PE header with the time it runs unless given one.
SOURCE_DATE_EPOCH=$epoch x86_64-w64-mingw32-strip -o "$stage/$windows/zevo-lsp.exe" "$exe"
chmod 0755 "$stage/$windows/zevo-lsp.exe"
finish_folder "$stage/$windows"
# zip keeps DOS times in local time, so the zone is fixed; -X leaves out owners
# and extra time stamps; the entries are named in a fixed order.
(cd "$stage" && TZ=UTC zip -X -9 -q "$dist/$windows.zip" "$windows" \
  $(find "$windows" -type f | LC_ALL=C sort))

# The VS Code packages take their servers from the archives above; written
# before the checksums so that these cover them.
./scripts/package-vsix.sh "$dist"

(cd "$dist" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort |
  xargs -d '\n' sha256sum -- >SHA256SUMS)
echo "=== package: dist/"
(cd "$dist" && ls -l && cat SHA256SUMS)

#!/usr/bin/env bash
# Checks the release archives that scripts/package.sh wrote to dist/:
#   - SHA256SUMS names every other file in dist/ and `sha256sum -c` passes;
#   - each archive holds exactly its folder with the binary, README.md, LICENSE and
#     THIRD_PARTY_NOTICES.md (the documents as they are in the repository), owned by 0;
#   - the Linux binary needs only the C library: its NEEDED entries are listed, and the
#     newest glibc symbol version it asks for is printed;
#   - the Unicode suites (url, text, json) of the release build, whose ICU data is cut
#     down to what the server uses (build-package);
#   - the end-to-end tests of BUILD run against the unpacked Linux binary and, with
#     --wine, against the unpacked zevo-lsp.exe under Wine (build-windows/ must hold the
#     Windows build's tests: scripts/build-windows.sh).
# Usage: scripts/test-archives.sh [--wine] [BUILD]   (BUILD: build, by default, whose e2e
# tests are already built)
set -uo pipefail
cd "$(dirname "$0")/.."

wine=0
[[ "${1:-}" == "--wine" ]] && { wine=1; shift; }
build=${1:-build}
version=$(sed -n 's/^project(zevo_lsp VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
docs=(LICENSE README.md THIRD_PARTY_NOTICES.md)
jobs=$(nproc)
status=0
failed() { echo "test-archives: FAILED: $*" >&2; status=1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

check_sums() {
  echo "=== archives: SHA256SUMS"
  local listed present
  listed=$(cut -d' ' -f3- dist/SHA256SUMS | LC_ALL=C sort)
  present=$(cd dist && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort)
  [[ "$listed" == "$present" ]] || failed "SHA256SUMS lists [$listed], dist/ holds [$present]"
  (cd dist && sha256sum --strict -c SHA256SUMS) || failed "sha256sum -c SHA256SUMS"
}

# check_folder NAME LISTING BINARY: the archive's entries (one a line) are NAME/,
# the documents and NAME/BINARY, and the unpacked documents equal the repository's.
check_folder() {
  local name=$1 listing=$2 binary=$3 expected
  expected=$(printf '%s\n' "$name/" "$name/$binary" "${docs[@]/#/$name/}" | LC_ALL=C sort)
  if [[ "$(LC_ALL=C sort <<<"$listing")" != "$expected" ]]; then
    failed "$name: the archive holds"$'\n'"$listing"$'\n'"instead of"$'\n'"$expected"
  fi
  for doc in "${docs[@]}"; do
    cmp -s "$doc" "$scratch/$name/$doc" || failed "$name/$doc differs from the repository's $doc"
  done
  [[ -x "$scratch/$name/$binary" ]] || failed "$name/$binary is not executable"
}

# The loader and glibc's libc and libm are the C library; anything else would have
# to be on the user's machine.
check_linux_needs() {
  local binary=$1 needed newest
  echo "=== archives: what the Linux binary needs"
  needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  echo "NEEDED: $(tr '\n' ' ' <<<"$needed")"
  while read -r library; do
    case "$library" in
      libc.so.6 | libm.so.6 | ld-linux-x86-64.so.2) ;;
      *) failed "the Linux binary needs $library, which is not the C library" ;;
    esac
  done <<<"$needed"
  readelf -p .interp "$binary" | grep -q '/lib64/ld-linux-x86-64.so.2' ||
    failed "the Linux binary's interpreter is not /lib64/ld-linux-x86-64.so.2"
  newest=$(objdump -T "$binary" | grep -o 'GLIBC_[0-9][0-9.]*' | sort -uV | tail -1)
  echo "newest glibc symbol version: $newest"
  objdump -T "$binary" | grep -F "($newest)" | awk '{print "    " $NF}'
}

# e2e SERVER_COMMAND...: BUILD's end-to-end tests against that command line
# (with e2e_repeat's options for ctest, if any).
e2e_repeat=()
e2e() {
  echo "=== archives: e2e tests of $build against: $*"
  ZEVO_TEST_SERVER="$*" ctest --test-dir "$build" -L e2e -j "$jobs" --output-on-failure --timeout 600 \
    "${e2e_repeat[@]}" ||
    failed "e2e tests against $*"
}

# The Windows binary's end-to-end tests under Wine. The tests that close the
# server's output expect the platform's text for it, which the Windows build's
# zevo_closed_pipe_text.exe prints. Wine's server and services are started once
# before, with their streams on /dev/null, so that no test waits on them.
e2e_windows() {
  local exe=$1 pipe_text=build-windows/tests/zevo_closed_pipe_text.exe
  [[ -f "$pipe_text" ]] || { failed "no $pipe_text: run scripts/build-windows.sh first"; return; }
  export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$PWD/build-package/wine}
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
  # Under Wine a server started while many others start is now and then lost
  # before it writes anything, not even its start-up lines (once in three full
  # runs here); such a test is tried again, up to three times in all.
  local -a e2e_repeat=(--repeat until-pass:3)
  ZEVO_TEST_CLOSED_PIPE_TEXT="/usr/lib/wine/wine64 $pipe_text" e2e /usr/lib/wine/wine64 "$exe"
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
}

unicode_suites() {
  echo "=== archives: url, text and json suites of the release build (ICU data: uts46.nrm only)"
  local targets=()
  for source in tests/url/*_test.cpp tests/text/*_test.cpp tests/json/*_test.cpp; do
    targets+=("$(basename "$(dirname "$source")")_$(basename "$source" .cpp)")
  done
  cmake --build build-package -j "$jobs" --target "${targets[@]}" >/dev/null || { failed "building the suites"; return; }
  ctest --test-dir build-package -L '^(url|text|json)$' -j "$jobs" --output-on-failure ||
    failed "the release build's url, text and json suites"
}

check_sums

linux=zevo-lsp-$version-x86_64-linux
echo "=== archives: $linux.tar.gz"
listing=$(tar -tzf "dist/$linux.tar.gz")
tar -tvzf "dist/$linux.tar.gz" | awk '$2 != "0/0" {bad = 1} END {exit bad}' || failed "$linux: an entry not owned by 0/0"
tar -xzf "dist/$linux.tar.gz" -C "$scratch"
check_folder "$linux" "$listing" zevo-lsp
check_linux_needs "$scratch/$linux/zevo-lsp"

windows=zevo-lsp-$version-x86_64-windows
echo "=== archives: $windows.zip"
listing=$(unzip -Z1 "dist/$windows.zip")
unzip -q "dist/$windows.zip" -d "$scratch"
check_folder "$windows" "$listing" zevo-lsp.exe

unicode_suites
e2e "$scratch/$linux/zevo-lsp"
((wine == 0)) || e2e_windows "$scratch/$windows/zevo-lsp.exe"

if ((status == 0)); then echo "=== archives: all checks passed"; else echo "=== archives: CHECKS FAILED"; fi
exit $status

#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite twice: once in a
# normal build and once under AddressSanitizer + UndefinedBehaviorSanitizer;
# then builds the fuzz targets with clang and runs each for a bounded time
# (ZEVO_FUZZ_SECONDS, 60 by default), and runs the node client session against
# the normal build; then builds the Windows server and runs its tests under Wine
# (scripts/test-windows.sh); then writes the release archives and the VS Code
# packages (scripts/package.sh) and checks them, the end-to-end tests running
# against the unpacked binaries, the Windows one under Wine
# (scripts/test-archives.sh); last it tests the VS Code extension, its linux-x64
# package installed into code-server (scripts/test-vscode.sh). Pass --quick to
# skip the sanitizer build, the fuzzing, the Windows phase, the packages and the
# VS Code test.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
[[ "${1:-}" == "--quick" ]] && quick=1

if ((quick == 0)); then ./scripts/setup.sh fuzz client windows package vscode; else ./scripts/setup.sh client; fi

jobs=$(nproc)
status=0

# Each phase's wall time, printed as it ends and again as a table at the end.
phase_names=()
phase_seconds=()
phase_started=0  # the setup above ran from the start
phase_name=setup
begin_phase() {
  end_phase
  phase_name=$1
  phase_started=$SECONDS
}
end_phase() {
  [[ -n "$phase_name" ]] || return 0
  local took=$((SECONDS - phase_started))
  phase_names+=("$phase_name")
  phase_seconds+=("$took")
  echo "=== phase '$phase_name' took ${took} s"
  phase_name=
}

run_suite() {
  local dir=$1; shift
  begin_phase "$dir"
  echo "=== build: $dir ($*)"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "=== tests: $dir"
  if ! ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 600; then
    status=1
  fi
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVO_SANITIZE=OFF
if ((quick == 0)); then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DZEVO_SANITIZE=ON -DZEVO_BUILD_BENCH=OFF
fi

if ((quick == 0)); then
  begin_phase fuzz
  echo "=== build: build-fuzz (clang, libFuzzer, ASan + UBSan)"
  if cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DZEVO_FUZZ=ON -DZEVO_BUILD_TESTS=OFF -DZEVO_BUILD_BENCH=OFF >/dev/null &&
     cmake --build build-fuzz -j "$jobs" --target fuzz_targets; then
    echo "=== fuzz: ${ZEVO_FUZZ_SECONDS:-60} s per target"
    tests/fuzz/run.sh build-fuzz "${ZEVO_FUZZ_SECONDS:-60}" || status=1
  else
    echo "=== the fuzz build failed"
    status=1
  fi
fi

begin_phase client
echo "=== client: tests/client against build/src/zevo-lsp"
if ! (cd tests/client && ZEVO_LSP="$PWD/../../build/src/zevo-lsp" node --test); then
  status=1
fi

if ((quick == 0)); then
  begin_phase windows
  echo "=== windows: build-windows/src/zevo-lsp.exe under Wine"
  scripts/test-windows.sh build || status=1

  begin_phase package
  echo "=== package: scripts/package.sh, then the archives' checks against build/'s e2e tests"
  # --wine: the e2e tests against the archived zevo-lsp.exe under Wine as well.
  if ! ./scripts/package.sh || ! ./scripts/test-archives.sh --wine build; then
    status=1
  fi

  begin_phase vscode
  echo "=== vscode: the extension's grammar, tables and edits, then dist/'s linux-x64 package in code-server"
  if ! scripts/test-vscode.sh build; then
    status=1
  fi
fi

end_phase
echo "=== phase times (s):"
for i in "${!phase_names[@]}"; do printf '    %-16s %5d\n' "${phase_names[$i]}" "${phase_seconds[$i]}"; done
printf '    %-16s %5d\n' total "$SECONDS"

if ((status == 0)); then echo "=== all tests passed"; else echo "=== TESTS FAILED"; fi
exit $status

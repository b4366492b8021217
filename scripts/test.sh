#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite twice: once in a
# normal build and once under AddressSanitizer + UndefinedBehaviorSanitizer.
# Pass --quick to run only the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
[[ "${1:-}" == "--quick" ]] && quick=1

./scripts/setup.sh

jobs=$(nproc)
status=0

run_suite() {
  local dir=$1; shift
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

if ((status == 0)); then echo "=== all tests passed"; else echo "=== TESTS FAILED"; fi
exit $status

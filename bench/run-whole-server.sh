#!/usr/bin/env bash
# The whole-server benchmark in one command: a Release build of the server and
# of bench/whole_server_bench.cpp (in build-release/, or $ZEVO_BENCH_BUILD),
# then the mixed session, which ends with its table of per-method latency,
# throughput and peak memory. Arguments go to the benchmark (for example
# --benchmark_filter=Typing).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
build=${ZEVO_BENCH_BUILD:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target zevo-lsp whole_server_bench >/dev/null
exec "$build/bench/whole_server_bench" "$@"

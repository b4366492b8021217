#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build: first over its kept regression inputs
# (tests/fuzz/regressions/<corpus folder>/, one input per file), then for a
# bounded time from its seed corpus, all targets at once.
# Usage: tests/fuzz/run.sh BUILD_DIR [SECONDS]
# Fails when any target reports a crash, a leak, a sanitizer error or a timeout.
set -uo pipefail
cd "$(dirname "$0")/../.."

build=${1:?usage: tests/fuzz/run.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
read -ra targets <<<"${FUZZ_TARGETS:-message_reader json url parser server}"
# Corpus folder of each target under tests/fuzz/corpus/, and extra read-only seeds.
declare -A corpus=([message_reader]=reader [json]=json [url]=url [parser]=parser [server]=server)
declare -A extra=([json]=tests/json/data/test_parsing)
declare -A max_len=([message_reader]=16384 [json]=8192 [url]=2048 [parser]=16384 [server]=16384)

work="$build/fuzz-work"
rm -rf "$work"
mkdir -p "$work"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
pids=()
for t in "${targets[@]}"; do
  bin="$build/tests/fuzz/fuzz_$t"
  [[ -x "$bin" ]] || { echo "fuzz: $bin is missing" >&2; status=1; continue; }
  c=${corpus[$t]}
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
  regressions=(tests/fuzz/regressions/"$c"/*)
  if [[ -e "${regressions[0]}" ]]; then
    if ! "$bin" -timeout=20 -rss_limit_mb=2048 "${regressions[@]}" >"$work/$t/regressions.log" 2>&1; then
      echo "fuzz: fuzz_$t fails on a kept regression input:" >&2
      tail -n 30 "$work/$t/regressions.log" >&2
      status=1
    fi
  fi
  args=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len="${max_len[$t]}"
        -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" -dict=tests/fuzz/zevo.dict)
  (
    "$bin" "${args[@]}" "$work/$t/corpus" "tests/fuzz/corpus/$c" ${extra[$t]:-} >"$work/$t/fuzz.log" 2>&1
  ) &
  pids+=("$!:$t")
done

for entry in "${pids[@]}"; do
  pid=${entry%%:*}
  t=${entry#*:}
  if wait "$pid"; then
    echo "fuzz: fuzz_$t: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/$t/fuzz.log" | grep -o '[0-9]*$') runs, no failure"
  else
    echo "fuzz: fuzz_$t FAILED; artifacts in $work/$t/artifacts/" >&2
    grep -m1 -A40 -E '^==[0-9]+==|runtime error|ERROR: libFuzzer|deadly signal|timeout' "$work/$t/fuzz.log" >&2
    status=1
  fi
done
exit $status

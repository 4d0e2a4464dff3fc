#!/usr/bin/env bash
# Runs each fuzzer for a fixed time and reports how many inputs it ran and
# what it found. Exits 1 when any fuzzer found a crash, a hang, a leak, a
# sanitizer report or a broken invariant.
#
#   tests/fuzz/run.sh BUILD_DIR SECONDS [FUZZER ...]
#
# The committed seeds in tests/fuzz/corpus/<name>/ are only read; the inputs
# a run finds go to BUILD_DIR/corpus/<name>/, so a later run goes on from
# there, and findings to BUILD_DIR/findings/<name>/. A finding is reproduced
# by running the fuzzer on the file: BUILD_DIR/<name>_fuzz FILE.
set -uo pipefail

cd "$(dirname "$0")/../.."
build_dir=${1:?usage: tests/fuzz/run.sh BUILD_DIR SECONDS [FUZZER ...]}
seconds=${2:?usage: tests/fuzz/run.sh BUILD_DIR SECONDS [FUZZER ...]}
shift 2
fuzzers=("$@")
if [ ${#fuzzers[@]} -eq 0 ]; then
  fuzzers=(profile catalogue settings)
fi

# A small quarantine and no fill of new blocks: the fuzzers allocate and free
# small strings by the million, and the defaults spend most of the time on
# fresh pages. Leaks are still reported.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16:max_malloc_fill_size=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
summary=()
for name in "${fuzzers[@]}"; do
  binary="$build_dir/${name}_fuzz"
  if [ ! -x "$binary" ]; then
    echo "no fuzzer $binary: build it first (make fuzz)" >&2
    exit 2
  fi
  corpus="$build_dir/corpus/$name"
  findings="$build_dir/findings/$name"
  log="$build_dir/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  before=$(find "$findings" -type f | wc -l)

  echo "== $name: $seconds s"
  # -timeout: an input that runs for 10 s is a hang. -max_len: a few times
  # the largest seed, so whole catalogues with long lines still fit.
  "$binary" "$corpus" "tests/fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
      -dict=tests/fuzz/ini.dict -artifact_prefix="$findings/" -print_final_stats=1 \
      >"$log" 2>&1
  result=$?

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  added=$(sed -n 's/^stat::new_units_added: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | sed 's/cov: //')
  after=$(find "$findings" -type f | wc -l)
  found=$((after - before))
  line="$name: ${executions:-?} executions (${rate:-?}/s), coverage ${coverage:-?} edges, ${added:-?} new inputs, $found findings"
  summary+=("$line")
  if [ "$result" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    echo "$name FOUND A PROBLEM (exit status $result); the report:" >&2
    grep -E -A 40 'ERROR:|invariant broken|runtime error:|deadly signal|Test unit written' "$log" | head -80 >&2
    find "$findings" -type f | sed 's/^/  input: /' >&2
  fi
done

echo
echo "Fuzzing summary ($seconds s each):"
printf '  %s\n' "${summary[@]}"
exit $status

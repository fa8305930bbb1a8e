#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: native unit tests, the
# Windows tests under Wine + Xvfb, the end-to-end tests of korvane.exe and bounded runs of the
# catalogue fuzz targets (KORVANE_FUZZ_SECONDS in memory, KORVANE_FILE_FUZZ_SECONDS through
# files).
# Exits non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fuzz_seconds=${KORVANE_FUZZ_SECONDS:-60}
file_fuzz_seconds=${KORVANE_FILE_FUZZ_SECONDS:-10}

"$root/scripts/deps.sh" || exit 1

passed=0
failed=0
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Adds the counts of one ctest run ("N% tests passed, F tests failed out of T").
count() {
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

step() { echo; echo "==== $*"; }

# build_and_test TREE TITLE COMMAND...: builds one tree, then runs its ctest through COMMAND.
build_and_test() {
    local tree=$1 title=$2
    shift 2
    step "$tree build"
    if ! "$root/scripts/build.sh" "$tree"; then
        status=1
        failed=$((failed + 1))
        return
    fi
    step "$title"
    "$@" ctest --test-dir "build/$tree" --output-on-failure ${CTEST_EXTRA:-} 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    count
}

build_and_test native "native tests" env CTEST_PARALLEL_LEVEL="$(nproc)"
# Under heavy load a Wine test process now and then dies at start (0.01 s, no output at all);
# such a test gets one more run. A test that fails for a reason of its own fails twice.
CTEST_EXTRA="--repeat until-pass:2" build_and_test win "Windows and end-to-end tests (Wine, Xvfb)" \
    xvfb-run -a -s '-screen 0 1024x768x24'

# fuzz TARGET SECONDS: one bounded run of a catalogue fuzz target on a scratch corpus (the seeds
# in fuzz/corpus stay untouched); a crashing input is kept in build/fuzz/artifacts.
fuzz() {
    local target=$1 seconds=$2 corpus
    corpus=$(mktemp -d)
    mkdir -p build/fuzz/artifacts
    echo "-- $target for $seconds s"
    if "build/fuzz/fuzz/$target" "$corpus" fuzz/corpus -max_len=40000 \
        -max_total_time="$seconds" -artifact_prefix=build/fuzz/artifacts/ \
        -print_final_stats=1 >"$log" 2>&1; then
        grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec))' "$log"
        passed=$((passed + 1))
    else
        tail -60 "$log"
        status=1
        failed=$((failed + 1))
    fi
    rm -rf "$corpus"
}

step "fuzzing the catalogue: ${fuzz_seconds} s in memory, ${file_fuzz_seconds} s through files"
if "$root/scripts/build.sh" fuzz; then
    fuzz icons_fuzz "$fuzz_seconds"
    fuzz icons_file_fuzz "$file_fuzz_seconds"
else
    status=1
    failed=$((failed + 1))
fi

echo
echo "korvane: $passed passed, $failed failed"
exit $status

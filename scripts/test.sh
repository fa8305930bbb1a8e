#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: native unit tests, the
# Windows tests under Wine + Xvfb, the end-to-end tests of korvane.exe and a bounded fuzz run.
# Exits non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fuzz_seconds=${KORVANE_FUZZ_SECONDS:-60}

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
    "$@" ctest --test-dir "build/$tree" --output-on-failure 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    count
}

build_and_test native "native tests" env CTEST_PARALLEL_LEVEL="$(nproc)"
build_and_test win "Windows and end-to-end tests (Wine, Xvfb)" \
    xvfb-run -a -s '-screen 0 1024x768x24'

step "fuzzing the catalogue loader for ${fuzz_seconds} s"
if "$root/scripts/build.sh" fuzz; then
    corpus=$(mktemp -d) # new inputs land here; the seeds made by the build stay untouched
    if build/fuzz/fuzz/icons_fuzz "$corpus" build/fuzz/fuzz/corpus -max_len=40000 \
        -max_total_time="$fuzz_seconds" -print_final_stats=1 >"$log" 2>&1; then
        tail -5 "$log"
        passed=$((passed + 1))
    else
        tail -60 "$log"
        status=1
        failed=$((failed + 1))
    fi
    rm -rf "$corpus"
else
    status=1
    failed=$((failed + 1))
fi

echo
echo "korvane: $passed passed, $failed failed"
exit $status

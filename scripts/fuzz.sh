#!/usr/bin/env bash
# A longer fuzzing campaign on the catalogue: scripts/fuzz.sh MINUTES [TARGET]
#   TARGET  icons_fuzz (default; read -> write -> read in memory) or icons_file_fuzz (the file
#           edge: Load and the atomic Save)
# Starts from the seeds in fuzz/corpus, which it never changes; what the campaign learns is
# kept in build/fuzz/campaign/TARGET, so the next campaign goes on from there. A crashing input
# is written to build/fuzz/artifacts and the script exits non-zero.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:?usage: scripts/fuzz.sh MINUTES [icons_fuzz|icons_file_fuzz]}
target=${2:-icons_fuzz}
case "$minutes" in
'' | *[!0-9]* | 0*) # 0 would mean "no limit" to libFuzzer
    echo "MINUTES must be a whole number from 1" >&2
    exit 2
    ;;
esac
case "$target" in
icons_fuzz | icons_file_fuzz) ;;
*)
    echo "unknown target: $target (icons_fuzz or icons_file_fuzz)" >&2
    exit 2
    ;;
esac

cd "$root"
"$root/scripts/build.sh" fuzz
campaign="build/fuzz/campaign/$target"
mkdir -p "$campaign" build/fuzz/artifacts
echo "fuzzing $target for $minutes min; corpus $campaign (seeds: fuzz/corpus)"
exec "build/fuzz/fuzz/$target" "$campaign" fuzz/corpus -max_len=40000 \
    -max_total_time=$((minutes * 60)) -artifact_prefix=build/fuzz/artifacts/ \
    -print_final_stats=1

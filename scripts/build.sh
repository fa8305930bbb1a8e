#!/usr/bin/env bash
# Configures and builds a tree: "native" (Linux, sanitizers, unit tests and benchmarks),
# "win" (mingw-w64 cross build: korvane.exe and the Wine tests), "bench" (native, optimised,
# no sanitizers) or "fuzz" (clang, libFuzzer).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:?native, win, bench or fuzz}
shift || true
jobs=${KORVANE_JOBS:-$(nproc)}
case "$tree" in
native)
    cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    ;;
win)
    cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
    ;;
bench)
    cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKORVANE_SANITIZE=OFF >/dev/null
    ;;
fuzz)
    CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_FUZZ=ON >/dev/null
    ;;
*)
    echo "unknown tree: $tree" >&2
    exit 2
    ;;
esac
cmake --build "$root/build/$tree" -j "$jobs" "$@"

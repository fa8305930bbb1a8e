#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the desktop need, when missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build clang libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64 wine wine64
    xvfb xauth xdotool imagemagick fonts-dejavu-core fonts-liberation fonts-wine x11-utils python3
    nlohmann-json3-dev nsis fp-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

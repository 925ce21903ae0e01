#!/usr/bin/env bash
# Configures and builds both trees: build/win (mingw, for Windows) and build/native (Linux).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
build_root=${SCRIVO_BUILD:-$root/build}

cmake -S "$root" -B "$build_root/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_root/win" -j"$jobs"

cmake -S "$root" -B "$build_root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_root/native" -j"$jobs"

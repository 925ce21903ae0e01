#!/usr/bin/env bash
# Configures and builds both trees: build/win (mingw, for Windows) and build/native (Linux).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
build_root=${SCRIVO_BUILD:-$root/build}

# Several checkouts of the tree compile the same sources: a compiler cache,
# where the machine has one, shares the work between them.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S "$root" -B "$build_root/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build_root/win" -j"$jobs"

cmake -S "$root" -B "$build_root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build_root/native" -j"$jobs"

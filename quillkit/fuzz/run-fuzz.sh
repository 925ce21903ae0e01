#!/usr/bin/env bash
# Builds the EMF fuzz target with clang (ASan, UBSan, libFuzzer) in its own
# build folder and runs it for N seconds (default 120), seeded from the
# shared corpus. Findings land in <build>/fuzz/findings.
#   quillkit/fuzz/run-fuzz.sh [SECONDS] [JOBS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-120}
jobs=${2:-1}
build=${SCRIVO_BUILD:-$root/build}/fuzz
corpus=${QK_CORPUS:-$root/../shared/corpus}

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLKIT_FUZZ=ON >/dev/null
cmake --build "$build" --target quillkit_fuzz_emf -j2 >/dev/null

work=$build/work
mkdir -p "$work/corpus" "$build/findings"
for d in apps ea synthetic corrupted; do
  [ -d "$corpus/$d" ] && cp -n "$corpus/$d"/*.emf "$work/corpus/" 2>/dev/null || true
done
cd "$build/findings"
"$build/bin/quillkit_fuzz_emf" "$work/corpus" -max_total_time="$seconds" -jobs="$jobs" \
  -workers="$jobs" -max_len=2000000 -rss_limit_mb=2048 -timeout=20 -print_final_stats=1

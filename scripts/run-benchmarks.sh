#!/usr/bin/env bash
# Builds the benchmarks in an optimised build and runs each of them; they print their own figures.
# With arguments, runs only the named benchmark programs (e.g. bench_decode).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
build="$root/build/bench"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DCORMELIAN_TESTS=OFF -DCORMELIAN_BENCH=ON
export QT_QPA_PLATFORM=offscreen
if (($#)); then
    programs=("$@")
else
    mapfile -t programs < <(find "$build/bench" -maxdepth 2 -type f -executable -printf '%f\n' | sort)
fi
for program in "${programs[@]}"; do
    path="$(find "$build/bench" -maxdepth 2 -type f -name "$program" | head -1)"
    echo "== $program"
    "$path"
done

#!/usr/bin/env bash
# compare-cache-start.sh [TURNS [REPETITIONS]]: builds bench_collect (Release) from the commit before
# the cache start-up work (BASE, default cd68066^) in a temporary git worktree and from this checkout,
# runs their StartFromCache (a reload from the cache over the rows of a collection) and
# MemoryPer100000Rows (a fresh window's first load from the cache) in turns (old, new, old, new...;
# TURNS of each, default 5, each run repeating each start REPETITIONS times, default 3), and prints per
# start each one's best time, the ratio new/old, the rows both loaded and the machine's load average. The temporary worktree and its
# build are removed at the end (KEEP_OLD=1 keeps them); it lies under build/ so that the compiler
# cache serves it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
turns="${1:-5}"
repetitions="${2:-3}"
base="${BASE:-cd68066^}"
parallel="${PARALLEL:-3}"
scratch="$root/build/cache-start-old"
old_source="$scratch/source"
old_build="$scratch/build"
new_build="$root/build/release"

cleanup() {
    if [[ "${KEEP_OLD:-0}" != 1 ]]; then
        git -C "$root" worktree remove --force "$old_source" 2>/dev/null || true
        rm -rf "$scratch"
        git -C "$root" worktree prune
    fi
}
trap cleanup EXIT

build() { # source build
    if [[ ! -f "$2/build.ninja" ]]; then
        cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORMELIAN_BENCH=ON >/dev/null
    fi
    cmake --build "$2" --parallel "$parallel" --target bench_collect >/dev/null
}

# A worktree kept from an earlier run of another base is made anew.
if [[ -d "$old_source" && "$(git -C "$old_source" rev-parse HEAD)" != "$(git -C "$root" rev-parse "$base^{commit}")" ]]; then
    git -C "$root" worktree remove --force "$old_source"
    rm -rf "$old_build"
fi
if [[ ! -d "$old_source" ]]; then
    git -C "$root" worktree prune
    mkdir -p "$scratch"
    git -C "$root" worktree add --detach "$old_source" "$base" >/dev/null
fi
echo "building $base and $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD || echo ' (changed)')"
build "$old_source" "$old_build"
build "$root" "$new_build"
old_program="$(find "$old_build/bench" -type f -name bench_collect | head -1)"
new_program="$(find "$new_build/bench" -type f -name bench_collect | head -1)"

export QT_QPA_PLATFORM=offscreen
results="$scratch/results"
mkdir -p "$results"
for ((turn = 1; turn <= turns; ++turn)); do
    for side in old new; do
        program="$old_program"
        [[ $side == new ]] && program="$new_program"
        "$program" --benchmark_filter='^(StartFromCache|MemoryPer100000Rows)/' --benchmark_repetitions="$repetitions" \
            --benchmark_out="$results/$side-$turn.json" --benchmark_out_format=json >/dev/null 2>&1
    done
done
uptime
python3 - "$results" "$turns" <<'PY'
import json, sys

folder, turns = sys.argv[1], int(sys.argv[2])
times, rows = {}, {}
for side in ('old', 'new'):
    for turn in range(1, turns + 1):
        with open(f'{folder}/{side}-{turn}.json') as f:
            for run in json.load(f)['benchmarks']:
                if run.get('run_type') == 'iteration':
                    start = run['run_name'].split('/')[0]
                    times.setdefault((start, side), []).append(run['real_time'])
                    rows.setdefault((start, side), set()).add(int(run['rows']))
failed = False
for start in ('StartFromCache', 'MemoryPer100000Rows'):
    best = {}
    for side in ('old', 'new'):
        taken = sorted(times[(start, side)])
        best[side] = taken[0]
        print(f'{start} {side}: best {taken[0]:.1f} ms of {len(taken)} (median {taken[len(taken) // 2]:.1f}), '
              f'rows {sorted(rows[(start, side)])}')
    print(f'{start} new/old: {best["new"] / best["old"]:.3f}')
    if rows[(start, 'old')] != rows[(start, 'new')]:
        print(f'{start}: the two loaded different numbers of rows')
        failed = True
sys.exit(1 if failed else 0)
PY

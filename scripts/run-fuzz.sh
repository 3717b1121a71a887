#!/usr/bin/env bash
# run-fuzz.sh [seconds] [harness...]: builds the libFuzzer harnesses with clang (ASan and UBSan) and
# runs each for the given time (default 30 s), every harness by default (fuzz_ldif fuzz_records
# fuzz_ini fuzz_cache fuzz_options). Each starts from its checked-in seeds in fuzz/corpus/<name>
# plus what earlier runs found, kept in build/clang/fuzz-corpus/<name>; a crash, hang or leak is
# written to build/clang/fuzz-findings/<name>/ and makes the script fail.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
shift || true
harnesses=("$@")
if ((${#harnesses[@]} == 0)); then
    harnesses=(fuzz_ldif fuzz_records fuzz_ini fuzz_cache fuzz_options)
fi

build="$root/build/clang"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DCORMELIAN_FUZZ=ON -DCORMELIAN_WERROR=ON -DCORMELIAN_BENCH=OFF
fi
cmake --build "$build" --parallel "$(nproc)" --target "${harnesses[@]}"

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
failed=()
for harness in "${harnesses[@]}"; do
    name="${harness#fuzz_}"
    work="$build/fuzz-corpus/$name"
    findings="$build/fuzz-findings/$name"
    mkdir -p "$work" "$findings"
    options=(-max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/")
    if [[ -f "$root/fuzz/$name.dict" ]]; then
        options+=(-dict="$root/fuzz/$name.dict")
    fi
    log="$build/fuzz-$name.log"
    if "$build/fuzz/$harness" "${options[@]}" "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
        runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
        echo "$harness: ${runs:-?} executions in $seconds s, no finding"
    else
        echo "$harness: FINDING (see $log and $findings/)"
        tail -n 40 "$log"
        failed+=("$harness")
    fi
done
if ((${#failed[@]})); then
    echo "Findings in: ${failed[*]}"
    exit 1
fi

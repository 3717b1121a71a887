#!/usr/bin/env bash
# Installs what is missing and runs every test: first the directory client's and the directory
# layer's suites under ThreadSanitizer (the code that several threads call at once), then every
# suite built with AddressSanitizer and UndefinedBehaviorSanitizer. Last, everything is built a
# second time with clang, warnings as errors, and each fuzz harness runs for 30 seconds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

tsan="$root/build/tsan"
threaded_suites=(platform_nwclient_tests test_directory)
if [[ ! -f "$tsan/build.ninja" ]]; then
    cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORMELIAN_TSAN=ON -DCORMELIAN_BENCH=OFF
fi
cmake --build "$tsan" --parallel "$jobs" --target "${threaded_suites[@]}" platform_tolvex
(cd "$tsan" && TSAN_OPTIONS="halt_on_error=1" ctest --output-on-failure --parallel "$jobs" --timeout 900 \
    -R "^($(IFS='|'; echo "${threaded_suites[*]}"))\$")

asan="$root/build/asan"
"$root/scripts/build.sh" "$asan" -DCMAKE_BUILD_TYPE=Debug -DCORMELIAN_SANITIZE=ON -DCORMELIAN_BENCH=OFF
(cd "$asan" && ctest --output-on-failure --parallel "$jobs" --timeout 900)

# The clang build: libraries, tests and fuzz harnesses (its tests are not run a second time).
"$root/scripts/build.sh" "$root/build/clang" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DCORMELIAN_FUZZ=ON -DCORMELIAN_WERROR=ON -DCORMELIAN_BENCH=OFF
"$root/scripts/run-fuzz.sh" 30

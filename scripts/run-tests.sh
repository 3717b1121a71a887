#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
build="$root/build/asan"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DCORMELIAN_SANITIZE=ON -DCORMELIAN_BENCH=OFF
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 900

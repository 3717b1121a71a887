#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the bundled demo directory.
# Extra arguments go to the program (for example /alldns /alldhcp /autoclose).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
build="$root/build/release"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORMELIAN_TESTS=OFF -DCORMELIAN_BENCH=OFF
work="$root/build/demo"
if [[ ! -d "$work" ]]; then
    mkdir -p "$work"
    cp -r "$root/data/demo/." "$work/"
fi
export CORMELIAN_CLIENT_CONFIG="$work/client.ini"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display found. Run it headless with:  QT_QPA_PLATFORM=offscreen $0 $*" >&2
    echo "or in a virtual display with:            xvfb-run -a $0 $*" >&2
    exit 2
fi
exec "$build/browser/cormelian" "$@"

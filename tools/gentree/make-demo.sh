#!/usr/bin/env bash
# Regenerates the demo directory data/demo (trees ACME and GLOBEX visible, INITECH hidden, their
# manifests of expected rows and client.ini) with the tree generator. The output is the same bytes
# every time. Usage: tools/gentree/make-demo.sh [output folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="${1:-$root/data/demo}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"${CXX:-c++}" -std=c++20 -O2 -I"$root" "$root"/tools/gentree/*.cpp -o "$work/gentree"
"$work/gentree" --demo "$out"

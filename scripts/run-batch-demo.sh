#!/usr/bin/env bash
# Collects every DNS and DHCP record of the demo directory's first tree without a user and writes
# dns.csv, rev-dns.csv and dhcp.csv into build/batch-demo/output:
#   cormelian /alldns /alldhcp /autoclose
# The program gets a folder of its own whose settings open only the first tree (SYSTEM noTrees), so
# that no tree choice is asked.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/demo-common.sh"
demo_build
batch="$root/build/batch-demo"
mkdir -p "$batch/program" "$batch/output"
cp -f "$release/browser/cormelian" "$release/browser/libTolvex.so" "$batch/program/"
demo_directory "$batch/directory"
demo_settings "$batch/program/Cormelian.ini" "noTrees=1"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cd "$batch/output"
"$batch/program/cormelian" /alldns /alldhcp /autoclose
wc -l dns.csv rev-dns.csv dhcp.csv

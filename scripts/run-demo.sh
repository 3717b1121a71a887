#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the bundled demo directory.
# Extra arguments go to the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/demo-common.sh"
demo_build
demo_directory "$root/build/demo"
demo_settings "$release/browser/Cormelian.ini"
require_display "$@"
exec "$release/browser/cormelian" "$@"

# Shared steps of the demo scripts: install, build the program, and lay out a demo folder.
# Sourced, not run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs what is missing and builds the program in build/release.
demo_build() {
    "$root/scripts/setup.sh"
    release="$root/build/release"
    "$root/scripts/build.sh" "$release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORMELIAN_TESTS=OFF -DCORMELIAN_BENCH=OFF
}

# demo_directory <folder>: a writable copy of the bundled demo directory (kept across runs, so that
# edits and deletions survive a restart).
demo_directory() {
    if [[ ! -f "$1/client.ini" ]]; then
        mkdir -p "$1"
        cp -r "$root/data/demo/." "$1/"
    fi
    export CORMELIAN_CLIENT_CONFIG="$1/client.ini"
}

# demo_settings <file> [extra SYSTEM lines...]: a first settings file naming the top of every demo
# tree, written only when the program has none yet.
demo_settings() {
    local file="$1"
    shift
    [[ -f "$file" ]] && return 0
    {
        printf '[TREES]\r\nACME=[root]\r\nGLOBEX=[root]\r\nINITECH=[root]\r\n'
        if (($#)); then
            printf '[SYSTEM]\r\n'
            printf '%s\r\n' "$@"
        fi
    } > "$file"
}

# require_display [switches...]: ends the script when there is no display, with the commands that
# run it headless, the user's switches repeated and quoted for the shell.
require_display() {
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
        local command
        command="$(printf '%q' "$0")"
        if (($#)); then
            command+=" $(printf '%q ' "$@")"
            command="${command% }"
        fi
        echo "No display found. Run it headless with:  QT_QPA_PLATFORM=offscreen $command" >&2
        echo "or in a virtual display with:            xvfb-run -a $command" >&2
        exit 2
    fi
}

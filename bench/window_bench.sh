#!/bin/sh
# Window host benchmark: cost per block, then a split and a join of the same file through the
# window and through zirared-cli, alternating, in one run.
# Usage: bench/window_bench.sh [build-dir] [MiB] [rounds]   (default: build, 1024, 5)
# The window draws on a real X server (Xvfb, the xcb platform) managed by a window manager
# (openbox), as on a desktop: offscreen painting costs next to nothing, and a window manager
# adds its own events and decorations, so either alone would understate the window's price.
# Without xvfb-run it falls back to offscreen and says so; without openbox it runs on the
# bare server and says so. Needs about twice the size free in /dev/shm.
# Prints ratios; never fails the build.
set -eu
# A size the user's window remembers must not change the pieces measured.
XDG_CONFIG_HOME=$(mktemp -d "${TMPDIR:-/tmp}/zirared-bench-config-XXXXXX")
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
mib=${2:-1024}
rounds=${3:-5}
cmake --build "$build" -j2 --target zirared_window_bench zirared-cli >/dev/null
bench="$build/window/zirared_window_bench"
set -- "$bench" --cli "$build/cli/zirared-cli" --dir /dev/shm --mib "$mib" --rounds "$rounds"
if ! command -v xvfb-run >/dev/null; then
    echo "xvfb-run missing: offscreen figures, which understate the window's painting"
    QT_QPA_PLATFORM=offscreen "$@" || true
    exit 0
fi
if ! command -v openbox >/dev/null; then
    echo "openbox missing: figures on a bare X server, without a window manager's events"
    xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb "$@" || true
    exit 0
fi
# openbox says it manages the screen by running its start-up command; the benchmark starts
# only then, and the window manager ends with it.
ready=$(mktemp -u "${TMPDIR:-/tmp}/zirared-wm-XXXXXX")
# shellcheck disable=SC2016  # expanded by the inner shell
xvfb-run -a -s '-screen 0 1280x1024x24' sh -c '
    ready=$1; shift
    openbox --sm-disable --startup "touch $ready" 2>/dev/null &
    wm=$!
    tries=0
    while [ ! -e "$ready" ] && [ "$tries" -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
    [ -e "$ready" ] && echo "window manager: openbox" || echo "openbox did not start"
    QT_QPA_PLATFORM=xcb "$@" || true
    kill "$wm"; rm -f "$ready"' sh "$ready" "$@" || true

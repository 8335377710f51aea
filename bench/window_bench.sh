#!/bin/sh
# Window host benchmark: cost per block and a 1 GiB split against zirared-cli, in one run.
# Usage: bench/window_bench.sh [build-dir] [MiB] [rounds]   (default: build, 1024, 5)
# The window draws on a real X server (Xvfb, the xcb platform): offscreen painting costs
# next to nothing and would hide the price of repainting during the copy. Without xvfb-run
# it falls back to offscreen and says so. Needs about twice the size free in /dev/shm.
# Prints ratios; never fails the build.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
mib=${2:-1024}
rounds=${3:-5}
cmake --build "$build" -j2 --target zirared_window_bench zirared-cli >/dev/null
bench="$build/window/zirared_window_bench"
set -- --cli "$build/cli/zirared-cli" --dir /dev/shm --mib "$mib" --rounds "$rounds"
if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb "$bench" "$@" || true
else
    echo "xvfb-run missing: offscreen figures, which understate the window's painting"
    QT_QPA_PLATFORM=offscreen "$bench" "$@" || true
fi

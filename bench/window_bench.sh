#!/bin/sh
# Window host benchmark: cost per block and a 1 GiB split against zirared-cli.
# Usage: bench/window_bench.sh [build-dir] [MiB]   (default: build-window, 1024)
# Needs about twice the size free in /dev/shm. Prints ratios; never fails the build.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-window"}
mib=${2:-1024}
cmake --build "$build" -j2 --target zirared_window_bench zirared-cli >/dev/null
QT_QPA_PLATFORM=offscreen "$build/window/zirared_window_bench" \
  --cli "$build/cli/zirared-cli" --dir /dev/shm --mib "$mib" || true

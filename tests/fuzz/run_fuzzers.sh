#!/usr/bin/env bash
# Builds the libFuzzer targets (if needed) and runs each for a bounded time.
#
#   tests/fuzz/run_fuzzers.sh SECONDS [TARGET...]
#
# Each target starts from a scratch copy of its seed corpus, so the repository's corpus does
# not grow. A finding (crash, sanitizer report, broken property, timeout) is kept in
# $BUILD_DIR/fuzz-findings/TARGET/ and makes the script exit non-zero.
# Environment: ZIRARED_FUZZ_BUILD_DIR (default build-fuzz under the source root),
# ZIRARED_FUZZ_JOBS (build parallelism, default 2).
set -euo pipefail

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [TARGET...]" >&2
    exit 2
fi
seconds=$1
shift
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    targets=(fuzz_piece_header fuzz_assemble_set fuzz_sha256_list)
fi

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=${ZIRARED_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
jobs=${ZIRARED_FUZZ_JOBS:-2}

if [[ ! -f $build_dir/CMakeCache.txt ]]; then
    cmake -S "$source_dir" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIRARED_SANITIZE=ON -DZIRARED_FUZZ=ON \
        -DZIRARED_BUILD_WINDOW=OFF >/dev/null
fi
cmake --build "$build_dir" -j "$jobs" --target "${targets[@]}" >/dev/null

# The assembly target writes small files: keep them in memory when a tmpfs is at hand.
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zirared-fuzz-run-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

status=0
for target in "${targets[@]}"; do
    binary=$(find "$build_dir" -type f -name "$target" -perm -u+x | head -n 1)
    if [[ -z $binary ]]; then
        echo "$target: not built" >&2
        status=1
        continue
    fi
    corpus=$scratch/$target
    findings=$build_dir/fuzz-findings/$target
    mkdir -p "$corpus" "$findings"
    cp "$source_dir/tests/fuzz/corpus/$target"/* "$corpus"/
    echo "== $target for ${seconds}s"
    if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
        >"$scratch/$target.log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' \
            "$scratch/$target.log" || true
    else
        echo "$target: FINDING (kept in $findings/)" >&2
        grep -A 30 -E 'ERROR|property broken|==[0-9]+==' "$scratch/$target.log" | head -60 >&2
        status=1
    fi
done
exit $status

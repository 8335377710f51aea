#!/usr/bin/env bash
# SHA-256 throughput of the engine's hash beside coreutils' sha256sum, on the same file.
#
#   bench/hash_bench.sh [build-dir]
#
# Environment: BENCH_SIZE_MIB (default 1024), BENCH_ROUNDS (default 3), BENCH_DIR (default
# /dev/shm). Prints the median MB/s of each and their ratio; checks that both agree on the
# digest. Exits 0 whatever the figures say.
set -euo pipefail

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo_root/build}
size_mib=${BENCH_SIZE_MIB:-1024}
rounds=${BENCH_ROUNDS:-3}
scratch_parent=${BENCH_DIR:-/dev/shm}

cmake --build "$build" -j2 --target zirared_hash_bench >/dev/null
bench=$(find "$build" -type f -name zirared_hash_bench -perm -u+x | head -n 1)
[[ -n $bench ]] || { echo "hash_bench: zirared_hash_bench not built" >&2; exit 2; }

work=$(mktemp -d "$scratch_parent/zirared-hash-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$work/data.bin
echo "Creating $size_mib MiB of random data in $work ..."
head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$data"
bytes=$((size_mib * 1024 * 1024))

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/pipeline" >"$work/compute" >"$work/coreutils"
for ((round = 1; round <= rounds; round++)); do
    "$bench" "$data" >"$work/ours.out"
    awk '/^pipeline_mbps/ { print $2 }' "$work/ours.out" >>"$work/pipeline"
    awk '/^compute_mbps/ { print $2 }' "$work/ours.out" >>"$work/compute"
    start=$EPOCHREALTIME
    theirs=$(sha256sum "$data" | cut -d' ' -f1)
    end=$EPOCHREALTIME
    awk -v b="$bytes" -v s="$start" -v e="$end" 'BEGIN { printf "%.0f\n", b / 1e6 / (e - s) }' \
        >>"$work/coreutils"
    ours=$(awk '/^digest/ { print $2 }' "$work/ours.out")
    [[ $ours == "$theirs" ]] || { echo "hash_bench: digests differ: $ours $theirs" >&2; exit 1; }
done

pipeline=$(median <"$work/pipeline")
compute=$(median <"$work/compute")
coreutils=$(median <"$work/coreutils")
echo
echo "SHA-256 of $size_mib MiB in $scratch_parent, $rounds rounds (median MB/s; digests agree)"
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-40s %8s\n' "zirared, file read + hash thread" "$pipeline"
printf '%-40s %8s\n' "zirared, hash alone (in memory)" "$compute"
printf '%-40s %8s\n' "sha256sum (coreutils)" "$coreutils"
awk -v p="$pipeline" -v c="$coreutils" 'BEGIN { printf "zirared / sha256sum                      %8.2f x\n", p / c }'
exit 0

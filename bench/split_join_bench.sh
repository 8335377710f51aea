#!/usr/bin/env bash
# Times zirared-cli split and join against coreutils on the same data, in one run.
#
#   bench/split_join_bench.sh [path/to/zirared-cli]
#
# Environment:
#   ZIRARED_CLI        binary to measure (the argument wins; default build/cli/zirared-cli)
#   BENCH_SIZE_MIB     size of the random source file in MiB (default 1024)
#   BENCH_ROUNDS       rounds, the order alternating every round (default 5)
#   BENCH_DIR          scratch parent directory (default /dev/shm, tmpfs: no disk noise)
#
# References: split -b 1433600 -d -a 3 (same piece data size as --size 1) followed by sync -f
# for the split, cat of those pieces into one file followed by sync of that file for the
# join, cp of the source as the floor: zirared-cli puts what it wrote on disk before it says
# it is done, so the references do too (on tmpfs the syncs cost nothing). The digest
# list is measured against zirared itself: split --hash against split, and a join that
# verifies against the list against a join of a set without one. A join to standard output
# (--output -) into /dev/null is measured against cat of the same pieces into /dev/null, the
# two in turns within each round.
# Prints median seconds, median ratios and peak RSS, PASS/FAIL per target; exits 0
# whatever the figures say.
set -euo pipefail

# Targets on tmpfs, and (second value) on a folder backed by a disk, where the syncs count.
readonly SPLIT_TARGET_TMPFS=0.95 SPLIT_TARGET_DISK=1.15
readonly JOIN_TARGET_TMPFS=0.95 JOIN_TARGET_DISK=1.00
readonly HASH_SPLIT_TARGET=1.15
readonly VERIFIED_JOIN_TARGET=1.15
readonly STREAM_JOIN_TARGET=1.00
readonly RSS_TARGET_KIB=16384
readonly PIECE_BYTES=1433600

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${1:-${ZIRARED_CLI:-$repo_root/build/cli/zirared-cli}}
size_mib=${BENCH_SIZE_MIB:-1024}
rounds=${BENCH_ROUNDS:-5}
scratch_parent=${BENCH_DIR:-/dev/shm}

die() {
    echo "split_join_bench: $*" >&2
    exit 2
}

[[ -x $cli ]] || die "no executable zirared-cli at '$cli' (build it or pass its path)"
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing (Debian package 'time')"
[[ $size_mib =~ ^[0-9]+$ && $size_mib -ge 2 ]] || die "BENCH_SIZE_MIB must be a whole number >= 2"
[[ $rounds =~ ^[0-9]+$ && $rounds -ge 1 ]] || die "BENCH_ROUNDS must be a whole number >= 1"
[[ -d $scratch_parent ]] || die "no directory '$scratch_parent'"
if [[ $(stat -f -c %T "$scratch_parent") == tmpfs ]]; then
    readonly SPLIT_TARGET=$SPLIT_TARGET_TMPFS JOIN_TARGET=$JOIN_TARGET_TMPFS
else
    readonly SPLIT_TARGET=$SPLIT_TARGET_DISK JOIN_TARGET=$JOIN_TARGET_DISK
fi

# Source, the set the stream join reads, one piece set and one rebuilt file live at the
# same time.
needed_kib=$((size_mib * 1024 * 4 + 65536))
free_kib=$(df -Pk "$scratch_parent" | awk 'NR == 2 { print $4 }')
((free_kib >= needed_kib)) || die "need $((needed_kib / 1024)) MiB free in $scratch_parent"

work=$(mktemp -d "$scratch_parent/zirared-bench.XXXXXX")
trap '[[ -n ${BENCH_KEEP:-} ]] || rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

source_file=$work/source.bin
echo "Creating $size_mib MiB of random data in $work ..."
head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$source_file"

# Runs a command under /usr/bin/time -v with standard output to output_file; appends
# "wall_seconds rss_kib cpu_seconds" to the named record. CPU time (user + system) is
# printed beside wall time: on a busy shared machine it is the steadier of the two.
measure_into() {
    local output_file=$1 record=$2
    shift 2
    local report=$work/time.report
    local start=$EPOCHREALTIME
    /usr/bin/time -v -o "$report" "$@" >"$output_file" 2>"$work/stderr.log" ||
        die "failed: $*: $(cat "$work/stderr.log")"
    local end=$EPOCHREALTIME
    awk -F': ' -v s="$start" -v e="$end" '
        /Maximum resident set size/ { rss = $2 }
        /User time \(seconds\)/ { cpu += $2 }
        /System time \(seconds\)/ { cpu += $2 }
        END { printf "%.6f %d %.2f\n", e - s, rss, cpu }' "$report" >>"$work/$record"
}

measure() { measure_into /dev/null "$@"; }

run_zirared() {
    local dir=$work/zirared
    mkdir -p "$dir"
    ln "$source_file" "$dir/data.bin"  # a hard link: no copy, same bytes
    measure zirared_split "$cli" split --yes "$dir/data.bin"
    rm "$dir/data.bin"
    measure zirared_join "$cli" join --yes "$dir/data.000"
    if ((round == 1)); then
        cmp -s "$source_file" "$dir/data.bin" || die "zirared-cli join did not rebuild the source"
    fi
    rm -rf "$dir"
}

run_zirared_listed() {
    local dir=$work/listed
    mkdir -p "$dir"
    ln "$source_file" "$dir/data.bin"
    measure zirared_split_hash "$cli" split --hash --yes "$dir/data.bin"
    rm "$dir/data.bin"
    measure zirared_join_verified "$cli" join --yes "$dir/data.000"
    if ((round == 1)); then
        cmp -s "$source_file" "$dir/data.bin" || die "the verified join did not rebuild the source"
        (cd "$dir" && sha256sum --check --quiet data.bin.sha256) || die "sha256sum refused the list"
    fi
    rm -rf "$dir"
}

run_coreutils() {
    local dir=$work/coreutils
    mkdir -p "$dir"
    measure coreutils_split bash -c 'split -b "$1" -d -a 3 "$2" "$3/data." && sync -f "$3"' \
        split "$PIECE_BYTES" "$source_file" "$dir"
    measure coreutils_join bash -c 'cat "$1"/data.[0-9][0-9][0-9] >"$1/joined.bin" && sync "$1/joined.bin"' \
        join "$dir"
    rm -rf "$dir"
}

# The set both read stays from round to round; who goes first alternates.
run_stream() {
    local dir=$work/stream
    if [[ ! -d $dir ]]; then
        mkdir -p "$dir"
        ln "$source_file" "$dir/data.bin"
        "$cli" split --yes "$dir/data.bin" 2>/dev/null
        rm "$dir/data.bin"
        "$cli" join --output - "$dir/data.000" 2>/dev/null | cmp -s - "$source_file" ||
            die "zirared-cli join --output - did not send the source"
    fi
    local zirared=("$cli" join --output - "$dir/data.000")
    local reference=(bash -c 'cat "$1"/data.[0-9][0-9][0-9]' cat "$dir")
    if ((round % 2 == 1)); then
        measure zirared_join_stream "${zirared[@]}"
        measure cat_to_null "${reference[@]}"
    else
        measure cat_to_null "${reference[@]}"
        measure zirared_join_stream "${zirared[@]}"
    fi
}

run_cp() {
    measure cp_floor cp "$source_file" "$work/copy.bin"
    rm -f "$work/copy.bin"
}

sync
for ((round = 1; round <= rounds; round++)); do
    echo "Round $round of $rounds"
    if ((round % 2 == 1)); then
        run_zirared
        run_zirared_listed
        run_coreutils
    else
        run_coreutils
        run_zirared_listed
        run_zirared
    fi
    run_stream
    run_cp
done

column_of() { awk -v c="$2" '{ print $c }' "$work/$1"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
peak_rss() { awk 'BEGIN { m = 0 } $2 > m { m = $2 } END { print m }' "$work/$1"; }
# Per-round ratio of column c of two records, then the median of those ratios.
median_ratio() {
    paste -d' ' "$work/$1" "$work/$2" |
        awk -v c="$3" '{ d = $(c + 3); printf "%.6f\n", (d > 0) ? $c / d : 1 }' | median
}
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "PASS" : "FAIL" }'; }

split_ratio=$(median_ratio zirared_split coreutils_split 1)
join_ratio=$(median_ratio zirared_join coreutils_join 1)
hash_split_ratio=$(median_ratio zirared_split_hash zirared_split 1)
verified_join_ratio=$(median_ratio zirared_join_verified zirared_join 1)
stream_join_ratio=$(median_ratio zirared_join_stream cat_to_null 1)
# The spread of the per-round ratios: the machine is shared, one round can be off.
ratio_spread() {
    paste -d' ' "$work/$1" "$work/$2" |
        awk '{ r = ($4 > 0) ? $1 / $4 : 1; if (NR == 1 || r < lo) lo = r; if (NR == 1 || r > hi) hi = r }
             END { printf "%.3f .. %.3f", lo, hi }'
}
rss_kib=0
for record in zirared_split zirared_join zirared_split_hash zirared_join_verified \
    zirared_join_stream; do
    record_rss=$(peak_rss "$record")
    ((record_rss > rss_kib)) && rss_kib=$record_rss
done

echo
echo "Source: $size_mib MiB in $scratch_parent ($(stat -f -c %T "$scratch_parent")), $rounds rounds, binary $cli"
echo "Load average before the summary: $(cut -d' ' -f1-3 /proc/loadavg)"
# A verified copy runs three busy threads (the copy and two hashes): with fewer cores
# than that, the hashed ratios are bounded by the CPU ratio divided by the cores.
echo "Cores: $(nproc)"
printf '%-18s %14s %14s %14s\n' "command" "median wall s" "median CPU s" "peak RSS KiB"
for record in zirared_split coreutils_split zirared_join coreutils_join zirared_split_hash \
    zirared_join_verified zirared_join_stream cat_to_null cp_floor; do
    printf '%-18s %14.3f %14.2f %14d\n' "$record" "$(column_of "$record" 1 | median)" \
        "$(column_of "$record" 3 | median)" "$(peak_rss "$record")"
done
echo
echo "Median of the per-round ratios (wall time decides; CPU time shown for noise):"
printf 'split  zirared / split + sync    : %.3f  CPU %.3f  (target <= %s)  %s\n' \
    "$split_ratio" "$(median_ratio zirared_split coreutils_split 3)" "$SPLIT_TARGET" \
    "$(verdict "$split_ratio" "$SPLIT_TARGET")"
printf 'join   zirared / cat + sync      : %.3f  CPU %.3f  (target <= %s)  %s\n' \
    "$join_ratio" "$(median_ratio zirared_join coreutils_join 3)" "$JOIN_TARGET" \
    "$(verdict "$join_ratio" "$JOIN_TARGET")"
printf 'split --hash / split            : %.3f  CPU %.3f  (target <= %s)  %s\n' \
    "$hash_split_ratio" "$(median_ratio zirared_split_hash zirared_split 3)" \
    "$HASH_SPLIT_TARGET" "$(verdict "$hash_split_ratio" "$HASH_SPLIT_TARGET")"
printf 'join verified / join without list: %.3f  CPU %.3f  (target <= %s)  %s\n' \
    "$verified_join_ratio" "$(median_ratio zirared_join_verified zirared_join 3)" \
    "$VERIFIED_JOIN_TARGET" "$(verdict "$verified_join_ratio" "$VERIFIED_JOIN_TARGET")"
printf 'join --output - / cat, /dev/null: %.3f  CPU %.3f  (target <= %s)  %s  rounds %s\n' \
    "$stream_join_ratio" "$(median_ratio zirared_join_stream cat_to_null 3)" \
    "$STREAM_JOIN_TARGET" "$(verdict "$stream_join_ratio" "$STREAM_JOIN_TARGET")" \
    "$(ratio_spread zirared_join_stream cat_to_null)"
printf 'split  zirared / cp floor        : %.3f\n' "$(median_ratio zirared_split cp_floor 1)"
printf 'join   zirared / cp floor        : %.3f\n' "$(median_ratio zirared_join cp_floor 1)"
printf 'peak RSS of zirared-cli          : %d KiB  (target <= %d KiB)  %s\n' \
    "$rss_kib" "$RSS_TARGET_KIB" "$(verdict "$rss_kib" "$RSS_TARGET_KIB")"

# System calls per piece of one split and one join: counts, unlike times, do not depend on
# what else the machine is doing.
if command -v strace >/dev/null; then
    dir=$work/traced
    mkdir -p "$dir"
    ln "$source_file" "$dir/data.bin"
    strace -f -c -o "$work/split.strace" "$cli" split --yes "$dir/data.bin" >/dev/null 2>&1
    rm "$dir/data.bin"
    strace -f -c -o "$work/join.strace" "$cli" join --yes "$dir/data.000" >/dev/null 2>&1
    pieces=$(find "$dir" -name 'data.[0-9][0-9][0-9]' | wc -l)
    echo
    echo "System calls per piece ($pieces pieces), strace -c -f:"
    for operation in split join; do
        awk -v n="$pieces" -v op="$operation" '
            $NF ~ /^(openat|newfstatat|fstat|statx|read|write|copy_file_range|close)$/ {
                line = line sprintf(" %s %.2f", $NF, $4 / n) }
            END { print op ":" line }' "$work/$operation.strace"
    done
    rm -rf "$dir"
fi
exit 0

#!/usr/bin/env bash
# Piece sets cross between the Linux and the Windows build of zirared-cli, and both builds
# answer alike: the same texts, exit statuses and files for the same command.
#
#   interchange_test.sh LINUX_CLI WINDOWS_CLI WINE_RUNNER [large]
#
# WINE_RUNNER runs a Windows program (the Windows build's wine-run.sh, or wine64). Wine's
# drive Z: is the Linux root, so both programs work on the same files. With "large", a sparse
# source past 4 GiB crosses both ways instead; it needs about 9 GB free in TMPDIR.
set -uo pipefail

linux_cli=$1
windows_cli=$2
wine_runner=$3
mode=${4:-small}

work=$(mktemp -d "${TMPDIR:-/tmp}/zirared-interchange-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The Windows name of a Linux path, with backslashes unless windows_slash says otherwise.
windows_slash='\\'
windows_path() {
    local path=$1
    printf 'Z:%s' "${path//\//$windows_slash}"
}

# Runs one build with @D@ in the arguments standing for the folder dir; leaves the output
# (stdout, then stderr) in $dir.out and the status in $dir.status, outside the folder.
run_linux() {
    local dir=$1
    shift
    "$linux_cli" "${@//@D@/$dir}" </dev/null >"$dir.out" 2>&1
    echo $? >"$dir.status"
}

run_windows() {
    local dir=$1
    shift
    local windows_dir
    windows_dir=$(windows_path "$dir")
    "$wine_runner" "$windows_cli" "${@//@D@/$windows_dir}" </dev/null >"$dir.raw" 2>&1
    echo $? >"$dir.status"
    # Back to Linux terms: CR LF line ends (text mode) and Z:\ paths.
    sed -e 's/\r$//' -e 's#Z:[\/]#/#g' -e 's#\\#/#g' "$dir.raw" >"$dir.out"
}

# Names and SHA-256 of every file in a folder.
contents() {
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0r sha256sum)
}

# "così.età": the suffix "età" travels in the header as Windows-1252 bytes.
readonly accented=$'cos\xc3\xac.et\xc3\xa0'

source_file() {  # folder, bytes
    head -c "$2" /dev/urandom >"$1/$accented"
}

# setup functions make the folder's starting state.
setup_three_pieces() {
    source_file "$1" 3000000
    "$linux_cli" split --yes "$1/$accented" >/dev/null 2>&1
}
setup_source() { source_file "$1" 3000000; }
setup_small_source() { source_file "$1" 1000; }
setup_nothing() { :; }
setup_missing_piece() {
    setup_three_pieces "$1"
    rm "$1/cos"$'\xc3\xac'".001"
}
# A plain set of coreutils split, with md5sum's list of its pieces.
setup_coreutils_plain_set() {
    source_file "$1" 1000000
    (cd "$1" && split -b 100K -d -a 3 --numeric-suffixes=1 "$accented" "$accented." &&
        md5sum "$accented".0* >"$accented.md5" && rm "$accented")
}
setup_not_a_piece() { printf 'non sono un pezzo' >"$1/lettera.000"; }
setup_output_exists() {
    setup_three_pieces "$1"
    printf 'vecchio' >"$1/$accented"
}

# The same command in the same starting state, once per build: same text, same status,
# same files afterwards.
same_on_both() {
    local name=$1 setup=$2
    shift 2
    local dir=$work/$name
    local linux_result windows_result
    mkdir "$dir" && "$setup" "$dir"
    # The random source differs per setup: keep one and copy it for the second run.
    cp -a "$dir" "$dir.start"
    run_linux "$dir" "$@"
    linux_result="status $(cat "$dir.status")"$'\n'"$(cat "$dir.out")"$'\n'"$(contents "$dir")"
    rm -rf "$dir" && mv "$dir.start" "$dir"
    run_windows "$dir" "$@"
    windows_result="status $(cat "$dir.status")"$'\n'"$(cat "$dir.out")"$'\n'"$(contents "$dir")"
    if [[ $linux_result != "$windows_result" ]]; then
        fail "$name: the builds differ"
        diff <(echo "$linux_result") <(echo "$windows_result") >&2
    else
        echo "ok   $name"
    fi
    rm -rf "$dir" "$dir".*
}

# A set written by one build and joined by the other gives the source back byte for byte.
crosses() {
    local name=$1 splitter=$2 joiner=$3 bytes=$4 size=$5 folder=${6:-}
    local dir=$work/$name$folder
    mkdir -p "$dir"
    source_file "$dir" "$bytes"
    local expected
    expected=$(sha256sum <"$dir/$accented")
    "run_$splitter" "$dir" split --yes --size "$size" "@D@/$accented"
    [[ $(cat "$dir.status") == 0 ]] || fail "$name: $splitter split: $(cat "$dir.out")"
    rm "$dir/$accented"
    "run_$joiner" "$dir" join --yes "@D@/cos"$'\xc3\xac'".000"
    [[ $(cat "$dir.status") == 0 ]] || fail "$name: $joiner join: $(cat "$dir.out")"
    if [[ $(sha256sum <"$dir/$accented") == "$expected" ]]; then
        echo "ok   $name"
    else
        fail "$name: the rebuilt file differs from the source"
    fi
    rm -rf "$work/$name" "$dir".*
}

# As run_linux and run_windows, with standard input and output left to the pipeline (the data
# to split, the rebuilt bytes); the messages go to $dir.out.
piped_linux() {
    local dir=$1
    shift
    "$linux_cli" "${@//@D@/$dir}" 2>"$dir.out"
}

piped_windows() {
    local dir=$1
    shift
    "$wine_runner" "$windows_cli" "${@//@D@/$(windows_path "$dir")}" 2>"$dir.out"
}

# One build splits standard input, the other sends the set to standard output.
crosses_by_pipe() {
    local name=$1 splitter=$2 joiner=$3
    local dir=$work/$name
    mkdir -p "$dir"
    source_file "$dir" 3000000
    local expected
    expected=$(sha256sum <"$dir/$accented")
    mv "$dir/$accented" "$dir.source"
    cat "$dir.source" | "piped_$splitter" "$dir" split --name "@D@/$accented" - >/dev/null ||
        fail "$name: $splitter split of standard input: $(cat "$dir.out")"
    local sent
    sent=$("piped_$joiner" "$dir" join --output - "@D@/cos"$'\xc3\xac'".000" | sha256sum) ||
        fail "$name: $joiner join to standard output: $(cat "$dir.out")"
    if [[ $sent == "$expected" && ! -e $dir/$accented ]]; then
        echo "ok   $name"
    else
        fail "$name: the bytes sent differ from the source, or a file was written"
    fi
    rm -rf "$dir" "$dir".*
}

# Folders nested past the 260 characters of the classic Windows limit.
deep_folder() {
    local folder="" level
    for level in 1 2 3 4 5 6 7 8 9 10 11 12; do
        folder+="/cartella-annidata-numero-$level"
    done
    echo "$folder"
}

small_cases() {
    crosses linux_split_windows_join linux windows 3000000 1
    crosses windows_split_linux_join windows linux 3000000 1
    crosses exact_multiple_last_piece_header_only linux windows 2867200 1
    crosses_by_pipe pipe_linux_split_windows_join linux windows
    crosses_by_pipe pipe_windows_split_linux_join windows linux
    crosses long_path_linux_split_windows_join linux windows 3000000 1 "$(deep_folder)"
    crosses long_path_windows_split_linux_join windows linux 3000000 1 "$(deep_folder)"
    windows_slash=/
    crosses forward_slashes_windows_split_linux_join windows linux 3000000 1
    same_on_both forward_slashes_check setup_three_pieces check "@D@/cos"$'\xc3\xac'".000"
    windows_slash='\\'
    same_on_both split_writes_the_same_pieces setup_source split --yes "@D@/$accented"
    same_on_both split_without_terminal_declines setup_source split "@D@/$accented"
    same_on_both split_refuses_a_small_source setup_small_source split --yes "@D@/$accented"
    same_on_both split_of_a_missing_file setup_nothing split --yes "@D@/nessuno.doc"
    same_on_both split_refuses_a_piece setup_three_pieces split --yes "@D@/cos"$'\xc3\xac'".000"
    same_on_both join_with_deletion setup_three_pieces \
        join --yes --delete-pieces "@D@/cos"$'\xc3\xac'".000"
    same_on_both join_replaces_an_existing_output setup_output_exists \
        join --yes "@D@/cos"$'\xc3\xac'".000"
    same_on_both join_stops_at_a_missing_piece setup_missing_piece \
        join --yes "@D@/cos"$'\xc3\xac'".000"
    same_on_both split_plain_writes_the_same_pieces setup_source \
        split --plain --hash --yes "@D@/$accented"
    same_on_both join_of_a_coreutils_set_with_md5sum setup_coreutils_plain_set \
        join --yes "@D@/$accented.001"
    same_on_both join_refuses_a_non_piece setup_not_a_piece join --yes "@D@/lettera.000"
    same_on_both check_of_a_whole_set setup_three_pieces check "@D@/cos"$'\xc3\xac'".000"
    same_on_both check_of_a_broken_set setup_missing_piece check "@D@/cos"$'\xc3\xac'".000"
    same_on_both usage_error setup_nothing split --size 2996 "@D@/a.doc"
    same_on_both version setup_nothing --version
    same_on_both help setup_nothing --help
}

# A source past 4 GiB, sparse on Linux with data at the start, at 2 GiB and 4 GiB and at the
# end; 40-unit pieces (75 of them) from Linux to Windows, fat32 pieces (one just under 4 GiB)
# from Windows to Linux (Linux's own fat32 round trip is in the engine's large tests).
# Each run deletes its pieces as it joins, so the disk holds at most the pieces and the
# rebuilt file (about 8.6 GB).
large_cases() {
    local dir=$work/large
    mkdir "$dir"
    local source=$dir/$accented
    local length=$((4 * 1024 * 1024 * 1024 + 123457))
    truncate -s "$length" "$source"
    local offset
    for offset in 0 $((2 * 1024 * 1024 * 1024 - 4096)) $((4 * 1024 * 1024 * 1024 - 4096)) \
        $((length - 1048576)); do
        head -c 1048576 /dev/urandom | dd of="$source" bs=4096 seek=$((offset / 4096)) \
            conv=notrunc status=none
    done
    truncate -s "$length" "$source"
    local expected
    expected=$(sha256sum <"$source")
    mv "$source" "$dir.source"
    local run splitter joiner size
    for run in "linux 40" "windows fat32"; do
        read -r splitter size <<<"$run"
        joiner=$([[ $splitter == linux ]] && echo windows || echo linux)
        ln "$dir.source" "$source"
        "run_$splitter" "$dir" split --yes --size "$size" "@D@/$accented"
        [[ $(cat "$dir.status") == 0 ]] || fail "large $splitter split: $(cat "$dir.out")"
        rm "$source"
        "run_$joiner" "$dir" join --yes --delete-pieces "@D@/cos"$'\xc3\xac'".000"
        [[ $(cat "$dir.status") == 0 ]] || fail "large $joiner join: $(cat "$dir.out")"
        if [[ $(stat -c %s "$source") == "$length" && $(sha256sum <"$source") == "$expected" ]]
        then
            echo "ok   large_${splitter}_split_${size}_${joiner}_join"
        else
            fail "large $splitter split --size $size, $joiner join: the rebuilt file differs"
        fi
        rm -f "$source" "$dir"/*
    done
}

if [[ $mode == large ]]; then
    large_cases
else
    small_cases
fi
((failures == 0)) || { echo "$failures failed" >&2; exit 1; }

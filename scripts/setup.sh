#!/usr/bin/env bash
# Sets up a Debian machine for Zirared, builds it, then runs it or its tests.
#
#   scripts/setup.sh run    install what is missing, build the programs (not the tests) into
#                           build/, start the program
#   scripts/setup.sh test   install what is missing, then run the test stages: build-test/
#                           (warnings as errors, every test but those writing gigabytes),
#                           build-sanitize/ (AddressSanitizer and UndefinedBehaviorSanitizer),
#                           the fuzzers when they exist, and build-windows/ (zirared-cli.exe
#                           and its tests under Wine, the interchange with the Linux build and
#                           the tests writing gigabytes); every stage runs, and the exit
#                           status is non-zero if any failed
#
# Safe to run again: packages are installed only when missing and builds are incremental.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

# Everything the build, the tests and the benchmarks need. Add new needs here.
readonly PACKAGES=(
    build-essential cmake g++ pkg-config   # compiler and build system
    googletest libgtest-dev libgmock-dev   # find_package(GTest)
    qt6-base-dev qt6-svg-dev libgl-dev     # the window; Qt's CMake package needs OpenGL headers
    qt6-translations-l10n                  # Qt's own buttons and file dialog in Italian
    fonts-liberation fonts-dejavu-core     # the strip's Arial is Liberation Sans; a default font
    xvfb xauth xdotool                     # window tests and xvfb-run
    openbox                                # bench/window_bench.sh: a window manager on Xvfb
    time                                   # /usr/bin/time -v in bench/
    libssl-dev                             # SHA-256 of the digest lists (OpenSSL 3 libcrypto)
    clang libclang-rt-14-dev               # libFuzzer for tests/fuzz/
    dpkg-dev desktop-file-utils            # the package: dpkg-shlibdeps, desktop-file-validate
    lintian shared-mime-info libglib2.0-bin # the package: lintian, MIME database, gio
    appstream                              # the package: appstreamcli validate
    g++-mingw-w64-x86-64-posix wine64      # zirared-cli.exe, cross-built and run under Wine
    python3                                # its console test drives a pseudo-terminal
)

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly repo_root

usage() {
    echo "Uso: scripts/setup.sh run|test" >&2
    echo "  run   installa quanto manca, compila in build/ e avvia il programma" >&2
    echo "  test  installa quanto manca, compila in build-test/ ed esegue i test" >&2
    exit 2
}

say() { echo "==> $*"; }

as_root() {
    if [[ $EUID -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "setup.sh: root rights needed for: $* (run as root or install sudo)" >&2
        exit 1
    fi
}

missing_packages() {
    local package
    for package in "${PACKAGES[@]}"; do
        if [[ $(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null) != installed ]]; then
            echo "$package"
        fi
    done
}

install_missing_packages() {
    command -v dpkg-query >/dev/null || {
        echo "setup.sh: this script expects Debian (dpkg and apt-get)" >&2
        exit 1
    }
    local missing
    mapfile -t missing < <(missing_packages)
    if ((${#missing[@]} == 0)); then
        say "All packages present"
        return
    fi
    say "Installing: ${missing[*]}"
    as_root apt-get -o DPkg::Lock::Timeout=600 update
    as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get -o DPkg::Lock::Timeout=600 install -y "${missing[@]}" </dev/null
}

build() {
    local build_dir=$1
    shift
    say "Configuring $build_dir"
    cmake -S "$repo_root" -B "$build_dir" "$@" || return
    say "Building $build_dir"
    cmake --build "$build_dir" -j "$(nproc)"
}

run_program() {
    local build_dir=$repo_root/build
    # Only what is started: the tests take minutes to build and belong to "test".
    build "$build_dir" -DZIRARED_BUILD_TESTS=OFF
    local window=$build_dir/window/zirared
    local cli=$build_dir/cli/zirared-cli
    if [[ -x $window && ( -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ) ]]; then
        say "Starting $window"
        exec "$window"
    fi
    if [[ -x $window ]]; then
        say "No display: start the window with  xvfb-run $window  (or from a desktop session)"
    else
        say "The window was not built; here is the terminal tool"
    fi
    "$cli" --help
}

# Test stages. Each runs to its end whatever the others did; run_tests adds up the results.
readonly SANITIZER_STATUS=66  # the exit status of a sanitizer report, unlike any of ours

total_passed=0
total_failed=0
total_skipped=0
stage_summaries=()

# Runs ctest with its arguments, shows its log and adds its closing counts to the totals.
# A run that counted nothing (a broken build of the tests) counts as one failure.
run_ctest() {
    local log
    log=$(mktemp)
    local status=0
    ctest "$@" 2>&1 | tee "$log" || status=$?
    local summary skipped
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    skipped=$(grep -cE '\(Skipped\)$' "$log" || true)
    rm -f "$log"
    if [[ $summary =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        total_failed=$((total_failed + BASH_REMATCH[1]))
        total_skipped=$((total_skipped + skipped))
        total_passed=$((total_passed + BASH_REMATCH[2] - BASH_REMATCH[1] - skipped))
    else
        total_failed=$((total_failed + 1))
        status=1
    fi
    return "$status"
}

# A build or set-up step that failed before any test ran.
count_broken_stage() {
    total_failed=$((total_failed + 1))
    return 1
}

# The build that users get, warnings as errors, every test.
main_stage() {
    local build_dir=$repo_root/build-test
    build "$build_dir" -DZIRARED_WARNINGS_AS_ERRORS=ON || count_broken_stage || return 1
    # The interchange with the Windows build runs in the Windows stage, once that is built;
    # so do the tests that write gigabytes (label large).
    QT_QPA_PLATFORM=offscreen run_ctest --test-dir "$build_dir" --output-on-failure -j 2 \
        -LE 'windows|large'
}

# The same sources and tests with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer;
# any report ends the process with SANITIZER_STATUS, so the test that ran it fails. The window
# tests are included: on 2 cores they add about 4 minutes of build and 25 s of tests to this
# stage. The package is checked in the main stage only.
sanitizer_stage() {
    local build_dir=$repo_root/build-sanitize
    # Exported before the build: test discovery runs the test programs while building.
    local -x ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:exitcode=$SANITIZER_STATUS:check_initialization_order=1:strict_string_checks=1"
    local -x UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=$SANITIZER_STATUS"
    build "$build_dir" -DZIRARED_SANITIZE=ON -DZIRARED_WARNINGS_AS_ERRORS=ON ||
        count_broken_stage || return 1
    QT_QPA_PLATFORM=offscreen run_ctest --test-dir "$build_dir" --output-on-failure -j 2 \
        -LE 'package|large'
}

# Each libFuzzer target for 30 seconds, from its seed corpus, in a clang tree of its own.
fuzz_stage() {
    if bash "$repo_root/tests/fuzz/run_fuzzers.sh" 30; then
        total_passed=$((total_passed + 1))
    else
        total_failed=$((total_failed + 1))
        return 1
    fi
}

# zirared-cli.exe and the engine cross-built with mingw-w64 into build-windows/, their tests
# run under Wine (headless, a Wine prefix inside the build directory), then the Linux build of
# the main stage against the .exe: sets crossing both ways, a source past 4 GiB included.
windows_stage() {
    local build_dir=$repo_root/build-windows
    build "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo_root/cmake/toolchain-mingw-w64.cmake" \
        -DZIRARED_BUILD_WINDOW=OFF -DZIRARED_WARNINGS_AS_ERRORS=ON || count_broken_stage ||
        return 1
    local status=0
    # Wine now and then fails a file operation that passes on a second run; a real fault
    # fails both.
    run_ctest --test-dir "$build_dir" --output-on-failure -j 2 --repeat until-pass:2 || status=1
    local linux_build=$repo_root/build-test
    build "$linux_build" -DZIRARED_WINDOWS_CLI="$build_dir/cli/zirared-cli.exe" ||
        count_broken_stage || return 1
    run_ctest --test-dir "$linux_build" --output-on-failure -L 'windows|large' || status=1
    return "$status"
}

# Runs one stage with its name and duration; its failure is remembered, not fatal.
run_stage() {
    local name=$1 function=$2
    say "Stage: $name"
    local started=$SECONDS
    local result=passed
    # errexit does not hold inside a function called in a condition: each stage checks itself.
    "$function" || result=FAILED
    local seconds=$((SECONDS - started))
    stage_summaries+=("$(printf '%-24s %-7s %4d:%02d' "$name" "$result" $((seconds / 60)) $((seconds % 60)))")
    say "Stage $name: $result in $((seconds / 60)) min $((seconds % 60)) s"
    [[ $result == passed ]]
}

run_tests() {
    local status=0
    run_stage "build and tests" main_stage || status=1
    run_stage "sanitizers" sanitizer_stage || status=1
    run_stage "fuzzers" fuzz_stage || status=1
    run_stage "windows" windows_stage || status=1
    say "Stages:"
    printf '    %s\n' "${stage_summaries[@]}"
    # The closing line that CI reads: every test of every stage.
    echo "Summary: $total_passed passed, $total_failed failed, $total_skipped skipped"
    exit "$status"
}

main() {
    (($# == 1)) || usage
    case $1 in
        run)
            install_missing_packages
            run_program
            ;;
        test)
            install_missing_packages
            run_tests
            ;;
        *) usage ;;
    esac
}

main "$@"

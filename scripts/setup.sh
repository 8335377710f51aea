#!/usr/bin/env bash
# Sets up a Debian machine for Zirared, builds it, then runs it or its tests.
#
#   scripts/setup.sh run    install what is missing, build into build/, start the program
#   scripts/setup.sh test   install what is missing, build into build-test/ with warnings
#                           as errors, run every test; the exit status is ctest's
#
# Safe to run again: packages are installed only when missing and builds are incremental.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

# Everything the build, the tests and the benchmarks need. Add new needs here.
readonly PACKAGES=(
    build-essential cmake g++ pkg-config   # compiler and build system
    googletest libgtest-dev libgmock-dev   # find_package(GTest)
    qt6-base-dev qt6-svg-dev libgl-dev     # the window; Qt's CMake package needs OpenGL headers
    fonts-liberation fonts-dejavu-core     # the strip's Arial is Liberation Sans; a default font
    xvfb xauth xdotool                     # window tests and xvfb-run
    time                                   # /usr/bin/time -v in bench/
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
    cmake -S "$repo_root" -B "$build_dir" "$@"
    say "Building $build_dir"
    cmake --build "$build_dir" -j "$(nproc)"
}

run_program() {
    local build_dir=$repo_root/build
    build "$build_dir"
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

run_tests() {
    local build_dir=$repo_root/build-test
    build "$build_dir" -DZIRARED_WARNINGS_AS_ERRORS=ON
    export QT_QPA_PLATFORM=offscreen
    say "Running the tests"
    local status=0
    ctest --test-dir "$build_dir" --output-on-failure -j 2 || status=$?
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

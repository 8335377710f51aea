#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks what a user would install.
#
#   tests/package/check_deb.sh BUILD_DIR VERSION
#
# cpack writes into a scratch directory (the build tree gets no .deb), the package is
# unpacked with dpkg-deb -x into a scratch root, and the checks run on that root and on the
# control fields; lintian then judges the package and any error or warning fails the test.
# Exit status 77 when the Debian tools are missing (the test is skipped).
set -euo pipefail

if (($# != 2)); then
    echo "usage: $0 BUILD_DIR VERSION" >&2
    exit 2
fi
build_dir=$1
version=$2

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg lintian; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (install dpkg-dev and lintian)"
        exit 77
    fi
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zirared-deb-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack did not build the package" >&2
    exit 1
}

architecture=$(dpkg --print-architecture)
deb=$scratch/out/zirared_${version}_${architecture}.deb
if [[ ! -f $deb ]]; then
    echo "FAIL: no $(basename "$deb"); cpack wrote:" >&2
    ls -l "$scratch/out" >&2
    exit 1
fi
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == zirared ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', not $version"
[[ $(field Architecture) == "$architecture" ]] || fail "Architecture is '$(field Architecture)'"
# (Output is captured before grep -q looks at it: with pipefail, an early exit of grep would
# make the writer fail on a closed pipe and turn a match into a miss.)
if grep -qE '^[[:space:]]*;' <<<"$(field Description)"; then
    fail "the long description has lines starting with ';' (a CMake list, not one string)"
fi
depends=$(field Depends)
echo "Depends: $depends"
# One entry per line, without version constraints or alternatives.
mapfile -t dependencies < <(tr ',|' '\n' <<<"$depends" | sed -E 's/\(.*\)//; s/[[:space:]]//g' |
    grep -v '^$')
depends_on() {
    local pattern=$1 dependency
    for dependency in "${dependencies[@]}"; do
        [[ $dependency =~ ^$pattern$ ]] && return 0
    done
    return 1
}
# Found by dpkg-shlibdeps from the binaries (Debian 13 names them with a t64 suffix).
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libqt6network6 libssl3 \
    libstdc\\+\\+6 libc6; do
    depends_on "$library(t64)?" || fail "Depends lacks ${library//\\/}"
done
# The strip's font is loaded by name, so no library dependency brings it in.
depends_on fonts-liberation || fail "Depends lacks fonts-liberation"
# Nor do Qt's Italian translations, which the window loads from Qt's folder.
depends_on qt6-translations-l10n || fail "Depends lacks qt6-translations-l10n"

# Debian shows the long description in 80 columns, one leading blank included.
while IFS= read -r line; do
    ((${#line} <= 80)) || fail "description line longer than 80 columns: '$line'"
done < <(dpkg-deb -I "$deb" control | sed -n '/^Description:/,/^[^ ]/p' | sed '$!b; /^[^ ]/d')

# Contents: the two programs, the desktop entry and the AppStream component (both named by
# the program's desktop id), the icon in two forms, the MIME type of pieces, a manual page
# for each program, and the copyright and changelog Debian asks for.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
metainfo=$(find "$root/usr/share/metainfo" -name '*.metainfo.xml' 2>/dev/null | head -n 1)
app_id=$(basename "${metainfo:-none.metainfo.xml}" .metainfo.xml)
# Reverse-DNS, lower case, as AppStream asks of an id.
[[ $app_id =~ ^[a-z0-9]+(\.[a-z0-9_]+){2,}$ ]] || fail "AppStream id '$app_id' is not reverse-DNS"
expected_files=(
    ./usr/bin/zirared
    ./usr/bin/zirared-cli
    "./usr/share/applications/$app_id.desktop"
    ./usr/share/doc/zirared/changelog.gz
    ./usr/share/doc/zirared/copyright
    ./usr/share/icons/hicolor/32x32/apps/zirared.png
    ./usr/share/icons/hicolor/scalable/apps/zirared.svg
    ./usr/share/man/man1/zirared-cli.1.gz
    ./usr/share/man/man1/zirared.1.gz
    "./usr/share/metainfo/$app_id.metainfo.xml"
    ./usr/share/mime/packages/zirared.xml
)
actual_files=$(cd "$root" && find . -type f | LC_ALL=C sort)
if [[ $actual_files != "$(printf '%s\n' "${expected_files[@]}" | LC_ALL=C sort)" ]]; then
    fail "unexpected contents:"$'\n'"$actual_files"
fi
for program in zirared zirared-cli; do
    [[ -x $root/usr/bin/$program ]] || fail "usr/bin/$program is not executable"
done

# The installed terminal tool runs with the system's libraries, not the build tree's.
cli_version=$("$root/usr/bin/zirared-cli" --version 2>&1) || fail "zirared-cli --version failed"
[[ $cli_version == "zirared-cli $version" ]] ||
    fail "zirared-cli --version printed '$cli_version'"
for program in zirared zirared-cli; do
    if grep -qE 'R(UN)?PATH' <<<"$(readelf -d "$root/usr/bin/$program")"; then
        fail "usr/bin/$program keeps a build-tree RPATH"
    fi
    if grep -qE '\.debug_|\.symtab' <<<"$(readelf -S "$root/usr/bin/$program")"; then
        fail "usr/bin/$program is not stripped"
    fi
done

# The menu entry is valid and names what the package installs.
desktop=$root/usr/share/applications/$app_id.desktop
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
fi
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -x $root/usr/bin/$exec_name ]] || fail "Exec=$exec_name is not in usr/bin"
[[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon_name.svg ]] ||
    fail "Icon=$icon_name has no hicolor icon"

# The desktop entry opens piece files, whose MIME type the package defines.
[[ $(sed -n 's/^Exec=//p' "$desktop") == *%f* ]] || fail "Exec= takes no file (%f)"
mime_type=$(sed -n 's/^MimeType=\([^;]*\);.*/\1/p' "$desktop")
mime_xml=$root/usr/share/mime/packages/zirared.xml
grep -q "<mime-type type=\"$mime_type\">" "$mime_xml" ||
    fail "MimeType=$mime_type is not defined in zirared.xml"

# A desktop knows a piece by its first seven bytes whatever its name, and never by the name
# alone: real pieces of foto.jpeg and LEGGIMI (foto.j000, LEGG000) are pieces, a plain.000
# of random bytes is not. The installed type goes into a scratch MIME database next to the
# system's; gio answers as a file manager would.
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
    mime_data=$scratch/mime-data
    mkdir -p "$mime_data/mime/packages" "$scratch/files"
    cp "$mime_xml" "$mime_data/mime/packages/"
    update-mime-database "$mime_data/mime" >/dev/null
    type_of() {
        XDG_DATA_HOME=$mime_data XDG_DATA_DIRS=/usr/share gio info -a standard::content-type "$1" |
            sed -n 's/^ *standard::content-type: //p'
    }
    for source in foto.jpeg LEGGIMI; do
        head -c 1500000 /dev/urandom >"$scratch/files/$source"
        "$root/usr/bin/zirared-cli" split --yes "$scratch/files/$source" >/dev/null 2>&1 ||
            fail "zirared-cli could not split $source"
    done
    head -c 1500000 /dev/urandom >"$scratch/files/plain.000"
    declare -A expected_type=([foto.j000]=$mime_type [foto.j001]=$mime_type
        [LEGG000]=$mime_type [plain.000]=application/octet-stream)
    for name in "${!expected_type[@]}"; do
        actual_type=$(type_of "$scratch/files/$name")
        [[ $actual_type == "${expected_type[$name]}" ]] ||
            fail "$name is typed '$actual_type', not ${expected_type[$name]}"
    done
fi

# The AppStream component: clean for appstreamcli, with the desktop entry as its launchable,
# both programs and the piece type among what it provides, and one release for each entry
# of the changelog, same version and date, newest first.
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli rejects $metainfo"
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the installed tree"
    component=$(<"$metainfo")
    for provided in "<id>$app_id</id>" "<launchable type=\"desktop-id\">$app_id.desktop<" \
        '<binary>zirared</binary>' '<binary>zirared-cli</binary>' \
        "<mediatype>$mime_type</mediatype>"; do
        [[ $component == *"$provided"* ]] || fail "$app_id.metainfo.xml lacks $provided"
    done
    releases=$(sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' <<<"$component")
    changelog_releases=$(zcat "$root/usr/share/doc/zirared/changelog.gz" |
        sed -n 's/^zirared (\([^)]*\)).*/\1/p; s/^ -- .*>  //p' | paste -d ' ' - - |
        while read -r release_version release_date; do
            echo "$release_version $(date -u -d "$release_date" +%F)"
        done)
    [[ -n $releases && $releases == "$changelog_releases" ]] ||
        fail "metainfo releases '$releases' differ from the changelog's '$changelog_releases'"
fi

# Both programs answer --help and --version without a display (the window too), and the
# manual pages document every option the programs list in their --help.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
window_version=$("${headless[@]}" "$root/usr/bin/zirared" --version 2>&1) ||
    fail "zirared --version failed without a display: $window_version"
[[ $window_version == "zirared $version" ]] || fail "zirared --version printed '$window_version'"
for program in zirared zirared-cli; do
    page=$(zcat "$root/usr/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
    help=$("${headless[@]}" "$root/usr/bin/$program" --help 2>&1) ||
        fail "$program --help failed without a display"
    for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        grep -qF -- "$option" <<<"$page" || fail "$program.1 does not document $option"
    done
done

# The changelog's latest entry is this version.
changelog_version=$(zcat "$root/usr/share/doc/zirared/changelog.gz" |
    sed -n '1s/^zirared (\([^)]*\)).*/\1/p')
[[ $changelog_version == "$version" ]] ||
    fail "changelog.gz starts with version '$changelog_version', not $version"

# Debian's own judgement: any error or warning fails. (Root is the user in CI.)
if ! lintian --allow-root --fail-on error,warning --tag-display-limit 0 "$deb"; then
    fail "lintian reports errors or warnings"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"

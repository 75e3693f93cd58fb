#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows release of Vertlin on Debian and tests it under Wine:
#  1. a minimal Qt for MinGW-w64 and a static Hunspell, each built once into
#     a cache folder outside the repository and reused while its version and
#     options stay the same;
#  2. Vertlin with cmake/mingw-w64-x86_64.cmake, into build-win/;
#  3. the unit and fuzz tests under Wine, the converter against the native
#     one, one smoke test of the window under Wine and Xvfb;
#  4. vertlin-<version>-win64.zip and the NSIS installer (CPack), each tried in
#     a fresh Wine prefix.
# The cache: $VERTLIN_WINDOWS_CACHE, by default ~/.cache/vertlin-windows
# ($XDG_CACHE_HOME when set). A failure fails the script; a check that cannot
# run on this machine (no X server for the smoke test) is skipped with a message.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VERTLIN_WINDOWS_BUILD_DIR:-$root/build-win}
cache=${VERTLIN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vertlin-windows}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

say() { echo "windows.sh: $*" >&2; }

# Qt's host tools (moc, rcc, uic) come from the host Qt, so the two versions
# must match; the source is Debian's, fetched through a source list of our own.
qt_version=6.4.2
qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF
    -DFEATURE_zstd=OFF -DFEATURE_freetype=ON -DFEATURE_direct2d=OFF
    # Without these three and INPUT_opengl=no dynamic GL stays on and fails.
    -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF -DINPUT_opengl=no
    # qwindows.dll does not link with DirectWrite 3.
    -DFEATURE_directwrite3=OFF
    # Debian's source lacks a header the Windows tablet support needs.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF
)
qt_key=$( (echo "$qt_version"; printf '%s\n' "${qt_options[@]}"; grep -v '^#' "$toolchain") \
          | sha256sum | cut -c1-12)
qt_prefix=$cache/qt-$qt_version-$qt_key

# fetch_source PACKAGE VERSION FOLDER: Debian's source package into FOLDER,
# through a source list and package lists of our own, so that the machine's
# apt setup stays as it is; the host's own revision, or the release's when the
# archive has moved on.
fetch_source() {
    local package=$1 version=$2 work=$3 uri suite
    mkdir -p "$work/apt/lists/partial"
    read -r uri suite < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' \
        'Created-By: Packages' 'COMPONENT: main' 2>/dev/null | grep -v -- '-security\|-updates' | head -1) \
        || true
    echo "deb-src ${uri:-http://deb.debian.org/debian/} ${suite:-bookworm} main" > "$work/apt/sources.list"
    local apt_options=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                       -o "Dir::State::Lists=$work/apt/lists" -o APT::Sandbox::User=root -qq)
    apt-get "${apt_options[@]}" update
    (cd "$work" && { apt-get "${apt_options[@]}" source "$package=$version" \
                     || apt-get "${apt_options[@]}" source "$package"; } >"$work/source.log" 2>&1) \
        || { cat "$work/source.log" >&2; return 1; }
}

build_qt() {
    if [ -f "$qt_prefix/.complete" ]; then
        say "Qt $qt_version for MinGW: cached in $qt_prefix"
        return
    fi
    say "Qt $qt_version for MinGW: building once into $qt_prefix (12 to 14 minutes on 2 idle cores)"
    local host_qt work=$cache/work-$qt_key
    host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
    case $host_qt in
        "$qt_version"*) ;;
        *) say "the host Qt is '${host_qt:-missing}', not $qt_version: its tools cannot build Qt $qt_version"
           return 1 ;;
    esac
    rm -rf "$work" "$qt_prefix"
    fetch_source qt6-base "$host_qt" "$work"
    cmake -G Ninja -S "$work"/qt6-base-*/ -B "$work/build" --log-level=WARNING \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${qt_options[@]}" >"$work/configure.log"
    nice -n 10 cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" \
        || { tail -40 "$work/build.log" >&2; say "Qt's build failed; its folder is kept: $work"; return 1; }
    cmake --install "$work/build" >/dev/null
    touch "$qt_prefix/.complete"
    rm -rf "$work"
}

# Hunspell, for the spelling check, from Debian's source too: its library's
# sources compiled straight into a static library (no DLL to ship).
hunspell_version=1.7.1

# compile_hunspell SOURCE PREFIX PACKAGE: the library, its headers and its
# notice, which names the source PACKAGE and the one change made to it.
compile_hunspell() {
    local source=$1 prefix=$2 src=$1/src/hunspell
    # Hunspell opens a UTF-8 path after the \\?\ prefix through the wide
    # Windows API only when built with MSVC; MinGW's C++ library can as well.
    sed -i 's/^#if defined(_WIN32) && defined(_MSC_VER)$/#if defined(_WIN32)/' "$src/csutil.cxx"
    grep -q '^#if defined(_WIN32)$' "$src/csutil.cxx" \
        || { say "Hunspell's csutil.cxx has changed: its wide path open is not enabled"; return 1; }
    mkdir -p "$prefix/include/hunspell" "$prefix/lib" "$prefix/share/doc/hunspell" "$source/obj"
    printf '%s\n' "$src"/*.cxx | nice -n 10 xargs -P "$jobs" -I{} sh -c \
        'x86_64-w64-mingw32-g++-posix -O2 -DHUNSPELL_STATIC -c "$1" -o "$2/$(basename "$1" .cxx).o"' \
        sh {} "$source/obj" || { say "Hunspell's build failed; its folder is kept: $source"; return 1; }
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libhunspell.a" "$source"/obj/*.o
    cp "$src"/{hunspell.hxx,hunspell.h,w_char.hxx,atypes.hxx} "$prefix/include/hunspell/"
    # A static library: its users import nothing.
    { echo '#define HUNSPELL_STATIC'; cat "$src/hunvisapi.h"; } >"$prefix/include/hunspell/hunvisapi.h"
    { echo "Hunspell $hunspell_version, from Debian's source package $3, is linked into"
      echo "vertlin.exe and vertlin-convert.exe, under the Mozilla Public License 1.1 below."
      echo "One change: src/hunspell/csutil.cxx opens a path given after the \\\\?\\ prefix"
      echo "through the wide Windows API with MinGW too, not only with MSVC."
      echo; cat "$source/debian/copyright"; } >"$prefix/share/doc/hunspell/copyright"
}
hunspell_key=$( (echo "$hunspell_version"; declare -f compile_hunspell; grep -v '^#' "$toolchain") \
                | sha256sum | cut -c1-12)
hunspell_prefix=$cache/hunspell-$hunspell_version-$hunspell_key

build_hunspell() {
    if [ -f "$hunspell_prefix/.complete" ]; then
        say "Hunspell $hunspell_version for MinGW: cached in $hunspell_prefix"
        return
    fi
    say "Hunspell $hunspell_version for MinGW: building once into $hunspell_prefix"
    local work=$cache/work-$hunspell_key host
    host=$(dpkg-query -W -f='${Version}' libhunspell-dev 2>/dev/null || true)
    rm -rf "$work" "$hunspell_prefix"
    fetch_source hunspell "${host:-$hunspell_version}" "$work"
    [ -d "$work/hunspell-$hunspell_version" ] \
        || { say "Debian's source of Hunspell is not $hunspell_version: $(ls "$work")"; return 1; }
    compile_hunspell "$work/hunspell-$hunspell_version" "$hunspell_prefix" \
        "$(basename "$work"/hunspell_*.dsc .dsc)" || return 1
    touch "$hunspell_prefix/.complete"
    rm -rf "$work"
}

# The runtime DLLs of MinGW and the cross-built Qt, for programs run from the
# build tree; Wine maps Z: to the root of the file system.
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
mingw_dll_dirs() {
    local dll
    for dll in libstdc++-6.dll libwinpthread-1.dll; do
        dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)"
    done
}

# start_wine PREFIX: a Wine prefix made ready, its server and services
# started first and detached from our output (a test's pipe left open by them
# would keep ctest waiting), the server kept running so that every program
# does not pay for starting it again.
start_wine() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' WINEARCH=win64
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot </dev/null >/dev/null 2>&1
    wine_prefixes+=("$WINEPREFIX")
}
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
wine_prefixes=()

# Whatever ends the script leaves no Wine server or X server running.
cleanup() {
    local prefix
    for prefix in "${wine_prefixes[@]}"; do
        WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    done
    stop_xvfb
}
trap cleanup EXIT

build_vertlin() {
    say "Vertlin for Windows: configuring and building into $build"
    cmake -G Ninja -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_PREFIX_PATH="$qt_prefix" -DCMAKE_BUILD_TYPE=Release \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DVERTLIN_BUILD_BENCHMARKS=OFF -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
        -DVERTLIN_SPELLING=ON -DHUNSPELL_INCLUDE_DIR="$hunspell_prefix/include" \
        -DHUNSPELL_LIBRARY="$hunspell_prefix/lib/libhunspell.a" >/dev/null
    nice -n 10 cmake --build "$build" --parallel "$jobs" >"$build/build.log" \
        || { tail -40 "$build/build.log" >&2; return 1; }
}

# Qt's Russian translations, which a cross-built Qt lacks, for the tests.
qt_translations() {
    mkdir -p "$qt_prefix/translations"
    cp /usr/share/qt6/translations/qtbase_ru.qm "$qt_prefix/translations/"
}

# The build tree's programs under Wine find Qt's and MinGW's DLLs through WINEPATH.
start_build_wine() {
    local dir
    WINEPATH=$(windows_path "$qt_prefix/bin")
    for dir in $(mingw_dll_dirs); do WINEPATH+=";$(windows_path "$dir")"; done
    export WINEPATH
    start_wine "$build/wine"
}

# Windows programs take their regional settings from Wine, which takes them
# from the environment it starts in, not from LC_ALL set inside a test: the
# tests run as a Russian user's would.
run_tests() {
    say "unit and fuzz tests under Wine"
    rm -f "$build"/tests/tst_*.log
    (cd "$build" && LC_ALL=ru_RU.UTF-8 WINEQT_QPA_PLATFORM=offscreen \
        ctest --output-on-failure --timeout 300) && return
    local name
    sed 's/^[0-9]*://' "$build/Testing/Temporary/LastTestsFailed.log" | while read -r name; do
        [ ! -f "$build/tests/$name.log" ] || tail -n 40 "$build/tests/$name.log"
    done
    return 1
}

# The converter under Wine must give the native converter's bytes, both
# directions, for the bench's prose with LF and with CR LF line ends.
compare_converter() {
    local native=${VERTLIN_BUILD_DIR:-$root/build}/bin/vertlin-convert work=$build/identity
    local exe=$build/bin/vertlin-convert.exe ends direction input status=0
    mkdir -p "$work"
    # The first 40,000 bytes of running prose: within the length limit in
    # either script, with either line end.
    "$root/scripts/ru-corpus.sh" manpages 2>"$work/corpus.err" | tr -s ' \t' ' ' | grep -v '^ *$' \
        | LC_ALL=C awk '{ n += length($0) + 2; if (n > 40000) exit; print }' >"$work/lf.cyr" || true
    if [ ! -s "$work/lf.cyr" ]; then
        say "SKIPPED: the converter against the native one, no prose: $(cat "$work/corpus.err")"
        return 0
    fi
    [ -x "$native" ] || "$root/scripts/build.sh" vertlin-convert >/dev/null
    sed 's/$/\r/' "$work/lf.cyr" >"$work/crlf.cyr"
    for ends in lf crlf; do
        "$native" --to-latin "$work/$ends.cyr" >"$work/$ends.lat" \
            || { say "FAILED: the native converter on the prose, $ends line ends"; return 1; }
        for direction in to-latin:cyr to-cyrillic:lat; do
            input=$work/$ends.${direction#*:}
            wine "$exe" "--${direction%%:*}" <"$input" >"$work/out" \
                && "$native" "--${direction%%:*}" <"$input" >"$work/expected" \
                && cmp -s "$work/out" "$work/expected" \
                && say "vertlin-convert.exe --${direction%%:*}, $ends line ends: byte-identical ($(wc -c <"$work/out") bytes)" \
                || { say "FAILED: vertlin-convert.exe --${direction%%:*}, $ends line ends differs from the native converter"; status=1; }
        done
    done
    return $status
}

package() {
    say "the release: zip and installer (CPack)"
    rm -f "$build"/vertlin-*-win64.*
    (cd "$build" && cpack -G "ZIP;NSIS" >"$build/cpack.log") || { cat "$build/cpack.log" >&2; return 1; }
}

# The release as a user gets it, in a fresh Wine prefix with nothing of the
# build's: the zip unpacked, the installer run silently. From both, the
# converter converts and fixes spelling, and the window starts; the unpacked
# one also passes the smoke test of the window. The zip goes into a folder
# whose name no ANSI code page holds (Cyrillic and Greek letters). Both need
# an X server (Xvfb); without one the window is only seen to start and stay
# up on the offscreen platform.
check_release() {
    local zip installer prefix=$build/wine-release unpacked status=0
    # Wine maps file names through the locale's character set.
    local -x LC_ALL=C.UTF-8
    zip=$(echo "$build"/vertlin-*-win64.zip) installer=$(echo "$build"/vertlin-*-win64.exe)
    rm -rf "$prefix"
    start_xvfb || say "no X server (Xvfb): the window is only started offscreen, no smoke test"
    start_wine "$prefix"
    mkdir -p "$prefix/drive_c/Вертлин Ω"
    cmake -E chdir "$prefix/drive_c/Вертлин Ω" cmake -E tar xf "$zip"
    unpacked="$prefix/drive_c/Вертлин Ω/$(basename "$zip" .zip)/bin"
    check_programs "$unpacked" "the unpacked zip" || status=1
    if [ -n "$xvfb_pid" ]; then
        "$root/tests/windows/smoke.sh" "$unpacked/vertlin.exe" "$build" || status=1
    fi
    local installed="$prefix/drive_c/Program Files/Vertlin/bin" i
    wine "$installer" /S
    for ((i = 0; i < 300; i++)); do
        [ -f "$installed/vertlin.exe" ] && break
        sleep 0.2
    done
    check_programs "$installed" "the installed program" || status=1
    stop_wine
    stop_xvfb
    return $status
}

# check_programs FOLDER WHAT: the converter converts with the table beside
# it, with a windows-1251 one and with a UTF-8 one, and fixes spelling with
# the dictionary beside it; the window starts.
check_programs() {
    local folder=$1 what=$2 out table
    printf 'h\r\nzh \xe6\r\nu \xf3\r\nk \xea\r\n' >"$build/cp1251.ini"
    printf '\xef\xbb\xbfh\nzh \xd0\xb6\nu \xd1\x83\nk \xd0\xba\n' >"$build/utf8.ini"
    printf '\xff\xfeh\0\r\0\n\0z\0h\0 \0\x36\x04\r\0\n\0u\0 \0\x43\x04\r\0\n\0k\0 \0\x3a\x04' >"$build/utf16.ini"
    for table in "" "$build/cp1251.ini" "$build/utf8.ini" "$build/utf16.ini"; do
        out=$(echo zhuk | wine "$folder/vertlin-convert.exe" --to-cyrillic ${table:+--table "$table"}) \
            && [ "$out" = жук ] \
            || { say "FAILED: $what: vertlin-convert.exe --to-cyrillic ${table:+--table $table}: '$out'"; return 1; }
    done
    out=$(echo eto otsy | wine "$folder/vertlin-convert.exe" --to-cyrillic --fix) && [ "$out" = "это отцы" ] \
        || { say "FAILED: $what: vertlin-convert.exe --to-cyrillic --fix: '$out'"; return 1; }
    window_starts "$folder/vertlin.exe" || { say "FAILED: $what: vertlin.exe did not start"; return 1; }
    say "$what: the converter converts with each kind of table and fixes spelling, the window starts"
}

# window_starts PROGRAM: its main window appears (with an X server), or it
# is still running after ten seconds on the offscreen platform.
window_starts() {
    local pid shown=1 i
    if [ -n "$xvfb_pid" ]; then
        wine "$1" >/dev/null 2>&1 &
        pid=$!
        for ((i = 0; i < 300; i++)); do
            xdotool search --onlyvisible --name '^Vertlin v2\.0$' >/dev/null 2>&1 && { shown=0; break; }
            sleep 0.2
        done
    else
        WINEQT_QPA_PLATFORM=offscreen wine "$1" >/dev/null 2>&1 &
        pid=$!
        sleep 10
        kill -0 "$pid" 2>/dev/null && shown=0
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return $shown
}

xvfb_pid=
start_xvfb() {
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || return 1
    local fdfile=$build/xvfb.display i
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 100; i++)); do
        grep -q '^[0-9]' "$fdfile" && break
        sleep 0.1
    done
    if ! grep -q '^[0-9]' "$fdfile"; then
        stop_xvfb
        return 1
    fi
    export DISPLAY=:$(head -n 1 "$fdfile")
    unset XAUTHORITY WAYLAND_DISPLAY
}
stop_xvfb() {
    [ -n "$xvfb_pid" ] || return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
    unset DISPLAY
}

"$root/scripts/install-deps.sh" windows
build_qt
build_hunspell
qt_translations
build_vertlin
status=0
start_build_wine
run_tests || status=1
compare_converter || status=1
stop_wine
unset WINEPATH
package || exit 1
check_release || status=1
[ $status = 0 ] && say "the release: $(echo "$build"/vertlin-*-win64.*)"
exit $status

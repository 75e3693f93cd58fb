#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Vertlin and runs every test; then builds the
# engine, the converter and the unit tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, fuzz targets on libFuzzer) into build-asan/
# and runs them with leak detection on. Last, scripts/windows.sh cross-builds
# the Windows release and tests it under Wine. Any failure or finding fails
# the run. Arguments go to both ctest runs; VERTLIN_SANITIZE=0 leaves the
# second out, VERTLIN_WINDOWS=0 the Windows stage.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test || exit 1
"$root/scripts/build.sh" || exit 1

status=0
# Without a display run.sh stops with its message before building anything.
scratch=$(mktemp -d)
message=$(env -u DISPLAY -u WAYLAND_DISPLAY VERTLIN_BUILD_DIR="$scratch/build" \
          "$root/scripts/run.sh" 2>&1 >/dev/null)
if [ $? -ne 2 ] || [[ $message != *WAYLAND_DISPLAY*xvfb-run* ]] || [ -e "$scratch/build" ]; then
    echo "FAILED: run.sh without a display: status 2 and its message, nothing built; got: $message" >&2
    status=1
fi
rm -rf "$scratch"
(cd "${VERTLIN_BUILD_DIR:-$root/build}" && ctest --output-on-failure --timeout 600 "$@") || status=1

if [ "${VERTLIN_SANITIZE:-1}" != 0 ]; then
    asan=$root/build-asan
    cmake -S "$root" --preset sanitize -B "$asan" >/dev/null \
        && cmake --build "$asan" --parallel "$(nproc)" \
        && (cd "$asan" \
            && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
               UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
               ctest --output-on-failure --timeout 900 "$@") \
        || status=1
fi

if [ "${VERTLIN_WINDOWS:-1}" != 0 ]; then
    "$root/scripts/windows.sh" || status=1
fi
exit $status

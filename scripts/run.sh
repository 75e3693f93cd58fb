#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the program, the converter and the table
# beside them (the tests and benchmarks are the test command's) and starts it.
# Without a display it says so and stops, status 2, before building anything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Vertlin: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): start it in a desktop session, or without one under Xvfb: xvfb-run -a $0" >&2
    exit 2
fi
"$root/scripts/install-deps.sh" build
"$root/scripts/build.sh" vertlin vertlin-convert
exec "${VERTLIN_BUILD_DIR:-$root/build}/bin/vertlin" "$@"

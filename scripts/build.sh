#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures (CMakePresets.json, preset "default") and builds Vertlin into
# build/ (or $VERTLIN_BUILD_DIR): the targets given as arguments, or all.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VERTLIN_BUILD_DIR:-$root/build}
cmake -S "$root" --preset default -B "$build" >/dev/null
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"

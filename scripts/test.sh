#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Vertlin and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh"
cd "${VERTLIN_BUILD_DIR:-$root/build}"
ctest --output-on-failure --timeout 600 "$@"

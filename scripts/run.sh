#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Vertlin and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" build
"$root/scripts/build.sh"
exec "${VERTLIN_BUILD_DIR:-$root/build}/bin/vertlin" "$@"

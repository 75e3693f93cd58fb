# SPDX-License-Identifier: MIT
# Shared by the release checks (sourced, not run). Environment from ctest:
# RELEASE_SOURCE_DIR, RELEASE_BUILD_DIR, RELEASE_CMAKE, RELEASE_CPACK,
# RELEASE_VERSION, and RELEASE_WORK, a scratch directory emptied first.
set -euo pipefail
export LC_ALL=C.UTF-8
: "${RELEASE_SOURCE_DIR:?}" "${RELEASE_BUILD_DIR:?}" "${RELEASE_CMAKE:?}" "${RELEASE_WORK:?}" \
  "${RELEASE_VERSION:?}"
NAME=$(basename "$0" .sh)
readonly APP_ID=org.example.Vertlin
say() { printf '%s: %s\n' "$NAME" "$*"; }
pass() { say "ok - $*"; }
fail() { say "FAIL - $*" >&2; exit 1; }
skip() { say "SKIP - $*"; exit 77; }
# need COMMAND PACKAGE: skips when a tool that the test command installs is missing.
need() {
    command -v "$1" >/dev/null || skip "$1 is missing (Debian package $2, which scripts/install-deps.sh test installs)"
}
rm -rf "$RELEASE_WORK"
mkdir -p "$RELEASE_WORK"

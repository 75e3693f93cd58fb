#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints the Russian manual pages that Debian's manpages-ru ships as plain
# UTF-8 text: real Russian prose (GPL-3+, see
# /usr/share/doc/manpages-ru/copyright) for measuring the code table and
# the conversion speed. Needs manpages-ru and groff-base.
set -euo pipefail
shopt -s nullglob
pages=(/usr/share/man/ru/man*/*.gz)
if [ ${#pages[@]} -eq 0 ]; then
    echo "ru-corpus.sh: no Russian manual pages; install manpages-ru" >&2
    exit 1
fi
for page in $(printf '%s\n' "${pages[@]}" | LC_ALL=C sort); do
    zcat "$page" | preconv -e utf-8 2>/dev/null | groff -man -Tutf8 -P-cbou 2>/dev/null || true
done

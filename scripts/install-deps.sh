#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian/Ubuntu packages Vertlin needs that are not there yet.
#   install-deps.sh build   what building the program needs
#   install-deps.sh test    that, plus what the tests need (X server, fonts, corpus,
#                           ICU's uconv for the passport and map spellings,
#                           the validators of the installed tree and the package,
#                           clang with libFuzzer for the sanitizer build)
#   install-deps.sh windows what building needs, plus what scripts/windows.sh needs
#                           (MinGW-w64, Wine, NSIS, the tools to build Qt from
#                           Debian's source, the X server of its smoke test and
#                           the OCR that reads the menu bar there)
# Not root and no sudo: it prints the command to run as root and exits with status 2.
set -euo pipefail

build_packages=(cmake make g++ qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
                libhunspell-dev hunspell-ru
                libgl-dev fonts-dejavu-core)
test_packages=(xvfb xdotool xclip x11-xkb-utils x11-utils imagemagick
               fonts-dejavu-core libx11-dev desktop-file-utils
               appstream man-db dpkg-dev file lintian
               manpages-ru groff-base debian-faq-ru developers-reference-ru maint-guide-ru
               mythes-ru mueller7-dict hunspell-tools gettext icu-devtools
               clang libclang-rt-14-dev)
windows_packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis
                  dpkg-dev ninja-build xvfb xdotool xclip x11-xkb-utils imagemagick
                  tesseract-ocr tesseract-ocr-rus)

wanted=("${build_packages[@]}")
case ${1:-build} in
    test) wanted+=("${test_packages[@]}") ;;
    windows) wanted+=("${windows_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null; then
    echo "Vertlin: please install these packages: ${missing[*]}" >&2
    exit 1
fi
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "Vertlin: missing packages, and installing them needs root (there is no sudo); run as root, then again:" >&2
        echo "  su -c 'apt-get update && apt-get install --no-install-recommends ${missing[*]}'" >&2
        exit 2
    fi
    sudo=(sudo)
fi
echo "Vertlin: installing ${missing[*]}" >&2
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null

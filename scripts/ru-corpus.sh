#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints Russian text of one kind, as plain UTF-8 prose lines, from Debian
# packages (each under its own free licence, see /usr/share/doc/*/copyright),
# for measuring the code table and the conversion speed:
#
#   ru-corpus.sh [KIND]    one kind (default: manpages)
#   ru-corpus.sh --kinds   the names of every kind, one a line
#
#   manpages   the Russian manual pages (manpages-ru, groff-base)
#   guides     the Debian FAQ, developers' reference and new maintainers'
#              guide (debian-faq-ru, developers-reference-ru, maint-guide-ru)
#   thesaurus  mythes-ru's synonyms
#   dictionary the Russian side of mueller7-dict
#   messages   the Russian message catalogues of the installed programs
#              (gettext's msgunfmt)
#   wordforms  every word form of hunspell-ru (hunspell-tools' unmunch)
#
# It installs nothing: a missing package is an error naming it.
set -euo pipefail
shopt -s nullglob
export LC_ALL=C.UTF-8
kinds=(manpages guides thesaurus dictionary messages wordforms)

need() { # need PACKAGE FILE...
    local package=$1
    shift
    if [ $# -eq 0 ] || [ ! -e "$1" ]; then
        echo "ru-corpus.sh: no text for this kind; install $package" >&2
        exit 1
    fi
}

sorted() { printf '%s\n' "$@" | LC_ALL=C sort; }

manpages() {
    local pages=(/usr/share/man/ru/man*/*.gz)
    need manpages-ru "${pages[@]}"
    for page in $(sorted "${pages[@]}"); do
        zcat "$page" | preconv -e utf-8 2>/dev/null | groff -man -Tutf8 -P-cbou 2>/dev/null || true
    done
}

# Markup out: tags and entities of the HTML-less text forms, reST roles.
guides() {
    local faq=/usr/share/doc/debian/FAQ/debian-faq.ru.txt.gz
    local guide=/usr/share/doc/maint-guide-ru/maint-guide.ru.txt.gz
    local reference=(/usr/share/developers-reference/ru/_sources/*.rst.txt)
    need debian-faq-ru "$faq"
    need maint-guide-ru "$guide"
    need developers-reference-ru "${reference[@]}"
    { zcat "$faq" "$guide"; cat $(sorted "${reference[@]}"); } \
        | sed -E 's/:[a-z]+:`[^`]*`//g; s/[`*|]+//g; /^[[:space:]]*(\.\.|[=~^-]{3,})/d'
}

# Head words and synonyms; the part-of-speech marks in brackets go.
thesaurus() {
    local data=/usr/share/mythes/th_ru_RU_v2.dat
    need mythes-ru "$data"
    tail -n +2 "$data" | sed -E 's/\([^)]*\)//g; s/\|[0-9]+$//; s/\|/, /g; s/^, //'
}

# The Russian of each article: what follows the English glosses and the
# transcriptions in square brackets.
dictionary() {
    local dict=/usr/share/dictd/mueller7.dict.dz
    need mueller7-dict "$dict"
    zcat "$dict" | sed -E 's/\[[^]]*\]//g; s/_[^ ]+\.//g' | grep -P '\p{Cyrillic}'
}

messages() {
    local catalogues=(/usr/share/locale/ru/LC_MESSAGES/*.mo)
    need "the programs' Russian translations" "${catalogues[@]}"
    command -v msgunfmt >/dev/null || need gettext /nonexistent
    for mo in $(sorted "${catalogues[@]}"); do
        msgunfmt --no-wrap "$mo" 2>/dev/null | sed -nE 's/^msgstr(\[[0-9]+\])? "(.*)"$/\2/p' \
            | sed -E 's/\\n/\n/g; s/\\t/ /g; s/\\"/"/g; s/%[-0-9.]*[a-zA-Z]//g' || true
    done
}

wordforms() {
    local dic=/usr/share/hunspell/ru_RU.dic
    need hunspell-ru "$dic"
    command -v unmunch >/dev/null || need hunspell-tools /nonexistent
    unmunch "$dic" "${dic%.dic}.aff" 2>/dev/null | LC_ALL=C sort -u
}

case "${1:-manpages}" in
    --kinds) printf '%s\n' "${kinds[@]}" ;;
    manpages | guides | thesaurus | dictionary | messages | wordforms) "${1:-manpages}" ;;
    *)
        echo "ru-corpus.sh: unknown kind '$1'; one of: ${kinds[*]}" >&2
        exit 2
        ;;
esac

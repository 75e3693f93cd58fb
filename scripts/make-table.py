#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the shipped code table data/vl1.ini (windows-1251, CR LF).

The table is applied top to bottom in both directions, so its order is its
logic; this script keeps that order in one readable place and spells out
the case forms and the capital pairs that would be tedious to keep by hand:

 1. context entries: spellings that a shorter entry below would read wrongly
    (отсек is not оцек, выиграть not выйграть), in lower case, and
    Capitalised where they may start a word, then the marked spellings of
    what no context tells (Китс is Kit#s, see marked());
 2. capitals: a two-letter Latin spelling inside an all-capital word is
    written in capitals (ЖУК -> ZHUK, ЩИ -> SHCHI), one entry per pair of
    capitals, longest Latin first;
 3. a capital consonant followed by a sign, then the digraphs, the signs,
    the letters and the alternative spellings people type, each below the
    line that spells its letter;
 4. among them, what passport and map spellings and the chat habit write
    where the table's own Latin reads otherwise (Novoye, Novaia, yayca),
    read through passing letters that the last lines make Russian (see
    PASSPORT).

After a change, measure it on every kind of text (the report needs uconv,
from icu-devtools):
    scripts/make-table.py && for k in $(scripts/ru-corpus.sh --kinds); do
        scripts/ru-corpus.sh $k > /tmp/$k.txt; done
    build/bin/vertlin-convert --check --table data/vl1.ini --report /tmp/manpages.txt ...
"""
import pathlib
import sys

HEADER = ("Vertlin code table 1: Latin spelling, space, Cyrillic spelling; "
          "applied top to bottom both ways")

LETTERS = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"
LATIN = ["a", "b", "v", "g", "d", "e", "yo", "zh", "z", "i", "j", "k", "l", "m", "n", "o",
         "p", "r", "s", "t", "u", "f", "kh", "c", "ch", "sh", "shch", "''", "y", "'", "e'",
         "yu", "ya"]
SPELLING = dict(zip(LETTERS, LATIN))
CONSONANTS = "бвгджзклмнпрстфхцчшщ"

# Context entries: spellings that a shorter entry below would read wrongly.
# Each stands above every entry that would take a part of it, the longer of
# two that overlap first. These spell their letters as the table does, so
# they work both ways.
CONTEXT = [
    # тс before a vowel or в is ц to a typist: the prefix от- before с and
    # the compounds keep тс.
    "^otsutst отсутст", "^otsyl отсыл", "^otsyp отсып", "^otsyr отсыр",
    "^otsech отсеч", "^otsek отсек", "^otsev отсев", "^otsei отсеи", "^otseya отсея",
    "^otsel отсел", "^otseb отсеб", "^otsizh отсиж", "^otsid отсид",
    "^otsig отсиг", "^otsazh отсаж", "^otsad отсад", "^otsas отсас", "^otsal отсал",
    "^otsos отсос", "^otsovet отсовет", "^otsoed отсоед", "^otsort отсорт", "^otsvech отсвеч",
    "^otsud отсуд", "^otsuzh отсуж", "^otsykh отсых", "^otsokh отсох",
    "^detsad детсад", "^tsvan тсван", "estsel естсел", "utsaj утсай", "rtsig ртсиг",
    # A first part ending in т before -содержащий, -советский (азотсодержащий,
    # постсоветский): no word has ц there.
    "tsoderzh тсодерж", "stsovet стсовет",
    # ts before a consonant or я, ю, ё is тс (детский, отступ, является).
    "tsya тся", "tsja тся", "tsyu тсю", "tsju тсю", "tsyo тсё", "tsjo тсё", "^otsch отсч", "tskh тсх", "tsk тск", "tst тст",
    "tsl тсл", "tsn тсн", "tsr тср", "tsm тсм",
    # ы before и and у after вы- (выиграть, выучить).
    "^vyig выиг", "^vyisk выиск", "^vyuch выуч", "^vyuzh выуж", "^vyud выуд",
    # й before о, where ё may be typed jo; Майор, Майорка start words too.
    "ajon айон", "^majo майо", "^kojot койот", "^jod йод", "^jog йог", "^jota йота",
    # An element's -ий before -органический (алюминийорганический): no word
    # has иёрг.
    "ijorg ийорг",
]

# щ typed sch after a letter (общий, помощь, следующий, ещё), read only:
# they stand below shch, which takes every щ first going to Latin. Above
# them the roots that keep сч, and above those the щ words these would take.
SCH = [
    # Roots that start with щ, where no word has сч (щегол, щелкать, щетина),
    # and с before х typed h before ищ (восхищение, расхищать).
    "scheg щег", "schelk щелк", "schyolk щёлк", "schetin щетин", "shisch схищ",
    "oobsch ообщ",  # сообщить, above обсчитать
    "^vrasch вращ", "krasch кращ", "brasch бращ", "yrasch ыращ", "^obeschest обесчест",
    "^obesch обещ", "^naschit насчит", "oschit осчит", "yschit ысчит", "bschit бсчит",
    "oschast осчаст", "^ischad исчад", "^roscher росчер", "reschur ресчур", "oschet осчет",
    "noschiv носчив", "^peschin песчин", "oschis осчис", "uschat усчат",
    # ращ after a prefix (наращение, приращение, проращивать), above the root расч.
    "arasch аращ", "irasch иращ", "^prorasch проращ",
    "^rasch расч", "^besch бесч", "^nesch несч", "^peresch пересч", "^peschan песчан",
    "^ischez исчез", "^ischer исчер", "^ischis исчис", "^pischik писчик", "^pischaya писчая", "^pischij писчий", "^pischee писчее",
    "oschik осчик",  # the agent nouns of нос-, прос- (разносчик, опросчик)
    # ё after щ (ещё, упрощён, сокращён) before the root счёт.
    "^naschyo насчё", "oschyot осчёт",
    "eschyo ещё", "aschyo ащё", "oschyo ощё", "uschyo ущё", "^schyo счё",
    # тщ (тщательный): of тсч only отсчёт has a root, in the context entries.
    "tsch тщ",
    # A vowel's y or j before sch belongs to я, ю (настоящий, следующий).
    "yusch ющ", "yasch ящ", "yosch ёщ", "jusch ющ", "jasch ящ", "usch ущ", "asch ащ", "esch ещ", "osch ощ", "isch ищ", "ysch ыщ", "bsch бщ",
    "psch пщ", "hsch хщ", "nsch нщ", "vsch вщ", "rsch рщ", "lsch лщ",
]

# One apostrophe for ъ after the usual prefixes, read only (below '' ъ), and
# only before the roots that take ъ, so that досье, воробья, лошадью keep ь.
APOSTROPHE = [
    "^pod'yo подъё", "^raz'ya разъя", "^kon'yun конъюн", "^ob'yav объяв", "^ob'yas объяс",
    "^ob'yat объят", "^ob'yom объём", "^pod'e подъе", "^raz'e разъе", "^iz'ya изъя",
    "^ot'yav отъяв", "^ras'e расъе", "^nad'e надъе", "^ad'yut адъют", "^sub'e субъе",
    "^ob'ekt объект", "^ob'ed объед", "^ob'ez объез", "^ot'ez отъез", "^ot'ed отъед",
    "^in'ek инъек", "^s'ez съез", "^s'el съел", "^s'es съес", "^s'ed съед",
]

# с before х typed h (исходный, схема), read only: below kh, above sh.
SKH = ["^shod сход", "^shvat схват", "^shema схема", "^shemy схемы",
       "^sheme схеме"]

# Passport and map spellings and the chat habit's y for й, read only. BGN/PCGN
# writes е as ye after a vowel or a sign (новое Novoye, Васильев Vasil'yev,
# объект ob"yekt) and at the start (Yelabuga), as typists of je do after и
# (soobshchenije); ICAO writes я, ю as ia, iu (Новая Novaia, новую novuiu);
# the chat habit writes й after я, ю as y (яйца yayca), and конвейер with
# eye. These entries leave a passing pair of letters that no text holds
# (Serbian ђ before Ukrainian є, Є, ї, Serbian ј, ђ), so going to Latin they
# find nothing, and the last lines make those е, Е, я, ю, й. So the table
# stays Latin against Cyrillic, which lets its conversions take most entries
# in one reading.
PASSING = {"е": "ђє", "Е": "ђЄ", "я": "ђї", "ю": "ђј", "й": "ђђ"}


def cyrillic(latin):
    return LETTERS[LATIN.index(latin)]


E, Y, I = PASSING["е"], PASSING["я"], PASSING["й"]
PASSPORT = ([f"yaye я{E}", f"yuye ю{E}"]
            # я, ю before я, ю, ё as the table spells them, above the y for й
            + [f"y{a}y{b} {cyrillic('y' + a)}{cyrillic('y' + b)}" for a in "au" for b in "auo"]
            + [f"yay я{I}", f"yuy ю{I}", f"eyer ей{E}р", f"Yeye {PASSING['Е']}{E}", "Ye " + PASSING["Е"]]
            + [f"{v}ye {cyrillic(v)}{E}" for v in "aeiouy"] + [f"ije и{E}", f"'ye ь{E}"]
            + [f'{SPELLING[c]}"ye {c}ъ{E}' for c in "бвдзст"]
            + [f"{v}i{x} {cyrillic(v)}{PASSING[c]}" for v, x, c in
               [("a", "a", "я"), ("a", "u", "ю"), ("e", "u", "ю"), ("i", "a", "я"),
                ("i", "u", "ю"), ("o", "a", "я"), ("o", "u", "ю"), ("u", "a", "я"),
                ("u", "u", "ю")]])

# Letters spelt with two Latin letters or more, whose case follows the word's.
DIGRAPHS = "ёжхчшщюя"
# Pairs whose capital Latin reads as another letter: ШЧ is SHCH, as Щ, and
# ШЦ is SHC, the start of it.
UNPAIRED = {"шч", "шц"}


def capitalised(s):
    return s[:1].upper() + s[1:]


def forms(latin, cyrillic, caps=True, capital=True):
    out = [f"{latin} {cyrillic}"]
    if capital:
        out.append(f"{capitalised(latin)} {capitalised(cyrillic)}")
    if caps:
        out.append(f"{latin.upper()} {cyrillic.upper()}")
    return out


def context(entries, caps=False):
    """Each entry in lower case, and Capitalised where it may start a word
    (written with a leading "^" in the lists above)."""
    out = []
    for entry in entries:
        latin, cyrillic = entry.lstrip("^").split(" ")
        out += forms(latin, cyrillic, caps=caps, capital=entry.startswith("^"))
    return out


def marked():
    """Where no context entry tells, the Latin spelling of тс, шч and й
    before а, у, о would read back as ц, щ, я, ю, ё: those are written with a
    sign that no Russian word has there (тъс, шъч, йьа never occur), so that
    they come back as they were (Китс is Kit#s, Гайана Gaj'ana). Nobody types
    them; a typist's ts, shch, ja read as before. In capitals TS is ТС
    already, ЯВЛЯЕТСЯ being YAVLYAETSYA."""
    return (["I'a Иа", "I'u Иу"] + forms("t#s", "тс", caps=False) + forms("sh#ch", "шч") + forms("j'a", "йа", caps=False)
            + forms("j'u", "йу") + ["j'o йо"])


def capital_pairs():
    """Two capitals with a digraph letter among them, in capital Latin."""
    pairs = []
    for a in LETTERS:
        for b in LETTERS:
            if a + b in UNPAIRED or (a not in DIGRAPHS and b not in DIGRAPHS):
                continue
            pairs.append((SPELLING[a] + SPELLING[b]).upper() + " " + (a + b).upper())
    # A sign goes with the letter before it: ЛОЧЬ is LOCH', not LOCHЬ.
    return sorted(pairs, key=lambda e: (-len(e.split(" ")[0]), e[-1] not in "ЪЬ"))


def signs_after_capitals():
    out = []
    for c in sorted(CONSONANTS, key=lambda c: -len(SPELLING[c])):
        latin = SPELLING[c]
        for sign, mark in (("ъ", "''"), ("ь", "'")):
            if len(latin) == 1 and sign == "ь" or c == "щ":
                continue  # below, after the digraphs
            # ZH' and the like are capital pairs above.
            out.append(f"{capitalised(latin)}{mark} {c.upper()}{sign.upper()}")
    return out


def table():
    lines = []
    # Capitals have no ts, jo or sch readings, and the capital pairs below read
    # я, ю, ё: of the context entries only ы before и and у needs its capital
    # form (VYU is ВЮ to the pairs, so ВЫУЧИТЬ needs VYUCH above them).
    lines += context(CONTEXT) + context(["^vyig выиг", "^vyisk выиск", "^vyuch выуч", "^vyuzh выуж",
                                         "^vyud выуд"], caps=True)[2::3]
    lines += marked()
    lines += capital_pairs()
    lines += ["Shch'' ЩЪ", "Shch' ЩЬ"]
    lines += forms("shch", "щ")
    lines += context(SCH)  # in capitals, the capital pairs above read СЧ
    lines += signs_after_capitals()
    lines += forms("shh", "щ") + ["'' ъ"]
    # Before я, ю, ё, capitals read the capital pairs.
    lines += context(e for e in APOSTROPHE if "'y" in e)
    lines += context((e for e in APOSTROPHE if "'y" not in e), caps=True)
    lines += PASSPORT
    for latin in ("yo", "zh", "kh", "ch", "sh"):
        if latin == "sh":
            lines += context(SKH)
        lines += forms(latin, LETTERS[LATIN.index(latin)])
    # A capital E before t, ks, kz, kr, lek, lem, ff, nt, ner, po, vol is Э
    # (Это, Экран, Электрон, Эффект): no word starts with Е there. ICAO's Ia,
    # Iu at the start. Read only, since going to Latin Э, Я, Ю are gone above.
    lines += ["e' э", "E' Э"]
    lines += [f"E{rest} Э{''.join(cyrillic(c) for c in rest)}"
              for rest in ("t", "ks", "kz", "kr", "lek", "lem", "ff", "nt", "ner", "po", "vol")]
    lines += forms("yu", "ю") + forms("ya", "я")
    lines += ["Ia Я", "Iu Ю"]
    lines += [f"{SPELLING[c].upper()}' {c.upper()}Ь" for c in CONSONANTS
              if len(SPELLING[c]) == 1]
    lines += forms("ja", "я", caps=False) + forms("ju", "ю") + ["jo ё"]
    lines += ["' ь", "j й", "J Й", "c ц", "C Ц"]
    lines += forms("ts", "ц", caps=False)
    for vowel in "aeiouy":
        lines += forms(vowel + "y", LETTERS[LATIN.index(vowel)] + "й")
    lines += forms("yi", "ый")
    for c, latin in zip(LETTERS, LATIN):
        if len(latin) == 1 and latin not in "j'c":
            lines += forms(latin, c, caps=False)[:2]
    lines += ["h х", "H Х", "x кс", "X КС", "w щ", "W Щ", "# ъ"]
    lines += [f"{passing} {letter}" for letter, passing in PASSING.items()]
    for sign in "ЬЪ":
        lines += [f"{sign}{c} {sign.lower()}{c}" for c in LETTERS]
    return lines


def main():
    path = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                        pathlib.Path(__file__).resolve().parent.parent / "data" / "vl1.ini")
    text = "\r\n".join([HEADER] + table()) + "\r\n"
    path.write_bytes(text.encode("cp1251"))


if __name__ == "__main__":
    main()

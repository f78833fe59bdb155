#!/usr/bin/env python3
"""Builds data/dic/ru-stress.dic, the shipped Russian stress dictionary.

Input: a "word=replacement" dictionary in Windows-1251 where the replacement is the word
with "+" before its stressed vowel (made from the Mueller English-Russian dictionary with
stress marks, GPL-2+). Usage:

    scripts/build-stress-dic.py SOURCE.dic data/dic/ru-stress.dic

Kept: entries whose replacement is exactly the word with one "+" before a vowel, made of
Russian letters and inner hyphens, of two syllables or more (one syllable has nothing to
choose, and a marked preposition would be stressed). Dropped: malformed lines, keys seen
twice, and stress on the first letter (the source's capital-letter notation cannot tell a
stressed first vowel from a capital at a sentence start) when another form of the same stem
is stressed further on ("австралии=+австралии" beside "австралия=австр+алия").
The output is written atomically (temporary file, then rename).
"""
import os
import sys
import tempfile

LETTERS = set("абвгдеёжзийклмнопрстуфхцчшщъыьэюя")
VOWELS = set("аеёиоуыэюя")

HEADER = """\
# Ударения: знак + перед ударной гласной. Словарь для синтезатора eSpeak NG.
# Составлен по словарю Мюллера с ударениями (пакет Debian mueller7accent-dict,
# С. Старостин, Е. С. Цымбалюк; лицензия GPL-2+), см. ru-stress.LICENSE.txt.
# Собран автоматически, возможны ошибки. Формат: слово=ударение.
""".splitlines()


def wellformed(key, value):
    if not key or value.count("+") != 1 or value.replace("+", "") != key:
        return False
    at = value.index("+")
    if at + 1 >= len(value) or value[at + 1] not in VOWELS:
        return False
    if key.startswith("-") or key.endswith("-") or "--" in key:
        return False
    if any(c not in LETTERS and c != "-" for c in key):
        return False
    return sum(c in VOWELS for c in key) >= 2


def main(source, target):
    with open(source, "rb") as f:
        text = f.read().decode("cp1251")
    entries, seen, dropped = {}, {}, {"malformed": 0, "repeated": 0}
    for line in text.replace("\r\n", "\n").split("\n"):
        if not line or line.startswith("#"):
            continue
        key, eq, value = line.partition("=")
        if not eq or not wellformed(key, value):
            dropped["malformed"] += 1
            continue
        seen[key] = seen.get(key, 0) + 1
        entries[key] = value
    for key, count in seen.items():
        if count > 1:
            dropped["repeated"] += count
            del entries[key]
    lines = HEADER + ["%s=%s" % (k, entries[k]) for k in sorted(entries)]
    data = ("\r\n".join(lines) + "\r\n").encode("cp1251")
    folder = os.path.dirname(os.path.abspath(target))
    fd, temp = tempfile.mkstemp(dir=folder, prefix=".stress-")
    with os.fdopen(fd, "wb") as f:
        f.write(data)
    os.chmod(temp, 0o644)
    os.replace(temp, target)
    print("kept %d entries, dropped %s" % (len(entries), dropped))  # malformed: also one syllable


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])

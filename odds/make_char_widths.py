#!/usr/bin/env python3
"""Writes char_widths.inc, the columns a character takes on a terminal, from
the Unicode data files of Debian's unicode-data package:
0 for non-spacing and enclosing marks, controls, format characters (but the
soft hyphen), line and paragraph separators and surrogates; then 2 for
assigned characters East Asian Wide or Fullwidth (Chinese, fullwidth forms,
emoji); then 0 for the other combining marks; 1 for the rest.
Usage: odds/make_char_widths.py [UNICODE_DIR] > odds/char_widths.inc"""
import sys

folder = sys.argv[1] if len(sys.argv) > 1 else '/usr/share/unicode'

category = {}
with open(f'{folder}/UnicodeData.txt') as data:
    first = None
    for line in data:
        fields = line.split(';')
        code, name, cat = int(fields[0], 16), fields[1], fields[2]
        if name.endswith('First>'):
            first = code
            continue
        for c in range(first if name.endswith('Last>') else code, code + 1):
            category[c] = cat

east_asian = {}
with open(f'{folder}/EastAsianWidth.txt') as data:
    for line in data:
        line = line.split('#')[0].strip()
        if not line:
            continue
        codes, width = (part.strip() for part in line.split(';'))
        low, _, high = codes.partition('..')
        for c in range(int(low, 16), int(high or low, 16) + 1):
            east_asian[c] = width

ZERO = {'Mn', 'Me', 'Cc', 'Cf', 'Zl', 'Zp', 'Cs'}


def width(c):
    cat = category.get(c)
    if cat in ZERO and c != 0xAD:
        return 0
    if cat is not None and east_asian.get(c) in ('W', 'F'):
        return 2
    return 0 if cat == 'Mc' else 1


ranges = []
for c in range(0x110000):
    w = width(c)
    if w == 1:
        continue
    if ranges and ranges[-1][1] == c - 1 and ranges[-1][2] == w:
        ranges[-1][1] = c
    else:
        ranges.append([c, c, w])

print('// Made by odds/make_char_widths.py from the Unicode data files; do not edit.')
print('// Ranges of characters that take 0 or 2 columns, in order; every other takes 1.')
for low, high, w in ranges:
    print(f'{{0x{low:04X}, 0x{high:04X}, {w}}},')

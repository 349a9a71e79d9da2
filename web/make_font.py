#!/usr/bin/python3
"""Cuts the page's own font out of a monospaced Japanese font collection.

Keeps the characters the game's texts and a data tree use, with ASCII, the
box-drawing characters and the arrows, in the Regular and Bold faces of the
collection's font FAMILY, with a tighter line, as WOFF2, and writes the
font's licence beside them. Writes OUT_DIR/mono-regular.woff2,
OUT_DIR/mono-bold.woff2, OUT_DIR/LICENSE.txt and OUT_DIR/characters.txt
(what the subsets hold).

Usage: make_font.py REGULAR_TTC BOLD_TTC FAMILY TEXTS_TSV DATA_DIR OFL_TXT OUT_DIR
"""
import os
import sys
import unicodedata

from fontTools import subset
from fontTools.ttLib import TTCollection, TTFont

# Always in: ASCII, then box drawing and arrows, which the screens draw.
BASE_RANGES = [(0x20, 0x7E), (0x2190, 0x21FF), (0x2500, 0x257F)]
# A line of 1.2 em (the font's own is 1.448 em): the ideographs fill their
# 1 em box, and Latin descenders reach 0.24 em below the baseline. Rows this
# tight are closer to the console's cells and let the game fill more of a
# wide window; the terminal cannot set a line height below the font's.
ASCENT, DESCENT = 950, 250


def used_characters(texts_tsv, data_dir):
    """Every character of the game's texts (UTF-8) and of the data tree's
    files (Shift-JIS), with the base ranges."""
    chars = set()
    for low, high in BASE_RANGES:
        chars.update(chr(code) for code in range(low, high + 1))
    with open(texts_tsv, encoding='utf-8') as texts:
        for line in texts:
            if line.startswith('#') or '\t' not in line:
                continue
            chars.update(line.rstrip('\n').split('\t', 1)[1])
    for folder, _, files in os.walk(data_dir):
        for name in files:
            with open(os.path.join(folder, name), 'rb') as file:
                # A file that is not Shift-JIS is the data checker's business.
                chars.update(file.read().decode('cp932', errors='ignore'))
    return sorted(c for c in chars if not unicodedata.category(c).startswith('C'))


def family_index(collection_path, family):
    """The number of the font named FAMILY in a collection."""
    collection = TTCollection(collection_path, lazy=True)
    for number, font in enumerate(collection.fonts):
        if font['name'].getDebugName(1) == family:
            return number
    sys.exit(f'make_font.py: no font "{family}" in {collection_path}')


def cut(collection_path, family, chars, out_path):
    font = TTFont(collection_path, fontNumber=family_index(collection_path, family), lazy=False)
    options = subset.Options()
    options.flavor = 'woff2'
    # A terminal draws cell by cell: no layout features, every name kept
    # (the copyright and licence among them).
    options.layout_features = []
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=''.join(chars))
    subsetter.subset(font)
    hhea, os2 = font['hhea'], font['OS/2']
    hhea.ascent, hhea.descent, hhea.lineGap = ASCENT, -DESCENT, 0
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ASCENT, -DESCENT, 0
    os2.usWinAscent, os2.usWinDescent = ASCENT, DESCENT
    # USE_TYPO_METRICS, the same line on every system: a bit of version 4 of
    # the table, whose fields are those of version 3.
    os2.version = max(os2.version, 4)
    os2.fsSelection |= 1 << 7
    font.flavor = 'woff2'
    font.save(out_path)
    return font


def main():
    if len(sys.argv) != 8:
        sys.exit('usage: make_font.py REGULAR_TTC BOLD_TTC FAMILY TEXTS_TSV DATA_DIR OFL_TXT OUT_DIR')
    regular, bold, family, texts_tsv, data_dir, ofl, out = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    chars = used_characters(texts_tsv, data_dir)
    font = cut(regular, family, chars, os.path.join(out, 'mono-regular.woff2'))
    cut(bold, family, chars, os.path.join(out, 'mono-bold.woff2'))
    names = font['name']
    with open(ofl, encoding='utf-8') as licence_text, \
         open(os.path.join(out, 'LICENSE.txt'), 'w', encoding='utf-8') as licence:
        licence.write(f'mono-regular.woff2 and mono-bold.woff2 hold a subset of {family}\n'
                      f'({names.getDebugName(5)}), cut to the characters this game shows,\n'
                      f'with a line height of 1.2 em.\n\n'
                      f'{names.getDebugName(0)}\n{names.getDebugName(7)}\n\n'
                      f'{names.getDebugName(13)}\n\n{licence_text.read()}')
    with open(os.path.join(out, 'characters.txt'), 'w', encoding='utf-8') as listing:
        listing.write(''.join(chars) + '\n')


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Writes the pseudo-language the tests play in: every string of the template
translated into a longer, accented English.

    tools/make-pseudo.py [--template FILE] --output FILE

Each line of a string keeps its words, with every vowel (and a few other
letters) accented, and grows by a third (a tail of middle dots), as a longer
language would: a string that escapes the catalogue shows in plain English,
and a page that only fits in English shows too long. Placeholders ({wanted})
and the line breaks are kept as they are; a line that grows past what the
panel holds is broken once more at a space, as a translator would break it
(not a goal line, an ending or a room: those are one line on screen).
The language's code is "qps"; it is never installed.
"""
import argparse
import math
import os
import re
import runpy
import sys
import types

HERE = os.path.dirname(os.path.abspath(__file__))
# The template's writer, whose quoting this file shares.
make_pot = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, 'make-pot.py'), run_name='make_pot'))

ACCENTS = str.maketrans('aeiouyAEIOUYcnCN', 'áéíóúýÁÉÍÓÚÝçñÇÑ')
PLACEHOLDER = re.compile(r'(\{[^{}]*\})')
WIDEST = 100  # characters a line of the panel holds, a few to spare


def entries(path):
    """(context, English) of every entry of a PO template, header left out."""
    found, context, field, parts = [], None, None, {}
    with open(path, encoding='utf-8') as f:
        lines = f.read().split('\n') + ['']
    for line in lines:
        m = re.match(r'^(msgctxt|msgid|msgstr)\s+(".*")$', line)
        if m:
            field = m.group(1)
            parts[field] = [m.group(2)]
        elif line.startswith('"') and field:
            parts[field].append(line)
        elif not line.strip() and 'msgid' in parts:
            text = ''.join(make_pot.unescape(p[1:-1]) for p in parts['msgid'])
            context = ''.join(make_pot.unescape(p[1:-1]) for p in parts['msgctxt']) if 'msgctxt' in parts else None
            if text:
                found.append((context, text))
            field, parts = None, {}
    return found


def wrap(line):
    out = []
    while len(line) > WIDEST and ' ' in line[:WIDEST + 1]:
        cut = line.rindex(' ', 0, WIDEST + 1)
        out.append(line[:cut])
        line = line[cut + 1:]
    return out + [line]


def pseudo(text, breakable=True):
    lines = []
    for line in text.split('\n'):
        if not line.strip():
            lines.append(line)
            continue
        accented = ''.join(p if PLACEHOLDER.fullmatch(p) else p.translate(ACCENTS) for p in PLACEHOLDER.split(line))
        longer = accented + ' ' + '·' * max(1, math.ceil(len(line) / 3) - 1)
        lines += wrap(longer) if breakable else [longer]
    return '\n'.join(lines)


def main():
    args = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    args.add_argument('--template', default=os.path.join(os.path.dirname(HERE), 'po', 'tarnwick.pot'))
    args.add_argument('--output', required=True)
    options = args.parse_args()
    try:
        found = entries(options.template)
    except OSError as e:
        sys.exit(f'make-pseudo: {e}')
    out = ['msgid ""', 'msgstr ""', '"Project-Id-Version: tarnwick\\n"', '"PO-Revision-Date: 2000-01-01 00:00+0000\\n"',
           '"Last-Translator: make-pseudo.py\\n"', '"Language-Team: none\\n"', '"Language: qps\\n"', '"MIME-Version: 1.0\\n"',
           '"Content-Type: text/plain; charset=UTF-8\\n"', '"Content-Transfer-Encoding: 8bit\\n"', '']
    for context, text in found:
        if context is not None:
            out.append(f'msgctxt {make_pot.quoted(context)}')
        out += [f'msgid {make_pot.quoted(text)}', f'msgstr {make_pot.quoted(pseudo(text, context is None))}', '']
    with open(options.output, 'w', encoding='utf-8') as f:
        f.write('\n'.join(out))


if __name__ == '__main__':
    main()

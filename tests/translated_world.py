#!/usr/bin/env python3
"""Writes a copy of a world with its texts as a catalogue translates them.

    translated_world.py CATALOGUE WORLD OUTPUT

Every page and answer of WORLD/res/txt/*.xml and every goal line and ending's
name of its goals.ini is replaced by its translation in CATALOGUE (a .po
file); the rest of res/ is copied as it is. `tarnwick --check OUTPUT` then
measures the translation against the panel and the goal strip with the real
font, as it measures the original. A translation that loses or adds a
placeholder ({worn}, {why}) is refused first, whatever its flags say.
"""
import os
import re
import shutil
import sys
import xml.etree.ElementTree as ET


def catalogue(path):
    """(context, English) -> translation, for every translated entry."""
    found = {}
    entry = {}
    field = None

    def unquote(text):
        return re.sub(r'\\(.)', lambda m: {'n': '\n', 't': '\t'}.get(m.group(1), m.group(1)), text)

    def finish():
        if entry.get('msgid') and entry.get('msgstr') and 'fuzzy' not in entry.get('flags', ''):
            found[(entry.get('msgctxt'), entry['msgid'])] = entry['msgstr']

    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            if line.startswith('#,'):
                if 'msgid' in entry:
                    finish()
                    entry = {}
                entry['flags'] = line
            elif line.startswith('#') or not line.strip():
                continue
            elif line.startswith('"'):
                entry[field] += unquote(line[1:-1])
            else:
                field, _, value = line.partition(' ')
                if field in ('msgctxt', 'msgid') and 'msgstr' in entry:
                    finish()
                    entry = {}
                entry[field] = unquote(value[1:-1])
    finish()
    return found


def placeholders(text):
    return sorted(re.findall(r'\{\w+\}', text))


def main():
    po, world, out = sys.argv[1:4]
    texts = catalogue(po)
    wrong = [f'{english!r} -> {translation!r}' for (_, english), translation in texts.items()
             if placeholders(english) != placeholders(translation)]
    if wrong:
        sys.exit(f'{po}: placeholders lost or added:\n  ' + '\n  '.join(wrong))
    shutil.rmtree(out, ignore_errors=True)
    shutil.copytree(f'{world}/res', f'{out}/res')
    txt = f'{out}/res/txt'
    for name in sorted(os.listdir(txt)):
        path = f'{txt}/{name}'
        if name.endswith('.xml'):
            tree = ET.parse(path)
            for element in tree.iter():
                if element.tag in ('l', 'o') and element.text:
                    element.text = texts.get((None, element.text), element.text)
            tree.write(path, encoding='UTF-8', xml_declaration=True)
        elif name == 'goals.ini':
            lines, section = [], ''
            with open(path, encoding='utf-8') as f:
                for line in f:
                    stripped = line.strip()
                    if stripped.startswith('['):
                        section = stripped.strip('[]').strip()
                    elif stripped and stripped[0] not in ';#' and '=' in stripped:
                        key, _, value = stripped.partition('=')
                        kind = 'ending' if section == 'endings' else 'goal line'
                        line = f'{key.strip()} = {texts.get((kind, value.strip()), value.strip())}\n'
                    lines.append(line)
            with open(path, 'w', encoding='utf-8') as f:
                f.writelines(lines)


if __name__ == '__main__':
    main()

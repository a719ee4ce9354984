#!/usr/bin/env python3
"""Writes the translators' template: every string a player reads, with where it is used.

    tools/make-pot.py [--world DIR] [--sources DIR] [--output FILE] [--check]

--world DIR    the folder holding res/ (default: the repository): every page and
               answer of res/txt/*.xml, the goal lines and the endings' names of
               res/txt/goals.ini, and the rooms' names of the map (res/maps/)
--sources DIR  the game's sources (default: src/ of the repository when the world
               is the repository, none otherwise): every string marked tr("...")
               or trc("context", "..."), or N_("...")/NC_("context", "...") in a table
--output FILE  where the template goes (default: po/tarnwick.pot of the world)
--check        write nothing; fail, showing the difference, when FILE is not what
               would be written

Each entry names the file and line it comes from; a conversation's entry also
says where in the conversation it is ("after answer 2, answer 1: page 1").
Goal lines and endings' names carry a context of their own, since a goal line
and a page that read the same are not said in the same place.
"""
import argparse
import collections
import difflib
import os
import re
import sys
import xml.parsers.expat

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

Entry = collections.namedtuple('Entry', 'context text reference comment')


def conversation(path, name):
    """The pages and answers of one conversation file, in the order written."""
    entries = []
    stack = []  # [tag, line, text, children]
    root = []
    parser = xml.parsers.expat.ParserCreate('UTF-8')

    def start(tag, _attrs):
        stack.append([tag, parser.CurrentLineNumber, '', []])

    def end(_tag):
        node = stack.pop()
        (stack[-1][3] if stack else root).append(node)

    def data(text):
        if stack:
            stack[-1][2] += text

    parser.StartElementHandler = start
    parser.EndElementHandler = end
    parser.CharacterDataHandler = data
    try:
        with open(path, 'rb') as f:
            parser.ParseFile(f)
    except xml.parsers.expat.ExpatError as e:
        raise ValueError(f'{name}:{e.lineno}: {xml.parsers.expat.errors.messages[e.code]}') from None

    def child(node, tag):
        return next((c for c in node[3] if c[0] == tag), None)

    def walk(dialogue, where):
        at = (where + ': ') if where else ''
        text = child(dialogue, 'text')
        for number, page in enumerate(text[3] if text else [], 1):
            entries.append(Entry(None, page[2], f'{name}:{page[1]}', f'{at}page {number}'))
        options = child(dialogue, 'options')
        for number, option in enumerate(options[3] if options else [], 1):
            entries.append(Entry(None, option[2], f'{name}:{option[1]}', f'{at}answer {number}'))
        responses = child(dialogue, 'responses')
        for number, wrapper in enumerate(responses[3] if responses else [], 1):
            inner = child(wrapper, 'dialogue')
            if inner:
                walk(inner, (where + ', ' if where else 'after ') + f'answer {number}')

    if root and root[0][0] == 'dialogue':
        walk(root[0], '')
    return entries


def goals(path, name):
    """The goal lines and the endings' names, as the game reads them."""
    entries = []
    section = ''
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line[0] in ';#':
                continue
            if line.startswith('['):
                section = line.strip('[]').strip()
                continue
            key, _, value = line.partition('=')
            key, value = key.strip(), value.strip()
            place = f'{section}.{key}' if section else key
            kind = 'ending' if section == 'endings' else 'goal line'
            entries.append(Entry(kind, value, f'{name}:{number}', place))
    return entries


def rooms_of(layers):
    """The named rectangles of the object layers called "rooms", groups too."""
    for layer in layers:
        if layer.get('type') == 'group':
            yield from rooms_of(layer.get('layers', []))
        elif layer.get('type') == 'objectgroup' and layer.get('name') == 'rooms':
            for o in layer.get('objects', []):
                shaped = o.get('point') or o.get('ellipse') or 'polygon' in o or 'polyline' in o
                if o.get('name') and o.get('width') and o.get('height') and not shaped:
                    yield o['name']


def tmx_rooms(root):
    for group in root.iter('objectgroup'):
        if group.get('name') != 'rooms':
            continue
        for o in group.iter('object'):
            shaped = any(o.find(t) is not None for t in ('point', 'ellipse', 'polygon', 'polyline'))
            if o.get('name') and float(o.get('width', 0)) and float(o.get('height', 0)) and not shaped:
                yield o.get('name')


def map_rooms(path, name):
    """The rooms' names the game shows as the player walks in."""
    import json
    import xml.etree.ElementTree as ElementTree
    with open(path, encoding='utf-8') as f:
        raw = f.read()
    try:
        names = list(tmx_rooms(ElementTree.fromstring(raw)) if path.endswith('.tmx')
                     else rooms_of(json.loads(raw).get('layers', [])))
    except (ValueError, ElementTree.ParseError) as e:
        raise ValueError(f'{name}: {e}') from None
    entries = []
    for room in names:
        quoted_name = json.dumps(room, ensure_ascii=False) if path.endswith('.json') else f'"{room}"'
        at = raw.find(quoted_name)
        line = raw.count('\n', 0, at) + 1 if at >= 0 else 1
        entries.append(Entry('room', room, f'{name}:{line}', 'a room\'s name, shown as the player walks in'))
    return entries


def tile_names(tiles):
    """The "name" property of a tileset's tiles (JSON form)."""
    for tile in tiles or []:
        for prop in tile.get('properties') or []:
            if isinstance(prop, dict) and prop.get('name') == 'name' and isinstance(prop.get('value'), str):
                yield prop['value']


def tsx_names(root):
    for tile in root.iter('tile'):
        for prop in tile.iter('property'):
            if prop.get('name') == 'name' and prop.get('value'):
                yield prop.get('value')


def map_names(path, name):
    """The characters' and things' names the conversation panel shows above
    what they say: the "name" property of the map's tiles, in its tilesets
    or in the tileset files they name."""
    import json
    import xml.etree.ElementTree as ElementTree
    with open(path, encoding='utf-8') as f:
        raw = f.read()
    found = []
    try:
        if path.endswith('.tmx'):
            tilesets = [(t.get('source'), t) for t in ElementTree.fromstring(raw).iter('tileset')]
        else:
            tilesets = [(t.get('source'), t) for t in json.loads(raw).get('tilesets', [])]
        for source, tileset in tilesets:
            if not source:
                found += list(tsx_names(tileset) if path.endswith('.tmx') else tile_names(tileset.get('tiles')))
                continue
            external = os.path.join(os.path.dirname(path), source)
            if not os.path.isfile(external):
                continue  # the map's check says so
            with open(external, encoding='utf-8') as f:
                text = f.read()
            found += list(tsx_names(ElementTree.fromstring(text)) if external.endswith('.tsx')
                          else tile_names(json.loads(text).get('tiles')))
    except (ValueError, ElementTree.ParseError) as e:
        raise ValueError(f'{name}: {e}') from None
    entries = []
    for who in dict.fromkeys(found):
        if who == 'undefined':
            continue
        at = raw.find(json.dumps(who, ensure_ascii=False) if path.endswith('.json') else f'"{who}"')
        line = raw.count('\n', 0, at) + 1 if at >= 0 else 1
        entries.append(Entry('name', who, f'{name}:{line}', 'a name shown above what its bearer says'))
    return entries


C_STRING = r'"((?:[^"\\\n]|\\.)*)"'
MARKED = re.compile(r'\b(?:(?:tr|N_)\(\s*' + C_STRING + r'\s*\)|(?:trc|NC_)\(\s*' + C_STRING + r'\s*,\s*'
                    + C_STRING + r'\s*\))')
ESCAPES = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', "'": "'"}


def unescape(text):
    return re.sub(r'\\(.)', lambda m: ESCAPES.get(m.group(1), m.group(1)), text)


def marked(sources, relative_to):
    """Every tr("...") and trc("context", "...") of the sources, and the same
    marked in a table with N_("...") and NC_("context", "...")."""
    entries = []
    for folder, dirs, files in os.walk(sources):
        dirs.sort()
        for file in sorted(files):
            if not file.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(folder, file)
            name = os.path.relpath(path, relative_to)
            with open(path, encoding='utf-8') as f:
                source = f.read()
            for m in MARKED.finditer(source):
                number = source.count('\n', 0, m.start()) + 1
                if m.group(1) is not None:
                    entries.append(Entry(None, unescape(m.group(1)), f'{name}:{number}', None))
                elif not name.startswith('src/i18n/'):  # the marker's own definition
                    entries.append(Entry(unescape(m.group(2)), unescape(m.group(3)), f'{name}:{number}', None))
    return [e for e in entries if not e.reference.startswith('src/i18n/')]


def quoted(text):
    escaped = text.replace('\\', '\\\\').replace('"', '\\"').replace('\t', '\\t')
    lines = escaped.split('\n')
    if len(lines) == 1:
        return f'"{escaped}"'
    parts = [line + '\\n' for line in lines[:-1]] + ([lines[-1]] if lines[-1] else [])
    return '""\n' + '\n'.join(f'"{p}"' for p in parts)


def template(entries):
    merged = collections.OrderedDict()
    for e in entries:
        if not e.text:
            continue
        merged.setdefault((e.context, e.text), []).append(e)
    out = ['# The strings a player of Tarnwick reads.',
           '#, fuzzy',
           'msgid ""',
           'msgstr ""',
           '"Project-Id-Version: tarnwick\\n"',
           '"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n"',
           '"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n"',
           '"Language-Team: LANGUAGE <LL@li.org>\\n"',
           '"Language: \\n"',
           '"MIME-Version: 1.0\\n"',
           '"Content-Type: text/plain; charset=UTF-8\\n"',
           '"Content-Transfer-Encoding: 8bit\\n"',
           '']
    for (context, text), uses in merged.items():
        for e in uses:
            if e.comment:
                out.append(f'#. {e.reference.split(":")[0]}: {e.comment}')
        out.append('#: ' + ' '.join(e.reference for e in uses))
        if '{' in text:
            out.append('#, python-brace-format')
        if context:
            out.append(f'msgctxt {quoted(context)}')
        out.append(f'msgid {quoted(text)}')
        out.append('msgstr ""')
        out.append('')
    return '\n'.join(out)


def collect(world, sources):
    entries = []
    if sources:
        entries += marked(sources, os.path.dirname(os.path.abspath(sources)))
    txt = os.path.join(world, 'res', 'txt')
    for file in sorted(os.listdir(txt)) if os.path.isdir(txt) else []:
        path = os.path.join(txt, file)
        if file.endswith('.xml') and os.path.isfile(path):
            entries += conversation(path, f'res/txt/{file}')
    path = os.path.join(txt, 'goals.ini')
    if os.path.isfile(path):
        entries += goals(path, 'res/txt/goals.ini')
    maps = os.path.join(world, 'res', 'maps')
    for file in sorted(os.listdir(maps)) if os.path.isdir(maps) else []:
        if file.endswith(('.json', '.tmx')) and os.path.isfile(os.path.join(maps, file)):
            entries += map_rooms(os.path.join(maps, file), f'res/maps/{file}')
            entries += map_names(os.path.join(maps, file), f'res/maps/{file}')
    return entries


def main():
    args = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    args.add_argument('--world', default=REPO)
    args.add_argument('--sources')
    args.add_argument('--output')
    args.add_argument('--check', action='store_true')
    options = args.parse_args()
    world = os.path.abspath(options.world)
    sources = options.sources
    if sources is None and world == REPO:
        sources = os.path.join(REPO, 'src')
    if not os.path.isdir(os.path.join(world, 'res')):
        sys.exit(f'make-pot: no res/ folder in {world}: name the folder that holds res/')
    output = options.output or os.path.join(world, 'po', 'tarnwick.pot')
    try:
        text = template(collect(world, sources))
    except (ValueError, OSError) as e:
        sys.exit(f'make-pot: {e}')
    if options.check:
        old = open(output, encoding='utf-8').read() if os.path.isfile(output) else ''
        if old == text:
            return
        sys.stdout.writelines(difflib.unified_diff(old.splitlines(True), text.splitlines(True), output, 'now'))
        sys.exit(f'make-pot: {output} is out of date: run make pot')
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, 'w', encoding='utf-8') as f:
        f.write(text)


if __name__ == '__main__':
    main()

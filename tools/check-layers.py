#!/usr/bin/env python3
"""Fails when a source file under src/ includes a file of a layer above its own.

The layers are the table in src/README.md: one row per folder (or single
file), its layer number first. Files of one layer may include each other;
a file may include anything below its layer, nothing above it.

    tools/check-layers.py [SRC_DIR]      (default: src/ beside this tool)
"""
import os
import re
import sys

ROW = re.compile(r'^\|\s*(\d+)\s*\|\s*`([^`]+)`')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_layers(readme):
    layers = {}
    with open(readme, encoding='utf-8') as f:
        for line in f:
            m = ROW.match(line)
            if m:
                layers[m.group(2).rstrip('/')] = int(m.group(1))
    return layers


def layer_of(path, layers):
    """A file's own row wins over its folder's."""
    if path in layers:
        return layers[path]
    return layers.get(path.split('/')[0])


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src')
    layers = read_layers(os.path.join(src, 'README.md'))
    problems = []
    for folder, _, files in sorted(os.walk(src)):
        for name in sorted(files):
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.relpath(os.path.join(folder, name), src).replace(os.sep, '/')
            own = layer_of(path, layers)
            if own is None:
                problems.append(f'{path}: its folder has no layer in src/README.md')
                continue
            with open(os.path.join(folder, name), encoding='utf-8') as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    if not os.path.exists(os.path.join(src, target)):
                        problems.append(f'{path}:{number}: "{target}" is not a path under src/ (name its folder)')
                        continue
                    theirs = layer_of(target, layers)
                    if theirs is not None and theirs > own:
                        problems.append(f'{path}:{number}: includes {target}, of layer {theirs}, above its own ({own})')
    for p in problems:
        print(p)
    if problems:
        print(f'{len(problems)} include(s) break the layers of src/README.md')
        return 1
    print('layers: every include runs down or across')
    return 0


if __name__ == '__main__':
    sys.exit(main())

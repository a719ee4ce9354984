#!/usr/bin/env python3
"""Builds res/maps/testmap.json from the text map in tools/map/.

    python3 tools/buildmap.py [REPOSITORY_ROOT]

Inputs:
  tools/map/layout.txt  the "structure" and "objects" grids
  tools/map/legend.txt  what each grid character means
  tools/map/tiles.txt   type, solidity, name, dialogue and part of each tile
  tools/map/rooms.txt   the rooms: a name and a rectangle of cells each
  tools/art/*.txt       the "gfx/world.png" sheet gives the tile numbers

The map has three tile layers (floor, walls, objects), an object layer
"rooms" of named rectangles, and one tileset. It is built
in the older JSON format (properties keyed by tile number) and converted by
tools/mapconvert.py to the format today's map editor writes, which is what
the game ships, so it can be opened and edited in the editor. Three files are
written:

  res/maps/testmap.json                  the shipped map, today's format
  tests/fixtures/shipped/legacy.json     the same map in the older format
  tests/fixtures/shipped/tiled-1.8.json  the shipped map as the editor (tiled
                                         1.8) saves it; only when tiled is
                                         installed (Debian package tiled)

The tests hold all three to the same world.
"""

import fnmatch
import glob
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from mapconvert import convert, write_json  # noqa: E402

TILE = 32
WALL_CHARS_OPEN = "open"


class MapError(Exception):
    pass


def read_sheet(root, wanted="gfx/world.png"):
    """Returns (columns, slot names) of the sheet that writes `wanted`."""
    for path in sorted(glob.glob(os.path.join(root, "tools", "art", "*.txt"))):
        with open(path, encoding="utf-8") as f:
            lines = [l.strip() for l in f]
        for i, line in enumerate(lines):
            words = line.split()
            if len(words) == 3 and words[0] == "sheet" and words[1] == wanted:
                slots = []
                for l in lines[i + 1:]:
                    if l == "end":
                        return int(words[2]), slots
                    if l and not l.startswith("#"):
                        slots.extend(l.split())
                raise MapError("%s: sheet %s has no end" % (path, wanted))
    raise MapError("no art file declares the sheet " + wanted)


def read_grids(path):
    grids, current, name = {}, None, None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if current is None:
                if not line.strip() or line.startswith("#"):
                    continue
                if line.strip() in ("structure", "objects"):
                    name, current = line.strip(), []
                    continue
                raise MapError("%s: unexpected line %r" % (path, line))
            if line == "end":
                grids[name], current = current, None
            else:
                current.append(line)
    for n in ("structure", "objects"):
        if n not in grids:
            raise MapError("%s: grid %r missing" % (path, n))
    s, o = grids["structure"], grids["objects"]
    width = len(s[0])
    for g, n in ((s, "structure"), (o, "objects")):
        if len(g) != len(s) or any(len(r) != width for r in g):
            raise MapError("%s: the %s grid is not %d x %d" % (path, n, width, len(s)))
    return s, o


def read_legend(path):
    legend = {"floor": {}, "wall": {}, "door": set(), "solid": {}, "object": {}, "tableend": {}}
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            words = line.split()
            kind = words[0]
            if kind == "door" and len(words) == 2:
                legend["door"].add(words[1])
            elif kind in ("floor", "wall", "solid", "object", "tableend") and len(words) == 3:
                legend[kind][words[1]] = words[2]
            else:
                raise MapError("%s:%d: bad legend line" % (path, number))
    return legend


def statements(path):
    """(line number, words) of every line of `path` that is no comment or blank."""
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if line and not line.startswith("#"):
                yield number, shlex.split(line)


def read_properties(path):
    rules = []
    for number, words in statements(path):
        if len(words) < 3 or words[2] not in ("true", "false"):
            raise MapError("%s:%d: expected PATTERN TYPE true|false" % (path, number))
        props = {"type": words[1], "solid": words[2] == "true"}
        for w in words[3:]:
            key, sep, value = w.partition("=")
            if not sep:
                raise MapError("%s:%d: expected key=value, got %r" % (path, number, w))
            props[key] = int(value) if key in ("part", "facings") else value
        if props["type"] == "victim" and "part" not in props:
            raise MapError("%s:%d: a victim needs part=" % (path, number))
        rules.append((words[0], props))
    return rules


def properties_for(rules, name):
    for pattern, props in rules:
        if fnmatch.fnmatchcase(name, pattern):
            return props
    return None


def read_rooms(path, width, height):
    """The rooms as (name, column, row, columns, rows); they must not overlap."""
    rooms, owner = [], {}
    for number, words in statements(path):
        if len(words) != 5 or not all(w.isdigit() for w in words[1:]):
            raise MapError("%s:%d: expected \"NAME\" COLUMN ROW COLUMNS ROWS" % (path, number))
        x, y, w, h = (int(v) for v in words[1:])
        if w < 1 or h < 1 or x + w > width or y + h > height:
            raise MapError("%s:%d: room %r is not inside the map" % (path, number, words[0]))
        for cy in range(y, y + h):
            for cx in range(x, x + w):
                if (cx, cy) in owner:
                    raise MapError("%s:%d: room %r overlaps %r at cell %d,%d"
                                   % (path, number, words[0], owner[(cx, cy)], cx, cy))
                owner[(cx, cy)] = words[0]
        rooms.append((words[0], x, y, w, h))
    return rooms


def build(root):
    columns, slots = read_sheet(root)
    index = {}
    for k, n in enumerate(slots):
        if n != "-":
            index[n] = k
    structure, objects = read_grids(os.path.join(root, "tools", "map", "layout.txt"))
    legend = read_legend(os.path.join(root, "tools", "map", "legend.txt"))
    rules = read_properties(os.path.join(root, "tools", "map", "tiles.txt"))
    height, width = len(structure), len(structure[0])

    def at(x, y):
        return structure[y][x] if 0 <= x < width and 0 <= y < height else None

    def is_wall(x, y):
        c = at(x, y)
        return c is not None and (c in legend["wall"] or c in legend["solid"])

    def is_open(x, y):
        c = at(x, y)
        return c is not None and (c in legend["floor"] or c in legend["door"])

    def tile(name, x, y):
        if name not in index:
            raise MapError("cell %d,%d: tile %r is not in the world sheet" % (x, y, name))
        return index[name] + 1

    floor = [0] * (width * height)
    walls = [0] * (width * height)
    things = [0] * (width * height)
    for y in range(height):
        for x in range(width):
            c, k = structure[y][x], y * width + x
            if c in legend["floor"]:
                floor[k] = tile(legend["floor"][c], x, y)
            elif c in legend["door"]:
                horizontal = is_wall(x - 1, y) and is_wall(x + 1, y)
                floor[k] = tile("doorway_h" if horizontal else "doorway_v", x, y)
            elif c in legend["solid"]:
                walls[k] = tile(legend["solid"][c], x, y)
            elif c in legend["wall"]:
                deco = legend["wall"][c]
                north = not is_wall(x, y - 1)
                if is_open(x, y + 1):
                    if deco != "-":
                        name = "face_" + deco + ("_n" if north else "")
                    else:
                        ends = ("w" if not is_wall(x - 1, y) else "") + ("e" if not is_wall(x + 1, y) else "")
                        name = "wall_face_" + (("n" if north else "") + ends or "x")
                else:
                    if deco != "-":
                        raise MapError("cell %d,%d: decoration %r on a wall without a visible face" % (x, y, c))
                    rims = "".join(side for side, (dx, dy) in
                                   zip("nesw", ((0, -1), (1, 0), (0, 1), (-1, 0)))
                                   if not is_wall(x + dx, y + dy))
                    name = "wall_top_" + (rims or "x")
                walls[k] = tile(name, x, y)
            else:
                raise MapError("cell %d,%d: unknown structure character %r" % (x, y, c))

            o = objects[y][x]
            if o == ".":
                continue
            if not is_open(x, y):
                raise MapError("cell %d,%d: object %r stands on a wall" % (x, y, o))
            if o in legend["object"]:
                name = legend["object"][o]
            elif o in legend["tableend"]:
                side = legend["tableend"][o]
                nx = x + 1 if side == "l" else x - 1
                centre = legend["object"].get(objects[y][nx] if 0 <= nx < width else ".", "")
                if not centre.endswith("_m"):
                    raise MapError("cell %d,%d: table end without a table centre beside it" % (x, y))
                name = centre[:-2] + "_" + side
            else:
                raise MapError("cell %d,%d: unknown object character %r" % (x, y, o))
            things[k] = tile(name, x, y)

    used = {v for layer in (floor, walls, things) for v in layer if v}
    tileproperties = {}
    for name, k in index.items():
        props = properties_for(rules, name)
        if props is None:
            if k + 1 in used:
                raise MapError("tile %r is used but tools/map/tiles.txt has no line for it" % name)
            continue
        tileproperties[str(k)] = dict(props)
    types = {}
    for v in used:
        types[v] = tileproperties[str(v - 1)]["type"]
    counts = {}
    for layer in (floor, walls, things):
        for v in layer:
            if v:
                counts[types[v]] = counts.get(types[v], 0) + 1
    for t, n in (("player", 1), ("warden", 1), ("boss", 1), ("table", 3)):
        if counts.get(t, 0) != n:
            raise MapError("the map has %d cells of type %s, not %d" % (counts.get(t, 0), t, n))

    rooms = read_rooms(os.path.join(root, "tools", "map", "rooms.txt"), width, height)
    rows = (len(slots) + columns - 1) // columns

    def layer(name, data):
        return {"name": name, "type": "tilelayer", "x": 0, "y": 0, "width": width, "height": height,
                "opacity": 1, "visible": True, "data": data}

    propertytypes = {}
    for k, props in tileproperties.items():
        propertytypes[k] = {key: ("bool" if isinstance(v, bool) else "int" if isinstance(v, int) else "string")
                            for key, v in props.items()}
    return {
        "type": "map", "version": 1, "orientation": "orthogonal", "renderorder": "right-down",
        "width": width, "height": height, "tilewidth": TILE, "tileheight": TILE,
        "nextobjectid": len(rooms) + 1,
        "layers": [layer("floor", floor), layer("walls", walls), layer("objects", things), {
            "name": "rooms", "type": "objectgroup", "x": 0, "y": 0, "opacity": 1, "visible": True,
            "objects": [{"id": k, "name": name, "type": "", "x": x * TILE, "y": y * TILE,
                         "width": w * TILE, "height": h * TILE, "rotation": 0, "visible": True}
                        for k, (name, x, y, w, h) in enumerate(rooms, 1)],
        }],
        "tilesets": [{
            "name": "world", "image": "../gfx/world.png", "firstgid": 1,
            "tilewidth": TILE, "tileheight": TILE, "margin": 0, "spacing": 0,
            "columns": columns, "tilecount": columns * rows,
            "imagewidth": columns * TILE, "imageheight": rows * TILE,
            "tileproperties": tileproperties, "tilepropertytypes": propertytypes,
        }],
    }


def save_as_the_editor(root, source, target):
    """Has the map editor open `source` (inside a copy of the resource tree,
    so that the picture's path stays ../gfx/world.png) and save it to `target`."""
    with tempfile.TemporaryDirectory() as work:
        maps = os.path.join(work, "res", "maps")
        os.makedirs(maps)
        os.symlink(os.path.join(os.path.abspath(root), "res", "gfx"), os.path.join(work, "res", "gfx"))
        shutil.copy(source, os.path.join(maps, "testmap.json"))
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        subprocess.run(["tiled", "--export-map", "json", os.path.join(maps, "testmap.json"),
                        os.path.join(maps, "saved.json")], check=True, env=env, stderr=subprocess.DEVNULL)
        shutil.copy(os.path.join(maps, "saved.json"), target)


def main(argv):
    root = argv[1] if len(argv) > 1 else "."
    try:
        data = build(root)
    except MapError as e:
        print("buildmap: " + str(e), file=sys.stderr)
        return 1
    out = os.path.join(root, "res", "maps", "testmap.json")
    fixtures = os.path.join(root, "tests", "fixtures", "shipped")
    write_json(data, os.path.join(fixtures, "legacy.json"))
    write_json(convert(data, os.path.dirname(out)), out)
    print("%s: %d x %d cells" % (out, data["width"], data["height"]))
    if shutil.which("tiled"):
        save_as_the_editor(root, out, os.path.join(fixtures, "tiled-1.8.json"))
    else:
        print("buildmap: tiled is not installed: %s was not renewed"
              % os.path.join(fixtures, "tiled-1.8.json"), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

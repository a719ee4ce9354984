#!/usr/bin/env python3
"""Checks the game's data under res/ for mistakes that the game itself would
only show as a crash, garbled text or a story that cannot be finished.

    python3 tools/checkcontent.py [REPOSITORY_ROOT]

Conversations (res/txt/*.xml): root element <dialogue>; every node has a
<text> with at least one line; lines and labels hold plain text only (no
comments, attributes or nested elements); at most 3 options, each with a
response wrapper holding a <dialogue>; every screen line fits the dialogue
panel (90 characters) and a page has at most 4 screen lines; ASCII only.

Goal line (res/txt/goals.ini): a line for every situation, only known
placeholders, at most 85 characters; the endings named.

Map (res/maps/testmap.json): every used tile has "type" and "solid" in the
first tileset (firstgid 1); one player, one warden, one boss, three tables;
enough victims for every part; pictures exist for a victim's and a table's
later looks; the player sheet has a row for every disguise count; every
named conversation file exists; the boss, the victims and the warden are
reachable without passing the warden, the tables only past him; his aside
cell is free floor that blocks no path.

Exits with status 1 and one line per problem if anything is wrong.
"""

import json
import os
import struct
import sys
import xml.etree.ElementTree as ET
from collections import deque

MAX_COLUMNS = 90     # characters per screen line in the dialogue panel
MAX_PAGE_LINES = 4   # text lines below the speaker's name
MAX_OPTIONS = 3
TILE = 32

problems = []


def problem(where, message):
    problems.append("%s: %s" % (where, message))


# ---------------------------------------------------------------- dialogue

def parse_xml(path):
    parser = ET.XMLParser(target=ET.TreeBuilder(insert_comments=True))
    with open(path, "rb") as f:
        return ET.fromstring(f.read(), parser=parser)


def is_comment(el):
    return el.tag is ET.Comment


def plain_text(el, where, what):
    """The character data of a line or label, as the game reads it."""
    if el.attrib:
        problem(where, "%s <%s> has attributes" % (what, el.tag))
    if len(el):
        problem(where, "%s <%s> contains elements or comments" % (what, el.tag))
    text = (el.text or "") + "".join((c.tail or "") for c in el)
    try:
        text.encode("ascii")
    except UnicodeEncodeError:
        problem(where, "%s %r is not plain ASCII (the game shows bytes, not UTF-8)" % (what, text[:40]))
    if text != text.strip():
        problem(where, "%s %r starts or ends with white space, which the game shows" % (what, text[:40]))
    return text


def check_children(parent, where, what):
    for c in parent:
        if is_comment(c):
            problem(where, "comment inside <%s> would become an extra %s" % (parent.tag, what))
    if parent.attrib:
        problem(where, "attribute on <%s> would become an extra %s" % (parent.tag, what))
    return [c for c in parent if not is_comment(c)]


def check_node(node, where, speakers, depth=0):
    text = node.find("text")
    if text is None:
        problem(where, "a <dialogue> without <text>")
        return
    lines = check_children(text, where, "line")
    if not lines:
        problem(where, "a node without lines")
    for el in lines:
        line = plain_text(el, where, "line")
        rows = line.split("\n")
        if len(rows) > MAX_PAGE_LINES:
            problem(where, "page has %d screen lines (max %d): %r" % (len(rows), MAX_PAGE_LINES, line[:40]))
        for r in rows:
            if len(r) > MAX_COLUMNS:
                problem(where, "screen line of %d characters (max %d): %r" % (len(r), MAX_COLUMNS, r[:40]))
    options = node.find("options")
    if options is None:
        return
    labels = check_children(options, where, "option")
    if len(labels) > MAX_OPTIONS:
        problem(where, "%d options; only %d can be chosen" % (len(labels), MAX_OPTIONS))
    for el in labels:
        label = plain_text(el, where, "option")
        if "\n" in label or len(" 1. " + label) > MAX_COLUMNS:
            problem(where, "option label too long or on several lines: %r" % label[:40])
    responses = node.find("responses")
    if responses is None:
        problem(where, "<options> without <responses>")
        return
    wrappers = check_children(responses, where, "response")
    if len(wrappers) < len(labels):
        problem(where, "%d options but %d responses" % (len(labels), len(wrappers)))
    for n, w in enumerate(wrappers, 1):
        inner = w.find("dialogue")
        if inner is None:
            problem(where, "response %d has no <dialogue> inside its wrapper" % n)
        else:
            check_node(inner, "%s > %d" % (where, n), speakers, depth + 1)


def check_dialogue_file(path):
    where = os.path.relpath(path)
    try:
        root = parse_xml(path)
    except (ET.ParseError, OSError) as e:
        problem(where, "not readable XML: %s" % e)
        return
    if root.tag != "dialogue":
        problem(where, "root element is <%s>, not <dialogue>" % root.tag)
        return
    check_node(root, where, None)


def root_options(path):
    try:
        root = parse_xml(path)
    except (ET.ParseError, OSError):
        return None
    options = root.find("options")
    if options is None:
        return []
    return [c for c in options if not is_comment(c)]


# ---------------------------------------------------------------- map

def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def flag(value):
    if isinstance(value, bool):
        return value
    if str(value) in ("true", "1"):
        return True
    if str(value) in ("false", "0"):
        return False
    raise ValueError(value)


def check_map(res):
    where = "res/maps/testmap.json"
    try:
        with open(os.path.join(res, "maps", "testmap.json"), encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        problem(where, "cannot read: %s" % e)
        return
    width, height = int(data["width"]), int(data["height"])
    if width < 40 or height < 30:
        problem(where, "map is %d x %d cells, smaller than 40 x 30" % (width, height))
    if int(data["tileheight"]) != TILE:
        problem(where, "tileheight is not %d" % TILE)
    layers = data["layers"]
    if len(layers) < 2:
        problem(where, "fewer than two layers")
    ts = data["tilesets"][0]
    if int(ts["firstgid"]) != 1:
        problem(where, "the first tileset's firstgid is not 1")
    props = ts.get("tileproperties", {})
    image = os.path.normpath(os.path.join(res, "maps", ts["image"]))
    size = png_size(image)
    if size is None:
        problem(where, "tileset image %s missing or not a PNG" % ts["image"])
        slots = 0
    else:
        slots = (size[0] // TILE) * (size[1] // TILE)

    grids = []
    for n, layer in enumerate(layers):
        cells = [int(v) for v in layer["data"]]
        if len(cells) > width * height:
            problem(where, "layer %d has more than width x height cells" % n)
        cells += [0] * (width * height - len(cells))
        grids.append(cells)

    info = {}   # cell value -> properties
    for cells in grids:
        for v in cells:
            if v and v not in info:
                p = props.get(str(v - 1))
                if p is None or "type" not in p or "solid" not in p:
                    problem(where, "tile %d is used but lacks type or solid" % (v - 1))
                    info[v] = {"type": "?", "solid": True}
                    continue
                try:
                    flag(p["solid"])
                except ValueError:
                    problem(where, "tile %d has a solid value that is not a flag" % (v - 1))
                info[v] = p
                if v - 1 >= slots:
                    problem(where, "tile %d lies outside the tileset image" % (v - 1))

    cells_of = {}
    for li, cells in enumerate(grids):
        for k, v in enumerate(cells):
            if v:
                cells_of.setdefault(info[v]["type"], []).append((k % width, k // width, v, li))
    for t, n in (("player", 1), ("warden", 1), ("boss", 1), ("table", 3)):
        if len(cells_of.get(t, [])) != n:
            problem(where, "%d cells of type %s, expected %d" % (len(cells_of.get(t, [])), t, n))

    victims = cells_of.get("victim", [])
    parts = []
    for x, y, v, _ in victims:
        p = info[v]
        if "part" not in p:
            problem(where, "victim at %d,%d has no part" % (x, y))
            continue
        parts.append(int(p["part"]))
        if v >= slots:
            problem(where, "victim tile %d has no plain look at %d" % (v - 1, v))
        if not p.get("dialogue"):
            problem(where, "victim at %d,%d has no dialogue, so its disguise can never be taken" % (x, y))
    # Whatever order the player takes disguises in, part p needs p + 1 of them
    # while only victims of part p or later are still there.
    for p in range(3):
        if sum(1 for q in parts if q >= p) < p + 1:
            problem(where, "part %d needs %d disguises but only %d victims remain by then"
                    % (p, p + 1, sum(1 for q in parts if q >= p)))
    if sum(1 for q in parts if q >= 2) < 3:
        problem(where, "fewer than three victims of part 2 or later: a player who takes the later "
                       "victims first can run out of disguises")
    for x, y, v, _ in cells_of.get("table", []):
        if v + 2 >= slots:
            problem(where, "table tile %d has no defaced looks at %d..%d" % (v - 1, v, v + 2))

    psize = png_size(os.path.join(res, "gfx", "player.png"))
    if psize is None:
        problem("res/gfx/player.png", "missing or not a PNG")
    else:
        if psize[0] != 4 * TILE:
            problem("res/gfx/player.png", "is %d pixels wide, not %d" % (psize[0], 4 * TILE))
        if psize[1] < (len(victims) + 1) * TILE:
            problem("res/gfx/player.png", "has %d rows, needs %d (0..%d disguises)"
                    % (psize[1] // TILE, len(victims) + 1, len(victims)))

    txt = os.path.join(res, "txt")
    needed = ["warden%d" % i for i in range(6)] + ["table%d" % i for i in range(3)] + \
             ["boss%d" % i for i in range(4)]
    for v, p in info.items():
        if p.get("dialogue"):
            needed.append(p["dialogue"])
            if p["type"] == "victim":
                needed.append(p["dialogue"] + "2")
        if len(p.get("name", "")) > MAX_COLUMNS:
            problem(where, "name %r is too long for the dialogue panel" % p["name"])
    for n in sorted(set(needed)):
        if not os.path.exists(os.path.join(txt, n + ".xml")):
            problem("res/txt", "%s.xml is missing" % n)
    for x, y, v, _ in victims:
        d = info[v].get("dialogue")
        if d:
            opts = root_options(os.path.join(txt, d + "2.xml"))
            if opts is not None and len(opts) != 3:
                problem("res/txt/%s2.xml" % d, "a disguise offer should have three options "
                        "(1 and 3 give the disguise up, 2 declines)")

    # Cells with a floor, and cells blocked by something solid.
    floor = [[False] * width for _ in range(height)]
    solid = [[False] * width for _ in range(height)]
    for cells in grids:
        for k, v in enumerate(cells):
            if v:
                x, y = k % width, k // width
                if flag(info[v].get("solid", True)):
                    if info[v]["type"] != "player":
                        solid[y][x] = True
                else:
                    floor[y][x] = True
    player = cells_of.get("player", [None])[0]
    if player and not floor[player[1]][player[0]]:
        problem(where, "no floor tile under the player")
    if player and player[3] == 0:
        problem(where, "the player stands on the first layer, under the floor")

    warden = cells_of.get("warden", [None])[0]
    if not (player and warden):
        return
    wx, wy = warden[0], warden[1]
    ax, ay = wx + 1, wy + 1

    def reach(blocked):
        seen = {(player[0], player[1])}
        todo = deque(seen)
        while todo:
            x, y = todo.popleft()
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if 0 <= nx < width and 0 <= ny < height and (nx, ny) not in seen \
                        and not blocked(nx, ny):
                    seen.add((nx, ny))
                    todo.append((nx, ny))
        return seen

    def touches(cells, x, y):
        return any((x + dx, y + dy) in cells for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))

    guarding = reach(lambda x, y: solid[y][x])                      # warden at his post
    aside = reach(lambda x, y: (solid[y][x] and (x, y) != (wx, wy)) or (x, y) == (ax, ay))
    free = reach(lambda x, y: solid[y][x] and (x, y) != (wx, wy))     # warden gone

    if not (0 <= ax < width and 0 <= ay < height) or not floor[ay][ax] or solid[ay][ax]:
        problem(where, "the warden's aside cell %d,%d is not free floor" % (ax, ay))
    if free - {(ax, ay)} != aside:
        problem(where, "the warden standing aside at %d,%d cuts off part of the map" % (ax, ay))
    if not touches(guarding, wx, wy):
        problem(where, "the warden cannot be reached without passing him")
    for t in ("boss", "victim", "npc"):
        for x, y, v, _ in cells_of.get(t, []):
            if not touches(guarding, x, y):
                problem(where, "%s %s at %d,%d cannot be reached without passing the warden"
                        % (t, info[v].get("name", ""), x, y))
    for x, y, v, _ in cells_of.get("boss", []):
        if abs(x - wx) + abs(y - wy) <= 2:
            problem(where, "the boss stands too close to the warden's post")
    for x, y, v, _ in cells_of.get("table", []):
        if not touches(aside, x, y):
            problem(where, "table at %d,%d cannot be reached even with the warden aside" % (x, y))
        if touches(guarding, x, y):
            problem(where, "table at %d,%d can be reached without passing the warden" % (x, y))


# ---------------------------------------------------------------- goal line

GOAL_COLUMNS = 85    # characters the goal line holds across the picture


def check_goals(path):
    """The goal line: every situation has a line, with known placeholders."""
    import configparser
    import re
    where = os.path.relpath(path)
    goals = configparser.ConfigParser(comment_prefixes=(";", "#"), delimiters=("=",),
                                      interpolation=None, default_section="\x00")
    goals.optionxform = str
    try:
        with open(path, encoding="ascii") as f:
            goals.read_string("[top]\n" + f.read())
    except (OSError, UnicodeError, configparser.Error) as e:
        problem(where, str(e).splitlines()[0])
        return
    wanted = [("top", "start")] + [("part%d" % p, k) for p in range(3)
                                   for k in ("livery", "table", "report")]
    for section, key in wanted:
        line = goals.get(section, key, fallback="").strip()
        name = key if section == "top" else "[%s] %s" % (section, key)
        if not line:
            problem(where, "no line for %s" % name)
            continue
        for placeholder in re.findall(r"{([^}]*)}", line):
            if placeholder not in ("wanted", "worn", "missing"):
                problem(where, "%s: unknown placeholder {%s}" % (name, placeholder))
        if len(line) > GOAL_COLUMNS:
            problem(where, "%s: longer than %d characters" % (name, GOAL_COLUMNS))
    if not goals.has_section("endings"):
        problem(where, "no [endings]: the closing card will only say 'The end'")


def main(argv):
    root = argv[1] if len(argv) > 1 else "."
    res = os.path.join(root, "res")
    txt = os.path.join(res, "txt")
    files = sorted(f for f in os.listdir(txt) if f.endswith(".xml")) if os.path.isdir(txt) else []
    for f in files:
        check_dialogue_file(os.path.join(txt, f))
    check_map(res)
    check_goals(os.path.join(txt, "goals.ini"))
    for name in ("fnt/LibMono.ttf", "gfx/world.png", "gfx/player.png"):
        if not os.path.exists(os.path.join(res, name)):
            problem("res/" + name, "missing")
    for p in problems:
        print(p)
    print("checked %d conversation files, the goal line and the map: %d problem%s"
          % (len(files), len(problems), "" if len(problems) == 1 else "s"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

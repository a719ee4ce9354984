#!/usr/bin/env python3
"""Converts a map from the older JSON format (tileset "tileproperties" keyed
by tile number) to the JSON format today's map editor writes (tiled 1.2 and
later: per-tile "tiles" arrays with typed "properties").

    python3 tools/mapconvert.py OLD.json NEW.json

The new map gives the game the same world: the same cells, layers, pictures
and properties. A tile's "type" property becomes the tile's type (its class in
the editor), the other properties keep their types ("tilepropertytypes" when
the file has them, else the JSON type of the value). Short layers are padded
with empty cells, since the editor expects every layer to cover the map.

The older format takes every cell's properties from the first tileset whose
"firstgid" is not above the cell, under the key cell - 1; today's takes them
from the tileset the cell belongs to, under cell - firstgid. Where the two
rules would give a cell different properties or pictures (several tilesets,
or a first tileset not starting at 1), the map is not converted: the
converter says which cell and stops.
"""

import json
import os
import struct
import sys


class ConvertError(Exception):
    pass


def png_size(path):
    try:
        with open(path, "rb") as f:
            head = f.read(24)
    except OSError:
        return None
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def property_type(value, declared):
    if declared in ("bool", "int", "float", "string", "color", "file"):
        return declared
    if isinstance(value, bool):
        return "bool"
    if isinstance(value, int):
        return "int"
    if isinstance(value, float):
        return "float"
    return "string"


def typed(value, kind):
    """The value as the editor writes a property of that type."""
    text = value if isinstance(value, str) else json.dumps(value)
    try:
        if kind == "bool":
            return text in ("true", "1") if isinstance(value, str) else bool(value)
        if kind == "int":
            return int(text)
        if kind == "float":
            return float(text)
    except ValueError:
        raise ConvertError("the value %r does not fit its type %s" % (value, kind))
    return value if isinstance(value, str) else text


def used_values(layers):
    values = set()
    for layer in layers:
        data = layer.get("data")
        if isinstance(data, list):
            values.update(int(v) for v in data if int(v) != 0)
    return values


def convert(old, folder="."):
    """The converted map (a dict) of the older map `old`, whose file lies in
    `folder` (tileset images are found from there)."""
    if any("tileproperties" not in t for t in old.get("tilesets", [])):
        raise ConvertError("every tileset of a map in the older format has \"tileproperties\"")
    width, height, size = int(old["width"]), int(old["height"]), int(old["tileheight"])
    tilesets = old["tilesets"]
    firstgids = [int(t["firstgid"]) for t in tilesets]

    # Each used cell must mean the same under both rules.
    for v in sorted(used_values(old["layers"])):
        older = next((i for i, g in enumerate(firstgids) if g <= v), None)
        newer = max((i for i, g in enumerate(firstgids) if g <= v), key=lambda i: firstgids[i], default=None)
        if older != newer or (older is not None and firstgids[older] != 1):
            raise ConvertError("cell value %d draws from another tileset, or under another key, in today's "
                               "format; convert this map by hand" % v)

    layers = []
    next_object = 1
    for n, layer in enumerate(old["layers"], 1):
        if layer.get("type") == "objectgroup":
            # Named rectangles (the rooms) keep their names and places.
            objects = []
            for thing in layer.get("objects", []):
                objects.append({
                    "height": thing.get("height", 0), "id": next_object, "name": thing.get("name", ""),
                    "rotation": thing.get("rotation", 0), "type": thing.get("type", ""),
                    "visible": thing.get("visible", True), "width": thing.get("width", 0),
                    "x": thing.get("x", 0), "y": thing.get("y", 0),
                })
                next_object += 1
            layers.append({
                "draworder": "topdown", "id": n, "name": layer.get("name", "layer %d" % n), "objects": objects,
                "opacity": layer.get("opacity", 1), "type": "objectgroup", "visible": layer.get("visible", True),
                "x": 0, "y": 0,
            })
            continue
        data = layer.get("data")
        if not isinstance(data, list):
            raise ConvertError("layer %d has no array of cells" % n)
        cells = [int(v) for v in data] + [0] * (width * height - len(data))
        layers.append({
            "data": cells, "height": height, "id": n, "name": layer.get("name", "layer %d" % n),
            "opacity": layer.get("opacity", 1), "type": "tilelayer", "visible": layer.get("visible", True),
            "width": width, "x": 0, "y": 0,
        })

    new_tilesets = []
    for tileset in tilesets:
        image = tileset.get("image", "")
        size_on_disk = png_size(os.path.join(folder, image)) if image else None
        image_width, image_height = size_on_disk or (int(tileset.get("imagewidth", 0)),
                                                     int(tileset.get("imageheight", 0)))
        columns = image_width // size
        declared = tileset.get("tilepropertytypes", {})
        tiles = []
        for key, props in sorted(tileset["tileproperties"].items(), key=lambda kv: int(kv[0])):
            entry = {"id": int(key)}
            listed = []
            for name, value in sorted(props.items()):
                if name == "type":
                    continue
                kind = property_type(value, declared.get(key, {}).get(name))
                listed.append({"name": name, "type": kind, "value": typed(value, kind)})
            if listed:
                entry["properties"] = listed
            if "type" in props:
                entry["type"] = str(props["type"])
            tiles.append(entry)
        # The older format cuts the image into the map's tile size from the
        # top-left pixel, whatever the tileset says.
        new_tilesets.append({
            "columns": columns, "firstgid": int(tileset["firstgid"]), "image": image,
            "imageheight": image_height, "imagewidth": image_width, "margin": 0,
            "name": tileset["name"], "spacing": 0, "tilecount": columns * (image_height // size),
            "tileheight": size, "tiles": tiles, "tilewidth": size,
        })

    return {
        "compressionlevel": -1, "height": height, "infinite": False, "layers": layers,
        "nextlayerid": len(layers) + 1, "nextobjectid": next_object,
        "orientation": old.get("orientation", "orthogonal"), "renderorder": old.get("renderorder", "right-down"),
        "tiledversion": "1.8.2", "tileheight": size, "tilesets": new_tilesets, "tilewidth": size,
        "type": "map", "version": "1.8", "width": width,
    }


def write_json(data, path):
    """Writes a map with one map row of cells per line, which keeps the file
    readable and its diffs small."""
    width = data["width"]
    layers = [dict(l) for l in data["layers"]]
    rows = []
    for l in layers:
        if "data" in l:  # an object layer has none
            rows.append(l["data"])
            l["data"] = "@DATA%d@" % (len(rows) - 1)
    text = json.dumps(dict(data, layers=layers), indent=1, ensure_ascii=False)
    for n, values in enumerate(rows):
        lines = [", ".join(str(v) for v in values[i:i + width]) for i in range(0, len(values), width)]
        text = text.replace('"@DATA%d@"' % n, "[\n    " + ",\n    ".join(lines) + "\n   ]")
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text + "\n")


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    try:
        with open(argv[1], encoding="utf-8") as f:
            old = json.load(f)
        new = convert(old, os.path.dirname(os.path.abspath(argv[1])))
    except (OSError, ValueError, KeyError, ConvertError) as e:
        print("mapconvert: %s: %s" % (argv[1], e), file=sys.stderr)
        return 1
    write_json(new, argv[2])
    print("%s: %d x %d cells, %d layers, today's format" % (argv[2], new["width"], new["height"], len(new["layers"])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

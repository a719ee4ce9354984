#include "mapformat/MapDocument.h"

#include "mapformat/JsonFile.h"
#include "mapformat/Lookup.h"
#include "mapformat/MapLimits.h"
#include "resources/ResourceFile.h"
#include "mapformat/TilesetFile.h"

#include <climits>
#include <filesystem>

namespace pt = boost::property_tree;

namespace {

int needPositive(const pt::ptree& root, const std::string& key, const std::string& file)
{
    const int value = Lookup::need<int>(root, key, file);
    if (value <= 0)
        Lookup::reject(file, "\"" + key + "\" must be a positive whole number, not " + std::to_string(value),
                       std::to_string(value));
    return value;
}

// A whole number that may be absent (0 then) but not negative or malformed.
int optionalCount(const pt::ptree& node, const std::string& key, const std::string& file, const std::string& where)
{
    if (!node.get_child_optional(key))
        return 0;
    const int value = Lookup::need<int>(node, key, file, where);
    if (value < 0)
        Lookup::reject(file, where + "\"" + key + "\" is " + std::to_string(value) + ", below 0",
                       std::to_string(value));
    return value;
}

// The folder of a file, with a slash, as names inside it are resolved.
std::string folderOf(const std::string& file)
{
    const std::string folder = std::filesystem::path(file).parent_path().generic_string();
    return folder.empty() ? std::string() : folder + "/";
}

const pt::ptree noProperties;

} // namespace

MapDocument::Format MapDocument::detect(const pt::ptree& root)
{
    bool current = root.get<std::string>("version", "1") != "1";
    if (const auto list = root.get_child_optional("tilesets")) {
        for (const auto& entry : *list) {
            const pt::ptree& tileset = entry.second;
            if (tileset.get_child_optional("tileproperties"))
                return Format::legacy;
            const auto tiles = tileset.get_child_optional("tiles");
            if (tileset.get_child_optional("source") || (tiles && !tiles->empty() && tiles->front().first.empty()))
                current = true;
        }
    }
    return current ? Format::current : Format::legacy;
}

MapDocument::MapDocument(const std::string& file)
    : file(file)
    , root(JsonFile::read(file))
{
    format = detect(root);
    height = needPositive(root, "height", file);
    width = needPositive(root, "width", file);
    tileSize = needPositive(root, "tileheight", file);
    const long long cells = static_cast<long long>(width) * height;
    if (cells > MapLimits::maxCells)
        Lookup::reject(file,
                       "the map has " + std::to_string(cells) + " cells; at most " + std::to_string(MapLimits::maxCells)
                           + " are allowed",
                       std::to_string(cells));
    if (static_cast<long long>(width) * tileSize > MapLimits::maxPixels
        || static_cast<long long>(height) * tileSize > MapLimits::maxPixels)
        Lookup::reject(file, "the map is more than " + std::to_string(MapLimits::maxPixels) + " pixels across",
                       std::to_string(tileSize));
    if (format == Format::legacy)
        readLegacy();
    else
        readCurrent();
}

void MapDocument::readLegacy()
{
    const long long capacity = static_cast<long long>(width) * height;
    long long held = 0;
    for (const auto& entry : Lookup::needChild(root, "layers", file)) {
        if (entry.second.get<std::string>("type", "") == "objectgroup")
            continue; // named rectangles (MapRooms), no cells
        Layer layer;
        layer.name = entry.second.get<std::string>("name", "");
        layer.data = LayerData::readLegacy(entry.second, file, capacity, MapLimits::maxCells - held);
        held += layer.data.held;
        layers.push_back(std::move(layer));
    }
    for (const auto& entry : Lookup::needChild(root, "tilesets", file)) {
        Tileset tileset;
        tileset.node = &entry.second;
        tileset.file = file;
        tileset.name = Lookup::need<std::string>(entry.second, "name", file);
        tilesets.push_back(std::move(tileset));
    }
}

void MapDocument::readCurrent()
{
    if (root.get<std::string>("infinite", "false") == "true")
        Lookup::reject(file,
                       "the map is infinite; the game needs a map of fixed size: untick \"Infinite\" in the "
                       "editor's Map Properties",
                       "infinite");
    const int tileWidth = root.get<int>("tilewidth", tileSize);
    if (tileWidth != tileSize)
        Lookup::reject(file,
                       "the map's tiles are " + std::to_string(tileWidth) + " x " + std::to_string(tileSize)
                           + " pixels; the game needs square tiles: give \"Tile Width\" and \"Tile Height\" the "
                             "same value in the editor's Map Properties",
                       std::to_string(tileWidth));
    long long held = 0;
    readLayers(Lookup::needChild(root, "layers", file), held);
    for (const auto& entry : Lookup::needChild(root, "tilesets", file))
        readTileset(entry.second);
}

void MapDocument::readLayers(const pt::ptree& list, long long& held)
{
    const long long capacity = static_cast<long long>(width) * height;
    for (const auto& entry : list) {
        const pt::ptree& node = entry.second;
        const std::string type = node.get<std::string>("type", "tilelayer");
        const std::string name = node.get<std::string>("name", "");
        if (type == "group") {
            if (const auto children = node.get_child_optional("layers"))
                readLayers(*children, held);
            continue;
        }
        if (type != "tilelayer")
            continue; // objects and images have no cells
        const std::string where = "layer \"" + name + "\": ";
        if (node.get_child_optional("chunks"))
            Lookup::reject(file,
                           where + "the layer is stored in chunks, as for an infinite map; untick \"Infinite\" "
                                   "in the editor's Map Properties",
                           name);
        const int layerWidth = node.get<int>("width", width);
        const int layerHeight = node.get<int>("height", height);
        if (layerWidth != width || layerHeight != height)
            Lookup::reject(file,
                           where + "the layer is " + std::to_string(layerWidth) + " x "
                               + std::to_string(layerHeight) + " cells but the map is " + std::to_string(width)
                               + " x " + std::to_string(height) + "; every layer must cover the whole map",
                           name);
        Layer layer;
        layer.name = name;
        layer.visible = node.get<std::string>("visible", "true") != "false";
        layer.data = LayerData::readCurrent(node, file, name, capacity, MapLimits::maxCells - held);
        held += layer.data.held;
        layers.push_back(std::move(layer));
    }
}

void MapDocument::readTileset(const pt::ptree& entry)
{
    Tileset tileset;
    const long long firstgid = Lookup::need<long long>(entry, "firstgid", file, "a tileset: ");
    if (firstgid < 1 || firstgid > tileBits)
        Lookup::reject(file, "a tileset's \"firstgid\" is " + std::to_string(firstgid) + "; it must be 1 or more",
                       std::to_string(firstgid));
    tileset.firstgid = firstgid;
    tileset.file = file;
    tileset.node = &entry;
    if (const auto source = entry.get_optional<std::string>("source")) {
        const std::string path = folderOf(file) + *source;
        ResourceFile::requireInside(path, file);
        externals.emplace_back();
        TilesetFile::read(path).swap(externals.back());
        tileset.file = path;
        tileset.node = &externals.back();
    }
    const pt::ptree& node = *tileset.node;
    const std::string& where = tileset.file;
    tileset.name = Lookup::need<std::string>(node, "name", where, "a tileset: ");
    const std::string about = "tileset \"" + tileset.name + "\": ";
    tileset.margin = optionalCount(node, "margin", where, about);
    tileset.spacing = optionalCount(node, "spacing", where, about);
    tileset.tileWidth = optionalCount(node, "tilewidth", where, about);
    tileset.tileHeight = optionalCount(node, "tileheight", where, about);
    tileset.columns = optionalCount(node, "columns", where, about);
    tileset.tileCount = optionalCount(node, "tilecount", where, about);
    tileset.imageWidth = optionalCount(node, "imagewidth", where, about);
    tileset.imageHeight = optionalCount(node, "imageheight", where, about);
    if ((tileset.tileWidth && tileset.tileWidth != tileSize) || (tileset.tileHeight && tileset.tileHeight != tileSize))
        Lookup::reject(where,
                       about + "its tiles are " + std::to_string(tileset.tileWidth) + " x "
                           + std::to_string(tileset.tileHeight) + " pixels but the map's are "
                           + std::to_string(tileSize) + " x " + std::to_string(tileSize)
                           + "; the game cuts every tileset into square tiles of the map's size: make them "
                             "equal in the editor's Tileset Properties",
                       tileset.name);
    const std::string image = node.get<std::string>("image", "");
    if (image.empty())
        Lookup::reject(where,
                       about + "it is a collection of separate images; the game needs one image per tileset: "
                               "make it a tileset \"Based on Tileset Image\"",
                       tileset.name);
    tileset.image = folderOf(tileset.file) + image;
    ResourceFile::requireInside(tileset.image, tileset.file);

    if (const auto tiles = node.get_child_optional("tiles")) {
        for (const auto& tileEntry : *tiles) {
            const pt::ptree& tile = tileEntry.second;
            const int id = Lookup::need<int>(tile, "id", where, about + "a tile: ");
            pt::ptree& properties = tileset.tiles[id];
            std::map<std::string, std::string>& types = tileset.declaredTypes[id];
            if (const auto list = tile.get_child_optional("properties")) {
                for (const auto& propertyEntry : *list) {
                    const pt::ptree& property = propertyEntry.second;
                    const std::string name = property.get<std::string>("name", "");
                    // Added as a child, not through put(): a name may hold a dot.
                    const auto value = property.get_child_optional("value");
                    properties.push_back(std::make_pair(name, value ? pt::ptree(value->data()) : pt::ptree()));
                    types.emplace(name, property.get<std::string>("type", "string"));
                }
            }
            // The tile's class ("type" before the editor's 1.9) stands in for a
            // "type" property.
            const std::string kind = tile.get<std::string>("class", tile.get<std::string>("type", ""));
            if (!kind.empty() && properties.find("type") == properties.not_found()) {
                properties.push_back(std::make_pair(std::string("type"), pt::ptree(kind)));
                types.emplace("type", "class");
            }
        }
    }
    tilesets.push_back(std::move(tileset));
}

std::string MapDocument::imageOf(const Tileset& tileset) const
{
    if (format == Format::current)
        return tileset.image;
    const std::string path = "res/maps/" + Lookup::need<std::string>(*tileset.node, "image", file);
    ResourceFile::requireInside(path, file);
    return path;
}

std::optional<MapDocument::Cell> MapDocument::resolve(std::uint32_t value) const
{
    std::vector<Problem> problems;
    std::optional<Cell> cell = resolve(value, problems);
    if (!problems.empty())
        std::rethrow_exception(problems.front().error);
    return cell;
}

std::optional<MapDocument::Cell> MapDocument::resolve(std::uint32_t value, std::vector<Problem>& problems) const
{
    Cell cell;
    if (format == Format::legacy) {
        // The first tileset, in file order, that starts at or below the value;
        // its properties under the key value - 1, whichever tileset that is.
        long long firstgid = 0;
        for (const Tileset& tileset : tilesets) {
            try {
                firstgid = Lookup::need<int>(*tileset.node, "firstgid", file);
            } catch (const pt::ptree_error&) {
                problems.push_back({true, std::current_exception()});
                return std::nullopt;
            }
            if (firstgid <= static_cast<long long>(value)) {
                cell.tileset = &tileset;
                break;
            }
        }
        if (!cell.tileset)
            return std::nullopt;
        const std::string key = std::to_string(value - 1);
        try {
            cell.properties = &Lookup::needChild(*cell.tileset->node, "tileproperties." + key, file);
        } catch (const pt::ptree_error&) {
            problems.push_back({false, std::current_exception()});
            cell.properties = nullptr;
        }
        const long long slot = static_cast<long long>(value) - firstgid;
        cell.slot = slot <= INT_MAX ? static_cast<int>(slot) : -1;
        cell.tile = static_cast<int>(value - 1);
        cell.file = file;
        cell.where = "tile " + key + ": ";
        return cell;
    }

    const std::uint32_t gid = value & tileBits;
    if (gid == 0)
        return std::nullopt;
    for (const Tileset& tileset : tilesets)
        if (tileset.firstgid <= gid && (!cell.tileset || tileset.firstgid > cell.tileset->firstgid))
            cell.tileset = &tileset;
    if (!cell.tileset)
        return std::nullopt;
    cell.slot = static_cast<int>(gid - cell.tileset->firstgid);
    cell.tile = cell.slot;
    const auto found = cell.tileset->tiles.find(cell.slot);
    cell.properties = found == cell.tileset->tiles.end() ? &noProperties : &found->second;
    if (value & flippedHorizontally)
        cell.flip |= MapLimits::flipHorizontal;
    if (value & flippedVertically)
        cell.flip |= MapLimits::flipVertical;
    if (value & flippedDiagonally)
        cell.flip |= MapLimits::flipDiagonal;
    cell.file = cell.tileset->file;
    cell.where = "tileset \"" + cell.tileset->name + "\", tile " + std::to_string(cell.slot) + ": ";
    return cell;
}

std::string MapDocument::property(const std::string& name) const
{
    const auto list = root.get_child_optional("properties");
    if (!list)
        return "";
    for (const auto& entry : *list) {
        if (entry.first.empty()) {
            // {"name": ..., "type": ..., "value": ...}
            if (entry.second.get<std::string>("name", "") == name)
                return entry.second.get<std::string>("value", "");
        } else if (entry.first == name) {
            return entry.second.data();
        }
    }
    return "";
}

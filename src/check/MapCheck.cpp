#include "check/MapCheck.h"

#include "mapformat/Lookup.h"
#include "characters/Facing.h"
#include "mapformat/MapDocument.h"
#include "resources/PictureFile.h"
#include "resources/ResourceFile.h"
#include "story/CastFiles.h"

#include <SFML/Graphics/Image.hpp>
#include <boost/property_tree/detail/file_parser_error.hpp>
#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

namespace pt = boost::property_tree;

namespace {

// Rows of four 32-pixel facings in the characters' sheet; -1 when it cannot be read.
long long facingRows()
{
    sf::Image sheet;
    return PictureFile::load(Facing::sheetFile, sheet) ? static_cast<long long>(sheet.getSize().y / 32) : -1;
}

std::string inQuotes(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string plural(long long n, const std::string& one, const std::string& many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "first" and "the reader's words" of an exception the map's reader throws:
// its what() is "<file>[(<line>)]: <message>".
void reportReadError(CheckReport& report, const std::string& mapFile, const std::exception& error)
{
    if (const auto* parse = dynamic_cast<const pt::file_parser_error*>(&error)) {
        const std::string& message = parse->message();
        std::string advice = "correct the file there (the map editor writes it correctly when it saves)";
        if (!dynamic_cast<const pt::json_parser_error*>(&error) && !dynamic_cast<const pt::xml_parser_error*>(&error)) {
            if (message.find("lies outside") != std::string::npos)
                advice = "keep the game's files inside res/";
            else if (message == "not a regular file")
                advice = "put the file itself there";
            else
                advice = "add the file or correct its name";
        }
        report.error(parse->filename(), message + ": " + advice, parse->line());
        return;
    }
    std::string what = error.what();
    std::string file = mapFile;
    const auto colon = what.find(": ");
    if (colon != std::string::npos && what.compare(0, 4, "res/") == 0) {
        file = what.substr(0, colon);
        what = what.substr(colon + 2);
    }
    if (dynamic_cast<const pt::ptree_bad_path*>(&error))
        what += ": the map cannot be read without it; add it";
    report.error(file, what);
}

} // namespace

MapCheck::MapCheck(CheckReport& report)
    : report(report)
{
}

long long MapCheck::tilesAlong(unsigned length, int tileSize, int margin, int spacing)
{
    if (tileSize <= 0 || margin < 0 || spacing < 0)
        return 0;
    const long long room = static_cast<long long>(length) - margin - tileSize;
    return room < 0 ? 0 : room / (static_cast<long long>(tileSize) + spacing) + 1;
}

MapCheck::Picture MapCheck::checkPicture(CheckReport& report, const std::string& opened, const std::string& who)
{
    // Named as an author finds it: "res/gfx/world.png", not "res/maps/../gfx/world.png".
    const std::string path = std::filesystem::path(opened).lexically_normal().generic_string();
    Picture picture;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        report.error(path, "missing; " + who + ": add the picture or correct the name");
        return picture;
    }
    if (!std::filesystem::is_regular_file(status)) {
        report.error(path, "not a regular file; " + who + ": put a PNG picture there");
        return picture;
    }
    char signature[8] = {};
    std::ifstream(path, std::ios::binary).read(signature, sizeof signature);
    const bool png = std::string(signature, sizeof signature) == std::string("\x89PNG\r\n\x1a\n", 8);
    sf::Image image;
    picture.readable = PictureFile::load(path, image);
    if (!picture.readable) {
        report.error(path, std::string(png ? "a damaged PNG picture, or one over "
                                                 + std::to_string(PictureFile::maxSide) + " pixels a side"
                                           : "not a picture the game can read")
                               + "; " + who + ": save it as a PNG picture");
        return picture;
    }
    picture.width = image.getSize().x;
    picture.height = image.getSize().y;
    return picture;
}

void MapCheck::run(const std::string& fileName, bool rethrow)
{
    file = "res/maps/" + fileName;
    std::optional<MapDocument> map;
    try {
        map.emplace(file);
    } catch (const std::exception& error) {
        if (rethrow)
            throw;
        reportReadError(report, file, error);
        checkPlayerSheet(nullptr);
        return;
    }
    readable = true;
    if (map->format == MapDocument::Format::current) {
        const std::string orientation = map->root.get<std::string>("orientation", "orthogonal");
        if (orientation != "orthogonal")
            report.warning(file, "the map is " + orientation
                                     + "; the game draws every map as seen from above (orthogonal): make it "
                                       "orthogonal in the editor's Map Properties");
    }
    checkTilesets(*map);
    checkCells(*map);
    checkCast();
    checkPlayerSheet(&*map);
}

void MapCheck::checkTilesets(const MapDocument& map)
{
    const bool legacy = map.format == MapDocument::Format::legacy;
    std::set<std::string> names;
    for (const MapDocument::Tileset& tileset : map.tilesets) {
        const std::string about = "tileset " + inQuotes(tileset.name);
        if (!names.insert(tileset.name).second) {
            report.error(tileset.file, "two tilesets are named " + inQuotes(tileset.name)
                                           + "; the game keeps pictures by name, so the second one's are never "
                                             "loaded: rename one");
            continue;
        }
        if (tileset.name == "player")
            report.warning(tileset.file, about + " takes the name of the player's sheet, so res/gfx/player.png "
                                                 "is never loaded and the player shows this tileset's tiles: "
                                                 "rename it");
        tilesIn[tileset.name] = -1;
        if (legacy) {
            const auto firstgid = tileset.node->get_optional<std::string>("firstgid");
            if (!firstgid) {
                report.error(map.file, about + " has no \"firstgid\": give it the number of its first tile "
                                               "(1 for the first tileset)");
            } else {
                const auto number = tileset.node->get_optional<int>("firstgid");
                if (!number)
                    report.error(map.file, about + ": \"firstgid\" is " + inQuotes(*firstgid)
                                               + ", not a whole number: give it the number of its first tile");
                else if (*number < 1)
                    report.error(map.file, about + ": \"firstgid\" is " + std::to_string(*number)
                                               + "; tile numbers start at 1, so every picture would be one off: "
                                                 "set it to 1 (or just past the tiles of the tileset before)");
            }
        }
        std::string image;
        try {
            image = map.imageOf(tileset);
        } catch (const pt::ptree_bad_path&) {
            report.error(map.file, about + " has no \"image\": name its picture (relative to res/maps/)");
            continue;
        } catch (const pt::file_parser_error&) {
            report.error(map.file, about + ": its picture " + inQuotes(tileset.node->get<std::string>("image", ""))
                                       + " lies outside res/: keep the game's pictures inside res/");
            continue;
        }
        const Picture picture = checkPicture(report, image, about + " of " + map.file + " is cut from it");
        if (!picture.readable)
            continue;
        const int margin = legacy ? 0 : tileset.margin;
        const int spacing = legacy ? 0 : tileset.spacing;
        tilesIn[tileset.name] = tilesAlong(picture.width, map.tileSize, margin, spacing)
                                * tilesAlong(picture.height, map.tileSize, margin, spacing);
        if (!legacy && tileset.imageWidth && tileset.imageHeight
            && (picture.width != static_cast<unsigned>(tileset.imageWidth)
                || picture.height != static_cast<unsigned>(tileset.imageHeight)))
            report.warning(image, "is " + std::to_string(picture.width) + " x " + std::to_string(picture.height)
                                      + " pixels but " + about + " says " + std::to_string(tileset.imageWidth)
                                      + " x " + std::to_string(tileset.imageHeight)
                                      + ", so tiles may have moved: open the tileset in the editor, check the "
                                        "tiles and save the map again");
    }
}

void MapCheck::checkCells(const MapDocument& map)
{
    const bool legacy = map.format == MapDocument::Format::legacy;
    const long long capacity = static_cast<long long>(map.width) * map.height;
    struct Use {
        std::string layer;
        std::uint32_t index = 0;
        long long count = 0;
    };
    std::map<std::uint32_t, Use> used; // by tile number, flip bits left out
    for (const MapDocument::Layer& layer : map.layers) {
        const std::string about = "layer " + inQuotes(layer.name);
        if (layer.data.held < capacity)
            report.error(map.file, about + " holds " + std::to_string(layer.data.held) + " of its "
                                       + std::to_string(capacity)
                                       + " cells, so the rest stay empty: give every cell a value (0 for none)");
        if (!layer.visible)
            report.warning(map.file, about + " is hidden in the editor, but the game shows every layer: delete it "
                                             "or make it visible");
        for (const LayerData::Cell& cell : layer.data.cells) {
            const std::uint32_t key = legacy ? cell.value : cell.value & MapDocument::tileBits;
            if (key == 0)
                continue;
            Use& use = used[key];
            if (use.count++ == 0) {
                use.layer = layer.name;
                use.index = cell.index;
            }
        }
    }
    const auto place = [&](std::uint32_t index) {
        return std::to_string(index % static_cast<std::uint32_t>(map.width)) + ","
               + std::to_string(index / static_cast<std::uint32_t>(map.width));
    };

    // What each used tile is, for the second pass that lists the speakers.
    std::map<std::uint32_t, Speaker> kinds;
    for (const auto& [value, use] : used) {
        const std::string at = " at " + place(use.index) + " in layer " + inQuotes(use.layer)
                               + (use.count > 1 ? " and " + plural(use.count - 1, "more cell", "more cells") : "");
        // Which tileset and properties, as the loader finds them, without throwing.
        std::vector<MapDocument::Problem> problems;
        const std::optional<MapDocument::Cell> cell = map.resolve(value, problems);
        if (std::any_of(problems.begin(), problems.end(), [](const MapDocument::Problem& p) { return p.tileset; }))
            continue; // reported with the tileset
        if (!cell) {
            report.error(map.file, "the cell value " + std::to_string(value) + at
                                       + " lies below every tileset's \"firstgid\", so the cell stays empty: "
                                         "correct the cell or the tilesets");
            continue;
        }
        const std::string tile = legacy ? "tile " + std::to_string(cell->tile)
                                        : "tileset " + inQuotes(cell->tileset->name) + ", tile "
                                              + std::to_string(cell->slot);
        const long long tiles = tilesIn.count(cell->tileset->name) ? tilesIn[cell->tileset->name] : -1;
        const std::string image = legacy ? cell->tileset->node->get<std::string>("image", "")
                                         : cell->tileset->image;
        if (tiles >= 0 && cell->slot >= tiles)
            report.error(cell->file, tile + at + " lies past the end of its picture " + inQuotes(image) + ", which holds "
                                         + plural(tiles, "tile", "tiles") + " of " + std::to_string(map.tileSize)
                                         + " pixels, so the cell shows nothing: correct the cell or enlarge the "
                                           "picture");
        if (!cell->properties) {
            report.error(cell->file, tile + at + " has no properties in \"tileproperties\" of the tileset "
                                         + inQuotes(cell->tileset->name) + ": give it \"type\" and \"solid\"");
            continue;
        }
        const pt::ptree& properties = *cell->properties;
        const std::map<std::string, std::string> noTypes;
        const std::map<std::string, std::string>& types =
            legacy || !cell->tileset->declaredTypes.count(cell->slot) ? noTypes
                                                                     : cell->tileset->declaredTypes.at(cell->slot);
        const auto typeOf = [&](const std::string& name) {
            const auto found = types.find(name);
            return found == types.end() ? std::string() : found->second;
        };

        bool shapeless = false;
        for (const char* name : Lookup::singleValued)
            if (const auto found = properties.get_child_optional(name); found && !found->empty()) {
                report.error(cell->file, tile + at + ": \"" + name
                                             + "\" is a JSON object or list; the game reads one value there: "
                                               "make it text, a number or true/false as the README says");
                shapeless = true;
            }
        if (shapeless)
            continue;
        Speaker speaker;
        speaker.type = properties.get<std::string>("type", "");
        speaker.name = properties.get<std::string>("name", "undefined");
        speaker.dialogue = properties.get<std::string>("dialogue", "");
        speaker.file = cell->file;
        speaker.where = tile + " at ";
        if (!properties.get_child_optional("type")) {
            report.error(cell->file, tile + at + " has no type: "
                                         + (legacy ? std::string("give it a \"type\" property")
                                                   : "give it a class (\"Type\" before the editor's 1.9) or a "
                                                     "\"type\" property"));
            continue;
        }
        const auto solid = properties.get_optional<std::string>("solid");
        if (!solid)
            report.error(cell->file, tile + at + " has no \"solid\" property: add one, true if it blocks the way");
        else if (!properties.get_optional<bool>("solid"))
            report.error(cell->file, tile + at + ": \"solid\" is " + inQuotes(*solid)
                                         + ", not true or false: make it a bool property");
        else if (!legacy && typeOf("solid") != "bool")
            report.warning(cell->file, tile + ": \"solid\" is a " + typeOf("solid")
                                           + " property; the game reads it, but make it a bool property");

        if (const auto voice = properties.get_optional<std::string>("voice")) {
            const auto pitch = properties.get_optional<float>("voice");
            if (!pitch || *pitch < 0.25f || *pitch > 4.f)
                report.warning(cell->file, tile + at + ": \"voice\" is " + inQuotes(*voice)
                                               + ": a voice's pitch is a number from 0.25 to 4 (1 as recorded); "
                                                 "the usual voice of its kind is used");
        }
        if (speaker.type == "victim") {
            const auto part = properties.get_optional<std::string>("part");
            const auto number = properties.get_optional<int>("part");
            const std::string victim = "victim " + inQuotes(speaker.name) + " (" + tile + at + ")";
            if (!part)
                report.error(cell->file, victim + " has no \"part\": give it the part of the story (0, 1 or 2) "
                                                  "after which it leaves");
            else if (!number)
                report.error(cell->file, victim + ": \"part\" is " + inQuotes(*part)
                                             + ", not a whole number: set it to 0, 1 or 2");
            else if (*number < 0 || *number > 2)
                report.error(cell->file, victim + " has part " + std::to_string(*number)
                                             + "; a victim belongs to part 0, 1 or 2 of the story and leaves when "
                                               "the next begins: set \"part\" to 0, 1 or 2");
            else if (!legacy && typeOf("part") != "int")
                report.warning(cell->file, tile + ": \"part\" is a " + typeOf("part")
                                               + " property; the game reads it, but make it an int property");
            if (speaker.dialogue.empty())
                report.warning(cell->file, victim + " has no \"dialogue\", so its item can never be taken: name "
                                                    "its conversation");
            if (tiles >= 0 && static_cast<long long>(cell->tile) + 1 >= tiles)
                report.error(cell->file, victim + " has no picture without its item: tile "
                                             + std::to_string(static_cast<long long>(cell->tile) + 1) + " lies past the end of "
                                             + inQuotes(image) + " (" + plural(tiles, "tile", "tiles")
                                             + "): put that picture right after the victim's");
        }
        if (const auto facings = properties.get_optional<std::string>("facings")) {
            // The characters' sheet: four facings a row, a victim's plain look on the next.
            const auto row = properties.get_optional<int>("facings");
            const long long rows = facingRows();
            const int needed = speaker.type == "victim" ? 2 : 1;
            const std::string who = inQuotes(speaker.name) + " (" + tile + at + ")";
            if (!row || *row < 0)
                report.warning(cell->file, who + ": \"facings\" is " + inQuotes(*facings)
                                               + ", not a row number of " + Facing::sheetFile
                                               + ": it keeps its one picture");
            else if (rows >= 0 && *row + needed > rows)
                report.warning(cell->file, who + " faces the player from row " + std::to_string(*row)
                                               + (needed == 2 ? " and the next" : "") + " of " + Facing::sheetFile
                                               + ", which has " + plural(rows, "row", "rows")
                                               + ": draw them, or it keeps its one picture");
        }
        if (speaker.type == "table" && tiles >= 0 && static_cast<long long>(cell->tile) + 3 >= tiles)
            report.error(cell->file, "table " + inQuotes(speaker.name) + " (" + tile + at
                                         + ") lacks its defaced pictures: tiles "
                                         + std::to_string(static_cast<long long>(cell->tile) + 1) + " to "
                                         + std::to_string(static_cast<long long>(cell->tile) + 3) + " must follow it in "
                                         + inQuotes(image) + ", which holds " + plural(tiles, "tile", "tiles"));
        if (CastFiles::isCharacter(speaker.type) && solid && properties.get_optional<bool>("solid")
            && !properties.get<bool>("solid") && speaker.type != "player")
            report.warning(cell->file, speaker.type + " " + inQuotes(speaker.name) + " (" + tile + at
                                           + ") is not solid, so the player walks through it: make it solid");
        if (CastFiles::isCharacter(speaker.type) && speaker.type != "player" && speaker.name == "undefined")
            report.warning(cell->file, speaker.type + " (" + tile + at + ") has no \"name\", so the panel shows "
                                                                  "\"undefined\" above its words: give it a name");
        counts[speaker.type] += use.count;
        kinds[value] = speaker;
    }

    // Everyone who can talk or is part of the story, cell by cell.
    for (const MapDocument::Layer& layer : map.layers)
        for (const LayerData::Cell& cell : layer.data.cells) {
            const auto kind = kinds.find(legacy ? cell.value : cell.value & MapDocument::tileBits);
            if (kind == kinds.end() || (!CastFiles::isCharacter(kind->second.type) && kind->second.dialogue.empty()))
                continue;
            Speaker speaker = kind->second;
            speaker.where += place(cell.index);
            speakers.push_back(speaker);
        }
}

void MapCheck::checkCast()
{
    const auto where = [&](const std::string& type) {
        std::string list;
        int shown = 0;
        for (const Speaker& s : speakers)
            if (s.type == type && shown++ < 3)
                list += (list.empty() ? "" : ", ") + s.where.substr(s.where.rfind(' ') + 1);
        return list;
    };
    const int players = counts["player"], bosses = counts["boss"], wardens = counts["warden"],
              tables = counts["table"];
    if (players == 0)
        report.error(file, "the map has no player: put one tile of type \"player\" on it");
    else if (players > 1)
        report.error(file, "the map has " + std::to_string(players) + " players (at " + where("player")
                               + "), who would all walk at once: keep one");
    if (bosses == 0)
        report.error(file, "the map has no boss, so the story can never move on or end: put a tile of type "
                           "\"boss\" on it");
    else if (bosses > 1)
        report.warning(file, "the map has " + std::to_string(bosses) + " bosses (at " + where("boss")
                                 + "); any of them moves the story on: keep one");
    if (wardens == 0)
        report.warning(file, "the map has no warden, so nothing guards the tables and no item is ever needed: put "
                             "a tile of type \"warden\" in their door");
    else if (wardens > 1)
        report.warning(file, "the map has " + std::to_string(wardens) + " wardens (at " + where("warden")
                                 + "); each steps aside on his own: keep one");
    if (tables < 3)
        report.error(file, "the map has " + plural(tables, "table", "tables")
                               + "; the story defaces one in each of parts 0, 1 and 2: put three tiles of type "
                                 "\"table\" on it");
    else if (tables > 3)
        report.warning(file, "the map has " + std::to_string(tables) + " tables; only three are ever defaced");
}

void MapCheck::checkPlayerSheet(const MapDocument* map)
{
    if (map)
        for (const MapDocument::Tileset& tileset : map->tilesets)
            if (tileset.name == "player")
                return; // the map's tileset stands in for the sheet (warned about above)
    const std::string sheet = "res/gfx/player.png";
    const Picture picture = checkPicture(report, sheet, "it is the player's sheet");
    if (!picture.readable)
        return;
    const long long columns = tilesAlong(picture.width, 32, 0, 0);
    const long long rows = tilesAlong(picture.height, 32, 0, 0);
    if (columns != 4 && columns != 12)
        report.error(sheet, "is " + std::to_string(picture.width)
                                + " pixels wide; the player's sheet has four frames of 32 pixels across (facing "
                                  "up, right, down and left), or twelve with the two strides of his walk: make it "
                                  "128 or 384 pixels wide");
    const long long victims = map ? counts["victim"] : 0;
    if (rows < victims + 1)
        report.error(sheet, "has " + plural(rows, "row", "rows") + " of frames, one for each number of items worn; "
                                + (map ? "the map's " + plural(victims, "victim", "victims") + " can give "
                                             + std::to_string(victims) + ", so it needs "
                                       : std::string("it needs at least "))
                                + std::to_string(victims + 1) + ": make it " + std::to_string(32 * (victims + 1))
                                + " pixels high");
}

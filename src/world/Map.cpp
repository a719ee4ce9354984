#include "Map.h"

#include "Boss.h"
#include "DialogueTree.h"
#include "Entity.h"
#include "GameState.h"
#include "Graphics.h"
#include "Player.h"
#include "Table.h"
#include "Victim.h"
#include "Warden.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <charconv>
#include <fstream>
#include <climits>
#include <memory>
#include <vector>

namespace pt = boost::property_tree;

namespace {

template <class T> const char* kindOf();
template <> const char* kindOf<int>() { return "a whole number"; }
template <> const char* kindOf<bool>() { return "true or false"; }
template <> const char* kindOf<std::string>() { return "text"; }

// Required lookups: a missing key or a value that does not convert keeps the
// library's exception type, with the map file and the key named in the message.
template <class T>
T need(const pt::ptree& node, const std::string& path, const std::string& file,
       const std::string& where = "")
{
    try {
        return node.get<T>(path);
    } catch (const pt::ptree_bad_path& e) {
        throw pt::ptree_bad_path(file + ": " + where + "No such node", e.path<pt::ptree::path_type>());
    } catch (const pt::ptree_bad_data&) {
        const std::string value = node.get<std::string>(path, "");
        throw pt::ptree_bad_data(file + ": " + where + "\"" + path + "\" is \"" + value + "\", not "
                                     + kindOf<T>(),
                                 value);
    }
}

const pt::ptree& needChild(const pt::ptree& node, const std::string& path, const std::string& file)
{
    try {
        return node.get_child(path);
    } catch (const pt::ptree_bad_path& e) {
        throw pt::ptree_bad_path(file + ": No such node", e.path<pt::ptree::path_type>());
    }
}

[[noreturn]] void reject(const std::string& file, const std::string& message, const std::string& value)
{
    throw pt::ptree_bad_data(file + ": " + message, value);
}

int needPositive(const pt::ptree& root, const std::string& key, const std::string& file)
{
    const int value = need<int>(root, key, file);
    if (value <= 0)
        reject(file, "\"" + key + "\" must be a positive whole number, not " + std::to_string(value),
               std::to_string(value));
    return value;
}

// A cell is 0 (empty) or a tile number: a plain decimal integer that fits in
// 32 signed bits.
int cellValue(const std::string& text, const std::string& file, long long index)
{
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    auto result = std::from_chars(first, last, value);
    if (text.empty() || text[0] == '-' || text[0] == '+' || result.ec != std::errc()
        || result.ptr != last)
        reject(file, "cell " + std::to_string(index) + " of a layer is \"" + text
                   + "\", not a tile number from 0 to " + std::to_string(INT_MAX),
               text);
    return value;
}

// The JSON reader descends one call per nested array or object; a map file
// nested absurdly deep is refused before it is parsed.
constexpr int maxNesting = 64;

void refuseDeepNesting(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return; // the reader reports the missing file
    int depth = 0;
    unsigned long line = 1;
    bool inString = false;
    char c;
    while (in.get(c)) {
        if (c == '\n')
            ++line;
        if (inString) {
            if (c == '\\')
                in.get(c);
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxNesting)
                throw pt::json_parser_error("arrays and objects nested more than "
                                                + std::to_string(maxNesting) + " deep",
                                            file, line);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

Entity* makeEntity(const std::string& type, int x, int y)
{
    if (type == "player")
        return new Player(x, y);
    if (type == "victim")
        return new Victim(x, y);
    if (type == "warden")
        return new Warden(x, y);
    if (type == "table")
        return new Table(x, y);
    if (type == "boss")
        return new Boss(x, y);
    return new Entity(x, y);
}

} // namespace

void Map::loadMap(const std::string& fileName, GameState* state)
{
    const std::string file = "res/maps/" + fileName;

    pt::ptree root;
    refuseDeepNesting(file);
    pt::read_json(file, root);

    height = needPositive(root, "height", file);
    width = needPositive(root, "width", file);
    tileSize = needPositive(root, "tileheight", file);
    const long long cells = static_cast<long long>(width) * height;
    if (cells > maxCells)
        reject(file, "the map has " + std::to_string(cells) + " cells; at most "
                   + std::to_string(maxCells) + " are allowed",
               std::to_string(cells));
    if (static_cast<long long>(width) * tileSize > maxPixels
        || static_cast<long long>(height) * tileSize > maxPixels)
        reject(file, "the map is more than " + std::to_string(maxPixels) + " pixels across",
               std::to_string(tileSize));

    std::vector<std::vector<int>> grids;
    for (const auto& layer : needChild(root, "layers", file)) {
        std::vector<int> grid(static_cast<std::size_t>(cells), 0);
        long long k = 0;
        for (const auto& cell : needChild(layer.second, "data", file)) {
            if (k >= cells)
                reject(file, "a layer's \"data\" holds more than width x height ("
                           + std::to_string(cells) + ") cells",
                       cell.second.data());
            grid[static_cast<std::size_t>(k)] = cellValue(cell.second.data(), file, k);
            ++k;
        }
        grids.push_back(std::move(grid));
    }

    const pt::ptree& tilesets = needChild(root, "tilesets", file);
    for (const auto& tilesetEntry : tilesets) {
        const pt::ptree& tileset = tilesetEntry.second;
        const std::string name = need<std::string>(tileset, "name", file);
        if (!Graphics::tilesetIsLoaded(name))
            Graphics::loadTilemap("res/maps/" + need<std::string>(tileset, "image", file), name,
                                  tileSize);
    }

    for (const auto& grid : grids) {
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const int v = grid[static_cast<std::size_t>(row) * width + column];
                if (v == 0)
                    continue;

                const pt::ptree* chosen = nullptr;
                int firstgid = 0;
                for (const auto& tilesetEntry : tilesets) {
                    firstgid = need<int>(tilesetEntry.second, "firstgid", file);
                    if (firstgid <= v) {
                        chosen = &tilesetEntry.second;
                        break;
                    }
                }
                if (!chosen)
                    continue;

                const std::string key = std::to_string(v - 1);
                const pt::ptree& properties = needChild(*chosen, "tileproperties." + key, file);
                const std::string where = "tile " + key + ": ";
                const std::string type = need<std::string>(properties, "type", file, where);
                const std::string dialogueName = properties.get<std::string>("dialogue", "");

                std::unique_ptr<Entity> entity(makeEntity(type, column * tileSize, row * tileSize));
                if (type == "victim") {
                    auto* victim = static_cast<Victim*>(entity.get());
                    victim->part = need<int>(properties, "part", file, where);
                    if (!dialogueName.empty())
                        victim->secondDialogue =
                            DialogueTree::load("res/txt/" + dialogueName + "2.xml");
                }
                if (!dialogueName.empty()) {
                    DialogueTree* tree = DialogueTree::load("res/txt/" + dialogueName + ".xml");
                    delete entity->dialogue;
                    entity->dialogue = tree;
                }
                entity->type = type;
                entity->solid = need<bool>(properties, "solid", file, where);
                entity->name = properties.get<std::string>("name", "undefined");

                const std::string tilesetName = need<std::string>(*chosen, "name", file);
                const long long slot = static_cast<long long>(v) - firstgid;
                entity->setTexture(
                    *Graphics::getTexture(tilesetName, slot <= INT_MAX ? static_cast<int>(slot) : -1));
                entity->tileset = tilesetName;
                entity->tile = v - 1;
                state->add(entity.release());
            }
        }
    }
}

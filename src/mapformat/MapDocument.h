#pragma once

#include "mapformat/LayerData.h"

#include <boost/property_tree/ptree.hpp>

#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A map file read into what the game needs of it, in either of the two JSON
// formats map editors have written:
//
// - the older one (a tileset's "tileproperties", keyed by tile number, and
//   "version" 1 or none): every rule of the game's first loader holds, above
//   all that a cell's properties come from the first tileset whose "firstgid"
//   is not above it, under the key cell value - 1;
// - today's (per-tile "tiles" arrays with typed "properties", tilesets in
//   files of their own, encoded and compressed layer data, flip bits in the
//   cell values, group layers, and a "version" such as "1.8").
//
// A file with "tileproperties" in any tileset is of the older format; one with
// a "version" other than 1, an external tileset ("source") or a "tiles" array
// is of today's; anything else of the older one.
//
// Everything is read and checked before the caller creates anything: errors
// throw the property tree's exceptions, with the file named first.
class MapDocument {
public:
    enum class Format { legacy, current };

    struct Tileset {
        std::string name;                     // the texture-cache key
        std::string file;                     // the file that describes it: the map or its own file
        const boost::property_tree::ptree* node = nullptr; // its object in `file`
        long long firstgid = 0;               // today's format (the older one reads it on demand)
        std::string image;                    // today's format: the picture, as the game opens it
        int margin = 0;
        int spacing = 0;
        // As the file declares them; 0 when it does not.
        int tileWidth = 0, tileHeight = 0, columns = 0, tileCount = 0, imageWidth = 0, imageHeight = 0;
        // Today's format: each tile's properties by tile number within the
        // tileset (name -> value), its class as "type" when no property is so
        // named; and the type each property was declared with.
        std::map<int, boost::property_tree::ptree> tiles;
        std::map<int, std::map<std::string, std::string>> declaredTypes;
    };

    struct Layer {
        std::string name;
        bool visible = true;
        LayerData data;
    };

    // What a non-empty cell stands for.
    struct Cell {
        const Tileset* tileset = nullptr;
        int slot = 0;                                      // texture slot in the tileset
        int tile = 0;                                      // the entity's `tile`
        const boost::property_tree::ptree* properties = nullptr;
        unsigned flip = 0;                                 // Entity::flip bits
        std::string file;                                  // where the properties are written
        std::string where;                                 // "tile 5: ", for messages
    };

    explicit MapDocument(const std::string& file);
    MapDocument(const MapDocument&) = delete;
    MapDocument& operator=(const MapDocument&) = delete;

    static Format detect(const boost::property_tree::ptree& root);

    // The tileset picture as the game opens it. The older format reads
    // "res/maps/" + "image" here (ptree_bad_path when there is none); names
    // that lead out of res/ are refused (file_parser_error).
    std::string imageOf(const Tileset& tileset) const;
    // The tileset, texture slot and properties of a non-empty cell value, or
    // nothing when no tileset covers it. The older format reads "firstgid"
    // and the property object here, as its loader always did.
    std::optional<Cell> resolve(std::uint32_t value) const;
    // What resolving a cell could not read, as resolve() throws it.
    struct Problem {
        bool tileset = false;     // a tileset's "firstgid": which tileset holds the cell is unknown
        std::exception_ptr error; // else the cell's properties are missing
    };
    // The same resolution, telling `problems` what it cannot read instead of
    // throwing: nothing when a tileset before the cell's cannot be read, the
    // cell without properties when they are missing.
    std::optional<Cell> resolve(std::uint32_t value, std::vector<Problem>& problems) const;
    // A property of the map itself, as text; "" when it has none. Today's
    // format keeps a list of {name, type, value}, the older one an object.
    std::string property(const std::string& name) const;

    // The bits of a cell value of today's format that say how the tile is
    // mirrored or turned; the rest is the tile number.
    static constexpr std::uint32_t flippedHorizontally = 0x80000000u;
    static constexpr std::uint32_t flippedVertically = 0x40000000u;
    static constexpr std::uint32_t flippedDiagonally = 0x20000000u;
    static constexpr std::uint32_t rotatedHexagonal = 0x10000000u;
    static constexpr std::uint32_t tileBits = 0x0fffffffu;

    std::string file;
    Format format = Format::legacy;
    int width = 0;
    int height = 0;
    int tileSize = 0;
    boost::property_tree::ptree root;
    std::vector<Layer> layers;     // tile layers, bottom first, groups flattened
    std::vector<Tileset> tilesets; // in file order

private:
    void readLegacy();
    void readCurrent();
    void readLayers(const boost::property_tree::ptree& list, long long& held);
    void readTileset(const boost::property_tree::ptree& entry);

    std::deque<boost::property_tree::ptree> externals; // external tilesets' files
};

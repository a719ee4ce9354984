#pragma once

#include <boost/property_tree/ptree.hpp>

#include <string>

// Reads a tileset kept in a file of its own (map editors call it an external
// tileset): ".tsj" or ".json" (JSON), or ".tsx" (XML). Either way the result
// has the shape of a tileset inside a JSON map: "name", "tilewidth",
// "tileheight", "margin", "spacing", "columns", "tilecount", "image",
// "imagewidth", "imageheight" and a "tiles" array whose elements hold "id",
// "type" or "class", and a "properties" array of "name", "type" and "value".
//
// Only regular files inside res/ are read. A tileset file may not name
// another one in turn ("source"). Failures throw the property tree's parse
// errors (json_parser_error or xml_parser_error) naming the file and line.
class TilesetFile {
public:
    TilesetFile() = delete;

    // Elements of a .tsx nested deeper than this are refused.
    static constexpr int maxNesting = 32;

    static boost::property_tree::ptree read(const std::string& path);
};

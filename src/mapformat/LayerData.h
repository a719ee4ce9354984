#pragma once

#include <boost/property_tree/ptree_fwd.hpp>

#include <cstdint>
#include <string>
#include <vector>

// The cells of one tile layer, as the file holds them. Only non-empty cells
// are kept, so memory follows what the data really holds, not the map's size.
class LayerData {
public:
    struct Cell {
        std::uint32_t index; // row * width + column
        std::uint32_t value; // the cell value; in today's format with the flip bits
    };

    std::vector<Cell> cells; // the non-empty cells, row by row
    long long held = 0;      // the cells the data holds, empty ones included

    // The older format: "data" is an array of plain decimals from 0 to 2^31 - 1
    // (a string there holds no cells). `capacity` is width x height; `budget`
    // the cells the map may still hold in all its layers. Failures throw
    // ptree_bad_path / ptree_bad_data naming `file`.
    static LayerData readLegacy(const boost::property_tree::ptree& layer, const std::string& file,
                                long long capacity, long long budget);

    // Today's format: "data" is an array of cell values (32 bits, flip bits
    // included) or, with "encoding" base64, 4 little-endian bytes a cell,
    // optionally "compression" zlib, gzip or zstd. `name` names the layer in
    // messages.
    static LayerData readCurrent(const boost::property_tree::ptree& layer, const std::string& file,
                                 const std::string& name, long long capacity, long long budget);
};

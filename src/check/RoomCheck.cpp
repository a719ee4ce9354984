#include "check/RoomCheck.h"

#include "mapformat/MapDocument.h"
#include "mapformat/MapRooms.h"

#include <boost/property_tree/exceptions.hpp>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Whether each cell can be walked on: something is there and nothing there is solid.
std::vector<bool> walkable(const MapDocument& map)
{
    const std::size_t cells = static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height);
    std::vector<bool> filled(cells, false), solid(cells, false);
    for (const MapDocument::Layer& layer : map.layers)
        for (const LayerData::Cell& cell : layer.data.cells) {
            if (cell.index >= cells)
                continue;
            std::optional<MapDocument::Cell> found;
            try {
                found = map.resolve(cell.value);
            } catch (const boost::property_tree::ptree_error&) {
                continue; // MapCheck reports the cell
            }
            if (!found || !found->properties)
                continue;
            filled[cell.index] = true;
            if (found->properties->get<std::string>("solid", "") == "true")
                solid[cell.index] = true;
        }
    std::vector<bool> open(cells);
    for (std::size_t k = 0; k < cells; ++k)
        open[k] = filled[k] && !solid[k];
    return open;
}

std::string cellName(int column, int row)
{
    return std::to_string(column) + "," + std::to_string(row);
}

} // namespace

void RoomCheck::run(const std::string& fileName)
{
    const std::string file = "res/maps/" + fileName;
    std::unique_ptr<MapDocument> map;
    MapRooms rooms;
    try {
        map = std::make_unique<MapDocument>(file);
        rooms = MapRooms(*map);
    } catch (const boost::property_tree::ptree_error& e) {
        if (!map)
            return; // MapCheck reports why the map does not read
        // The map reads but a room does not: the game refuses the map.
        std::string why = e.what();
        if (why.rfind(file + ": ", 0) == 0)
            why.erase(0, file.size() + 2);
        report.error(file, why + ": the game does not start with it: correct it");
        return;
    }
    if (rooms.rooms.empty())
        return; // a map made before rooms: no names are shown

    const std::vector<MapRooms::Room>& list = rooms.rooms;
    for (std::size_t a = 0; a < list.size(); ++a)
        for (std::size_t b = a + 1; b < list.size(); ++b) {
            const MapRooms::Room& p = list[a];
            const MapRooms::Room& q = list[b];
            const int left = std::max(p.x, q.x), right = std::min(p.x + p.width, q.x + q.width);
            const int top = std::max(p.y, q.y), bottom = std::min(p.y + p.height, q.y + q.height);
            if (left >= right || top >= bottom || p.name == q.name)
                continue; // one room of two rectangles may overlap itself
            report.warning(file, "the rooms \"" + p.name + "\" and \"" + q.name + "\" overlap, from pixel "
                                     + cellName(left, top) + " to " + cellName(right, bottom)
                                     + ": the first listed is the one named there; make them meet edge to edge");
        }

    const std::vector<bool> open = walkable(*map);
    std::vector<std::string> homeless;
    for (int row = 0; row < map->height; ++row)
        for (int column = 0; column < map->width; ++column) {
            const std::size_t k = static_cast<std::size_t>(row) * static_cast<std::size_t>(map->width)
                                  + static_cast<std::size_t>(column);
            const int half = map->tileSize / 2;
            if (open[k] && !rooms.at(column * map->tileSize + half, row * map->tileSize + half))
                homeless.push_back(cellName(column, row));
        }
    if (homeless.empty())
        return;
    std::string cells;
    for (std::size_t i = 0; i < homeless.size() && i < static_cast<std::size_t>(cellsNamed); ++i)
        cells += (i ? " " : "") + homeless[i];
    if (homeless.size() > static_cast<std::size_t>(cellsNamed))
        cells += " and " + std::to_string(homeless.size() - cellsNamed) + " more";
    report.warning(file, std::to_string(homeless.size()) + (homeless.size() == 1 ? " cell" : " cells")
                             + " the player can walk on " + (homeless.size() == 1 ? "lies" : "lie")
                             + " in no room (column,row: " + cells
                             + "); no name is shown there: widen a room of the \"rooms\" layer over "
                             + (homeless.size() == 1 ? "it" : "them"));
}

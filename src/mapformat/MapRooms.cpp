#include "mapformat/MapRooms.h"

#include "mapformat/Lookup.h"
#include "mapformat/MapDocument.h"
#include "mapformat/MapLimits.h"

#include <cmath>

namespace pt = boost::property_tree;

namespace {

// A room's place or size: a number the map's pixels can hold.
int pixels(const pt::ptree& object, const std::string& key, const std::string& file, const std::string& where)
{
    if (!object.get_child_optional(key))
        return 0;
    const double value = Lookup::need<double>(object, key, file, where);
    if (!std::isfinite(value) || std::fabs(value) > MapLimits::maxPixels)
        Lookup::reject(file, where + "\"" + key + "\" is outside the map", object.get<std::string>(key, ""));
    return static_cast<int>(std::lround(value));
}

void readLayers(const pt::ptree& list, const std::string& file, std::vector<MapRooms::Room>& rooms)
{
    for (const auto& entry : list) {
        const pt::ptree& layer = entry.second;
        const std::string type = layer.get<std::string>("type", "tilelayer");
        if (type == "group") {
            if (const auto children = layer.get_child_optional("layers"))
                readLayers(*children, file, rooms);
            continue;
        }
        if (type != "objectgroup" || layer.get<std::string>("name", "") != "rooms")
            continue;
        const auto objects = layer.get_child_optional("objects");
        if (!objects)
            continue;
        for (const auto& item : *objects) {
            const pt::ptree& object = item.second;
            MapRooms::Room room;
            room.name = object.get<std::string>("name", "");
            const std::string where = "room \"" + room.name + "\": ";
            room.x = pixels(object, "x", file, where);
            room.y = pixels(object, "y", file, where);
            room.width = pixels(object, "width", file, where);
            room.height = pixels(object, "height", file, where);
            if (room.width < 0 || room.height < 0)
                Lookup::reject(file, where + "its width and height must not be below 0", room.name);
            const bool shape = object.get("point", false) || object.get("ellipse", false)
                               || object.get_child_optional("polygon") || object.get_child_optional("polyline");
            if (room.name.empty() || room.width == 0 || room.height == 0 || shape)
                continue;
            rooms.push_back(std::move(room));
        }
    }
}

} // namespace

MapRooms::MapRooms(const MapDocument& map)
{
    if (const auto layers = map.root.get_child_optional("layers"))
        readLayers(*layers, map.file, rooms);
}

const MapRooms::Room* MapRooms::at(int px, int py) const
{
    for (const Room& room : rooms)
        if (room.holds(px, py))
            return &room;
    return nullptr;
}

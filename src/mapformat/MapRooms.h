#pragma once

#include <string>
#include <vector>

class MapDocument;

// The rooms a map names: the rectangles of its object layers called "rooms"
// (in groups too), each object's "name" with its "x", "y", "width" and
// "height" in pixels, as the map editor writes them in either format. An
// object without a name, or without an area (a point), is not a room; a
// room's turn ("rotation") is not read. A place or size that is not a
// number, or a size below 0, refuses the file (the file named first). Two
// rectangles of one name make one room of another shape.
class MapRooms {
public:
    struct Room {
        std::string name;
        int x = 0, y = 0, width = 0, height = 0; // pixels, rounded to the nearest

        bool holds(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    };

    MapRooms() = default;
    explicit MapRooms(const MapDocument& map);

    // The first room listed that holds the pixel; null when none does.
    const Room* at(int px, int py) const;

    std::vector<Room> rooms; // in file order
};

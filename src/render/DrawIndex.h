#pragma once

#include <SFML/Graphics/Rect.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

class Entity;

// Finds which entities of a state's list may show in a rectangle of the
// world, in list order, without looking at every entity of a big map.
//
// Entities of the base class itself (the map's plain tiles: they neither move
// nor change size by themselves) are filed by where their pictures stand, in a
// grid of square cells, whenever the list has changed since the last look.
// Entities of derived classes (the player, the characters, the dialogue box)
// may move or draw anything at any time: they are always included, and so is
// a plain entity without a picture yet. Code that moves or resizes the picture
// of a plain entity after it joined a state calls refile().
class DrawIndex {
public:
    // Positions in `entities` of those that may show in `seen`, ascending.
    const std::vector<std::size_t>& near(const std::vector<Entity*>& entities, const sf::FloatRect& seen);
    // Positions in `entities` of those whose update may do anything, ascending:
    // every entity but the plain tiles filed in the grid, whose update is the
    // base class's, which does nothing.
    const std::vector<std::size_t>& acting(const std::vector<Entity*>& entities);
    // Files every entity again at the next look.
    void refile();

    // No more cells than this: a grid over far-flung entities gets larger cells.
    static constexpr std::size_t maxCells = 1 << 16;

private:
    void file(const std::vector<Entity*>& entities);
    void fileIfChanged(const std::vector<Entity*>& entities);

    std::vector<Entity*> filed;                      // the list as last filed
    std::vector<std::size_t> always;                 // positions included every time
    std::vector<std::vector<std::uint32_t>> cells;   // positions, row by row of cells
    float left = 0, top = 0, side = 256;             // the grid's corner and cell size
    long long columns = 0, rows = 0;
    std::vector<std::size_t> found;
};

#pragma once

#include <SFML/Graphics/Texture.hpp>

#include <map>
#include <string>
#include <vector>

// The process-wide picture store: tileset images cut into one texture per
// square tile, kept under the tileset's name for the life of the program.
class Graphics {
public:
    Graphics() = delete;

    static bool tilesetIsLoaded(const std::string& name);
    // Cuts the image into square tiles of tileSize pixels. `margin` pixels are
    // left at the top and left edges and `spacing` pixels between tiles, as
    // map editors describe a tileset; a tile that does not fit whole is left out.
    static void loadTilemap(const std::string& path, const std::string& name, int tileSize,
                            int margin = 0, int spacing = 0);
    static sf::Texture* getTexture(const std::string& name, int tile);

    // name -> tiles, numbered row by row from the top-left tile of the image
    static std::map<std::string, std::vector<sf::Texture*>> _graphics;
    // What every miss yields: one empty texture shared for the whole run.
    static sf::Texture _emptyTexture;
};

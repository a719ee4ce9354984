#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The process-wide picture store: tileset images cut into square tiles, kept
// under the tileset's name for the life of the program.
//
// Every tile answers as a texture of its own (getTexture), which is what
// entities point their sprites at. For drawing, all tiles of a tileset also
// lie side by side in one atlas texture, so that a whole layer of tiles can be
// drawn with one call: atlasTile() tells where a tile's texture lies in it.
// The tile textures are for showing: changing their pixels would not reach
// the atlas.
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

    // While true, tilesets are measured but no texture is made (textures need
    // the display's graphics): for the checker, which builds the world only
    // to explore its story. Entities then take their size from tileSide()
    // instead of from a texture; getTexture() must not be called.
    static bool pictureless;
    // The side of tile `tile` of a tileset, as its texture would have it: the
    // tile size, or 0 for a tile that is not in the image.
    static int tileSide(const std::string& name, int tile);

    // Where a tile's picture lies in its tileset's atlas.
    struct AtlasTile {
        const sf::Texture* atlas;
        sf::IntRect rect; // the tile's pixels, tileSize x tileSize
        bool opaque;      // no pixel of the tile lets anything show through
    };
    // The atlas place of a texture that getTexture gave, or null for any other
    // texture (and for a tileset whose atlas could not be made).
    static const AtlasTile* atlasTile(const sf::Texture* texture);
    // The largest side of an atlas texture, in pixels; a tileset that does not
    // fit in one is spread over several (never above what the graphics driver
    // allows).
    static unsigned atlasSide;

    // name -> tiles, numbered row by row from the top-left tile of the image.
    // A tile's texture receives its pixels when getTexture first hands it out.
    static std::map<std::string, std::vector<sf::Texture*>> _graphics;
    // What every miss yields: one empty texture shared for the whole run.
    // Made on first use (it needs the display's graphics).
    static sf::Texture& _emptyTexture;

    // What a loaded tileset keeps besides its tile textures.
    struct Sheet {
        sf::Image image; // the tileset image, for tile textures made on demand
        int tileSize = 0;
        int margin = 0;
        int spacing = 0;
        unsigned columns = 0;
        std::vector<std::unique_ptr<sf::Texture>> atlases;
    };
    static std::map<std::string, Sheet> _sheets;
    static std::unordered_map<const sf::Texture*, AtlasTile> _atlasTiles;
};

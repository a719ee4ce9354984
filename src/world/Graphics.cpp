#include "Graphics.h"

#include "PictureFile.h"

#include <SFML/Graphics/Image.hpp>

std::map<std::string, std::vector<sf::Texture*>> Graphics::_graphics;
sf::Texture Graphics::_emptyTexture;

namespace {
// Sprites of live entities point at the tile textures until the very end, so
// they are released only when the program exits, just before the cache itself.
struct ReleaseAtExit {
    ~ReleaseAtExit()
    {
        for (auto& entry : Graphics::_graphics) {
            for (sf::Texture*& texture : entry.second) {
                delete texture;
                texture = nullptr;
            }
        }
    }
} releaseAtExit;
}

bool Graphics::tilesetIsLoaded(const std::string& name)
{
    return _graphics.find(name) != _graphics.end();
}

void Graphics::loadTilemap(const std::string& path, const std::string& name, int tileSize, int margin,
                           int spacing)
{
    if (tilesetIsLoaded(name))
        return;
    std::vector<sf::Texture*>& tiles = _graphics[name];
    if (tileSize <= 0 || margin < 0 || spacing < 0)
        return; // no tile can be cut: an entry without slots

    sf::Image image;
    // An unreadable file leaves a 0 x 0 image. Only regular files are read: a
    // pipe or a device would block the game.
    PictureFile::load(path, image);
    // How many whole tiles fit along an edge of `length` pixels.
    const auto fitting = [&](unsigned length) -> unsigned {
        const long long room = static_cast<long long>(length) - margin - tileSize;
        return room < 0 ? 0u : static_cast<unsigned>(room / (static_cast<long long>(tileSize) + spacing) + 1);
    };
    const unsigned columns = fitting(image.getSize().x);
    const unsigned rows = fitting(image.getSize().y);
    const long long pitch = static_cast<long long>(tileSize) + spacing;
    tiles.assign(static_cast<std::size_t>(columns) * rows, nullptr);
    for (unsigned row = 0; row < rows; ++row) {
        for (unsigned column = 0; column < columns; ++column) {
            auto* texture = new sf::Texture();
            texture->loadFromImage(image, sf::IntRect(static_cast<int>(margin + column * pitch),
                                                      static_cast<int>(margin + row * pitch), tileSize,
                                                      tileSize));
            tiles[static_cast<std::size_t>(row) * columns + column] = texture;
        }
    }
}

sf::Texture* Graphics::getTexture(const std::string& name, int tile)
{
    auto entry = _graphics.find(name);
    if (entry != _graphics.end() && static_cast<unsigned>(tile) < entry->second.size()
        && entry->second[static_cast<unsigned>(tile)])
        return entry->second[static_cast<unsigned>(tile)];
    return &_emptyTexture;
}

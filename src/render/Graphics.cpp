#include "render/Graphics.h"

#include "core/LateStatic.h"
#include "resources/PictureFile.h"

#include <algorithm>

std::map<std::string, std::vector<sf::Texture*>> Graphics::_graphics;
namespace {
LateStatic<sf::Texture> emptyStore;
}
sf::Texture& Graphics::_emptyTexture = emptyStore.place();
std::map<std::string, Graphics::Sheet> Graphics::_sheets;
std::unordered_map<const sf::Texture*, Graphics::AtlasTile> Graphics::_atlasTiles;
unsigned Graphics::atlasSide = 4096;
bool Graphics::pictureless = false;

namespace {
// Tilesets measured while pictureless: tile size and number of tiles. Kept
// apart from the picture store, which they must not fill with empty slots.
std::map<std::string, std::pair<int, std::size_t>> measured;
}

namespace {
// Sprites of live entities point at the tile textures until the very end, so
// they are released only when the program exits, just before the cache itself.
struct ReleaseAtExit {
    ~ReleaseAtExit()
    {
        Graphics::_atlasTiles.clear();
        Graphics::_sheets.clear();
        for (auto& entry : Graphics::_graphics) {
            for (sf::Texture*& texture : entry.second) {
                delete texture;
                texture = nullptr;
            }
        }
    }
} releaseAtExit;

// Where tile `n` lies in the tileset image.
sf::IntRect cutOf(const Graphics::Sheet& sheet, unsigned n)
{
    const long long pitch = static_cast<long long>(sheet.tileSize) + sheet.spacing;
    return sf::IntRect(static_cast<int>(sheet.margin + (n % sheet.columns) * pitch),
                       static_cast<int>(sheet.margin + (n / sheet.columns) * pitch), sheet.tileSize,
                       sheet.tileSize);
}

// Copies tile `n` into `atlas` at (x, y) inside a one-pixel frame that repeats
// the tile's edge pixels: wherever a scaled view rounds at the tile's edge, it
// still finds the tile's own edge, as it would in a texture of its own.
void place(sf::Image& atlas, const Graphics::Sheet& sheet, unsigned n, unsigned x, unsigned y)
{
    const sf::IntRect cut = cutOf(sheet, n);
    const int s = sheet.tileSize;
    const int last = s - 1;
    const unsigned end = x + static_cast<unsigned>(s);
    const unsigned bottom = y + static_cast<unsigned>(s);
    const auto from = [&](int left, int top, int width, int height) {
        return sf::IntRect(cut.left + left, cut.top + top, width, height);
    };
    atlas.copy(sheet.image, x, y, cut);
    atlas.copy(sheet.image, x, y - 1, from(0, 0, s, 1));
    atlas.copy(sheet.image, x, bottom, from(0, last, s, 1));
    atlas.copy(sheet.image, x - 1, y, from(0, 0, 1, s));
    atlas.copy(sheet.image, end, y, from(last, 0, 1, s));
    atlas.copy(sheet.image, x - 1, y - 1, from(0, 0, 1, 1));
    atlas.copy(sheet.image, end, y - 1, from(last, 0, 1, 1));
    atlas.copy(sheet.image, x - 1, bottom, from(0, last, 1, 1));
    atlas.copy(sheet.image, end, bottom, from(last, last, 1, 1));
}

bool isOpaque(const Graphics::Sheet& sheet, unsigned n)
{
    const sf::IntRect cut = cutOf(sheet, n);
    for (int y = cut.top; y < cut.top + cut.height; ++y)
        for (int x = cut.left; x < cut.left + cut.width; ++x)
            if (sheet.image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).a != 255)
                return false;
    return true;
}

// Lays the tiles of a sheet out in atlases no larger than Graphics::atlasSide
// across and down, and tells each tile texture where its picture lies.
void buildAtlases(Graphics::Sheet& sheet, const std::vector<sf::Texture*>& tiles)
{
    const unsigned count = static_cast<unsigned>(tiles.size());
    const unsigned pitch = static_cast<unsigned>(sheet.tileSize) + 2;
    const unsigned side = std::min(Graphics::atlasSide, sf::Texture::getMaximumSize());
    const unsigned across = std::max(1u, std::min(count, side / pitch));
    const unsigned perAtlas = across * std::max(1u, side / pitch);
    for (unsigned first = 0; first < count; first += perAtlas) {
        const unsigned n = std::min(perAtlas, count - first);
        sf::Image image;
        image.create(std::min(across, n) * pitch, (n + across - 1) / across * pitch, sf::Color::Transparent);
        for (unsigned i = 0; i < n; ++i)
            place(image, sheet, first + i, i % across * pitch + 1, i / across * pitch + 1);
        auto atlas = std::make_unique<sf::Texture>();
        if (!atlas->loadFromImage(image))
            continue; // these tiles are drawn from their own textures
        for (unsigned i = 0; i < n; ++i)
            Graphics::_atlasTiles[tiles[first + i]] = {
                atlas.get(),
                sf::IntRect(static_cast<int>(i % across * pitch + 1), static_cast<int>(i / across * pitch + 1),
                            sheet.tileSize, sheet.tileSize),
                isOpaque(sheet, first + i)};
        sheet.atlases.push_back(std::move(atlas));
    }
}
} // namespace

bool Graphics::tilesetIsLoaded(const std::string& name)
{
    return _graphics.find(name) != _graphics.end();
}

void Graphics::loadTilemap(const std::string& path, const std::string& name, int tileSize, int margin,
                           int spacing)
{
    if (pictureless) {
        if (measured.count(name) || tileSize <= 0 || margin < 0 || spacing < 0)
            return;
        sf::Image image;
        PictureFile::load(path, image);
        const auto fitting = [&](unsigned length) -> std::size_t {
            const long long room = static_cast<long long>(length) - margin - tileSize;
            return room < 0 ? 0u : static_cast<std::size_t>(room / (static_cast<long long>(tileSize) + spacing) + 1);
        };
        measured[name] = {tileSize, fitting(image.getSize().x) * fitting(image.getSize().y)};
        return;
    }
    if (tilesetIsLoaded(name))
        return;
    std::vector<sf::Texture*>& tiles = _graphics[name];
    if (tileSize <= 0 || margin < 0 || spacing < 0)
        return; // no tile can be cut: an entry without slots

    Sheet& sheet = _sheets[name];
    sheet.tileSize = tileSize;
    sheet.margin = margin;
    sheet.spacing = spacing;
    // An unreadable file leaves a 0 x 0 image. Only regular files are read: a
    // pipe or a device would block the game.
    PictureFile::load(path, sheet.image);
    // How many whole tiles fit along an edge of `length` pixels.
    const auto fitting = [&](unsigned length) -> unsigned {
        const long long room = static_cast<long long>(length) - margin - tileSize;
        return room < 0 ? 0u : static_cast<unsigned>(room / (static_cast<long long>(tileSize) + spacing) + 1);
    };
    sheet.columns = fitting(sheet.image.getSize().x);
    const unsigned rows = fitting(sheet.image.getSize().y);
    tiles.resize(static_cast<std::size_t>(sheet.columns) * rows);
    for (sf::Texture*& texture : tiles)
        texture = new sf::Texture();
    buildAtlases(sheet, tiles);
    if (tiles.empty())
        _sheets.erase(name);
}

sf::Texture* Graphics::getTexture(const std::string& name, int tile)
{
    auto entry = _graphics.find(name);
    if (entry == _graphics.end() || static_cast<unsigned>(tile) >= entry->second.size()
        || !entry->second[static_cast<unsigned>(tile)])
        return &emptyStore.make();
    sf::Texture* texture = entry->second[static_cast<unsigned>(tile)];
    if (texture->getNativeHandle() == 0) {
        // First asked for: the tile's own texture gets its pixels now.
        auto sheet = _sheets.find(name);
        if (sheet != _sheets.end())
            texture->loadFromImage(sheet->second.image, cutOf(sheet->second, static_cast<unsigned>(tile)));
    }
    return texture;
}

int Graphics::tileSide(const std::string& name, int tile)
{
    if (tile < 0)
        return 0;
    const auto pictures = _sheets.find(name);
    const auto tiles = _graphics.find(name);
    if (!pictureless && pictures != _sheets.end() && tiles != _graphics.end())
        return static_cast<std::size_t>(tile) < tiles->second.size() ? pictures->second.tileSize : 0;
    const auto sizes = measured.find(name);
    if (sizes == measured.end())
        return 0;
    return static_cast<std::size_t>(tile) < sizes->second.second ? sizes->second.first : 0;
}

const Graphics::AtlasTile* Graphics::atlasTile(const sf::Texture* texture)
{
    auto found = _atlasTiles.find(texture);
    return found == _atlasTiles.end() ? nullptr : &found->second;
}

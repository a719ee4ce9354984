#include "render/Graphics.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <climits>
#include <set>

using namespace testing_support;

namespace {
std::size_t slots(const std::string& name)
{
    return Graphics::_graphics.at(name).size();
}

// The colour of a tile texture at its top-left and bottom-right pixels, which
// must agree: a texture holds exactly one tile.
sf::Color colourOf(const std::string& name, int slot)
{
    const sf::Image pixels = Graphics::getTexture(name, slot)->copyToImage();
    const sf::Vector2u size = pixels.getSize();
    EXPECT_EQ(pixels.getPixel(0, 0), pixels.getPixel(size.x - 1, size.y - 1)) << name << " " << slot;
    return pixels.getPixel(0, 0);
}
} // namespace

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
    ResourceDir dir;
};

TEST_F(GraphicsTest, ImageIsCutIntoWholeTilesNumberedRowByRow)
{
    // 100 x 70 with 32-pixel tiles: 3 columns and 2 rows; the 4 pixel columns on
    // the right and the 6 rows at the bottom belong to no tile. The image's own
    // colouring counts 4 tiles per row, the cut part only 3.
    dir.image("res/odd.png", 100, 70);
    Graphics::loadTilemap("res/odd.png", "slice-100x70", 32);
    ASSERT_TRUE(Graphics::tilesetIsLoaded("slice-100x70"));
    ASSERT_EQ(slots("slice-100x70"), 6u);
    std::set<sf::Texture*> distinct;
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(Graphics::getTexture("slice-100x70", slot)->getSize(), sf::Vector2u(32, 32)) << slot;
        distinct.insert(Graphics::getTexture("slice-100x70", slot));
    }
    EXPECT_EQ(distinct.size(), 6u);
    EXPECT_EQ(colourOf("slice-100x70", 0), tileColour(0));
    EXPECT_EQ(colourOf("slice-100x70", 2), tileColour(2));
    EXPECT_EQ(colourOf("slice-100x70", 3), tileColour(4)); // row 1, column 0
    EXPECT_EQ(colourOf("slice-100x70", 4), tileColour(5)); // row 1, column 1
    EXPECT_EQ(colourOf("slice-100x70", 5), tileColour(6));

    // Four tiles across: slot 4 starts the second row, slot 5 is row 1, column 1.
    dir.image("res/wide.png", 128, 64);
    Graphics::loadTilemap("res/wide.png", "slice-4-wide", 32);
    ASSERT_EQ(slots("slice-4-wide"), 8u);
    EXPECT_EQ(colourOf("slice-4-wide", 3), tileColour(3));
    EXPECT_EQ(colourOf("slice-4-wide", 4), tileColour(4));
    EXPECT_EQ(colourOf("slice-4-wide", 5), tileColour(5));

    // The tile size is the caller's.
    dir.image("res/small.png", 48, 20, 16);
    Graphics::loadTilemap("res/small.png", "slice-16", 16);
    ASSERT_EQ(slots("slice-16"), 3u);
    EXPECT_EQ(Graphics::getTexture("slice-16", 2)->getSize(), sf::Vector2u(16, 16));
    EXPECT_EQ(colourOf("slice-16", 2), tileColour(2));
}

TEST_F(GraphicsTest, TooSmallOrMissingImageGivesAnEntryWithoutTiles)
{
    dir.image("res/tiny.png", 20, 40);
    Graphics::loadTilemap("res/tiny.png", "tiny-image", 32);
    EXPECT_NO_THROW(Graphics::loadTilemap("res/absent.png", "missing-image", 32));
    for (const char* name : {"tiny-image", "missing-image"}) {
        EXPECT_TRUE(Graphics::tilesetIsLoaded(name)) << name;
        EXPECT_EQ(slots(name), 0u) << name;
        EXPECT_EQ(Graphics::getTexture(name, 0)->getSize(), sf::Vector2u(0, 0)) << name;
    }
    EXPECT_FALSE(Graphics::tilesetIsLoaded("never-loaded"));

    // A later, readable image under the same name changes nothing.
    dir.image("res/absent.png", 64, 64);
    Graphics::loadTilemap("res/absent.png", "missing-image", 32);
    EXPECT_EQ(slots("missing-image"), 0u);
}

TEST_F(GraphicsTest, FirstImageLoadedUnderANameStays)
{
    dir.image("res/first.png", 64, 32);
    dir.image("res/second.png", 96, 96);
    Graphics::loadTilemap("res/first.png", "kept-first", 32);
    sf::Texture* const before = Graphics::getTexture("kept-first", 1);
    Graphics::loadTilemap("res/second.png", "kept-first", 32);
    EXPECT_EQ(slots("kept-first"), 2u);
    EXPECT_EQ(Graphics::getTexture("kept-first", 1), before); // sprites may point at it
    EXPECT_EQ(colourOf("kept-first", 1), tileColour(1));
}

TEST_F(GraphicsTest, EveryMissYieldsTheSameEmptyTexture)
{
    dir.image("res/two.png", 64, 32);
    Graphics::loadTilemap("res/two.png", "misses", 32);
    sf::Texture* const empty = Graphics::getTexture("no such tileset", 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->getSize(), sf::Vector2u(0, 0));
    for (int slot : {-1, 2, 3, INT_MIN, INT_MAX})
        EXPECT_EQ(Graphics::getTexture("misses", slot), empty) << slot;
    EXPECT_EQ(Graphics::getTexture("misses", 1), Graphics::getTexture("misses", 1));
    EXPECT_NE(Graphics::getTexture("misses", 1), empty);
}

TEST_F(GraphicsTest, MarginAndSpacingAreSkippedWhenCutting)
{
    // 16-pixel tiles, a 2-pixel margin at the top and left and 1 pixel between
    // tiles: 2 + 16 + 1 + 16 = 35 pixels hold two tiles across; the third would
    // need 52. Every tile gets its own colour, the gaps are white.
    sf::Image picture;
    picture.create(40, 36, sf::Color::White);
    const int margin = 2, spacing = 1, size = 16;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    picture.setPixel(margin + column * (size + spacing) + x,
                                     margin + row * (size + spacing) + y,
                                     tileColour(static_cast<unsigned>(row * 2 + column)));
    dir.write("res/.keep", "");
    ASSERT_TRUE(picture.saveToFile(dir.path() + "/res/spaced.png"));

    Graphics::loadTilemap("res/spaced.png", "spaced", size, margin, spacing);
    ASSERT_EQ(slots("spaced"), 4u);
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(colourOf("spaced", slot), tileColour(static_cast<unsigned>(slot))) << slot;

    // Negative gaps describe no tiles at all.
    Graphics::loadTilemap("res/spaced.png", "negative-gap", size, -1, 0);
    EXPECT_EQ(slots("negative-gap"), 0u);
}

namespace {
// The pixels of `rect` of an image.
sf::Image part(const sf::Image& image, const sf::IntRect& rect)
{
    sf::Image cut;
    cut.create(static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height));
    cut.copy(image, 0, 0, rect);
    return cut;
}

bool samePixels(const sf::Image& a, const sf::Image& b)
{
    return a.getSize() == b.getSize()
           && std::equal(a.getPixelsPtr(), a.getPixelsPtr() + 4 * a.getSize().x * a.getSize().y, b.getPixelsPtr());
}

// Every tile of a tileset lies in an atlas with the pixels of its own texture,
// framed by a copy of its edge pixels. Returns how many atlases the tiles use.
std::size_t checkAtlas(const std::string& name)
{
    std::set<const sf::Texture*> atlases;
    for (std::size_t slot = 0; slot < slots(name); ++slot) {
        const sf::Texture* tile = Graphics::getTexture(name, static_cast<int>(slot));
        const Graphics::AtlasTile* where = Graphics::atlasTile(tile);
        if (!where) {
            ADD_FAILURE() << name << " " << slot << " has no place in an atlas";
            continue;
        }
        atlases.insert(where->atlas);
        const sf::Image atlas = where->atlas->copyToImage();
        const sf::IntRect r = where->rect;
        EXPECT_EQ(sf::Vector2i(r.width, r.height), sf::Vector2i(tile->getSize())) << name << " " << slot;
        EXPECT_TRUE(samePixels(part(atlas, r), tile->copyToImage())) << name << " " << slot;
        // The frame: each side repeats the tile's outermost row or column.
        EXPECT_TRUE(samePixels(part(atlas, {r.left, r.top - 1, r.width, 1}), part(atlas, {r.left, r.top, r.width, 1})));
        EXPECT_TRUE(samePixels(part(atlas, {r.left, r.top + r.height, r.width, 1}),
                               part(atlas, {r.left, r.top + r.height - 1, r.width, 1})));
        EXPECT_TRUE(samePixels(part(atlas, {r.left - 1, r.top - 1, 1, r.height + 2}),
                               part(atlas, {r.left, r.top - 1, 1, r.height + 2})));
        EXPECT_TRUE(samePixels(part(atlas, {r.left + r.width, r.top - 1, 1, r.height + 2}),
                               part(atlas, {r.left + r.width - 1, r.top - 1, 1, r.height + 2})));
    }
    return atlases.size();
}
} // namespace

TEST_F(GraphicsTest, EveryTileLiesInItsTilesetsAtlasFramedByItsEdges)
{
    // Tiles whose every pixel differs, cut with a margin and spacing.
    sf::Image picture;
    picture.create(2 + 3 * 17, 2 + 2 * 17, sf::Color::White);
    for (unsigned y = 0; y < picture.getSize().y; ++y)
        for (unsigned x = 0; x < picture.getSize().x; ++x)
            picture.setPixel(x, y, sf::Color(static_cast<sf::Uint8>(x * 4), static_cast<sf::Uint8>(y * 6), 90));
    dir.write("res/.keep", "");
    ASSERT_TRUE(picture.saveToFile(dir.path() + "/res/framed.png"));
    Graphics::loadTilemap("res/framed.png", "atlas-framed", 16, 2, 1);
    ASSERT_EQ(slots("atlas-framed"), 6u);
    EXPECT_EQ(checkAtlas("atlas-framed"), 1u);

    // Nothing else has a place in an atlas: misses, textures of anyone else.
    sf::Texture own;
    own.create(16, 16);
    EXPECT_EQ(Graphics::atlasTile(Graphics::getTexture("atlas-framed", 6)), nullptr);
    EXPECT_EQ(Graphics::atlasTile(&own), nullptr);
    EXPECT_EQ(Graphics::atlasTile(nullptr), nullptr);
}

TEST_F(GraphicsTest, ATilesetTooBigForOneAtlasSpreadsOverSeveral)
{
    // 34 pixels a tile with its frame: two across and two down fit in 100.
    const unsigned side = Graphics::atlasSide;
    Graphics::atlasSide = 100;
    dir.image("res/many.png", 96, 96);
    Graphics::loadTilemap("res/many.png", "atlas-many", 32);
    Graphics::atlasSide = side;
    ASSERT_EQ(slots("atlas-many"), 9u);
    EXPECT_EQ(checkAtlas("atlas-many"), 3u);
    EXPECT_EQ(colourOf("atlas-many", 8), tileColour(8));
}

// Picture files are content people share: damaged, oversized or odd files
// leave an empty picture, quickly, and good ones read exactly.
#include "render/Graphics.h"
#include "resources/PictureFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using testing_support::ResourceDir;
using testing_support::tileColour;

TEST(PictureFileTest, ReadsPngPixelForPixelAndNoOtherFormat)
{
    ResourceDir dir;
    dir.image("res/gfx/tiles.png", 64, 32);
    sf::Image image;
    ASSERT_TRUE(PictureFile::load("res/gfx/tiles.png", image));
    ASSERT_EQ(image.getSize(), sf::Vector2u(64, 32));
    EXPECT_EQ(image.getPixel(0, 0), tileColour(0));
    EXPECT_EQ(image.getPixel(63, 31), tileColour(1));

    ASSERT_TRUE(image.saveToFile(dir.path() + "/tiles.bmp"));
    EXPECT_FALSE(PictureFile::load("tiles.bmp", image));
    EXPECT_EQ(image.getSize(), sf::Vector2u(0, 0));
}

// A 568-byte PNG whose compressed data is damaged (two bytes swapped) made the
// graphics library's own reader run for minutes and take gigabytes; a damaged
// JPEG of 325 bytes made it abort the program.
TEST(PictureFileTest, DamagedOversizedOrUnreadablePicturesAreEmpty)
{
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string damaged = std::string(source) + "/tests/data/damaged-idat.png";
    const std::string jpeg = std::string(source) + "/tests/data/damaged.jpg";
    ResourceDir dir;
    sf::Image wide;
    wide.create(PictureFile::maxSide + 1, 1, sf::Color::Red);
    ASSERT_TRUE(wide.saveToFile(dir.path() + "/wide.png"));
    ASSERT_EQ(mkfifo((dir.path() + "/pipe.png").c_str(), 0600), 0);
    dir.write("truncated.png", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
    dir.write("text.png", "not a picture");

    for (const std::string& path : {damaged, jpeg, std::string("wide.png"), std::string("pipe.png"),
                                    std::string("truncated.png"), std::string("text.png"),
                                    std::string("missing.png")}) {
        sf::Image image;
        image.create(2, 2);
        EXPECT_FALSE(PictureFile::load(path, image)) << path;
        EXPECT_EQ(image.getSize(), sf::Vector2u(0, 0)) << path;
    }

    // Through the tileset cache: a tileset without tiles.
    Graphics::loadTilemap(damaged, "damaged_tiles", 16, 3, 3);
    EXPECT_TRUE(Graphics::tilesetIsLoaded("damaged_tiles"));
    EXPECT_EQ(Graphics::getTexture("damaged_tiles", 0), &Graphics::_emptyTexture);
}

// One small world saved in every way the map loader reads (the older format,
// and today's editor with embedded, .tsj and .tsx tilesets, packed layer data
// and group layers) must give the same entities; flip bits mirror plain tiles.
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "world/Map.h"
#include "mapformat/MapDocument.h"
#include "TestSupport.h"

#include <SFML/Graphics/Image.hpp>
#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

fs::path fixtures(const std::string& folder)
{
    const char* dir = std::getenv("TARNWICK_SOURCE_DIR");
    return (dir ? fs::path(dir) : fs::current_path()) / "tests" / "fixtures" / folder;
}

class MapFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        fs::create_directories(fs::path(dir.path()) / "res/maps");
        for (const auto& entry : fs::directory_iterator(fixtures("formats")))
            if (entry.path().extension() != ".py")
                fs::copy_file(entry.path(), fs::path(dir.path()) / "res/maps" / entry.path().filename());
        dir.image("res/gfx/formats.png", 128, 128);
        dir.image("res/gfx/player.png", 128, 64);
        dir.write("res/txt/clerk.xml", leafXml("after"));
        dir.write("res/txt/clerk2.xml", leafXml("offer"));
        dir.write("res/txt/sign.xml", leafXml("No entry"));
        for (const char* name : {"warden0", "warden1", "warden2", "warden3", "warden4", "warden5", "table0",
                                        "table1", "table2", "boss0", "boss1", "boss2", "boss3"})
            dir.write(std::string("res/txt/") + name + ".xml", leafXml(name));
    }
    void TearDown() override { resetGame(); }

    std::vector<std::string> load(const std::string& file)
    {
        GameState state;
        Map().loadMap(file, &state);
        return describeEntities(state);
    }

    ResourceDir dir;
};

} // namespace

TEST_F(MapFormats, EverySavedFormOfTheWorldGivesTheSameEntities)
{
    const std::vector<std::string> legacy = load("legacy.json");
    ASSERT_EQ(legacy.size(), 20u + 13u + 7u) << "floor, walls and the sign, people";
    // A spot check of the older format's reading, against which the rest is held.
    EXPECT_NE(legacy[20].find("type wall name Wall tile formats/1 solid 1"), std::string::npos) << legacy[20];
    EXPECT_NE(legacy.back().find("type warden name Warden tile formats/10"), std::string::npos) << legacy.back();
    bool sawClerk = false;
    for (const std::string& line : legacy)
        sawClerk |= line.find("type victim name Clerk tile formats/3 solid 1 flip 0 size 32x32") != std::string::npos
                    && line.find("talk after part 1 offer offer") != std::string::npos;
    EXPECT_TRUE(sawClerk);

    for (const char* file : {"embedded.json", "external-tsj.json", "external-tsx.json", "base64.json", "zlib.json",
                             "gzip.json", "zstd.json", "groups.json"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(load(file), legacy);
    }
}

TEST_F(MapFormats, TheFormatIsToldByWhatTheFileHolds)
{
    EXPECT_EQ(MapDocument("res/maps/legacy.json").format, MapDocument::Format::legacy);
    for (const char* file : {"embedded.json", "external-tsj.json", "zstd.json", "groups.json"})
        EXPECT_EQ(MapDocument(std::string("res/maps/") + file).format, MapDocument::Format::current) << file;

    namespace pt = boost::property_tree;
    const auto formatOf = [](const std::string& json) {
        std::istringstream in(json);
        pt::ptree root;
        pt::read_json(in, root);
        return MapDocument::detect(root);
    };
    using F = MapDocument::Format;
    EXPECT_EQ(formatOf(R"({"tilesets": []})"), F::legacy);
    EXPECT_EQ(formatOf(R"({"version": 1, "tilesets": [{"tiles": {"0": {}}}]})"), F::legacy);
    EXPECT_EQ(formatOf(R"({"version": "1.10", "tilesets": []})"), F::current);
    EXPECT_EQ(formatOf(R"({"tilesets": [{"firstgid": 1, "source": "a.tsj"}]})"), F::current);
    EXPECT_EQ(formatOf(R"({"tilesets": [{"tiles": [{"id": 0}]}]})"), F::current);
    // Properties keyed by tile number decide, whatever the version says.
    EXPECT_EQ(formatOf(R"({"version": 1.1, "tilesets": [{"tileproperties": {}}]})"), F::legacy);
}

namespace {

// A picture of `tiles` 32-pixel tiles side by side, each with a red top-left
// quadrant, green top-right and blue bottom-left; the rest white.
void quadrants(const std::string& path, unsigned tiles)
{
    sf::Image picture;
    picture.create(32 * tiles, 32, sf::Color::White);
    for (unsigned t = 0; t < tiles; ++t)
        for (unsigned y = 0; y < 16; ++y)
            for (unsigned x = 0; x < 16; ++x) {
                picture.setPixel(32 * t + x, y, sf::Color::Red);
                picture.setPixel(32 * t + x + 16, y, sf::Color::Green);
                picture.setPixel(32 * t + x, y + 16, sf::Color::Blue);
            }
    fs::create_directories(fs::path(path).parent_path());
    picture.saveToFile(path);
}

} // namespace

TEST_F(MapFormats, FlipBitsMirrorPlainTilesButNotCharacters)
{
    quadrants("res/gfx/flip.png", 2);
    // Horizontal; vertical and diagonal; a victim flipped horizontally; the
    // hexagonal turn bit alone, which the game does not draw.
    dir.write("res/maps/flip.json", R"({"version": "1.8", "width": 4, "height": 1, "tilewidth": 32,
      "tileheight": 32, "infinite": false,
      "layers": [{"type": "tilelayer", "name": "t", "width": 4, "height": 1,
                  "data": [2147483649, 1610612737, 2147483650, 268435457]}],
      "tilesets": [{"firstgid": 1, "name": "map-flip", "image": "../gfx/flip.png", "tilewidth": 32,
        "tileheight": 32, "tiles": [{"id": 0, "type": "floor", "properties": [{"name": "solid", "type": "bool",
        "value": false}]}, {"id": 1, "type": "victim", "properties": [{"name": "solid", "type": "bool",
        "value": true}, {"name": "part", "type": "int", "value": 0}]}]}]})");
    GameState state;
    Map().loadMap("flip.json", &state);
    ASSERT_EQ(state.entities.size(), 4u);
    EXPECT_EQ(state.entities[0]->flip, Entity::flipHorizontal);
    EXPECT_EQ(state.entities[1]->flip, Entity::flipVertical | Entity::flipDiagonal);
    EXPECT_EQ(state.entities[2]->flip, 0u) << "a character keeps its picture upright";
    EXPECT_EQ(state.entities[3]->flip, 0u);
    for (Entity* e : state.entities)
        EXPECT_EQ(e->tile, e == state.entities[2] ? 1 : 0) << "the flip bits are not part of the tile number";

    const sf::Color R = sf::Color::Red, G = sf::Color::Green, B = sf::Color::Blue, W = sf::Color::White;
    struct Expect {
        sf::Color topLeft, topRight, bottomLeft;
    };
    // Vertical after diagonal: a quarter turn anticlockwise.
    const Expect expected[] = {{G, R, W}, {G, W, R}, {R, G, B}, {R, G, B}};
    Game::window.setView(Game::window.getDefaultView());
    Game::window.clear(sf::Color::Black);
    for (Entity* e : state.entities)
        e->draw();
    for (unsigned i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(windowPixel(32 * i + 8, 8), expected[i].topLeft);
        EXPECT_EQ(windowPixel(32 * i + 24, 8), expected[i].topRight);
        EXPECT_EQ(windowPixel(32 * i + 8, 24), expected[i].bottomLeft);
    }
    Game::window.clear(sf::Color::Black);
}

TEST_F(MapFormats, MarginAndSpacingAreHonouredAndTheClassNamesTheType)
{
    // Two tiles: a 3-pixel margin, 2 pixels between them, red then green.
    sf::Image picture;
    picture.create(3 + 32 + 2 + 32 + 3, 3 + 32 + 3, sf::Color::Magenta);
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 0; x < 32; ++x) {
            picture.setPixel(3 + x, 3 + y, sf::Color::Red);
            picture.setPixel(3 + 34 + x, 3 + y, sf::Color::Green);
        }
    picture.saveToFile("res/gfx/spaced.png");
    // The editor's 1.9 writes a tile's class as "class"; an explicit "type"
    // property still wins over it.
    dir.write("res/maps/spaced.json", R"({"version": "1.10", "width": 2, "height": 1, "tilewidth": 32,
      "tileheight": 32, "layers": [{"type": "tilelayer", "name": "t", "data": [2, 1]}],
      "tilesets": [{"firstgid": 1, "name": "map-spaced", "image": "../gfx/spaced.png", "margin": 3,
        "spacing": 2, "tilewidth": 32, "tileheight": 32, "tiles": [
        {"id": 0, "class": "crate", "properties": [{"name": "solid", "type": "bool", "value": true}]},
        {"id": 1, "class": "crate", "properties": [{"name": "solid", "type": "bool", "value": false},
                                                   {"name": "type", "type": "string", "value": "rug"}]}]}]})");
    GameState state;
    Map().loadMap("spaced.json", &state);
    ASSERT_EQ(state.entities.size(), 2u);
    EXPECT_EQ(state.entities[0]->type, "rug");
    EXPECT_EQ(state.entities[1]->type, "crate");
    EXPECT_TRUE(state.entities[1]->solid);
    const sf::Image first = state.entities[1]->sprite.getTexture()->copyToImage();
    const sf::Image second = state.entities[0]->sprite.getTexture()->copyToImage();
    ASSERT_EQ(first.getSize(), sf::Vector2u(32, 32));
    for (unsigned corner : {0u, 31u}) {
        EXPECT_EQ(first.getPixel(corner, corner), sf::Color::Red);
        EXPECT_EQ(second.getPixel(corner, corner), sf::Color::Green);
    }
}

TEST_F(MapFormats, WhatTheGameCannotShowIsRefusedWithWhatToChangeInTheEditor)
{
    const std::string good = R"({"version": "1.8", "width": 1, "height": 1, "tilewidth": 32, "tileheight": 32,
      "infinite": false, "layers": [{"type": "tilelayer", "name": "t", "width": 1, "height": 1, "data": [1]}],
      "tilesets": [{"firstgid": 1, "name": "map-refused", "image": "../gfx/formats.png", "tilewidth": 32,
        "tileheight": 32, "tiles": [{"id": 0, "type": "floor", "properties": [{"name": "solid", "type": "bool",
        "value": false}]}]}]})";
    dir.write("res/maps/good.json", good);
    {
        GameState state;
        ASSERT_NO_THROW(Map().loadMap("good.json", &state));
        EXPECT_EQ(state.entities.size(), 1u);
    }
    const auto swapped = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const struct {
        std::string from, to, message;
    } cases[] = {
        {"\"infinite\": false", "\"infinite\": true", "untick \"Infinite\""},
        {"\"tilewidth\": 32, \"tileheight\": 32,\n      \"infinite\"", "\"tilewidth\": 16, \"tileheight\": 32,\n      \"infinite\"",
         "the map's tiles are 16 x 32 pixels; the game needs square tiles"},
        {"\"tilewidth\": 32,\n        \"tileheight\": 32", "\"tilewidth\": 16,\n        \"tileheight\": 16",
         "tileset \"map-refused\": its tiles are 16 x 16 pixels but the map's are 32 x 32"},
        {"\"image\": \"../gfx/formats.png\", ", "", "a collection of separate images"},
        {"\"firstgid\": 1", "\"firstgid\": 0", "\"firstgid\" is 0; it must be 1 or more"},
        {"\"type\": \"floor\", ", "", "tileset \"map-refused\", tile 0: No such node (type)"},
        {"\"data\": [1]", "\"data\": [1], \"chunks\": []", "stored in chunks"},
        {"\"width\": 1, \"height\": 1, \"data\"", "\"width\": 2, \"height\": 1, \"data\"", "every layer must cover the whole map"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        dir.write("res/maps/bad.json", swapped(c.from, c.to));
        GameState state;
        try {
            Map().loadMap("bad.json", &state);
            ADD_FAILURE() << "loaded";
        } catch (const boost::property_tree::ptree_error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("res/maps/bad.json: ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
        EXPECT_TRUE(state.entities.empty());
    }
}

// A cell of the older format is resolved once, by the map format: the loader
// throws what it cannot read, the checker is told each problem and goes on.
TEST_F(MapFormats, ACellIsResolvedOnceWhetherProblemsAreThrownOrTold)
{
    const auto legacy = [](const std::string& firstTileset) {
        return R"({"width": 1, "height": 1, "tilewidth": 32, "tileheight": 32,
          "layers": [{"name": "t", "width": 1, "height": 1, "data": [1]}],
          "tilesets": [)" + firstTileset + R"(, {"name": "later", "image": "../gfx/formats.png", "firstgid": 1,
            "tileproperties": {"0": {"type": "floor", "solid": "false"}}}]})";
    };
    const struct {
        const char* what;
        std::string firstTileset;
        std::uint32_t value;
        bool resolved, withProperties, tilesetProblem;
        std::size_t problems;
        const char* thrown; // "" when nothing is
    } cases[] = {
        {"a sound cell", R"({"name": "first", "image": "../gfx/formats.png", "firstgid": 1,
           "tileproperties": {"0": {"type": "floor", "solid": "false"}}})", 1, true, true, false, 0, ""},
        {"below every tileset", R"({"name": "first", "image": "../gfx/formats.png", "firstgid": 5,
           "tileproperties": {}})", 0, false, false, false, 0, ""},
        {"no properties", R"({"name": "first", "image": "../gfx/formats.png", "firstgid": 1,
           "tileproperties": {}})", 1, true, false, false, 1, "No such node (tileproperties.0)"},
        {"no firstgid before the cell's", R"({"name": "first", "image": "../gfx/formats.png",
           "tileproperties": {}})", 1, false, false, true, 1, "No such node (firstgid)"},
        {"a firstgid that is no number", R"({"name": "first", "image": "../gfx/formats.png", "firstgid": "one",
           "tileproperties": {}})", 1, false, false, true, 1, "\"firstgid\" is \"one\", not a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("res/maps/told.json", legacy(c.firstTileset));
        const MapDocument map("res/maps/told.json");
        std::vector<MapDocument::Problem> problems;
        const std::optional<MapDocument::Cell> cell = map.resolve(c.value, problems);
        EXPECT_EQ(cell.has_value(), c.resolved);
        EXPECT_EQ(cell && cell->properties, c.withProperties);
        ASSERT_EQ(problems.size(), c.problems);
        if (c.problems) {
            EXPECT_EQ(problems.front().tileset, c.tilesetProblem);
        }
        if (!*c.thrown) {
            EXPECT_NO_THROW(map.resolve(c.value));
            continue;
        }
        try {
            map.resolve(c.value);
            ADD_FAILURE() << "not thrown";
        } catch (const boost::property_tree::ptree_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.thrown), std::string::npos) << e.what();
        }
    }
}

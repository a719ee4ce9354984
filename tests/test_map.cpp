#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "world/MainState.h"
#include "world/Map.h"
#include "characters/Player.h"
#include "TestSupport.h"
#include "characters/Victim.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
namespace pt = boost::property_tree;

namespace {
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "the map text has no " << from;
        return text;
    }
    return text.replace(at, from.size(), to);
}

// The message of the exception of type E that `load` throws.
template <class E, class F> std::string messageOf(F&& load)
{
    try {
        load();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected exception: " << e.what();
        return "";
    }
    ADD_FAILURE() << "nothing thrown";
    return "";
}

sf::Vector2i at(const Entity* e)
{
    return {e->x, e->y};
}

// A map of one row: a floor tile and a victim, each key of which the error
// cases below take away or spoil one at a time.
const std::string smallMap = R"({"height": 1, "width": 2, "tileheight": 32,
 "layers": [{"data": [1, 2], "name": "ground"}],
 "tilesets": [{"name": "map-errors", "image": "t.png", "firstgid": 1,
   "tileproperties": {"0": {"type": "floor", "solid": false},
                      "1": {"type": "victim", "solid": true, "part": 1, "name": "Ann"}}}],
 "version": 1})";
} // namespace

class MapTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }

    Map load(const std::string& file)
    {
        Map map;
        map.loadMap(file, &state);
        return map;
    }

    ResourceDir dir;
    GameState state;
};

TEST_F(MapTest, SmallestUsefulMapGivesOneEntityPerCellInOrder)
{
    dir.image("res/gfx/world.png", 96, 32);
    dir.write("res/txt/clerk.xml", leafXml("first"));
    dir.write("res/txt/clerk2.xml", leafXml("second"));
    dir.write("res/maps/world.json", R"({
      "width": 3, "height": 2, "tileheight": 32, "tilewidth": 32,
      "layers": [{"data": [1, 1, 1, 1, 2, 3], "name": "ground", "type": "tilelayer"}],
      "tilesets": [{"name": "world", "image": "../gfx/world.png", "firstgid": 1,
        "tileproperties": {
          "0": {"type": "floor", "solid": false},
          "1": {"type": "player", "solid": false},
          "2": {"type": "victim", "solid": true, "part": 1, "dialogue": "clerk", "name": "Clerk"}}}]})");

    const Map map = load("world.json");
    EXPECT_EQ(map.width, 3);
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.tileSize, 32);
    ASSERT_EQ(state.entities.size(), 6u);
    const std::vector<sf::Vector2i> places{{0, 0}, {32, 0}, {64, 0}, {0, 32}, {32, 32}, {64, 32}};
    for (std::size_t i = 0; i < 6; ++i) {
        Entity* e = state.entities[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(at(e), places[i]);
        EXPECT_EQ(e->bounds, sf::IntRect(places[i].x, places[i].y, 32, 32));
        EXPECT_EQ(e->tileset, "world");
        EXPECT_EQ(e->sprite.getTexture(), Graphics::getTexture("world", e->tile));
        if (i < 4) {
            EXPECT_EQ(typeid(*e), typeid(Entity));
            EXPECT_EQ(e->type, "floor");
            EXPECT_EQ(e->name, "undefined");
            EXPECT_EQ(e->dialogue, nullptr);
            EXPECT_FALSE(e->solid);
            EXPECT_EQ(e->tile, 0);
        }
    }
    EXPECT_NE(dynamic_cast<Player*>(state.entities[4]), nullptr);
    EXPECT_EQ(state.entities[4]->tile, 1);
    auto* clerk = dynamic_cast<Victim*>(state.entities[5]);
    ASSERT_NE(clerk, nullptr);
    EXPECT_EQ(clerk->name, "Clerk");
    EXPECT_EQ(clerk->type, "victim");
    EXPECT_EQ(clerk->part, 1);
    EXPECT_TRUE(clerk->solid);
    EXPECT_EQ(clerk->tile, 2);
    ASSERT_NE(clerk->dialogue, nullptr);
    ASSERT_NE(clerk->secondDialogue, nullptr);
    EXPECT_EQ(clerk->dialogue->text, std::vector<std::string>{"first"});
    EXPECT_EQ(clerk->secondDialogue->text, std::vector<std::string>{"second"});
}

TEST_F(MapTest, CellsArePlacedByColumnAndRowInTileHeightSquares)
{
    // The map's tile width has no say: 32-pixel squares are placed and cut.
    dir.image("res/maps/cells.png", 256, 32);
    dir.write("res/maps/cells.json", R"({"width": 3, "height": 2, "tileheight": 32, "tilewidth": 16,
      "layers": [{"data": [0, 5, 0, 0, 0, 7]}, {"data": [0, 0, 0, 0]}],
      "tilesets": [{"name": "map-cells", "image": "cells.png", "firstgid": 1,
        "tileproperties": {"4": {"type": "Player", "solid": "1", "name": "Tile five"},
                           "6": {"type": "wall", "solid": "0"}}}]})");
    load("cells.json");
    ASSERT_EQ(state.entities.size(), 2u);
    Entity* five = state.entities[0];
    Entity* seven = state.entities[1];
    EXPECT_EQ(at(five), sf::Vector2i(32, 0));
    EXPECT_EQ(at(seven), sf::Vector2i(64, 32));
    EXPECT_EQ(five->bounds, sf::IntRect(32, 0, 32, 32));
    EXPECT_EQ(typeid(*five), typeid(Entity)); // "Player" is not "player"
    EXPECT_EQ(five->name, "Tile five");
    EXPECT_TRUE(five->solid);
    EXPECT_FALSE(seven->solid);
    EXPECT_EQ(five->tile, 4);
    EXPECT_EQ(seven->tile, 6);
    EXPECT_EQ(five->sprite.getTexture(), Graphics::getTexture("map-cells", 4));
    EXPECT_EQ(seven->sprite.getTexture(), Graphics::getTexture("map-cells", 6));
}

TEST_F(MapTest, LaterLayersComeLaterAndShortDataLeavesCellsEmpty)
{
    dir.write("res/maps/layers.json", R"({"width": 2, "height": 2, "tileheight": 32,
      "layers": [{"data": [1, 0, 0, 1]}, {"data": [2, 2]}],
      "tilesets": [{"name": "map-layers", "image": "absent.png", "firstgid": 1,
        "tileproperties": {"0": {"type": "floor", "solid": false},
                           "1": {"type": "crate", "solid": true}}}]})");
    load("layers.json");
    ASSERT_EQ(state.entities.size(), 4u);
    const std::vector<sf::Vector2i> places{{0, 0}, {32, 32}, {0, 0}, {32, 0}};
    const std::vector<std::string> types{"floor", "floor", "crate", "crate"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(at(state.entities[i]), places[i]) << i;
        EXPECT_EQ(state.entities[i]->type, types[i]) << i;
        // A missing tileset image is no error: the entity is simply not seen.
        EXPECT_EQ(state.entities[i]->bounds.width, 0) << i;
    }
    EXPECT_TRUE(Graphics::tilesetIsLoaded("map-layers"));
}

TEST_F(MapTest, CellsResolveAgainstTheFirstTilesetThatStartsAtOrBelowThem)
{
    dir.image("res/maps/high.png", 128, 32);
    dir.image("res/maps/low.png", 128, 32);
    // 3 is below the first tileset's firstgid and falls to the second; 6 stays
    // in the first, with property key 5 and texture slot 6 - 5.
    dir.write("res/maps/gids.json", R"({"width": 2, "height": 1, "tileheight": 32,
      "layers": [{"data": [3, 6]}],
      "tilesets": [{"name": "map-gid-high", "image": "high.png", "firstgid": 5,
                    "tileproperties": {"5": {"type": "high", "solid": false}}},
                   {"name": "map-gid-low", "image": "low.png", "firstgid": 1,
                    "tileproperties": {"2": {"type": "low", "solid": false}}}]})");
    load("gids.json");
    ASSERT_EQ(state.entities.size(), 2u);
    EXPECT_EQ(state.entities[0]->type, "low");
    EXPECT_EQ(state.entities[0]->tileset, "map-gid-low");
    EXPECT_EQ(state.entities[0]->tile, 2);
    EXPECT_EQ(state.entities[0]->sprite.getTexture(), Graphics::getTexture("map-gid-low", 2));
    EXPECT_EQ(state.entities[1]->type, "high");
    EXPECT_EQ(state.entities[1]->tileset, "map-gid-high");
    EXPECT_EQ(state.entities[1]->tile, 5);
    EXPECT_EQ(state.entities[1]->sprite.getTexture(), Graphics::getTexture("map-gid-high", 1));

    // With only a tileset starting at 5, the cell 3 makes nothing.
    GameState other;
    dir.write("res/maps/below.json", R"({"width": 1, "height": 1, "tileheight": 32,
      "layers": [{"data": [3]}],
      "tilesets": [{"name": "map-gid-high", "firstgid": 5, "tileproperties": {}}]})");
    Map().loadMap("below.json", &other);
    EXPECT_TRUE(other.entities.empty());
}

TEST_F(MapTest, WorldStateResetsTheStoryAfterLoading)
{
    dir.write("res/maps/testmap.json", R"({"width": 1, "height": 1, "tileheight": 32,
      "layers": [{"data": [1]}],
      "tilesets": [{"name": "map-main", "image": "none.png", "firstgid": 1,
                    "tileproperties": {"0": {"type": "floor", "solid": false}}}]})");
    dir.write("res/txt/goals.ini", goalsIni());
    Game::part = 2;
    Game::disguise = 3;
    Game::defacedTables = 2;
    MainState world;
    EXPECT_EQ(world.entities.size(), 1u);
    EXPECT_EQ(Game::part, -1);
    EXPECT_EQ(Game::disguise, 0);
    EXPECT_EQ(Game::defacedTables, 2);
}

TEST_F(MapTest, UnreadableMapFileStopsBeforeAnythingIsLoaded)
{
    EXPECT_NE(messageOf<pt::json_parser_error>([&] { load("none.json"); }).find("res/maps/none.json: cannot open file"),
              std::string::npos);

    dir.write("res/maps/broken.json", replaced(replaced(smallMap, "map-errors", "map-never-loaded"), "\"version\": 1}", "\"version\": 1"));
    EXPECT_NE(messageOf<pt::json_parser_error>([&] { load("broken.json"); }).find("res/maps/broken.json"),
              std::string::npos);
    EXPECT_FALSE(Graphics::tilesetIsLoaded("map-never-loaded"));
    EXPECT_TRUE(state.entities.empty());
}

TEST_F(MapTest, MissingRequiredKeysAreReportedWithTheMapFile)
{
    dir.write("res/maps/good.json", smallMap);
    ASSERT_NO_THROW(load("good.json"));
    ASSERT_EQ(state.entities.size(), 2u);

    const std::vector<std::pair<std::string, std::string>> cases{
        {"\"height\"", "\"rows\""},       {"\"width\"", "\"columns\""},     {"\"tileheight\"", "\"tilesize\""},
        {"\"layers\"", "\"strata\""},     {"\"tilesets\"", "\"sets\""},     {"\"data\"", "\"cells\""},
        {"\"name\": \"map-errors\"", "\"title\": \"map-errors\""},          {"\"firstgid\"", "\"first\""},
        {"\"1\": {", "\"7\": {"},         {"\"type\": \"victim\"", "\"kind\": \"victim\""},
        {"\"solid\": true", "\"hard\": true"},                              {"\"part\"", "\"act\""},
        // the image is needed only while the tileset is not cached yet
        {"\"name\": \"map-errors\", \"image\"", "\"name\": \"map-no-image\", \"picture\""},
    };
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(from);
        GameState fresh;
        dir.write("res/maps/bad.json", replaced(smallMap, from, to));
        const std::string message = messageOf<pt::ptree_bad_path>([&] { Map().loadMap("bad.json", &fresh); });
        EXPECT_NE(message.find("res/maps/bad.json"), std::string::npos) << message;
    }
}

TEST_F(MapTest, ValuesOutsideTheFormatAreRejectedWithTheMapFile)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\"height\": 1", "\"height\": 12.5"},
        {"\"width\": 2", "\"width\": \"abc\""},
        {"\"tileheight\": 32", "\"tileheight\": 0"},
        {"\"tileheight\": 32", "\"tileheight\": -32"},
        {"\"width\": 2", "\"width\": 0"},
        {"\"height\": 1", "\"height\": -1"},
        {"\"height\": 1, \"width\": 2", "\"height\": 100000, \"width\": 100000"},
        {"\"firstgid\": 1", "\"firstgid\": \"one\""},
        {"\"part\": 1", "\"part\": 12.5"},
        {"\"solid\": true", "\"solid\": \"yes\""},
        {"[1, 2]", "[1, 2, 0]"},
        {"[1, 2]", "[1, \"abc\"]"},
        {"[1, 2]", "[1, 1.5]"},
        {"[1, 2]", "[-3, 2]"},
        {"[1, 2]", "[1, 4294967295]"},
        {"[1, 2]", "[99999999999, 2]"},
    };
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(to);
        GameState fresh;
        dir.write("res/maps/odd.json", replaced(smallMap, from, to));
        const std::string message = messageOf<pt::ptree_bad_data>([&] { Map().loadMap("odd.json", &fresh); });
        EXPECT_NE(message.find("res/maps/odd.json"), std::string::npos) << message;
    }
}

TEST_F(MapTest, DialogueFilesAreReadSecondFirstAndReportedByName)
{
    const std::string map = replaced(smallMap, "\"name\": \"Ann\"", "\"name\": \"Ann\", \"dialogue\": \"clerk\"");
    dir.write("res/maps/talk.json", map);
    dir.write("res/txt/clerk.xml", "<dialogue><text>");
    dir.write("res/txt/clerk2.xml", "<dialogue><text><l>x</text>");
    EXPECT_NE(messageOf<pt::xml_parser_error>([&] { load("talk.json"); }).find("res/txt/clerk2.xml"),
              std::string::npos);

    dir.write("res/txt/clerk2.xml", leafXml("second"));
    EXPECT_NE(messageOf<pt::xml_parser_error>([&] { load("talk.json"); }).find("res/txt/clerk.xml"),
              std::string::npos);

    // Any tile may name a conversation; a missing file is reported by name.
    dir.write("res/maps/plain.json", replaced(smallMap, "\"type\": \"floor\"", "\"type\": \"floor\", \"dialogue\": \"sign\""));
    EXPECT_NE(messageOf<pt::xml_parser_error>([&] { load("plain.json"); }).find("res/txt/sign.xml"),
              std::string::npos);
}

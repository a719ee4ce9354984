// The world as the game draws it, compared pixel for pixel with the same world
// drawn sprite by sprite, each sprite from its own tile texture with a draw
// call of its own, in list order: how the game drew before tiles shared one
// texture per tileset.
#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "world/MainState.h"
#include "characters/Player.h"
#include "TestSupport.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

sf::Image capture()
{
    sf::Texture shot;
    shot.create(Game::window.getSize().x, Game::window.getSize().y);
    shot.update(Game::window);
    return shot.copyToImage();
}

// The reference: every visible sprite drawn by SFML itself from the texture it
// points at, mirrored as its `flip` says; the dialogue box draws itself.
void drawOneByOne(GameState* state)
{
    if (auto* talk = dynamic_cast<DialogueState*>(state))
        if (talk->previous)
            drawOneByOne(talk->previous);
    for (Entity* e : state->entities) {
        if (auto* box = dynamic_cast<DialogueBox*>(e)) {
            box->draw();
            continue;
        }
        if (e->visible)
            Game::window.draw(e->sprite, sf::RenderStates(e->flipTransform()));
    }
}

std::size_t coloursIn(const sf::Image& picture)
{
    std::set<sf::Uint32> seen;
    const sf::Vector2u size = picture.getSize();
    for (unsigned y = 0; y < size.y; y += 3)
        for (unsigned x = 0; x < size.x; x += 3)
            seen.insert(picture.getPixel(x, y).toInteger());
    return seen.size();
}

// Draws the current state the game's way and the reference way and compares
// every pixel. On a difference both pictures are kept in the temporary folder.
::testing::AssertionResult samePicture(const std::string& scene, std::size_t minColours = 8)
{
    Game::window.clear(sf::Color::Black);
    Game::currentState->draw();
    const sf::Image game = capture();
    Game::window.clear(sf::Color::Black);
    drawOneByOne(Game::currentState);
    const sf::Image reference = capture();
    Game::window.clear(sf::Color::Black);

    const sf::Vector2u size = game.getSize();
    std::size_t differing = 0;
    sf::Vector2u first;
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            if (game.getPixel(x, y) != reference.getPixel(x, y) && differing++ == 0)
                first = {x, y};
    if (differing == 0 && coloursIn(game) >= minColours)
        return ::testing::AssertionSuccess();

    const fs::path kept = fs::temp_directory_path() / ("tarnwick-picture-" + scene);
    game.saveToFile(kept.string() + "-game.png");
    reference.saveToFile(kept.string() + "-reference.png");
    if (differing == 0)
        return ::testing::AssertionFailure() << scene << ": hardly anything drawn (" << coloursIn(game)
                                             << " colours); picture in " << kept << "-game.png";
    return ::testing::AssertionFailure() << scene << ": " << differing << " pixels differ, the first at ("
                                         << first.x << ", " << first.y << "); pictures in " << kept
                                         << "-game.png and -reference.png";
}

void lookAt(float x, float y)
{
    sf::View view = Game::window.getView();
    view.setCenter(x, y);
    Game::window.setView(view);
}

// A tileset image whose every pixel tells its tile and its place in the tile,
// so that a tile drawn from the wrong place, shifted or mirrored shows.
void writeTileset(const std::string& path, unsigned columns, unsigned rows, unsigned tileSize,
                  unsigned margin = 0, unsigned spacing = 0)
{
    sf::Image picture;
    const unsigned pitch = tileSize + spacing;
    picture.create(2 * margin + columns * pitch, 2 * margin + rows * pitch, sf::Color::Magenta);
    for (unsigned row = 0; row < rows; ++row)
        for (unsigned column = 0; column < columns; ++column)
            for (unsigned y = 0; y < tileSize; ++y)
                for (unsigned x = 0; x < tileSize; ++x) {
                    const unsigned tile = row * columns + column;
                    const sf::Color colour(static_cast<sf::Uint8>(30 + 17 * tile),
                                           static_cast<sf::Uint8>(255 * x / tileSize),
                                           static_cast<sf::Uint8>(255 * y / tileSize));
                    picture.setPixel(margin + column * pitch + x, margin + row * pitch + y, colour);
                }
    fs::create_directories(fs::path(path).parent_path());
    picture.saveToFile(path);
}

} // namespace

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
};

TEST_F(PictureTest, ShippedMapLooksTheSameWhereverTheCameraIsAndInAConversation)
{
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    const fs::path previous = fs::current_path();
    fs::current_path(source ? fs::path(source) : previous);
    ASSERT_TRUE(fs::exists("res/maps/testmap.json"));

    auto* world = new MainState();
    world->goalLine.shown = false; // the tiles are compared here, not the line over them
    Game::currentState = world;
    runFrame(); // the camera finds the player
    world->roomBanner = RoomBanner(); // nor the room's name
    EXPECT_TRUE(samePicture("shipped-start"));

    // The corners of the map and beyond, its middle, and a camera between pixels.
    const struct {
        float x, y;
        const char* scene;
        std::size_t minColours;
    } views[] = {
        {0, 0, "shipped-top-left", 8},       {768, 576, "shipped-middle", 8},
        {1536, 1152, "shipped-bottom-right", 8}, {1300, 100, "shipped-top-right", 8},
        {123, 1000, "shipped-left-edge", 8},   {5000, 5000, "shipped-nothing", 1},
        {700.25f, 400.75f, "shipped-between-pixels", 8},
    };
    for (const auto& view : views) {
        lookAt(view.x, view.y);
        EXPECT_TRUE(samePicture(view.scene, view.minColours));
    }

    // The player halfway through a step, the camera following.
    Player* player = nullptr;
    for (Entity* e : Game::currentState->entities)
        if (auto* p = dynamic_cast<Player*>(e))
            player = p;
    ASSERT_NE(player, nullptr);
    for (sf::Keyboard::Key key : {sf::Keyboard::Down, sf::Keyboard::Right, sf::Keyboard::Up, sf::Keyboard::Left}) {
        runFrames(1);
        runFrames(6, {key});
        if (player->x % 32 != 0 || player->y % 32 != 0)
            break;
    }
    ASSERT_TRUE(player->x % 32 != 0 || player->y % 32 != 0) << "the player could not step anywhere";
    EXPECT_TRUE(samePicture("shipped-mid-step"));

    // A conversation over the world.
    Entity* speaker = nullptr;
    for (Entity* e : Game::currentState->entities)
        if (e->dialogue && !speaker)
            speaker = e;
    ASSERT_NE(speaker, nullptr);
    Game::displayDialogue(speaker->dialogue, speaker);
    EXPECT_TRUE(samePicture("shipped-conversation"));

    resetGame();
    fs::current_path(previous);
}

TEST_F(PictureTest, SmallMapWithMirroredTilesSeveralTilesetsAndSwitchedPictures)
{
    ResourceDir dir;
    writeTileset("res/gfx/ground.png", 4, 3, 32);
    writeTileset("res/gfx/spaced.png", 3, 2, 32, 2, 1);
    writeTileset("res/gfx/small.png", 2, 2, 16);
    // Two layers over a 6 x 5 map: floor everywhere, things over part of it.
    dir.write("res/maps/testmap.json", R"({"width":6,"height":5,"tileheight":32,
  "layers":[{"data":[1,2,3,4,1,2, 2,3,4,1,2,3, 3,4,1,2,3,4, 4,1,2,3,4,1, 1,2,3,4,1,2]},
            {"data":[0,5,0,6,0,7, 8,0,9,0,10,0, 0,11,0,12,0,5, 6,0,7,0,8,0, 0,9,0,10,0,11]}],
  "tilesets":[{"name":"picture-ground","image":"../gfx/ground.png","firstgid":1,"tileproperties":{
    "0":{"type":"floor","solid":false},"1":{"type":"floor","solid":false},
    "2":{"type":"floor","solid":false},"3":{"type":"floor","solid":false},
    "4":{"type":"thing","solid":true},"5":{"type":"thing","solid":true},
    "6":{"type":"thing","solid":true},"7":{"type":"thing","solid":true},
    "8":{"type":"thing","solid":true},"9":{"type":"thing","solid":true},
    "10":{"type":"thing","solid":true},"11":{"type":"thing","solid":true}}}]})");
    Graphics::loadTilemap("res/gfx/spaced.png", "picture-spaced", 32, 2, 1);
    Graphics::loadTilemap("res/gfx/small.png", "picture-small", 16);
    dir.write("res/txt/goals.ini", goalsIni());

    auto* world = new MainState();
    world->goalLine.shown = false; // the tiles are compared here, not the line over them
    Game::currentState = world;
    std::vector<Entity*>& all = Game::currentState->entities;
    ASSERT_EQ(all.size(), 45u);
    lookAt(96, 80); // the whole map, with black beyond its edges
    EXPECT_TRUE(samePicture("small-as-loaded"));

    // Every way a tile can be mirrored, on the things of the upper layer.
    for (unsigned i = 30; i < all.size(); ++i)
        all[i]->flip = (i - 30) % 8;
    // Pictures switched as the characters switch them: another tile of the
    // same tileset, tiles of a tileset cut with a margin and spacing, a tile
    // smaller than the picture the sprite had first (its edges stretch).
    all[31]->sprite.setTexture(*Graphics::getTexture("picture-ground", 11), false);
    all[32]->sprite.setTexture(*Graphics::getTexture("picture-spaced", 4), false);
    all[33]->sprite.setTexture(*Graphics::getTexture("picture-spaced", 5), false);
    all[34]->sprite.setTexture(*Graphics::getTexture("picture-small", 3), false);
    // Something first given a small picture, and one between two cells.
    auto* small = new Entity(200, 10);
    small->setTexture(*Graphics::getTexture("picture-small", 1));
    Game::currentState->add(small);
    all[35]->sprite.setPosition(all[35]->sprite.getPosition() + sf::Vector2f(14, -6));
    all[36]->visible = false;
    Game::currentState->drawIndex.refile(); // plain tiles moved by hand
    EXPECT_TRUE(samePicture("small-switched"));

    // Half the map beyond the camera's left and top edges, then a conversation.
    lookAt(320 - 70, 240 - 50);
    EXPECT_TRUE(samePicture("small-edges"));
    all[1]->dialogue = new DialogueTree([] {
        boost::property_tree::ptree tree;
        tree.put("dialogue.text.l", "Hello");
        return tree;
    }());
    Game::displayDialogue(all[1]->dialogue, all[1]);
    EXPECT_TRUE(samePicture("small-conversation"));
}

// The camera: it follows the player but stops at the map's edges, centres a
// map smaller than the picture, and a map can ask for the plain camera.
#include "render/Camera.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "world/Map.h"
#include "characters/Player.h"
#include "TestSupport.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

// Every axis of the rule in one table: a view 640 x 480 on maps larger and
// smaller than it, the target at the corners, on the edges and inside.
TEST(CameraRule, StopsAtTheEdgesAndCentresWhatIsSmaller)
{
    const sf::Vector2f view(640, 480);
    const sf::FloatRect large(0, 0, 1600, 960), small(0, 0, 320, 256), wide(0, 0, 1600, 256);
    struct Case {
        const char* what;
        sf::FloatRect map;
        sf::Vector2f target, centre;
    } cases[] = {
        {"large, top-left corner", large, {16, 16}, {320, 240}},
        {"large, top edge", large, {800, 16}, {800, 240}},
        {"large, top-right corner", large, {1584, 16}, {1280, 240}},
        {"large, right edge", large, {1584, 500}, {1280, 500}},
        {"large, bottom-right corner", large, {1584, 944}, {1280, 720}},
        {"large, bottom edge", large, {800, 944}, {800, 720}},
        {"large, bottom-left corner", large, {16, 944}, {320, 720}},
        {"large, left edge", large, {16, 500}, {320, 500}},
        {"large, inside", large, {700, 400}, {700, 400}},
        {"large, outside it", large, {-500, 2000}, {320, 720}},
        {"small, any corner", small, {16, 240}, {160, 128}},
        {"small, the other corner", small, {304, 16}, {160, 128}},
        {"wide but short", wide, {16, 16}, {320, 128}},
        {"just the picture's size", sf::FloatRect(0, 0, 640, 480), {16, 16}, {320, 240}},
        {"odd size, whole pixels", sf::FloatRect(0, 0, 33, 480), {0, 0}, {16, 240}},
        {"no map known", sf::FloatRect(), {-7, 9}, {-7, 9}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Camera::centre(c.target, c.map, view, false), c.centre) << c.what;
        EXPECT_EQ(Camera::centre(c.target, c.map, view, true), c.target) << c.what << ", following";
    }
}

TEST(CameraRule, TheMapPropertyChoosesTheCamera)
{
    const struct {
        const char* value;
        bool follow, known;
    } cases[] = {{"", false, true}, {"edges", false, true}, {"follow", true, true}, {"Follow", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(Camera::configure(320, 64, c.value), c.known) << c.value;
        EXPECT_EQ(Camera::follow, c.follow) << c.value;
        EXPECT_EQ(Camera::map, sf::FloatRect(0, 0, 320, 64));
    }
    Camera::map = sf::FloatRect();
    Camera::follow = false;
}

// A world of one floor colour, the player standing at a given cell.
class CameraPicture : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override
    {
        resetGame();
        Game::window.setView(Game::window.getDefaultView());
        Game::fitView();
    }

    // Builds a columns x rows map (today's format, with the map property given)
    // with the player at (column, row), lets the player take one frame and
    // draws the world as the game does.
    sf::Image picture(int columns, int rows, int column, int row, const std::string& camera = "")
    {
        ResourceDir dir;
        std::string floor, people;
        for (int i = 0; i < columns * rows; ++i) {
            floor += (i ? "," : "") + std::string("1");
            people += (i ? "," : "") + std::string(i == row * columns + column ? "2" : "0");
        }
        const std::string property =
            camera.empty() ? "" : R"("properties":[{"name":"camera","type":"string","value":")" + camera + R"("}],)";
        dir.write("res/maps/testmap.json",
                  R"({"version":"1.8","width":)" + std::to_string(columns) + R"(,"height":)" + std::to_string(rows)
                      + R"(,"tilewidth":32,"tileheight":32,)" + property + R"("layers":[
  {"type":"tilelayer","name":"floor","width":)" + std::to_string(columns) + R"(,"height":)" + std::to_string(rows)
                      + R"(,"data":[)" + floor + R"(]},
  {"type":"tilelayer","name":"people","width":)" + std::to_string(columns) + R"(,"height":)" + std::to_string(rows)
                      + R"(,"data":[)" + people + R"(]}],
  "tilesets":[{"firstgid":1,"name":"camera","image":"../gfx/world.png","imagewidth":64,"imageheight":32,
    "tilewidth":32,"tileheight":32,"tilecount":2,"columns":2,"tiles":[
    {"id":0,"properties":[{"name":"type","type":"string","value":"floor"},{"name":"solid","type":"bool","value":false}]},
    {"id":1,"properties":[{"name":"type","type":"string","value":"player"},{"name":"solid","type":"bool","value":false}]}]}]})");
        dir.image("res/gfx/world.png", 64, 32);
        dir.image("res/gfx/player.png", 128, 32);
        GameState world;
        Map().loadMap("testmap.json", &world);
        for (Entity* e : world.entities)
            if (auto* p = dynamic_cast<Player*>(e))
                p->update();
        Game::window.clear(sf::Color::Black);
        world.draw();
        sf::Texture shot;
        shot.create(Game::window.getSize().x, Game::window.getSize().y);
        shot.update(Game::window);
        Game::window.clear(sf::Color::Black);
        return shot.copyToImage();
    }
    // The player's picture (whichever sheet the cache holds) covers the floor there.
    static bool player(const sf::Image& image, unsigned x, unsigned y)
    {
        return image.getPixel(x, y) != tileColour(0) && image.getPixel(x, y) != sf::Color::Black;
    }
    static bool black(const sf::Image& image, unsigned x, unsigned y)
    {
        return image.getPixel(x, y) == sf::Color::Black;
    }
};

// A map larger than the picture (50 x 30 cells): wherever the player stands,
// the picture is the map to its very corners.
TEST_F(CameraPicture, ALargeMapFillsThePictureAtEveryEdgeAndCorner)
{
    ASSERT_EQ(Game::window.getSize(), sf::Vector2u(640, 480));
    const int columns = 50, rows = 30;
    const struct {
        const char* where;
        int column, row;
    } places[] = {{"top-left", 0, 0},        {"top", 25, 0},         {"top-right", 49, 0}, {"right", 49, 15},
                  {"bottom-right", 49, 29}, {"bottom", 25, 29},     {"bottom-left", 0, 29}, {"left", 0, 15},
                  {"middle", 25, 15}};
    for (const auto& p : places) {
        const sf::Image image = picture(columns, rows, p.column, p.row);
        for (unsigned x : {0u, 319u, 639u})
            for (unsigned y : {0u, 239u, 479u})
                EXPECT_FALSE(black(image, x, y)) << p.where << ": void at (" << x << ", " << y << ")";
        // The player is in the picture, where the camera put it.
        const sf::Vector2f centre = Game::window.getView().getCenter();
        const float px = 32.f * p.column + 16 - (centre.x - 320), py = 32.f * p.row + 16 - (centre.y - 240);
        ASSERT_GE(px, 0.f) << p.where;
        ASSERT_GE(py, 0.f) << p.where;
        ASSERT_LT(px, 640.f) << p.where;
        ASSERT_LT(py, 480.f) << p.where;
        EXPECT_TRUE(player(image, static_cast<unsigned>(px), static_cast<unsigned>(py)))
            << p.where << ": the player is not where the camera shows it";
    }

    // The plain camera, when the map asks for it, keeps the player in the
    // middle and shows the void beyond the corner.
    const sf::Image plain = picture(columns, rows, 0, 0, "follow");
    EXPECT_TRUE(black(plain, 0, 0));
    EXPECT_TRUE(player(plain, 320, 240)) << "the player in the middle";
}

// A map smaller than the picture (10 x 8 cells, 320 x 256 pixels) sits in its
// middle, the same wherever the player stands: 160 pixels of black on either
// side, 112 above and below.
TEST_F(CameraPicture, ASmallMapIsCentredWhereverThePlayerStands)
{
    for (const auto& [column, row] : {std::pair{0, 0}, {9, 0}, {0, 7}, {9, 7}, {4, 0}, {0, 3}, {9, 3}, {4, 7}}) {
        SCOPED_TRACE(std::to_string(column) + ", " + std::to_string(row));
        const sf::Image image = picture(10, 8, column, row);
        for (unsigned y : {112u, 240u, 367u}) {
            EXPECT_TRUE(black(image, 159, y));
            EXPECT_FALSE(black(image, 160, y));
            EXPECT_FALSE(black(image, 479, y));
            EXPECT_TRUE(black(image, 480, y));
        }
        for (unsigned x : {160u, 320u, 479u}) {
            EXPECT_TRUE(black(image, x, 111));
            EXPECT_FALSE(black(image, x, 112));
            EXPECT_FALSE(black(image, x, 367));
            EXPECT_TRUE(black(image, x, 368));
        }
        EXPECT_TRUE(player(image, 160 + 32 * column + 16, 112 + 32 * row + 16));
    }
}

} // namespace

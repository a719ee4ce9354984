#include "render/DrawIndex.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "render/SpriteBatch.h"
#include "TestSupport.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {
// Draws a rectangle itself, as the dialogue box draws its panel.
struct Panel : Entity {
    Panel(sf::FloatRect area, sf::Color colour)
        : Entity(0, 0)
    {
        shape.setPosition(area.left, area.top);
        shape.setSize({area.width, area.height});
        shape.setFillColor(colour);
    }
    void draw() override { Game::window.draw(shape); }
    sf::RectangleShape shape;
};

// A class of its own, as every character is: it may move at any time.
struct Walker : Entity {
    using Entity::Entity;
};

Entity* tileAt(GameState& state, int x, int y, const std::string& tileset, int tile)
{
    auto* e = new Entity(x, y);
    e->setTexture(*Graphics::getTexture(tileset, tile));
    state.add(e);
    return e;
}
} // namespace

class SpriteBatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        dir.image("res/a.png", 64, 32);
        dir.image("res/b.png", 96, 32);
        Graphics::loadTilemap("res/a.png", "batch-a", 32);
        Graphics::loadTilemap("res/b.png", "batch-b", 32);
        Game::window.clear(sf::Color::Black);
    }
    void TearDown() override
    {
        SpriteBatch::game().batching = true;
        Game::window.clear(sf::Color::Black);
        resetGame();
    }
    unsigned long callsFor(GameState& state)
    {
        const unsigned long before = SpriteBatch::game().drawCalls;
        state.draw();
        return SpriteBatch::game().drawCalls - before;
    }
    ResourceDir dir;
};

TEST_F(SpriteBatchTest, EachRunOfOneTilesetIsOneDrawCallAndLaterSpritesLieOver)
{
    // Tileset a's tiles, one of b's over both, one of a's over that.
    GameState state;
    tileAt(state, 0, 0, "batch-a", 0);
    tileAt(state, 32, 0, "batch-a", 1);
    tileAt(state, 16, 0, "batch-b", 2);
    tileAt(state, 40, 0, "batch-a", 0);
    EXPECT_EQ(callsFor(state), 3u);
    EXPECT_EQ(windowPixel(8, 16), tileColour(0));
    EXPECT_EQ(windowPixel(20, 16), tileColour(2));
    EXPECT_EQ(windowPixel(36, 16), tileColour(2));
    EXPECT_EQ(windowPixel(44, 16), tileColour(0));
    EXPECT_EQ(windowPixel(76, 16), sf::Color::Black);

    // Sprite by sprite, as the benchmark measures against: one call each.
    SpriteBatch::game().batching = false;
    EXPECT_EQ(callsFor(state), 4u);
    EXPECT_EQ(windowPixel(44, 16), tileColour(0));
}

TEST_F(SpriteBatchTest, SeeThroughTilesBlendOverWhatLiesBeneath)
{
    // Tile 0 opaque red, tile 1 half see-through blue.
    sf::Image picture;
    picture.create(64, 32, sf::Color::Red);
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 32; x < 64; ++x)
            picture.setPixel(x, y, sf::Color(0, 0, 255, 128));
    ASSERT_TRUE(picture.saveToFile(dir.path() + "/res/glass.png"));
    Graphics::loadTilemap("res/glass.png", "batch-glass", 32);

    GameState state;
    Entity* under = tileAt(state, 0, 0, "batch-glass", 0);
    Entity* glass = tileAt(state, 16, 0, "batch-glass", 1);
    tileAt(state, 64, 0, "batch-glass", 0);
    // The opaque tile alone, then the see-through one with the last.
    EXPECT_EQ(callsFor(state), 2u);
    const sf::Color overRed = windowPixel(24, 16), overBlack = windowPixel(40, 16);
    EXPECT_EQ(windowPixel(8, 16), sf::Color::Red);

    // As SFML blends the two sprites drawn one by one.
    Game::window.clear(sf::Color::Black);
    Game::window.draw(under->sprite);
    Game::window.draw(glass->sprite);
    EXPECT_EQ(overRed, windowPixel(24, 16));
    EXPECT_EQ(overBlack, windowPixel(40, 16));
    EXPECT_NE(overRed, sf::Color::Red);
    EXPECT_NE(overRed, overBlack);
}

TEST_F(SpriteBatchTest, WhatAnEntityDrawsItselfLandsBetweenTheSpritesAroundIt)
{
    GameState state;
    tileAt(state, 0, 0, "batch-a", 0);
    state.add(new Panel({16, 0, 32, 32}, sf::Color::Red));
    tileAt(state, 32, 0, "batch-a", 1);
    state.draw();
    EXPECT_EQ(windowPixel(8, 16), tileColour(0));
    EXPECT_EQ(windowPixel(24, 16), sf::Color::Red);
    EXPECT_EQ(windowPixel(40, 16), tileColour(1));
}

TEST_F(SpriteBatchTest, WhatTheViewCannotShowOrHasNoPixelsIsNotDrawn)
{
    GameState state;
    tileAt(state, 5000, 5000, "batch-a", 0);
    tileAt(state, -640, 0, "batch-a", 0); // its right edge touches the view's left edge
    EXPECT_EQ(callsFor(state), 0u);

    tileAt(state, -16, -16, "batch-a", 1); // a quarter of it in view
    EXPECT_EQ(callsFor(state), 1u);
    EXPECT_EQ(windowPixel(8, 8), tileColour(1));

    // A picture switched to a tile the tileset lacks shows nothing (not a
    // white square the size of the old picture).
    Entity* gone = tileAt(state, 100, 100, "batch-a", 0);
    gone->sprite.setTexture(*Graphics::getTexture("batch-a", 7), false);
    ASSERT_EQ(gone->sprite.getTextureRect().width, 32);
    Game::window.clear(sf::Color::Black);
    EXPECT_EQ(callsFor(state), 1u);
    EXPECT_EQ(windowPixel(116, 116), sf::Color::Black);
}

namespace {
// `found` must be ascending and hold every entity whose picture meets `seen`.
void expectNearIsComplete(const std::vector<std::size_t>& found, const std::vector<Entity*>& entities,
                          const sf::FloatRect& seen)
{
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
    EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (seen.intersects(entities[i]->sprite.getGlobalBounds())) {
            EXPECT_TRUE(std::binary_search(found.begin(), found.end(), i)) << "entity " << i << " is left out";
        }
    }
}
} // namespace

TEST_F(SpriteBatchTest, OnABigMapOnlyWhatIsNearTheViewIsLookedAt)
{
    // Two layers of 100 x 100 tiles, and a character standing far away.
    GameState state;
    for (int layer = 0; layer < 2; ++layer)
        for (int row = 0; row < 100; ++row)
            for (int column = 0; column < 100; ++column)
                tileAt(state, column * 32, row * 32, "batch-a", layer);
    auto* walker = new Walker(3000, 3000);
    walker->setTexture(*Graphics::getTexture("batch-b", 2));
    state.add(walker);
    const std::vector<Entity*>& all = state.entities;

    DrawIndex& index = state.drawIndex;
    const sf::FloatRect view(1000, 500, 640, 480);
    const std::vector<std::size_t> found = index.near(all, view);
    expectNearIsComplete(found, all, view);
    EXPECT_LT(found.size(), all.size() / 10);
    EXPECT_EQ(found.back(), all.size() - 1); // the character is always there

    // Views outside the map, or flipped, find no tile.
    EXPECT_EQ(index.near(all, {-5000, -5000, 640, 480}).size(), 1u);
    expectNearIsComplete(index.near(all, {1640, 980, -640, -480}), all, {1000, 500, 640, 480});

    // The character walks into view and is drawn there.
    walker->sprite.setPosition(1100, 600);
    expectNearIsComplete(index.near(all, view), all, view);
    sf::View camera(view);
    Game::window.setView(camera);
    state.draw();
    EXPECT_EQ(windowPixel(110, 110), tileColour(2));

    // Entities removed from the list: everything after them moves up.
    state.remove(all[0]);
    state.remove(all[10000 + 40 * 100 + 40]);
    state.deleteRemoved();
    expectNearIsComplete(index.near(all, view), all, view);

    // A plain tile moved from afar after the state filed it, then refiled.
    all[5]->sprite.setPosition(1200, 700);
    index.refile();
    expectNearIsComplete(index.near(all, view), all, view);
}

TEST_F(SpriteBatchTest, EntitiesFarApartStillMakeASmallGrid)
{
    GameState state;
    tileAt(state, -10000000, -10000000, "batch-a", 0);
    tileAt(state, 10000000, 10000000, "batch-a", 0);
    tileAt(state, 64, 64, "batch-a", 1);
    const sf::FloatRect view(0, 0, 640, 480);
    expectNearIsComplete(state.drawIndex.near(state.entities, view), state.entities, view);
    state.draw();
    EXPECT_EQ(windowPixel(80, 80), tileColour(1));
}

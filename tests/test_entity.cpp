#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "TestSupport.h"

#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

using namespace testing_support;

namespace {
sf::Texture filled(unsigned width, unsigned height, sf::Color colour)
{
    sf::Image picture;
    picture.create(width, height, colour);
    sf::Texture texture;
    texture.loadFromImage(picture);
    return texture;
}

DialogueTree* oneLine(const std::string& line)
{
    boost::property_tree::ptree tree;
    tree.put("dialogue.text.l", line);
    return new DialogueTree(tree);
}

} // namespace

class EntityTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
};

TEST_F(EntityTest, BoundsFollowTheFirstTexture)
{
    const sf::Texture big = filled(200, 200, sf::Color::White);
    const sf::Texture tile = filled(32, 32, sf::Color::Red);
    GameState state;
    auto* ground = new Entity(0, 0);
    ground->setTexture(big);
    auto* e = new Entity(64, 96);
    state.add(ground);
    state.add(e);

    EXPECT_EQ(e->bounds, sf::IntRect(64, 96, 0, 0));
    EXPECT_EQ(e->sprite.getPosition(), sf::Vector2f(64, 96));
    EXPECT_EQ(e->sprite.getTexture(), nullptr);
    EXPECT_TRUE(state.collide(e, {0, 0}).empty());
    EXPECT_TRUE(state.collide(ground, {0, 0}).empty()); // a zero-sized entity is never hit

    e->setTexture(tile);
    EXPECT_EQ(e->bounds, sf::IntRect(64, 96, 32, 32));
    EXPECT_EQ(state.collide(e, {0, 0}), std::vector<Entity*>{ground});
    EXPECT_EQ(state.collide(ground, {0, 0}), std::vector<Entity*>{e});
}

TEST_F(EntityTest, InteractOpensTheEntitysOwnConversation)
{
    auto* world = new GameState();
    Game::currentState = world;
    auto* mute = new Entity(0, 0);
    auto* talker = new Entity(32, 0);
    talker->name = "Ann";
    talker->dialogue = oneLine("Hello");
    world->add(mute);
    world->add(talker);

    mute->interact();
    EXPECT_EQ(Game::currentState, world);

    talker->interact();
    auto* talk = dynamic_cast<DialogueState*>(Game::currentState);
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->previous, world);
    ASSERT_EQ(talk->entities.size(), 1u);
    auto* box = dynamic_cast<DialogueBox*>(talk->entities[0]);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->speaker, talker);
    EXPECT_EQ(box->node, talker->dialogue);
    EXPECT_EQ(world->entities.size(), 2u); // the world is left as it was
}

TEST_F(EntityTest, RemovedEntityIsNotDrawn)
{
    const sf::Texture red = filled(32, 32, sf::Color::Red);
    GameState state;
    auto* e = new Entity(64, 96);
    e->setTexture(red);
    state.add(e);

    Game::window.clear(sf::Color::Black);
    state.draw();
    EXPECT_EQ(windowPixel(80, 110), sf::Color::Red);
    EXPECT_EQ(windowPixel(100, 110), sf::Color::Black);

    state.remove(e);
    Game::window.clear(sf::Color::Black);
    state.draw();
    EXPECT_EQ(windowPixel(80, 110), sf::Color::Black);
    EXPECT_EQ(e->sprite.getTexture(), &red);
    Game::window.clear(sf::Color::Black);
}

TEST_F(EntityTest, DestroyingReleasesOnlyAConversationItHolds)
{
    delete new Entity(0, 0); // no conversation: nothing to release
    auto* e = new Entity(sf::Vector2<int>(5, 7));
    EXPECT_EQ(e->bounds, sf::IntRect(5, 7, 0, 0));
    e->dialogue = oneLine("bye");
    delete e; // the sanitizer build reports the tree if it were kept
}

TEST_F(EntityTest, FlippedPictureIsMirroredInPlace)
{
    // A 32 x 32 picture with a red top-left quadrant, green top-right and blue
    // bottom-left; the bottom-right stays white.
    sf::Image picture;
    picture.create(32, 32, sf::Color::White);
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x) {
            picture.setPixel(x, y, sf::Color::Red);
            picture.setPixel(x + 16, y, sf::Color::Green);
            picture.setPixel(x, y + 16, sf::Color::Blue);
        }
    sf::Texture texture;
    texture.loadFromImage(picture);

    struct Case {
        unsigned flip;
        sf::Color topLeft, topRight, bottomLeft;
    };
    using E = Entity;
    const sf::Color R = sf::Color::Red, G = sf::Color::Green, B = sf::Color::Blue, W = sf::Color::White;
    const Case cases[] = {
        {0, R, G, B},
        {E::flipHorizontal, G, R, W},
        {E::flipVertical, B, W, R},
        {E::flipDiagonal, R, B, G}, // transposed
        {E::flipHorizontal | E::flipVertical, W, B, G},
        {E::flipDiagonal | E::flipHorizontal, B, R, W}, // a quarter turn clockwise
    };
    for (const Case& c : cases) {
        Entity e(64, 96);
        e.setTexture(texture);
        e.flip = c.flip;
        Game::window.clear(sf::Color::Black);
        e.draw();
        EXPECT_EQ(windowPixel(64 + 8, 96 + 8), c.topLeft) << c.flip;
        EXPECT_EQ(windowPixel(64 + 24, 96 + 8), c.topRight) << c.flip;
        EXPECT_EQ(windowPixel(64 + 8, 96 + 24), c.bottomLeft) << c.flip;
        EXPECT_EQ(windowPixel(64 + 40, 96 + 8), sf::Color::Black) << c.flip; // nothing beside it
        EXPECT_EQ(e.bounds, sf::IntRect(64, 96, 32, 32));
    }
    Game::window.clear(sf::Color::Black);
}

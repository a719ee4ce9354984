#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "characters/Player.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
using K = sf::Keyboard;

namespace {

// Writes its tag into a shared log whenever the player talks to it.
class Recorder : public Entity {
public:
    Recorder(int x, int y, std::string tag, std::vector<std::string>& log)
        : Entity(x, y), tag(std::move(tag)), log(log) {}
    void interact() override { log.push_back(tag); }
    std::string tag;
    std::vector<std::string>& log;
};

const sf::Texture* sheet(int n) { return Graphics::getTexture("player", n); }

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        dir.image("res/gfx/player.png", 128, 128);
        Game::currentState = new GameState();
        player = new Player(64, 64);
        player->setTexture(*sheet(0));
        Game::currentState->add(player);
    }
    void TearDown() override { resetGame(); }

    template <class E> E* put(E* e, bool solid)
    {
        e->setTexture(*sheet(15));
        e->solid = solid;
        Game::currentState->add(e);
        return e;
    }
    Entity* block(int x, int y, bool solid = true) { return put(new Entity(x, y), solid); }
    const sf::Texture* shows() const { return player->sprite.getTexture(); }
    void expectAt(int x, int y) const
    {
        EXPECT_EQ(player->x, x);
        EXPECT_EQ(player->y, y);
        EXPECT_EQ(player->bounds, sf::IntRect(x, y, 32, 32));
        EXPECT_EQ(player->sprite.getPosition(), sf::Vector2f(x, y));
    }

    ResourceDir dir;
    Player* player = nullptr;
};

TEST_F(PlayerTest, DirectionKeysFollowTheirPriorityAndEachPairActsAlike)
{
    auto check = [&](std::initializer_list<K::Key> keys, int expected) {
        player->direction = expected == 1 ? 0 : 1;
        player->moving = false;
        runFrames(1);
        holdKeys(keys);
        runFrame();
        EXPECT_EQ(player->direction, expected) << "keys held: " << keys.size();
        EXPECT_TRUE(player->moving);
        EXPECT_EQ(player->x, 64);
        EXPECT_EQ(player->y, 64);
    };
    check({K::W}, 0);
    check({K::Up}, 0);
    check({K::D}, 3);
    check({K::Right}, 3);
    check({K::S}, 2);
    check({K::Down}, 2);
    check({K::A}, 1);
    check({K::Left}, 1);
    check({K::W, K::D}, 0);
    check({K::Up, K::Right}, 0);
    check({K::Up, K::D}, 0);
    check({K::D, K::S}, 3);
    check({K::Right, K::Down}, 3);
    check({K::A, K::Right}, 3);
    check({K::S, K::A}, 2);
    check({K::Down, K::Left}, 2);
    check({K::Left, K::S, K::Right, K::Up}, 0);

    player->moving = false;
    runFrames(1, {K::E, K::Numpad8});
    EXPECT_FALSE(player->moving);
}

TEST_F(PlayerTest, SolidEntityAheadTurnsThePlayerWithoutAStep)
{
    block(96, 64);
    runFrames(1);
    EXPECT_EQ(shows(), sheet(3)); // a new player faces left

    runFrames(1, {K::D});
    EXPECT_EQ(player->direction, 3);
    EXPECT_FALSE(player->moving);
    EXPECT_EQ(shows(), sheet(3)); // the turn shows from the next frame
    runFrames(1);
    EXPECT_EQ(shows(), sheet(1));

    runFrames(20, {K::D});
    runFrames(1);
    runFrames(18, {K::Right});
    expectAt(64, 64);
    EXPECT_EQ(player->direction, 3);
}

TEST_F(PlayerTest, OnlySolidEntitiesStillInPlayBlock)
{
    block(32, 64, false);
    Entity* leaving = block(96, 64);
    Game::currentState->remove(leaving); // still listed until the end of the next pass

    runFrames(1, {K::D});
    EXPECT_TRUE(player->moving);
    runFrames(17, {K::D});
    expectAt(96, 64);

    runFrames(36, {K::A}); // onto the non-solid entity's cell
    expectAt(32, 64);
}

TEST_F(PlayerTest, StepMovesTwoPixelsForSixteenFramesThenSettlesForOne)
{
    runFrames(1, {K::D}); // frame F: the request
    EXPECT_TRUE(player->moving);
    expectAt(64, 64);
    for (int k = 1; k <= 16; ++k) {
        runFrames(1, {K::D});
        expectAt(64 + 2 * k, 64);
        EXPECT_EQ(Game::window.getView().getCenter(), sf::Vector2f(64 + 2 * k + 16, 80)) << k;
    }
    runFrames(1, {K::W, K::Return}); // F + 17 ends the step and reads no key
    EXPECT_FALSE(player->moving);
    EXPECT_EQ(player->direction, 3);
    expectAt(96, 64);
    runFrames(1, {K::W}); // F + 18 reads keys again
    EXPECT_TRUE(player->moving);
    EXPECT_EQ(player->direction, 0);
    runFrames(17, {K::W});
    expectAt(96, 32);
    EXPECT_FALSE(player->moving);

    runFrames(36, {K::S}); // holding a key walks a tile every 18 frames
    expectAt(96, 96);
    EXPECT_FALSE(player->moving);
    runFrames(18, {K::Left});
    expectAt(64, 96);

    // Once a step is under way, other keys change nothing.
    std::vector<std::string> log;
    put(new Recorder(64, 64, "above", log), true);
    runFrames(1, {K::Down});
    runFrames(3, {K::Up});
    runFrames(1, {K::Up, K::Return});
    EXPECT_EQ(player->direction, 2);
    runFrames(13);
    expectAt(64, 128);
    EXPECT_TRUE(log.empty());
}

TEST_F(PlayerTest, SpriteShowsTheFrameOfFacingAndDisguise)
{
    runFrames(1);
    EXPECT_EQ(shows(), sheet(3));
    const int expected[4] = {0, 3, 2, 1}; // up, left, down, right
    for (int d = 0; d < 4; ++d) {
        player->direction = d;
        runFrames(1);
        EXPECT_EQ(shows(), sheet(expected[d])) << "direction " << d;
    }
    Game::disguise = 1;
    player->direction = 2;
    runFrames(1);
    EXPECT_EQ(shows(), sheet(6));
    Game::disguise = 3; // read anew every frame
    runFrames(1);
    EXPECT_EQ(shows(), sheet(14));
    EXPECT_EQ(player->sprite.getTextureRect(), sf::IntRect(0, 0, 32, 32));
}

TEST_F(PlayerTest, CameraCentresOnTheSpriteByHalfTheWidthOnBothAxes)
{
    sf::Texture wide;
    ASSERT_TRUE(wide.create(33, 20));
    player->sprite = sf::Sprite(); // as from the map: the first texture sets the rectangle
    player->sprite.setPosition(64, 64);
    player->setTexture(wide);
    runFrames(1);
    EXPECT_EQ(player->sprite.getTextureRect().width, 33); // the frames keep the loader's rectangle
    EXPECT_EQ(Game::window.getView().getCenter(), sf::Vector2f(80, 80));
    EXPECT_EQ(Game::window.getView().getSize(), Game::window.getDefaultView().getSize());
    for (int k = 0; k < 10; ++k) {
        runFrames(1, {K::Up});
        const sf::Vector2f at = player->sprite.getPosition();
        EXPECT_EQ(Game::window.getView().getCenter(), sf::Vector2f(at.x + 16, at.y + 16)) << k;
    }
    EXPECT_LT(player->y, 64);
}

TEST_F(PlayerTest, TalkReachesTheFacedCellLastEntityFirstAndOncePerPress)
{
    std::vector<std::string> log;
    put(new Recorder(32, 64, "first", log), true);
    put(new Recorder(32, 64, "second", log), false);
    put(new Recorder(96, 64, "behind", log), true);
    put(new Recorder(64, 32, "above", log), true);
    put(new Recorder(64, 96, "below", log), false);

    runFrames(1, {K::Return});
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
    runFrames(5, {K::Return});
    EXPECT_EQ(log.size(), 2u);
    runFrames(1);
    runFrames(1, {K::Space});
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "second", "first"}));
    expectAt(64, 64);
    EXPECT_EQ(player->direction, 1);

    // A direction key in the same frame steps (or turns) instead of talking.
    runFrames(1);
    runFrames(1, {K::A, K::Return});
    EXPECT_FALSE(player->moving);
    runFrames(1);
    runFrames(1, {K::Return, K::S});
    EXPECT_TRUE(player->moving);
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(PlayerTest, TalkWithNothingAheadChangesNothing)
{
    std::vector<std::string> log;
    put(new Recorder(96, 64, "behind", log), true);
    GameState* world = Game::currentState;
    player->direction = 0;
    runFrames(1, {K::Return});
    runFrames(1);
    runFrames(1, {K::Space});
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(player->direction, 0);
    EXPECT_FALSE(player->moving);
    expectAt(64, 64);
}

TEST_F(PlayerTest, SpaceThatEndsAConversationDoesNotStartItAgain)
{
    dir.write("res/txt/sign.xml", leafXml("sign"));
    Entity* sign = block(32, 64);
    sign->dialogue = DialogueTree::load("res/txt/sign.xml");
    GameState* world = Game::currentState;

    runFrames(1, {K::Space});
    ASSERT_NE(dynamic_cast<DialogueState*>(Game::currentState), nullptr);
    runFrames(2, {K::A}); // the world stands still meanwhile
    runFrames(3, {K::Space});
    EXPECT_EQ(Game::currentState, world);
    expectAt(64, 64);
    runFrames(1);
    runFrames(1, {K::Return});
    EXPECT_NE(Game::currentState, world);
}

} // namespace

// The sheet's width says its layout: four tiles across hold the standing
// pose only, twelve hold standing and two strides in each row (one row per
// disguise). Walking right with one disguise, frame by frame.
TEST(PlayerWalk, WalkingCyclesTheStridesOnAWideSheetAndStandingKeepsOneFrame)
{
    struct Case {
        unsigned width;
        std::vector<int> walking; // the slot shown each frame of one tile's walk, four frames apart
        int standing;
    };
    const Case cases[] = {
        {128, {5, 5, 5, 5}, 5},     // older sheet: row 1, facing right, as before
        {384, {17, 13, 21, 13}, 13}, // row 1 (12 across): stride, standing, other stride, standing
    };
    for (const Case& c : cases) {
        resetGame();
        forgetTileset("player");
        ResourceDir dir;
        dir.image("res/gfx/player.png", c.width, 192);
        Game::currentState = new GameState();
        auto* player = new Player(64, 64);
        player->setTexture(*sheet(0));
        Game::currentState->add(player);
        Game::disguise = 1;
        player->direction = 3;
        const auto shows = [&] { return player->sprite.getTexture(); };

        runFrames(3);
        const sf::Texture* still = shows();
        EXPECT_EQ(still, sheet(c.standing)) << c.width;
        runFrames(20);
        EXPECT_EQ(shows(), still) << c.width << ": standing never changes the frame";

        runFrames(1, {K::D}); // the request; the walk shows from the next frame
        for (int quarter = 0; quarter < 4; ++quarter) {
            runFrames(1, {K::D});
            EXPECT_EQ(shows(), sheet(c.walking[quarter])) << c.width << " quarter " << quarter;
            runFrames(3, {K::D});
        }
        EXPECT_EQ(player->x, 96) << c.width;
        EXPECT_EQ(player->sprite.getTextureRect(), sf::IntRect(0, 0, 32, 32)) << c.width;
        runFrames(2);
        EXPECT_FALSE(player->moving);
        EXPECT_EQ(shows(), still) << c.width << ": the step over, he stands as before";
        resetGame();
        forgetTileset("player");
    }
}

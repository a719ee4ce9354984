#include "characters/Boss.h"
#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "TestSupport.h"
#include "characters/Warden.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;
using K = sf::Keyboard;

namespace {

class WardenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        for (int i = 0; i < 6; ++i)
            dir.write("res/txt/warden" + std::to_string(i) + ".xml", leafXml("warden" + std::to_string(i)));
        for (int i = 0; i < 4; ++i)
            dir.write("res/txt/boss" + std::to_string(i) + ".xml", leafXml("boss" + std::to_string(i)));
        dir.write("res/txt/gate.xml", leafXml("gate"));
        dir.image("res/gfx/wardens.png", 64, 32);
        Graphics::loadTilemap("res/gfx/wardens.png", "warden_tiles", 32);
        Game::currentState = new GameState();
        warden = add(new Warden(64, 64));
    }
    void TearDown() override { resetGame(); }

    template <class E> E* add(E* e)
    {
        e->setTexture(*Graphics::getTexture("warden_tiles", 0));
        e->solid = true;
        Game::currentState->add(e);
        return e;
    }
    void expectAt(int x, int y) const
    {
        EXPECT_EQ(warden->x, x);
        EXPECT_EQ(warden->y, y);
        EXPECT_EQ(warden->sprite.getPosition(), sf::Vector2f(x, y));
        EXPECT_EQ(warden->bounds, sf::IntRect(x, y, 32, 32));
    }

    ResourceDir dir;
    Warden* warden = nullptr;
};

TEST_F(WardenTest, ConversationFollowsThePartAndTheDisguisesGathered)
{
    ASSERT_EQ(warden->dialogues.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(warden->dialogues[i]->text.front(), "warden" + std::to_string(i));

    struct Case { int part, disguise, index; };
    const Case cases[] = {{0, 0, 0}, {0, -2, 0}, {0, 1, 1}, {0, 3, 1}, {1, 0, 2}, {1, 1, 2}, {1, 2, 3},
                          {1, 5, 3}, {2, 0, 4}, {2, 2, 4}, {2, 3, 5}, {2, 9, 5}};
    for (const Case& c : cases) {
        Game::part = c.part;
        Game::disguise = c.disguise;
        EXPECT_EQ(offered(warden), warden->dialogues[c.index]) << c.part << "/" << c.disguise;
    }
    Game::part = 1;
    Game::disguise = 2;
    warden->interact();
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->message.getString().toAnsiString(), "\n\nwarden3");

    resetGame();
    Game::currentState = new GameState();
    warden = add(new Warden(64, 64));
    GameState* world = Game::currentState;
    for (int part : {-1, 3, 4}) {
        for (int disguise : {0, 3, 4, 9}) {
            Game::part = part;
            Game::disguise = disguise;
            EXPECT_EQ(offered(warden), nullptr) << part << "/" << disguise;
        }
    }
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(WardenTest, StepsAsideAtTheEndOfAConversationWhileTheDisguisesAreAhead)
{
    Game::part = 0;
    Game::disguise = 1;
    warden->interact();
    runFrames(1, {K::Space});
    EXPECT_EQ(Game::currentState->entities.front(), warden);
    EXPECT_EQ(warden->x, 96);
    EXPECT_EQ(warden->y, 96);
    EXPECT_EQ(warden->bounds.left, 64); // sprite and bounds follow on his next update
    EXPECT_EQ(warden->sprite.getPosition(), sf::Vector2f(64, 64));
    runFrames(1);
    expectAt(96, 96);
    runFrames(5);
    expectAt(96, 96);
    EXPECT_EQ(warden->guardPosition, sf::Vector2i(64, 64));

    // The number the conversation ends with makes no difference, and he keeps no state.
    for (int result : {0, 1, 2, 3}) {
        warden->x = warden->y = 64;
        Game::part = 0;
        Game::disguise = 1;
        warden->setState(result);
        EXPECT_EQ(warden->x, 96) << result;
        EXPECT_EQ(warden->y, 96) << result;
        warden->x = warden->y = 64;
        Game::part = 1;
        warden->setState(result);
        EXPECT_EQ(warden->x, 64) << result;
        EXPECT_EQ(warden->y, 64) << result;
        EXPECT_EQ(warden->state, 0);
    }
    runFrames(1);
    expectAt(64, 64);

    // Ended through the box with the disguises not ahead: he stays.
    warden->interact();
    runFrames(1);
    runFrames(1, {K::Space});
    runFrames(1);
    expectAt(64, 64);
}

TEST_F(WardenTest, GoesBackOnGuardInTheFirstFrameAfterTheBossMovesTheStoryOn)
{
    Boss* boss = add(new Boss(0, 0));
    Game::part = 0;
    Game::disguise = 1;
    warden->setState(0);
    runFrames(1);
    expectAt(96, 96);

    Game::defacedTables = 1;
    boss->interact();
    EXPECT_EQ(Game::part, 1);
    runFrames(3, {K::W});
    EXPECT_EQ(warden->x, 96);
    runFrames(1, {K::Space}); // the boss's conversation ends: the world is not updated yet
    EXPECT_EQ(Game::currentState->entities.front(), warden);
    expectAt(96, 96);
    runFrames(1);
    expectAt(64, 64);

    // A second disguise lets him step aside again after his next conversation.
    Game::disguise = 2;
    warden->interact();
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->node, warden->dialogues[3]);
    runFrames(1, {K::Space});
    runFrames(1);
    expectAt(96, 96);

    // With the disguises still ahead of the new part he stays aside.
    Game::disguise = 3;
    Game::defacedTables = 2;
    boss->interact();
    runFrames(1);
    runFrames(1, {K::Space});
    runFrames(2);
    EXPECT_EQ(Game::part, 2);
    expectAt(96, 96);
}

// Before the story begins he may say something, but only a conversation of
// one of the story's parts lets the player by.
TEST_F(WardenTest, StaysOnGuardAfterATalkBeforeTheStoryBegins)
{
    Game::disguise = 2;
    warden->setState(0);
    runFrames(4);
    expectAt(64, 64);
    EXPECT_EQ(Game::part, -1);
}

TEST_F(WardenTest, ConversationFromTheMapIsNeverOfferedAndIsFreed)
{
    warden->dialogue = DialogueTree::load("res/txt/gate.xml");
    Warden* silent = add(new Warden(0, 0)); // never talked to: freed with him
    silent->dialogue = DialogueTree::load("res/txt/gate.xml");

    EXPECT_EQ(offered(warden), nullptr);
    Game::part = 0;
    EXPECT_EQ(offered(warden), warden->dialogues[0]);
    EXPECT_EQ(offered(warden), warden->dialogues[0]);
    Game::part = 3;
    EXPECT_EQ(offered(warden), nullptr);
}

} // namespace

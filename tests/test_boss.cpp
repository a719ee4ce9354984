#include "characters/Boss.h"
#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "screens/EndingCard.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;
using K = sf::Keyboard;

namespace {

class BossTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        for (int i = 0; i < 3; ++i)
            dir.write("res/txt/boss" + std::to_string(i) + ".xml", leafXml("boss" + std::to_string(i)));
        dir.write("res/txt/boss3.xml",
                  "<dialogue><text><l>boss3</l></text><options><o>Yes</o><o>No</o></options>"
                  "<responses><r><dialogue><text><l>good</l></text></dialogue></r>"
                  "<r><dialogue><text><l>pity</l></text></dialogue></r></responses></dialogue>");
        dir.write("res/txt/chat.xml", leafXml("chat"));
        Game::currentState = world = new GameState();
        boss = new Boss(0, 0);
        world->add(boss);
        Game::running = true;
    }
    void TearDown() override { resetGame(); }

    // Talks to the boss; returns the conversation that opened (left open), or null.
    const DialogueTree* talk()
    {
        boss->interact();
        return openBox() ? openBox()->node : nullptr;
    }
    void close()
    {
        static_cast<DialogueState*>(Game::currentState)->finished();
        Game::releaseRetired();
    }

    ResourceDir dir;
    GameState* world = nullptr;
    Boss* boss = nullptr;
};

TEST_F(BossTest, EachDueTalkOpensTheNextConversationAndMovesThePartAtOnce)
{
    ASSERT_EQ(boss->dialogues.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(boss->dialogues[i]->text.front(), "boss" + std::to_string(i));
    boss->dialogue = DialogueTree::load("res/txt/chat.xml"); // from the map: never offered

    EXPECT_EQ(talk(), boss->dialogues[0]);
    EXPECT_EQ(Game::part, 0); // while the conversation is still open
    close();
    EXPECT_EQ(talk(), nullptr); // part 0 and no table defaced yet
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(Game::part, 0);

    for (int n = 1; n <= 3; ++n) {
        Game::defacedTables = n;
        EXPECT_EQ(talk(), boss->dialogues[n]);
        EXPECT_EQ(Game::part, n);
        close();
        EXPECT_EQ(talk(), nullptr); // twice in one part: only the first time
        EXPECT_EQ(Game::part, n);
    }
    Game::defacedTables = 4;
    EXPECT_EQ(talk(), nullptr);
    Game::part = 1;
    Game::defacedTables = 3; // a part cannot be skipped
    EXPECT_EQ(talk(), nullptr);
    EXPECT_EQ(Game::part, 1);
    EXPECT_EQ(Game::currentState, world);
}

// The end of the last conversation ends the story: the world is asked to put
// up the closing card, naming the ending by the answer chosen last.
TEST_F(BossTest, OnlyTheEndOfTheLastConversationEndsTheStory)
{
    for (int n = 0; n < 3; ++n) {
        Game::defacedTables = n;
        ASSERT_EQ(talk(), boss->dialogues[n]);
        runFrames(1, {K::Space});
        runFrames(1);
        EXPECT_EQ(Game::currentState, world);
        EXPECT_FALSE(EndingCard::requested) << n;
    }
    boss->setState(2);
    EXPECT_FALSE(EndingCard::requested);

    Game::defacedTables = 3;
    ASSERT_EQ(talk(), boss->dialogues[3]);
    runFrames(1, {K::Space});
    runFrames(1, {K::Num2});
    EXPECT_FALSE(EndingCard::requested);
    runFrames(1);
    runFrames(1, {K::Space});
    EXPECT_TRUE(EndingCard::requested);
    EXPECT_EQ(EndingCard::requestedChoice, 2);
    EXPECT_TRUE(Game::running) << "the closing card ends the game, not the boss";
    EXPECT_EQ(boss->state, 0);
    EXPECT_EQ(Game::currentState, world);
}

} // namespace

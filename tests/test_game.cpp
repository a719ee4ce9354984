#include "DialogueState.h"
#include "DialogueTree.h"
#include "Entity.h"
#include "Game.h"
#include "GameState.h"
#include "TestSupport.h"

#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {
using Log = std::vector<std::string>;

// A state that writes its passes and its destruction into a shared log; the
// closing entry of the update pass is written after the base pass returned.
struct Stage : GameState {
    Stage(std::string id, Log& log) : id(std::move(id)), log(log) {}
    ~Stage() override { log.push_back("~" + id); }
    void update() override
    {
        log.push_back("update " + id);
        GameState::update();
        log.push_back("updated " + id);
    }
    void draw() override
    {
        log.push_back("draw " + id);
        GameState::draw();
    }
    std::string id;
    Log& log;
};

struct Actor : Entity {
    Actor(std::string id, Log& log) : Entity(0, 0), id(std::move(id)), log(log) {}
    ~Actor() override { log.push_back("~" + id); }
    void update() override
    {
        ++updates;
        if (onUpdate)
            onUpdate(*this);
    }
    std::string id;
    Log& log;
    int updates = 0;
    std::function<void(Actor&)> onUpdate;
};

DialogueTree* oneLine(const std::string& line)
{
    boost::property_tree::ptree tree;
    tree.put("dialogue.text.l", line);
    return new DialogueTree(tree);
}
} // namespace

class GameDriverTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
    Log log;
};

TEST_F(GameDriverTest, StateReplacedDuringItsOwnUpdateIsReleasedAfterThePass)
{
    auto* a = new Stage("A", log);
    auto* b = new Stage("B", log);
    auto* switcher = new Actor("switcher", log);
    switcher->onUpdate = [b](Actor& self) {
        Game::changeState(b);
        EXPECT_EQ(Game::currentState, b);
        // The replaced state and this entity are still on the call path.
        self.log.push_back(self.id + " of " + std::to_string(self.owner->entities.size()));
    };
    a->add(switcher);
    Game::currentState = a;

    runFrame();
    EXPECT_EQ(log, (Log{"update A", "switcher of 1", "updated A", "~A", "~switcher", "draw B"}));
    log.clear();
    runFrame();
    EXPECT_EQ(log, (Log{"update B", "updated B", "draw B"}));

    // Changing to the state that is already current keeps it.
    log.clear();
    Game::changeState(b);
    runFrame();
    EXPECT_EQ(Game::currentState, b);
    EXPECT_EQ(log, (Log{"update B", "updated B", "draw B"}));
}

TEST_F(GameDriverTest, ConversationIsDrawnOverTheFrozenWorldFromTheFrameItOpens)
{
    auto* world = new Stage("W", log);
    auto* talker = new Actor("talker", log);
    talker->name = "Ann";
    talker->dialogue = oneLine("Hi");
    talker->onUpdate = [](Actor& self) {
        if (self.updates == 1)
            self.interact();
    };
    world->add(talker);
    Game::currentState = world;

    runFrame();
    auto* talk = dynamic_cast<DialogueState*>(Game::currentState);
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->previous, world);
    EXPECT_EQ(log, (Log{"update W", "updated W", "draw W"}));

    log.clear();
    runFrames(2);
    EXPECT_EQ(log, (Log{"draw W", "draw W"}));
    EXPECT_EQ(talker->updates, 1);

    // Space on the only line ends it: the world is drawn in that same frame
    // and updated again from the next one.
    log.clear();
    runFrames(1, {sf::Keyboard::Space});
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(log, (Log{"draw W"}));
    log.clear();
    runFrame();
    EXPECT_EQ(log, (Log{"update W", "updated W", "draw W"}));
    EXPECT_EQ(talker->updates, 2);
}

TEST_F(GameDriverTest, ConversationsStackAndAreReleasedWithTheWorldBeneath)
{
    auto* world = new Stage("W", log);
    auto* talker = new Actor("talker", log);
    talker->dialogue = oneLine("Hi");
    world->add(talker);
    Game::currentState = world;

    Game::displayDialogue(talker->dialogue, talker);
    auto* first = dynamic_cast<DialogueState*>(Game::currentState);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->previous, world);
    Game::displayDialogue(talker->dialogue, talker);
    auto* second = dynamic_cast<DialogueState*>(Game::currentState);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->previous, first);
    first->add(new Actor("in first", log));
    second->add(new Actor("in second", log));

    runFrame();
    EXPECT_EQ(log, (Log{"draw W"})); // the world beneath both, drawn once

    log.clear();
    Game::destroyStates();
    EXPECT_EQ(Game::currentState, nullptr);
    EXPECT_EQ(log, (Log{"~in second", "~in first", "~W", "~talker"}));
}

TEST_F(GameDriverTest, EndStopsTheLoopAfterTheFrameInWhichItIsCalled)
{
    auto* world = new Stage("W", log);
    auto* ender = new Actor("ender", log);
    ender->onUpdate = [](Actor& self) {
        if (self.updates == 3)
            Game::end();
    };
    world->add(ender);
    Game::currentState = world;

    Game::run();
    const bool closed = !Game::window.isOpen();
    Game::window.create(sf::VideoMode(640, 480, 32), "Tarnwick"); // for the tests that follow

    EXPECT_TRUE(closed);
    EXPECT_FALSE(Game::running);
    EXPECT_EQ(Game::currentState, nullptr);
    const Log frame{"update W", "updated W", "draw W"};
    Log expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), frame.begin(), frame.end());
    expected.insert(expected.end(), {"~W", "~ender"});
    EXPECT_EQ(log, expected);
}

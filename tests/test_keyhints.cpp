// The first minute's key hints: what they say in the keys bound, and that
// each goes for good once its action is used, until the settings bring them
// back.
#include "core/Game.h"
#include "dialogue/DialogueState.h"
#include "disk/Settings.h"
#include "input/Bindings.h"
#include "render/PictureDigest.h"
#include "screens/GoalLine.h"
#include "screens/KeyHints.h"
#include "screens/PauseMenu.h"
#include "shell/Shell.h"
#include "world/MainState.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace testing_support;
using K = sf::Keyboard;
using Hint = KeyHints::Hint;

TEST(KeyHintsTest, TheLinesNameTheKeysAndButtonsBoundNow)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> keys, pads;
        bool pad;
        std::vector<std::string> lines; // walk, talk, menu
    };
    const Case cases[] = {
        {"the defaults", {}, {}, false, {"Arrow keys: walk", "Return: talk", "Escape: menu"}},
        {"the defaults on the pad", {}, {}, true, {"D-pad: walk", "A: talk", "Start: menu"}},
        {"rebound, the arrows gone", {{"up", "I"}, {"left", "J"}, {"down", "K"}, {"right", "L"}, {"talk", "T"}}, {},
         false, {"I J K L: walk", "T: talk", "Escape: menu"}},
        {"the stick only, no pause on the pad", {}, {{"up", "StickUp"}, {"talk", "East"}, {"pause", ""}}, true,
         {"Left stick: walk", "B: talk", "Escape: menu"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Bindings::apply(c.keys, c.pads), "") << c.what;
        for (int h = 0; h < KeyHints::count; ++h)
            EXPECT_EQ(KeyHints::line(static_cast<Hint>(h), c.pad), c.lines[h]) << c.what;
    }
    Bindings::restoreDefaults();
}

// A world of three cells (a sign, the player facing it, floor) and a
// settings file of the test's own.
class KeyHintsPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        const char* config = std::getenv("XDG_CONFIG_HOME");
        savedConfig = config ? config : "";
        setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
        Settings::clear();
        signWorld(dir);
        Game::window.setSize(sf::Vector2u(640, 480));
        Game::fitView();
        KeyHints::enabled = true;
        Game::running = true;
    }
    void TearDown() override
    {
        resetGame();
        KeyHints::enabled = false;
        Settings::clear();
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    }
    static void tap(K::Key key)
    {
        runFrames(1, {key});
        runFrames(30);
    }
    ResourceDir dir;
    std::string savedConfig;
};

TEST_F(KeyHintsPlay, EachHintGoesOnceUsedStaysGoneAfterARestartAndComesBackFromTheSettings)
{
    auto* world = new MainState();
    Shell::newGame(world);
    Game::releaseRetired();
    const std::vector<std::string> all = {"Arrow keys: walk", "Return: talk", "Escape: menu"};
    EXPECT_EQ(KeyHints::lines(), all) << "a new game";

    // Drawn low on the left, clear of the goal line and of where the
    // conversation's panel goes.
    Game::window.clear();
    world->draw();
    EXPECT_EQ(windowPixel(10, static_cast<unsigned>(KeyHints::bottom) - 3), GoalLine::background);

    struct Step {
        const char* what;
        K::Key key;
        std::vector<std::string> left;
    };
    const Step steps[] = {
        {"a step right", K::Right, {"Return: talk", "Escape: menu"}},
        {"talking (to nobody)", K::Return, {"Escape: menu"}},
        {"the pause menu", K::Escape, {}},
    };
    for (const Step& s : steps) {
        PictureDigest before, after;
        world->addToPictureDigest(before);
        tap(s.key);
        EXPECT_EQ(KeyHints::lines(), s.left) << s.what;
        world->addToPictureDigest(after);
        EXPECT_NE(after.value, before.value) << s.what << ": the picture must be drawn again";
    }
    ASSERT_NE(dynamic_cast<PauseMenu*>(Game::currentState), nullptr);

    // A restart reads the file again: they stay gone.
    Settings::clear();
    EXPECT_EQ(Settings::load(), "");
    EXPECT_TRUE(KeyHints::lines().empty()) << Settings::text();

    // The settings' row reads off, and brings them all back.
    SettingsScreen::Entry entry = KeyHints::entry();
    EXPECT_EQ(entry.label(), "Key hints: off");
    entry.adjust(1);
    EXPECT_EQ(entry.label(), "Key hints: shown");
    EXPECT_EQ(KeyHints::lines(), all);
}

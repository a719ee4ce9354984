// The Guildhall's map and the conversation log: opened, scrolled and closed
// with the keys, the wheel and a pad; what they show kept in the save.
#include "core/Entity.h"
#include "core/Game.h"
#include "input/Gamepad.h"
#include "screens/ConversationLog.h"
#include "screens/GuildhallMap.h"
#include "screens/PauseMenu.h"
#include "shell/Shell.h"
#include "story/SaveGame.h"
#include "story/StoryState.h"
#include "world/MainState.h"
#include "StoryDriver.h"
#include "TestSupport.h"

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;
using namespace testing_support;
using K = sf::Keyboard;

namespace {

class MapAndLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        writeStoryWorld(dir);
        // Three rooms across the story world: the player starts in the
        // middle one, Ann stands in the west one, the east one lies behind
        // the warden's door.
        std::string map;
        std::getline(std::ifstream("res/maps/testmap.json"), map, '\0');
        const std::size_t end = map.rfind(']', map.find("\"tilesets\""));
        map.insert(end, R"(,{"name":"rooms","type":"objectgroup","objects":[
            {"name":"West","x":0,"y":0,"width":96,"height":288},
            {"name":"Middle","x":96,"y":0,"width":96,"height":288},
            {"name":"East","x":192,"y":0,"width":192,"height":288}]})");
        dir.write("res/maps/testmap.json", map);
        setenv("XDG_DATA_HOME", (dir.path() + "/home").c_str(), 1);
        SaveGame::enabled = true;
        Gamepad::initialize();
    }
    void TearDown() override
    {
        resetGame();
        Gamepad::initialize();
        SaveGame::enabled = false;
        unsetenv("XDG_DATA_HOME");
    }

    MainState* play()
    {
        resetGame();
        Game::running = true;
        auto* world = new MainState();
        Shell::newGame(world);
        Game::releaseRetired();
        frame();
        return world;
    }
    void frame(std::initializer_list<K::Key> keys = {})
    {
        holdKeys(keys);
        runFrame();
    }
    void tap(K::Key key)
    {
        frame({key});
        frame();
    }
    void pad(int input)
    {
        Gamepad::currentState[input] = true;
        frame();
        Gamepad::lastState[input] = true;
        Gamepad::currentState[input] = false;
        frame();
        Gamepad::lastState[input] = false;
    }
    void wheel(float notches)
    {
        sf::Event event;
        event.type = sf::Event::MouseWheelScrolled;
        event.mouseWheelScroll.wheel = sf::Mouse::VerticalWheel;
        event.mouseWheelScroll.delta = notches;
        event.mouseWheelScroll.x = event.mouseWheelScroll.y = 0;
        Shell::handleEvent(event);
        frame();
    }
    // From the world: the pause menu's entry `downs` steps below Resume.
    void pauseMenuEntry(int downs)
    {
        tap(K::Escape);
        for (int i = 0; i < downs; ++i)
            tap(K::Down);
        tap(K::Return);
    }
    template <class State> State* current() { return dynamic_cast<State*>(Game::currentState); }

    // The log's rows as the screen wraps them, one a line.
    static std::string rowsOf(const LogBook& log)
    {
        std::string text;
        for (const ConversationLog::Row& row : ConversationLog(nullptr, &log).rows)
            text += row.text + "\n";
        return text;
    }

    ResourceDir dir;
};

TEST_F(MapAndLogTest, TheyOpenScrollAndCloseByKeysWheelAndPad)
{
    struct Case {
        const char* what;
        std::function<void()> open;
        bool log;                      // the log opens, else the map
        std::function<void()> scroll;  // nothing for the map
        int fromEnd;                   // the log's first row, counted back from the last top
        std::function<void()> close;
        bool backToPause;              // closing shows the pause menu again, else the world
    };
    const std::function<void()> none = [] {};
    const int rowsShown = 21; // at the normal text size
    const Case cases[] = {
        {"the map's key, twice", [&] { tap(K::Tab); }, false, none, 0, [&] { tap(K::Tab); }, false},
        {"the map's key, then Escape", [&] { tap(K::Tab); }, false, none, 0, [&] { tap(K::Escape); }, false},
        {"the pad's Y, then B", [&] { pad(PadInputs::North); }, false, none, 0, [&] { pad(PadInputs::East); }, false},
        {"the map from the pause menu", [&] { pauseMenuEntry(2); }, false, none, 0, [&] { tap(K::Escape); }, true},
        {"the log: Up, Page Up", [&] { pauseMenuEntry(3); }, true, [&] { tap(K::Up), tap(K::PageUp); },
         1 + rowsShown - 1, [&] { tap(K::Escape); }, true},
        {"the log: the wheel up twice, down once", [&] { pauseMenuEntry(3); }, true,
         [&] { wheel(1), wheel(1), wheel(-1); }, ConversationLog::wheelRows, [&] { pad(PadInputs::Start); }, true},
        {"the log: the pad's d-pad and shoulder", [&] { pauseMenuEntry(3); }, true,
         [&] { pad(PadInputs::LeftShoulder), pad(PadInputs::DPadUp), pad(PadInputs::StickDown); },
         rowsShown - 1, [&] { pad(PadInputs::East); }, true},
        {"the log: Home, then Down past the end", [&] { pauseMenuEntry(3); }, true,
         [&] { tap(K::Home), tap(K::End), tap(K::Down); }, 0, [&] { tap(K::Escape); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainState* world = play();
        for (int i = 0; i < 30; ++i) {
            world->seen.log.begin("Speaker " + std::to_string(i));
            world->seen.log.page("Page " + std::to_string(i));
        }
        c.open();
        if (c.log) {
            auto* log = current<ConversationLog>();
            ASSERT_NE(log, nullptr);
            ASSERT_GT(log->lastTop(), rowsShown);
            EXPECT_EQ(log->top, log->lastTop()) << "it opens at the newest";
            c.scroll();
            EXPECT_EQ(log->top, log->lastTop() - c.fromEnd);
        } else {
            ASSERT_NE(current<GuildhallMap>(), nullptr);
            EXPECT_EQ(current<GuildhallMap>()->world, world);
        }
        const long long played = world->playedSteps;
        frame();
        EXPECT_EQ(world->playedSteps, played) << "the game stands still beneath";
        c.close();
        if (c.backToPause)
            EXPECT_NE(current<PauseMenu>(), nullptr);
        else
            EXPECT_EQ(Game::currentState, world);
    }
}

// Rooms walked into and conversations held, saved, continue to the same map
// and log.
TEST_F(MapAndLogTest, ASaveContinuesToTheSameMapAndLog)
{
    MainState* world = play();
    StoryDriver driver(world);
    Entity* ann = nullptr;
    for (Entity* e : world->entities)
        if (e->name == "Ann")
            ann = e;
    ASSERT_TRUE(driver.visit(ann, 1));
    EXPECT_EQ(world->seen.rooms.names(), (std::vector<std::string>{"Middle", "West"}));
    const std::string log = rowsOf(world->seen.log);
    EXPECT_EQ(log, "Ann\nvictim0-ask\n» Yes\nyes\n");
    ASSERT_TRUE(Shell::save());
    const SeenSoFar seen = world->seen;

    resetGame();
    auto* again = new MainState();
    ASSERT_TRUE(Shell::continueGame(again));
    Game::releaseRetired();
    EXPECT_TRUE(again->seen == seen);
    EXPECT_EQ(rowsOf(again->seen.log), log);
    tap(K::Tab);
    ASSERT_NE(current<GuildhallMap>(), nullptr);
    EXPECT_NE(current<GuildhallMap>()->footer().find("2 / 3"), std::string::npos);
}

// A save from before rooms and conversations were kept loads with neither,
// and the room the player stands in is the first visited.
TEST_F(MapAndLogTest, ASaveOfTheFormatBeforeLoads)
{
    MainState* world = play();
    std::string text = SaveGame::compose(StoryState::capture(*world), SaveGame::worldIdentity());
    text.replace(text.find("format = 2"), 10, "format = 1");
    fs::create_directories(SaveGame::folder());
    std::ofstream(SaveGame::file(), std::ios::binary) << text;

    resetGame();
    auto* again = new MainState();
    ASSERT_TRUE(Shell::continueGame(again)) << SaveGame::lastError;
    Game::releaseRetired();
    EXPECT_TRUE(again->seen.log.conversations().empty());
    frame();
    EXPECT_EQ(again->seen.rooms.names(), std::vector<std::string>{"Middle"});
}

// The log keeps the newest conversations within its size: the oldest go
// first, and one conversation alone too long loses its first lines.
TEST(LogBookTest, TheOldestGoFirstPastTheLimit)
{
    LogBook log;
    const std::string page(90, 'x');
    for (int i = 0; i < 2000; ++i) {
        log.begin("Speaker " + std::to_string(i));
        log.page(page);
    }
    EXPECT_LE(log.bytes(), LogBook::maxBytes);
    EXPECT_GT(log.bytes(), LogBook::maxBytes - 200);
    EXPECT_EQ(log.conversations().back().speaker, "Speaker 1999");
    EXPECT_EQ(log.conversations().front().lines.size(), 1u);
    SeenSoFar seen;
    seen.log = log;
    EXPECT_LE(seen.toText().size(), LogBook::maxBytes);

    LogBook one;
    one.begin("Talkative");
    for (int i = 0; i < 2000; ++i)
        one.page(std::to_string(i) + page);
    ASSERT_EQ(one.conversations().size(), 1u);
    EXPECT_LE(one.bytes(), LogBook::maxBytes);
    EXPECT_EQ(one.conversations().front().lines.back().text, "1999" + page);
}

} // namespace

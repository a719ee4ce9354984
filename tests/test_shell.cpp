// The title screen, the pause menu and the settings screen: what keys and the
// mouse choose, what the player sees of the save and of the settings file,
// and what stands still beneath a menu.
#include "audio/Audio.h"
#include "dialogue/DialogueState.h"
#include "core/Game.h"
#include "world/MainState.h"
#include "screens/ControlsScreen.h"
#include "screens/EndingCard.h"
#include "screens/Menu.h"
#include "screens/Notice.h"
#include "screens/PauseMenu.h"
#include "characters/Player.h"
#include "screens/Pointer.h"
#include "story/SaveGame.h"
#include "disk/Settings.h"
#include "screens/SettingsScreen.h"
#include "render/StillFrame.h"
#include "resources/StoryFont.h"
#include "shell/Shell.h"
#include "screens/ShellSettings.h"
#include "TestSupport.h"
#include "screens/TitleScreen.h"

#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using namespace testing_support;
using K = sf::Keyboard;
using Command = Menu::Command;
using Kind = Menu::Outcome::Kind;

namespace {

// The labels a player can see, in order, with the selected one in brackets
// and a greyed one in parentheses.
std::string seen(const Menu& menu)
{
    std::string out;
    for (int i = 0; i < static_cast<int>(menu.items.size()); ++i) {
        const Menu::Item& item = menu.items[i];
        if (!item.visible)
            continue;
        if (!out.empty())
            out += " | ";
        out += i == menu.selected ? "[" + item.label + "]" : item.enabled ? item.label : "(" + item.label + ")";
    }
    return out;
}

Menu sample()
{
    Menu menu;
    menu.add("a", "A");
    menu.add("b", "B").enabled = false;
    menu.add("c", "C").visible = false;
    menu.add("d", "D");
    return menu;
}

TEST(MenuTest, KeysMoveRoundTheChoosableItemsAndSayWhatWasChosen)
{
    struct Case {
        std::vector<Command> commands;
        std::string selected; // after the commands
        Kind last;            // what the last command gave
        std::string id;
        int step;
    };
    const Case cases[] = {
        {{Command::None}, "a", Kind::Nothing, "", 0},
        {{Command::Down}, "d", Kind::Nothing, "", 0}, // past the greyed and the hidden
        {{Command::Down, Command::Down}, "a", Kind::Nothing, "", 0}, // round the end
        {{Command::Up}, "d", Kind::Nothing, "", 0},
        {{Command::Choose}, "a", Kind::Chosen, "a", 0},
        {{Command::Down, Command::Choose}, "d", Kind::Chosen, "d", 0},
        {{Command::Down, Command::Left}, "d", Kind::Adjust, "d", -1},
        {{Command::Right}, "a", Kind::Adjust, "a", 1},
        {{Command::Down, Command::Back}, "d", Kind::Back, "", 0},
    };
    for (const Case& c : cases) {
        Menu menu = sample();
        menu.settle();
        Menu::Outcome outcome;
        for (Command command : c.commands)
            outcome = menu.command(command);
        ASSERT_GE(menu.selected, 0);
        EXPECT_EQ(menu.items[menu.selected].id, c.selected);
        EXPECT_EQ(outcome.kind, c.last);
        EXPECT_EQ(outcome.id, c.id);
        EXPECT_EQ(outcome.step, c.step);
    }

    // Nothing to choose: nothing is chosen, whatever the keys.
    Menu none;
    none.add("x", "X").enabled = false;
    none.add("y", "Y").visible = false;
    for (Command command : {Command::Down, Command::Up, Command::Choose, Command::Right}) {
        EXPECT_EQ(none.command(command).kind, Kind::Nothing);
        EXPECT_EQ(none.selected, -1);
    }
    // A selection left on an item that became greyed moves on.
    Menu menu = sample();
    menu.selected = 1;
    EXPECT_EQ(menu.command(Command::Choose).id, "d");
}

TEST(MenuTest, ThePointerSelectsWhatItHoversAndChoosesWhatItClicks)
{
    Menu menu = sample();
    menu.items[0].detail = "a second line";
    menu.settle();
    // A: 26 + 14 high from the top; B: 26; C takes no room; D: 26.
    const float x = menu.centreX;
    struct Case {
        float y;
        bool click;
        std::string selected;
        Kind kind;
    };
    const Case cases[] = {
        {menu.top + 30, false, "a", Kind::Nothing},       // A's detail line is A's
        {menu.top + 50, false, "a", Kind::Nothing},       // B is greyed: no change
        {menu.top + 50, true, "a", Kind::Nothing},        // nor a click on it
        {menu.top + 40 + 26 + 5, false, "d", Kind::Nothing}, // where C would be, D is
        {menu.top + 40 + 26 + 5, true, "d", Kind::Chosen},
        {menu.top - 5, true, "d", Kind::Nothing},         // above the list
        {menu.top + 200, true, "d", Kind::Nothing},       // below it
    };
    for (const Case& c : cases) {
        const Menu::Outcome outcome = menu.pointer(sf::Vector2f(x, c.y), c.click);
        EXPECT_EQ(menu.items[menu.selected].id, c.selected) << "at y " << c.y;
        EXPECT_EQ(outcome.kind, c.kind) << "at y " << c.y;
    }
    EXPECT_EQ(menu.pointer(sf::Vector2f(x - menu.width / 2 - 1, menu.top + 5), true).kind, Kind::Nothing)
        << "left of the list";
}

// A world of three cells (a talking sign, the player, floor), folders of its
// own for saves and settings, and no notice left from another test.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        keepEnv("XDG_DATA_HOME");
        keepEnv("XDG_CONFIG_HOME");
        setenv("XDG_DATA_HOME", (dir.path() + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
        Settings::clear();
        Notice::clear();
        Shell::quitRequested = 0;
        Pointer::forget();
        Game::setFullscreen(false);
        windowSize(640, 480);
        signWorld(dir);
        Game::running = true;
    }
    void TearDown() override
    {
        resetGame();
        SaveGame::enabled = false; // as every test starts
        Settings::clear();
        Notice::clear();
        Shell::quitRequested = 0;
        for (const auto& [name, value] : saved) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
    }
    void keepEnv(const char* name)
    {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value ? value : "");
    }
    static void windowSize(unsigned w, unsigned h)
    {
        Game::window.setSize(sf::Vector2u(w, h));
        Game::fitView();
    }

    // A frame as the driver runs it, with these keys down.
    void frame(std::initializer_list<K::Key> keys = {})
    {
        holdKeys(keys);
        runFrame();
    }
    // One tile's walk: the step starts with the key and ends by itself.
    void walk(K::Key key)
    {
        frame({key});
        for (int i = 0; i < 30; ++i)
            frame();
    }
    void tap(K::Key key)
    {
        frame({key});
        frame();
    }
    TitleScreen* title(const SaveGame::Slot& slot = SaveGame::Slot())
    {
        auto* screen = new TitleScreen(new MainState(), slot);
        Game::currentState = screen;
        return screen;
    }
    MainState* play()
    {
        auto* world = new MainState();
        Shell::newGame(world);
        Game::releaseRetired();
        return world;
    }
    template <class State> State* current() { return dynamic_cast<State*>(Game::currentState); }
    Player* player(MainState* world)
    {
        for (Entity* e : world->entities)
            if (auto* p = dynamic_cast<Player*>(e))
                return p;
        return nullptr;
    }

    ResourceDir dir;
    std::vector<std::pair<std::string, std::string>> saved;
    // What the settings screen calls the automatic scale on this screen.
    const std::string automatic = ShellSettings::describeAutomatic();
};

SaveGame::Slot slotOf(bool exists, bool usable, const std::string& reason, bool backup = false)
{
    SaveGame::Slot slot;
    slot.exists = exists;
    slot.usable = usable;
    slot.reason = reason;
    slot.part = 1;
    slot.playedSteps = 60 * 65;
    slot.fromBackup = backup;
    return slot;
}

TEST_F(ShellTest, TheTitleShowsWhatTheSaveHolds)
{
    struct Case {
        const char* what;
        SaveGame::Slot slot;
        std::string menu;
        std::string detail; // under Continue
    };
    const Case cases[] = {
        {"no save", slotOf(false, false, ""), "[New game] | Settings | Quit", ""},
        {"a sound save", slotOf(true, true, ""), "New game | [Continue] | Settings | Quit",
         "Part 2, lunchtime, 1 min 05 s played"},
        {"an unusable save", slotOf(true, false, "the save belongs to another world"),
         "[New game] | (Continue) | Settings | Quit", "the save belongs to another world"},
        {"the backup offered", slotOf(true, true, "the save is cut short", true),
         "New game | [Continue from the backup] | Settings | Quit", "Part 2, lunchtime, 1 min 05 s played"},
    };
    for (const Case& c : cases) {
        TitleScreen* screen = title(c.slot);
        EXPECT_EQ(seen(screen->menu), c.menu) << c.what;
        if (!c.detail.empty()) {
            EXPECT_EQ(screen->menu.find("continue")->detail, c.detail) << c.what;
        }
        // Why the save cannot be used, or why the backup is offered, is said
        // in full too.
        EXPECT_EQ(Notice::current(), c.slot.reason) << c.what;
        Notice::clear();
        resetGame();
    }

    // A greyed Continue is passed over by the keys and cannot be clicked.
    TitleScreen* screen = title(slotOf(true, false, "unreadable"));
    tap(K::Down);
    EXPECT_EQ(seen(screen->menu), "New game | (Continue) | [Settings] | Quit");
}

// Faults a player met at the edges of the menus, each with what he sees now.
TEST_F(ShellTest, TheMenusReadWholeAndStandOpaque)
{
    // The shipped lettering, so that lines have their true widths.
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    std::filesystem::create_directories("res/fnt");
    std::filesystem::copy_file(std::string(source ? source : "..") + "/res/fnt/LibMono.ttf", "res/fnt/LibMono.ttf");
    ASSERT_FALSE(StoryFont::get().getInfo().family.empty());
    const std::string longReason =
        "The save could not be used: it belongs to another world (the map or the conversations have changed) "
        "(kept as save.txt.unusable-20261210-031502-and-a-name-far-too-long-for-one-line)";
    const auto picture = [] {
        Game::window.clear(sf::Color::Black);
        Game::currentState->draw();
        Shell::drawOverlay();
    };
    const auto inside = [](const sf::FloatRect& inner, const sf::FloatRect& outer) {
        sf::FloatRect common;
        return outer.intersects(inner, common) && common == inner;
    };
    struct Case {
        const char* what;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"a long notice is wrapped inside the picture and stays until a key, once read",
         [&] {
             title();
             Notice::show(longReason);
             const float width = Game::pictureWidth - 2 * Notice::margin;
             const std::vector<std::string> lines = Notice::lines(longReason, width);
             EXPECT_GE(lines.size(), 3u);
             std::string joined;
             for (const std::string& line : lines) {
                 EXPECT_LE(sf::Text(line, StoryFont::get(), Notice::characterSize).getLocalBounds().width, width) << line;
                 joined += line;
             }
             std::string letters = longReason;
             letters.erase(std::remove(letters.begin(), letters.end(), ' '), letters.end());
             joined.erase(std::remove(joined.begin(), joined.end(), ' '), joined.end());
             EXPECT_EQ(joined, letters) << "no letter lost";
             tap(K::Down); // at once: not yet read
             for (int i = 0; i < 600; ++i)
                 frame();
             EXPECT_EQ(Notice::current(), longReason) << "still there after 10 s of steps";
             tap(K::Down);
             EXPECT_EQ(Notice::current(), "") << "dismissed by a key";
         }},
        {"without a usable save New game asks nothing",
         [&] {
             TitleScreen* screen = title(slotOf(true, false, longReason));
             ASSERT_TRUE(screen->menu.select("new"));
             tap(K::Return);
             EXPECT_NE(current<MainState>(), nullptr) << "a new game at once";
         }},
        {"the question's lines stand apart, inside its panel",
         [&] {
             TitleScreen* screen = title(slotOf(true, true, longReason, true));
             ASSERT_TRUE(screen->menu.select("new"));
             tap(K::Return);
             ASSERT_TRUE(screen->asking());
             const MenuScreen::Layout layout = screen->layout();
             ASSERT_EQ(layout.texts.size(), 4u) << "heading, two answers and the save's detail";
             for (std::size_t i = 0; i < layout.texts.size(); ++i) {
                 const sf::FloatRect a = layout.texts[i].getGlobalBounds();
                 EXPECT_TRUE(inside(a, layout.panel)) << layout.texts[i].getString().toAnsiString();
                 for (std::size_t j = i + 1; j < layout.texts.size(); ++j)
                     EXPECT_FALSE(a.intersects(layout.texts[j].getGlobalBounds()))
                         << layout.texts[i].getString().toAnsiString() << " over "
                         << layout.texts[j].getString().toAnsiString();
             }
         }},
        {"a menu's panel hides the title's name beneath it",
         [&] {
             TitleScreen* screen = title();
             auto* settings = new SettingsScreen(screen);
             Game::currentState = settings;
             frame();
             picture();
             const sf::FloatRect panel = settings->layout().panel;
             // The panel's left margin, at the height of the name "TARNWICK".
             const unsigned y = panel.top < 120 ? 130 : static_cast<unsigned>(panel.top + 8);
             EXPECT_EQ(windowPixel(static_cast<unsigned>(panel.left) + 6, y), MenuScreen::panelFill);
         }},
        {"the controls screen is a menu's panel, and its notes are sentences",
         [&] {
             TitleScreen* screen = title();
             auto* settings = new SettingsScreen(screen);
             auto* controls = new ControlsScreen(settings);
             Game::currentState = controls;
             frame();
             picture();
             EXPECT_EQ(windowPixel(18, 240), MenuScreen::panelFill);
             // Its notes are sentences (each one is checked in the controls' own test).
             tap(K::Return); // waits for a key
             const std::string asked = controls->note;
             EXPECT_TRUE(!asked.empty() && std::isupper(static_cast<unsigned char>(asked.front())) && asked.back() == '.')
                 << asked;
             Game::currentState = settings; // the controls screen does not own it
             delete controls;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.check();
        Notice::clear();
        resetGame();
        Game::running = true;
    }
}

TEST_F(ShellTest, ANewGameOverASaveAsksFirstAndEscapeKeepsTheSave)
{
    TitleScreen* screen = title(slotOf(true, true, ""));
    tap(K::Up); // from Continue to New game
    tap(K::Return);
    ASSERT_EQ(current<TitleScreen>(), screen);
    EXPECT_TRUE(screen->asking());
    EXPECT_EQ(screen->heading, "Replace the saved game?");
    EXPECT_EQ(seen(screen->menu), "[No, keep it] | Yes, start a new game");
    tap(K::Escape);
    EXPECT_FALSE(screen->asking());
    tap(K::Up);
    tap(K::Space);
    tap(K::Return); // "No, keep it"
    EXPECT_FALSE(screen->asking());
    EXPECT_EQ(current<TitleScreen>(), screen);

    // Yes: the world the screen held becomes the game, the story from its start.
    MainState* world = screen->world;
    Game::defacedTables = 2;
    tap(K::Up);
    tap(K::Return);
    tap(K::S);
    tap(K::Return);
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(Game::defacedTables, 0);
    EXPECT_EQ(Game::part, -1);

    // Without a save there is nothing to ask.
    resetGame();
    screen = title();
    world = screen->world;
    tap(K::Return);
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(ShellTest, TheMouseFindsTheItemsInAScaledLetterboxedWindow)
{
    struct Case {
        unsigned width, height;
        float left, top, scale; // where the picture lies in the window
    };
    const Case cases[] = {
        {640, 480, 0, 0, 1},
        {1000, 500, 180, 10, 1},
        {1280, 960, 0, 0, 2},
        {1300, 1000, 10, 20, 2},
    };
    for (const Case& c : cases) {
        windowSize(c.width, c.height);
        TitleScreen* screen = title();
        frame();
        // The middle of the Settings row, in window pixels.
        const sf::FloatRect row = screen->menu.area(2);
        ASSERT_EQ(screen->menu.items[2].id, "settings");
        const int x = static_cast<int>(c.left + c.scale * (row.left + row.width / 2));
        const int y = static_cast<int>(c.top + c.scale * (row.top + row.height / 2));
        sf::Event moved{};
        moved.type = sf::Event::MouseMoved;
        moved.mouseMove.x = x;
        moved.mouseMove.y = y;
        Game::handleEvent(moved);
        frame();
        EXPECT_EQ(seen(screen->menu), "New game | [Settings] | Quit") << c.width << "x" << c.height;

        // Just above the list (in the picture's pixels) is no item.
        moved.mouseMove.y = static_cast<int>(c.top + c.scale * (screen->menu.top - 3));
        Game::handleEvent(moved);
        frame();
        EXPECT_EQ(seen(screen->menu), "New game | [Settings] | Quit");

        sf::Event click{};
        click.type = sf::Event::MouseButtonPressed;
        click.mouseButton.button = sf::Mouse::Left;
        click.mouseButton.x = x;
        click.mouseButton.y = y;
        Game::handleEvent(click);
        frame();
        EXPECT_NE(current<SettingsScreen>(), nullptr) << c.width << "x" << c.height;
        resetGame();
    }
    windowSize(640, 480);
}

TEST_F(ShellTest, EscapePausesTheWorldOrAConversationWhichStandStillBeneath)
{
    MainState* world = play();
    const sf::IntRect start = player(world)->bounds;
    tap(K::Escape);
    auto* pause = current<PauseMenu>();
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(pause->below(), world);
    EXPECT_EQ(seen(pause->menu), "[Resume] | Settings | Map | Conversations | Quit to title | Quit");
    for (int i = 0; i < 40; ++i)
        frame({K::Right});
    EXPECT_EQ(player(world)->bounds, start) << "the world moved under the menu";
    EXPECT_EQ(current<PauseMenu>(), pause) << "Right is no key of the menu's";
    frame();
    tap(K::Escape);
    EXPECT_EQ(Game::currentState, world);
    walk(K::Right);
    EXPECT_NE(player(world)->bounds, start) << "the world did not move again";

    // In a conversation: the menu stands over it, and Resume gives it back.
    walk(K::Left);
    ASSERT_EQ(player(world)->bounds, start);
    tap(K::Return);
    auto* talk = current<DialogueState>();
    ASSERT_NE(talk, nullptr);
    tap(K::Escape);
    pause = current<PauseMenu>();
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(pause->below(), talk);
    EXPECT_EQ(Shell::worldInPlay(), world);
    tap(K::Return);
    EXPECT_EQ(Game::currentState, talk);

    // Quit to title releases the conversation and the world (the sanitizer
    // build sees any leak); the title holds a fresh world.
    tap(K::Escape);
    tap(K::Up);
    tap(K::Up);
    tap(K::Return);
    auto* screen = current<TitleScreen>();
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(screen->world, nullptr);
    EXPECT_EQ(Shell::worldInPlay(), nullptr);

    // Quit ends the game.
    tap(K::Return);
    tap(K::Escape);
    tap(K::Up);
    tap(K::Return);
    EXPECT_FALSE(Game::running);
}

TEST_F(ShellTest, SettingsAreAppliedAtOnceAndKeptAndTheGoalKeyFollows)
{
    MainState* world = play();
    ASSERT_TRUE(world->goalLine.shown);
    tap(K::Escape);
    tap(K::Down);
    tap(K::Return);
    auto* settings = current<SettingsScreen>();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(seen(settings->menu),
              "[Window scale: " + automatic + "] | Fullscreen: off | Goal line: shown | Back");
    tap(K::Down);
    tap(K::Down);
    tap(K::Return);
    EXPECT_FALSE(world->goalLine.shown);
    EXPECT_EQ(seen(settings->menu),
              "Window scale: " + automatic + " | Fullscreen: off | [Goal line: hidden] | Back");
    std::ifstream file(Settings::file());
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("goal_line = false"), std::string::npos) << text;

    // Escape goes back to the pause menu, and Escape again to the world.
    tap(K::Escape);
    EXPECT_NE(current<PauseMenu>(), nullptr);
    tap(K::Escape);
    EXPECT_EQ(Game::currentState, world);

    // The goal line's own key keeps the setting in step.
    tap(K::G);
    frame();
    EXPECT_TRUE(world->goalLine.shown);
    EXPECT_TRUE(ShellSettings::goalLine());
    Settings::clear();
    EXPECT_EQ(Settings::load(), "");
    EXPECT_TRUE(ShellSettings::goalLine()) << "kept in the file";

    // The Controls entry shows once the key bindings' screen is there.
    tap(K::Escape);
    tap(K::Down);
    tap(K::Return);
    settings = current<SettingsScreen>();
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(settings->menu.find("controls")->visible);
    GameState* opened = nullptr;
    SettingsScreen::controlsScreen = [&](GameState* back) {
        opened = new GameState();
        EXPECT_EQ(back, settings);
        return opened;
    };
    frame();
    EXPECT_TRUE(settings->menu.find("controls")->visible);
    settings->menu.select("controls");
    tap(K::Return);
    EXPECT_EQ(Game::currentState, opened);
    Game::changeState(settings); // what the controls screen does when done
    Game::releaseRetired();
    SettingsScreen::controlsScreen = nullptr;
}

TEST_F(ShellTest, ASettingsFileThatCannotBeReadGivesTheDefaultsAndOneLine)
{
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        bool warns;
        std::string screen; // what the settings screen shows
    };
    auto text = [](const std::string& contents) {
        return [contents](const fs::path& file) {
            fs::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << contents;
        };
    };
    const std::string defaults = "[Window scale: " + automatic + "] | Fullscreen: off | Goal line: shown | Back";
    const Case cases[] = {
        {"no file", [](const fs::path&) {}, false, defaults},
        {"a sound file", text("[video]\nscale = 1\n[game]\ngoal_line = off\n"), false,
         "[Window scale: 1x] | Fullscreen: off | Goal line: hidden | Back"},
        {"garbage", text("\x89PNG\r\n\x1a\n"), true, defaults},
        {"nul bytes", text(std::string("[video]\nscale = 2") + std::string(2, '\0')), true, defaults},
        {"a line that is no setting", text("[game]\ngoal_line = off\nthis is not a setting\n"), true, defaults},
        {"a folder in its place", [](const fs::path& file) { fs::create_directories(file); }, true, defaults},
        {"huge", text("[video]\n" + std::string(200 * 1024, '#') + "\n"), true, defaults},
        {"values out of range", text("[video]\nscale = 99\nfullscreen = maybe\n[game]\ngoal_line = 7\n"), false,
         defaults},
    };
    for (const Case& c : cases) {
        fs::remove_all(Settings::file().parent_path());
        c.make(Settings::file());
        const std::string line = ShellSettings::load();
        EXPECT_EQ(!line.empty(), c.warns) << c.what << ": " << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << c.what << ": one line";
        auto* settings = new SettingsScreen(title());
        Game::currentState = settings;
        EXPECT_EQ(seen(settings->menu), c.screen) << c.what;
        resetGame();
    }
}

TEST_F(ShellTest, FullscreenOrWindowOnTheCommandLineWinsOverTheSettings)
{
    std::filesystem::create_directories(Settings::file().parent_path());
    std::ofstream(Settings::file()) << "[video]\nfullscreen = true\n";
    struct Case {
        std::optional<bool> given;
        bool fullscreen;
    };
    for (const Case& c : {Case{std::nullopt, true}, Case{false, false}, Case{true, true}}) {
        Shell::startUp(Shell::Start::Title, c.given);
        Game::currentState = Shell::begin(new MainState());
        EXPECT_EQ(Game::fullscreen, c.fullscreen);
        EXPECT_NE(current<TitleScreen>(), nullptr);
        resetGame();
        Game::setFullscreen(false);
    }
    EXPECT_TRUE(ShellSettings::fullscreen()) << "the setting is left as it was";
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

TEST_F(ShellTest, SignalsAndTheCloseButtonSaveAndEndTheGame)
{
    SaveGame::enabled = true;
    Shell::installSignalHandlers();
    for (int signal : {SIGTERM, SIGHUP, 0}) {
        std::filesystem::remove_all(dir.path() + "/data");
        MainState* world = play();
        tap(K::Escape); // even under the pause menu
        ASSERT_NE(Shell::worldInPlay(), nullptr);
        if (signal) {
            std::raise(signal);
        } else {
            sf::Event closed{};
            closed.type = sf::Event::Closed;
            Game::handleEvent(closed);
        }
        EXPECT_TRUE(Game::running) << "the frame in progress ends first";
        frame();
        EXPECT_FALSE(Game::running) << signal;
        EXPECT_EQ(Shell::worldInPlay(), world) << "nothing is released before the loop ends";
        const SaveGame::Slot slot = SaveGame::inspect();
        EXPECT_TRUE(slot.exists && slot.usable) << signal << ": " << slot.reason;
        resetGame();
        Game::running = true;
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

TEST_F(ShellTest, ASaveThatCannotBeWrittenIsSaidAndQuitAsksAgain)
{
    SaveGame::enabled = true;
    // A file where the save's folder should be: no save can be written,
    // whoever runs the test.
    dir.write("blocked", "");
    setenv("XDG_DATA_HOME", (dir.path() + "/blocked").c_str(), 1);
    play();
    tap(K::Escape);
    auto* pause = current<PauseMenu>();
    ASSERT_NE(pause, nullptr);
    tap(K::Up);
    tap(K::Return);
    EXPECT_TRUE(Game::running);
    EXPECT_EQ(seen(pause->menu), "Resume | Settings | Map | Conversations | Quit to title | [Quit without saving]");
    EXPECT_NE(pause->menu.find("quit")->detail.find("Not saved: "), std::string::npos);
    EXPECT_NE(Notice::current().find("Not saved: "), std::string::npos);
    tap(K::Return);
    EXPECT_FALSE(Game::running);
}

} // namespace

// The sound's share of the shell: the title plays its own piece and play the
// guildhall's, and the settings screen holds the volumes and the mute switch.
TEST_F(ShellTest, TheTitleHasItsMusicAndTheSettingsTheSoundsVolumes)
{
    Shell::startUp(Shell::Start::Title, std::nullopt);
    Game::currentState = Shell::begin(new MainState());
    ASSERT_NE(current<TitleScreen>(), nullptr);
    EXPECT_TRUE(Audio::playingTitle());

    tap(K::Down); // no save: New game, Settings, Quit
    tap(K::Return);
    auto* settings = current<SettingsScreen>();
    ASSERT_NE(settings, nullptr);
    const std::string shown = seen(settings->menu);
    for (const char* line : {"Volume: 100 %", "Music: 70 %", "Effects: 100 %", "Sound: on", "Controls"})
        EXPECT_NE(shown.find(line), std::string::npos) << line << " in " << shown;
    settings->menu.select("audio-Music");
    tap(K::Left);
    EXPECT_EQ(Audio::volume(Audio::Channel::Music), 60);
    settings->menu.select("audio-mute");
    tap(K::Return);
    EXPECT_TRUE(Audio::muted());
    Settings::clear();
    EXPECT_EQ(Settings::load(), "");
    EXPECT_EQ(Settings::getInt("audio", "music", 0, 0, 100), 60) << "kept in the file";
    EXPECT_TRUE(Settings::getBool("audio", "muted", false));
    Audio::setMuted(false);
    Audio::setVolume(Audio::Channel::Music, 70);

    tap(K::Escape); // back to the title, then a new game: the guildhall's music
    auto* title = current<TitleScreen>();
    ASSERT_NE(title, nullptr);
    title->menu.select("new");
    tap(K::Return);
    EXPECT_FALSE(Audio::playingTitle());
    SettingsScreen::controlsScreen = nullptr;
    SettingsScreen::entries.clear();
}

// Every screen tells whether its picture changed: standing still its digest
// stays as it is, and what the player changes on it (a selection, a step, a
// page, a slot, a notice) changes the digest.
TEST_F(ShellTest, EveryScreenStandsStillUntilWhatItShowsChanges)
{
    const auto digest = [] { return StillFrame::digest(Shell::overlayDigest()); };
    const auto pointAtQuit = [&] {
        auto* menu = dynamic_cast<MenuScreen*>(Game::currentState);
        const sf::FloatRect row = menu->menu.area(static_cast<int>(menu->menu.items.size()) - 1);
        sf::Event moved{};
        moved.type = sf::Event::MouseMoved;
        moved.mouseMove.x = static_cast<int>(row.left + row.width / 2);
        moved.mouseMove.y = static_cast<int>(row.top + row.height / 2);
        Game::handleEvent(moved);
        frame();
    };
    struct Case {
        const char* what;
        std::function<void()> open;
        std::function<void()> change; // null: nothing on it changes the picture
    };
    const Case cases[] = {
        {"the title", [&] { title(); }, [&] { tap(K::Down); }},
        {"the title, the mouse over Quit", [&] { title(); }, pointAtQuit},
        {"the settings", [&] { Game::currentState = new SettingsScreen(title()); }, [&] { tap(K::Down); }},
        {"the pause menu", [&] { play(), tap(K::Escape); }, [&] { tap(K::Down); }},
        {"the controls", [&] { Game::currentState = new ControlsScreen(play()); }, [&] { tap(K::Right); }},
        {"the world", [&] { play(); }, [&] { frame({K::Right}), frame(); }},
        {"a conversation", [&] { play(), tap(K::Return); }, [&] { tap(K::Return); }},
        {"a notice", [&] { play(); }, [] { Notice::show("The game could not be saved"); }},
        {"the closing card", [&] { Game::currentState = new EndingCard(play(), "The end", sf::seconds(3)); }, nullptr},
    };
    for (const Case& c : cases) {
        c.open();
        frame(), frame(); // a menu widens to its longest line when first drawn
        const unsigned long long still = digest();
        EXPECT_NE(still, 0u) << c.what << " does not tell its picture";
        for (int i = 0; i < 10; ++i)
            frame();
        EXPECT_EQ(digest(), still) << c.what << " changed standing still";
        if (c.change) {
            c.change();
            EXPECT_NE(digest(), still) << c.what << ": the change does not show";
        }
        Notice::clear();
        resetGame();
        Game::running = true;
    }
}

// The game's loop presents a picture only when it differs from the one the
// window shows, or when the window may have lost it.
TEST_F(ShellTest, StandingStillTheLoopPresentsNothing)
{
    play();
    StillFrame::reset();
    StillFrame::enabled = true;
    const auto stepAndShow = [] {
        holdKeys({});
        Game::step();
        StillFrame::stepped(1);
        return Game::show();
    };
    EXPECT_TRUE(stepAndShow()) << "the first picture";
    for (int i = 0; i < 30; ++i)
        EXPECT_FALSE(stepAndShow()) << "standing still, step " << i;
    Notice::show("A notice");
    EXPECT_TRUE(stepAndShow()) << "a notice";
    EXPECT_FALSE(stepAndShow());
    sf::Event resized{};
    resized.type = sf::Event::Resized;
    resized.size.width = 640;
    resized.size.height = 480;
    Game::handleEvent(resized);
    EXPECT_TRUE(stepAndShow()) << "a resized window";
    sf::Event focused{};
    focused.type = sf::Event::GainedFocus;
    Game::handleEvent(focused);
    EXPECT_TRUE(stepAndShow()) << "the focus back";
    EXPECT_EQ(StillFrame::count(StillFrame::Reason::Changed), 1);
    EXPECT_EQ(StillFrame::count(StillFrame::Reason::Window), 3);
    StillFrame::enabled = false;
    StillFrame::reset();
}

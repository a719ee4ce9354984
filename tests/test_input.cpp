#include "input/Bindings.h"
#include "input/ControlsFile.h"
#include "screens/ControlsScreen.h"
#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "input/Gamepad.h"
#include "render/Graphics.h"
#include "input/Input.h"
#include "input/KeyNames.h"
#include "input/Keyboard.h"
#include "world/MainState.h"
#include "characters/Player.h"
#include "replay/Session.h"
#include "disk/Settings.h"
#include "replay/StateDigest.h"
#include "TestSupport.h"

#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;
using K = sf::Keyboard;
using A = Action;

namespace {

// The pads as a test wants them: what is plugged in, pressed and pushed.
struct FakePads {
    bool connected[sf::Joystick::Count] = {};
    bool buttons[sf::Joystick::Count][sf::Joystick::ButtonCount] = {};
    float axes[sf::Joystick::Count][sf::Joystick::AxisCount] = {};
    unsigned vendor[sf::Joystick::Count] = {};
} pads;

const Gamepad::Source fakeSource = {
    [](unsigned p) { return pads.connected[p]; },
    [](unsigned p, unsigned b) { return pads.buttons[p][b]; },
    [](unsigned p, sf::Joystick::Axis a) { return pads.axes[p][a]; },
    [](unsigned p) { return pads.vendor[p]; },
};

// The actions down now, by name: "up talk".
std::string actionsDown()
{
    std::string names;
    for (int a = 0; a < Actions::count; ++a) {
        if (Input::down(Actions::at(a)))
            names += std::string(names.empty() ? "" : " ") + Actions::name(Actions::at(a));
    }
    return names;
}

// One frame of the pad: the fake's state becomes the snapshot.
void padFrame()
{
    holdKeys({});
    Input::update();
}

void releasePad(unsigned p = 0)
{
    for (bool& b : pads.buttons[p])
        b = false;
    for (float& v : pads.axes[p])
        v = 0;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        pads = FakePads();
        Gamepad::source = fakeSource;
        Gamepad::initialize();
        Bindings::restoreDefaults();
        Input::padUsedLast = false;
        Keyboard::focused = true;
    }
    void TearDown() override
    {
        Gamepad::source = Gamepad::live;
        Gamepad::initialize();
        Bindings::restoreDefaults();
        Input::padUsedLast = false;
        Input::deviceChanged = false;
        resetGame();
    }
};

} // namespace

// Every key alone, and every pad input alone, against the actions it serves.
TEST_F(InputTest, DefaultsServeExactlyTheKeysOfTheGame)
{
    const std::map<K::Key, std::string> keyed = {
        {K::W, "up"}, {K::Up, "up"}, {K::D, "right"}, {K::Right, "right"}, {K::S, "down"},
        {K::Down, "down"}, {K::A, "left"}, {K::Left, "left"}, {K::Return, "talk next_page"},
        {K::Space, "talk next_page"}, {K::Num1, "answer1"}, {K::Numpad1, "answer1"},
        {K::Num2, "answer2"}, {K::Numpad2, "answer2"}, {K::Num3, "answer3"}, {K::Numpad3, "answer3"},
        {K::G, "goal_line"}, {K::Tab, "map"}, {K::Escape, "pause"}, {K::F11, "fullscreen"}, {K::M, "mute"}};
    for (int k = 0; k < K::KeyCount; ++k) {
        holdKeys({static_cast<K::Key>(k)});
        const auto found = keyed.find(static_cast<K::Key>(k));
        EXPECT_EQ(actionsDown(), found == keyed.end() ? "" : found->second) << KeyNames::name(static_cast<K::Key>(k));
    }

    const std::map<int, std::string> padded = {
        {PadInputs::DPadUp, "up"}, {PadInputs::StickUp, "up"}, {PadInputs::DPadRight, "right"},
        {PadInputs::StickRight, "right"}, {PadInputs::DPadDown, "down"}, {PadInputs::StickDown, "down"},
        {PadInputs::DPadLeft, "left"}, {PadInputs::StickLeft, "left"}, {PadInputs::South, "talk next_page"},
        {PadInputs::West, "answer1"}, {PadInputs::North, "answer2 map"}, {PadInputs::East, "answer3"},
        {PadInputs::Select, "goal_line"}, {PadInputs::LeftShoulder, "goal_line"}, {PadInputs::Start, "pause"}};
    holdKeys({});
    for (int i = 0; i < PadInputs::Count; ++i) {
        Gamepad::initialize();
        Gamepad::currentState[i] = true;
        const auto found = padded.find(i);
        EXPECT_EQ(actionsDown(), found == padded.end() ? "" : found->second) << PadInputs::name(i);
    }
}

TEST_F(InputTest, RebindingRefusesAKeyAnotherActionUsesWhereBothCount)
{
    struct Case {
        A action;
        int slot;
        K::Key key;
        const char* refusal; // "" when taken
    };
    const Case cases[] = {
        {A::Up, 0, K::I, ""},
        {A::Up, 0, K::Space, "Space is already used for talk"},
        {A::Talk, 1, K::W, "W is already used for walk up"},
        {A::Answer1, 0, K::W, ""},              // answers never count while walking
        {A::NextPage, 1, K::Return, ""},        // nor pages
        {A::Pause, 0, K::Num2, "2 is already used for answer 2"}, // pausing counts everywhere
        {A::GoalLine, 0, K::Escape, "Escape is already used for pause"},
        {A::NextPage, 1, K::M, "M is already used for mute"},   // muting counts everywhere too
        {A::Left, 1, K::A, ""},                 // within one action the key moves slots
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Actions::name(c.action)) + " " + KeyNames::name(c.key));
        Bindings::restoreDefaults();
        std::string why;
        EXPECT_EQ(Bindings::setKey(c.action, c.slot, c.key, &why), *c.refusal == 0);
        EXPECT_EQ(why, c.refusal);
    }
    EXPECT_EQ(Bindings::keyText(A::Left), "A"); // the last case: A moved, Left gave way

    // A rebound key walks; the one it replaced does nothing any more.
    Bindings::restoreDefaults();
    ASSERT_TRUE(Bindings::setKey(A::Up, 0, K::I));
    holdKeys({K::I});
    EXPECT_EQ(actionsDown(), "up");
    holdKeys({K::W});
    EXPECT_EQ(actionsDown(), "");
    holdKeys({K::Up});
    EXPECT_EQ(actionsDown(), "up");
    // The help's key table is made from the bindings.
    EXPECT_NE(Input::helpText().find("I A S D or Up Left Down Right"), std::string::npos) << Input::helpText();

    // The pad's inputs follow the same rule.
    std::string why;
    EXPECT_FALSE(Bindings::setPad(A::Pause, 0, PadInputs::West, &why));
    EXPECT_EQ(why, "West is already used for answer 1");
    EXPECT_TRUE(Bindings::setPad(A::Fullscreen, 0, PadInputs::RightShoulder));

    // An action keeps one key at least; the pad's may all go.
    EXPECT_TRUE(Bindings::clearKey(A::Up, 1));
    EXPECT_FALSE(Bindings::clearKey(A::Up, 0, &why));
    EXPECT_EQ(why, "walk up keeps at least one key");
    Bindings::clearPad(A::Talk, 0);
    EXPECT_EQ(Bindings::padText(A::Talk), "");
}

TEST_F(InputTest, SettingsEntriesRebindOrGiveTheDefaultsWithOneLine)
{
    using Entries = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        Entries keys;
        Entries pad;
        const char* problem; // the start of the line, "" for none
        const char* up;      // walk up's keys afterwards
        const char* talkPad;
    };
    const Case cases[] = {
        {{{"up", "I, Up"}}, {{"talk", "north"}}, "", "I, Up", "North"},
        {{{"up", " return "}, {"talk", "Space"}}, {}, "", "Return", "South"}, // any case, any spaces
        {{{"up", "Enter"}, {"talk", "Space"}}, {}, "", "Return", "South"},
        {{{"up", "8, keypad 8"}}, {{"talk", "rb, Triangle"}}, "", "Num8, Numpad8", "RightShoulder, North"},
        {{{"up", ""}}, {{"talk", ""}}, "", "", ""},
        {{{"up", "I, I"}}, {}, "", "I", "South"},
        {{{"jump", "J"}}, {}, "[keys] jump: no such action", "W, Up", "South"},
        {{{"up", "Foo"}}, {}, "[keys] up: 'Foo' is not a key", "W, Up", "South"},
        {{{"up", "I, J, K"}}, {}, "[keys] up: at most two keys", "W, Up", "South"},
        {{{"up", "I"}, {"down", "I"}}, {}, "[keys] I serves both up and down", "W, Up", "South"},
        {{{"up", "Space"}}, {}, "[keys] Space serves both up and talk", "W, Up", "South"},
        {{}, {{"talk", "Button40"}}, "[pad] talk: 'Button40' is not a gamepad button", "W, Up", "South"},
        {{}, {{"pause", "West"}}, "[pad] West serves both answer1 and pause", "W, Up", "South"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        const std::string problem = Bindings::apply(c.keys, c.pad);
        if (*c.problem == 0) {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
            EXPECT_NE(problem.find("the default controls are used"), std::string::npos);
            EXPECT_EQ(problem.find('\n'), std::string::npos);
            EXPECT_TRUE(Bindings::isDefault());
        }
        EXPECT_EQ(Bindings::keyText(A::Up), c.up);
        EXPECT_EQ(Bindings::padText(A::Talk), c.talkPad);
    }
    // A file from before mute was an action, with M for another: mute gives
    // way. A file that names mute too is held to the usual rule.
    EXPECT_EQ(Bindings::apply({{"goal_line", "M"}}, {}), "");
    EXPECT_EQ(Bindings::keyText(A::GoalLine), "M");
    EXPECT_EQ(Bindings::keyText(A::Mute), "");
    EXPECT_EQ(Bindings::apply({{"goal_line", "M"}, {"mute", "M"}}, {}).rfind("[keys] M serves both", 0), 0u);
    // So does the map, key and button.
    EXPECT_EQ(Bindings::apply({{"talk", "Tab"}}, {{"goal_line", "Y"}}), "");
    EXPECT_EQ(Bindings::keyText(A::Map) + "/" + Bindings::padText(A::Map), "/");
    EXPECT_EQ(Bindings::apply({{"talk", "Tab"}, {"map", "Tab"}}, {}).rfind("[keys] Tab serves both", 0), 0u);
}

TEST_F(InputTest, TheSettingsFileKeepsWhatDiffersFromTheDefaults)
{
    ResourceDir dir;
    const std::string home = dir.path() + "/config";
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string before = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    Settings::clear();
    Settings::set("audio", "muted", "true"); // another part's setting stays

    ASSERT_TRUE(Bindings::setKey(A::Up, 0, K::I));
    ASSERT_TRUE(Bindings::setPad(A::GoalLine, 1, PadInputs::RightShoulder));
    std::string why;
    ASSERT_TRUE(ControlsFile::save(&why)) << why;
    std::ifstream in(Settings::file());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("up = I, Up"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("goal_line = Select, RightShoulder"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("talk"), std::string::npos) << "defaults are not written";

    Bindings::restoreDefaults();
    Settings::clear();
    EXPECT_EQ(Settings::load(), "");
    EXPECT_EQ(ControlsFile::load(), "");
    EXPECT_EQ(Bindings::keyText(A::Up), "I, Up");
    EXPECT_EQ(Settings::get("audio", "muted"), "true");

    // Back to the defaults: the sections empty, the other settings kept.
    Bindings::restoreDefaults();
    ASSERT_TRUE(ControlsFile::save());
    EXPECT_TRUE(Settings::keys("keys").empty());
    EXPECT_TRUE(Settings::keys("pad").empty());
    EXPECT_EQ(Settings::get("audio", "muted"), "true");

    Settings::clear();
    if (old)
        setenv("XDG_CONFIG_HOME", before.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

// The stick and the d-pad as SFML reports them (-100 to 100, up negative),
// walking the player: the dead zone, and up over right over down over left.
TEST_F(InputTest, TheStickAndTheDPadWalkWithADeadZoneAndOneDirectionWinning)
{
    ResourceDir dir;
    dir.image("res/gfx/player.png", 128, 128);
    Game::currentState = new GameState();
    Player* player = new Player(64, 64);
    player->setTexture(*Graphics::getTexture("player", 0));
    Game::currentState->add(player);

    struct Case {
        sf::Joystick::Axis xAxis, yAxis;
        float x, y;
        int direction; // -1: no step
    };
    using J = sf::Joystick;
    const Case cases[] = {
        {J::X, J::Y, 0, 0, -1},       {J::X, J::Y, 49, -49, -1},     {J::X, J::Y, -30, 45, -1},
        {J::X, J::Y, 0, -50, 0},      {J::X, J::Y, 100, 0, 3},       {J::X, J::Y, 0, 100, 2},
        {J::X, J::Y, -100, 0, 1},     {J::X, J::Y, 70, -70, 0},      {J::X, J::Y, 70, 70, 3},
        {J::X, J::Y, -70, 70, 2},     {J::X, J::Y, -70, -70, 0},     {J::X, J::Y, 60, -20, 3},
        {J::PovX, J::PovY, 0, -100, 0}, {J::PovX, J::PovY, 100, 100, 3}, {J::PovX, J::PovY, -100, 100, 2},
        {J::PovX, J::PovY, -100, 0, 1}, {J::PovX, J::PovY, 30, 0, -1},
        // Other axes (the right stick, the triggers) do not walk.
        {J::Z, J::R, 100, -100, -1},  {J::U, J::V, 100, 100, -1},
    };
    pads.connected[0] = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.xAxis) + ": " + std::to_string(c.x) + ", " + std::to_string(c.y));
        releasePad();
        pads.axes[0][c.xAxis] = c.x;
        pads.axes[0][c.yAxis] = c.y;
        player->direction = 1;
        player->moving = false;
        padFrame();
        player->update();
        EXPECT_EQ(player->moving, c.direction >= 0);
        EXPECT_EQ(player->direction, c.direction >= 0 ? c.direction : 1);
    }
}

TEST_F(InputTest, TheFirstPadTouchedPlaysUntilItIsUnplugged)
{
    using P = PadInputs;
    struct Step {
        const char* what;
        std::vector<std::pair<int, int>> held; // (pad, raw button)
        std::set<int> connected;
        bool focused;
        int active;
        const char* down; // actions down
    };
    const Step steps[] = {
        {"two pads, none touched", {}, {0, 1}, true, -1, ""},
        {"the second pad's south", {{1, 0}}, {0, 1}, true, 1, "talk next_page"},
        {"the first pad is not heard", {{0, 7}}, {0, 1}, true, 1, ""},
        {"the second pad unplugged", {{0, 7}}, {0}, true, 0, "pause"},
        {"it comes back: the first plays on", {{0, 7}, {1, 3}}, {0, 1}, true, 0, "pause"},
        {"the focus goes", {{0, 7}}, {0, 1}, false, 0, ""},
        {"held through the focus change", {{0, 7}}, {0, 1}, true, 0, ""},
        {"let go", {}, {0, 1}, true, 0, ""},
        {"pressed again", {{0, 7}}, {0, 1}, true, 0, "pause"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        pads = FakePads();
        for (int p : s.connected)
            pads.connected[p] = true;
        for (const auto& [pad, button] : s.held)
            pads.buttons[pad][button] = true;
        Keyboard::focused = s.focused;
        padFrame();
        EXPECT_EQ(Gamepad::active, s.active);
        EXPECT_EQ(actionsDown(), s.down);
    }
    Keyboard::focused = true;

    // A PlayStation pad numbers its buttons otherwise: each lands on its place.
    const std::pair<unsigned, int> playStation[] = {{0, P::South}, {1, P::East}, {2, P::North}, {3, P::West},
                                                    {8, P::Select}, {9, P::Start}, {6, 11}, {13, 13}};
    for (const auto& [raw, input] : playStation) {
        pads = FakePads();
        pads.connected[3] = true;
        pads.vendor[3] = 0x054c;
        pads.buttons[3][raw] = true;
        Gamepad::initialize();
        padFrame();
        EXPECT_TRUE(Gamepad::down(input)) << raw;
        EXPECT_EQ(Gamepad::layout, P::Layout::PlayStation);
    }
}

// The answers on screen show the keys or the pad's buttons, whichever was
// used last, and change when the other is used.
TEST_F(InputTest, AnswersShowTheButtonsOfWhatWasUsedLast)
{
    ResourceDir dir;
    std::istringstream xml("<dialogue><text><l>Well?</l></text><options><o>Yes</o><o>No</o><o>Maybe</o></options>"
                           "<responses><r>" + leafXml("a") + "</r><r>" + leafXml("b") + "</r><r>" + leafXml("c")
                           + "</r></responses></dialogue>");
    boost::property_tree::ptree document;
    boost::property_tree::read_xml(xml, document);
    const DialogueTree tree(document);
    Entity speaker(0, 0);
    speaker.name = "Nell";
    Game::currentState = new GameState();
    Game::displayDialogue(&tree, &speaker);
    DialogueBox* box = openBox();
    ASSERT_NE(box, nullptr);
    const auto shown = [&] { return box->message.getString().toAnsiString(); };

    holdKeys({K::Space});
    Input::update();
    box->update();
    EXPECT_EQ(shown(), "Nell\n\n 1. Yes\n\n 2. No\n\n 3. Maybe\n\n");

    pads.connected[0] = true;
    pads.axes[0][sf::Joystick::PovY] = -100; // the d-pad, which chooses nothing here
    padFrame();
    box->update();
    EXPECT_EQ(shown(), "Nell\n\n X. Yes\n\n Y. No\n\n B. Maybe\n\n");
    releasePad();

    holdKeys({K::LShift}); // any key
    Input::update();
    box->update();
    EXPECT_EQ(shown(), "Nell\n\n 1. Yes\n\n 2. No\n\n 3. Maybe\n\n");

    // The pad's east button answers 3; rebound keys show their own names.
    Bindings::setKey(A::Answer1, 0, K::J);
    pads.buttons[0][PadInputs::East] = true;
    padFrame();
    box->update();
    EXPECT_EQ(box->lastChoice, 3);
    Input::padUsedLast = false;
    EXPECT_EQ(Input::answerLabel(1), "J");
    EXPECT_EQ(Input::answerLabel(4), "4");
}

// The controls screen, driven with keys and a pad as a player would: every
// change lands in the settings file at once.
TEST_F(InputTest, TheControlsScreenRebindsRefusesRestoresAndGoesBack)
{
    ResourceDir dir;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string before = old ? old : "";
    setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
    Settings::clear();

    GameState* world = new GameState();
    auto* screen = new ControlsScreen(world);
    Game::currentState = screen;
    pads.connected[0] = true;
    // One frame with the key (or raw pad button) down, then one with nothing.
    const auto tap = [&](K::Key key, int button = -1) {
        if (key == K::Unknown)
            holdKeys({});
        else
            holdKeys({key});
        releasePad();
        if (button >= 0)
            pads.buttons[0][button] = true;
        Input::update();
        updateFrame();
        releasePad();
        padFrame();
        updateFrame();
    };

    struct Step {
        K::Key key;
        int button;
        const char* note;
        const char* right; // walk right's keys, then its pad inputs
    };
    const Step steps[] = {
        {K::Down, -1, "", "D, Right / DPadRight, StickRight"},
        {K::Return, -1, "Press a key for walk right; Escape keeps the one there.", "D, Right / DPadRight, StickRight"},
        {K::L, -1, "Walk right: L.", "L, Right / DPadRight, StickRight"},
        {K::Return, -1, "Press a key for walk right; Escape keeps the one there.", "L, Right / DPadRight, StickRight"},
        {K::Space, -1, "Space is already used for talk.", "L, Right / DPadRight, StickRight"},
        {K::Right, -1, "Space is already used for talk.", "L, Right / DPadRight, StickRight"},
        {K::Delete, -1, "Walk right: the slot is empty.", "L / DPadRight, StickRight"},
        {K::Left, -1, "Walk right: the slot is empty.", "L / DPadRight, StickRight"},
        {K::Backspace, -1, "Walk right keeps at least one key.", "L / DPadRight, StickRight"},
        {K::Right, -1, "Walk right keeps at least one key.", "L / DPadRight, StickRight"},
        {K::Right, -1, "Walk right keeps at least one key.", "L / DPadRight, StickRight"},
        {K::Return, -1, "Press a gamepad button for walk right; Escape keeps the one there.", "L / DPadRight, StickRight"},
        {K::Unknown, PadInputs::RightShoulder, "Walk right: RB.", "L / RightShoulder, StickRight"},
        {K::Return, -1, "Press a gamepad button for walk right; Escape keeps the one there.", "L / RightShoulder, StickRight"},
        {K::Escape, -1, "", "L / RightShoulder, StickRight"},
        {K::Up, -1, "", "L / RightShoulder, StickRight"},
        {K::Up, -1, "", "L / RightShoulder, StickRight"}, // round to the last line
        {K::Return, -1, "The default controls are back.", "D, Right / DPadRight, StickRight"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(KeyNames::name(s.key) + " " + std::to_string(s.button));
        tap(s.key, s.button);
        EXPECT_EQ(screen->note, s.note);
        EXPECT_EQ(Bindings::keyText(A::Right) + " / " + Bindings::padText(A::Right), s.right);
        if (s.key == K::L) {
            Settings::clear();
            EXPECT_EQ(Settings::load(), "");
            EXPECT_EQ(Settings::get("keys", "right"), "L, Right");
        }
    }
    Settings::clear();
    EXPECT_EQ(Settings::load(), "");
    EXPECT_TRUE(Settings::keys("keys").empty());

    // A file that cannot be written says so; the change holds for this run.
    std::ofstream(dir.path() + "/plain") << "a file, not a folder";
    setenv("XDG_CONFIG_HOME", (dir.path() + "/plain").c_str(), 1);
    tap(K::Return); // still on the last line
    EXPECT_EQ(screen->note.rfind("The default controls are back, but it could not be kept: ", 0), 0u) << screen->note;

    // The pad's east button goes back to the screen that opened this one.
    tap(K::Unknown, PadInputs::East);
    EXPECT_EQ(Game::currentState, world);

    Settings::clear();
    if (old)
        setenv("XDG_CONFIG_HOME", before.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

// A game played with the pad is recorded with it, and its replay, with no
// pad plugged in, reaches the same state by the same steps.
TEST_F(InputTest, APadGameIsRecordedAndReplaysWithoutThePad)
{
    ResourceDir dir;
    signWorld(dir); // the sign, the player facing it, a floor cell
    const std::string file = dir.path() + "/pad.txt";
    // Each row: steps, then the pad's d-pad x axis and south button.
    struct Stretch {
        int steps;
        float povX;
        bool south;
    };
    const std::vector<Stretch> play = {{5, 0, false}, {30, 100, false}, {5, 0, false},
                                       {30, -100, false}, {20, 0, false}, {3, 0, true}, {10, 0, false}};
    // One step as the driver runs it; false when a replay has run out.
    const auto step = [] {
        if (!Session::nextKeys())
            return false;
        Input::noteDevice();
        Game::step();
        return true;
    };
    const auto run = [&](bool replaying) {
        Game::currentState = new MainState();
        if (replaying) {
            while (step()) {
            }
            return;
        }
        pads.connected[0] = true;
        for (const Stretch& s : play) {
            pads.axes[0][sf::Joystick::PovX] = s.povX;
            pads.buttons[0][PadInputs::South] = s.south;
            for (int i = 0; i < s.steps; ++i)
                ASSERT_TRUE(step());
        }
    };

    Session::record(file);
    run(false);
    ASSERT_NE(openBox(), nullptr) << "the pad walked there and back and talked to the sign";
    const std::string played = StateDigest::now();
    Session::finish();
    Session::reset();
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(" p33\n"), std::string::npos) << text; // d-pad right
    EXPECT_NE(text.find(" p0\n"), std::string::npos) << text;  // the south button

    resetGame();
    pads = FakePads(); // nothing plugged in: the pad comes from the file
    Gamepad::initialize();
    Session::replay(file);
    run(true);
    EXPECT_EQ(Session::stepsTaken, 103);
    EXPECT_NE(openBox(), nullptr);
    EXPECT_EQ(StateDigest::now(), played);
    Session::reset();
}

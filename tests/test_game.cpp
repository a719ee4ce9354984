#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/WindowLimits.h"
#include "render/PictureLayer.h"
#include "core/GameState.h"
#include "input/Keyboard.h"
#include "render/StillFrame.h"
#include "shell/Shell.h"
#include "TestSupport.h"
#include "core/WindowLimits.h"

#include <SFML/Window/Event.hpp>
#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Last: its macros would clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

namespace {
// The viewport in whole window pixels, rounded as the renderer rounds it.
sf::IntRect pixels(const sf::FloatRect& viewport, sf::Vector2u window)
{
    return sf::IntRect(static_cast<int>(0.5f + window.x * viewport.left), static_cast<int>(0.5f + window.y * viewport.top),
                       static_cast<int>(0.5f + window.x * viewport.width),
                       static_cast<int>(0.5f + window.y * viewport.height));
}

sf::Event resized(unsigned width, unsigned height)
{
    sf::Event event{};
    event.type = sf::Event::Resized;
    event.size.width = width;
    event.size.height = height;
    return event;
}

sf::Event keyPressed(sf::Keyboard::Key key, bool alt = false)
{
    sf::Event event{};
    event.type = sf::Event::KeyPressed;
    event.key.code = key;
    event.key.alt = alt;
    return event;
}
} // namespace

TEST(PictureTest, ThePictureFillsTheWindowAtWholeScalesWithBarsAround)
{
    struct Case {
        unsigned w, h;
        sf::IntRect picture;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},
        {1280, 960, {0, 0, 1280, 960}},
        {1000, 500, {180, 10, 640, 480}},    // 1x: too low for more
        {1920, 1080, {320, 60, 1280, 960}},  // 2x, bars all round
        {1919, 1439, {319, 239, 1280, 960}}, // just short of 3x
        {1920, 1440, {0, 0, 1920, 1440}},
        {320, 240, {0, 0, 320, 240}},        // smaller than 1x: fitted
        {400, 600, {0, 150, 400, 300}},
        {641, 2000, {0, 760, 640, 480}},
    };
    for (const Case& c : cases) {
        const sf::Vector2u size(c.w, c.h);
        EXPECT_EQ(pixels(WindowLimits::pictureViewport(size, false), size), c.picture) << c.w << " x " << c.h;
    }
    // A window with no area (minimised) keeps the whole viewport.
    EXPECT_EQ(WindowLimits::pictureViewport(sf::Vector2u(0, 0), true), sf::FloatRect(0, 0, 1, 1));
    EXPECT_EQ(WindowLimits::pictureViewport(sf::Vector2u(800, 0), false), sf::FloatRect(0, 0, 1, 1));
}

TEST(PictureTest, OnSmallScreensThePictureFillsNinetyPercentOfTheHeightWindowedOrFullscreen)
{
    struct Case {
        unsigned w, h;
        bool fullscreen;
        sf::IntRect picture; // in the window
    } cases[] = {
        {1024, 768, false, {0, 0, 922, 692}},   // 1x would leave 37 % of the height
        {1280, 800, false, {0, 0, 960, 720}},
        {1366, 768, false, {0, 0, 922, 692}},
        {1024, 768, true, {0, 0, 1024, 768}},
        {1280, 800, true, {106, 0, 1067, 800}},
        {1366, 768, true, {171, 0, 1024, 768}},
    };
    for (const Case& c : cases) {
        const sf::Vector2u screen(c.w, c.h);
        const std::string which = std::to_string(c.w) + " x " + std::to_string(c.h) + (c.fullscreen ? " full" : "");
        ASSERT_TRUE(WindowLimits::fills(WindowLimits::automatic, c.fullscreen, screen)) << which;
        const sf::Vector2u window = c.fullscreen ? screen : WindowLimits::fillWindowSize(screen);
        const sf::IntRect picture = pixels(WindowLimits::pictureViewport(window, true), window);
        EXPECT_EQ(picture, c.picture) << which;
        EXPECT_GE(picture.height * 10, static_cast<int>(c.h) * 9) << which;
    }
    // Where whole numbers leave little unused, automatic keeps them; a
    // choice of the player's stands.
    EXPECT_FALSE(WindowLimits::fills(WindowLimits::automatic, true, {1920, 1080}));
    EXPECT_FALSE(WindowLimits::fills(WindowLimits::automatic, false, {800, 600}));
    EXPECT_FALSE(WindowLimits::fills(2, true, {1024, 768}));
    EXPECT_TRUE(WindowLimits::fills(WindowLimits::fill, false, {3840, 2160}));
    // The sprites go off-screen at the next whole scale up, when not whole.
    EXPECT_EQ(PictureLayer::wholeAbove(1.6f, 8), 2u);
    EXPECT_EQ(PictureLayer::wholeAbove(1.44f, 8), 2u);
    EXPECT_EQ(PictureLayer::wholeAbove(4.5f, 4), 4u); // no larger than a texture may be
    EXPECT_EQ(PictureLayer::wholeAbove(2.f, 8), 0u);
    EXPECT_EQ(PictureLayer::wholeAbove(1.f, 8), 0u);
}

TEST(PictureTest, TheWindowOpensAtTheLargestWholeScaleWithinNinetyPercentOfTheDesktop)
{
    EXPECT_EQ(Game::startScale(1024, 768), 1u);
    EXPECT_EQ(Game::startScale(1280, 1024), 1u);
    EXPECT_EQ(Game::startScale(1920, 1080), 2u);
    EXPECT_EQ(Game::startScale(2560, 1440), 2u);
    EXPECT_EQ(Game::startScale(3840, 2160), 4u);
    EXPECT_EQ(Game::startScale(1423, 1067), 2u); // 90 % is 1280.7 x 960.3
    EXPECT_EQ(Game::startScale(1422, 1067), 1u);
    EXPECT_EQ(Game::startScale(640, 480), 1u); // never below 1
    EXPECT_EQ(Game::startScale(0, 0), 1u);
}

class WindowSizeTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override
    {
        if (Game::fullscreen)
            Game::setFullscreen(false);
        Game::window.setSize(sf::Vector2u(640, 480));
        Game::window.setFramerateLimit(0); // the tests run frames as fast as they can
        Keyboard::focused = true;
        Keyboard::initialize();
        resetGame();
    }
};

TEST_F(WindowSizeTest, AResizedWindowShowsTheSamePictureScaled)
{
    sf::View camera(sf::FloatRect(0, 0, 640, 480));
    camera.setCenter(1000, 700);
    Game::window.setView(camera);

    Game::window.setSize(sf::Vector2u(1000, 500));
    Game::handleEvent(resized(1000, 500));
    const sf::View& view = Game::window.getView();
    EXPECT_EQ(view.getSize(), sf::Vector2f(640, 480));
    EXPECT_EQ(view.getCenter(), sf::Vector2f(1000, 700));
    EXPECT_EQ(Game::window.getViewport(view), sf::IntRect(180, 10, 640, 480));
    // The overlays' view shares the place.
    EXPECT_EQ(Game::pictureView().getViewport(), view.getViewport());
    EXPECT_EQ(Game::pictureView().getSize(), sf::Vector2f(640, 480));
    // A world pixel at the camera's top-left corner lands at the picture's.
    EXPECT_EQ(Game::window.mapCoordsToPixel(sf::Vector2f(680.25f, 460.25f)), sf::Vector2i(180, 10));

    Game::window.setSize(sf::Vector2u(1280, 960));
    Game::handleEvent(resized(1280, 960));
    EXPECT_EQ(Game::window.getView().getCenter(), sf::Vector2f(1000, 700));
    EXPECT_EQ(Game::window.getViewport(Game::window.getView()), sf::IntRect(0, 0, 1280, 960));
    // Every world pixel is two window pixels wide and high.
    EXPECT_EQ(Game::window.mapCoordsToPixel(sf::Vector2f(691.25f, 471.75f)), sf::Vector2i(22, 23));
    EXPECT_FALSE(Game::running);
}

// Smaller than the picture at its own size, the text could not be read: the
// window manager is told the smallest size, and a window made smaller anyway
// grows back on the spot, on the side that was too small.
TEST_F(WindowSizeTest, TheWindowIsNeverSmallerThanThePictureAtItsOwnSize)
{
    const struct {
        unsigned w, h, keptW, keptH;
    } cases[] = {{300, 200, 640, 480}, {300, 600, 640, 600}, {900, 200, 900, 480},
                 {639, 479, 640, 480}, {640, 480, 640, 480}, {1000, 500, 1000, 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_EQ(WindowLimits::atLeastPicture(sf::Vector2u(c.w, c.h)), sf::Vector2u(c.keptW, c.keptH));
        Game::window.setSize(sf::Vector2u(c.w, c.h));
        Game::handleEvent(resized(c.w, c.h));
        EXPECT_EQ(Game::window.getSize(), sf::Vector2u(c.keptW, c.keptH));
        // The picture is at least 1x: whole picture pixels.
        EXPECT_GE(Game::window.getViewport(Game::window.getView()).width, 640);
    }

    // (The tests above made the window anew, as the game never does.)
    WindowLimits::tellWindowManager(Game::window);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, Game::window.getSystemHandle(), &hints, &supplied));
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_EQ(hints.min_width, 640);
    EXPECT_EQ(hints.min_height, 480);
    XCloseDisplay(display);
}

TEST_F(WindowSizeTest, FullscreenComesAndGoesWithF11OrAltReturnKeepingTheCamera)
{
    sf::View camera(sf::FloatRect(0, 0, 640, 480));
    camera.setCenter(-50, 90);
    Game::window.setView(camera);
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();

    Game::handleEvent(keyPressed(sf::Keyboard::F11));
    ASSERT_TRUE(Game::fullscreen);
    ASSERT_TRUE(Game::window.isOpen());
    const sf::Vector2u full = Game::window.getSize();
    EXPECT_EQ(full, sf::Vector2u(desktop.width, desktop.height));
    EXPECT_EQ(Game::window.getView().getCenter(), sf::Vector2f(-50, 90));
    EXPECT_EQ(Game::window.getView().getSize(), sf::Vector2f(640, 480));
    EXPECT_EQ(Game::window.getView().getViewport(), Game::pictureViewport(full));

    // Alt+Return switches back to the window's earlier size; the Return that
    // switched is no key of the game's.
    Game::handleEvent(keyPressed(sf::Keyboard::Return, true));
    EXPECT_FALSE(Game::fullscreen);
    EXPECT_EQ(Game::window.getSize(), sf::Vector2u(640, 480));
    // In the middle of the desktop (on its own the windowing library puts it
    // lower, partly off wide screens).
    EXPECT_EQ(Game::window.getPosition(),
              sf::Vector2i((static_cast<int>(desktop.width) - 640) / 2, (static_cast<int>(desktop.height) - 480) / 2));
    EXPECT_EQ(Game::window.getView().getCenter(), sf::Vector2f(-50, 90));
    EXPECT_EQ(Game::window.getView().getViewport(), sf::FloatRect(0, 0, 1, 1));
    EXPECT_FALSE(Keyboard::pressedSince[sf::Keyboard::Return]);
    EXPECT_FALSE(Game::running);

    // Return alone is the game's.
    Keyboard::focused = true;
    Game::handleEvent(keyPressed(sf::Keyboard::Return));
    EXPECT_FALSE(Game::fullscreen);
    EXPECT_TRUE(Keyboard::pressedSince[sf::Keyboard::Return]);

    // Asking for the state the window is in changes nothing.
    Game::setFullscreen(false);
    EXPECT_FALSE(Game::fullscreen);
}

TEST_F(WindowSizeTest, CloseAsksToQuitAndEscapeNoLongerEndsTheLoop)
{
    // The close button asks: the next frame saves and ends the loop.
    Game::running = true;
    Shell::quitRequested = 0;
    sf::Event closed{};
    closed.type = sf::Event::Closed;
    Game::handleEvent(closed);
    EXPECT_TRUE(Shell::quitRequested);
    Shell::quitRequested = 0;
    Game::handleEvent(keyPressed(sf::Keyboard::Space));
    Game::handleEvent(keyPressed(sf::Keyboard::Escape));
    EXPECT_TRUE(Game::running);
    EXPECT_FALSE(Shell::quitRequested);
}

// When the loop draws and presents a picture, and why: a changed picture, a
// window that may have lost its own, or the safety net after enough steps.
TEST(StillFrameTest, ThePictureIsPresentedOnlyWhenItMayDiffer)
{
    using R = StillFrame::Reason;
    struct Case {
        const char* what;
        bool enabled;
        bool invalidated; // after the picture with digest 7 was presented
        unsigned long long now;
        int steps; // since it was presented
        R expected;
    };
    const Case cases[] = {
        {"the same picture", true, false, 7, 1, R::Kept},
        {"a step short of the safety net", true, false, 7, 59, R::Kept},
        {"the safety net", true, false, 7, 60, R::Safety},
        {"another picture", true, false, 8, 1, R::Changed},
        {"a screen that cannot tell", true, false, 0, 1, R::Changed},
        {"the window spoilt", true, true, 7, 1, R::Window},
        {"the window spoilt, another picture", true, true, 8, 1, R::Window},
        {"outside the game's loop", false, false, 7, 1, R::Changed},
    };
    for (const Case& c : cases) {
        StillFrame::reset();
        StillFrame::enabled = true;
        EXPECT_EQ(StillFrame::due(7), R::Window) << c.what << ": nothing presented yet";
        StillFrame::presented(R::Window, 7);
        StillFrame::enabled = c.enabled;
        if (c.invalidated)
            StillFrame::invalidate();
        StillFrame::stepped(c.steps);
        EXPECT_EQ(StillFrame::due(c.now), c.expected) << c.what;
    }
    StillFrame::enabled = false;

    StillFrame::reset();
    StillFrame::stepped(3);
    StillFrame::presented(R::Window, 1);
    StillFrame::presented(R::Changed, 2);
    StillFrame::presented(R::Kept, 2);
    StillFrame::presented(R::Safety, 2);
    EXPECT_EQ(StillFrame::report(), "presented 3\nchanged 1\nwindow 1\nsafety 1\nsteps 3\n");
    StillFrame::reset();
}

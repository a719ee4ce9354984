#include "core/Game.h"

#include "audio/Audio.h"
#include "check/Checker.h"
#include "dialogue/DialogueState.h"
#include "core/GameState.h"
#include "input/Input.h"
#include "input/Keyboard.h"
#include "core/LateStatic.h"
#include "world/MainState.h"
#include "replay/Session.h"
#include "core/StepClock.h"
#include "render/ExposureWatch.h"
#include "render/PictureLayer.h"
#include "render/StillFrame.h"
#include "core/WindowLimits.h"
#include "shell/Shell.h"

#include <SFML/System/Err.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace {
// The window opens at a whole-number multiple of the picture that suits the
// desktop, or filling 90 % of it where whole numbers leave too much unused.
sf::VideoMode startMode()
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const sf::Vector2u screen(desktop.width, desktop.height);
    if (WindowLimits::fills(WindowLimits::chosenScale, false, screen)) {
        const sf::Vector2u size = WindowLimits::fillWindowSize(screen);
        return sf::VideoMode(size.x, size.y, 32);
    }
    const unsigned scale = Game::startScale(desktop.width, desktop.height);
    return sf::VideoMode(Game::pictureWidth * scale, Game::pictureHeight * scale, 32);
}

// The size to come back to from fullscreen.
sf::Vector2u windowedSize;

// Puts the window in the middle of the desktop (the windowing library puts it
// too low on screens wider than they are high, partly off screen), keeping its
// top-left corner on screen when it is larger than the desktop.
void centreOnDesktop()
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const sf::Vector2u size = Game::window.getSize();
    const int left = (static_cast<int>(desktop.width) - static_cast<int>(size.x)) / 2;
    const int top = (static_cast<int>(desktop.height) - static_cast<int>(size.y)) / 2;
    Game::window.setPosition(sf::Vector2i(std::max(left, 0), std::max(top, 0)));
}

// Makes the window anew. The windowing library reports, on every start, that
// the display cannot switch vertical sync (the game does not ask for it):
// that line is dropped, anything else it says is passed on.
void createWindow(sf::VideoMode mode, sf::Uint32 style)
{
    std::ostringstream said;
    std::streambuf* const saved = sf::err().rdbuf(said.rdbuf());
    Game::window.create(mode, "Tarnwick", style, sf::ContextSettings());
    sf::err().rdbuf(saved);
    std::istringstream lines(said.str());
    for (std::string line; std::getline(lines, line);)
        if (line.find("vertical sync") == std::string::npos)
            sf::err() << line << std::endl;
}

// The window's exposures, while the game runs with a window.
std::unique_ptr<ExposureWatch> exposure;

// TARNWICK_PRESENT_LOG=FILE: the file rewritten with the pictures presented
// (StillFrame::report) every time one is, for the tests; "" for none.
std::string presentLog;

void writePresentLog()
{
    if (presentLog.empty())
        return;
    // Whole or not at all for a reader: written aside, then renamed over.
    const std::string aside = presentLog + ".new";
    {
        std::ofstream out(aside, std::ios::trunc);
        out << StillFrame::report();
        if (!out)
            return;
    }
    std::rename(aside.c_str(), presentLog.c_str());
}

// A whole number of steps from the environment, or `otherwise`.
int stepsFromEnvironment(const char* name, int otherwise)
{
    const char* value = std::getenv(name);
    if (!value || !*value)
        return otherwise;
    char* end = nullptr;
    const long steps = std::strtol(value, &end, 10);
    return *end == '\0' && steps >= 1 && steps <= 3600 ? static_cast<int>(steps) : otherwise;
}

// What every new window needs: the frame limit, the picture in its place and
// no repeated key events (a held key goes down once).
void prepareWindow(sf::Vector2f centre)
{
    Game::window.setKeyRepeatEnabled(false);
    WindowLimits::tellWindowManager(Game::window);
    sf::View view(sf::FloatRect(0, 0, Game::pictureWidth, Game::pictureHeight));
    view.setCenter(centre);
    Game::window.setView(view);
    Game::fitView();
}
}

// Made by makeWindow(), not before main: without a display the program must
// still be able to answer --help, --version and --check.
namespace {
LateStatic<sf::RenderWindow> windowStore;
}
sf::RenderWindow& Game::window = windowStore.place();

void Game::makeWindow()
{
    windowStore.make();
}
GameState* Game::currentState = nullptr;
bool Game::running = false;
int Game::part = -1;
int Game::disguise = 0;
int Game::defacedTables = 0;
std::vector<GameState*> Game::retiredStates;
bool Game::fullscreen = false;
bool Game::headless = false;
int Game::lagMs = 0;

sf::View Game::pictureView()
{
    sf::View view(sf::FloatRect(0, 0, pictureWidth, pictureHeight));
    view.setViewport(window.getView().getViewport());
    return view;
}

sf::FloatRect Game::pictureViewport(sf::Vector2u windowSize)
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const bool fill = WindowLimits::fills(WindowLimits::chosenScale, fullscreen, {desktop.width, desktop.height});
    return WindowLimits::pictureViewport(windowSize, fill);
}

unsigned Game::startScale(unsigned desktopWidth, unsigned desktopHeight)
{
    return WindowLimits::startScale({desktopWidth, desktopHeight});
}

void Game::fitView()
{
    sf::View view = window.getView();
    view.setSize(static_cast<float>(pictureWidth), static_cast<float>(pictureHeight));
    view.setViewport(pictureViewport(window.getSize()));
    window.setView(view);
}

void Game::setFullscreen(bool on)
{
    if (on == fullscreen)
        return;
    makeWindow();
    const sf::Vector2f centre = window.getView().getCenter();
    if (on) {
        windowedSize = window.getSize();
        createWindow(sf::VideoMode::getDesktopMode(), sf::Style::Fullscreen);
    } else {
        sf::VideoMode mode = startMode();
        if (windowedSize.x > 0 && windowedSize.y > 0)
            mode = sf::VideoMode(windowedSize.x, windowedSize.y, 32);
        createWindow(mode, sf::Style::Default);
        centreOnDesktop();
    }
    fullscreen = on;
    prepareWindow(centre);
    StillFrame::invalidate();
    // A new window: the keys that switched (F11, Alt+Return) and any others
    // still held wait to be let go, so that Return does not talk.
    Keyboard::restart(window.hasFocus());
}

void Game::openWindow()
{
    makeWindow();
    if (window.isOpen())
        return;
    createWindow(startMode(), sf::Style::Default);
    centreOnDesktop();
}

void Game::initialize()
{
    // A world that cannot be shown whole or played to its end is refused
    // before it is built, every problem on a line of its own.
    Checker::refuseBrokenWorld();
    makeWindow();
    if (!headless)
        openWindow();
    prepareWindow(sf::Vector2f(pictureWidth / 2.f, pictureHeight / 2.f));
    Keyboard::initialize();
    Keyboard::focused = window.hasFocus();
    // The title screen, or the world itself with --new-game or --continue.
    currentState = Shell::begin(new MainState());
}

void Game::handleEvent(const sf::Event& event)
{
    if (event.type == sf::Event::Closed) {
        Shell::requestQuit(); // saved and ended by the next frame
        return;
    }
    if (event.type == sf::Event::Resized) {
        if (!fullscreen)
            WindowLimits::keepMinimum(window);
        fitView();
        StillFrame::invalidate();
        return;
    }
    if (event.type == sf::Event::GainedFocus)
        StillFrame::invalidate();
    if (event.type == sf::Event::KeyPressed) {
        if (Input::isKey(Action::Fullscreen, event.key.code) || (event.key.code == sf::Keyboard::Return && event.key.alt)) {
            setFullscreen(!fullscreen);
            return; // a switch of the window, not a key of the game
        }
    }
    Keyboard::handleEvent(event);
    Shell::handleEvent(event);
}

void Game::run()
{
    running = true;
    // The logic steps at 60 a second of wall time (StepClock); a picture is
    // drawn after the steps that were due, when it differs from the one on
    // screen (StillFrame). Headless, steps run back to back.
    StepClock clock;
    StillFrame::enabled = true;
    StillFrame::reset();
    // TARNWICK_REDRAW_STEPS=N: a picture at least every N steps even when
    // nothing changed (60 by default; the end-to-end helpers, which count
    // the frames shown, ask for 1).
    StillFrame::safetySteps = stepsFromEnvironment("TARNWICK_REDRAW_STEPS", StepClock::stepsPerSecond);
    const char* log = std::getenv("TARNWICK_PRESENT_LOG");
    presentLog = log ? log : "";
    if (!headless)
        exposure = std::make_unique<ExposureWatch>();
    while (true) {
        const int due = headless ? 1 : clock.wait();
        sf::Event event;
        while (window.isOpen() && window.pollEvent(event))
            handleEvent(event);
        // Like a frame before, a step is never cut short: the one in which
        // the game is told to end still runs.
        for (int i = 0; i < due; ++i) {
            if (!Session::nextKeys()) {
                running = false; // a replay ran out
                break;
            }
            Input::noteDevice();
            if (!headless && Input::padPressed(Action::Fullscreen))
                setFullscreen(!fullscreen);
            step();
            StillFrame::stepped(1);
            if (!running)
                break;
        }
        if (!headless && show() && lagMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(lagMs));
        if (!running)
            break;
    }
    exposure.reset();
    Session::finish();
    cleanUp();
}

void Game::frame()
{
    step();
    show();
}

void Game::step()
{
    Audio::update();
    // A quit asked for saves first; the pause key opens the pause menu over
    // the world instead of updating it.
    if (Shell::beforeUpdate() && currentState)
        currentState->update();
    releaseRetired();
    if (MainState* world = MainState::beneath(currentState))
        ++world->playedSteps;
}

bool Game::show()
{
    if (exposure && window.isOpen()) {
        // Uncovered, or a window made anew: what it shows may be lost.
        if (exposure->watch(window.getSystemHandle()) || exposure->exposed())
            StillFrame::invalidate();
    }
    const unsigned long long now = StillFrame::enabled ? StillFrame::digest(Shell::overlayDigest()) : 0;
    const StillFrame::Reason why = StillFrame::due(now);
    if (why == StillFrame::Reason::Kept)
        return false; // the window keeps the picture it shows
    if (currentState)
        currentState->draw();
    Shell::drawOverlay();
    PictureLayer::compose(window);
    window.display();
    window.clear(sf::Color(0, 0, 0, 255));
    StillFrame::presented(why, now);
    writePresentLog();
    return true;
}

void Game::end()
{
    running = false;
}

void Game::displayDialogue(DialogueTree const* tree, Entity* speaker)
{
    currentState = new DialogueState(currentState, speaker, tree);
}

void Game::changeState(GameState* next)
{
    GameState* old = currentState;
    currentState = next;
    if (old && old != next)
        retiredStates.push_back(old);
}

void Game::releaseRetired()
{
    // A state that was made current again stays alive.
    std::vector<GameState*> retired;
    retired.swap(retiredStates);
    for (GameState* state : retired) {
        if (state != currentState)
            delete state;
    }
}

void Game::destroyStates()
{
    releaseRetired();
    GameState* state = currentState;
    currentState = nullptr;
    destroyChain(state);
}

void Game::destroyChain(GameState* state)
{
    // A screen that does not own the one it stands over (a conversation, the
    // controls screen) leaves it to be released here, after itself; one that
    // does (a menu, the closing card) releases it itself.
    while (state) {
        GameState* next = state->ownsBelow() ? nullptr : state->below();
        delete state;
        state = next;
    }
}

void Game::cleanUp()
{
    destroyStates();
    if (windowStore.exists())
        window.close();
}

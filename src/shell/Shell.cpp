#include "shell/Shell.h"

#include "input/Input.h"

#include "i18n/Catalogue.h"
#include "i18n/Language.h"

#include "audio/Audio.h"
#include "screens/ControlsScreen.h"
#include "screens/EndingCard.h"
#include "screens/KeyHints.h"
#include "core/Game.h"
#include "dialogue/TextSpeed.h"
#include "i18n/Catalogue.h"
#include "input/Keyboard.h"
#include "world/MainState.h"
#include "screens/MenuHost.h"
#include "screens/Notice.h"
#include "screens/GuildhallMap.h"
#include "screens/PauseMenu.h"
#include "screens/Pointer.h"
#include "render/PictureDigest.h"
#include "story/SaveGame.h"
#include "screens/SettingsScreen.h"
#include "screens/ShellSettings.h"
#include "screens/TitleScreen.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <tuple>

volatile std::sig_atomic_t Shell::quitRequested = 0;

namespace {
Shell::Start opening = Shell::Start::Title;
std::optional<bool> fullscreenGiven; // --fullscreen or --window

extern "C" void askToQuit(int)
{
    // Only a flag: the loop saves and quits at its next frame.
    Shell::quitRequested = 1;
}

// What the menus ask of the shell (they may not include it).
class ShellHost final : public MenuHost {
public:
    void newGame(MainState* world) override { Shell::newGame(world); }
    bool continueGame(MainState* world) override { return Shell::continueGame(world); }
    bool save() override { return Shell::save(); }
    void toTitle() override { Shell::toTitle(); }
};
ShellHost host;
// Installed before main: every program with the menus has the driver
// (core/Game.cpp), which calls the shell, so this file is always linked in.
[[maybe_unused]] const bool hostInstalled = (MenuHost::installed = &host, true);
}

void Shell::startUp(Start start, std::optional<bool> fullscreen)
{
    opening = start;
    fullscreenGiven = fullscreen;
    const std::string warning = ShellSettings::load();
    if (!warning.empty())
        std::cerr << "tarnwick: " << warning << '\n';
    installSignalHandlers();
    KeyHints::start();
    // The settings screen's way to the controls.
    SettingsScreen::controlsScreen = [](GameState* back) -> GameState* { return new ControlsScreen(back); };
    // The sound's volumes, ten at a time, and the mute switch (M in play).
    if (SettingsScreen::entries.empty()) {
        using C = Audio::Channel;
        const std::tuple<const char*, const char*, C> volumes[] = {{"Volume", N_("Volume: {percent} %"), C::Master},
                                                                   {"Music", N_("Music: {percent} %"), C::Music},
                                                                   {"Effects", N_("Effects: {percent} %"), C::Effects}};
        for (const auto& [name, shown, channel] : volumes) {
            const char* label = shown;
            const C which = channel;
            SettingsScreen::entries.push_back(
                {std::string("audio-") + name,
                 [label, which] {
                     return fill(Catalogue::text(label), {{"percent", std::to_string(Audio::volume(which))}});
                 },
                 [which](int step) { Audio::setVolume(which, std::clamp(Audio::volume(which) + 10 * step, 0, 100)); }});
        }
        SettingsScreen::entries.push_back(KeyHints::entry());
        SettingsScreen::entries.push_back({"audio-mute",
                                           [] { return Audio::muted() ? tr("Sound: muted") : tr("Sound: on"); },
                                           [](int) { Audio::setMuted(!Audio::muted()); }});
        // The language, each named in itself; the game speaks it at once.
        SettingsScreen::entries.push_back({"language",
                                           [] {
                                               const std::string chosen = Language::setting();
                                               return tr("Language") + ": "
                                                      + (chosen == Language::automatic ? tr("Automatic")
                                                                                       : Language::ownName(chosen));
                                           },
                                           [](int step) {
                                               Language::step(step);
                                               ShellSettings::keep();
                                           }});
    }
    ShellSettings::addTextSizeEntry();
    // How fast pages type themselves out.
    TextSpeed::load();
    TextSpeed::addSettingsEntry();
    Language::apply(Language::setting());
}

GameState* Shell::begin(MainState* world)
{
    // The window as the settings have it, once it is there.
    if (!Game::headless) {
        Game::setFullscreen(fullscreenGiven ? *fullscreenGiven : ShellSettings::fullscreen());
        ShellSettings::applyWindow();
    }
    switch (opening) {
    case Start::NewGame:
        newGame(world);
        return world;
    case Start::Continue:
        if (continueGame(world))
            return world;
        std::cerr << "tarnwick: --continue: " << Notice::current() << '\n';
        delete world;
        return new TitleScreen(nullptr, SaveGame::inspect());
    case Start::Title:
        break;
    }
    return new TitleScreen(world, SaveGame::inspect());
}

void Shell::installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = askToQuit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}

void Shell::requestQuit()
{
    quitRequested = 1;
}

bool Shell::beforeUpdate()
{
    if (quitRequested) {
        quitRequested = 0;
        quit();
        return false;
    }
    Notice::step();
    // The goal line's key keeps the setting in step.
    if (auto* world = dynamic_cast<MainState*>(Game::currentState)) {
        if (world->goalLine.shown != ShellSettings::goalLine()) {
            ShellSettings::setGoalLine(world->goalLine.shown);
            ShellSettings::keep();
        }
    }
    GameState* current = Game::currentState;
    if (current && current->inPlay() && Input::pressed(Action::Pause)) {
        // The pause menu stands over the world (or the conversation), which
        // does not move again until the menu is closed.
        KeyHints::used(KeyHints::Hint::Menu);
        Game::currentState = new PauseMenu(current);
        return false;
    }
    // The map's key, in the world: the map stands over it the same way.
    if (dynamic_cast<MainState*>(current) && Input::pressed(Action::Map)) {
        Game::currentState = new GuildhallMap(current);
        return false;
    }
    return true;
}

void Shell::handleEvent(const sf::Event& event)
{
    Pointer::handleEvent(event);
}

void Shell::drawOverlay()
{
    Notice::draw();
}

unsigned long long Shell::overlayDigest()
{
    PictureDigest digest;
    digest.add(Notice::current());
    return digest.value;
}

MainState* Shell::worldInPlay()
{
    return Game::currentState ? Game::currentState->find<MainState>() : nullptr;
}

void Shell::newGame(MainState* world)
{
    // The counters the world's building leaves alone start afresh too.
    Game::defacedTables = 0;
    Game::part = -1;
    Game::disguise = 0;
    EndingCard::requested = false;
    world->goalLine.shown = ShellSettings::goalLine();
    world->playedSteps = 0;
    Audio::worldMusic();
    Game::changeState(world);
}

bool Shell::continueGame(MainState* world)
{
    Game::defacedTables = 0;
    world->goalLine.shown = ShellSettings::goalLine();
    if (!SaveGame::restore(*world)) {
        const std::string why = SaveGame::lastError;
        Notice::show(why.empty() ? tr("There is no saved game to continue.") : why);
        return false;
    }
    Audio::worldMusic();
    Game::changeState(world);
    return true;
}

bool Shell::save()
{
    MainState* world = worldInPlay();
    if (!world || !SaveGame::enabled)
        return true;
    if (SaveGame::save(*world))
        return true;
    // The reason reads "Not saved: ..." already.
    const std::string why = SaveGame::lastError;
    Notice::show(why.empty() ? tr("Not saved.") : why);
    return false;
}

void Shell::toTitle()
{
    MainState* world = nullptr;
    try {
        world = new MainState();
    } catch (const std::exception& error) {
        // The data changed under the game: say so and leave.
        std::cerr << "tarnwick: " << error.what() << '\n';
        Game::end();
        return;
    }
    // The title takes the place of the menu that asked; the menu releases
    // the world and any conversation it stood over.
    Game::changeState(new TitleScreen(world, SaveGame::inspect()));
}

void Shell::quit()
{
    if (!save())
        std::cerr << "tarnwick: " << Notice::current() << '\n';
    Game::end();
}

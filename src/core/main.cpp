#include "audio/Audio.h"
#include "check/Checker.h"
#include "launch/CatalogueFolders.h"
#include "launch/CommandLine.h"
#include "input/ControlsFile.h"
#include "launch/DataDirectory.h"
#include "launch/DisplayProbe.h"
#include "launch/PrivateDisplay.h"
#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "i18n/Language.h"
#include "replay/Session.h"
#include "shell/Shell.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    const CommandLine command(argc, argv);
    switch (command.action) {
    case CommandLine::Action::Help:
        std::cout << CommandLine::usage(
            DataDirectory::installedFolder(DataDirectory::currentExecutable()).string());
        return 0;
    case CommandLine::Action::Version:
        std::cout << CommandLine::version();
        return 0;
    case CommandLine::Action::Fail:
        std::cerr << "tarnwick: " << command.error << "; try 'tarnwick --help'\n";
        return 2;
    case CommandLine::Action::Check:
        try {
            const std::string dir = command.checkDir.empty()
                                        ? DataDirectory::find(command.dataDir).string()
                                        : command.checkDir;
            return Checker::run(dir, command.route, std::cout);
        } catch (const std::exception& error) {
            std::cerr << "tarnwick: " << error.what() << '\n';
            return 1;
        }
    case CommandLine::Action::Play:
        break;
    }

    // Even a replay without a window needs the display's graphics for its
    // pictures: without a display it makes one of its own, and the game says
    // there is none rather than let the windowing library abort.
    std::string noDisplay = DisplayProbe::problem();
    if (!noDisplay.empty() && command.headless)
        noDisplay = PrivateDisplay::start();
    if (!noDisplay.empty()) {
        std::cerr << "tarnwick: " << noDisplay << '\n';
        return 1;
    }

    try {
        // Recordings are named from the folder the game was started in.
        const auto absolute = [](const std::string& file) {
            return file.empty() ? file : std::filesystem::absolute(file).string();
        };
        const std::string recordFile = absolute(command.recordFile);
        const std::string replayFile = absolute(command.replayFile);
        // The game reads "res/..." from its working folder.
        DataDirectory::enter(command.dataDir);
        Game::headless = command.headless;
        Game::lagMs = command.lagMs;
        // The settings, where play begins, and the signals that quit.
        const Shell::Start start = command.start == CommandLine::Start::NewGame    ? Shell::Start::NewGame
                                   : command.start == CommandLine::Start::Continue ? Shell::Start::Continue
                                                                                   : Shell::Start::Title;
        // A recording starts from a new game, so that its replay meets the
        // same world whatever save there is.
        const bool recorded = !recordFile.empty() || !replayFile.empty();
        // The game's translations and the world's own; a recording is made
        // and replayed in English, so that its digests never depend on the
        // language (the shell applies the setting).
        Catalogue::setFolders(CatalogueFolders::of(DataDirectory::currentExecutable()), CatalogueFolders::world);
        Language::englishOnly = recorded;
        Shell::startUp(recorded ? Shell::Start::NewGame : start,
                       Game::headless ? std::optional<bool>(false) : command.fullscreen);
        // After the settings: a recording keeps the text speed they give, a
        // replay plays at the one it was made with.
        if (!recordFile.empty())
            Session::record(recordFile);
        if (!replayFile.empty())
            Session::replay(replayFile);
        // Controls that cannot be used give the defaults, and a line.
        if (const std::string warning = ControlsFile::load(); !warning.empty())
            std::cerr << "tarnwick: " << warning << '\n';
        Game::initialize();
        // Sound once the world stands: a world that is refused says only why.
        // A replay without a window is silent too.
        Audio::start(!command.noAudio && !command.headless);
    } catch (const std::exception& error) {
        // Missing or bad game data: say what and where on one line, then leave cleanly.
        std::cerr << "tarnwick: " << error.what() << '\n';
        Game::cleanUp();
        Audio::stop();
        return 1;
    }
    Game::run();
    Audio::stop();
    return 0;
}

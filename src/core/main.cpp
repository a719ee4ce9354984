#include "Audio.h"
#include "Checker.h"
#include "CommandLine.h"
#include "DataDirectory.h"
#include "Game.h"
#include "Settings.h"

#include <exception>
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

    try {
        // The game reads "res/..." from its working folder.
        DataDirectory::enter(command.dataDir);
        if (command.fullscreen)
            Game::setFullscreen(*command.fullscreen);
        // The player's settings (the sound's volumes among them); a file that
        // cannot be read gives the defaults and one line.
        if (const std::string warning = Settings::load(); !warning.empty())
            std::cerr << "tarnwick: " << warning << '\n';
        Game::initialize();
        // Sound once the world stands: a world that is refused says only why.
        Audio::start(!command.noAudio);
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

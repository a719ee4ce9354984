#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the player asked for when starting the game: play (possibly with a
// data folder and a window mode), check the game's data, or only print the
// help or the version.
class CommandLine {
public:
    enum class Action { Play, Help, Version, Check, Fail };

    // One option the game understands. Adding an option is adding a row to
    // options(): parsing, the help text and the error messages follow it.
    struct Option {
        std::string name;      // long name, used as --name
        char letter = 0;       // short name, used as -l; 0 for none
        std::string argument;  // the value's name in the help ("DIR"); empty for a switch
        bool argumentOptional = false; // the value may be left out ("--name" alone gives "")
        std::string help;      // one line for --help
        std::function<void(CommandLine&, const std::string& value)> apply;
    };
    static const std::vector<Option>& options();

    // Reads argv[1] to argv[argc - 1]; argv[0] is the program's name.
    CommandLine(int argc, const char* const* argv);

    Action action = Action::Play;
    // --data DIR, as given (relative to the folder the game was started from).
    std::optional<std::string> dataDir;
    // --fullscreen (true) or --window (false); the last one given wins.
    std::optional<bool> fullscreen;
    // Where play begins: the title screen, or --new-game / --continue (the
    // last one given wins).
    enum class Start { Title, NewGame, Continue };
    Start start = Start::Title;
    // --check [DIR]: the tree to check ("" for the data the game would play),
    // and --route: print the shortest route to the ending as well.
    std::string checkDir;
    bool route = false;
    // --no-audio: play without opening the audio device.
    bool noAudio = false;
    // --record FILE, --replay FILE (empty when not given), --headless, --lag MS.
    std::string recordFile;
    std::string replayFile;
    bool headless = false;
    int lagMs = 0;
    // For Action::Fail: what was wrong, one line without the program's name.
    std::string error;

    // The --help text. installedData is where this executable's installed
    // data would be (empty when it cannot be told).
    static std::string usage(const std::string& installedData);
    // The --version text, one line.
    static std::string version();
};

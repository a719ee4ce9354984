#include "launch/CommandLine.h"

#include "input/Input.h"

#include <boost/program_options.hpp>

#include <sstream>

#ifndef TARNWICK_VERSION
#define TARNWICK_VERSION "unknown"
#endif

namespace po = boost::program_options;

const std::vector<CommandLine::Option>& CommandLine::options()
{
    static const std::vector<Option> table = {
        {"help", 'h', "", false, "show this help and exit",
         [](CommandLine& c, const std::string&) { c.action = Action::Help; }},
        {"version", 'V', "", false, "show the version and exit",
         [](CommandLine& c, const std::string&) { c.action = Action::Version; }},
        {"data", 0, "DIR", false, "read the game's data from DIR (the folder that holds res/)",
         [](CommandLine& c, const std::string& dir) { c.dataDir = dir; }},
        {"fullscreen", 0, "", false, "play on the whole screen",
         [](CommandLine& c, const std::string&) { c.fullscreen = true; }},
        {"window", 0, "", false, "play in a window (the default)",
         [](CommandLine& c, const std::string&) { c.fullscreen = false; }},
        {"new-game", 0, "", false, "start a new game at once, without the title screen",
         [](CommandLine& c, const std::string&) { c.start = Start::NewGame; }},
        {"continue", 0, "", false, "continue the saved game at once, without the title screen",
         [](CommandLine& c, const std::string&) { c.start = Start::Continue; }},
        {"check", 0, "DIR", true,
         "check the data in DIR (default: the data the game would play), list every problem and exit",
         [](CommandLine& c, const std::string& dir) {
             c.action = Action::Check;
             c.checkDir = dir;
         }},
        {"route", 0, "", false, "check as --check does and print the shortest route to the ending",
         [](CommandLine& c, const std::string&) {
             c.action = Action::Check;
             c.route = true;
         }},
        {"no-audio", 0, "", false, "play without sound (no audio device is opened)",
         [](CommandLine& c, const std::string&) { c.noAudio = true; }},
        {"record", 0, "FILE", false, "write every key of this game to FILE (attach it to a bug report)",
         [](CommandLine& c, const std::string& file) { c.recordFile = file; }},
        {"replay", 0, "FILE", false, "play the game recorded in FILE again, key for key",
         [](CommandLine& c, const std::string& file) { c.replayFile = file; }},
        {"headless", 0, "", false, "with --replay: no window, as fast as it goes; print the state reached",
         [](CommandLine& c, const std::string&) { c.headless = true; }},
        {"lag", 0, "MS", false, "sleep MS milliseconds after every picture (to see a slow machine)",
         [](CommandLine& c, const std::string& ms) {
             if (ms.empty() || ms.size() > 5 || ms.find_first_not_of("0123456789") != std::string::npos
                 || std::stoi(ms) > 10000) {
                 c.action = Action::Fail;
                 c.error = "option '--lag' needs a number of milliseconds from 0 to 10000";
                 return;
             }
             c.lagMs = std::stoi(ms);
         }},
    };
    return table;
}

CommandLine::CommandLine(int argc, const char* const* argv)
{
    po::options_description described;
    for (const Option& option : options()) {
        std::string names = option.name;
        if (option.letter)
            names += std::string(",") + option.letter;
        if (option.argument.empty()) {
            described.add_options()(names.c_str(), option.help.c_str());
        } else {
            auto* value = po::value<std::string>();
            if (option.argumentOptional)
                value->implicit_value("");
            described.add_options()(names.c_str(), value, option.help.c_str());
        }
    }

    po::parsed_options parsed(&described);
    try {
        parsed = po::command_line_parser(argc, argv).options(described).run();
    } catch (const po::unknown_option& unknown) {
        action = Action::Fail;
        error = "unknown option '" + unknown.get_option_name() + "'";
        return;
    } catch (const po::error& wrong) {
        action = Action::Fail;
        error = wrong.what();
        return;
    }

    // Options take effect in the order they were given, so that the last of
    // --fullscreen and --window wins. The first of --help and --version
    // wins over everything else, wherever it stands, as if the program had
    // stopped there to answer it.
    std::optional<Action> answer;
    std::vector<std::string> loose; // words that belong to no option
    for (const po::option& given : parsed.options) {
        if (given.string_key.empty()) {
            loose.push_back(given.value.front());
            continue;
        }
        for (const Option& option : options()) {
            if (option.name != given.string_key)
                continue;
            const std::string value = given.value.empty() ? "" : given.value.front();
            if (!option.argument.empty() && !option.argumentOptional && value.empty()) {
                action = Action::Fail;
                error = "option '--" + option.name + "' needs a " + option.argument;
                return;
            }
            option.apply(*this, value);
            if (action == Action::Fail)
                return;
            if ((action == Action::Help || action == Action::Version) && !answer)
                answer = action;
        }
    }
    if (answer) {
        action = *answer;
        return;
    }
    // The folder to check may follow --route too: "--check --route DIR".
    if (action == Action::Check && checkDir.empty() && loose.size() == 1) {
        checkDir = loose.front();
        loose.clear();
    }
    if (!loose.empty()) {
        action = Action::Fail;
        error = "unexpected argument '" + loose.front() + "'";
    }
    if (action == Action::Play && headless && replayFile.empty()) {
        action = Action::Fail;
        error = "option '--headless' needs '--replay FILE'";
    } else if (action == Action::Play && !recordFile.empty() && !replayFile.empty()) {
        action = Action::Fail;
        error = "options '--record' and '--replay' cannot be used together";
    }
}

std::string CommandLine::usage(const std::string& installedData)
{
    std::ostringstream text;
    text << "Usage: tarnwick [OPTION]...\n"
            "A small top-down adventure: walk Tarnwick Guildhall, talk to the people in it\n"
            "and follow the story to its end.\n"
            "\n"
            "Options:\n";
    for (const Option& option : options()) {
        std::string names = option.letter ? std::string("-") + option.letter + ", " : "    ";
        names += "--" + option.name;
        if (!option.argument.empty())
            names += option.argumentOptional ? " [" + option.argument + "]" : " " + option.argument;
        text << "  " << names;
        text << (names.size() < 20 ? std::string(20 - names.size(), ' ') : "\n" + std::string(22, ' '));
        text << option.help << '\n';
    }
    text << "\n" << Input::helpText()
         << "\n"
            "Game data: the first of these folders that holds res/ is used:\n"
            "  1. the folder given with --data\n"
            "  2. the folder named by the environment variable TARNWICK_DATA\n";
    if (installedData.empty())
        text << "  3. the installed data beside the game (not found: the game's own path is unknown)\n";
    else
        text << "  3. the installed data, " << installedData << '\n';
    text << "  4. the current folder\n"
            "  5. while the game runs from the folder it was built in, the checkout it was built from\n";
    return text.str();
}

std::string CommandLine::version()
{
    return std::string("tarnwick ") + TARNWICK_VERSION + '\n';
}

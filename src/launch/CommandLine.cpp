#include "CommandLine.h"

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
    for (const po::option& given : parsed.options) {
        if (given.string_key.empty()) {
            action = Action::Fail;
            error = "unexpected argument '" + given.value.front() + "'";
            return;
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
            if ((action == Action::Help || action == Action::Version) && !answer)
                answer = action;
        }
    }
    if (answer)
        action = *answer;
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
    text << "\n"
            "Keys:\n"
            "  W A S D or the arrow keys  walk (hold)\n"
            "  Return or Space            talk to whoever you face\n"
            "  Space                      next page of a conversation\n"
            "  1, 2, 3 (or the keypad's)  choose an answer\n"
            "  G                          hide or show the goal line\n"
            "  M                          mute or unmute the sound\n"
            "  F11 or Alt+Return          fullscreen, and back\n"
            "  Escape                     quit\n"
            "\n"
            "Game data: the first of these folders that holds res/ is used:\n"
            "  1. the folder given with --data\n"
            "  2. the folder named by the environment variable TARNWICK_DATA\n";
    if (installedData.empty())
        text << "  3. the installed data beside the game (not found: the game's own path is unknown)\n";
    else
        text << "  3. the installed data, " << installedData << '\n';
    text << "  4. the current folder\n";
    return text.str();
}

std::string CommandLine::version()
{
    return std::string("tarnwick ") + TARNWICK_VERSION + '\n';
}

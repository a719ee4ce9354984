#include "launch/CommandLine.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

CommandLine parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "tarnwick");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    return CommandLine(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(CommandLineTest, NoArgumentsPlaysWithTheDefaults)
{
    const CommandLine line = parse({});
    EXPECT_EQ(line.action, CommandLine::Action::Play);
    EXPECT_FALSE(line.dataDir);
    EXPECT_FALSE(line.fullscreen);
}

TEST(CommandLineTest, DataFolderInEitherSpelling)
{
    EXPECT_EQ(parse({"--data", "some/dir"}).dataDir, "some/dir");
    EXPECT_EQ(parse({"--data=/abs/dir"}).dataDir, "/abs/dir");
    // A folder whose name starts like an option is still the value.
    EXPECT_EQ(parse({"--data=--window"}).dataDir, "--window");
    // Given twice, the last one counts, as with most programs.
    EXPECT_EQ(parse({"--data", "a", "--data", "b"}).dataDir, "b");
}

TEST(CommandLineTest, LastWindowModeWins)
{
    EXPECT_EQ(parse({"--fullscreen"}).fullscreen, true);
    EXPECT_EQ(parse({"--window"}).fullscreen, false);
    EXPECT_EQ(parse({"--fullscreen", "--window"}).fullscreen, false);
    EXPECT_EQ(parse({"--window", "--data", "d", "--fullscreen"}).fullscreen, true);
}

TEST(CommandLineTest, NewGameOrContinueSkipTheTitleTheLastOneWinning)
{
    using Start = CommandLine::Start;
    const std::vector<std::pair<std::vector<std::string>, Start>> cases = {
        {{}, Start::Title},
        {{"--new-game"}, Start::NewGame},
        {{"--continue"}, Start::Continue},
        {{"--continue", "--window", "--new-game"}, Start::NewGame},
        {{"--new-game", "--continue"}, Start::Continue},
    };
    for (const auto& [args, start] : cases)
        EXPECT_EQ(parse(args).start, start) << args.size();
    EXPECT_EQ(parse({"--new-game", "--help"}).action, CommandLine::Action::Help);
}

TEST(CommandLineTest, HelpAndVersionWinWhereverTheyStand)
{
    EXPECT_EQ(parse({"--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"--data", "d", "--fullscreen", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::Version);
    EXPECT_EQ(parse({"-V", "--window"}).action, CommandLine::Action::Version);
    // The first of the two decides.
    EXPECT_EQ(parse({"--version", "--help"}).action, CommandLine::Action::Version);
    EXPECT_EQ(parse({"--help", "--version"}).action, CommandLine::Action::Help);
}

TEST(CommandLineTest, CheckTakesAnOptionalFolderAndTheRoute)
{
    const CommandLine bare = parse({"--check"});
    EXPECT_EQ(bare.action, CommandLine::Action::Check);
    EXPECT_EQ(bare.checkDir, "");
    EXPECT_FALSE(bare.route);

    // The folder and the route in either order.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--check", "my/tree", "--route"}, {"--check", "--route", "my/tree"}, {"--route", "--check", "my/tree"},
             {"--route", "my/tree", "--check"}, {"--check=my/tree", "--route"}}) {
        const CommandLine both = parse(args);
        EXPECT_EQ(both.action, CommandLine::Action::Check) << args[1];
        EXPECT_EQ(both.checkDir, "my/tree") << args[1];
        EXPECT_TRUE(both.route) << args[1];
    }
    // One folder only, and only to check.
    EXPECT_EQ(parse({"--check", "a", "--route", "b"}).error, "unexpected argument 'b'");
    EXPECT_EQ(parse({"--check", "--route", "a", "b"}).error, "unexpected argument 'a'");
    EXPECT_EQ(parse({"--window", "my/tree"}).error, "unexpected argument 'my/tree'");
    EXPECT_EQ(parse({"--check=x"}).checkDir, "x");
    EXPECT_EQ(parse({"--route"}).action, CommandLine::Action::Check);
    // Help still wins, and the data folder is kept for a check without a folder.
    EXPECT_EQ(parse({"--check", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"--data", "d", "--check"}).dataDir, "d");
}

TEST(CommandLineTest, MistakesFailWithOneLine)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--x"}, "unknown option '--x'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--help", "--nonsense"}, "unknown option '--nonsense'"},
        {{"level2"}, "unexpected argument 'level2'"},
        {{"--window", "--", "--help"}, "unexpected argument '--help'"},
        {{"--data", ""}, "option '--data' needs a DIR"},
    };
    for (const auto& [args, message] : cases) {
        const CommandLine line = parse(args);
        EXPECT_EQ(line.action, CommandLine::Action::Fail) << args.front();
        EXPECT_EQ(line.error, message) << args.front();
    }
    // The parser's own words for the rest; still one line that names the option.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--data"}, {"--data="}, {"--fullscreen=yes"}}) {
        const CommandLine line = parse(args);
        EXPECT_EQ(line.action, CommandLine::Action::Fail) << args.front();
        EXPECT_NE(line.error.find(args.front().substr(0, args.front().find('='))), std::string::npos)
            << line.error;
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << line.error;
    }
}

TEST(CommandLineTest, HelpListsEveryOptionTheKeysAndTheDataSearch)
{
    const std::string help = CommandLine::usage("/opt/games/share/games/tarnwick");
    for (const CommandLine::Option& option : CommandLine::options()) {
        EXPECT_NE(help.find("--" + option.name), std::string::npos) << option.name;
        EXPECT_NE(help.find(option.help), std::string::npos) << option.name;
    }
    for (const char* words : {"Escape", "Space", "1, 2, 3", "TARNWICK_DATA", "/opt/games/share/games/tarnwick",
                              "current folder"})
        EXPECT_NE(help.find(words), std::string::npos) << words;
    EXPECT_NE(CommandLine::usage("").find("unknown"), std::string::npos);

    EXPECT_TRUE(std::regex_match(CommandLine::version(), std::regex("tarnwick [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << CommandLine::version();
}

TEST(CommandLineTest, RecordingsAndLagAreCheckedTogether)
{
    struct Case {
        std::vector<std::string> args;
        std::string error; // "" when it is good
    };
    const std::vector<Case> cases = {
        {{"--lag", "30"}, ""},
        {{"--lag", "0"}, ""},
        {{"--lag", "10000"}, ""},
        {{"--lag", "10001"}, "--lag"},
        {{"--lag", "-5"}, "--lag"},
        {{"--lag", "3.5"}, "--lag"},
        {{"--lag", "999999999999"}, "--lag"},
        {{"--record", "a.txt"}, ""},
        {{"--replay", "a.txt", "--headless"}, ""},
        {{"--headless"}, "--headless"},
        {{"--record", "a.txt", "--replay", "b.txt"}, "together"},
        {{"--headless", "--version"}, ""},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.args);
        if (c.error.empty()) {
            EXPECT_NE(line.action, CommandLine::Action::Fail) << c.args.front() << ": " << line.error;
        } else {
            EXPECT_EQ(line.action, CommandLine::Action::Fail) << c.args.front();
            EXPECT_NE(line.error.find(c.error), std::string::npos) << line.error;
        }
    }
    EXPECT_EQ(parse({"--lag", "30"}).lagMs, 30);
    EXPECT_EQ(parse({"--replay", "x", "--headless"}).replayFile, "x");
}

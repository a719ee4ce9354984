#include "check/Checker.h"

#include "check/ConversationCheck.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "screens/GoalLine.h"
#include "render/Graphics.h"
#include "story/Goals.h"
#include "core/GameState.h"
#include "world/Map.h"
#include "check/MapCheck.h"
#include "check/RoomCheck.h"
#include "resources/QuietSfml.h"
#include "resources/ResourceFile.h"
#include "story/CastFiles.h"
#include "check/SoundCheck.h"
#include "check/StoryExplorer.h"
#include "check/TextCheck.h"
#include "check/TextMeasure.h"
#include "render/WindowText.h"
#include "check/TranslationCheck.h"
#include "resources/Utf8.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>

#include <boost/property_tree/detail/file_parser_error.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

namespace fs = std::filesystem;
namespace pt = boost::property_tree;

namespace {

std::string joined(const std::vector<std::string>& errors)
{
    std::string text;
    for (const std::string& e : errors)
        text += (text.empty() ? "" : "\ntarnwick: ") + e;
    return text;
}

std::string answered(const StoryExplorer::Talk& t)
{
    std::string text;
    for (const std::vector<int>& answers : t.answers)
        for (int a : answers)
            text += (text.empty() ? "" : ", ") + std::to_string(a);
    return text.empty() ? "" : ", answering " + text;
}

std::string told(const StoryExplorer::Talk& t)
{
    const std::string cell = std::to_string(t.column) + "," + std::to_string(t.row);
    std::string text = t.walk.empty() ? "at " + cell : "walk " + StoryExplorer::describeWalk(t.walk) + " to " + cell;
    if (t.face != sf::Keyboard::Unknown)
        text += std::string(", face ") + (t.face == sf::Keyboard::Up ? "Up" : t.face == sf::Keyboard::Right ? "Right"
                                          : t.face == sf::Keyboard::Down ? "Down" : "Left");
    return text + ", talk to " + t.with + answered(t) + ": " + t.after;
}

void list(CheckReport& report, const std::string& heading, const std::vector<StoryExplorer::Talk>& talks)
{
    for (std::size_t i = 0; i < talks.size(); ++i)
        report.note(heading + std::to_string(i + 1) + ". " + told(talks[i]));
}

void exploreStory(CheckReport& report, const std::string& mapFile, bool route)
{
    // The story needs the world's shapes, not its pictures: built without
    // textures, it is explored where there is no display too.
    struct Pictureless {
        Pictureless() { Graphics::pictureless = true; }
        ~Pictureless() { Graphics::pictureless = false; }
    } pictureless;
    GameState world;
    try {
        Map().loadMap(Checker::mapName, &world);
    } catch (const std::exception& e) {
        report.note(std::string("story: not explored: the world does not load (") + e.what() + ")");
        return;
    }
    const StoryExplorer::Result result = StoryExplorer::explore(world);
    if (result.leavesMap)
        report.warning(mapFile, "the player can walk off the map, to " + std::to_string(result.leaveColumn) + ","
                                    + std::to_string(result.leaveRow)
                                    + ": close the way with something solid");
    // Everyone who can be faced should answer: silence reads as a key that did not work.
    for (const auto& [who, when] : result.silent)
        report.warning(mapFile, who + " can be faced with nothing to say (" + when
                                    + "): give it a conversation there (see the README's fixed files)");
    if (!result.complete)
        report.warning(mapFile, "the story has more than " + std::to_string(result.states)
                                    + " states, too many to explore them all: the checks below are not complete");
    if (result.trapped) {
        report.error(mapFile, "a conversation can be reached that can never be left (its answers lead nowhere): "
                              "the way into it follows; give every answer a response");
        list(report, "stuck: ", result.wayToTrap);
    }
    if (!result.endingReachable) {
        report.error(mapFile, "the story cannot be finished: the furthest it gets is " + result.furthest
                                  + ": make sure every part leaves enough victims to give the items the warden "
                                    "asks for (one more each part), and that the tables and the boss can be "
                                    "reached");
        return;
    }
    const long long talks = static_cast<long long>(result.route.size());
    report.note("story: the ending can be reached: the shortest route walks " + std::to_string(result.steps)
                + " steps and holds " + std::to_string(talks) + " conversations (" + std::to_string(result.states)
                + " states explored)");
    if (route)
        list(report, "route: ", result.route);
    if (result.deadEnd) {
        report.error(mapFile, "a dead end: after the conversations below the story can no longer be finished ("
                                  + result.deadEndState
                                  + "): make sure every part leaves enough victims to give the items the warden "
                                    "asks for, whatever the player chose before");
        list(report, "dead end: ", result.wayIn);
    } else if (result.complete && !result.trapped) {
        report.note("story: no reachable state is a dead end");
    }
}

// The goal file: read as the game reads it, every line measured against the
// strip at the top of the picture, and an ending named for every last answer.
void checkGoals(CheckReport& report)
{
    const std::string file = Goals::file;
    const std::string where = file + ": ";
    if (!fs::exists(file)) {
        report.warning(file, "missing; the game plays without a goal line, and the closing card names no ending: "
                             "write it as the README's \"Writing the goal line\" says");
        return;
    }
    Goals goals;
    try {
        goals = Goals::load(file);
    } catch (const pt::file_parser_error& e) {
        report.error(file, e.message() + ": the game does not start without it: correct it", e.line());
        return;
    } catch (const std::exception& e) {
        std::string what = e.what();
        if (what.compare(0, where.size(), where) == 0)
            what.erase(0, where.size());
        report.error(file, what + ": the game does not start without it: correct it");
        return;
    }

    Checker::measureGoalLines(report, goals, file, "");

    // The closing card names the ending by the last answer given to the boss.
    try {
        const std::string lastFile = CastFiles::boss.conversations.paths().back();
        std::unique_ptr<DialogueTree> last(DialogueTree::load(lastFile));
        for (std::size_t answer = 1; answer <= std::max<std::size_t>(1, last->options.size()); ++answer)
            if (goals.ending(static_cast<int>(answer)).empty())
                report.warning(file, "no ending is named for answer " + std::to_string(answer)
                                         + " of " + lastFile + ": add \"" + std::to_string(answer)
                                         + " = ...\" under [endings]");
    } catch (const std::exception&) {
        // The conversation's own check reports it.
    }
}

} // namespace

Checker::Refused::Refused(const std::vector<std::string>& errors)
    : std::runtime_error(joined(errors))
{
}

void Checker::measureGoalLines(CheckReport& report, const Goals& goals, const std::string& file,
                               const std::string& language)
{
    TextMeasure font;
    if (!ResourceFile::isRegular(Checker::fontFile) || !font.load(Checker::fontFile))
        return; // the font's own check says so
    const float room = Game::pictureWidth - 12.f;
    const std::string what = language.empty() ? "the goal line" : "the " + language + " goal line";
    std::set<std::string> measured;
    for (int part = -1; part < Goals::partCount; ++part)
        for (int worn = 0; worn <= 5; ++worn)
            for (int tables = std::max(part, 0); tables <= part + 1; ++tables) {
                const std::string line = goals.line(part, worn, tables);
                if (!measured.insert(line).second)
                    continue;
                const sf::FloatRect box = font.bounds(Utf8::toSfString(line), GoalLine::characterSize);
                if (box.left + box.width > room || box.top + box.height > GoalLine::height) {
                    report.warning(file, what + " \"" + line + "\" is too long for the strip at the top ("
                                             + std::to_string(static_cast<int>(box.left + box.width))
                                             + " pixels, room for " + std::to_string(static_cast<int>(room))
                                             + "): shorten it");
                    continue;
                }
                // In the large text size it wraps, to two lines at most.
                const unsigned size = WindowText::sized(GoalLine::characterSize, true);
                const auto width = [&](const std::string& part) {
                    const sf::FloatRect b = font.bounds(Utf8::toSfString(part), size);
                    return b.left + b.width;
                };
                const sf::FloatRect large = font.bounds(Utf8::toSfString(GoalLine::laidOut(line, true, width)), size);
                if (large.left + large.width > GoalLine::room || large.top + large.height + 6 > GoalLine::largeHeight)
                    report.warning(file, what + " \"" + line + "\" takes more than two lines at the large text size: shorten it");
            }
}

void Checker::checkFont(CheckReport& report)
{
    const std::string why = "the conversations are written in it: put the font back (Liberation Mono)";
    std::error_code error;
    const auto status = fs::status(fontFile, error);
    if (!fs::exists(status)) {
        report.error(fontFile, "missing; " + why);
        return;
    }
    if (!fs::is_regular_file(status)) {
        report.error(fontFile, "not a regular file; " + why);
        return;
    }
    sf::Font font;
    QuietSfml quiet;
    if (!font.loadFromFile(fontFile))
        report.error(fontFile, "not a font the game can read; " + why);
}

CheckReport Checker::check(bool route)
{
    CheckReport report;
    MapCheck map(report);
    map.run(mapName);
    if (map.readable)
        RoomCheck(report).run(mapName);
    const int mapErrors = report.errors();
    checkFont(report);
    ConversationCheck conversations(report, map);
    conversations.loadFont(fontFile);
    conversations.run();
    checkGoals(report);
    TextCheck(report).run(fontFile);
    TranslationCheck(report, conversations).run();
    SoundCheck(report).run();
    if (!map.readable || mapErrors > 0)
        report.note("story: not explored: correct the map's errors first");
    else
        exploreStory(report, map.file, route);
    return report;
}

std::vector<std::string> Checker::startupErrors()
{
    CheckReport report;
    MapCheck(report).run(mapName, true);
    RoomCheck(report).run(mapName);
    checkFont(report);
    std::vector<std::string> errors;
    for (const CheckReport::Problem& p : report.problems)
        if (p.level == CheckReport::Level::error)
            errors.push_back(p.text());
    return errors;
}

void Checker::refuseBrokenWorld()
{
    const std::vector<std::string> errors = startupErrors();
    if (!errors.empty())
        throw Refused(errors);
}

int Checker::run(const std::string& dataDir, bool route, std::ostream& out)
{
    fs::path root = dataDir.empty() ? fs::path(".") : fs::path(dataDir);
    std::error_code error;
    if (!fs::is_directory(root / "res", error) && fs::is_directory(root / "maps", error)
        && root.lexically_normal().filename() == "res")
        root = root / "..";
    if (!fs::is_directory(root / "res", error)) {
        out << root.string() << ": error: no resource folder res/ here: name the folder that holds res/\n"
            << "tarnwick --check: 1 error, 0 warnings\n";
        return 1;
    }
    const fs::path home = fs::current_path();
    fs::current_path(root);
    struct Back {
        fs::path to;
        ~Back()
        {
            std::error_code ignored;
            fs::current_path(to, ignored);
        }
    } back{home};

    const CheckReport report = check(route);
    report.print(out);
    const int errors = report.errors(), warnings = report.warnings();
    out << "tarnwick --check: " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning" : " warnings") << '\n';
    return errors > 0 ? 1 : 0;
}

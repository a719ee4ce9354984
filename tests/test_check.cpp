// The checker on small trees of its own: a sound world is clean and its story
// is proved to end (and the route it finds plays to the ending in the game);
// every problem of a broken tree is one exact line; a dead end is found with
// the way into it; start-up refuses what cannot be shown or finished.
#include "Checker.h"
#include "Game.h"
#include "GameState.h"
#include "MainState.h"
#include "Map.h"
#include "StoryDriver.h"
#include "StoryExplorer.h"
#include "TestSupport.h"
#include "Victim.h"

#include <boost/property_tree/json_parser.hpp>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// The tables lie behind the warden's door; the victims, the boss and the
// player are outside. The warden steps aside to 5,4, which blocks nothing.
const std::vector<std::string> layout = {
    "##########",
    "#P.a.b.c.#",
    "#B.......#",
    "####W#####",
    "#........#",
    "#........#",
    "#.x..y..z#",
    "##########",
};

// Tile numbers: 0 floor, 1 wall, 2 player, 3 warden, 4 table (5-7 defaced),
// 8, 10, 12 the victims (9, 11, 13 without their items), 14 the boss.
int tileOf(char c)
{
    switch (c) {
    case '#': return 1;
    case 'P': return 2;
    case 'W': return 3;
    case 'x': case 'y': case 'z': return 4;
    case 'a': return 8;
    case 'b': return 10;
    case 'c': return 12;
    case 'B': return 14;
    default: return -1;
    }
}

struct Property {
    std::string name, type, value; // value as JSON
};

std::vector<std::pair<int, std::vector<Property>>> tiles(const int parts[3])
{
    const auto victim = [&](const char* name, const char* talk, int part) {
        return std::vector<Property>{{"type", "string", "\"victim\""}, {"solid", "bool", "true"},
                                     {"part", "int", std::to_string(part)}, {"dialogue", "string", std::string("\"") + talk + "\""},
                                     {"name", "string", std::string("\"") + name + "\""}};
    };
    return {{0, {{"type", "string", "\"floor\""}, {"solid", "bool", "false"}}},
            {1, {{"type", "string", "\"wall\""}, {"solid", "bool", "true"}}},
            {2, {{"type", "string", "\"player\""}, {"solid", "bool", "false"}}},
            {3, {{"type", "string", "\"warden\""}, {"solid", "bool", "true"}, {"name", "string", "\"Warden\""}}},
            {4, {{"type", "string", "\"table\""}, {"solid", "bool", "true"}, {"name", "string", "\"Table\""}}},
            {8, victim("Ann", "ann", parts[0])},
            {10, victim("Bea", "bea", parts[1])},
            {12, victim("Cal", "cal", parts[2])},
            {14, {{"type", "string", "\"boss\""}, {"solid", "bool", "true"}, {"name", "string", "\"Boss\""}}}};
}

std::string layers(bool current)
{
    std::string floor, things;
    for (const std::string& row : layout)
        for (char c : row) {
            const std::string sep = floor.empty() ? "" : ",";
            floor += sep + "1";
            things += sep + std::to_string(tileOf(c) + 1);
        }
    const std::string size = current ? R"("type": "tilelayer", "width": 10, "height": 8, )" : "";
    return R"([{)" + size + R"("name": "floor", "data": [)" + floor + R"(]},
       {)" + size + R"("name": "things", "data": [)" + things + "]}]";
}

// The world in the older format, or in today's (version "1.8", tiles array).
std::string mapJson(const std::string& tileset, bool current = false, const int parts[3] = nullptr)
{
    static const int stayToTheEnd[3] = {2, 2, 2};
    const auto list = tiles(parts ? parts : stayToTheEnd);
    std::string text = std::string("{") + (current ? R"("version": "1.8", )" : R"("version": 1, )")
                       + R"("width": 10, "height": 8, "tilewidth": 32, "tileheight": 32,
  "layers": )" + layers(current) + R"(,
  "tilesets": [{"name": ")" + tileset + R"(", "image": "../gfx/world.png", "firstgid": 1, )";
    if (!current) {
        text += "\"tileproperties\": {";
        for (std::size_t i = 0; i < list.size(); ++i) {
            text += std::string(i ? ",\n    " : "\n    ") + "\"" + std::to_string(list[i].first) + "\": {";
            for (std::size_t k = 0; k < list[i].second.size(); ++k)
                text += (k ? ", \"" : "\"") + list[i].second[k].name + "\": " + list[i].second[k].value;
            text += "}";
        }
        return text + "}}]}";
    }
    text += R"("tilewidth": 32, "tileheight": 32, "tiles": [)";
    for (std::size_t i = 0; i < list.size(); ++i) {
        text += std::string(i ? ",\n    " : "\n    ") + "{\"id\": " + std::to_string(list[i].first) + ", ";
        std::string properties;
        for (const Property& p : list[i].second) {
            if (p.name == "type") {
                text += "\"type\": " + p.value + ", ";
                continue;
            }
            properties += std::string(properties.empty() ? "" : ", ") + "{\"name\": \"" + p.name + "\", \"type\": \""
                          + p.type + "\", \"value\": " + p.value + "}";
        }
        text += "\"properties\": [" + properties + "]}";
    }
    return text + "]}]}";
}

std::string offerXml(const std::string& who)
{
    return "<dialogue><text><l>" + who + " asks: take it?</l></text><options><o>Yes</o><o>No</o><o>Sure</o>"
           "</options><responses><r><dialogue><text><l>Here.</l></text></dialogue></r><r><dialogue><text><l>No."
           "</l></text></dialogue></r><r><dialogue><text><l>There.</l></text></dialogue></r></responses></dialogue>";
}

fs::path sourceDir()
{
    const char* dir = std::getenv("TARNWICK_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

// Everything but the map: pictures, the font, every conversation.
void writeTree(const ResourceDir& dir)
{
    dir.image("res/gfx/world.png", 128, 128);
    dir.image("res/gfx/player.png", 128, 128);
    fs::create_directories("res/fnt");
    fs::copy_file(sourceDir() / "res/fnt/LibMono.ttf", "res/fnt/LibMono.ttf");
    for (int i = 0; i < 6; ++i)
        dir.write("res/txt/warden" + std::to_string(i) + ".xml", leafXml("Warden " + std::to_string(i)));
    for (int i = 0; i < 3; ++i)
        dir.write("res/txt/table" + std::to_string(i) + ".xml", leafXml("Table " + std::to_string(i)));
    for (int i = 0; i < 4; ++i)
        dir.write("res/txt/boss" + std::to_string(i) + ".xml", leafXml("Boss " + std::to_string(i)));
    for (const char* who : {"ann", "bea", "cal"}) {
        dir.write(std::string("res/txt/") + who + ".xml", leafXml(std::string("Thanks from ") + who));
        dir.write(std::string("res/txt/") + who + "2.xml", offerXml(who));
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no " << from;
        return text;
    }
    return text.replace(at, from.size(), to);
}

std::vector<std::string> lines(const CheckReport& report)
{
    std::vector<std::string> all;
    for (const auto& p : report.problems)
        all.push_back(p.text());
    return all;
}

std::string joinedLines(const std::vector<std::string>& all)
{
    std::string text;
    for (const std::string& line : all)
        text += line + "\n";
    return text;
}

class CheckerTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
};

} // namespace

TEST_F(CheckerTest, ASoundWorldIsCleanInBothFormatsAndItsStoryIsProvedToEnd)
{
    for (bool current : {false, true}) {
        SCOPED_TRACE(current ? "today's format" : "the older format");
        ResourceDir dir;
        writeTree(dir);
        dir.write("res/maps/testmap.json", mapJson(current ? "check-sound-new" : "check-sound-old", current));
        const CheckReport report = Checker::check();
        EXPECT_EQ(joinedLines(lines(report)), "");
        ASSERT_EQ(report.notes.size(), 2u);
        EXPECT_EQ(report.notes[0].rfind("story: the ending can be reached: the shortest route walks ", 0), 0u)
            << report.notes[0];
        EXPECT_EQ(report.notes[1], "story: no reachable state is a dead end");
    }
}

TEST_F(CheckerTest, TheShortestRoutePlaysToTheEndingInTheGame)
{
    ResourceDir dir;
    writeTree(dir);
    dir.write("res/maps/testmap.json", mapJson("check-route"));
    Game::currentState = new MainState();
    const StoryExplorer::Result result = StoryExplorer::explore(*Game::currentState);
    ASSERT_TRUE(result.endingReachable);
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.deadEnd);
    // The boss; Ann; the warden, who then stays aside for good; Bea and Cal;
    // then a table and the boss in each part.
    ASSERT_EQ(result.route.size(), 11u);
    EXPECT_EQ(result.route.front().with, "Boss (boss)");
    EXPECT_EQ(result.route[2].with, "Warden (warden)");
    EXPECT_TRUE(result.route.back().ends);

    Game::running = true;
    StoryDriver driver(Game::currentState);
    for (const StoryExplorer::Talk& talk : result.route) {
        SCOPED_TRACE(talk.with + " from " + std::to_string(talk.column) + "," + std::to_string(talk.row));
        ASSERT_TRUE(driver.play(talk));
        driver.idle(1);
        if (talk.ends)
            break;
        EXPECT_EQ(Game::part, talk.part);
        EXPECT_EQ(Game::disguise, talk.disguise);
        EXPECT_EQ(Game::defacedTables, talk.defacedTables);
    }
    EXPECT_FALSE(Game::running) << "the route's last conversation ends the game";
}

TEST_F(CheckerTest, ADeadEndIsFoundWithTheWayIntoIt)
{
    // Victims of parts 0, 1 and 2: a player who gives Bea's or Cal's item
    // first and lets Ann leave has only two items when the warden wants three.
    ResourceDir dir;
    writeTree(dir);
    const int parts[3] = {0, 1, 2};
    dir.write("res/maps/testmap.json", mapJson("check-dead", false, parts));
    const CheckReport report = Checker::check();
    const std::vector<std::string> problems = lines(report);
    ASSERT_EQ(problems.size(), 1u) << joinedLines(problems);
    EXPECT_EQ(problems[0],
              "res/maps/testmap.json: error: a dead end: after the conversations below the story can no longer be "
              "finished (part 1, 1 item worn, 1 table defaced; still holding their items: Cal (part 2); Warden "
              "guards his door): make sure every part leaves enough victims to give the items the warden asks "
              "for, whatever the player chose before");
    // The ending can still be reached, and the way into the dead end is listed.
    ASSERT_GE(report.notes.size(), 2u);
    EXPECT_EQ(report.notes[0].rfind("story: the ending can be reached", 0), 0u);
    std::vector<std::string> wayIn;
    for (const std::string& note : report.notes)
        if (note.rfind("dead end: ", 0) == 0)
            wayIn.push_back(note);
    ASSERT_FALSE(wayIn.empty());
    EXPECT_NE(wayIn.back().find("talk to Boss (boss)"), std::string::npos) << wayIn.back();

    // Played in the game, the way in leaves Ann gone with her item.
    Game::currentState = new MainState();
    Game::running = true;
    const StoryExplorer::Result result = StoryExplorer::explore(*Game::currentState);
    ASSERT_TRUE(result.deadEnd);
    StoryDriver driver(Game::currentState);
    for (const StoryExplorer::Talk& talk : result.wayIn) {
        ASSERT_TRUE(driver.play(talk)) << talk.with;
        driver.idle(1);
        EXPECT_EQ(Game::part, talk.part);
        EXPECT_EQ(Game::disguise, talk.disguise);
    }
    EXPECT_EQ(Game::part, 1);
    for (Entity* e : Game::currentState->entities)
        if (auto* v = dynamic_cast<Victim*>(e)) {
            EXPECT_NE(v->name, "Ann") << "Ann should have left";
        }
}

// The checker on small trees of its own: a sound world is clean and its story
// is proved to end (and the route it finds plays to the ending in the game);
// every problem of a broken tree is one exact line; a dead end is found with
// the way into it; start-up refuses what cannot be shown or finished.
#include "check/Checker.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "screens/EndingCard.h"
#include "world/MainState.h"
#include "world/Map.h"
#include "StoryDriver.h"
#include "check/StoryExplorer.h"
#include "TestSupport.h"
#include "characters/Victim.h"

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
            {4, {{"type", "string", "\"table\""}, {"solid", "bool", "true"}, {"name", "string", "\"Table\""},
                 {"dialogue", "string", "\"desk\""}}},
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
    dir.write("res/txt/goals.ini", goalsIni());
    // So that nobody is silent: the boss between tasks, the warden before the
    // story, a table when it is not today's and once defaced.
    for (int i = 0; i < 3; ++i) {
        dir.write("res/txt/bosswait" + std::to_string(i) + ".xml", leafXml("Get on with it " + std::to_string(i)));
        dir.write("res/txt/tabledone" + std::to_string(i + 1) + ".xml", leafXml("Done " + std::to_string(i + 1)));
    }
    dir.write("res/txt/wardenwait.xml", leafXml("Not yet"));
    dir.write("res/txt/desk.xml", leafXml("A desk"));
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
    EXPECT_NE(dynamic_cast<EndingCard*>(Game::currentState), nullptr)
        << "the route's last conversation ends the story with the closing card";
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

namespace {

struct BrokenTree {
    std::string what;
    std::function<void(const ResourceDir&, std::string& map)> breakIt;
    std::vector<std::string> expected; // "{T}" stands for the case's tileset name
};

// The report on a sound tree (its map's tileset named `tileset`) once
// `breakIt` has broken it.
CheckReport checkBroken(const std::string& tileset, const std::function<void(const ResourceDir&, std::string&)>& breakIt,
                        bool current = false, const int parts[3] = nullptr)
{
    resetGame();
    ResourceDir dir;
    writeTree(dir);
    std::string map = mapJson(tileset, current, parts);
    breakIt(dir, map);
    dir.write("res/maps/testmap.json", map);
    return Checker::check();
}

void checkCorpus(const std::vector<BrokenTree>& corpus, const std::string& prefix, bool current = false,
                 const int parts[3] = nullptr)
{
    int n = 0;
    for (const BrokenTree& c : corpus) {
        SCOPED_TRACE(c.what);
        const std::string tileset = prefix + std::to_string(++n);
        const CheckReport report = checkBroken(tileset, c.breakIt, current, parts);
        const std::vector<std::string> found = lines(report);
        std::string notes;
        for (const std::string& note : report.notes)
            notes += note + "\n";
        for (std::string line : c.expected) {
            for (auto at = line.find("{T}"); at != std::string::npos; at = line.find("{T}"))
                line.replace(at, 3, tileset);
            EXPECT_NE(std::find(found.begin(), found.end(), line), found.end())
                << "wanted: " << line << "\ngot:\n" << joinedLines(found) << notes;
        }
        EXPECT_GT(report.errors() + report.warnings(), 0);
    }
}

} // namespace

TEST_F(CheckerTest, EveryProblemOfABrokenMapOrPictureIsOneLine)
{
    const std::string map = "res/maps/testmap.json: ";
    const std::string picture = "tileset \"{T}\" of res/maps/testmap.json is cut from it";
    checkCorpus(
        {
            {"the tileset's picture is missing",
             [](const ResourceDir&, std::string&) { fs::remove("res/gfx/world.png"); },
             {"res/gfx/world.png: error: missing; " + picture + ": add the picture or correct the name"}},
            {"the tileset's picture is no picture",
             [](const ResourceDir& d, std::string&) { d.write("res/gfx/world.png", "GIF? no, text"); },
             {"res/gfx/world.png: error: not a picture the game can read; " + picture
              + ": save it as a PNG picture"}},
            {"cells point past the end of the picture",
             [](const ResourceDir& d, std::string&) { d.image("res/gfx/world.png", 128, 64); },
             {map + "error: tile 14 at 1,2 in layer \"things\" lies past the end of its picture "
                    "\"../gfx/world.png\", which holds 8 tiles of 32 pixels, so the cell shows nothing: correct the "
                    "cell or enlarge the picture",
              map + "error: victim \"Ann\" (tile 8 at 3,1 in layer \"things\") has no picture without its item: "
                    "tile 9 lies past the end of \"../gfx/world.png\" (8 tiles): put that picture right after the "
                    "victim's"}},
            {"the tables lack their defaced pictures",
             [](const ResourceDir& d, std::string&) { d.image("res/gfx/world.png", 224, 32); },
             {map + "error: table \"Table\" (tile 4 at 2,6 in layer \"things\" and 2 more cells) lacks its defaced "
                    "pictures: tiles 5 to 7 must follow it in \"../gfx/world.png\", which holds 7 tiles"}},
            {"no player",
             [](const ResourceDir&, std::string& m) {
                 m = replaced(m, "\"type\": \"player\"", "\"type\": \"floor\"");
             },
             {map + "error: the map has no player: put one tile of type \"player\" on it"}},
            {"a firstgid of 0",
             [](const ResourceDir&, std::string& m) { m = replaced(m, "\"firstgid\": 1", "\"firstgid\": 0"); },
             {map + "error: tileset \"{T}\": \"firstgid\" is 0; tile numbers start at 1, so every picture would "
                    "be one off: set it to 1 (or just past the tiles of the tileset before)"}},
            {"a layer shorter than the map",
             [](const ResourceDir&, std::string& m) { m = replaced(m, ",2,2,2,2,2,2,2,2,2,2]", ",2,2,2,2,2,2,2,2,2]"); },
             {map + "error: layer \"things\" holds 79 of its 80 cells, so the rest stay empty: give every cell a "
                    "value (0 for none)"}},
            {"a table without solid, a boss without properties",
             [](const ResourceDir&, std::string& m) {
                 m = replaced(m, "\"type\": \"table\", \"solid\": true", "\"type\": \"table\"");
                 m = replaced(m, "\"14\": {\"type\": \"boss\"", "\"15\": {\"type\": \"boss\"");
             },
             {map + "error: tile 4 at 2,6 in layer \"things\" and 2 more cells has no \"solid\" property: add one, "
                    "true if it blocks the way",
              map + "error: tile 14 at 1,2 in layer \"things\" has no properties in \"tileproperties\" of the "
                    "tileset \"{T}\": give it \"type\" and \"solid\"",
              map + "error: the map has no boss, so the story can never move on or end: put a tile of type "
                    "\"boss\" on it"}},
            {"a player sheet too small for the items",
             [](const ResourceDir& d, std::string&) { d.image("res/gfx/player.png", 96, 64); },
             {"res/gfx/player.png: error: is 96 pixels wide; the player's sheet has four frames of 32 pixels across "
              "(facing up, right, down and left), or twelve with the two strides of his walk: make it 128 or 384 "
              "pixels wide",
              "res/gfx/player.png: error: has 2 rows of frames, one for each number of items worn; the map's 3 "
              "victims can give 3, so it needs 4: make it 128 pixels high"}},
            {"no font",
             [](const ResourceDir&, std::string&) { fs::remove("res/fnt/LibMono.ttf"); },
             {"res/fnt/LibMono.ttf: error: missing; the conversations are written in it: put the font back "
              "(Liberation Mono)"}},
            {"a map that is not JSON",
             [](const ResourceDir&, std::string& m) { m = replaced(m, "\"width\": 10,", "\"width\": 10,,"); },
             {"res/maps/testmap.json:1: error: expected key string: correct the file there (the map editor writes it "
              "correctly when it saves)"}},
            {"the door walled up",
             [](const ResourceDir&, std::string& m) { m = replaced(m, "2,2,2,2,4,2,2,2,2,2", "2,2,2,2,2,2,2,2,2,2"); },
             {map + "warning: the map has no warden, so nothing guards the tables and no item is ever needed: put "
                    "a tile of type \"warden\" in their door",
              map + "error: the story cannot be finished: the furthest it gets is part 0, 3 items worn, 0 tables "
                    "defaced; still holding their items: nobody: make sure every part leaves enough victims to "
                    "give the items the warden asks for (one more each part), and that the tables and the boss can "
                    "be reached"}},
            {"voices that are no pitch",
             [](const ResourceDir&, std::string& m) {
                 m = replaced(m, "\"14\": {\"type\": \"boss\"", "\"14\": {\"voice\": \"high\", \"type\": \"boss\"");
                 m = replaced(m, "\"type\": \"table\", \"solid\": true", "\"type\": \"table\", \"voice\": 9, \"solid\": true");
             },
             {map + "warning: tile 14 at 1,2 in layer \"things\": \"voice\" is \"high\": a voice's pitch is a number "
                    "from 0.25 to 4 (1 as recorded); the usual voice of its kind is used",
              map + "warning: tile 4 at 2,6 in layer \"things\" and 2 more cells: \"voice\" is \"9\": a voice's pitch "
                    "is a number from 0.25 to 4 (1 as recorded); the usual voice of its kind is used"}},
            {"a gap in the outer wall",
             [](const ResourceDir&, std::string& m) { m = replaced(m, "2,3,0,9,0,11,0,13,0,2", "0,3,0,9,0,11,0,13,0,2"); },
             {map + "warning: the player can walk off the map, to -1,1: close the way with something solid"}},
        },
        "check-map-");
}

TEST_F(CheckerTest, VictimsBelongToPartsZeroToTwo)
{
    const std::string victim = "res/maps/testmap.json: error: victim \"Ann\" (tile 8 at 3,1 in layer \"things\") has ";
    const std::string advice = "; a victim belongs to part 0, 1 or 2 of the story and leaves when the next begins: "
                               "set \"part\" to 0, 1 or 2";
    for (int part : {-3, 7}) {
        const int parts[3] = {part, 2, 2};
        checkCorpus({{"part " + std::to_string(part), [](const ResourceDir&, std::string&) {},
                      {victim + "part " + std::to_string(part) + advice}}},
                    "check-part" + std::to_string(part + 3) + "-", false, parts);
    }
}

TEST_F(CheckerTest, MapsFromTodaysEditorAreCheckedInTheirOwnTerms)
{
    const std::string map = "res/maps/testmap.json: ";
    checkCorpus(
        {
            {"an infinite map",
             [](const ResourceDir&, std::string& m) { m = replaced(m, "\"version\": \"1.8\",", "\"version\": \"1.8\", \"infinite\": true,"); },
             {map + "error: the map is infinite; the game needs a map of fixed size: untick \"Infinite\" in the "
                    "editor's Map Properties"}},
            {"a tile without a type, solid as text, a hidden layer",
             [](const ResourceDir&, std::string& m) {
                 m = replaced(m, "{\"id\": 14, \"type\": \"boss\", ", "{\"id\": 14, ");
                 m = replaced(m, "{\"name\": \"solid\", \"type\": \"bool\", \"value\": false}",
                              "{\"name\": \"solid\", \"type\": \"string\", \"value\": \"false\"}");
                 m = replaced(m, "\"name\": \"floor\", \"data\"", "\"name\": \"floor\", \"visible\": false, \"data\"");
             },
             {map + "error: tileset \"{T}\", tile 14 at 1,2 in layer \"things\" has no type: give it a class "
                    "(\"Type\" before the editor's 1.9) or a \"type\" property",
              map + "warning: tileset \"{T}\", tile 0: \"solid\" is a string property; the game reads it, but make "
                    "it a bool property",
              map + "warning: layer \"floor\" is hidden in the editor, but the game shows every layer: delete it or "
                    "make it visible"}},
            {"a tileset picture outside res/",
             [](const ResourceDir&, std::string& m) { m = replaced(m, "../gfx/world.png", "../../../world.png"); },
             {map + "error: \"res/maps/../../../world.png\" lies outside the resource folder res/: keep the game's "
                    "files inside res/"}},
        },
        "check-new-", true);
}

TEST_F(CheckerTest, EveryProblemOfAConversationIsOneLine)
{
    checkCorpus(
        {
            {"four answers, one without a response, one page too wide",
             [](const ResourceDir& d, std::string&) {
                 d.write("res/txt/ann2.xml",
                         "<dialogue>\n<text><l>" + std::string(150, 'w') + "</l></text>\n"
                         "<options><o>Yes</o><o>No</o><o>Sure</o><o>Later</o></options>\n"
                         "<responses><r><dialogue><text><l>Here.</l></text></dialogue></r>\n"
                         "<r><dialogue><text><l>No.</l></text></dialogue></r></responses>\n</dialogue>\n");
             },
             {"res/txt/ann2.xml:2: warning: the page \"wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww...\" has a word too long for a "
              "line: 901 pixels wide; the panel's lines are 540: shorten it or break it with a space",
              "res/txt/ann2.xml:3: warning: answer 3 \"Sure\" has no response, so choosing it does nothing: add a "
              "response for it",
              "res/txt/ann2.xml:3: warning: the node offers 4 answers; only the first three can be chosen (keys 1 to "
              "3): keep three"}},
            {"a conversation that can never be left",
             [](const ResourceDir& d, std::string&) {
                 d.write("res/txt/boss1.xml", "<dialogue><text><l>Well?</l></text>\n"
                                              "<options><o>Yes</o><o>No</o></options>\n"
                                              "<responses></responses></dialogue>\n");
             },
             {"res/txt/boss1.xml:2: error: none of the answers has a response, so the conversation can never end: "
              "add a <responses> entry for each answer",
              "res/maps/testmap.json: error: a conversation can be reached that can never be left (its answers "
              "lead nowhere): the way into it follows; give every answer a response"}},
            {"missing, malformed and unused files",
             [](const ResourceDir& d, std::string&) {
                 fs::remove("res/txt/bea2.xml");
                 d.write("res/txt/cal.xml", "<dialogue><text><l>Hi</text></dialogue>");
                 d.write("res/txt/extra.xml", leafXml("Nobody says this."));
                 d.write("res/txt/table1.xml", "<dialogue><words><l>Scratch.</l></words></dialogue>");
             },
             {"res/txt/bea2.xml: error: missing; victim \"Bea\" (tile 10 at 5,1) says it: write it or correct the "
              "name",
              "res/txt/cal.xml:1: error: unexpected end of data: correct the XML there",
              "res/txt/extra.xml: warning: no one on the map says it: name it in a tile's \"dialogue\", or remove it",
              "res/txt/table1.xml: error: No such node (dialogue.text): a conversation is "
              "<dialogue><text><l>...</l></text></dialogue>, with <options> and <responses> when it asks "
              "something"}},
        },
        "check-talk-");
}

TEST_F(CheckerTest, TheGoalFileIsCheckedLikeTheConversations)
{
    checkCorpus(
        {
            {"no goal file",
             [](const ResourceDir&, std::string&) { fs::remove("res/txt/goals.ini"); },
             {"res/txt/goals.ini: warning: missing; the game plays without a goal line, and the closing card names "
              "no ending: write it as the README's \"Writing the goal line\" says"}},
            {"a line too long for the strip",
             [](const ResourceDir& d, std::string&) {
                 std::string ini = goalsIni();
                 ini.replace(ini.find("start = start"), 13, "start = " + std::string(120, 'w'));
                 d.write("res/txt/goals.ini", ini);
             },
             {"res/txt/goals.ini: warning: the goal line \"" + std::string(120, 'w')
                  + "\" is too long for the strip at the top (841 pixels, room for 628): shorten it"}},
            {"an answer of the last conversation without an ending",
             [](const ResourceDir& d, std::string&) {
                 std::string ini = goalsIni();
                 ini.erase(ini.find("2 = second\n"), 11);
                 d.write("res/txt/goals.ini", ini);
                 d.write("res/txt/boss3.xml", "<dialogue><text><l>Well?</l></text>\n"
                                              "<options><o>A</o><o>B</o></options><responses>\n"
                                              "<r><dialogue><text><l>a</l></text></dialogue></r>\n"
                                              "<r><dialogue><text><l>b</l></text></dialogue></r>\n"
                                              "</responses></dialogue>\n");
             },
             {"res/txt/goals.ini: warning: no ending is named for answer 2 of res/txt/boss3.xml: add \"2 = ...\" "
              "under [endings]"}},
            {"an unknown placeholder",
             [](const ResourceDir& d, std::string&) {
                 d.write("res/txt/goals.ini", "start = {where}\n" + goalsIni().substr(14));
             },
             {"res/txt/goals.ini: error: start: unknown placeholder {where} (known: {wanted}, {worn}, {missing}): the game does not "
              "start without it: "
"correct it"}},
        },
        "check-goals-");
}

TEST_F(CheckerTest, AConversationNoOneCanLeaveIsFoundEvenWhenTheStoryCanEnd)
{
    checkCorpus({{"Cal's thanks ask a question with no way on",
                  [](const ResourceDir& d, std::string&) {
                      d.write("res/txt/cal.xml", "<dialogue><text><l>Thanks.</l></text><options><o>And?</o></options>"
                                                 "<responses/></dialogue>");
                  },
                  {"res/maps/testmap.json: error: a conversation can be reached that can never be left (its answers "
                   "lead nowhere): the way into it follows; give every answer a response"}}},
                "check-trap-");
}

TEST_F(CheckerTest, StartUpRefusesWhatCannotBeShownOrFinishedAndNothingElse)
{
    ResourceDir dir;
    writeTree(dir);
    std::string map = mapJson("check-start");
    dir.write("res/maps/testmap.json", map);
    EXPECT_TRUE(Checker::startupErrors().empty());
    EXPECT_NO_THROW(Checker::refuseBrokenWorld());

    // Conversations are the loader's to report, and warnings stay quiet.
    fs::remove("res/txt/bea2.xml");
    dir.write("res/txt/boss1.xml", "<dialogue><text><l>Well?</l></text><options><o>Yes</o></options><responses/></dialogue>");
    dir.write("res/maps/testmap.json", replaced(map, "\"type\": \"warden\"", "\"type\": \"guard\""));
    EXPECT_TRUE(Checker::startupErrors().empty());

    dir.write("res/maps/testmap.json", replaced(map, "\"type\": \"player\"", "\"type\": \"floor\""));
    fs::remove("res/fnt/LibMono.ttf");
    fs::remove("res/gfx/player.png");
    const std::vector<std::string> errors = Checker::startupErrors();
    const std::vector<std::string> expected{
        "res/maps/testmap.json: error: the map has no player: put one tile of type \"player\" on it",
        "res/gfx/player.png: error: missing; it is the player's sheet: add the picture or correct the name",
        "res/fnt/LibMono.ttf: error: missing; the conversations are written in it: put the font back (Liberation "
        "Mono)"};
    EXPECT_EQ(errors, expected);
    try {
        Checker::refuseBrokenWorld();
        FAIL() << "a world without a player was let through";
    } catch (const Checker::Refused& e) {
        // The entry point prints "tarnwick: " before it: one line for each.
        EXPECT_EQ(std::string(e.what()), expected[0] + "\ntarnwick: " + expected[1] + "\ntarnwick: " + expected[2]);
    }

    // A room that cannot be read stops the game; rooms that overlap do not.
    dir.image("res/gfx/player.png", 128, 128);
    fs::copy_file(sourceDir() / "res/fnt/LibMono.ttf", "res/fnt/LibMono.ttf");
    const auto rooms = [&](const std::string& width) {
        return replaced(map, "]}],\n  \"tilesets\"",
                        "]}, {\"type\": \"objectgroup\", \"name\": \"rooms\", \"objects\": [{\"name\": \"All\", \"x\": 0, "
                        "\"y\": 0, \"width\": " + width + ", \"height\": 256}, {\"name\": \"Top\", \"x\": 0, \"y\": 0, "
                        "\"width\": 320, \"height\": 32}]}],\n  \"tilesets\"");
    };
    dir.write("res/maps/testmap.json", rooms("320"));
    EXPECT_TRUE(Checker::startupErrors().empty());
    dir.write("res/maps/testmap.json", rooms("\"all\""));
    EXPECT_EQ(Checker::startupErrors(),
              std::vector<std::string>{"res/maps/testmap.json: error: room \"All\": \"width\" is \"all\", not a number: "
                                       "the game does not start with it: correct it"});

    // A map that cannot be read at all keeps the reader's own error.
    dir.write("res/maps/testmap.json", "{\"width\": 3,\n  \"height\": oops}");
    EXPECT_THROW(Checker::startupErrors(), boost::property_tree::json_parser_error);
}

TEST_F(CheckerTest, RunChecksTheTreeInTheFolderItIsGivenAndSaysHowItWent)
{
    ResourceDir dir;
    writeTree(dir);
    dir.write("res/maps/testmap.json", mapJson("check-run"));
    fs::create_directory("elsewhere");
    fs::current_path("elsewhere");
    const fs::path here = fs::current_path();

    for (const std::string& folder : {std::string(".."), std::string("../res"), dir.path()}) {
        std::ostringstream out;
        EXPECT_EQ(Checker::run(folder, true, out), 0) << folder << "\n" << out.str();
        EXPECT_NE(out.str().find("\nroute: 1. "), std::string::npos) << out.str();
        EXPECT_NE(out.str().find("\ntarnwick --check: 0 errors, 0 warnings\n"), std::string::npos) << out.str();
        EXPECT_EQ(fs::current_path(), here) << "the working folder is given back";
    }

    fs::remove("../res/gfx/world.png");
    std::ostringstream out;
    EXPECT_EQ(Checker::run("..", false, out), 1);
    EXPECT_EQ(out.str().find("route: "), std::string::npos);
    const std::string text = out.str();
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1), "tarnwick --check: 1 error, 0 warnings\n");

    std::ostringstream nothing;
    EXPECT_EQ(Checker::run(".", false, nothing), 1);
    EXPECT_EQ(nothing.str(), ".: error: no resource folder res/ here: name the folder that holds res/\n"
                             "tarnwick --check: 1 error, 0 warnings\n");
    fs::current_path(dir.path());
}

// Hostile tile data: a tile number at the top of the range, and a property of
// the wrong JSON kind, in the checker's words and in the game's.
TEST(HostileTiles, NumbersAtTheLimitAndPropertiesOfTheWrongKindAreNamed)
{
    struct Case {
        std::string what, cell, properties, checker, game;
    };
    const std::vector<Case> cases = {
        {"a table at the last tile number", "2147483647",
         R"("2147483646": {"type": "table", "solid": true, "name": "T"})",
         "lacks its defaced pictures: tiles 2147483647 to 2147483649 must follow it", ""},
        {"a type that is an object", "1", R"("0": {"type": {"kind": "wall"}, "solid": true})",
         "error: tile 0 at 0,0 in layer \"l\": \"type\" is a JSON object or list",
         "tile 0: \"type\" is a JSON object or list: make it a single value"},
        {"a name that is a list", "1", R"("0": {"type": "boss", "solid": true, "name": ["Mr.", "Stoat"]})",
         "\"name\" is a JSON object or list", "tile 0: \"name\" is a JSON object or list"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetGame();
        ResourceDir dir;
        dir.image("res/gfx/t.png", 32, 32);
        dir.write("res/maps/testmap.json", R"({"width": 1, "height": 1, "tileheight": 32, "tilewidth": 32,
          "layers": [{"name": "l", "data": [)" + c.cell + R"(]}],
          "tilesets": [{"name": "t", "image": "../gfx/t.png", "firstgid": 1, "tileproperties": {)"
                                               + c.properties + "}}]}");
        const std::string all = joinedLines(lines(Checker::check()));
        EXPECT_NE(all.find(c.checker), std::string::npos) << all;
        std::string refused = "no error";
        try {
            GameState world;
            Map().loadMap("testmap.json", &world);
        } catch (const std::exception& e) {
            refused = e.what();
        }
        if (!c.game.empty()) {
            EXPECT_NE(refused.find(c.game), std::string::npos) << refused;
        }
    }
}

// Everyone the player can face answers in every state the story reaches:
// each conversation left out leaves someone silent somewhere, and the checker
// names them, once each, with a state where it happens.
TEST_F(CheckerTest, SomeoneWithNothingToSayInAReachableStateIsWarnedAbout)
{
    const struct {
        const char* removed;
        const char* who;
        const char* when; // the start of the state in words
    } cases[] = {
        {"res/txt/bosswait1.xml", "Boss (boss)", "part 1,"},
        {"res/txt/wardenwait.xml", "Warden (warden)", "before the story begins"},
        {"res/txt/tabledone2.xml", "Table (table)", "part 1,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.removed);
        resetGame();
        ResourceDir dir;
        writeTree(dir);
        dir.write("res/maps/testmap.json", mapJson(std::string("check-quiet-") + c.removed));
        fs::remove(c.removed);
        const std::vector<std::string> found = lines(Checker::check());
        std::vector<std::string> silent;
        for (const std::string& line : found)
            if (line.find("can be faced with nothing to say") != std::string::npos)
                silent.push_back(line);
        // One line for each of them (the world has three tables of one name).
        ASSERT_EQ(silent.size(), std::string(c.who) == "Table (table)" ? 3u : 1u) << joinedLines(found);
        const std::string head = std::string("res/maps/testmap.json: warning: ") + c.who
                                 + " can be faced with nothing to say (" + c.when;
        for (const std::string& line : silent)
            EXPECT_EQ(line.rfind(head, 0), 0u) << line;
    }
}

// A character's facings come from rows of the characters' sheet: a row that is
// not a number, or one the sheet does not have, is worth a warning (the
// character keeps its one picture).
TEST_F(CheckerTest, FacingsNameRowsTheCharactersSheetHas)
{
    ResourceDir dir;
    writeTree(dir);
    dir.image("res/gfx/people.png", 128, 64); // two rows
    std::string map = mapJson("check-facings");
    map = replaced(map, "\"name\": \"Boss\"", "\"name\": \"Boss\", \"facings\": \"x\"");
    map = replaced(map, "\"name\": \"Ann\"", "\"name\": \"Ann\", \"facings\": 1");
    map = replaced(map, "\"name\": \"Bea\"", "\"name\": \"Bea\", \"facings\": 0");
    map = replaced(map, "\"name\": \"Warden\"", "\"name\": \"Warden\", \"facings\": 1");
    dir.write("res/maps/testmap.json", map);
    const std::string found = joinedLines(lines(Checker::check()));
    EXPECT_NE(found.find("\"Boss\" (tile 14 at "), std::string::npos) << found;
    EXPECT_NE(found.find("): \"facings\" is \"x\", not a row number of res/gfx/people.png: it keeps its one picture"),
              std::string::npos) << found;
    EXPECT_NE(found.find("faces the player from row 1 and the next of res/gfx/people.png, which has 2 rows"),
              std::string::npos) << found;
    // Bea's two rows and the warden's one are there.
    EXPECT_EQ(found.find("\"Bea\""), std::string::npos) << found;
    EXPECT_EQ(found.find("\"Warden\""), std::string::npos) << found;
}

TEST_F(CheckerTest, TextsAreCheckedForUtf8AndForCharactersTheFontLacks)
{
    const std::string written = "Caf\xC3\xA9 na\xC3\xAFve \xE2\x80\x94 \xC2\xBD d\xC3\xA9j\xC3\xA0 vu, it\xE2\x80\x99s";
    const std::string missing = "the font has no \"\xE8\xAA\x9E\" (U+8A9E), which the game shows as an empty box: "
                                "write it another way";
    const std::string notUtf8 = "which the game shows as a box: save the file as UTF-8";
    struct Case {
        const char* what;
        std::string file, text;
        std::vector<std::string> expected; // every problem about the text, in order
    } cases[] = {
        {"accents, a dash, a half and an apostrophe the font has", "res/txt/ann.xml", leafXml(written), {}},
        {"a character the font lacks, named once on its line", "res/txt/ann.xml",
         "<dialogue>\n<text><l>A \xE8\xAA\x9E and \xE8\xAA\x9E</l></text>\n</dialogue>\n",
         {"res/txt/ann.xml:2: warning: " + missing}},
        {"character references read as the characters they name", "res/txt/ann.xml",
         "<dialogue>\n<text><l>Caf&#233; &#x2014; &#x8A9E;</l></text>\n</dialogue>\n",
         {"res/txt/ann.xml:2: warning: the font has no \"&#x8A9E;\" (U+8A9E), which the game shows as an empty box: "
          "write it another way"}},
        {"Latin-1 in a conversation", "res/txt/bea.xml",
         "<dialogue>\n<text><l>Caf\xE9</l></text>\n</dialogue>\n",
         {"res/txt/bea.xml:2: error: not valid UTF-8 at column 13 (byte 0xE9), " + notUtf8}},
        {"a cut-off sequence in the goal file, after a byte order mark", "res/txt/goals.ini",
         "\xEF\xBB\xBF" + replaced(goalsIni(), "start = start", "start = \xE2\x80 start"),
         {"res/txt/goals.ini:1: error: not valid UTF-8 at column 9 (byte 0xE2), " + notUtf8}},
        {"a character the font lacks in the goal file", "res/txt/goals.ini",
         replaced(goalsIni(), "start = start", "start = \xE8\xAA\x9E"),
         {"res/txt/goals.ini:1: warning: " + missing}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CheckReport report = checkBroken("check-text-" + std::to_string(++n),
                                               [&](const ResourceDir& d, std::string&) { d.write(c.file, c.text); });
        std::vector<std::string> found;
        for (const std::string& line : lines(report))
            if (line.find("UTF-8") != std::string::npos || line.find("the font has no") != std::string::npos)
                found.push_back(line);
        EXPECT_EQ(found, c.expected);
    }
}

// The rooms: an object layer "rooms" of named rectangles after the tile
// layers. The office is rows 0-2, the hall rows 3-7 (10 x 8 cells of 32
// pixels); each case draws them wrong in one way, in both formats.
TEST_F(CheckerTest, RoomsThatOverlapOrLeaveFloorOutAreWarnedAbout)
{
    const std::string map = "res/maps/testmap.json: ";
    const auto withRooms = [](const std::string& office, const std::string& hall) {
        return [=](const ResourceDir&, std::string& m) {
            m = replaced(m, "]}],\n  \"tilesets\"",
                         "]}, {\"type\": \"objectgroup\", \"name\": \"rooms\", \"objects\": [{\"name\": \"Office\", "
                             + office + "}, {\"name\": \"Hall\", " + hall + "}]}],\n  \"tilesets\"");
        };
    };
    const std::vector<BrokenTree> corpus = {
        {"rooms that overlap",
         withRooms(R"("x": 0, "y": 0, "width": 320, "height": 128)", R"("x": 0, "y": 96, "width": 320, "height": 160)"),
         {map + "warning: the rooms \"Office\" and \"Hall\" overlap, from pixel 0,96 to 320,128: the first listed is "
                "the one named there; make them meet edge to edge"}},
        {"floor in no room",
         withRooms(R"("x": 0, "y": 0, "width": 320, "height": 96)", R"("x": 0, "y": 96, "width": 256, "height": 160)"),
         {map + "warning: 2 cells the player can walk on lie in no room (column,row: 8,4 8,5); no name is shown "
                "there: widen a room of the \"rooms\" layer over them"}},
        {"a row in no room, the hall a point",
         withRooms(R"("x": 0, "y": 0, "width": 320, "height": 96)",
                   R"("x": 0, "y": 96, "width": 320, "height": 160, "point": true}, {"name": "Hall", "x": 0, "y": 160, "width": 320, "height": 96)"),
         {map + "warning: 8 cells the player can walk on lie in no room (column,row: 1,4 2,4 3,4 4,4 5,4 and 3 "
                "more); no name is shown there: widen a room of the \"rooms\" layer over them"}},
        {"a room's size that is no number",
         withRooms(R"("x": 0, "y": 0, "width": 320, "height": 96)", R"("x": 0, "y": 96, "width": "wide", "height": 160)"),
         {map + "error: room \"Hall\": \"width\" is \"wide\", not a number: the game does not start with it: "
                "correct it"}},
    };
    checkCorpus(corpus, "rooms-");
    checkCorpus(corpus, "rooms-now-", true);
}

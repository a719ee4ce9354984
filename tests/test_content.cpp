// Checks of the shipped game data under res/: everything the game needs of
// it, and a play-through of the shipped story along the intended route.
#include "Boss.h"
#include "Checker.h"
#include "Game.h"
#include "Graphics.h"
#include "MainState.h"
#include "Map.h"
#include "MapDocument.h"
#include "Player.h"
#include "StoryDriver.h"
#include "Table.h"
#include "TestSupport.h"
#include "Victim.h"
#include "Warden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

fs::path sourceDir()
{
    const char* dir = std::getenv("TARNWICK_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

// Runs a test inside the repository root, where the game finds res/.
class ShippedContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(sourceDir());
        resetGame();
    }
    void TearDown() override
    {
        resetGame();
        fs::current_path(previous);
    }

    template <class T>
    std::vector<T*> all(GameState* state)
    {
        std::vector<T*> found;
        for (Entity* e : state->entities)
            if (auto* t = dynamic_cast<T*>(e))
                found.push_back(t);
        return found;
    }

    fs::path previous;
};

} // namespace

// Everything the game needs of res/, as the checker sees it: the map, its
// pictures, the font, every conversation (measured with the font against the
// panel) and the story, explored to prove it ends from every state it reaches.
TEST_F(ShippedContent, TheShippedTreeChecksCleanAndItsStoryIsProvedToEnd)
{
    ASSERT_TRUE(fs::exists("res/fnt/LICENSE")) << "the font comes with its licence";
    const CheckReport report = Checker::check();
    std::string problems;
    for (const CheckReport::Problem& p : report.problems)
        problems += p.text() + "\n";
    EXPECT_EQ(problems, "");
    ASSERT_EQ(report.notes.size(), 2u);
    EXPECT_EQ(report.notes[0].rfind("story: the ending can be reached", 0), 0u) << report.notes[0];
    EXPECT_EQ(report.notes[1], "story: no reachable state is a dead end");
}

TEST_F(ShippedContent, TheMapShipsInTodaysFormatAndEachSavedFormGivesTheSameWorld)
{
    ASSERT_EQ(MapDocument("res/maps/testmap.json").format, MapDocument::Format::current);
    std::vector<std::string> shipped;
    {
        GameState world;
        Map().loadMap("testmap.json", &world);
        shipped = describeEntities(world);
    }
    ASSERT_GT(shipped.size(), 1000u);

    // The same map in the older format, and as the editor saves it, beside
    // the shipped pictures and conversations.
    const fs::path source = sourceDir();
    ResourceDir dir;
    fs::create_directories("res/maps");
    for (const char* folder : {"gfx", "txt", "fnt"})
        fs::create_directory_symlink(source / "res" / folder, fs::path("res") / folder);
    for (const char* file : {"legacy.json", "tiled-1.8.json"}) {
        SCOPED_TRACE(std::string(file) + " (tools/buildmap.py renews it with the shipped map)");
        fs::copy_file(source / "tests/fixtures/shipped" / file, fs::path("res/maps") / file);
        GameState world;
        Map().loadMap(file, &world);
        EXPECT_EQ(describeEntities(world), shipped);
    }
    EXPECT_EQ(MapDocument("res/maps/legacy.json").format, MapDocument::Format::legacy);
}

// The intended route: take every disguise first, then in each part get the
// warden out of the way, deface a table and report to the boss.
TEST_F(ShippedContent, TheStoryCanBePlayedToItsEnd)
{
    Game::currentState = new MainState();
    Game::running = true;
    GameState* world = Game::currentState;
    StoryDriver driver(world);
    ASSERT_NE(driver.player(), nullptr);

    std::vector<Victim*> victims = all<Victim>(world);
    std::stable_sort(victims.begin(), victims.end(),
                     [](const Victim* a, const Victim* b) { return a->part < b->part; });
    Boss* boss = all<Boss>(world).front();
    Warden* warden = all<Warden>(world).front();

    driver.note("the disguises");
    int taken = 0;
    for (Victim* v : victims) {
        ASSERT_TRUE(driver.visit(v, 1)) << "cannot reach " << v->name;
        EXPECT_TRUE(v->disguiseTaken) << v->name;
        EXPECT_EQ(Game::disguise, ++taken);
        EXPECT_EQ(Game::part, -1);
    }

    driver.note("the boss");
    ASSERT_TRUE(driver.visit(boss));
    EXPECT_EQ(Game::part, 0);

    for (int p = 0; p <= 2; ++p) {
        driver.note("part " + std::to_string(p) + ": the warden");
        ASSERT_TRUE(driver.visit(warden)) << "cannot reach the warden in part " << p;
        driver.idle(1);
        EXPECT_EQ(warden->x, warden->asidePosition.x) << "the warden did not step aside in part " << p;
        EXPECT_EQ(warden->y, warden->asidePosition.y);

        driver.note("part " + std::to_string(p) + ": a table");
        Table* table = nullptr;
        for (Table* t : all<Table>(world))
            if (!t->defaced && !table)
                table = t;
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(driver.visit(table)) << "cannot reach a table in part " << p;
        EXPECT_TRUE(table->defaced);
        EXPECT_EQ(Game::defacedTables, p + 1);
        EXPECT_EQ(table->sprite.getTexture(), Graphics::getTexture(table->tileset, table->tile + p + 1));

        driver.note("part " + std::to_string(p) + ": the boss");
        ASSERT_TRUE(driver.visit(boss)) << "cannot reach the boss in part " << p;
        EXPECT_EQ(Game::part, p + 1);
        if (p < 2) {
            driver.idle(1);
            for (Entity* e : world->entities) {
                if (auto* v = dynamic_cast<Victim*>(e)) {
                    EXPECT_GT(v->part, p) << v->name << " should have left";
                }
            }
        }
    }
    EXPECT_FALSE(Game::running) << "the end of the boss's last conversation ends the game";

    if (const char* out = std::getenv("TARNWICK_ROUTE_FILE")) {
        std::ofstream route(out);
        for (const std::string& action : driver.actions)
            route << action << '\n';
    }
}

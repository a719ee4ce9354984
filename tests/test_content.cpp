// Checks of the shipped game data under res/: everything the game needs of
// it, and a play-through of the shipped story along the intended route.
#include "Boss.h"
#include "DialogueBox.h"
#include "DialogueTree.h"
#include "EndingCard.h"
#include "Game.h"
#include "Graphics.h"
#include "MainState.h"
#include "Player.h"
#include "StoryDriver.h"
#include "Table.h"
#include "TestSupport.h"
#include "Victim.h"
#include "Warden.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
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

// The panel is 634 pixels wide and 100 high; text starts 10 pixels in.
constexpr float textWidth = 634 - 10;
constexpr float panelHeight = 100;

struct Measure {
    sf::Font font;
    sf::Text text;
    Measure()
    {
        font.loadFromFile("res/fnt/LibMono.ttf");
        text.setFont(font);
        text.setCharacterSize(10);
    }
    sf::FloatRect of(const std::string& page)
    {
        text.setString(sf::String(page));
        return text.getLocalBounds();
    }
};

void checkNode(const DialogueTree& node, const std::string& where, const std::string& speaker,
               Measure& measure)
{
    EXPECT_FALSE(node.text.empty()) << where << ": a node without lines";
    EXPECT_LE(node.options.size(), 3u) << where << ": only three answers can be chosen";
    EXPECT_GE(node.responses.size(), node.options.size()) << where << ": an answer leads nowhere";
    for (const std::string& line : node.text) {
        EXPECT_FALSE(line.empty()) << where << ": an empty page";
        if (!line.empty()) {
            EXPECT_FALSE(std::isspace(static_cast<unsigned char>(line.front()))) << where << ": \"" << line << "\" starts with blank space";
            EXPECT_FALSE(std::isspace(static_cast<unsigned char>(line.back()))) << where << ": \"" << line << "\" ends with blank space";
        }
        const sf::FloatRect box = measure.of(speaker + "\n\n" + line);
        EXPECT_LE(box.left + box.width, textWidth) << where << ": too wide for the panel: " << line;
        EXPECT_LE(box.top + box.height, panelHeight) << where << ": too tall for the panel: " << line;
    }
    if (!node.options.empty()) {
        std::string list = speaker + "\n\n";
        for (std::size_t i = 0; i < node.options.size(); ++i)
            list += " " + std::to_string(i + 1) + ". " + node.options[i] + "\n\n";
        const sf::FloatRect box = measure.of(list);
        EXPECT_LE(box.left + box.width, textWidth) << where << ": answers too wide";
        EXPECT_LE(box.top + box.height, panelHeight) << where << ": answers too tall";
    }
    for (std::size_t i = 0; i < node.responses.size(); ++i)
        checkNode(node.responses[i], where + " > answer " + std::to_string(i + 1), speaker, measure);
}

} // namespace

TEST_F(ShippedContent, EveryConversationParsesAndFitsThePanel)
{
    ASSERT_TRUE(fs::exists("res/fnt/LibMono.ttf"));
    ASSERT_TRUE(fs::exists("res/fnt/LICENSE")) << "the font comes with its licence";
    Measure measure;

    // The longest speaker name on the map heads every page in the worst case.
    std::string longestName;
    {
        std::unique_ptr<MainState> world(new MainState());
        for (Entity* e : world->entities)
            if (e->name.size() > longestName.size())
                longestName = e->name;
    }

    int files = 0;
    for (const auto& entry : fs::directory_iterator("res/txt")) {
        if (entry.path().extension() != ".xml")
            continue;
        ++files;
        const std::string path = "res/txt/" + entry.path().filename().string();
        std::unique_ptr<DialogueTree> tree;
        ASSERT_NO_THROW(tree.reset(DialogueTree::load(path))) << path;
        checkNode(*tree, path, longestName, measure);
    }
    EXPECT_GE(files, 13);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(fs::exists("res/txt/warden" + std::to_string(i) + ".xml"));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(fs::exists("res/txt/table" + std::to_string(i) + ".xml"));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(fs::exists("res/txt/boss" + std::to_string(i) + ".xml"));
}

TEST_F(ShippedContent, TheMapHoldsTheStorysCastWithTheirPictures)
{
    Game::currentState = new MainState();
    GameState* world = Game::currentState;

    EXPECT_EQ(all<Player>(world).size(), 1u);
    EXPECT_EQ(all<Boss>(world).size(), 1u);
    EXPECT_EQ(all<Warden>(world).size(), 1u);
    EXPECT_EQ(all<Table>(world).size(), 3u) << "one table to deface in each of three parts";

    const std::vector<Victim*> victims = all<Victim>(world);
    ASSERT_GE(victims.size(), 3u);
    // However late the player starts collecting, in part p there are still
    // p + 1 disguises to be had (a victim of part p stays until part p + 1).
    for (int p = 0; p <= 2; ++p) {
        const auto still = std::count_if(victims.begin(), victims.end(),
                                         [p](const Victim* v) { return v->part >= p; });
        EXPECT_GE(still, p + 1) << "too few disguises left in part " << p;
    }
    for (const Victim* v : victims) {
        EXPECT_GE(v->part, 0);
        EXPECT_LE(v->part, 2);
        EXPECT_NE(v->dialogue, nullptr) << v->name << " has no conversation after the disguise";
        EXPECT_NE(v->secondDialogue, nullptr) << v->name << " has no conversation offering the disguise";
        EXPECT_LT(static_cast<std::size_t>(v->tile + 1), Graphics::_graphics[v->tileset].size())
            << v->name << " has no picture without the disguise";
    }
    for (const Table* t : all<Table>(world))
        EXPECT_LT(static_cast<std::size_t>(t->tile + 3), Graphics::_graphics[t->tileset].size())
            << "a table lacks its defaced pictures";

    // Four frames for every disguise count up to the number of victims.
    EXPECT_GE(Graphics::_graphics["player"].size(), 4 * (victims.size() + 1));
    for (std::size_t n = 0; n < 4 * (victims.size() + 1); ++n)
        EXPECT_EQ(Graphics::getTexture("player", static_cast<int>(n))->getSize(), sf::Vector2u(32, 32));

    // Characters block the way and introduce themselves.
    for (Entity* e : world->entities) {
        if (e->type == "victim" || e->type == "warden" || e->type == "table" || e->type == "boss") {
            EXPECT_TRUE(e->solid) << e->type << " at " << e->x << "," << e->y;
            EXPECT_NE(e->name, "undefined") << e->type << " at " << e->x << "," << e->y;
        }
        EXPECT_GT(e->bounds.width, 0) << e->type << " at " << e->x << "," << e->y << " has no picture";
    }

    // Every tile a cell uses lies in the first tileset, which starts at 1.
    boost::property_tree::ptree map;
    boost::property_tree::read_json("res/maps/testmap.json", map);
    EXPECT_GE(map.get<int>("width"), 40);
    EXPECT_GE(map.get<int>("height"), 30);
    EXPECT_GE(map.get_child("layers").size(), 2u);
    const auto& first = map.get_child("tilesets").front().second;
    EXPECT_EQ(first.get<int>("firstgid"), 1);
    const std::size_t tiles = Graphics::_graphics[first.get<std::string>("name")].size();
    for (const auto& layer : map.get_child("layers"))
        for (const auto& cell : layer.second.get_child("data")) {
            const int v = cell.second.get_value<int>();
            EXPECT_LE(static_cast<std::size_t>(v), tiles) << "cell value " << v << " beyond the first tileset";
        }
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
    EXPECT_NE(dynamic_cast<EndingCard*>(Game::currentState), nullptr)
        << "the end of the boss's last conversation puts up the closing card";

    if (const char* out = std::getenv("TARNWICK_ROUTE_FILE")) {
        std::ofstream route(out);
        for (const std::string& action : driver.actions)
            route << action << '\n';
    }
}

#include "core/Game.h"
#include "world/MainState.h"
#include "story/StoryCast.h"
#include "StoryDriver.h"
#include "story/StoryState.h"
#include "characters/Table.h"
#include "TestSupport.h"
#include "characters/Victim.h"
#include "characters/Warden.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace testing_support;
using V = StoryState::VictimState;

namespace {

// Part 1 after the first table: victim 0 has left, victim 1 gave her item,
// the warden stands aside.
StoryState sample()
{
    StoryState s;
    s.part = 1;
    s.disguise = 2;
    s.defacedTables = 1;
    s.tables = {0, 1, 0, 0};
    s.victims = {V::left, V::gave, V::kept};
    s.wardensAside = {1};
    s.column = 7;
    s.row = -2;
    s.facing = 3;
    s.playedSteps = 123456789012LL;
    return s;
}

StoryCast sampleCast()
{
    StoryCast cast;
    cast.victims = {nullptr, nullptr, nullptr};
    cast.victimParts = {0, 1, 2};
    cast.tables = 4;
    cast.wardens = 1;
    return cast;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(StoryStateText, ReadsBackWhatItWritesAndNothingElse)
{
    const StoryState s = sample();
    const std::string text = s.toText();
    std::string why;
    const auto back = StoryState::fromText("# comment\n\n" + text, &why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, s);
    EXPECT_EQ(back->digest(), s.digest());
    EXPECT_EQ(s.digest().size(), 16u);
    StoryState other = s;
    other.wardensAside[0] = 0;
    EXPECT_NE(other.digest(), s.digest());
    EXPECT_TRUE(StoryState::fromText(replaced(text, "\n", "\r\n")));

    const struct {
        std::string text;
        const char* reason;
    } bad[] = {
        {"", "\"part\" is missing"},
        {text.substr(0, text.find("played_steps")), "\"played_steps\" is missing"},
        {text + "part = 1\n", "given twice"},
        {text + "colour = red\n", "unknown key"},
        {text + "garbage\n", "is not \"key = value\""},
        {replaced(text, "part = 1", "part = one"), "not a number"},
        {replaced(text, "part = 1", "part = 1 2"), "not a number"},
        {replaced(text, "disguise = 2", "disguise = 99999999999"), "not a number"},
        {replaced(text, "played_steps = 123456789012", "played_steps = 12x"), "not a number"},
        {replaced(text, "tables = 0 1 0 0", "tables = 0 4 0 0"), "bad table"},
        {replaced(text, "tables = 0 1 0 0", "tables = 0 -1 0 0"), "bad table"},
        {replaced(text, "gave", "stole"), "bad victim"},
        {replaced(text, "wardens = aside", "wardens = away"), "bad warden"},
        {replaced(text, "7 -2 right", "7 -2 north"), "column row facing"},
        {replaced(text, "7 -2 right", "7 right"), "column row facing"},
        {std::string("part = 1\0\n", 10) + text.substr(text.find('\n') + 1), "not a number"},
    };
    for (const auto& c : bad) {
        why.clear();
        EXPECT_FALSE(StoryState::fromText(c.text, &why)) << c.text;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.reason << " / " << why;
    }
}

TEST(StoryStateCheck, RefusesWhatNoPlayCanReach)
{
    const StoryCast cast = sampleCast();
    EXPECT_EQ(sample().check(cast), "");
    StoryState start;
    start.tables.assign(4, 0);
    start.victims.assign(3, V::kept);
    start.wardensAside.assign(1, 0);
    EXPECT_EQ(start.check(cast), "");

    const struct {
        const char* what;
        std::function<void(StoryState&)> change;
    } bad[] = {
        {"does not name", [](StoryState& s) { s.tables.pop_back(); }},
        {"does not name", [](StoryState& s) { s.victims.push_back(V::kept); }},
        {"does not name", [](StoryState& s) { s.wardensAside.clear(); }},
        {"no such part", [](StoryState& s) { s.part = 4; }},
        {"no such part", [](StoryState& s) { s.part = -2; }},
        {"cannot be in part", [](StoryState& s) { s.defacedTables = 3; }},
        {"cannot be in part", [](StoryState& s) { s.defacedTables = 0; }},
        {"do not agree with the count", [](StoryState& s) { s.tables = {0, 1, 1, 0}; }},
        {"do not agree with the count", [](StoryState& s) { s.tables = {0, 2, 0, 0}; }},
        {"do not agree with the count", [](StoryState& s) { s.tables = {0, 0, 0, 0}; }},
        {"should have left", [](StoryState& s) { s.victims[0] = V::gave; }},
        {"cannot have left yet", [](StoryState& s) { s.victims[2] = V::left; s.disguise = 2; }},
        {"items worn", [](StoryState& s) { s.disguise = 3; }},
        {"items worn", [](StoryState& s) { s.disguise = 0; }},
        {"should be on guard", [](StoryState& s) { s.disguise = 1; s.victims[1] = V::kept; }},
        {"no such facing", [](StoryState& s) { s.facing = 4; }},
        {"negative time", [](StoryState& s) { s.playedSteps = -1; }},
    };
    for (const auto& c : bad) {
        StoryState s = sample();
        c.change(s);
        EXPECT_NE(s.check(cast).find(c.what), std::string::npos) << c.what << " / " << s.check(cast);
    }
}

class StoryStateWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        writeStoryWorld(dir);
        Game::running = true;
    }
    void TearDown() override { resetGame(); }

    template <class T> T* find(GameState* world, int column, int row)
    {
        for (Entity* e : world->entities)
            if (auto* t = dynamic_cast<T*>(e); t && e->x == 32 * column && e->y == 32 * row)
                return t;
        return nullptr;
    }

    ResourceDir dir;
};

TEST_F(StoryStateWorld, AWorldBuiltFromACapturedStateIsCapturedTheSame)
{
    auto* world = new MainState();
    Game::currentState = world;
    StoryState start = StoryState::capture(*world);
    EXPECT_EQ(start.toText(), "part = -1\ndisguise = 0\ndefaced_tables = 0\ntables = 0 0 0 0\n"
                              "victims = kept kept kept\nwardens = guard\nplayer = 3 4 left\nplayed_steps = 0\n");

    // Items from Ann and Bea, the boss, a table, the warden aside, the boss
    // again (Ann leaves), into the warden's room.
    StoryDriver driver(world);
    ASSERT_TRUE(driver.visit(find<Victim>(world, 1, 1), 1));
    ASSERT_TRUE(driver.visit(find<Victim>(world, 3, 1), 3));
    ASSERT_TRUE(driver.visit(find<Entity>(world, 1, 4)));
    ASSERT_TRUE(driver.visit(find<Table>(world, 3, 7)));
    ASSERT_TRUE(driver.visit(find<Warden>(world, 6, 4)));
    ASSERT_TRUE(driver.visit(find<Entity>(world, 1, 4)));
    driver.step(sf::Keyboard::Right);
    const StoryState played = StoryState::capture(*world);
    EXPECT_EQ(played.part, 1);
    EXPECT_EQ(played.tables, (std::vector<int>{0, 0, 1, 0})); // the room's table comes first
    EXPECT_EQ(played.victims, (std::vector<V>{V::left, V::gave, V::kept}));
    EXPECT_EQ(played.wardensAside, std::vector<char>{1});
    // Reading a conversation is playing too: every step counts.
    EXPECT_EQ(played.playedSteps, driver.frames);
    EXPECT_EQ(played.check(world->cast), "");
    // Everything but the conversation each character last borrowed, which it
    // chooses again at every talk.
    const auto describe = [](const GameState& w) {
        std::vector<std::string> lines = describeEntities(w);
        for (std::string& line : lines)
            line = line.substr(0, line.find(" talk "));
        return lines;
    };
    const std::vector<std::string> before = describe(*world);
    resetGame();

    Game::running = true;
    auto* fresh = new MainState();
    Game::currentState = fresh;
    // A state of another world is refused and changes nothing.
    StoryState wrong = played;
    wrong.tables.push_back(0);
    const std::vector<std::string> untouched = describeEntities(*fresh);
    std::string why;
    EXPECT_FALSE(wrong.apply(*fresh, &why));
    EXPECT_NE(why.find("does not name"), std::string::npos) << why;
    wrong = played;
    wrong.column = 0; // inside the wall
    EXPECT_FALSE(wrong.apply(*fresh, &why));
    EXPECT_NE(why.find("inside"), std::string::npos) << why;
    EXPECT_EQ(describeEntities(*fresh), untouched);
    EXPECT_EQ(Game::part, -1);

    ASSERT_TRUE(played.apply(*fresh, &why)) << why;
    EXPECT_EQ(StoryState::capture(*fresh), played);
    // The player's look follows in its first frame, as at the start.
    holdKeys({});
    updateFrame();
    const std::vector<std::string> after = describe(*fresh);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], before[i]);
    EXPECT_EQ(find<Table>(fresh, 3, 7)->defacedOrder, 1);
    // Nobody left can come back, and the world plays on: the second part's table.
    StoryDriver again(fresh);
    ASSERT_TRUE(again.visit(find<Table>(fresh, 9, 4)));
    EXPECT_EQ(Game::defacedTables, 2);
    EXPECT_EQ(find<Table>(fresh, 9, 4)->defacedOrder, 2);
}

} // namespace

// The goal file, the goal line over the world and the closing card.
#include "screens/EndingCard.h"
#include "screens/TitleScreen.h"
#include "core/Game.h"
#include "screens/GoalLine.h"
#include "story/Goals.h"
#include "world/MainState.h"
#include "TestSupport.h"

#include <SFML/System/Sleep.hpp>
#include <boost/property_tree/exceptions.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace testing_support;
using K = sf::Keyboard;

namespace {

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const boost::property_tree::ptree_error& e) {
        return e.what();
    }
    return "no error";
}

class GoalsTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }

    std::string errorLoading(const std::string& ini)
    {
        dir.write("res/txt/goals.ini", ini);
        return errorOf([] { Goals::load(Goals::file); });
    }

    ResourceDir dir;
};

TEST_F(GoalsTest, EachSituationHasItsLineWithTheCountsFilledIn)
{
    dir.write("res/txt/goals.ini", goalsIni());
    const Goals goals = Goals::load(Goals::file);

    EXPECT_EQ(goals.line(-1, 0, 0), "start");
    EXPECT_EQ(goals.line(-1, 4, 0), "start");
    // Part 0: short of livery, then let by, then the table is done.
    EXPECT_EQ(goals.line(0, 0, 0), "part0 livery 1/0");
    EXPECT_EQ(goals.line(0, 1, 0), "part0 table 1/1");
    EXPECT_EQ(goals.line(0, 0, 1), "part0 report 1/0");
    EXPECT_EQ(goals.line(0, 5, 1), "part0 report 1/5");
    // Later parts want more: exactly p items are still too few.
    EXPECT_EQ(goals.line(1, 1, 1), "part1 livery 2/1");
    EXPECT_EQ(goals.line(1, 2, 1), "part1 table 2/2");
    EXPECT_EQ(goals.line(2, 2, 2), "part2 livery 3/2");
    EXPECT_EQ(goals.line(2, 3, 2), "part2 table 3/3");
    EXPECT_EQ(goals.line(2, 3, 3), "part2 report 3/3");
    // After the last part, nothing is left to do.
    EXPECT_EQ(goals.line(3, 3, 3), "");

    EXPECT_EQ(goals.ending(1), "first");
    EXPECT_EQ(goals.ending(3), "third");
    EXPECT_EQ(goals.ending(0), "");
    EXPECT_EQ(goals.ending(4), "");
}

TEST_F(GoalsTest, AuthorsMayCommentIndentAndSaveWithWindowsLineEnds)
{
    std::string ini = "; what to do next\r\n# and another comment\r\n  start  =  Go {missing} more, {wanted} in all  \r\n";
    for (int p = 0; p < 3; ++p)
        ini += "[part" + std::to_string(p) + "]\r\nlivery=l\r\ntable = t {worn}\r\nreport = r\r\n";
    dir.write("res/txt/goals.ini", ini);
    const Goals goals = Goals::load(Goals::file);
    EXPECT_EQ(goals.start, "Go {missing} more, {wanted} in all");
    EXPECT_EQ(goals.line(1, 2, 1), "t 2");
    EXPECT_TRUE(goals.endings.empty());
    // Before the story begins, the counts are those of its first part.
    EXPECT_EQ(goals.line(-1, 0, 0), "Go 1 more, 1 in all");
    EXPECT_EQ(goals.line(-1, 3, 0), "Go 0 more, 1 in all");
}

TEST_F(GoalsTest, AFileTheGameCannotUseIsRefusedNamingTheFile)
{
    const std::string complete = goalsIni();
    auto without = [&](const std::string& line) {
        std::string ini = complete;
        ini.erase(ini.find(line), line.size() + 1);
        return ini;
    };
    struct Case {
        std::string ini, expected;
    };
    const Case cases[] = {
        {without("report = part1 report {wanted}/{worn}"), "res/txt/goals.ini: missing entry ([part1] report)"},
        {without("start = start"), "res/txt/goals.ini: missing entry (start)"},
        {complete + "[part3]\nlivery = x\n", "res/txt/goals.ini: unknown entry [part3]"},
        {complete.substr(0, complete.find("[endings]")) + "repport = x\n", "unknown entry [part2] repport"},
        {"start =\n" + complete.substr(complete.find('\n') + 1), "res/txt/goals.ini: start is empty"},
        {complete + "[part9", "res/txt/goals.ini(18): unmatched '['"},
        {"start = start\nthis line has no equals sign\n", "res/txt/goals.ini(2): '=' character not found in line"},
        {complete + "1 = again\n", "res/txt/goals.ini(18): duplicate key name"},
        {"start = Wear {wornn} items\n" + complete.substr(complete.find('\n') + 1), "start: unknown placeholder {wornn}"},
        {"start = Wear {worn items\n" + complete.substr(complete.find('\n') + 1), "start: a '{' without its '}'"},
        {complete + "last = x\n", "[endings] last: endings are numbered from 1"},
        {complete + "0 = x\n", "[endings] 0: endings are numbered from 1"},
    };
    for (const Case& c : cases)
        EXPECT_NE(errorLoading(c.ini).find(c.expected), std::string::npos)
            << "wanted \"" << c.expected << "\", got \"" << errorLoading(c.ini) << "\" for:\n" << c.ini;

    EXPECT_NE(errorOf([] { Goals::load("res/txt/none.ini"); }).find("res/txt/none.ini: cannot open file"),
              std::string::npos);
    dir.write("res/txt/folder.ini/x", "");
    EXPECT_NE(errorOf([] { Goals::load("res/txt/folder.ini"); }).find("not a regular file"), std::string::npos);
}

// A world of three cells: a talking sign, the player (facing it) and floor.
class GoalLineTest : public GoalsTest {
protected:
    void build()
    {
        signWorld(dir);
        Game::currentState = world = new MainState();
        Game::running = true;
    }
    void frame(std::initializer_list<K::Key> keys = {})
    {
        holdKeys(keys);
        updateFrame();
    }
    // Whether the goal line's strip shows at the top right of the picture,
    // beyond its text.
    bool stripShown()
    {
        Game::window.clear(sf::Color::Black);
        Game::currentState->draw();
        return windowPixel(636, 4) == GoalLine::background;
    }

    MainState* world = nullptr;
};

TEST_F(GoalLineTest, TheLineStaysAtTheTopOfThePictureWhileThePlayerWalks)
{
    build();
    frame();
    EXPECT_EQ(world->goalLine.text(), "start");
    EXPECT_TRUE(stripShown());
    EXPECT_NE(windowPixel(636, 30), GoalLine::background) << "a thin strip";

    // Wherever the camera looks, the strip is drawn in picture coordinates.
    sf::View far = Game::window.getView();
    far.setCenter(5000, -3000);
    Game::window.setView(far);
    EXPECT_TRUE(stripShown());
    EXPECT_EQ(Game::window.getView().getCenter(), far.getCenter()) << "the camera is left as it was";

    // It follows the counters.
    Game::part = 1;
    Game::disguise = 1;
    Game::defacedTables = 1;
    EXPECT_EQ(world->goalLine.text(), "part1 livery 2/1");
}

TEST_F(GoalLineTest, TheLineIsHiddenWhileAConversationIsOpenAndByItsKey)
{
    build();
    frame();
    frame({K::Return});
    ASSERT_NE(openBox(), nullptr);
    EXPECT_FALSE(stripShown()) << "hidden under a conversation";
    frame();
    frame({K::Space});
    ASSERT_EQ(Game::currentState, world);
    EXPECT_TRUE(stripShown());

    // The key switches it off and on; holding it counts once.
    frame({GoalLine::toggleKey});
    frame({GoalLine::toggleKey});
    EXPECT_FALSE(stripShown());
    frame();
    frame({GoalLine::toggleKey});
    EXPECT_TRUE(stripShown());

    // The key means nothing inside a conversation.
    frame();
    frame({K::Return});
    frame({GoalLine::toggleKey});
    frame({K::Space});
    EXPECT_EQ(Game::currentState, world);
    EXPECT_TRUE(stripShown());
}

class EndingCardTest : public GoalLineTest {
protected:
    // Ends the story with `choice` as the last answer; the card goes up in
    // the world's next update.
    EndingCard* endWith(int choice)
    {
        Game::part = 3;
        EndingCard::request(choice);
        EXPECT_TRUE(stripShown() == false) << "no goal line once the story has ended";
        frame();
        return dynamic_cast<EndingCard*>(Game::currentState);
    }
};

TEST_F(EndingCardTest, TheCardStandsOverTheWorldAndNamesTheEnding)
{
    build();
    frame();
    EndingCard* card = endWith(2);
    ASSERT_NE(card, nullptr);
    EXPECT_FALSE(EndingCard::requested);
    EXPECT_EQ(card->world, world);
    EXPECT_EQ(card->ending, "Ending 2 of 3: second");
    EXPECT_GE(card->played, sf::Time::Zero);
    EXPECT_LT(card->played, sf::seconds(60));
    EXPECT_TRUE(Game::running);

    Game::window.clear(sf::Color::Black);
    card->draw();
    EXPECT_EQ(windowPixel(110, 175), sf::Color(0, 50, 200)) << "the card's panel";
    EXPECT_NE(windowPixel(636, 4), GoalLine::background) << "no goal line under the card";
    // The card is the last state: destroying it releases the world (the
    // sanitizer run would report a leak otherwise).
}

TEST_F(EndingCardTest, TheCardGoesToTheTitleAfterFourSecondsOfSteps)
{
    build();
    frame();
    EndingCard* card = endWith(1);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->duration, 4 * 60);
    EXPECT_EQ(card->grace, 30);
    for (int i = 0; i < 4 * 60; ++i)
        frame();
    EXPECT_EQ(Game::currentState, card) << "up for the whole of its 240 steps";
    frame();
    EXPECT_NE(dynamic_cast<TitleScreen*>(Game::currentState), nullptr);
    EXPECT_TRUE(Game::running);
}

TEST_F(EndingCardTest, AKeyPressedAfterAShortGraceGoesToTheTitle)
{
    build();
    frame();
    EndingCard* card = endWith(3);
    ASSERT_NE(card, nullptr);
    card->grace = 3;
    frame({K::Space}); // keys tapped at once are ignored
    frame({K::Q});
    EXPECT_EQ(Game::currentState, card);
    frame({K::Q}); // still held: not a new press
    EXPECT_EQ(Game::currentState, card);
    frame();
    frame({K::Q});
    EXPECT_NE(dynamic_cast<TitleScreen*>(Game::currentState), nullptr);
}

TEST(EndingCardText, TimeAndEndingReadNaturally)
{
    EXPECT_EQ(EndingCard::formatTime(sf::Time::Zero), "0 s");
    EXPECT_EQ(EndingCard::formatTime(sf::seconds(-3)), "0 s");
    EXPECT_EQ(EndingCard::formatTime(sf::seconds(59.9f)), "59 s");
    EXPECT_EQ(EndingCard::formatTime(sf::seconds(60)), "1 min 00 s");
    EXPECT_EQ(EndingCard::formatTime(sf::seconds(252)), "4 min 12 s");
    EXPECT_EQ(EndingCard::formatTime(sf::seconds(3599)), "59 min 59 s");
    EXPECT_EQ(EndingCard::formatTime(sf::seconds(3725)), "1 h 02 min");

    Goals goals;
    EXPECT_EQ(EndingCard::describe(goals, 1), "The end");
    goals.endings[1] = "Home for tea";
    EXPECT_EQ(EndingCard::describe(goals, 1), "Home for tea");
    EXPECT_EQ(EndingCard::describe(goals, 0), "The end") << "no answer was chosen";
    goals.endings[2] = "Promoted";
    EXPECT_EQ(EndingCard::describe(goals, 2), "Ending 2 of 2: Promoted");
    EXPECT_EQ(EndingCard::describe(goals, 7), "The end");
    goals.endings[2] = "{total} cheers for {name}";
    EXPECT_EQ(EndingCard::describe(goals, 2), "Ending 2 of 2: {total} cheers for {name}")
        << "a name is shown as written, never read as a placeholder";
}

TEST_F(GoalsTest, AWorldWithoutAGoalFilePlaysWithoutAGoalLineButABrokenOneIsRefused)
{
    dir.write("res/maps/testmap.json", R"({"width": 1, "height": 1, "tileheight": 32, "layers": [{"data": [1]}],
      "tilesets": [{"name": "no-goals", "image": "none.png", "firstgid": 1, "tileproperties": {"0": {"type": "floor", "solid": false}}}]})");
    EXPECT_EQ(errorOf([] {
                  MainState world;
                  EXPECT_EQ(world.goalLine.text(), "");
                  EXPECT_EQ(EndingCard::describe(world.goalLine.goals, 1), "The end");
              }),
              "no error");
    dir.write("res/txt/goals.ini", "start = go\n");
    EXPECT_NE(errorOf([] { MainState world; }).find("res/txt/goals.ini: missing entry ([part0] livery)"),
              std::string::npos);
}

} // namespace

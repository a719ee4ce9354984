// The steady clock, the recording's text form, a conversation's replay at
// every text speed and the checker's text measuring against the game's own
// text drawing.
#include "replay/Recording.h"
#include "replay/Session.h"
#include "replay/StateDigest.h"
#include "core/Game.h"
#include "dialogue/TextSpeed.h"
#include "disk/WorldIdentity.h"
#include "world/MainState.h"
#include "StoryDriver.h"
#include "TestSupport.h"
#include "core/StepClock.h"
#include "check/TextMeasure.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(StepClock, StepsFollowWallTimeAndCatchUpOnlyAFew)
{
    // Each row: the time of a call (ms from the start) and the steps due then.
    struct Call {
        double ms;
        int due;
    };
    const std::vector<Call> calls = {
        {0, 1},       // the first step at once
        {5, 0},       // early: nothing due
        {16.7, 1},    // on time
        {33.4, 1},
        {83.4, 3},    // a frame 50 ms late: the three steps it missed
        {84, 0},
        {1084, 6},    // a second lost: six steps, the rest dropped
        {1090, 0},    // and no catching up afterwards
        {1101, 1},    // back at the pace, on the same beat
        {1117.7, 1},
    };
    double at = 0;
    StepClock clock([&] { return static_cast<StepClock::Micros>(at * 1000); });
    for (const Call& c : calls) {
        at = c.ms;
        EXPECT_EQ(clock.due(), c.due) << "at " << c.ms << " ms";
    }
    at = 1120;
    EXPECT_NEAR(static_cast<double>(clock.untilNext()), 1133.33e3 - 1120e3, 20) << "the next step's start";
}

TEST(StepClock, AnHourOfStepsDoesNotDrift)
{
    StepClock::Micros at = 0;
    StepClock clock([&] { return at; });
    long long steps = 0;
    for (at = 0; at <= 3600LL * 1000000; at += 16000) // frames a little quicker than steps
        steps += clock.due();
    EXPECT_EQ(steps, 3600LL * 60 + 1);
}

Recording::Keys keys(std::initializer_list<int> down)
{
    Recording::Keys k;
    for (int d : down)
        k.set(static_cast<std::size_t>(d));
    return k;
}

TEST(Recording, StepsAreKeptAsRunsAndReadBackTheSame)
{
    Recording r;
    r.version = "1.2.3";
    r.world = "00112233aabbccdd";
    for (int i = 0; i < 40; ++i)
        r.add(keys({}));
    for (int i = 0; i < 12; ++i)
        r.add(keys({72, 73}));
    r.add(keys({sf::Keyboard::KeyCount - 1}));
    Recording::Pad pad;
    pad.set(PadInputs::South).set(PadInputs::DPadRight);
    r.add(keys({72}), pad);
    r.add(keys({72}), pad);
    r.add(keys({72}));
    EXPECT_EQ(r.runs.size(), 5u);
    EXPECT_EQ(r.steps(), 56);
    const std::string text = r.toText();
    EXPECT_EQ(text, "tarnwick-recording 1\nversion 1.2.3\nworld 00112233aabbccdd\n40\n12 72 73\n1 100\n2 72 p0 p33\n"
                    "1 72\nend 56\n");
    std::istringstream in(text + "# a note after the end\n");
    const Recording back = Recording::parse(in);
    EXPECT_EQ(back.version, r.version);
    EXPECT_EQ(back.world, r.world);
    EXPECT_TRUE(back.runs == r.runs);
    EXPECT_TRUE(back.complete);

    // Cut short, as a game that crashed leaves it: good up to where it stops.
    std::istringstream cut("tarnwick-recording 1\nversion 1.2.3\nworld 00112233aabbccdd\n40\n");
    const Recording partial = Recording::parse(cut);
    EXPECT_FALSE(partial.complete);
    EXPECT_EQ(partial.steps(), 40);
}

TEST(Recording, DamagedFilesAreRefusedNamingTheLine)
{
    const std::string head = "tarnwick-recording 1\nversion 1\nworld ab\n";
    struct Case {
        std::string text;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"", "empty file"},
        {"a saved game\n", "not a recording"},
        {"tarnwick-recording 1\n5\n", "line 2: steps before the version"},
        {"tarnwick-recording 1\nversion 1\n", "no version and world"},
        {head + "0\n", "line 4: \"0\" is not a number of steps"},
        {head + "-3\n", "line 4: \"-3\" is not a number"},
        {head + "99999999999999999999\n", "is not a number of steps"},
        {head + "5 101\n", "line 4: \"101\" is not a key number"},
        {head + "5 7x\n", "\"7x\" is not a key number"},
        {head + "5 p40\n", "line 4: \"p40\" is not a pad input (p0 to p39)"},
        {head + "5 72 p\n", "\"p\" is not a pad input"},
        {head + "5\nend 6\n", "line 5: the end line counts 6 steps, the file 5"},
        {head + "5\nend 5\n3\n", "line 6: more after the end"},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.text);
        try {
            Recording::parse(in);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

// A talk to the sign, recorded at each text speed and left while its second
// page types itself out (at instant: on its third): the recording names the speed, and its replay, begun
// at instant as the tests have it, reaches the same state. Without that line
// (as recordings made before pages typed themselves) it replays at instant.
TEST(Recording, AConversationReplaysToTheSameStateAtEveryTextSpeed)
{
    using testing_support::ResourceDir;
    using Speed = TextSpeed::Speed;
    for (const Speed speed : {Speed::Slow, Speed::Normal, Speed::Fast, Speed::Instant}) {
        SCOPED_TRACE(TextSpeed::name(speed));
        testing_support::resetGame();
        ResourceDir dir;
        testing_support::signWorld(dir);
        dir.write("res/txt/sign.xml", "<dialogue><text><l>Keep off the grass.</l>"
                                      "<l>By order of the Guild's gardener, Mr. Amos Fairweather.</l>"
                                      "<l>Thank you.</l></text></dialogue>");
        TextSpeed::current = speed;
        Game::running = true;
        Game::currentState = new MainState();
        testing_support::StoryDriver driver(Game::currentState);
        driver.talk();
        driver.idle(3);
        driver.press(sf::Keyboard::Space); // completes the first page, or turns it
        driver.press(sf::Keyboard::Space);
        driver.idle(3);
        ASSERT_NE(testing_support::openBox(), nullptr);
        const std::string played = StateDigest::now();

        Recording recording = driver.recording;
        recording.version = Session::gameVersion();
        recording.world = WorldIdentity::of(".");
        const auto replayed = [&](const std::string& textSpeed) {
            recording.textSpeed = textSpeed;
            std::ofstream(dir.path() + "/play.txt") << recording.toText();
            testing_support::resetGame();
            Game::running = true;
            Game::currentState = new MainState();
            Session::replay(dir.path() + "/play.txt");
            while (Session::nextKeys())
                Game::step();
            Session::reset();
            return StateDigest::now();
        };
        EXPECT_EQ(replayed(TextSpeed::name(speed)), played);
        if (speed != Speed::Instant) {
            EXPECT_NE(replayed(""), played);
        }
    }
    testing_support::resetGame();
}

TEST(TextMeasure, MeasuresAsTheGameDrawsText)
{
    const std::string font = std::string(std::getenv("TARNWICK_SOURCE_DIR")) + "/res/fnt/LibMono.ttf";
    TextMeasure measure;
    ASSERT_TRUE(measure.load(font));
    sf::Font drawn;
    ASSERT_TRUE(drawn.loadFromFile(font));
    sf::Text text;
    text.setFont(drawn);
    const std::vector<std::string> lines = {
        "",       "A",     "Hello, world",           "two\nlines\n\n",  "tab\there", "  spaces  ",
        "gjpqy|", "caf\xc3\xa9 na\xc3\xafve", " 1. Yes\n\n 2. No\n\n", "W",        "\xe2\x82\xac 5",
    };
    for (unsigned size : {10u, 12u, 28u}) {
        text.setCharacterSize(size);
        for (const std::string& line : lines) {
            const sf::String s = sf::String::fromUtf8(line.begin(), line.end());
            text.setString(s);
            const sf::FloatRect want = text.getLocalBounds(), got = measure.bounds(s, size);
            EXPECT_FLOAT_EQ(got.left, want.left) << size << " \"" << line << '"';
            EXPECT_FLOAT_EQ(got.top, want.top) << size << " \"" << line << '"';
            EXPECT_FLOAT_EQ(got.width, want.width) << size << " \"" << line << '"';
            EXPECT_FLOAT_EQ(got.height, want.height) << size << " \"" << line << '"';
        }
    }
    TextMeasure none;
    EXPECT_FALSE(none.load(std::string(std::getenv("TARNWICK_SOURCE_DIR")) + "/README.md"));
    EXPECT_EQ(none.bounds("abc", 10), sf::FloatRect());
}

} // namespace

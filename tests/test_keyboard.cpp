#include "input/Keyboard.h"
#include "TestSupport.h"

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

using namespace testing_support;
using K = sf::Keyboard;

namespace {
// pressed, released, down, up of one key in the current snapshot
std::string edges(K::Key key)
{
    std::string flags;
    flags += Keyboard::keyPressed(key) ? 'P' : '-';
    flags += Keyboard::keyReleased(key) ? 'R' : '-';
    flags += Keyboard::keyDown(key) ? 'D' : '-';
    flags += Keyboard::keyUp(key) ? 'U' : '-';
    return flags;
}
} // namespace

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
};

TEST_F(KeyboardTest, EdgesAreCountedBetweenConsecutiveSnapshots)
{
    // The first and the last key codes, so that both ends of the tables are used.
    for (K::Key key : {K::A, K::Pause}) {
        SCOPED_TRACE(static_cast<int>(key));
        const bool held[] = {false, true, true, true, false, false, true};
        const char* expected[] = {"---U", "P-D-", "--D-", "--D-", "-R-U", "---U", "P-D-"};
        for (std::size_t frame = 0; frame < std::size(held); ++frame) {
            if (held[frame])
                holdKeys({key});
            else
                holdKeys({});
            EXPECT_EQ(edges(key), expected[frame]) << "frame " << frame;
            // A key that is not held stays idle meanwhile.
            EXPECT_EQ(edges(K::Space), "---U");
        }
    }
}

TEST_F(KeyboardTest, InitializeClearsOnlyTheCurrentSnapshot)
{
    holdKeys({K::B});
    holdKeys({K::A, K::B}); // B held over two frames, A new
    Keyboard::initialize();
    for (int k = 0; k < K::KeyCount; ++k)
        EXPECT_FALSE(Keyboard::currentState[k]) << k;
    EXPECT_TRUE(Keyboard::lastState[K::B]);
    EXPECT_FALSE(Keyboard::lastState[K::A]);
    EXPECT_EQ(edges(K::B), "-R-U");
}

TEST_F(KeyboardTest, UpdateMovesTheSnapshotIntoThePreviousTable)
{
    // No physical key is held on the test display: what was down becomes released.
    holdKeys({K::A, K::Space, K::Pause});
    Keyboard::update();
    for (K::Key key : {K::A, K::Space, K::Pause})
        EXPECT_EQ(edges(key), "-R-U") << key;
    Keyboard::update();
    EXPECT_EQ(edges(K::Space), "---U");
}

namespace {
// The physical keys, as the snapshot's live source sees them in these tests.
bool physical[K::KeyCount];
int reads[K::KeyCount]; // how often each key's live state was read
bool physicalKey(K::Key key)
{
    ++reads[key];
    return physical[key];
}

sf::Event keyEvent(sf::Event::EventType type, K::Key key)
{
    sf::Event event{};
    event.type = type;
    event.key.code = key;
    return event;
}

sf::Event focusEvent(sf::Event::EventType type)
{
    sf::Event event{};
    event.type = type;
    return event;
}

// Presses (or lets go of) a physical key: the live state and the window's event.
void press(K::Key key)
{
    physical[key] = true;
    Keyboard::handleEvent(keyEvent(sf::Event::KeyPressed, key));
}
void letGo(K::Key key)
{
    physical[key] = false;
    Keyboard::handleEvent(keyEvent(sf::Event::KeyReleased, key));
}
} // namespace

class KeyboardEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        std::fill(std::begin(physical), std::end(physical), false);
        std::fill(std::begin(reads), std::end(reads), 0);
        Keyboard::live = &physicalKey;
        Keyboard::focused = true;
        Keyboard::initialize();
    }
    void TearDown() override
    {
        Keyboard::live = &sf::Keyboard::isKeyPressed;
        Keyboard::focused = true;
        Keyboard::initialize();
        resetGame();
    }
};

TEST_F(KeyboardEventsTest, ATapBetweenTwoSnapshotsIsDownForOneFrame)
{
    press(K::Return);
    letGo(K::Return);
    press(K::Num2);
    letGo(K::Num2);
    Keyboard::update();
    EXPECT_EQ(edges(K::Return), "P-D-");
    EXPECT_EQ(edges(K::Num2), "P-D-");
    Keyboard::update();
    EXPECT_EQ(edges(K::Return), "-R-U");
    EXPECT_EQ(edges(K::Num2), "-R-U");
    Keyboard::update();
    EXPECT_EQ(edges(K::Return), "---U");

    // Events for keys the snapshot has no entry for are ignored.
    Keyboard::handleEvent(keyEvent(sf::Event::KeyPressed, K::Unknown));
    Keyboard::handleEvent(keyEvent(sf::Event::KeyReleased, K::Unknown));
    Keyboard::update();
    for (int k = 0; k < K::KeyCount; ++k)
        EXPECT_FALSE(Keyboard::currentState[k]) << k;
}

TEST_F(KeyboardEventsTest, HeldKeysFollowTheLiveState)
{
    // Held when the game starts: pressed in the first frame, with or without an event.
    physical[K::Left] = true;
    Keyboard::update();
    EXPECT_EQ(edges(K::Left), "P-D-");
    press(K::Space);
    for (int frame = 0; frame < 3; ++frame) {
        Keyboard::update();
        EXPECT_EQ(edges(K::Left), "--D-") << frame;
        EXPECT_EQ(edges(K::Space), frame == 0 ? "P-D-" : "--D-") << frame;
    }
    letGo(K::Left);
    Keyboard::update();
    EXPECT_EQ(edges(K::Left), "-R-U");
    EXPECT_EQ(edges(K::Space), "--D-");
}

TEST_F(KeyboardEventsTest, WithoutFocusEveryKeyIsUpUntilItGoesDownAgain)
{
    press(K::Left);
    Keyboard::update();
    ASSERT_EQ(edges(K::Left), "P-D-");

    // Focus goes to another window with Left still held: it is released, and
    // nothing typed there counts.
    Keyboard::handleEvent(focusEvent(sf::Event::LostFocus));
    press(K::Up);
    Keyboard::update();
    EXPECT_EQ(edges(K::Left), "-R-U");
    EXPECT_EQ(edges(K::Up), "---U");
    letGo(K::Up);
    press(K::Right);
    letGo(K::Right);
    Keyboard::update();
    EXPECT_EQ(edges(K::Right), "---U");

    // Back in the game with Left and Down held: still up, and up they stay...
    physical[K::Down] = true;
    Keyboard::handleEvent(focusEvent(sf::Event::GainedFocus));
    for (int frame = 0; frame < 2; ++frame) {
        Keyboard::update();
        EXPECT_EQ(edges(K::Left), "---U") << frame;
        EXPECT_EQ(edges(K::Down), "---U") << frame;
    }
    // ...while a key pressed now counts at once...
    press(K::Space);
    letGo(K::Space);
    Keyboard::update();
    EXPECT_EQ(edges(K::Space), "P-D-");
    EXPECT_EQ(edges(K::Left), "---U");

    // ...and a held one once it has been let go and pressed again, even
    // between two snapshots.
    letGo(K::Left);
    press(K::Left);
    physical[K::Down] = false; // let go without an event reaching the window
    Keyboard::update();
    EXPECT_EQ(edges(K::Left), "P-D-");
    EXPECT_EQ(edges(K::Down), "---U");
    physical[K::Down] = true;
    Keyboard::update();
    EXPECT_EQ(edges(K::Down), "P-D-");
    EXPECT_EQ(edges(K::Left), "--D-");
}

TEST_F(KeyboardEventsTest, OnlyAChangeOfFocusOrANewWindowHoldsKeysOver)
{
    press(K::A);
    Keyboard::update();

    // The window's first focus event, or a repeated one, changes nothing.
    Keyboard::handleEvent(focusEvent(sf::Event::GainedFocus));
    Keyboard::update();
    EXPECT_EQ(edges(K::A), "--D-");
    Keyboard::handleEvent(focusEvent(sf::Event::LostFocus));
    Keyboard::handleEvent(focusEvent(sf::Event::LostFocus));
    Keyboard::handleEvent(focusEvent(sf::Event::GainedFocus));
    Keyboard::update();
    EXPECT_EQ(edges(K::A), "-R-U");

    // A new window that has the focus: held keys wait to be let go, and a tap
    // made before it opened is forgotten.
    letGo(K::A);
    Keyboard::update();
    physical[K::Return] = true;
    press(K::B);
    letGo(K::B);
    Keyboard::restart(true);
    Keyboard::update();
    EXPECT_EQ(edges(K::Return), "---U");
    EXPECT_EQ(edges(K::B), "---U");
    letGo(K::Return);
    press(K::Return);
    Keyboard::update();
    EXPECT_EQ(edges(K::Return), "P-D-");

    // A new window without the focus: nothing until focus comes.
    Keyboard::restart(false);
    press(K::C);
    Keyboard::update();
    EXPECT_EQ(edges(K::C), "---U");
    EXPECT_EQ(edges(K::Return), "-R-U");
}

TEST_F(KeyboardEventsTest, OnlyKeysThatMatterAreReadLive)
{
    // F15 is never asked about here: it is read in the first snapshot (it
    // might be held already), then only while an event says it is down.
    const auto readsOf = [](K::Key key) {
        const int n = reads[key];
        reads[key] = 0;
        return n;
    };
    Keyboard::update();
    EXPECT_EQ(readsOf(K::F15), 1);
    readsOf(K::F14);
    Keyboard::keyDown(K::F14); // asked once: read from now on
    for (int frame = 0; frame < 3; ++frame)
        Keyboard::update();
    EXPECT_EQ(readsOf(K::F15), 0);
    EXPECT_EQ(readsOf(K::F14), 3);

    press(K::F15);
    Keyboard::update();
    EXPECT_TRUE(Keyboard::currentState[K::F15]);
    Keyboard::update();
    EXPECT_TRUE(Keyboard::currentState[K::F15]) << "held keys stay down";
    physical[K::F15] = false; // let go, even without an event
    Keyboard::update();
    EXPECT_FALSE(Keyboard::currentState[K::F15]);
    EXPECT_EQ(readsOf(K::F15), 3);
    Keyboard::update();
    EXPECT_EQ(readsOf(K::F15), 0);

    // A new window reads every key once again.
    Keyboard::restart(true);
    Keyboard::update();
    EXPECT_EQ(readsOf(K::F15), 1);
}

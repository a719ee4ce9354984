#include "Keyboard.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

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

// Save, then continue, at every conversation of the shipped story's shortest
// route and of several other orders: the continued world is the saved one,
// as a state and as the picture on screen.
#include "characters/Boss.h"
#include "screens/EndingCard.h"
#include "core/Game.h"
#include "world/MainState.h"
#include "story/SaveGame.h"
#include "StoryDriver.h"
#include "check/StoryExplorer.h"
#include "story/StoryState.h"
#include "characters/Table.h"
#include "TestSupport.h"
#include "characters/Victim.h"
#include "characters/Warden.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

sf::Image picture(MainState* world)
{
    // One frame without keys: the player's look and the camera follow the
    // state, as in the first frame after Continue.
    Game::currentState = world;
    holdKeys({});
    // What passes by the moment it is looked at (a room's name, a glance
    // aside) is left out: a game continued shows the world at rest.
    const RoomBanner banner = world->roomBanner;
    world->roomBanner = RoomBanner();
    world->update();
    world->idleLooks.settle(*world);
    Game::window.clear(sf::Color::Black);
    world->draw();
    world->roomBanner = banner;
    sf::Texture shot;
    shot.create(Game::window.getSize().x, Game::window.getSize().y);
    shot.update(Game::window);
    Game::window.clear(sf::Color::Black);
    return shot.copyToImage();
}

long differingPixels(const sf::Image& a, const sf::Image& b)
{
    if (a.getSize() != b.getSize())
        return -1;
    long differ = 0;
    for (unsigned y = 0; y < a.getSize().y; ++y)
        for (unsigned x = 0; x < a.getSize().x; ++x)
            differ += a.getPixel(x, y) != b.getPixel(x, y);
    return differ;
}

class Continue : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        fs::current_path(source ? fs::path(source) : previous);
        std::string pattern = (fs::temp_directory_path() / "tarnwick-continue-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        home = pattern;
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        SaveGame::enabled = true;
        resetGame();
        Game::running = true;
        Game::currentState = world = new MainState();
    }
    void TearDown() override
    {
        resetGame();
        SaveGame::enabled = false;
        unsetenv("XDG_DATA_HOME");
        fs::remove_all(home);
        fs::current_path(previous);
    }

    // Saves the world as it stands, continues into a freshly built one and
    // compares the two; then plays on in the original.
    void saveAndContinue(const std::string& where)
    {
        SCOPED_TRACE(where);
        ASSERT_EQ(Game::currentState, world);
        ASSERT_TRUE(SaveGame::save(*world)) << SaveGame::lastError;
        const StoryState saved = StoryState::capture(*world);
        const std::string goal = world->goalLine.text();
        const sf::Image before = picture(world);

        auto* fresh = new MainState();
        const SaveGame::Slot slot = SaveGame::inspect();
        EXPECT_TRUE(slot.usable) << slot.reason;
        EXPECT_EQ(slot.part, saved.part);
        EXPECT_EQ(slot.playedSteps, saved.playedSteps);
        ASSERT_TRUE(SaveGame::restore(*fresh)) << SaveGame::lastError;
        EXPECT_EQ(StoryState::capture(*fresh), saved);
        EXPECT_EQ(fresh->goalLine.text(), goal);
        const sf::Image after = picture(fresh);
        const long differ = differingPixels(before, after);
        if (differ != 0) {
            before.saveToFile((home / "saved.png").string());
            after.saveToFile((home / "continued.png").string());
            ADD_FAILURE() << differ << " pixels differ";
        }
        ++continued;
        delete fresh;
        saved.toGame(); // building the other world reset the counters
        Game::currentState = world;
    }

    fs::path previous, home;
    MainState* world = nullptr;
    int continued = 0;
};

TEST_F(Continue, AtEveryConversationOfTheShortestRoute)
{
    const StoryExplorer::Result proof = StoryExplorer::explore(*world);
    ASSERT_TRUE(proof.endingReachable);
    StoryDriver driver(world);
    saveAndContinue("at the start");
    for (const StoryExplorer::Talk& talk : proof.route) {
        ASSERT_TRUE(driver.play(talk)) << talk.with;
        if (talk.ends) {
            // The story has ended: the save stays the one before the last
            // conversation, which Continue then offers again.
            const SaveGame::Slot slot = SaveGame::inspect();
            EXPECT_TRUE(slot.usable);
            EXPECT_EQ(slot.part, 2);
            EXPECT_TRUE(SaveGame::save(*world));
            EXPECT_EQ(SaveGame::inspect().part, 2);
            break;
        }
        saveAndContinue("after talking to " + talk.with);
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(continued, static_cast<int>(proof.route.size())); // the start and all but the last
}

// Other orders: characters chosen at random (the same each run), answers
// too, continuing after every conversation that changed the story (where the
// game saves by itself), until the story ends.
TEST_F(Continue, AtEveryStoryChangeOfOtherOrders)
{
    const auto story = [](StoryState s) {
        s.column = s.row = s.facing = 0;
        s.playedSteps = 0;
        return s;
    };
    int parts = 0;
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        if (seed > 1) {
            resetGame();
            Game::running = true;
            Game::currentState = world = new MainState();
        }
        std::mt19937 random(seed);
        StoryDriver driver(world);
        for (int talks = 0; talks < 100; ++talks) {
            std::vector<Entity*> cast;
            for (Entity* e : world->entities)
                if (dynamic_cast<Victim*>(e) || dynamic_cast<Warden*>(e) || dynamic_cast<Table*>(e)
                    || dynamic_cast<Boss*>(e))
                    cast.push_back(e);
            Entity* target = cast[random() % cast.size()];
            const int answer = 1 + static_cast<int>(random() % 3);
            const StoryState before = story(StoryState::capture(*world));
            if (!driver.visit(target, answer))
                continue; // out of reach, or nothing to say
            if (EndingCard::requested || Game::currentState != world)
                break; // the closing card
            if (story(StoryState::capture(*world)) == before)
                continue;
            saveAndContinue("after talking to " + target->name);
            if (HasFatalFailure())
                return;
        }
        parts += Game::part + 1;
    }
    std::cout << continued << " saves continued, " << parts << " parts reached in all\n";
    EXPECT_GE(continued, 30);
}

} // namespace

#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "characters/Player.h"
#include "TestSupport.h"
#include "characters/Victim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace testing_support;
using K = sf::Keyboard;

namespace {

// Looks at a watched entity during the update pass, after the entities before it.
class Probe : public Entity {
public:
    Probe() : Entity(0, 0) {}
    void update() override
    {
        if (!watched)
            return;
        sawVisible = watched->visible;
        sawSolid = watched->solid;
        sawListed = std::count(owner->entities.begin(), owner->entities.end(), watched) == 1;
        watched = nullptr;
    }
    Entity* watched = nullptr;
    bool sawVisible = true, sawSolid = true, sawListed = false;
};

class VictimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        dir.write("res/txt/clerk.xml", leafXml("after"));
        dir.write("res/txt/clerk2.xml", leafXml("before"));
        dir.image("res/gfx/victims.png", 128, 32);
        Graphics::loadTilemap("res/gfx/victims.png", "victim_tiles", 32);
        Game::currentState = new GameState();
    }
    void TearDown() override { resetGame(); }

    Victim* victim(int x, int y, int part, int tile = 1, bool talks = true)
    {
        auto* v = new Victim(x, y);
        v->part = part;
        v->tileset = "victim_tiles";
        v->tile = tile;
        v->solid = true;
        v->setTexture(*picture(tile));
        if (talks) {
            v->secondDialogue = DialogueTree::load("res/txt/clerk2.xml");
            v->dialogue = DialogueTree::load("res/txt/clerk.xml");
        }
        Game::currentState->add(v);
        return v;
    }
    static const sf::Texture* picture(int tile) { return Graphics::getTexture("victim_tiles", tile); }
    static bool listed(Entity* e)
    {
        auto& all = Game::currentState->entities;
        return std::find(all.begin(), all.end(), e) != all.end();
    }

    ResourceDir dir;
};

TEST_F(VictimTest, DecliningKeepsTheDisguiseAndTheVictimCanBeAskedAgain)
{
    Victim* v = victim(0, 0, 0);
    EXPECT_EQ(offered(v), v->secondDialogue);
    for (int declined : {0, 2}) {
        v->setState(declined);
        EXPECT_EQ(v->state, declined);
        EXPECT_FALSE(v->disguiseTaken);
        EXPECT_EQ(Game::disguise, 0);
        EXPECT_EQ(v->sprite.getTexture(), picture(1));
        EXPECT_EQ(offered(v), v->secondDialogue);
    }
    v->setState(1);
    EXPECT_TRUE(v->disguiseTaken);
    EXPECT_EQ(Game::disguise, 1);
    EXPECT_EQ(v->sprite.getTexture(), picture(2));
    EXPECT_EQ(offered(v), v->dialogue);
}

TEST_F(VictimTest, AcceptingTakesTheDisguiseOnceAndForAll)
{
    Victim* first = victim(0, 0, 0, 1);
    Victim* third = victim(32, 0, 1, 0);
    first->setState(1);
    third->setState(3);
    EXPECT_EQ(Game::disguise, 2);
    EXPECT_EQ(first->state, 1);
    EXPECT_EQ(third->state, 3);
    EXPECT_EQ(first->sprite.getTexture(), picture(2));
    EXPECT_EQ(third->sprite.getTexture(), picture(1));
    EXPECT_EQ(third->sprite.getTextureRect(), sf::IntRect(0, 0, 32, 32));
    EXPECT_EQ(third->bounds, sf::IntRect(32, 0, 32, 32));
    EXPECT_EQ(offered(first), first->dialogue);
    EXPECT_EQ(offered(third), third->dialogue);

    for (int later : {0, 2, 1, 3}) {
        first->setState(later);
        EXPECT_EQ(first->state, 1);
        EXPECT_EQ(first->sprite.getTexture(), picture(2));
    }
    EXPECT_EQ(Game::disguise, 2);
    EXPECT_EQ(offered(first), first->dialogue);
}

TEST_F(VictimTest, VictimWithoutConversationsOpensNothing)
{
    Victim* v = victim(0, 0, 0, 1, false);
    GameState* world = Game::currentState;
    EXPECT_EQ(offered(v), nullptr);
    v->setState(1);
    EXPECT_EQ(offered(v), nullptr);
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(VictimTest, LeavesInTheFirstWorldFrameAfterTheStoryPassesItsPart)
{
    dir.image("res/gfx/player.png", 128, 128);
    Victim* v = victim(96, 64, 0);
    Victim* later = victim(0, 0, 1);
    auto* probe = new Probe();
    Game::currentState->add(probe);
    auto* player = new Player(64, 64);
    player->setTexture(*Graphics::getTexture("player", 0));
    Game::currentState->add(player);

    runFrames(3, {K::D}); // part -1, then its own part: it stays and blocks
    Game::part = 0;
    runFrames(3, {K::D});
    EXPECT_TRUE(listed(v));
    EXPECT_TRUE(v->visible);
    EXPECT_TRUE(v->solid);
    EXPECT_FALSE(player->moving);
    EXPECT_EQ(player->direction, 3);

    Game::part = 1;
    probe->watched = v;
    runFrames(1, {K::D});
    EXPECT_FALSE(probe->sawVisible);
    EXPECT_FALSE(probe->sawSolid);
    EXPECT_TRUE(probe->sawListed); // hidden at once, destroyed at the end of the pass
    EXPECT_TRUE(player->moving);   // and no longer in the way in that same frame
    EXPECT_FALSE(listed(v));
    EXPECT_EQ(Game::currentState->entities.size(), 3u);
    EXPECT_TRUE(listed(later));
    EXPECT_TRUE(later->visible);

    Game::part = 3;
    runFrames(1);
    EXPECT_FALSE(listed(later));
    EXPECT_EQ(Game::currentState->entities.size(), 2u);
}

} // namespace

TEST_F(VictimTest, TheLastTileNumberGivesUpItsDisguiseWithoutAPicture)
{
    Victim* v = victim(0, 0, 0, 1);
    v->tile = INT_MAX;
    v->setState(1);
    EXPECT_TRUE(v->disguiseTaken);
    EXPECT_EQ(Game::disguise, 1);
    EXPECT_EQ(v->sprite.getTexture(), &Graphics::_emptyTexture);
}

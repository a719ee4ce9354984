#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "dialogue/DialogueState.h"
#include "screens/ControlsScreen.h"
#include "screens/EndingCard.h"
#include "screens/MenuScreen.h"
#include "screens/PauseMenu.h"
#include "world/MainState.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {
using Log = std::vector<std::string>;

// An entity with a rectangle of its own that writes its updates, draws and
// destruction into a shared log.
struct Probe : Entity {
    Probe(std::string id, Log& log, int x = 0, int y = 0, int w = 0, int h = 0)
        : Entity(x, y)
        , id(std::move(id))
        , log(log)
    {
        bounds.width = w;
        bounds.height = h;
    }
    ~Probe() override { log.push_back("~" + id); }
    void update() override
    {
        log.push_back("update " + id);
        if (onUpdate)
            onUpdate(*this);
    }
    void draw() override { log.push_back("draw " + id); }

    std::string id;
    Log& log;
    std::function<void(Probe&)> onUpdate;
};
} // namespace

class GameStateTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }
    Log log; // outlives the states of each test
};

TEST_F(GameStateTest, AnEntityBelongsToTheFirstStateThatAddsIt)
{
    {
        GameState a, b;
        auto* p = new Probe("p", log);
        a.add(p);
        a.add(p);
        b.add(p);
        a.add(nullptr);
        EXPECT_EQ(a.entities, std::vector<Entity*>{p});
        EXPECT_TRUE(b.entities.empty());
        EXPECT_EQ(p->owner, &a);

        // Removing it through the other state neither hides it nor queues it.
        p->solid = true;
        b.remove(p);
        EXPECT_TRUE(p->visible);
        EXPECT_TRUE(p->solid);
        EXPECT_TRUE(b.removedEntities.empty());
        b.update();
        EXPECT_EQ(a.entities, std::vector<Entity*>{p});
        EXPECT_EQ(log, Log{});
    }
    EXPECT_EQ(log, Log{"~p"}); // destroyed once, by its own state
}

TEST_F(GameStateTest, QueuedEntitiesStayUntilTheEndOfThePassAndGoLastFirst)
{
    GameState state;
    auto* a = new Probe("A", log, 0, 0, 32, 32);
    auto* b = new Probe("B", log, 0, 0, 32, 32);
    auto* c = new Probe("C", log, 0, 0, 32, 32);
    for (Entity* e : {a, b, c})
        state.add(e);
    a->solid = c->solid = true;

    state.remove(a);
    state.remove(c);
    state.remove(c); // twice: still destroyed once
    EXPECT_FALSE(a->visible || a->solid || c->visible || c->solid);
    EXPECT_EQ(state.entities.size(), 3u);
    EXPECT_EQ(state.collide(b, {0, 0}), (std::vector<Entity*>{a, c}));

    state.update();
    EXPECT_EQ(log, (Log{"update A", "update B", "update C", "~C", "~A"}));
    EXPECT_EQ(state.entities, std::vector<Entity*>{b});
    EXPECT_TRUE(state.removedEntities.empty());
}

TEST_F(GameStateTest, PlainTilesAmongActorsKeepTheUpdateOrder)
{
    // The map's plain tiles do nothing on an update and are passed over; the
    // others are updated in list order, also after the list has changed.
    GameState state;
    state.add(new Entity(0, 0));
    state.add(new Probe("A", log, 0, 0, 32, 32));
    state.add(new Entity(32, 0));
    state.add(new Probe("B", log, 32, 0, 32, 32));
    state.update();
    state.add(new Probe("C", log, 64, 0, 32, 32));
    state.add(new Entity(64, 0));
    state.update();
    EXPECT_EQ(log, (Log{"update A", "update B", "update A", "update B", "update C"}));
    log.clear();
}

TEST_F(GameStateTest, AnEntityLeavingDuringThePassIsSeenByLaterOnesButNotDrawn)
{
    GameState state;
    auto* leaver = new Probe("L", log, 0, 0, 32, 32);
    auto* watcher = new Probe("W", log, 16, 0, 32, 32);
    state.add(leaver);
    state.add(watcher);
    leaver->onUpdate = [&](Probe& self) { state.remove(&self); };
    watcher->onUpdate = [&](Probe& self) {
        self.log.push_back("sees " + std::to_string(state.collide(&self, {0, 0}).size()));
    };

    state.update();
    state.draw();
    EXPECT_EQ(log, (Log{"update L", "update W", "sees 1", "~L", "draw W"}));
}

TEST_F(GameStateTest, DestroyingAStateDestroysEachEntityOnceInListOrder)
{
    {
        GameState state;
        for (const char* id : {"A", "B", "C"})
            state.add(new Probe(id, log));
        state.remove(state.entities[1]); // queued but not yet destroyed
    }
    EXPECT_EQ(log, (Log{"~A", "~B", "~C"}));
}

TEST_F(GameStateTest, CollideReportsStrictOverlapsInListOrder)
{
    GameState state;
    Probe probe("e", log, 32, 32, 32, 32);
    EXPECT_TRUE(state.collide(&probe, {0, 0}).empty()); // empty state

    auto add = [&](const char* id, int x, int y, int w, int h) {
        auto* p = new Probe(id, log, x, y, w, h);
        state.add(p);
        return p;
    };
    auto* twin = add("twin", 32, 32, 32, 32);
    auto* self = add("self", 32, 32, 32, 32);
    auto* left = add("left edge", 0, 32, 32, 32);
    add("corner", 64, 64, 32, 32);
    auto* right = add("right edge", 64, 32, 32, 32);
    auto* thin = add("zero width", 40, 40, 0, 32);
    auto* flat = add("zero height", 40, 40, 32, 0);
    auto* ghost = add("hidden", 63, 63, 32, 32);
    state.remove(ghost); // hidden, not solid and queued: still reported

    EXPECT_EQ(state.collide(self, {0, 0}), (std::vector<Entity*>{twin, ghost}));
    EXPECT_EQ(state.collide(self, {32, 0}), (std::vector<Entity*>{right, ghost}));
    EXPECT_EQ(state.collide(self, {-32, 0}), (std::vector<Entity*>{left}));
    EXPECT_EQ(state.collide(self, {-33, -33}), (std::vector<Entity*>{}));
    EXPECT_EQ(state.collide(thin, {0, 0}), (std::vector<Entity*>{}));
    EXPECT_EQ(state.collide(flat, {0, 0}), (std::vector<Entity*>{}));
}

// The chain of screens as the game stacks it: the world, a conversation over
// it, the pause menu over the conversation, the controls screen over the menu.
// Each holds a probe that writes its release into the log.
class ScreenChainTest : public GameStateTest {
protected:
    enum Screen { World, Talk, Menu, Controls, None };

    void SetUp() override
    {
        GameStateTest::SetUp();
        signWorld(dir);
        build();
    }
    void TearDown() override
    {
        // What a test left standing goes from the top, as when the game ends.
        if (chain[Controls])
            Game::destroyChain(chain[Controls]);
        GameStateTest::TearDown();
    }
    void build()
    {
        auto* world = new MainState();
        Entity* sign = nullptr;
        for (Entity* e : world->entities)
            if (e->dialogue)
                sign = e;
        ASSERT_NE(sign, nullptr);
        auto* talk = new DialogueState(world, sign, sign->dialogue);
        auto* menu = new PauseMenu(talk);
        auto* controls = new ControlsScreen(menu);
        GameState* built[] = {world, talk, menu, controls};
        for (int i = 0; i < 4; ++i) {
            chain[i] = built[i];
            chain[i]->add(new Probe(names[i], log));
        }
    }
    GameState* at(Screen s) const { return s == None ? nullptr : chain[s]; }

    static constexpr const char* names[4] = {"world", "talk", "menu", "controls"};
    ResourceDir dir;
    GameState* chain[4] = {};
};

TEST_F(ScreenChainTest, EachScreenKnowsTheOneBelowAndFindsTheNearestOfAKind)
{
    struct Row {
        Screen from;
        Screen below;
        bool ownsBelow;
        Screen world, talk, menu, controls; // what find<T>() gives from it
    };
    const Row rows[] = {
        {World, None, false, World, None, None, None},
        {Talk, World, false, World, Talk, None, None},
        {Menu, Talk, true, World, Talk, Menu, None},
        {Controls, Menu, false, World, Talk, Menu, Controls},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(names[row.from]);
        GameState* screen = at(row.from);
        const GameState* same = screen;
        EXPECT_EQ(screen->below(), at(row.below));
        EXPECT_EQ(screen->ownsBelow(), row.ownsBelow);
        EXPECT_EQ(screen->find<MainState>(), at(row.world));
        EXPECT_EQ(screen->find<DialogueState>(), at(row.talk));
        EXPECT_EQ(screen->find<MenuScreen>(), at(row.menu));
        EXPECT_EQ(screen->find<ControlsScreen>(), at(row.controls));
        EXPECT_EQ(screen->find<GameState>(), screen) << "this screen first";
        EXPECT_EQ(screen->find<EndingCard>(), nullptr);
        EXPECT_EQ(same->find<MainState>(), at(row.world)) << "the const walk";
        EXPECT_EQ(same->find<MenuScreen>(), at(row.menu)) << "the const walk";
    }
    // The world in play (its clock runs) only through conversations.
    EXPECT_EQ(MainState::beneath(at(World)), at(World));
    EXPECT_EQ(MainState::beneath(at(Talk)), at(World));
    EXPECT_EQ(MainState::beneath(at(Menu)), nullptr);
    EXPECT_EQ(MainState::beneath(at(Controls)), nullptr);
    EXPECT_EQ(MainState::beneath(nullptr), nullptr);
}

TEST_F(ScreenChainTest, DestroyingAChainReleasesEveryScreenFromThereDownOnce)
{
    // A screen that does not own the one below (the conversation, the
    // controls screen) leaves it to destroyChain, after itself; one that does
    // (the menu) releases it itself, before its own entities. Nothing above
    // the screen destroyed goes.
    struct Row {
        Screen from;
        Log released;
    };
    const Row rows[] = {
        {World, {"~world"}},
        {Talk, {"~talk", "~world"}},
        {Menu, {"~talk", "~world", "~menu"}},
        {Controls, {"~controls", "~talk", "~world", "~menu"}},
    };
    Game::destroyChain(chain[Controls]);
    for (const Row& row : rows) {
        SCOPED_TRACE(names[row.from]);
        log.clear();
        build();
        ASSERT_FALSE(HasFatalFailure());
        log.clear();
        Game::destroyChain(chain[row.from]);
        EXPECT_EQ(log, row.released);
        // What stood above goes alone: the menu no longer holds what it
        // stood over.
        if (row.from < Menu)
            static_cast<MenuScreen*>(chain[Menu])->underneath = nullptr;
        for (int i = row.from + 1; i < 4; ++i)
            delete chain[i];
    }
    chain[Controls] = nullptr;
}

#include "core/Entity.h"
#include "core/GameState.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

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

#include "core/GameState.h"

#include "core/Entity.h"
#include "core/Game.h"
#include "render/SpriteBatch.h"

#include <algorithm>

bool GameState::addToPictureDigest(PictureDigest&) const
{
    return false; // a screen of a kind the kept picture does not know
}

GameState::~GameState()
{
    for (Entity* e : entities)
        delete e;
    entities.clear();
    removedEntities.clear();
}

void GameState::add(Entity* e)
{
    if (!e || e->owner)
        return;
    entities.push_back(e);
    e->owner = this;
}

void GameState::remove(Entity* e)
{
    if (!e || e->owner != this)
        return;
    removedEntities.push_back(e);
    e->visible = false;
    e->solid = false;
}

void GameState::deleteRemoved()
{
    while (!removedEntities.empty()) {
        Entity* e = removedEntities.back();
        removedEntities.pop_back();
        auto found = std::find(entities.begin(), entities.end(), e);
        if (found != entities.end()) {
            entities.erase(found);
            delete e;
        }
    }
}

void GameState::update()
{
    // In list order, but only the entities that act: the map's plain tiles do
    // nothing on an update, and a big map holds tens of thousands of them. By
    // position: an entity's update may not add to this list, but it must never
    // leave the loop holding a stale iterator either.
    const std::vector<std::size_t> acting = drawIndex.acting(entities);
    for (std::size_t i : acting)
        if (i < entities.size())
            entities[i]->update();
    deleteRemoved();
}

void GameState::draw()
{
    // Sprites are gathered and drawn a run at a time, in list order; on a big
    // map only the entities near the view are looked at.
    SpriteBatch& batch = SpriteBatch::game();
    batch.begin();
    const sf::View& view = Game::window.getView();
    const sf::FloatRect seen(view.getCenter() - view.getSize() / 2.f, view.getSize());
    const auto drawOne = [&](Entity* e) {
        // An entity without a picture of its own shows only what it draws
        // itself (the dialogue box does): what comes before it goes first.
        if (!e->sprite.getTexture())
            batch.flush();
        e->draw();
    };
    if (view.getRotation() == 0.f) {
        for (std::size_t i : drawIndex.near(entities, seen))
            drawOne(entities[i]);
    } else {
        for (std::size_t i = 0; i < entities.size(); ++i)
            drawOne(entities[i]);
    }
    batch.end();
}

std::vector<Entity*> GameState::collide(Entity* e, sf::Vector2<int> const& offset)
{
    std::vector<Entity*> hits;
    if (!e)
        return hits;
    // 64-bit sums: positions near the int limits must not overflow.
    const long long left = static_cast<long long>(e->bounds.left) + offset.x;
    const long long top = static_cast<long long>(e->bounds.top) + offset.y;
    const long long right = left + e->bounds.width;
    const long long bottom = top + e->bounds.height;
    for (Entity* o : entities) {
        if (o == e)
            continue;
        const long long oLeft = o->bounds.left;
        const long long oTop = o->bounds.top;
        const long long oRight = oLeft + o->bounds.width;
        const long long oBottom = oTop + o->bounds.height;
        if (std::max(left, oLeft) < std::min(right, oRight)
            && std::max(top, oTop) < std::min(bottom, oBottom))
            hits.push_back(o);
    }
    return hits;
}

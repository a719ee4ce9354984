#include "render/PictureDigest.h"

#include "core/Entity.h"
#include "core/GameState.h"

void PictureDigest::addEntities(const GameState& state)
{
    add(state.entities.size());
    for (const Entity* e : state.entities) {
        add(e->visible);
        if (!e->visible)
            continue;
        add(e->x);
        add(e->y);
        add(e->flip);
        add(e->sprite.getTexture());
        const sf::IntRect r = e->sprite.getTextureRect();
        add(r.left), add(r.top), add(r.width), add(r.height);
        const sf::Vector2f at = e->sprite.getPosition();
        add(at.x), add(at.y);
        const sf::Color c = e->sprite.getColor();
        add(c.toInteger());
        if (const sf::String* words = e->shownWords()) {
            add(words->getSize());
            bytes(words->getData(), words->getSize() * sizeof(sf::Uint32));
        }
    }
}

#include "render/StillFrame.h"

#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "screens/EndingCard.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "world/MainState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include <cstring>
#include <memory>
#include <typeinfo>

bool StillFrame::enabled = false;
long long StillFrame::drawn = 0;
long long StillFrame::reused = 0;

namespace {

struct Hash {
    unsigned long long value = 14695981039346656037ull;
    void bytes(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value ^= p[i];
            value *= 1099511628211ull;
        }
    }
    template <class T>
    void add(const T& v)
    {
        bytes(&v, sizeof v);
    }
    void add(const std::string& s)
    {
        add(s.size());
        bytes(s.data(), s.size());
    }
};

void addEntities(Hash& h, const GameState& state)
{
    h.add(state.entities.size());
    for (const Entity* e : state.entities) {
        h.add(e->visible);
        if (!e->visible)
            continue;
        h.add(e->x);
        h.add(e->y);
        h.add(e->flip);
        h.add(e->sprite.getTexture());
        const sf::IntRect r = e->sprite.getTextureRect();
        h.add(r.left), h.add(r.top), h.add(r.width), h.add(r.height);
        const sf::Vector2f at = e->sprite.getPosition();
        h.add(at.x), h.add(at.y);
        const sf::Color c = e->sprite.getColor();
        h.add(c.toInteger());
        if (auto* box = dynamic_cast<const DialogueBox*>(e)) {
            const sf::String& words = box->message.getString();
            h.add(words.getSize());
            h.bytes(words.getData(), words.getSize() * sizeof(sf::Uint32));
        }
    }
}

// The kept picture: the window's pixels after the last full drawing.
std::unique_ptr<sf::Texture> kept;
unsigned long long keptDigest = 0;
bool valid = false;

} // namespace

unsigned long long StillFrame::digest()
{
    Hash h;
    const sf::View& view = Game::window.getView();
    h.add(view.getCenter().x), h.add(view.getCenter().y), h.add(view.getSize().x), h.add(view.getSize().y);
    const sf::FloatRect port = view.getViewport();
    h.add(port.left), h.add(port.top), h.add(port.width), h.add(port.height);
    h.add(Game::window.getSize().x), h.add(Game::window.getSize().y);
    GameState* state = Game::currentState;
    h.add(state);
    while (state) {
        GameState* below = nullptr;
        if (auto* talk = dynamic_cast<DialogueState*>(state)) {
            below = talk->previous;
        } else if (auto* card = dynamic_cast<EndingCard*>(state)) {
            below = card->world;
        } else if (auto* world = dynamic_cast<MainState*>(state)) {
            h.add(world->goalLine.shown);
            h.add(world->goalLine.text());
            h.add(world->roomBanner.shown()), h.add(world->roomBanner.opacity());
            h.add(EndingCard::requested);
        } else {
            return 0;
        }
        addEntities(h, *state);
        state = below;
    }
    return h.value == 0 ? 1 : h.value;
}

void StillFrame::invalidate()
{
    valid = false;
}

void StillFrame::draw()
{
    const unsigned long long now = enabled ? digest() : 0;
    const sf::Vector2u size = Game::window.getSize();
    if (now != 0 && valid && now == keptDigest && kept && kept->getSize() == size) {
        // One quad of the kept pixels, the window's own size, no blending.
        const sf::View camera = Game::window.getView();
        // Pixel for pixel: a view of the window's size now (its default view
        // keeps the size it was made with).
        Game::window.setView(sf::View(sf::FloatRect(0, 0, static_cast<float>(size.x), static_cast<float>(size.y))));
        sf::RenderStates states;
        states.blendMode = sf::BlendNone;
        Game::window.draw(sf::Sprite(*kept), states);
        Game::window.setView(camera);
        ++reused;
        return;
    }
    if (Game::currentState)
        Game::currentState->draw();
    ++drawn;
    valid = false;
    if (now == 0)
        return;
    if (!kept || kept->getSize() != size) {
        kept = std::make_unique<sf::Texture>();
        if (!kept->create(size.x, size.y)) {
            kept.reset();
            return;
        }
    }
    kept->update(Game::window);
    keptDigest = now;
    valid = true;
}

#include "render/StillFrame.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "render/PictureDigest.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include <memory>

bool StillFrame::enabled = false;
long long StillFrame::drawn = 0;
long long StillFrame::reused = 0;

namespace {

// The kept picture: the window's pixels after the last full drawing.
std::unique_ptr<sf::Texture> kept;
unsigned long long keptDigest = 0;
bool valid = false;

} // namespace

unsigned long long StillFrame::digest()
{
    PictureDigest h;
    const sf::View& view = Game::window.getView();
    h.add(view.getCenter().x), h.add(view.getCenter().y), h.add(view.getSize().x), h.add(view.getSize().y);
    const sf::FloatRect port = view.getViewport();
    h.add(port.left), h.add(port.top), h.add(port.width), h.add(port.height);
    h.add(Game::window.getSize().x), h.add(Game::window.getSize().y);
    GameState* state = Game::currentState;
    h.add(state);
    // Each screen shown, from the current one down, tells its own part.
    for (; state; state = state->below())
        if (!state->addToPictureDigest(h))
            return 0;
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

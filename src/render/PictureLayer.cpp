#include "render/PictureLayer.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
std::unique_ptr<sf::RenderTexture> offscreen;
bool waiting = false; // drawn off-screen, not yet in the window

// Window pixels per unit of the view, up and down.
float scaleOf(const sf::RenderWindow& window)
{
    const sf::View& view = window.getView();
    return view.getViewport().height * static_cast<float>(window.getSize().y) / view.getSize().y;
}
}

unsigned PictureLayer::wholeAbove(float scale, unsigned largest)
{
    if (!(scale > 0) || std::fabs(scale - std::round(scale)) < 1e-3f)
        return 0;
    return std::max(1u, std::min(largest, static_cast<unsigned>(std::ceil(scale))));
}

sf::RenderTarget* PictureLayer::target(sf::RenderWindow& window)
{
    const sf::View& view = window.getView();
    if (view.getRotation() != 0.f || view.getSize().x <= 0 || view.getSize().y <= 0)
        return nullptr;
    const float most = static_cast<float>(sf::Texture::getMaximumSize());
    const unsigned largest = static_cast<unsigned>(std::min(most / view.getSize().x, most / view.getSize().y));
    const unsigned whole = wholeAbove(scaleOf(window), largest);
    if (whole == 0)
        return nullptr;
    const sf::Vector2u size(static_cast<unsigned>(std::round(view.getSize().x * whole)),
                            static_cast<unsigned>(std::round(view.getSize().y * whole)));
    if (!offscreen || offscreen->getSize() != size) {
        if (waiting)
            compose(window);
        offscreen = std::make_unique<sf::RenderTexture>();
        if (!offscreen->create(size.x, size.y)) {
            offscreen.reset();
            return nullptr;
        }
        offscreen->setSmooth(true);
        waiting = false;
    }
    if (!waiting) {
        offscreen->clear(sf::Color::Transparent);
        waiting = true;
    }
    sf::View whole_view = view;
    whole_view.setViewport(sf::FloatRect(0, 0, 1, 1));
    offscreen->setView(whole_view);
    return offscreen.get();
}

void PictureLayer::compose(sf::RenderWindow& window)
{
    if (!waiting || !offscreen)
        return;
    waiting = false;
    offscreen->display();
    const sf::View view = window.getView();
    const sf::Vector2f windowSize(window.getSize());
    const sf::FloatRect port = view.getViewport();
    sf::Sprite picture(offscreen->getTexture());
    picture.setPosition(std::round(port.left * windowSize.x), std::round(port.top * windowSize.y));
    const sf::Vector2f size(offscreen->getSize());
    picture.setScale(std::round(port.width * windowSize.x) / size.x, std::round(port.height * windowSize.y) / size.y);
    window.setView(sf::View(sf::FloatRect(0, 0, windowSize.x, windowSize.y)));
    // The off-screen colours are already weighed by their cover (drawn with
    // blending over a clear picture): laid over what is there as they are.
    window.draw(picture, sf::RenderStates(sf::BlendMode(sf::BlendMode::One, sf::BlendMode::OneMinusSrcAlpha)));
    window.setView(view);
}

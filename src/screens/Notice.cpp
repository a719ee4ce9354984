#include "screens/Notice.h"

#include "core/Game.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>


sf::Time Notice::duration = sf::seconds(6);

namespace {
std::string line;
sf::Clock shown;
}

void Notice::show(const std::string& text)
{
    line = text;
    shown.restart();
}

std::string Notice::current()
{
    if (!line.empty() && shown.getElapsedTime() >= duration)
        line.clear();
    return line;
}

void Notice::clear()
{
    line.clear();
}

void Notice::draw()
{
    if (current().empty())
        return;
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    const float w = static_cast<float>(Game::pictureWidth);
    const float h = static_cast<float>(Game::pictureHeight);
    sf::RectangleShape strip(sf::Vector2f(w, 22));
    strip.setPosition(0, h - 22);
    strip.setFillColor(sf::Color(120, 20, 30, 235));
    Game::window.draw(strip, sf::RenderStates::Default);
    sf::Text text(Utf8::toSfString(line), StoryFont::get(), 12);
    text.setFillColor(sf::Color::White);
    text.setPosition(8, h - 19);
    WindowText::draw(text);
    Game::window.setView(camera);
}

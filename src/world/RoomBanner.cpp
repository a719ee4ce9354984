#include "world/RoomBanner.h"

#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "resources/StoryFont.h"
#include "render/WindowText.h"

#include <SFML/Graphics/View.hpp>

#include <cmath>

RoomBanner::RoomBanner()
{
    words.setCharacterSize(characterSize);
}

void RoomBanner::update(int x, int y)
{
    const MapRooms::Room* room = rooms.at(x, y);
    const std::string now = room ? room->name : std::string();
    if (now != current) {
        current = now;
        if (!now.empty()) {
            named = now;
            age = 0;
            return;
        }
    }
    if (age < showSteps)
        ++age;
}

std::string RoomBanner::shown() const
{
    return opacity() > 0 ? Catalogue::world(named, "room") : std::string();
}

int RoomBanner::opacity() const
{
    if (named.empty() || age >= showSteps)
        return 0;
    const int left = showSteps - age;
    return left >= fadeSteps ? 255 : 255 * left / fadeSteps;
}

void RoomBanner::draw(float top)
{
    const int alpha = opacity();
    if (alpha == 0)
        return;
    words.setFont(StoryFont::get());
    const std::string name = shown();
    words.setString(sf::String::fromUtf8(name.begin(), name.end()));
    const sf::FloatRect size = words.getLocalBounds();
    const float width = std::round(size.width) + 24;
    const float left = std::round((static_cast<float>(Game::pictureWidth) - width) / 2);
    plate.setSize(sf::Vector2f(width, static_cast<float>(characterSize) + 12));
    plate.setPosition(left, top + 6);
    plate.setFillColor(sf::Color(20, 16, 10, static_cast<sf::Uint8>(alpha * 200 / 255)));
    plate.setOutlineThickness(1);
    plate.setOutlineColor(sf::Color(200, 170, 90, static_cast<sf::Uint8>(alpha)));
    words.setFillColor(sf::Color(250, 240, 210, static_cast<sf::Uint8>(alpha)));
    words.setPosition(left + 12 - std::round(size.left), top + 6 + 5 - std::round(size.top) + 1);

    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    Game::window.draw(plate, sf::RenderStates::Default);
    WindowText::draw(words);
    Game::window.setView(camera);
}

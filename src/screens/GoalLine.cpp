#include "screens/GoalLine.h"

#include "core/Game.h"
#include "input/Input.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <cmath>


const sf::Color GoalLine::background(0, 25, 100, 255);
const sf::Color GoalLine::edge(0, 50, 200, 255);

GoalLine::GoalLine()
{
    strip.setSize(sf::Vector2f(static_cast<float>(Game::pictureWidth), height - 2));
    strip.setPosition(0, 0);
    strip.setFillColor(background);
    underline.setSize(sf::Vector2f(static_cast<float>(Game::pictureWidth), 2));
    underline.setPosition(0, height - 2);
    underline.setFillColor(edge);
    message.setCharacterSize(characterSize);
    message.setPosition(8, 2);
}

std::string GoalLine::laidOut(const std::string& line, bool large,
                              const std::function<float(const std::string&)>& widthOf)
{
    return large ? WindowText::wrap(line, room, widthOf) : line;
}

void GoalLine::update()
{
    if (Input::pressed(Action::GoalLine))
        shown = !shown;
}

const std::string& GoalLine::text() const
{
    current = goals.line(Game::part, Game::disguise, Game::defacedTables);
    return current;
}

void GoalLine::draw()
{
    if (!shown || text().empty())
        return;
    const bool large = WindowText::large();
    message.setFont(StoryFont::get());
    message.setCharacterSize(WindowText::sized(characterSize, large));
    const auto width = [this](const std::string& line) {
        return WindowText::widthIn(StoryFont::get(), message.getCharacterSize(), line);
    };
    message.setString(Utf8::toSfString(laidOut(current, large, width)));
    const sf::FloatRect box = message.getLocalBounds();
    const float tall = large ? std::max(height + 4, std::ceil(box.top + box.height) + 6) : height;
    strip.setSize(sf::Vector2f(static_cast<float>(Game::pictureWidth), tall - 2));
    underline.setPosition(0, tall - 2);

    // In picture coordinates: the strip stays at the top while the camera
    // follows the player.
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    Game::window.draw(strip, sf::RenderStates::Default);
    Game::window.draw(underline, sf::RenderStates::Default);
    WindowText::draw(message);
    Game::window.setView(camera);
}

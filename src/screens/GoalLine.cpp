#include "screens/GoalLine.h"

#include "core/Game.h"
#include "input/Input.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"

#include <SFML/Graphics/View.hpp>


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
    message.setFont(StoryFont::get());
    message.setString(Utf8::toSfString(current));

    // In picture coordinates: the strip stays at the top while the camera
    // follows the player.
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    Game::window.draw(strip, sf::RenderStates::Default);
    Game::window.draw(underline, sf::RenderStates::Default);
    Game::window.draw(message, sf::RenderStates::Default);
    Game::window.setView(camera);
}

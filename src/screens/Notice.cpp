#include "screens/Notice.h"

#include "core/Game.h"
#include "input/Gamepad.h"
#include "input/Keyboard.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"
#include "screens/ScreenText.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

int Notice::readSteps = 120;

namespace {
std::string message;
int shownSteps = 0;
const float lineHeight = 16;
} // namespace

void Notice::show(const std::string& text)
{
    message = text;
    shownSteps = 0;
}

std::string Notice::current()
{
    return message;
}

void Notice::clear()
{
    message.clear();
}

void Notice::step()
{
    if (message.empty())
        return;
    bool pressed = Gamepad::anyPressed();
    for (int k = 0; k < sf::Keyboard::KeyCount && !pressed; ++k)
        pressed = Keyboard::keyPressed(static_cast<sf::Keyboard::Key>(k));
    if (pressed && shownSteps >= readSteps)
        message.clear();
    else if (shownSteps < readSteps)
        ++shownSteps;
}

std::vector<std::string> Notice::lines(const std::string& text, float width)
{
    // Wrapped as the map and the log wrap theirs (a word wider than a line,
    // such as a long file name, is cut); a closing line break adds no line.
    std::vector<std::string> out = ScreenText::wrap(text, characterSize, width);
    while (!out.empty() && out.back().empty())
        out.pop_back();
    return out;
}

void Notice::draw()
{
    if (message.empty())
        return;
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    const float w = static_cast<float>(Game::pictureWidth);
    const float h = static_cast<float>(Game::pictureHeight);
    const std::vector<std::string> shown = lines(message, w - 2 * margin);
    const float tall = 6 + lineHeight * static_cast<float>(shown.size());
    sf::RectangleShape strip(sf::Vector2f(w, tall));
    strip.setPosition(0, h - tall);
    strip.setFillColor(sf::Color(120, 20, 30, 235));
    Game::window.draw(strip, sf::RenderStates::Default);
    float y = h - tall + 3;
    for (const std::string& line : shown) {
        sf::Text text(Utf8::toSfString(line), StoryFont::get(), characterSize);
        text.setFillColor(sf::Color::White);
        text.setPosition(margin, y);
        WindowText::draw(text);
        y += lineHeight;
    }
    Game::window.setView(camera);
}

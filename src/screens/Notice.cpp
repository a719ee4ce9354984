#include "screens/Notice.h"

#include "core/Game.h"
#include "input/Gamepad.h"
#include "input/Keyboard.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

int Notice::readSteps = 120;

namespace {
std::string message;
int shownSteps = 0;
const float lineHeight = 16;

std::string utf8(const sf::String& words)
{
    const auto bytes = words.toUtf8();
    return std::string(bytes.begin(), bytes.end());
}

float widthOf(const sf::String& words)
{
    return sf::Text(words, StoryFont::get(), Notice::characterSize).getLocalBounds().width;
}
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
    std::vector<std::string> out;
    const sf::String all = Utf8::toSfString(text);
    sf::String line, word;
    const auto flushWord = [&] {
        if (word.isEmpty())
            return;
        sf::String joined = line.isEmpty() ? word : line + " " + word;
        if (widthOf(joined) <= width || line.isEmpty()) {
            line = joined;
        } else {
            out.push_back(utf8(line));
            line = word;
        }
        // A word wider than the whole line (a long file name) is cut.
        while (widthOf(line) > width && line.getSize() > 1) {
            std::size_t fits = line.getSize() - 1;
            while (fits > 1 && widthOf(line.substring(0, fits)) > width)
                --fits;
            out.push_back(utf8(line.substring(0, fits)));
            line = line.substring(fits);
        }
        word.clear();
    };
    for (std::size_t i = 0; i < all.getSize(); ++i) {
        if (all[i] == ' ' || all[i] == '\n') {
            flushWord();
            if (all[i] == '\n') {
                out.push_back(utf8(line));
                line.clear();
            }
        } else {
            word += all[i];
        }
    }
    flushWord();
    if (!line.isEmpty())
        out.push_back(utf8(line));
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

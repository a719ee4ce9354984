#include "screens/ScreenText.h"

#include "core/Game.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <cmath>

sf::Text ScreenText::make(const std::string& words, unsigned size, sf::Color colour)
{
    sf::Text text(Utf8::toSfString(words), StoryFont::get(), size);
    text.setFillColor(colour);
    return text;
}

float ScreenText::width(const std::string& words, unsigned size)
{
    return make(words, size, sf::Color::White).getLocalBounds().width;
}

void ScreenText::draw(const std::string& words, float x, float y, unsigned size, sf::Color colour)
{
    sf::Text text = make(words, size, colour);
    text.setPosition(std::round(x), std::round(y));
    WindowText::draw(text);
}

namespace {
float measure(const sf::String& words, unsigned size)
{
    const sf::Text text(words, StoryFont::get(), size);
    return text.getLocalBounds().width;
}
} // namespace

std::vector<std::string> ScreenText::wrap(const std::string& text, unsigned size, float width)
{
    std::vector<std::string> lines;
    const sf::String all = Utf8::toSfString(text);
    const auto keep = [&](const sf::String& line) {
        const std::basic_string<sf::Uint8> bytes = line.toUtf8();
        lines.emplace_back(bytes.begin(), bytes.end());
    };
    std::size_t start = 0;
    while (start <= all.getSize()) {
        std::size_t end = all.find("\n", start);
        if (end == sf::String::InvalidPos)
            end = all.getSize();
        const sf::String paragraph = all.substring(start, end - start);
        sf::String line;
        std::size_t at = 0;
        while (at < paragraph.getSize()) {
            std::size_t space = paragraph.find(" ", at);
            if (space == sf::String::InvalidPos)
                space = paragraph.getSize();
            const sf::String word = paragraph.substring(at, space - at);
            const sf::String longer = line.isEmpty() ? word : line + " " + word;
            if (line.isEmpty() || measure(longer, size) <= width) {
                line = longer;
            } else {
                keep(line);
                line = word;
            }
            // A word wider than a line alone: broken letter by letter.
            while (line.getSize() > 1 && measure(line, size) > width) {
                std::size_t fits = 1;
                while (fits + 1 < line.getSize() && measure(line.substring(0, fits + 1), size) <= width)
                    ++fits;
                keep(line.substring(0, fits));
                line = line.substring(fits);
            }
            at = space + 1;
        }
        keep(line);
        start = end + 1;
    }
    return lines;
}

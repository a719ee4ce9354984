#include "render/WindowText.h"

#include "core/Game.h"
#include "disk/Settings.h"
#include "resources/Utf8.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <algorithm>
#include <cmath>

void WindowText::draw(const sf::Text& text)
{
    sf::RenderWindow& window = Game::window;
    const sf::Font* font = text.getFont();
    const sf::String& string = text.getString();
    if (!font || string.isEmpty())
        return;
    const sf::View view = window.getView();
    const sf::Vector2f windowSize(window.getSize());
    const float scale = view.getViewport().height * windowSize.y / view.getSize().y;
    const bool plain = text.getOutlineThickness() == 0 && view.getRotation() == 0 && text.getRotation() == 0;
    if (!plain || std::fabs(scale - 1) < 1e-3f || !(scale > 0)) {
        window.draw(text, sf::RenderStates::Default); // at the picture's own size, or turned
        return;
    }
    const float size = static_cast<float>(text.getCharacterSize()) * text.getScale().y;
    const unsigned onScreen = std::max(1u, static_cast<unsigned>(std::lround(size * scale)));
    const bool bold = (text.getStyle() & sf::Text::Bold) != 0;
    const sf::Color colour = text.getFillColor();
    sf::VertexArray quads(sf::Triangles);
    for (std::size_t i = 0; i < string.getSize(); ++i) {
        const sf::Uint32 c = string[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        // The letter's place on its line's base, in window pixels.
        const sf::Vector2f at = text.findCharacterPos(i);
        const sf::Vector2i base = window.mapCoordsToPixel(sf::Vector2f(at.x, at.y + size), view);
        const sf::Glyph& glyph = font->getGlyph(c, onScreen, bold);
        // As the library lays a letter: a pixel of its texture's margin all round.
        const float pad = 1;
        const float left = static_cast<float>(base.x) + std::round(glyph.bounds.left) - pad;
        const float top = static_cast<float>(base.y) + std::round(glyph.bounds.top) - pad;
        const float right = left + glyph.bounds.width + 2 * pad, bottom = top + glyph.bounds.height + 2 * pad;
        const sf::IntRect r = glyph.textureRect;
        const float u0 = static_cast<float>(r.left) - pad, v0 = static_cast<float>(r.top) - pad;
        const float u1 = static_cast<float>(r.left + r.width) + pad, v1 = static_cast<float>(r.top + r.height) + pad;
        const sf::Vertex corner[4] = {{{left, top}, colour, {u0, v0}},
                                      {{right, top}, colour, {u1, v0}},
                                      {{left, bottom}, colour, {u0, v1}},
                                      {{right, bottom}, colour, {u1, v1}}};
        for (int k : {0, 1, 2, 2, 1, 3})
            quads.append(corner[k]);
    }
    // The font's page for the size, once every letter is on it.
    sf::RenderStates states(&font->getTexture(onScreen));
    window.setView(sf::View(sf::FloatRect(0, 0, windowSize.x, windowSize.y)));
    window.draw(quads, states);
    window.setView(view);
}

bool WindowText::large()
{
    return Settings::get("text", "size") == "large";
}

void WindowText::setLarge(bool on)
{
    Settings::set("text", "size", on ? "large" : "normal");
}

unsigned WindowText::sized(unsigned normal, bool large)
{
    return large ? static_cast<unsigned>(std::lround(normal * 1.25)) : normal;
}

unsigned WindowText::sized(unsigned normal)
{
    return sized(normal, large());
}

float WindowText::sized(float normal)
{
    return large() ? std::round(normal * 1.25f) : normal;
}

std::string WindowText::wrap(const std::string& text, float width,
                             const std::function<float(const std::string& line)>& widthOf)
{
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        // One of the text's own lines, wrapped at its spaces.
        std::string line;
        std::size_t at = start;
        while (at < end) {
            std::size_t space = text.find(' ', at);
            if (space == std::string::npos || space > end)
                space = end;
            const std::string word = text.substr(at, space - at);
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && widthOf(longer) > width) {
                out += line + "\n";
                line = word;
            } else {
                line = longer;
            }
            at = space + 1;
        }
        // Spaces the line began or ended with stay (an answer is indented).
        if (end > start && text[start] == ' ' && (line.empty() || line[0] != ' '))
            line.insert(0, " ");
        out += line;
        if (end >= text.size())
            break;
        out += "\n";
        start = end + 1;
    }
    return out;
}

float WindowText::widthIn(const sf::Font& font, unsigned size, const std::string& line)
{
    const sf::Text text(Utf8::toSfString(line), font, size);
    const sf::FloatRect box = text.getLocalBounds();
    return box.left + box.width;
}

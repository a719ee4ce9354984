#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/String.hpp>

#include <map>
#include <string>
#include <utility>

// Measures text as the game's text drawing lays it out (the same glyph
// metrics, kerning and line spacing, read with FreeType), without drawing
// it: drawing text needs the display's graphics, and the checker must work
// where there is no display.
class TextMeasure {
public:
    TextMeasure();
    ~TextMeasure();
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    // False when the file is not a font FreeType reads; then bounds() are empty.
    bool load(const std::string& path);
    bool loaded() const { return face != nullptr; }

    // The bounds the game's drawing gives `text` at `size` pixels, in the
    // regular style: what sf::Text::getLocalBounds() returns.
    sf::FloatRect bounds(const sf::String& text, unsigned size);

    // Whether the font draws `code` with a glyph of its own; a character it
    // lacks is drawn as the font's empty box.
    bool has(sf::Uint32 code) const;

private:
    struct Glyph {
        float advance = 0;
        sf::FloatRect box; // empty for a glyph without pixels
    };
    const Glyph& glyph(sf::Uint32 code, unsigned size);
    float kerning(sf::Uint32 first, sf::Uint32 second, unsigned size);
    bool setSize(unsigned size);

    void* library = nullptr; // FT_Library
    void* face = nullptr;    // FT_Face
    unsigned currentSize = 0;
    std::map<std::pair<sf::Uint32, unsigned>, Glyph> glyphs;
};

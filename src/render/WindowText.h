#pragma once

#include <functional>
#include <string>

namespace sf {
class Font;
class Text;
}

// Text drawn at the window's own resolution. A text is laid out as before,
// in the coordinates of the view it is drawn in (the 640 x 480 picture, or
// the world under the camera), so layouts and the checker's measures stay in
// picture pixels; but its letters are made at the size they take on screen
// (the character size times the window pixels per picture pixel) and each
// goes where the layout puts it, on a whole window pixel. At 2x a letter is
// a 20-pixel letter, not a 10-pixel one with every pixel doubled.
//
// And the text size the player chose (normal or large), which the panel, the
// goal line and the menus follow.
class WindowText {
public:
    WindowText() = delete;

    // Draws `text` into the game's window with the window's current view.
    static void draw(const sf::Text& text);

    // The text size chosen in the settings: large or normal.
    static bool large();
    static void setLarge(bool on);
    // A character size (or a size that holds text) of the normal text size,
    // as the chosen text size has it: a quarter larger when large.
    static unsigned sized(unsigned normal);
    static float sized(float normal);
    static unsigned sized(unsigned normal, bool large);

    // `text` (UTF-8) with its words wrapped so that no line is wider than
    // `width`, as `widthOf` measures a line; its own line breaks stay. A
    // word wider than `width` on its own keeps a line to itself.
    static std::string wrap(const std::string& text, float width,
                            const std::function<float(const std::string& line)>& widthOf);
    // The right edge of `line` drawn in `font` at `size`, as sf::Text lays it out.
    static float widthIn(const sf::Font& font, unsigned size, const std::string& line);
};

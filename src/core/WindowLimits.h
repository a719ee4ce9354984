#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf {
class Window;
}

// The window is never smaller than the picture at its own size (640 x 480
// inside the frame): any smaller and the conversation text would be scaled
// below its own size, too small to read.
//
// And where the picture goes in it: at a whole-number scale (every picture
// pixel the same size on screen, black bars around), or filling the window
// at the largest scale that fits, whole or not.
class WindowLimits {
public:
    WindowLimits() = delete;

    // `size`, grown where it is below the picture's size.
    static sf::Vector2u atLeastPicture(sf::Vector2u size);
    // Tells the window manager the smallest size it may give the window.
    static void tellWindowManager(sf::Window& window);
    // After a resize: a window made smaller than the picture (by a window
    // manager that ignored the hint) grows back. True when it was changed.
    static bool keepMinimum(sf::Window& window);

    // The scale the player chose: fill (the largest that fits), automatic,
    // or a whole number from 1 up.
    static constexpr int fill = -1;
    static constexpr int automatic = 0;
    static int chosenScale;

    // Whether the picture fills a window of `windowed`'s kind (false: a
    // window, true: fullscreen) on a screen of `screen`'s size. Automatic
    // fills where the whole-number scale would leave more than a quarter of
    // the screen's height unused (the window opens at the largest whole scale
    // within 90 % of the screen; fullscreen shows the largest that fits).
    static bool fills(int chosen, bool fullscreen, sf::Vector2u screen);
    // Where the picture goes in a window of `windowSize`, as a view's
    // viewport, centred: filling, the largest scale that fits; otherwise the
    // largest whole-number scale that fits (below 1x only when even 1x does
    // not). A window without area keeps the whole viewport.
    static sf::FloatRect pictureViewport(sf::Vector2u windowSize, bool fill);
    // The whole-number scale a window opens at: the largest that keeps it
    // within 90 % of the screen's width and height, and at least 1.
    static unsigned startScale(sf::Vector2u screen);
    // The size a filling window opens at: the picture at 90 % of the
    // screen's width or height, whichever is reached first.
    static sf::Vector2u fillWindowSize(sf::Vector2u screen);
};

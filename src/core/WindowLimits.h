#pragma once

#include <SFML/System/Vector2.hpp>

namespace sf {
class Window;
}

// The window is never smaller than the picture at its own size (640 x 480
// inside the frame): any smaller and the conversation text would be scaled
// below its own size, too small to read.
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
};

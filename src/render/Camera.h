#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>

// Where the camera looks. It follows the player but stops at the edges of the
// map, so that the picture never shows the void beyond them; a map smaller
// than the picture (on either axis) is shown in its middle. A map whose
// property "camera" is "follow" keeps the plain camera, always centred on the
// player wherever that takes it.
class Camera {
public:
    Camera() = delete;

    // The centre of a view of `viewSize` that shows `target` on a map covering
    // `map` (world pixels); with `follow`, or an empty map, simply `target`.
    // Whole pixels, so the tiles stay sharp.
    static sf::Vector2f centre(sf::Vector2f target, const sf::FloatRect& map, sf::Vector2f viewSize, bool follow);

    // The map the world state was built from; empty: no edges known.
    static sf::FloatRect map;
    static bool follow;
    // Sets the two from a map of that size and its "camera" property ("" when
    // it has none). False for a value other than "", "edges" and "follow",
    // which keeps the edges.
    static bool configure(int widthPixels, int heightPixels, const std::string& property);
};

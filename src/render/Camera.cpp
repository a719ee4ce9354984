#include "render/Camera.h"

#include <cmath>

sf::FloatRect Camera::map;
bool Camera::follow = false;

namespace {
// One axis: the target, held far enough inside the map's edges that the view
// stays on it, or the map's middle when the view is the longer.
float along(float target, float start, float length, float view)
{
    if (length <= view)
        return std::floor(start + length / 2);
    const float low = start + view / 2, high = start + length - view / 2;
    return target < low ? low : target > high ? high : target;
}
}

sf::Vector2f Camera::centre(sf::Vector2f target, const sf::FloatRect& area, sf::Vector2f viewSize, bool followOnly)
{
    if (followOnly || area.width <= 0 || area.height <= 0)
        return target;
    return sf::Vector2f(along(target.x, area.left, area.width, viewSize.x),
                        along(target.y, area.top, area.height, viewSize.y));
}

bool Camera::configure(int widthPixels, int heightPixels, const std::string& property)
{
    map = sf::FloatRect(0, 0, static_cast<float>(widthPixels), static_cast<float>(heightPixels));
    follow = property == "follow";
    return property.empty() || property == "edges" || property == "follow";
}

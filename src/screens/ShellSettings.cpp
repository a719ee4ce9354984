#include "screens/ShellSettings.h"

#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "screens/Notice.h"
#include "disk/Settings.h"

#include <SFML/Window/VideoMode.hpp>

#include <algorithm>

namespace {
const int mostScale = 8;
}

std::string ShellSettings::load()
{
    return Settings::load();
}

bool ShellSettings::keep()
{
    std::string why;
    if (Settings::save(&why))
        return true;
    Notice::show(fill(tr("Settings not kept: {why}"), {{"why", why}}));
    return false;
}

int ShellSettings::scale()
{
    return Settings::getInt("video", "scale", 0, 0, mostScale);
}

bool ShellSettings::fullscreen()
{
    return Settings::getBool("video", "fullscreen", false);
}

bool ShellSettings::goalLine()
{
    return Settings::getBool("game", "goal_line", true);
}

void ShellSettings::setScale(int scale)
{
    Settings::setInt("video", "scale", std::clamp(scale, 0, mostScale));
}

void ShellSettings::setFullscreen(bool on)
{
    Settings::setBool("video", "fullscreen", on);
}

void ShellSettings::setGoalLine(bool on)
{
    Settings::setBool("game", "goal_line", on);
}

int ShellSettings::largestScale()
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    int scale = 1;
    while (scale < mostScale && Game::pictureWidth * (scale + 1) <= desktop.width
           && Game::pictureHeight * (scale + 1) <= desktop.height)
        ++scale;
    return scale;
}

unsigned ShellSettings::windowScale()
{
    const int chosen = scale();
    if (chosen > 0)
        return static_cast<unsigned>(std::min(chosen, largestScale()));
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    return Game::startScale(desktop.width, desktop.height);
}

void ShellSettings::applyWindow()
{
    if (Game::fullscreen)
        return;
    const unsigned s = windowScale();
    const sf::Vector2u size(Game::pictureWidth * s, Game::pictureHeight * s);
    if (Game::window.getSize() != size)
        Game::window.setSize(size);
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    Game::window.setPosition(sf::Vector2i(std::max(0, (static_cast<int>(desktop.width) - static_cast<int>(size.x)) / 2),
                                          std::max(0, (static_cast<int>(desktop.height) - static_cast<int>(size.y)) / 2)));
    Game::fitView();
}

void ShellSettings::applyVideo()
{
    Game::setFullscreen(fullscreen());
    applyWindow();
}

std::string ShellSettings::describeScale()
{
    const int chosen = scale();
    if (chosen == 0)
        return fill(tr("automatic ({scale}x)"), {{"scale", std::to_string(windowScale())}});
    if (chosen > largestScale())
        return fill(tr("{chosen}x (too big: {scale}x)"),
                    {{"chosen", std::to_string(chosen)}, {"scale", std::to_string(windowScale())}});
    return std::to_string(chosen) + "x";
}

#include "screens/ShellSettings.h"

#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "screens/Notice.h"
#include "disk/Settings.h"
#include "core/WindowLimits.h"
#include "render/WindowText.h"
#include "screens/SettingsScreen.h"

#include <SFML/Window/VideoMode.hpp>

#include <algorithm>

namespace {
const int mostScale = 8;
}

std::string ShellSettings::load()
{
    std::string said = Settings::load();
    WindowLimits::chosenScale = scale();
    return said;
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
    // -1 is "fill the screen"; files written before hold 0 to 8 only.
    return Settings::getInt("video", "scale", WindowLimits::automatic, WindowLimits::fill, mostScale);
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
    Settings::setInt("video", "scale", std::clamp(scale, WindowLimits::fill, mostScale));
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

bool ShellSettings::fills()
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    return WindowLimits::fills(scale(), Game::fullscreen, {desktop.width, desktop.height});
}

void ShellSettings::applyWindow()
{
    WindowLimits::chosenScale = scale();
    if (Game::fullscreen) {
        Game::fitView();
        return;
    }
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const unsigned s = windowScale();
    const sf::Vector2u size = fills() ? WindowLimits::fillWindowSize({desktop.width, desktop.height})
                                      : sf::Vector2u(Game::pictureWidth * s, Game::pictureHeight * s);
    if (Game::window.getSize() != size)
        Game::window.setSize(size);
    Game::window.setPosition(sf::Vector2i(std::max(0, (static_cast<int>(desktop.width) - static_cast<int>(size.x)) / 2),
                                          std::max(0, (static_cast<int>(desktop.height) - static_cast<int>(size.y)) / 2)));
    Game::fitView();
}

void ShellSettings::applyVideo()
{
    WindowLimits::chosenScale = scale();
    Game::setFullscreen(fullscreen());
    applyWindow();
}

std::string ShellSettings::describeAutomatic()
{
    return fills() ? tr("automatic (fill the screen)") : fill(tr("automatic ({scale}x)"), {{"scale", std::to_string(windowScale())}});
}

std::string ShellSettings::describeScale()
{
    const int chosen = scale();
    if (chosen == WindowLimits::automatic)
        return describeAutomatic();
    if (chosen == WindowLimits::fill)
        return tr("fill the screen");
    if (chosen > largestScale())
        return fill(tr("{chosen}x (too big: {scale}x)"),
                    {{"chosen", std::to_string(chosen)}, {"scale", std::to_string(windowScale())}});
    return std::to_string(chosen) + "x";
}

void ShellSettings::addTextSizeEntry()
{
    for (const SettingsScreen::Entry& entry : SettingsScreen::entries)
        if (entry.id == "text-size")
            return;
    SettingsScreen::entries.push_back(
        {"text-size",
         [] { return tr("Text size:") + " " + (WindowText::large() ? trc("text size", "large") : trc("text size", "normal")); },
         [](int) { WindowText::setLarge(!WindowText::large()); }});
}

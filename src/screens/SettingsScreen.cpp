#include "screens/SettingsScreen.h"

#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "world/MainState.h"
#include "screens/ShellSettings.h"

std::vector<SettingsScreen::Entry> SettingsScreen::entries;
std::function<GameState*(GameState*)> SettingsScreen::controlsScreen;

SettingsScreen::SettingsScreen(MenuScreen* below)
    : MenuScreen(below)
{
    heading = tr("Settings");
    menu.top = 150;
    menu.width = 340;
    menu.add("scale", "");
    menu.add("fullscreen", "");
    menu.add("goal", "");
    for (const Entry& entry : entries)
        menu.add(entry.id, "");
    menu.add("controls", trc("heading", "Controls"));
    menu.add("back", tr("Back"));
    refresh();
    menu.settle();
}

void SettingsScreen::refresh()
{
    // What the window and the world show now, which keys elsewhere may change.
    menu.find("scale")->label = fill(tr("Window scale: {scale}"), {{"scale", ShellSettings::describeScale()}});
    menu.find("fullscreen")->label = Game::fullscreen ? tr("Fullscreen: on") : tr("Fullscreen: off");
    const MainState* world = find<MainState>();
    const bool goal = world ? world->goalLine.shown : ShellSettings::goalLine();
    menu.find("goal")->label = goal ? tr("Goal line: shown") : tr("Goal line: hidden");
    for (const Entry& entry : entries)
        if (Menu::Item* item = menu.find(entry.id))
            item->label = entry.label ? entry.label() : entry.id;
    menu.find("controls")->visible = static_cast<bool>(controlsScreen);
}

void SettingsScreen::adjusted(const std::string& id, int step)
{
    if (id == "scale") {
        // Round automatic, fill, 1x, 2x ... up to what the screen holds.
        const int count = ShellSettings::largestScale() + 2;
        const int now = ShellSettings::scale() < count - 1 ? ShellSettings::scale() : 0;
        const int at = now == -1 ? 1 : now == 0 ? 0 : now + 1; // the place in the round
        const int next = ((at + step) % count + count) % count;
        ShellSettings::setScale(next == 1 ? -1 : next == 0 ? 0 : next - 1);
        ShellSettings::applyWindow();
    } else if (id == "fullscreen") {
        ShellSettings::setFullscreen(!Game::fullscreen);
        ShellSettings::applyVideo();
    } else if (id == "goal") {
        MainState* world = find<MainState>();
        const bool shown = !(world ? world->goalLine.shown : ShellSettings::goalLine());
        ShellSettings::setGoalLine(shown);
        if (world)
            world->goalLine.shown = shown;
    } else {
        for (const Entry& entry : entries)
            if (entry.id == id && entry.adjust)
                entry.adjust(step);
    }
    ShellSettings::keep();
    refresh();
}

void SettingsScreen::chosen(const std::string& id)
{
    if (id == "back") {
        leave();
    } else if (id == "controls") {
        if (controlsScreen)
            Game::currentState = controlsScreen(this);
    } else {
        adjusted(id, 1);
    }
}

void SettingsScreen::back()
{
    leave();
}

#include "screens/PauseMenu.h"

#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "screens/ConversationLog.h"
#include "screens/GuildhallMap.h"
#include "screens/MenuHost.h"
#include "screens/Notice.h"
#include "screens/SettingsScreen.h"
#include "world/MainState.h"

PauseMenu::PauseMenu(GameState* below)
    : MenuScreen(below)
{
    menu.top = 170;
    menu.width = 260;
    for (const char* id : {"resume", "settings", "map", "log", "title", "quit"})
        menu.add(id, "");
    refresh();
    menu.settle();
}

void PauseMenu::refresh()
{
    // Written anew when the language changed in the settings over it.
    if (language == Catalogue::generation() && !heading.empty())
        return;
    language = Catalogue::generation();
    heading = tr("Paused");
    menu.find("resume")->label = tr("Resume");
    menu.find("settings")->label = tr("Settings");
    menu.find("map")->label = tr("Map");
    menu.find("log")->label = tr("Conversations");
    menu.find("title")->label = unsaved.count("title") ? tr("Quit to title without saving") : tr("Quit to title");
    menu.find("quit")->label = unsaved.count("quit") ? tr("Quit without saving") : tr("Quit");
}

bool PauseMenu::savedOrAccepted(const std::string& id, const std::string& unsavedLabel)
{
    Menu::Item* item = menu.find(id);
    if (unsaved.count(id))
        return true; // asked again: leave without saving
    if (!MenuHost::installed || MenuHost::installed->save())
        return true;
    unsaved.insert(id);
    item->label = unsavedLabel;
    item->detail = Notice::current();
    return false;
}

void PauseMenu::chosen(const std::string& id)
{
    if (id == "resume") {
        leave();
    } else if (id == "map") {
        Game::currentState = new GuildhallMap(this);
    } else if (id == "log") {
        const MainState* world = find<MainState>();
        Game::currentState = new ConversationLog(this, world ? &world->seen.log : nullptr);
    } else if (id == "settings") {
        open(new SettingsScreen(this));
    } else if (id == "title") {
        if (savedOrAccepted(id, tr("Quit to title without saving")) && MenuHost::installed)
            MenuHost::installed->toTitle();
    } else if (id == "quit") {
        if (savedOrAccepted(id, tr("Quit without saving")))
            Game::end();
    }
}

void PauseMenu::back()
{
    leave();
}

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
    heading = tr("Paused");
    menu.top = 170;
    menu.width = 260;
    menu.add("resume", tr("Resume"));
    menu.add("settings", tr("Settings"));
    menu.add("map", tr("Map"));
    menu.add("log", tr("Conversations"));
    menu.add("title", tr("Quit to title"));
    menu.add("quit", tr("Quit"));
    menu.settle();
}

bool PauseMenu::savedOrAccepted(const std::string& id, const std::string& unsavedLabel)
{
    Menu::Item* item = menu.find(id);
    if (item->label == unsavedLabel)
        return true; // asked again: leave without saving
    if (!MenuHost::installed || MenuHost::installed->save())
        return true;
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

#include "screens/TitleScreen.h"

#include "audio/Audio.h"

#include "core/Game.h"
#include "disk/EndingsFile.h"
#include "i18n/Catalogue.h"
#include "render/SpriteBatch.h"
#include "story/Goals.h"
#include "world/MainState.h"
#include "screens/EndingCard.h"
#include "screens/MenuHost.h"
#include "screens/Notice.h"
#include "resources/ResourceFile.h"
#include "screens/SettingsScreen.h"
#include "resources/StoryFont.h"
#include "render/WindowText.h"
#include "resources/Utf8.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <exception>
#include <filesystem>

const char* const TitleScreen::picture = "res/gfx/title.png";

TitleScreen::TitleScreen(MainState* world, const SaveGame::Slot& slot)
    : MenuScreen(nullptr)
    , world(world)
{
    Audio::titleMusic();
    if (ResourceFile::isRegular(picture))
        hasBackground = background.loadFromFile(picture);
    menu.top = 250;
    menu.width = 280;
    showSlot(slot);
    language = Catalogue::generation();
}

TitleScreen::~TitleScreen()
{
    delete world;
}

void TitleScreen::showSlot(const SaveGame::Slot& found)
{
    slot = found;
    // Why the save cannot be used, or why the backup stands in for it, in
    // full at the bottom until the player has read it.
    if (!slot.reason.empty())
        Notice::show(slot.reason);
    endings = countEndings();
    showMain();
}

std::string TitleScreen::countEndings() const
{
    // The world's endings as its goal file names them.
    std::map<int, std::string> known;
    try {
        if (world)
            known = world->goalLine.goals.endings;
        else if (std::filesystem::exists(Goals::file))
            known = Goals::load(Goals::file).endings;
    } catch (const std::exception&) {
        return "";
    }
    const EndingsFile file;
    std::size_t reached = 0;
    for (const auto& ending : known)
        reached += file.reached(ending.first) ? 1 : 0;
    if (reached == 0)
        return "";
    return fill(tr("Endings: {reached} of {total}"),
                {{"reached", std::to_string(reached)}, {"total", std::to_string(known.size())}});
}

std::string TitleScreen::describe(const SaveGame::Slot& slot)
{
    // Whole steps only, and no more than a lifetime of them (a damaged count
    // must not overflow the clock).
    const long long most = 60LL * 3600 * 24 * 365 * 100;
    const long long steps = slot.playedSteps < 0 ? 0 : slot.playedSteps > most ? most : slot.playedSteps;
    const sf::Time played = sf::microseconds(steps / 60 * 1000000 + steps % 60 * 1000000 / 60);
    static const char* const parts[] = {N_("Part 1, morning"), N_("Part 2, lunchtime"), N_("Part 3, afternoon"),
                                        N_("Part 4, five o'clock")};
    const std::string where =
        slot.part < 0 ? tr("Before the first talk") : Catalogue::text(parts[slot.part > 3 ? 3 : slot.part]);
    return fill(tr("{part}, {time} played"), {{"part", where}, {"time", EndingCard::formatTime(played)}});
}

void TitleScreen::showMain()
{
    askingToReplace = false;
    heading.clear();
    menu.top = 250;
    menu.items.clear();
    menu.add("new", tr("New game"));
    Menu::Item& resume = menu.add("continue", slot.fromBackup ? tr("Continue from the backup") : tr("Continue"));
    resume.visible = slot.exists;
    resume.enabled = slot.usable;
    resume.detail = slot.usable ? describe(slot) : slot.reason;
    menu.add("settings", tr("Settings"));
    menu.add("quit", tr("Quit"));
    menu.selected = -1;
    // A player who has a game going most likely wants it back.
    if (!menu.select("continue"))
        menu.select("new");
}

void TitleScreen::refresh()
{
    // Back from the settings in another language: the items read anew, the
    // same one selected.
    if (language == Catalogue::generation() || askingToReplace)
        return;
    language = Catalogue::generation();
    endings = countEndings();
    if (menu.selected < 0)
        return showMain();
    const std::string kept = menu.items[static_cast<std::size_t>(menu.selected)].id;
    showMain();
    menu.select(kept);
}

void TitleScreen::askToReplace()
{
    askingToReplace = true;
    heading = tr("Replace the saved game?");
    // The question's heading stands clear of the name and the line beneath it.
    menu.top = 266;
    menu.items.clear();
    Menu::Item& keep = menu.add("keep", tr("No, keep it"));
    keep.detail = describe(slot);
    menu.add("replace", tr("Yes, start a new game"));
    menu.selected = -1;
    menu.select("keep");
}

void TitleScreen::chosen(const std::string& id)
{
    if (id == "new") {
        // Only a save that could be continued is worth a question: one that
        // cannot be used is kept aside already.
        if (slot.usable)
            askToReplace();
        else
            startNew();
    } else if (id == "replace") {
        startNew();
    } else if (id == "keep") {
        showMain();
    } else if (id == "continue") {
        MainState* fresh = takeWorld();
        if (!fresh)
            return;
        if (!MenuHost::installed || !MenuHost::installed->continueGame(fresh)) {
            // The world may have been half changed: the next start builds anew.
            delete fresh;
            showSlot(SaveGame::inspect());
        }
    } else if (id == "settings") {
        open(new SettingsScreen(this));
    } else if (id == "quit") {
        Game::end();
    }
}

void TitleScreen::back()
{
    if (askingToReplace)
        showMain();
}

MainState* TitleScreen::takeWorld()
{
    MainState* fresh = world;
    world = nullptr;
    if (fresh)
        return fresh;
    try {
        return new MainState();
    } catch (const std::exception& error) {
        Notice::show(error.what());
        return nullptr;
    }
}

void TitleScreen::startNew()
{
    if (!MenuHost::installed)
        return;
    if (MainState* fresh = takeWorld())
        MenuHost::installed->newGame(fresh);
}

void TitleScreen::drawBackdrop()
{
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    if (hasBackground) {
        SpriteBatch::game().draw(sf::Sprite(background)); // its pixels as even as the world's
    } else {
        sf::RectangleShape plain(sf::Vector2f(Game::pictureWidth, Game::pictureHeight));
        plain.setFillColor(sf::Color(86, 52, 30));
        Game::window.draw(plain, sf::RenderStates::Default);
    }
    // The name, in the lettering of the closing card, with a shadow.
    sf::Text name("TARNWICK", StoryFont::get(), 56);
    name.setStyle(sf::Text::Bold);
    const sf::FloatRect box = name.getLocalBounds();
    const float left = static_cast<float>(static_cast<int>((Game::pictureWidth - box.width) / 2 - box.left));
    name.setFillColor(sf::Color(34, 28, 38));
    name.setPosition(left + 3, 103);
    WindowText::draw(name);
    name.setFillColor(sf::Color(255, 226, 120));
    name.setPosition(left, 100);
    WindowText::draw(name);
    sf::Text line(Utf8::toSfString(tr("A first day at the Guildhall")), StoryFont::get(), 14);
    const sf::FloatRect lineBox = line.getLocalBounds();
    line.setFillColor(sf::Color(244, 242, 236));
    line.setPosition(static_cast<float>(static_cast<int>((Game::pictureWidth - lineBox.width) / 2 - lineBox.left)), 172);
    WindowText::draw(line);
    // The endings reached so far, on a small panel of their own under the menu's.
    if (!endings.empty()) {
        const sf::FloatRect list = menu.bounds();
        sf::Text count(Utf8::toSfString(endings), StoryFont::get(), 14);
        const sf::FloatRect countBox = count.getLocalBounds();
        const float x = static_cast<float>(static_cast<int>((Game::pictureWidth - countBox.width) / 2 - countBox.left));
        const float y = list.top + list.height + 14 + 3 + 14;
        sf::RectangleShape plate(sf::Vector2f(countBox.width + 24, 24));
        plate.setPosition(x + countBox.left - 12, y - 3);
        plate.setFillColor(panelFill);
        plate.setOutlineColor(panelEdge);
        plate.setOutlineThickness(2);
        Game::window.draw(plate, sf::RenderStates::Default);
        count.setFillColor(highlight);
        count.setPosition(x, y);
        WindowText::draw(count);
    }
    Game::window.setView(camera);
}

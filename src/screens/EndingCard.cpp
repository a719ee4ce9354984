#include "screens/EndingCard.h"

#include "audio/Audio.h"
#include "core/Game.h"
#include "disk/EndingsFile.h"
#include "i18n/Catalogue.h"
#include "input/Gamepad.h"
#include "story/Goals.h"
#include "input/Keyboard.h"
#include "render/PictureDigest.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"
#include "screens/MenuHost.h"
#include "screens/Notice.h"
#include "story/SaveGame.h"
#include "world/MainState.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>

#include <cstdio>

bool EndingCard::requested = false;
int EndingCard::requestedChoice = 0;

namespace {

// A line of the card, centred on the picture at height `top`.
void drawCentred(const std::string& words, unsigned size, float top, sf::Color colour)
{
    sf::Text text(Utf8::toSfString(words), StoryFont::get(), size);
    text.setFillColor(colour);
    const sf::FloatRect box = text.getLocalBounds();
    text.setPosition(static_cast<float>(static_cast<int>((Game::pictureWidth - box.width) / 2 - box.left)), top);
    WindowText::draw(text);
}

} // namespace

EndingCard::EndingCard(GameState* world, std::string ending, sf::Time played, std::string shownEnding)
    : world(world)
    , ending(std::move(ending))
    , shownEnding(shownEnding.empty() ? this->ending : std::move(shownEnding))
    , played(played)
{
    Audio::play(Audio::Cue::Sting);
}

EndingCard::~EndingCard()
{
    delete world;
}

bool EndingCard::addToPictureDigest(PictureDigest& digest) const
{
    digest.addEntities(*this);
    return true;
}

bool EndingCard::addOverStory(std::string& text) const
{
    text += "closing card: " + ending + '\n';
    return true;
}

bool EndingCard::addToStateDigest(std::string& text) const
{
    text += ending + '\n';
    return true;
}

void EndingCard::request(int choice)
{
    requested = true;
    requestedChoice = choice;
}

void EndingCard::open(GameState* world, const Goals& goals, sf::Time played)
{
    requested = false;
    // Like a conversation, the card stands over the world, which it keeps.
    auto* card = new EndingCard(world, describe(goals, requestedChoice), played,
                                   describe(goals, requestedChoice, true));
    Game::currentState = card;
    if (!SaveGame::enabled)
        return;
    // Continue goes back to just before the last conversation, with the time
    // the card shows, so that the last choice can be made again.
    std::string trouble;
    if (auto* main = dynamic_cast<MainState*>(world); main && !SaveGame::keepEndingMoment(*main))
        trouble = SaveGame::lastError;
    // The endings reached, kept apart from the save, so that a new game
    // never forgets them.
    if (!goals.ending(requestedChoice).empty()) {
        EndingsFile endings;
        std::string why;
        card->news = endings.record(requestedChoice, &why) ? tr("A new ending") : tr("Reached before");
        if (!why.empty()) {
            trouble = fill(tr("The endings reached could not be kept: {why}"), {{"why", why}});
        }
    }
    if (!trouble.empty())
        Notice::show(trouble);
}

std::string EndingCard::describe(const Goals& goals, int choice, bool translated)
{
    const std::string english = goals.ending(choice);
    if (english.empty())
        return translated ? tr("The end") : "The end";
    const std::string name = translated ? Catalogue::text("ending", english.c_str()) : english;
    if (goals.endings.size() < 2)
        return name;
    return fill(translated ? tr("Ending {number} of {total}: {name}") : "Ending {number} of {total}: {name}",
                {{"number", std::to_string(choice)}, {"total", std::to_string(goals.endings.size())}, {"name", name}});
}

std::string EndingCard::formatTime(sf::Time played)
{
    const long long seconds = played.asMicroseconds() > 0 ? played.asMicroseconds() / 1000000 : 0;
    const auto twoDigits = [](long long n) {
        char text[24];
        std::snprintf(text, sizeof text, "%02lld", n);
        return std::string(text);
    };
    if (seconds < 60)
        return fill(tr("{seconds} s"), {{"seconds", std::to_string(seconds)}});
    if (seconds < 3600)
        return fill(tr("{minutes} min {seconds} s"),
                    {{"minutes", std::to_string(seconds / 60)}, {"seconds", twoDigits(seconds % 60)}});
    return fill(tr("{hours} h {minutes} min"),
                {{"hours", std::to_string(seconds / 3600)}, {"minutes", twoDigits(seconds / 60 % 60)}});
}

sf::Time EndingCard::stepsTime(long long steps)
{
    return sf::microseconds(steps > 0 ? steps * 1000000 / 60 : 0);
}

void EndingCard::update()
{
    const int elapsed = shown;
    if (shown < duration)
        ++shown;
    if (elapsed >= duration) {
        leave();
        return;
    }
    if (elapsed < grace)
        return;
    if (Gamepad::anyPressed()) {
        leave();
        return;
    }
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        if (Keyboard::keyPressed(static_cast<sf::Keyboard::Key>(k))) {
            leave();
            return;
        }
    }
}

void EndingCard::leave()
{
    // The title, where Continue offers the last choice again; the card and
    // the world beneath it are released there.
    if (MenuHost::installed)
        MenuHost::installed->toTitle();
    else
        Game::end();
}

void EndingCard::draw()
{
    if (world)
        world->draw();

    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    const float w = static_cast<float>(Game::pictureWidth), h = static_cast<float>(Game::pictureHeight);

    sf::RectangleShape dim(sf::Vector2f(w, h));
    dim.setFillColor(sf::Color(0, 0, 0, 150));
    Game::window.draw(dim, sf::RenderStates::Default);

    sf::RectangleShape panel(sf::Vector2f(440, 150));
    panel.setPosition((w - 440) / 2, (h - 150) / 2);
    panel.setFillColor(sf::Color(0, 50, 200, 255));
    panel.setOutlineColor(sf::Color(0, 25, 100, 255));
    panel.setOutlineThickness(3);
    Game::window.draw(panel, sf::RenderStates::Default);

    const float top = (h - 150) / 2;
    drawCentred("TARNWICK", 28, top + 10, sf::Color::White);
    drawCentred(shownEnding, 14, top + 52, sf::Color(255, 226, 120));
    if (!news.empty())
        drawCentred(news, 12, top + 74, sf::Color(255, 226, 120));
    drawCentred(fill(tr("Time played: {time}"), {{"time", formatTime(played)}}), 12, top + 96, sf::Color::White);
    drawCentred(tr("Press any key"), 10, top + 124, sf::Color(170, 190, 240));

    Game::window.setView(camera);
}

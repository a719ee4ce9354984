#include "screens/ConversationLog.h"

#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "input/Gamepad.h"
#include "input/Input.h"
#include "input/Keyboard.h"
#include "render/PictureDigest.h"
#include "screens/GoalLine.h"
#include "screens/Pointer.h"
#include "screens/ScreenText.h"
#include "render/WindowText.h"
#include "story/LogBook.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <cmath>

namespace {
using K = sf::Keyboard;

// The panel in the blues of the goal line and the menus.
const sf::Color& panelFill = GoalLine::edge;
const sf::Color& panelEdge = GoalLine::background;
const sf::Color lettering(255, 255, 255);
const sf::Color speakerColour(255, 226, 120);
const sf::Color answerColour(170, 230, 255);
const sf::Color dim(190, 205, 245);
// The panel, and the text inside it.
const sf::FloatRect panel(24, 46, 592, 380);
const float textLeft = 40;
const float textTop = 54;
const float indent = 14;
const float textWidth = 560;

// The pad's inputs and the keys that scroll: -1 up, +1 down, 0 neither.
int lineKeys(bool (*asked)(K::Key), bool (*pad)(int), bool (*action)(Action))
{
    if (asked(K::Up) || action(Action::Up) || pad(PadInputs::DPadUp) || pad(PadInputs::StickUp))
        return -1;
    if (asked(K::Down) || action(Action::Down) || pad(PadInputs::DPadDown) || pad(PadInputs::StickDown))
        return 1;
    return 0;
}
} // namespace

ConversationLog::ConversationLog(GameState* previous, const LogBook* log)
    : OverlayScreen(previous)
    , textSize(WindowText::sized(12u))
    , rowHeight(std::round(WindowText::sized(17.f)))
    , rowsShown(static_cast<int>(364 / rowHeight))
{
    if (log) {
        for (const LogBook::Conversation& talk : log->conversations()) {
            if (!rows.empty())
                rows.push_back(Row{Row::Kind::Note, ""});
            rows.push_back(Row{Row::Kind::Speaker, talk.speaker.empty() ? tr("(no name)") : Catalogue::world(talk.speaker, "name")});
            for (const LogBook::Line& line : talk.lines) {
                const std::string lead = line.answer ? "» " : "";
                bool first = true;
                for (const std::string& piece : ScreenText::wrap(Catalogue::world(line.text), textSize, textWidth - indent - 14)) {
                    rows.push_back(Row{line.answer ? Row::Kind::Answer : Row::Kind::Page,
                                       (first ? lead : std::string(line.answer ? "  " : "")) + piece});
                    first = false;
                }
            }
        }
    }
    if (rows.empty())
        rows.push_back(Row{Row::Kind::Note, tr("No conversations yet.")});
    top = lastTop(); // the newest first in view
}

int ConversationLog::lastTop() const
{
    return std::max(0, static_cast<int>(rows.size()) - rowsShown);
}

void ConversationLog::scroll(int by)
{
    top = std::clamp(top + by, 0, lastTop());
}

void ConversationLog::update()
{
    if (backPressed()) {
        close();
        return;
    }
    const int page = rowsShown - 1;
    if (Keyboard::keyPressed(K::PageUp) || Gamepad::pressed(PadInputs::LeftShoulder))
        scroll(-page);
    else if (Keyboard::keyPressed(K::PageDown) || Gamepad::pressed(PadInputs::RightShoulder))
        scroll(page);
    else if (Keyboard::keyPressed(K::Home))
        top = 0;
    else if (Keyboard::keyPressed(K::End))
        top = lastTop();

    // A line at a press; held, a line every few steps.
    const int pressed = lineKeys(Keyboard::keyPressed, Gamepad::pressed, Input::pressed);
    const int down = lineKeys(Keyboard::keyDown, Gamepad::down, Input::down);
    if (pressed != 0) {
        scroll(pressed);
        held = 0;
    } else if (down != 0) {
        if (++held >= repeatAfter && (held - repeatAfter) % repeatSteps == 0)
            scroll(down);
    } else {
        held = 0;
    }
    const float notches = Pointer::takeWheel();
    if (notches != 0)
        scroll(-static_cast<int>(std::lround(notches * wheelRows)));
}

bool ConversationLog::addToPictureDigest(PictureDigest& digest) const
{
    digest.add(std::string("log"));
    digest.add(top);
    digest.add(rows.size());
    for (int i = top; i < std::min(static_cast<int>(rows.size()), top + rowsShown); ++i)
        digest.add(rows[static_cast<std::size_t>(i)].text);
    return true;
}

void ConversationLog::draw()
{
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    sf::RectangleShape back(sf::Vector2f(Game::pictureWidth, Game::pictureHeight));
    back.setFillColor(sf::Color(10, 12, 30));
    Game::window.draw(back, sf::RenderStates::Default);
    sf::RectangleShape box(sf::Vector2f(panel.width, panel.height));
    box.setPosition(panel.left, panel.top);
    box.setFillColor(panelFill);
    box.setOutlineColor(panelEdge);
    box.setOutlineThickness(3);
    Game::window.draw(box, sf::RenderStates::Default);

    const std::string title = tr("Conversations");
    ScreenText::draw(title, (Game::pictureWidth - ScreenText::width(title, 20)) / 2, 12, 20, lettering);
    for (int i = 0; i < rowsShown && top + i < static_cast<int>(rows.size()); ++i) {
        const Row& row = rows[static_cast<std::size_t>(top + i)];
        const float y = textTop + static_cast<float>(i) * rowHeight;
        switch (row.kind) {
        case Row::Kind::Speaker: ScreenText::draw(row.text, textLeft, y, textSize, speakerColour); break;
        case Row::Kind::Page: ScreenText::draw(row.text, textLeft + indent, y, textSize, lettering); break;
        case Row::Kind::Answer: ScreenText::draw(row.text, textLeft + indent, y, textSize, answerColour); break;
        case Row::Kind::Note: ScreenText::draw(row.text, textLeft, y, textSize, dim); break;
        }
    }
    // Where the panel stands in the whole log.
    if (lastTop() > 0) {
        const float track = panel.height - 16;
        const float length = std::max(12.f, track * rowsShown / static_cast<float>(rows.size()));
        sf::RectangleShape bar(sf::Vector2f(4, length));
        bar.setPosition(panel.left + panel.width - 10, panel.top + 8 + (track - length) * top / lastTop());
        bar.setFillColor(dim);
        Game::window.draw(bar, sf::RenderStates::Default);
    }
    const std::string hint = tr("Up, Down, Page Up, Page Down, wheel: scroll") + "    " + tr("Escape: close");
    ScreenText::draw(hint, (Game::pictureWidth - ScreenText::width(hint, 11)) / 2, 446, 11, dim);
    Game::window.setView(camera);
}

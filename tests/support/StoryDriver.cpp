#include "StoryDriver.h"

#include "mapformat/CellMath.h"

#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "input/Keyboard.h"
#include "characters/Player.h"
#include "TestSupport.h"

#include <algorithm>
#include <climits>
#include <map>
#include <queue>
#include <set>
#include <utility>

namespace testing_support {

namespace {

using Cell = std::pair<int, int>; // column, row

const char* keyWord(sf::Keyboard::Key key)
{
    switch (key) {
    case sf::Keyboard::Up: return "Up";
    case sf::Keyboard::Down: return "Down";
    case sf::Keyboard::Left: return "Left";
    case sf::Keyboard::Right: return "Right";
    case sf::Keyboard::Return: return "Return";
    case sf::Keyboard::Space: return "space";
    case sf::Keyboard::Num1: return "1";
    case sf::Keyboard::Num2: return "2";
    case sf::Keyboard::Num3: return "3";
    default: return "?";
    }
}

int cellOf(int position, int size)
{
    return static_cast<int>(CellMath::floorDiv(position, size));
}

} // namespace

StoryDriver::StoryDriver(GameState* world)
    : world(world)
{
}

Player* StoryDriver::player() const
{
    for (Entity* e : world->entities)
        if (auto* p = dynamic_cast<Player*>(e))
            return p;
    return nullptr;
}

void StoryDriver::frame()
{
    ++frames;
    Recording::Keys keys;
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
        keys[static_cast<std::size_t>(k)] = Keyboard::currentState[k];
    recording.add(keys);
    if (drawing)
        runFrame();
    else
        updateFrame();
    if (afterFrame)
        afterFrame();
}

void StoryDriver::idle(int frames)
{
    for (int i = 0; i < frames && Game::running; ++i) {
        holdKeys({});
        frame();
    }
}

void StoryDriver::step(sf::Keyboard::Key key)
{
    actions.push_back(std::string("step ") + keyWord(key));
    holdKeys({key});
    frame();
    idle(18);
}

void StoryDriver::press(sf::Keyboard::Key key)
{
    actions.push_back(std::string("press ") + keyWord(key));
    holdKeys({key});
    frame();
    idle(2);
}

void StoryDriver::note(const std::string& text)
{
    actions.push_back("# " + text);
}

void StoryDriver::talk()
{
    if (beforeTalk)
        beforeTalk();
    press(sf::Keyboard::Return);
}

bool StoryDriver::walkTo(const Entity* target)
{
    Player* me = player();
    if (!me || !target)
        return false;
    const int size = me->bounds.width > 0 ? me->bounds.width : 32;

    // Cells blocked by solid things, and the extent of the world.
    std::set<Cell> blocked;
    int minC = INT_MAX, minR = INT_MAX, maxC = INT_MIN, maxR = INT_MIN;
    for (Entity* e : world->entities) {
        const int c0 = cellOf(e->bounds.left, size), r0 = cellOf(e->bounds.top, size);
        const int c1 = cellOf(e->bounds.left + std::max(e->bounds.width, 1) - 1, size);
        const int r1 = cellOf(e->bounds.top + std::max(e->bounds.height, 1) - 1, size);
        minC = std::min(minC, c0 - 1);
        minR = std::min(minR, r0 - 1);
        maxC = std::max(maxC, c1 + 1);
        maxR = std::max(maxR, r1 + 1);
        if (!e->solid || e == me || e->bounds.width <= 0 || e->bounds.height <= 0)
            continue;
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r)
                blocked.insert({c, r});
    }

    const Cell start{cellOf(me->x, size), cellOf(me->y, size)};
    const Cell goal{cellOf(target->x, size), cellOf(target->y, size)};
    struct Move {
        int dc, dr;
        sf::Keyboard::Key key;
    };
    const Move moves[4] = {{0, -1, sf::Keyboard::Up}, {1, 0, sf::Keyboard::Right},
                           {0, 1, sf::Keyboard::Down}, {-1, 0, sf::Keyboard::Left}};

    // Breadth-first search for a free cell next to the target.
    std::map<Cell, std::pair<Cell, sf::Keyboard::Key>> cameFrom;
    std::queue<Cell> open;
    open.push(start);
    cameFrom[start] = {start, sf::Keyboard::Unknown};
    Cell stand{INT_MIN, INT_MIN};
    sf::Keyboard::Key face = sf::Keyboard::Unknown;
    while (!open.empty() && face == sf::Keyboard::Unknown) {
        const Cell here = open.front();
        open.pop();
        for (const Move& m : moves) {
            if (here.first + m.dc == goal.first && here.second + m.dr == goal.second) {
                stand = here;
                face = m.key;
                break;
            }
        }
        for (const Move& m : moves) {
            const Cell next{here.first + m.dc, here.second + m.dr};
            if (next.first < minC || next.first > maxC || next.second < minR || next.second > maxR)
                continue;
            if (blocked.count(next) || cameFrom.count(next))
                continue;
            cameFrom[next] = {here, m.key};
            open.push(next);
        }
    }
    if (face == sf::Keyboard::Unknown)
        return false;

    std::vector<sf::Keyboard::Key> path;
    for (Cell c = stand; c != start; c = cameFrom[c].first)
        path.push_back(cameFrom[c].second);
    std::reverse(path.begin(), path.end());
    for (sf::Keyboard::Key key : path)
        step(key);
    step(face); // the target is solid: this only turns towards it
    return cellOf(me->x, size) == stand.first && cellOf(me->y, size) == stand.second;
}

int StoryDriver::converse(const std::function<int(const DialogueBox&)>& choose)
{
    int pages = 0;
    for (int guard = 0; guard < 1000 && Game::running; ++guard) {
        DialogueBox* box = openBox();
        if (!box)
            return pages;
        if (!box->pageComplete()) { // typing itself out: the first space completes it
            press(sf::Keyboard::Space);
            continue;
        }
        if (onPage)
            onPage(*box);
        if (!box->pages.empty() || !box->node || box->node->options.empty() || !box->optionsShown) {
            ++pages;
            press(sf::Keyboard::Space);
        } else {
            const int answer = choose(*box);
            press(answer == 1 ? sf::Keyboard::Num1 : answer == 2 ? sf::Keyboard::Num2 : sf::Keyboard::Num3);
        }
    }
    return pages;
}

bool StoryDriver::play(const StoryExplorer::Talk& talk)
{
    note("talk to " + talk.with);
    for (sf::Keyboard::Key key : talk.walk)
        step(key);
    if (talk.face != sf::Keyboard::Unknown)
        step(talk.face); // against someone solid: this only turns
    this->talk();
    if (!openBox())
        return false;
    std::vector<int> answers;
    for (const std::vector<int>& each : talk.answers)
        answers.insert(answers.end(), each.begin(), each.end());
    std::size_t next = 0;
    converse([&](const DialogueBox&) { return next < answers.size() ? answers[next++] : 1; });
    return true;
}

bool StoryDriver::visit(const Entity* target, int answer)
{
    if (!walkTo(target))
        return false;
    talk();
    if (!openBox())
        return false;
    converse([answer](const DialogueBox&) { return answer; });
    return true;
}

} // namespace testing_support

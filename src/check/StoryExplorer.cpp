#include "check/StoryExplorer.h"

#include "characters/Boss.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/GameState.h"
#include "characters/Player.h"
#include "mapformat/CellMath.h"
#include "story/StoryCast.h"
#include "story/StoryRole.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"
#include "characters/Table.h"
#include "characters/Victim.h"
#include "characters/Warden.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <optional>
#include <queue>
#include <unordered_map>

namespace {

using Key = sf::Keyboard::Key;

// Up, right, down, left: as the player's keys go round.
const int stepColumn[4] = {0, 1, 0, -1};
const int stepRow[4] = {-1, 0, 1, 0};
const Key keyOf[4] = {sf::Keyboard::Up, sf::Keyboard::Right, sf::Keyboard::Down, sf::Keyboard::Left};

// How a conversation can end: for each number the box hands the speaker at
// the end (the last answer chosen, 0 when none was), one way of answering
// that gets there; and a way into a node that cannot be left, if any.
struct Endings {
    std::map<int, std::vector<int>> results;
    std::optional<std::vector<int>> trap;
};

void findEndings(const DialogueTree& node, int last, std::vector<int>& answers, Endings& into)
{
    if (node.options.empty()) {
        into.results.emplace(last, answers);
        return;
    }
    bool onward = false;
    for (std::size_t i = 0; i < node.options.size() && i < 3; ++i) {
        if (i >= node.responses.size())
            continue; // its key does nothing
        onward = true;
        answers.push_back(static_cast<int>(i) + 1);
        findEndings(node.responses[i], static_cast<int>(i) + 1, answers, into);
        answers.pop_back();
    }
    if (!onward && !into.trap)
        into.trap = answers;
}

enum class Kind { plain, victim, warden, table, boss };

// Someone the player can talk to, with what the game reads of them.
struct Actor {
    Kind kind = Kind::plain;
    int order = 0; // place in the world's entity list: who answers first
    int slot = 0;  // among the victims, wardens or tables
    std::string label;
    sf::IntRect place, aside; // a warden's two places
    bool solid = false;
    int part = 0;
    const StoryRole* role = nullptr;     // a character of the story: its rules, asked of every state
    const DialogueTree* own = nullptr;   // a plain thing's conversation
    bool named = false;                  // a plain thing with a name is someone to talk to
};

// The story between conversations: the state without the player's cell, which
// the explorer keeps beside it, and without the time played.
using Story = StoryState;
using VictimState = StoryState::VictimState;

struct Outcome {
    Story story;
    int id = -1; // of the story, once known
    bool ending = false;
    bool trapped = false;
    std::vector<std::vector<int>> answers; // in the order they are given
    std::vector<std::string> with;
};

class Explorer {
public:
    explicit Explorer(const GameState& world);
    StoryExplorer::Result run(long long maxStates);

private:
    struct Node {
        int story;
        int cell;
    };
    struct Parent {
        int from = -1;
        int stand = 0;
        int direction = 0;
        int outcome = 0;
        bool arrive = false;
        bool turn = false;
    };
    static constexpr int goal = 0, trap = 1;

    int cellAt(long long i, long long j) const
    {
        if (i < imin || j < jmin || i >= imin + columns || j >= jmin + rows)
            return -1;
        return static_cast<int>((j - jmin) * columns + (i - imin));
    }
    int neighbour(int cell, int direction) const
    {
        return cellAt(cell % columns + imin + stepColumn[direction], cell / columns + jmin + stepRow[direction]);
    }
    // Calls `f` for every cell whose player-sized square overlaps `r`.
    template <class F> void cellsOf(const sf::IntRect& r, F f) const;
    int storyId(const Story& story);
    int nodeId(int story, int cell);
    std::vector<char> blocked(const Story& story) const;
    std::vector<int> distances(int from, const std::vector<char>& grid, std::vector<int>* order) const;
    std::vector<Outcome> talk(const Story& story, int faced);
    // talk() for a known story, remembered: many cells share a story.
    const std::vector<Outcome>& talkOnce(int story, int faced);
    const Endings& endingsOf(const DialogueTree* tree);
    std::string describe(const Story& story, bool full) const;
    std::vector<StoryExplorer::Talk> wayTo(int node);

    // Someone faced in a reachable state had nothing to say: remembered once
    // for each of them, with the first such state.
    void heardNothing(int actor, const Story& story)
    {
        if (silentAt.emplace(actor, story.toText()).second)
            silent.push_back({actors[static_cast<std::size_t>(actor)].label, describe(story, false)});
    }
    std::map<int, std::string> silentAt;

public:
    std::vector<std::pair<std::string, std::string>> silent;

private:
    std::vector<Actor> actors;
    StoryCast cast;
    std::vector<int>& victimParts = cast.victimParts;
    const Player* player = nullptr;
    int victims = 0, wardens = 0, tables = 0;
    long long x0 = 0, y0 = 0;
    int size = 0;
    long long imin = 0, jmin = 0, columns = 0, rows = 0;
    std::vector<char> walls;                 // solid things that never move
    std::vector<std::vector<int>> talkersAt; // actors whose picture covers a cell, last in the list first
    std::map<const DialogueTree*, Endings> endings;
    std::unordered_map<long long, std::vector<Outcome>> talks;

    std::vector<Story> stories;
    std::unordered_map<std::string, int> storyIds;
    std::vector<Node> nodes;
    std::unordered_map<long long, int> nodeIds;
    std::vector<long long> cost;
    std::vector<Parent> parents;
    std::vector<std::vector<int>> predecessors;
};

template <class F> void Explorer::cellsOf(const sf::IntRect& r, F f) const
{
    if (r.width <= 0 || r.height <= 0 || size <= 0)
        return;
    const long long w = player->bounds.width, h = player->bounds.height;
    const long long i0 = CellMath::floorDiv(r.left - x0 - w, size) + 1, i1 = -CellMath::floorDiv(-(r.left + r.width - x0), size) - 1;
    const long long j0 = CellMath::floorDiv(r.top - y0 - h, size) + 1, j1 = -CellMath::floorDiv(-(r.top + r.height - y0), size) - 1;
    for (long long j = j0; j <= j1; ++j)
        for (long long i = i0; i <= i1; ++i)
            if (const int cell = cellAt(i, j); cell >= 0)
                f(cell);
}

Explorer::Explorer(const GameState& world)
    : cast(StoryCast::of(world))
{
    for (const Entity* e : world.entities)
        if ((player = dynamic_cast<const Player*>(e)))
            break;
    if (!player || player->bounds.width <= 0 || player->bounds.height <= 0)
        return;
    size = player->bounds.width;
    x0 = player->x;
    y0 = player->y;

    int order = 0;
    long long left = x0, top = y0, right = x0 + size, bottom = y0 + size;
    const auto extend = [&](const sf::IntRect& r) {
        if (r.width <= 0 || r.height <= 0)
            return;
        left = std::min<long long>(left, r.left);
        top = std::min<long long>(top, r.top);
        right = std::max<long long>(right, static_cast<long long>(r.left) + r.width);
        bottom = std::max<long long>(bottom, static_cast<long long>(r.top) + r.height);
    };
    for (const Entity* e : world.entities) {
        ++order;
        extend(e->bounds);
        if (e == player)
            continue;
        Actor a;
        a.order = order;
        a.place = e->bounds;
        a.solid = e->solid;
        a.own = e->dialogue;
        a.label = e->name + " (" + e->type + ")";
        a.role = dynamic_cast<const StoryRole*>(e);
        if (const auto* v = dynamic_cast<const Victim*>(e)) {
            a.kind = Kind::victim;
            a.slot = victims++;
            a.part = v->part;
        } else if (const auto* w = dynamic_cast<const Warden*>(e)) {
            a.kind = Kind::warden;
            a.slot = wardens++;
            a.aside = sf::IntRect(w->asidePosition.x, w->asidePosition.y, e->bounds.width, e->bounds.height);
            extend(a.aside);
        } else if (dynamic_cast<const Table*>(e)) {
            a.kind = Kind::table;
            a.slot = tables++;
        } else if (dynamic_cast<const Boss*>(e)) {
            a.kind = Kind::boss;
        } else if (dynamic_cast<const Player*>(e)) {
            a.kind = Kind::plain; // another player: only in the way
            a.own = nullptr;
        } else {
            a.named = !e->name.empty() && e->name != "undefined";
        }
        actors.push_back(a);
    }
    // One ring of cells beyond everything: walking there is walking off the map.
    imin = CellMath::floorDiv(left - x0, size) - 1;
    jmin = CellMath::floorDiv(top - y0, size) - 1;
    columns = -CellMath::floorDiv(-(right - x0), size) + 1 - imin;
    rows = -CellMath::floorDiv(-(bottom - y0), size) + 1 - jmin;

    walls.assign(static_cast<std::size_t>(columns * rows), 0);
    talkersAt.assign(walls.size(), {});
    for (std::size_t k = 0; k < actors.size(); ++k) {
        const Actor& a = actors[k];
        if (a.solid && a.kind != Kind::victim && a.kind != Kind::warden)
            cellsOf(a.place, [&](int cell) { walls[static_cast<std::size_t>(cell)] = 1; });
        const bool speaks = a.kind != Kind::plain || a.own || a.named;
        if (!speaks)
            continue;
        cellsOf(a.place, [&](int cell) { talkersAt[static_cast<std::size_t>(cell)].push_back(static_cast<int>(k)); });
        if (a.kind == Kind::warden)
            cellsOf(a.aside, [&](int cell) { talkersAt[static_cast<std::size_t>(cell)].push_back(static_cast<int>(k)); });
    }
    for (auto& list : talkersAt) {
        std::sort(list.begin(), list.end(), [&](int a, int b) { return actors[a].order > actors[b].order; });
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
}

int Explorer::storyId(const Story& story)
{
    const auto [found, added] = storyIds.emplace(story.toText(), static_cast<int>(stories.size()));
    if (added)
        stories.push_back(story);
    return found->second;
}

int Explorer::nodeId(int story, int cell)
{
    const long long key = static_cast<long long>(story) * columns * rows + cell;
    const auto [found, added] = nodeIds.emplace(key, static_cast<int>(nodes.size()));
    if (added) {
        nodes.push_back({story, cell});
        cost.push_back(LLONG_MAX);
        parents.emplace_back();
        predecessors.emplace_back();
    }
    return found->second;
}

std::vector<char> Explorer::blocked(const Story& story) const
{
    std::vector<char> grid = walls;
    for (const Actor& a : actors) {
        if (!a.solid)
            continue;
        if (a.kind == Kind::victim && !StoryRules::victimLeaves(story, a.part))
            cellsOf(a.place, [&](int cell) { grid[static_cast<std::size_t>(cell)] = 1; });
        if (a.kind == Kind::warden)
            cellsOf(story.wardensAside[static_cast<std::size_t>(a.slot)] ? a.aside : a.place,
                    [&](int cell) { grid[static_cast<std::size_t>(cell)] = 1; });
    }
    return grid;
}

std::vector<int> Explorer::distances(int from, const std::vector<char>& grid, std::vector<int>* order) const
{
    std::vector<int> distance(grid.size(), -1);
    std::queue<int> open;
    distance[static_cast<std::size_t>(from)] = 0;
    open.push(from);
    while (!open.empty()) {
        const int here = open.front();
        open.pop();
        if (order)
            order->push_back(here);
        for (int d = 0; d < 4; ++d) {
            const int next = neighbour(here, d);
            if (next < 0 || grid[static_cast<std::size_t>(next)] || distance[static_cast<std::size_t>(next)] >= 0)
                continue;
            distance[static_cast<std::size_t>(next)] = distance[static_cast<std::size_t>(here)] + 1;
            open.push(next);
        }
    }
    return distance;
}

const Endings& Explorer::endingsOf(const DialogueTree* tree)
{
    auto found = endings.find(tree);
    if (found == endings.end()) {
        Endings e;
        std::vector<int> answers;
        findEndings(*tree, 0, answers, e);
        found = endings.emplace(tree, std::move(e)).first;
    }
    return found->second;
}

// Pressing Return before `faced`: every one there is talked to, the last in
// the list first, each opening its conversation over the one before; the
// conversations then end from the top down, each with every ending it has.
std::vector<Outcome> Explorer::talk(const Story& story, int faced)
{
    Story opening = story;
    std::vector<std::pair<int, const DialogueTree*>> opened;
    for (int k : talkersAt[static_cast<std::size_t>(faced)]) {
        const Actor& a = actors[static_cast<std::size_t>(k)];
        const auto s = static_cast<std::size_t>(a.slot);
        // Victims of past parts have left (in the frame after the part
        // began); a warden answers only where he stands now.
        if (a.kind == Kind::victim && StoryRules::victimLeaves(story, a.part))
            continue;
        if (a.kind == Kind::warden) {
            bool here = false;
            cellsOf(opening.wardensAside[s] ? a.aside : a.place, [&](int cell) { here |= cell == faced; });
            if (!here)
                continue;
        }
        const DialogueTree* tree = a.role ? a.role->opens(opening, s) : a.own;
        if (tree)
            opened.emplace_back(k, tree);
        else
            heardNothing(k, story);
    }

    std::vector<Outcome> outcomes;
    if (opened.empty())
        return outcomes;
    std::function<void(int, Outcome)> close = [&](int top, Outcome o) {
        if (top < 0) {
            // The frame after: victims of past parts leave, the warden goes back.
            StoryRules::nextFrame(o.story, victimParts);
            outcomes.push_back(std::move(o));
            return;
        }
        const Actor& a = actors[static_cast<std::size_t>(opened[static_cast<std::size_t>(top)].first)];
        const Endings& e = endingsOf(opened[static_cast<std::size_t>(top)].second);
        o.with.push_back(a.label);
        if (e.trap) {
            Outcome stuck = o;
            stuck.trapped = true;
            stuck.answers.push_back(*e.trap);
            outcomes.push_back(std::move(stuck));
        }
        for (const auto& [result, answers] : e.results) {
            Outcome next = o;
            next.answers.push_back(answers);
            if (a.role && a.role->ends(next.story, static_cast<std::size_t>(a.slot), result)) {
                next.ending = true;
                outcomes.push_back(std::move(next));
                continue;
            }
            close(top - 1, std::move(next));
        }
    };
    Outcome start;
    start.story = opening;
    close(static_cast<int>(opened.size()) - 1, start);

    // One outcome for each different result, the first way of getting it.
    std::vector<Outcome> distinct;
    for (Outcome& o : outcomes) {
        const bool seen = std::any_of(distinct.begin(), distinct.end(), [&](const Outcome& d) {
            return d.ending == o.ending && d.trapped == o.trapped && d.story == o.story;
        });
        if (!seen)
            distinct.push_back(std::move(o));
    }
    return distinct;
}

const std::vector<Outcome>& Explorer::talkOnce(int story, int faced)
{
    const long long key = static_cast<long long>(story) * columns * rows + faced;
    auto found = talks.find(key);
    if (found == talks.end()) {
        std::vector<Outcome> outcomes = talk(stories[static_cast<std::size_t>(story)], faced);
        for (Outcome& o : outcomes)
            if (!o.ending && !o.trapped)
                o.id = storyId(o.story);
        found = talks.emplace(key, std::move(outcomes)).first;
    }
    return found->second;
}

std::string Explorer::describe(const Story& story, bool full) const
{
    std::string text = story.part < 0 ? "before the story begins" : "part " + std::to_string(story.part);
    text += ", " + std::to_string(story.disguise) + (story.disguise == 1 ? " item" : " items") + " worn, "
            + std::to_string(story.defacedTables) + (story.defacedTables == 1 ? " table" : " tables") + " defaced";
    if (!full)
        return text;
    std::string holding;
    for (const Actor& a : actors)
        if (a.kind == Kind::victim && story.victims[static_cast<std::size_t>(a.slot)] == VictimState::kept)
            holding += (holding.empty() ? "" : ", ") + a.label.substr(0, a.label.rfind(" (")) + " (part "
                       + std::to_string(a.part) + ")";
    text += "; still holding their items: " + (holding.empty() ? std::string("nobody") : holding);
    for (const Actor& a : actors)
        if (a.kind == Kind::warden)
            text += "; " + a.label.substr(0, a.label.rfind(" (")) + " "
                    + (story.wardensAside[static_cast<std::size_t>(a.slot)] ? "stands aside" : "guards his door");
    return text;
}

std::vector<StoryExplorer::Talk> Explorer::wayTo(int node)
{
    std::vector<int> chain;
    for (int n = node; n >= 0 && parents[static_cast<std::size_t>(n)].from >= 0; n = parents[static_cast<std::size_t>(n)].from)
        chain.push_back(n);
    std::reverse(chain.begin(), chain.end());
    std::vector<StoryExplorer::Talk> way;
    for (int n : chain) {
        const Parent& p = parents[static_cast<std::size_t>(n)];
        const Node from = nodes[static_cast<std::size_t>(p.from)];
        const Story story = stories[static_cast<std::size_t>(from.story)];
        const std::vector<char> grid = blocked(story);
        const int target = p.arrive ? neighbour(p.stand, (p.direction + 2) % 4) : p.stand;
        // Walk back from the target along falling distances.
        const std::vector<int> distance = distances(from.cell, grid, nullptr);
        std::vector<Key> walk;
        for (int here = target; here != from.cell;) {
            const int was = here;
            for (int d = 0; d < 4; ++d) {
                const int before = neighbour(here, (d + 2) % 4);
                if (before >= 0 && distance[static_cast<std::size_t>(before)] >= 0
                    && distance[static_cast<std::size_t>(before)] == distance[static_cast<std::size_t>(here)] - 1) {
                    walk.push_back(keyOf[d]);
                    here = before;
                    break;
                }
            }
            if (here == was)
                break; // cannot happen: the cost was counted along such a path
        }
        std::reverse(walk.begin(), walk.end());
        StoryExplorer::Talk t;
        t.walk = walk;
        if (p.arrive)
            t.walk.push_back(keyOf[p.direction]);
        t.face = p.turn ? keyOf[p.direction] : sf::Keyboard::Unknown;
        const int faced = neighbour(p.stand, p.direction);
        const Outcome o = talkOnce(from.story, faced)[static_cast<std::size_t>(p.outcome)];
        t.answers = o.answers;
        for (const std::string& w : o.with)
            t.with += (t.with.empty() ? "" : ", then ") + w;
        t.column = static_cast<int>(CellMath::floorDiv(x0 + (p.stand % columns + imin) * size, size));
        t.row = static_cast<int>(CellMath::floorDiv(y0 + (p.stand / columns + jmin) * size, size));
        t.ends = o.ending;
        t.part = o.story.part;
        t.disguise = o.story.disguise;
        t.defacedTables = o.story.defacedTables;
        t.after = o.ending ? "the game ends" : o.trapped ? "the conversation cannot be left" : describe(o.story, false);
        way.push_back(t);
    }
    return way;
}

StoryExplorer::Result Explorer::run(long long maxStates)
{
    StoryExplorer::Result result;
    if (!player || size <= 0) {
        result.furthest = "there is no player who can walk (a tile of type \"player\" with a picture)";
        return result;
    }
    // As the world begins; in its first frame victims of a part before -1 leave at once.
    const Story start = StoryState::begin(cast);
    nodeId(-1, 0); // the ending
    nodeId(-2, 0); // stuck in a conversation
    const int first = nodeId(storyId(start), cellAt(0, 0));
    cost[static_cast<std::size_t>(first)] = 0;

    using Entry = std::pair<long long, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    open.push({0, first});
    std::vector<char> done;
    while (!open.empty()) {
        const auto [c, u] = open.top();
        open.pop();
        if (done.size() < nodes.size())
            done.resize(nodes.size(), 0);
        if (done[static_cast<std::size_t>(u)] || c != cost[static_cast<std::size_t>(u)])
            continue;
        done[static_cast<std::size_t>(u)] = 1;
        if (u == goal || u == trap)
            continue;
        if (static_cast<long long>(nodes.size()) > maxStates) {
            result.complete = false;
            break;
        }
        const Node here = nodes[static_cast<std::size_t>(u)];
        const Story story = stories[static_cast<std::size_t>(here.story)];
        const std::vector<char> grid = blocked(story);
        std::vector<int> reachable;
        const std::vector<int> distance = distances(here.cell, grid, &reachable);
        for (int stand : reachable) {
            const long long i = stand % columns, j = stand / columns;
            if (!result.leavesMap && (i == 0 || j == 0 || i == columns - 1 || j == rows - 1)) {
                result.leavesMap = true;
                result.leaveColumn = static_cast<int>(CellMath::floorDiv(x0 + (i + imin) * size, size));
                result.leaveRow = static_cast<int>(CellMath::floorDiv(y0 + (j + jmin) * size, size));
            }
            for (int d = 0; d < 4; ++d) {
                const int faced = neighbour(stand, d);
                if (faced < 0 || talkersAt[static_cast<std::size_t>(faced)].empty())
                    continue;
                // Facing it: turn against something solid there, or arrive
                // with a step in that direction.
                long long walked = distance[static_cast<std::size_t>(stand)];
                bool turn = true, arrive = false;
                if (!grid[static_cast<std::size_t>(faced)]) {
                    const int before = neighbour(stand, (d + 2) % 4);
                    if (before < 0 || distance[static_cast<std::size_t>(before)] < 0 || grid[static_cast<std::size_t>(stand)])
                        continue;
                    walked = distance[static_cast<std::size_t>(before)] + 1;
                    turn = false;
                    arrive = true;
                }
                const std::vector<Outcome>& outcomes = talkOnce(here.story, faced);
                for (std::size_t k = 0; k < outcomes.size(); ++k) {
                    const Outcome& o = outcomes[k];
                    int v;
                    if (o.ending)
                        v = goal;
                    else if (o.trapped)
                        v = trap;
                    else if (o.id == here.story)
                        continue; // nothing changed: the player can walk on anyway
                    else
                        v = nodeId(o.id, stand);
                    predecessors[static_cast<std::size_t>(v)].push_back(u);
                    const long long next = c + walked * 1024 + 1;
                    if (next < cost[static_cast<std::size_t>(v)]) {
                        cost[static_cast<std::size_t>(v)] = next;
                        parents[static_cast<std::size_t>(v)] = {u, stand, d, static_cast<int>(k), arrive, turn};
                        open.push({next, v});
                    }
                }
            }
        }
    }
    result.states = static_cast<long long>(nodes.size()) - 2;
    result.silent = silent;

    result.endingReachable = cost[goal] != LLONG_MAX;
    if (result.endingReachable) {
        result.route = wayTo(goal);
        for (const StoryExplorer::Talk& t : result.route)
            result.steps += static_cast<long long>(t.walk.size());
    } else {
        // The furthest the story gets: the latest part, then the most done.
        int best = -1;
        for (std::size_t n = 2; n < nodes.size(); ++n) {
            if (cost[n] == LLONG_MAX)
                continue;
            const Story& s = stories[static_cast<std::size_t>(nodes[n].story)];
            if (best < 0)
                best = static_cast<int>(n);
            const Story& b = stories[static_cast<std::size_t>(nodes[static_cast<std::size_t>(best)].story)];
            if (std::tie(s.part, s.defacedTables, s.disguise) > std::tie(b.part, b.defacedTables, b.disguise))
                best = static_cast<int>(n);
        }
        result.furthest = describe(stories[static_cast<std::size_t>(nodes[static_cast<std::size_t>(best)].story)], true);
    }
    if (cost[trap] != LLONG_MAX) {
        result.trapped = true;
        result.wayToTrap = wayTo(trap);
    }
    if (!result.endingReachable)
        return result;
    if (!result.complete)
        return result;

    // States from which the ending can still be reached: back from the ending.
    std::vector<char> finishes(nodes.size(), 0);
    std::queue<int> back;
    finishes[goal] = 1;
    back.push(goal);
    while (!back.empty()) {
        const int v = back.front();
        back.pop();
        for (int u : predecessors[static_cast<std::size_t>(v)])
            if (!finishes[static_cast<std::size_t>(u)]) {
                finishes[static_cast<std::size_t>(u)] = 1;
                back.push(u);
            }
    }
    int nearest = -1;
    for (std::size_t n = 2; n < nodes.size(); ++n)
        if (cost[n] != LLONG_MAX && !finishes[n] && (nearest < 0 || cost[n] < cost[static_cast<std::size_t>(nearest)]))
            nearest = static_cast<int>(n);
    if (nearest >= 0) {
        result.deadEnd = true;
        result.wayIn = wayTo(nearest);
        result.deadEndState = describe(stories[static_cast<std::size_t>(nodes[static_cast<std::size_t>(nearest)].story)], true);
    }
    return result;
}

} // namespace

StoryExplorer::Result StoryExplorer::explore(const GameState& world, long long maxStates)
{
    Explorer explorer(world);
    return explorer.run(maxStates);
}

std::string StoryExplorer::describeWalk(const std::vector<sf::Keyboard::Key>& walk)
{
    std::string text;
    for (std::size_t i = 0; i < walk.size();) {
        std::size_t j = i;
        while (j < walk.size() && walk[j] == walk[i])
            ++j;
        const char* word = walk[i] == sf::Keyboard::Up ? "Up" : walk[i] == sf::Keyboard::Right ? "Right"
                           : walk[i] == sf::Keyboard::Down ? "Down" : "Left";
        text += (text.empty() ? "" : ", ") + std::string(word) + " " + std::to_string(j - i);
        i = j;
    }
    return text.empty() ? "no steps" : text;
}

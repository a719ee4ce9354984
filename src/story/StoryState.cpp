#include "story/StoryState.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "world/MainState.h"
#include "world/Map.h"
#include "characters/Player.h"
#include "story/StoryCast.h"
#include "story/StoryRules.h"
#include "characters/Table.h"
#include "characters/Victim.h"
#include "characters/Warden.h"
#include "disk/WorldIdentity.h"
#include "mapformat/CellMath.h"
#include "resources/ResourceFile.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>

namespace {

const char* const facingWords[4] = {"up", "left", "down", "right"};

const Player* findPlayer(const GameState& world)
{
    for (const Entity* e : world.entities)
        if (const auto* p = dynamic_cast<const Player*>(e))
            return p;
    return nullptr;
}

// The side of a player's cell: the length of its step.
int cellSize(const Player& p)
{
    return p.bounds.width > 0 ? p.bounds.width : 32;
}

template <class T> bool number(const std::string& word, T& into)
{
    const char* end = word.data() + word.size();
    const auto [at, error] = std::from_chars(word.data(), end, into);
    return error == std::errc() && at == end && !word.empty();
}

} // namespace

StoryState StoryState::begin(const StoryCast& cast)
{
    StoryState s;
    s.tables.assign(static_cast<std::size_t>(cast.tables), 0);
    s.victims.assign(cast.victims.size(), VictimState::kept);
    s.wardensAside.assign(static_cast<std::size_t>(cast.wardens), 0);
    StoryRules::nextFrame(s, cast.victimParts);
    return s;
}

StoryState StoryState::fromGame()
{
    StoryState s;
    s.part = Game::part;
    s.disguise = Game::disguise;
    s.defacedTables = Game::defacedTables;
    return s;
}

void StoryState::toGame() const
{
    Game::part = part;
    Game::disguise = disguise;
    Game::defacedTables = defacedTables;
}

StoryState StoryState::capture(const MainState& world)
{
    return capture(world, world.cast, world.playedSteps);
}

StoryState StoryState::capture(const GameState& world, const StoryCast& cast, long long playedSteps)
{
    StoryState s = fromGame();
    s.playedSteps = playedSteps;
    for (const Entity* e : world.entities) {
        if (const auto* t = dynamic_cast<const Table*>(e))
            s.tables.push_back(t->defaced ? std::max(t->defacedOrder, 1) : 0);
        else if (const auto* w = dynamic_cast<const Warden*>(e))
            s.wardensAside.push_back(w->x != w->guardPosition.x || w->y != w->guardPosition.y ? 1 : 0);
    }
    for (const Entity* known : cast.victims) {
        const auto found = std::find(world.entities.begin(), world.entities.end(), known);
        const auto* v = found == world.entities.end() ? nullptr : dynamic_cast<const Victim*>(*found);
        s.victims.push_back(!v || v->removed ? VictimState::left : v->disguiseTaken ? VictimState::gave : VictimState::kept);
    }
    if (const Player* p = findPlayer(world)) {
        const long long size = cellSize(*p);
        long long x = p->x, y = p->y;
        if (p->moving) {
            // The rest of a step under way: it always finishes.
            const long long rest = std::max(0LL, static_cast<long long>(p->sprite.getTextureRect().width) - 2LL * p->stepFrames);
            const int dx[4] = {0, -1, 0, 1}, dy[4] = {-1, 0, 1, 0};
            if (p->direction >= 0 && p->direction <= 3) {
                x += rest * dx[p->direction];
                y += rest * dy[p->direction];
            }
        }
        s.column = static_cast<int>(CellMath::floorDiv(x, size));
        s.row = static_cast<int>(CellMath::floorDiv(y, size));
        s.facing = p->direction;
    }
    StoryRules::nextFrame(s, cast.victimParts);
    return s;
}

std::string StoryState::check(const StoryCast& cast) const
{
    if (tables.size() != static_cast<std::size_t>(cast.tables) || victims.size() != cast.victims.size()
        || wardensAside.size() != static_cast<std::size_t>(cast.wardens))
        return "it does not name the world's " + std::to_string(cast.tables) + " tables, "
               + std::to_string(cast.victims.size()) + " victims and " + std::to_string(cast.wardens) + " wardens";
    if (part < -1 || part > 3)
        return "no such part " + std::to_string(part);
    if (part < 0 ? defacedTables != 0 : (defacedTables != part && defacedTables != part + 1) || defacedTables > 3)
        return std::to_string(defacedTables) + " tables defaced cannot be in part " + std::to_string(part);
    std::vector<int> orders;
    for (int t : tables)
        if (t != 0)
            orders.push_back(t);
    std::sort(orders.begin(), orders.end());
    for (std::size_t i = 0; i < orders.size() || i < static_cast<std::size_t>(defacedTables); ++i)
        if (i >= orders.size() || orders[i] != static_cast<int>(i) + 1)
            return "the tables defaced do not agree with the count of " + std::to_string(defacedTables);
    long long gave = 0, left = 0;
    for (std::size_t k = 0; k < victims.size(); ++k) {
        gave += victims[k] == VictimState::gave;
        left += victims[k] == VictimState::left;
        if ((victims[k] == VictimState::left) != StoryRules::victimLeaves(*this, cast.victimParts[k]))
            return "victim " + std::to_string(k + 1) + (victims[k] == VictimState::left ? " cannot have left yet" : " should have left");
    }
    if (disguise < gave || disguise > gave + left)
        return std::to_string(disguise) + " items worn do not agree with the victims";
    for (char aside : wardensAside)
        if (aside && !StoryRules::wardenStandsAside(*this))
            return "a warden stands aside who should be on guard";
    if (facing < 0 || facing > 3)
        return "no such facing";
    if (playedSteps < 0)
        return "negative time played";
    return "";
}

bool StoryState::apply(MainState& world, std::string* why) const
{
    const auto fail = [&](const std::string& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (const std::string wrong = check(world.cast); !wrong.empty())
        return fail(wrong);
    auto* player = const_cast<Player*>(findPlayer(world));
    if (!player)
        return fail("the world has no player");
    const long long size = cellSize(*player);
    const long long px = column * size, py = row * size;
    if (px < -Map::maxPixels || px > Map::maxPixels || py < -Map::maxPixels || py > Map::maxPixels)
        return fail("the player stands far outside the world");
    const sf::IntRect cell(static_cast<int>(px), static_cast<int>(py), player->bounds.width, player->bounds.height);
    for (const Entity* e : world.entities) {
        // Walls and furniture never move: the player cannot have got inside one.
        if (e == player || !e->solid || dynamic_cast<const Victim*>(e) || dynamic_cast<const Warden*>(e)
            || dynamic_cast<const Player*>(e))
            continue;
        if (e->bounds.intersects(cell))
            return fail("the player stands inside " + (e->name.empty() ? e->type : e->name));
    }
    std::vector<Victim*> present(victims.size(), nullptr);
    for (std::size_t k = 0; k < victims.size(); ++k) {
        const auto found = std::find(world.entities.begin(), world.entities.end(), world.cast.victims[k]);
        if (found != world.entities.end())
            present[k] = dynamic_cast<Victim*>(*found);
        if (victims[k] != VictimState::left && (!present[k] || present[k]->removed))
            return fail("the world has already lost a victim that is still there");
    }

    // Checked: from here on nothing fails.
    toGame();
    std::size_t table = 0, warden = 0;
    for (Entity* e : world.entities) {
        if (auto* t = dynamic_cast<Table*>(e)) {
            const int order = tables[table++];
            t->defaced = order != 0;
            t->defacedOrder = order;
            t->sprite.setTexture(*Graphics::getTexture(t->tileset, StoryRules::pictureAfter(t->tile, order)), false);
        } else if (auto* w = dynamic_cast<Warden*>(e)) {
            const sf::Vector2i at = wardensAside[warden++] ? w->asidePosition : w->guardPosition;
            w->x = at.x;
            w->y = at.y;
            w->sprite.setPosition(static_cast<float>(at.x), static_cast<float>(at.y));
            w->bounds.left = at.x;
            w->bounds.top = at.y;
        }
    }
    for (std::size_t k = 0; k < victims.size(); ++k) {
        Victim* v = present[k];
        if (!v)
            continue;
        if (victims[k] == VictimState::left) {
            world.remove(v);
            continue;
        }
        v->disguiseTaken = victims[k] == VictimState::gave;
        v->sprite.setTexture(*Graphics::getTexture(v->tileset, StoryRules::pictureAfter(v->tile, v->disguiseTaken)), false);
    }
    world.deleteRemoved();
    player->x = static_cast<int>(px);
    player->y = static_cast<int>(py);
    player->sprite.setPosition(static_cast<float>(px), static_cast<float>(py));
    player->bounds.left = player->x;
    player->bounds.top = player->y;
    player->direction = facing;
    player->moving = false;
    player->stepFrames = 0;
    player->interacting = false;
    player->centreCamera();
    world.playedSteps = playedSteps;
    return true;
}

std::string StoryState::toText() const
{
    std::ostringstream out;
    out << "part = " << part << "\n";
    out << "disguise = " << disguise << "\n";
    out << "defaced_tables = " << defacedTables << "\n";
    out << "tables =";
    for (int t : tables)
        out << ' ' << t;
    out << "\nvictims =";
    for (VictimState v : victims)
        out << (v == VictimState::kept ? " kept" : v == VictimState::gave ? " gave" : " left");
    out << "\nwardens =";
    for (char aside : wardensAside)
        out << (aside ? " aside" : " guard");
    out << "\nplayer = " << column << ' ' << row << ' '
        << (facing >= 0 && facing <= 3 ? facingWords[facing] : "?") << "\n";
    out << "played_steps = " << playedSteps << "\n";
    return out.str();
}

std::optional<StoryState> StoryState::fromText(const std::string& text, std::string* why)
{
    const auto fail = [&](const std::string& reason) -> std::optional<StoryState> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    static const char* const keys[] = {"part", "disguise", "defaced_tables", "tables",
                                       "victims", "wardens", "player", "played_steps"};
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            return fail("line " + std::to_string(lineNumber) + " is not \"key = value\"");
        std::string key = line.substr(first, equals - first);
        key.erase(key.find_last_not_of(" \t") + 1);
        if (std::find(std::begin(keys), std::end(keys), key) == std::end(keys))
            return fail("line " + std::to_string(lineNumber) + ": unknown key \"" + key + "\"");
        if (!values.emplace(key, line.substr(equals + 1)).second)
            return fail("line " + std::to_string(lineNumber) + ": \"" + key + "\" given twice");
    }
    for (const char* key : keys)
        if (!values.count(key))
            return fail(std::string("\"") + key + "\" is missing");

    StoryState s;
    const auto one = [&](const char* key, auto& into) {
        const std::vector<std::string> w = ResourceFile::words(values[key]);
        return w.size() == 1 && number(w[0], into);
    };
    if (!one("part", s.part) || !one("disguise", s.disguise) || !one("defaced_tables", s.defacedTables)
        || !one("played_steps", s.playedSteps))
        return fail("a story counter or the time played is not a number");
    for (const std::string& w : ResourceFile::words(values["tables"])) {
        int t = 0;
        if (!number(w, t) || t < 0 || t > 3)
            return fail("bad table \"" + w + "\"");
        s.tables.push_back(t);
    }
    for (const std::string& w : ResourceFile::words(values["victims"])) {
        if (w != "kept" && w != "gave" && w != "left")
            return fail("bad victim \"" + w + "\"");
        s.victims.push_back(w == "kept" ? VictimState::kept : w == "gave" ? VictimState::gave : VictimState::left);
    }
    for (const std::string& w : ResourceFile::words(values["wardens"])) {
        if (w != "guard" && w != "aside")
            return fail("bad warden \"" + w + "\"");
        s.wardensAside.push_back(w == "aside");
    }
    const std::vector<std::string> player = ResourceFile::words(values["player"]);
    const auto facing = player.size() == 3 ? std::find(std::begin(facingWords), std::end(facingWords), player[2])
                                           : std::end(facingWords);
    if (facing == std::end(facingWords) || !number(player[0], s.column) || !number(player[1], s.row))
        return fail("the player's place is not \"column row facing\"");
    s.facing = static_cast<int>(facing - std::begin(facingWords));
    return s;
}

std::string StoryState::digest() const
{
    return WorldIdentity::hex(WorldIdentity::fnv1a(toText()));
}

bool StoryState::operator==(const StoryState& o) const
{
    return part == o.part && disguise == o.disguise && defacedTables == o.defacedTables && tables == o.tables
           && victims == o.victims && wardensAside == o.wardensAside && column == o.column && row == o.row
           && facing == o.facing && playedSteps == o.playedSteps;
}

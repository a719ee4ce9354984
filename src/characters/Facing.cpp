#include "characters/Facing.h"

#include "core/Entity.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "characters/Player.h"
#include "characters/Victim.h"

#include <cstdlib>

const char* const Facing::sheetFile = "res/gfx/people.png";
const char* const Facing::sheetName = "people";

int Facing::column(sf::Vector2i from, sf::Vector2i to)
{
    const long long dx = static_cast<long long>(to.x) - from.x, dy = static_cast<long long>(to.y) - from.y;
    if (dx == 0 && dy == 0)
        return 2;
    if (std::llabs(dx) > std::llabs(dy))
        return dx > 0 ? 1 : 3;
    return dy > 0 ? 2 : 0;
}

Facing::Turn Facing::towardsPlayer(Entity* speaker, const GameState* world)
{
    Turn turn;
    if (!speaker || speaker->facings < 0)
        return turn;
    // The world lies under any conversations stacked on it: the player is
    // on the first screen down the chain that has one.
    const Player* player = nullptr;
    for (const GameState* state = world; state && !player; state = state->below())
        for (const Entity* e : state->entities)
            if ((player = dynamic_cast<const Player*>(e)))
                break;
    if (!player)
        return turn;

    return towards(speaker, column({speaker->x, speaker->y}, {player->x, player->y}));
}

Facing::Turn Facing::towards(Entity* who, int column)
{
    Turn turn;
    const sf::Texture* facing = frame(who, column);
    if (!facing)
        return turn; // no such frame: the picture stays
    turn.who = who;
    turn.before = who->sprite.getTexture();
    turn.turned = facing;
    who->sprite.setTexture(*facing, false);
    return turn;
}

const sf::Texture* Facing::frame(const Entity* who, int column)
{
    if (!who || who->facings < 0 || column < 0 || column > 3)
        return nullptr;
    const auto* victim = dynamic_cast<const Victim*>(who);
    const long long row = static_cast<long long>(who->facings) + (victim && victim->disguiseTaken ? 1 : 0);
    const long long frame = 4 * row + column;
    if (frame > 0x7fffffff)
        return nullptr;
    Graphics::loadTilemap(sheetFile, sheetName, 32);
    const sf::Texture* facing = Graphics::getTexture(sheetName, static_cast<int>(frame));
    return facing && facing->getSize().x != 0 ? facing : nullptr;
}

void Facing::back(const Turn& turn)
{
    if (turn.who && turn.before && turn.who->sprite.getTexture() == turn.turned)
        turn.who->sprite.setTexture(*turn.before, false);
}

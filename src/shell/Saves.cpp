#include "shell/Saves.h"

#include "screens/EndingCard.h"
#include "world/MainState.h"
#include "story/SaveGame.h"

Saves::Slot Saves::inspect()
{
    const SaveGame::Slot found = SaveGame::inspect();
    Slot slot;
    slot.exists = found.exists;
    slot.usable = found.usable;
    slot.reason = found.reason;
    slot.part = found.part;
    slot.playedSteps = found.playedSteps;
    slot.fromBackup = found.fromBackup;
    return slot;
}

bool Saves::write(const MainState& world)
{
    return SaveGame::save(world);
}

bool Saves::restore(MainState& world)
{
    return SaveGame::restore(world);
}

std::string Saves::lastError()
{
    return SaveGame::lastError;
}

bool Saves::enabled()
{
    return SaveGame::enabled;
}

void Saves::setEnabled(bool on)
{
    SaveGame::enabled = on;
}

std::string Saves::describe(const Slot& slot)
{
    // Whole steps only, and no more than a lifetime of them (a damaged count
    // must not overflow the clock).
    const long long most = 60LL * 3600 * 24 * 365 * 100;
    const long long steps = slot.playedSteps < 0 ? 0 : slot.playedSteps > most ? most : slot.playedSteps;
    const sf::Time played = sf::microseconds(steps / 60 * 1000000 + steps % 60 * 1000000 / 60);
    static const char* const parts[] = {"Part 1, morning", "Part 2, lunchtime", "Part 3, afternoon",
                                        "Part 4, five o'clock"};
    const std::string where = slot.part < 0 ? "Before the first talk" : parts[slot.part > 3 ? 3 : slot.part];
    return where + ", " + EndingCard::formatTime(played) + " played";
}

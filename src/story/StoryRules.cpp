#include "story/StoryRules.h"

#include "story/StoryState.h"

#include <climits>

bool StoryRules::victimGives(StoryState& story, bool itemGiven, int result)
{
    if (itemGiven || result == 0 || result == 2)
        return false;
    ++story.disguise;
    return true;
}

bool StoryRules::victimLeaves(const StoryState& story, int victimPart)
{
    return victimPart < story.part;
}

int StoryRules::wardenConversation(const StoryState& story, std::size_t conversations)
{
    if (story.part < 0 || story.part > 2)
        return noConversation;
    const std::size_t index = 2 * static_cast<std::size_t>(story.part) + (wardenStandsAside(story) ? 1 : 0);
    return index < conversations ? static_cast<int>(index) : noConversation;
}

bool StoryRules::wardenStandsAside(const StoryState& story)
{
    return story.disguise > story.part;
}

int StoryRules::tableConversation(const StoryState& story, bool defaced, std::size_t conversations)
{
    if (defaced)
        return noConversation;
    const int p = story.part;
    if (p >= 0 && p <= 2 && story.defacedTables == p && static_cast<std::size_t>(p) < conversations)
        return p;
    return ownConversation;
}

int StoryRules::defaceTable(StoryState& story, bool defaced)
{
    // Three tables in all: once the last part has begun (its conversation can
    // still have a table's stacked over it) nothing more is defaced.
    if (story.defacedTables > story.part || defaced || story.part > 2)
        return 0;
    return ++story.defacedTables;
}

int StoryRules::openBoss(StoryState& story, std::size_t conversations)
{
    const int n = story.defacedTables;
    if (static_cast<long long>(n) != static_cast<long long>(story.part) + 1 || n < 0
        || static_cast<std::size_t>(n) >= conversations)
        return noConversation;
    story.part = n;
    return n;
}

bool StoryRules::storyEnds(const StoryState& story)
{
    return story.part == 3;
}

void StoryRules::nextFrame(StoryState& story, const std::vector<int>& victimParts)
{
    for (std::size_t k = 0; k < story.victims.size() && k < victimParts.size(); ++k)
        if (victimLeaves(story, victimParts[k]))
            story.victims[k] = StoryState::VictimState::left;
    if (!wardenStandsAside(story))
        for (char& aside : story.wardensAside)
            aside = 0;
}

int StoryRules::pictureAfter(int tile, long long offset)
{
    // Summed in 64 bits: a tile number near the int limit has no later picture.
    const long long look = static_cast<long long>(tile) + offset;
    return look >= INT_MIN && look <= INT_MAX ? static_cast<int>(look) : -1;
}

int StoryRules::bossReminder(const StoryState& story, std::size_t reminders)
{
    const int p = story.part;
    if (p < 0 || p > 2 || story.defacedTables != p || static_cast<std::size_t>(p) >= reminders)
        return noConversation;
    return p;
}

int StoryRules::defacedTableConversation(int order, std::size_t conversations)
{
    if (order < 1 || static_cast<std::size_t>(order) > conversations)
        return noConversation;
    return order - 1;
}

bool StoryRules::wardenWaits(const StoryState& story)
{
    return story.part < 0;
}

bool StoryRules::wardenStepsAside(const StoryState& story)
{
    return story.part >= 0 && story.part <= 2 && wardenStandsAside(story);
}

#pragma once

#include <cstddef>
#include <vector>

class StoryState;

// The characters' rules, as functions of the story's state: who offers which
// conversation when, what the end of a conversation does, and what the world
// does in the frame after it. The characters in the world and the checker's
// explorer both ask these, so the two can never tell different stories.
//
// A character's own condition (a victim's item given, a table defaced) is
// passed in: in the world it is the character's member, in a StoryState it is
// the character's entry.
class StoryRules {
public:
    StoryRules() = delete;

    // What talking to a table or a warden opens, besides an index into his
    // list of conversations.
    static constexpr int noConversation = -1;
    static constexpr int ownConversation = -2; // the one the map gave the table

    // A victim offers its asking conversation while it holds its item, and
    // its other one after.
    static bool victimAsks(bool itemGiven) { return !itemGiven; }
    // The end of a conversation with a victim, with the last answer chosen (0
    // when none was): answers 1 and 3 give the item, once. True when it is
    // given now; the number of items worn rises in `story`.
    static bool victimGives(StoryState& story, bool itemGiven, int result);
    // A victim leaves the world in the first frame after the story has moved
    // past its part.
    static bool victimLeaves(const StoryState& story, int victimPart);

    // The warden's conversation for this part and the items worn.
    static int wardenConversation(const StoryState& story, std::size_t conversations);
    // While more items are worn than the part's number, the end of a
    // conversation with him sends him aside; while not, he goes back on guard
    // in the next frame.
    static bool wardenStandsAside(const StoryState& story);

    // An untouched table offers the part's conversation while no table has
    // been defaced in this part; a defaced one offers nothing.
    static int tableConversation(const StoryState& story, bool defaced, std::size_t conversations);
    // The end of a conversation with a table: defaces it if the part allows.
    // Returns which table of the game it is (1 for the first defaced), or 0
    // when nothing changes; `story` counts it.
    static int defaceTable(StoryState& story, bool defaced);

    // Talking to the boss: his next conversation when it is due, and the part
    // moves on as it opens. noConversation when none is due.
    static int openBoss(StoryState& story, std::size_t conversations);
    // The end of the boss's conversation in the last part ends the story.
    static bool storyEnds(const StoryState& story);

    // What the world does in the first frame after a conversation: victims of
    // past parts leave and the wardens go back on guard when they must.
    // `story` lists the victims and wardens; `victimParts` gives each
    // victim's part, in the same order.
    static void nextFrame(StoryState& story, const std::vector<int>& victimParts);

    // Between the conversations above, so that nobody stands silent (each
    // from a list a world may leave out):
    // the boss, when no conversation of his is due, reminds the player of the
    // part's task: the index of that reminder (the part), or noConversation;
    static int bossReminder(const StoryState& story, std::size_t reminders);
    // the warden speaks before the story begins, and only a conversation of
    // a part (0 to 2) ends with him stepping aside;
    static bool wardenWaits(const StoryState& story);
    static bool wardenStepsAside(const StoryState& story);
    // a defaced table says what was done to it, by the order it was defaced
    // in (1 to 3, which is also its look): the index into its list, or
    // noConversation.
    static int defacedTableConversation(int order, std::size_t conversations);

    // A tileset's picture `offset` after `tile` (a table's defaced look, a
    // victim's look without its item); -1, no picture, past the last number.
    static int pictureAfter(int tile, long long offset);
};

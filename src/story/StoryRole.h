#pragma once

#include <cstddef>

class DialogueTree;
class StoryState;

// A character of the story, as its rules see it: what talking to it opens and
// what the end of that conversation does, both on a StoryState in which the
// character is entry `slot` among its kind (StoryCast). The character in the
// world asks these of a state that holds only itself (slot 0); the checker's
// explorer asks them of every state it reaches. One set of rules for both.
class StoryRole {
public:
    virtual ~StoryRole() = default;

    // The conversation that opens, from the character's own lists, or null.
    // May move the story on (the boss's part moves as his opens).
    virtual DialogueTree* opens(StoryState& story, std::size_t slot) const = 0;
    // The end of its conversation, with the last answer chosen (0 when none
    // was): changes the character's entry and the counters in `story`. True
    // when it ends the story.
    virtual bool ends(StoryState& story, std::size_t slot, int result) const = 0;
};

#pragma once

#include <string>

// What the player asks the game to do. Keys and pad buttons are bound to
// these (see Bindings); the game asks for actions, never for keys.
enum class Action {
    Up,
    Right,
    Down,
    Left,
    Talk,
    NextPage,
    Answer1,
    Answer2,
    Answer3,
    GoalLine,
    Map,
    Pause,
    Fullscreen,
    Mute,
    Count
};

// The actions' names and where they count.
class Actions {
public:
    Actions() = delete;

    static constexpr int count = static_cast<int>(Action::Count);

    // Where an action counts. Two actions may share a key only when they never
    // count at the same time: one in the world, the other in a conversation.
    enum class Scope { World, Conversation, Everywhere };

    static Action at(int index) { return static_cast<Action>(index); }
    static int index(Action action) { return static_cast<int>(action); }
    // The name in the settings file: "up", "next_page", "answer1", "goal_line".
    static const char* name(Action action);
    // What the controls screen and the help call it: "walk up", "next page",
    // in the player's language.
    static std::string label(Action action);
    static Scope scope(Action action);
    // Whether a key may not serve both actions.
    static bool clash(Action a, Action b);
    // The action named `name` in the settings file; false when there is none.
    static bool fromName(const std::string& name, Action& action);
};

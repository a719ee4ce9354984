#include "input/Action.h"

namespace {
struct Row {
    const char* name;
    const char* label;
    Actions::Scope scope;
};

const Row rows[Actions::count] = {
    {"up", "walk up", Actions::Scope::World},
    {"right", "walk right", Actions::Scope::World},
    {"down", "walk down", Actions::Scope::World},
    {"left", "walk left", Actions::Scope::World},
    {"talk", "talk", Actions::Scope::World},
    {"next_page", "next page", Actions::Scope::Conversation},
    {"answer1", "answer 1", Actions::Scope::Conversation},
    {"answer2", "answer 2", Actions::Scope::Conversation},
    {"answer3", "answer 3", Actions::Scope::Conversation},
    {"goal_line", "goal line", Actions::Scope::World},
    {"map", "map", Actions::Scope::World},
    {"pause", "pause", Actions::Scope::Everywhere},
    {"fullscreen", "fullscreen", Actions::Scope::Everywhere},
    {"mute", "mute", Actions::Scope::Everywhere},
};

bool valid(Action action)
{
    return Actions::index(action) >= 0 && Actions::index(action) < Actions::count;
}
} // namespace

const char* Actions::name(Action action)
{
    return valid(action) ? rows[index(action)].name : "";
}

const char* Actions::label(Action action)
{
    return valid(action) ? rows[index(action)].label : "";
}

Actions::Scope Actions::scope(Action action)
{
    return valid(action) ? rows[index(action)].scope : Scope::Everywhere;
}

bool Actions::clash(Action a, Action b)
{
    if (a == b)
        return false;
    const Scope sa = scope(a);
    const Scope sb = scope(b);
    return sa == sb || sa == Scope::Everywhere || sb == Scope::Everywhere;
}

bool Actions::fromName(const std::string& name, Action& action)
{
    for (int i = 0; i < count; ++i) {
        if (name == rows[i].name) {
            action = at(i);
            return true;
        }
    }
    return false;
}

#include "input/Action.h"

#include "i18n/Catalogue.h"

namespace {
struct Row {
    const char* name;
    const char* label;
    Actions::Scope scope;
};

const Row rows[Actions::count] = {
    {"up", NC_("action", "walk up"), Actions::Scope::World},
    {"right", NC_("action", "walk right"), Actions::Scope::World},
    {"down", NC_("action", "walk down"), Actions::Scope::World},
    {"left", NC_("action", "walk left"), Actions::Scope::World},
    {"talk", NC_("action", "talk"), Actions::Scope::World},
    {"next_page", NC_("action", "next page"), Actions::Scope::Conversation},
    {"answer1", NC_("action", "answer 1"), Actions::Scope::Conversation},
    {"answer2", NC_("action", "answer 2"), Actions::Scope::Conversation},
    {"answer3", NC_("action", "answer 3"), Actions::Scope::Conversation},
    {"goal_line", NC_("action", "goal line"), Actions::Scope::World},
    {"map", NC_("action", "map"), Actions::Scope::World},
    {"pause", NC_("action", "pause"), Actions::Scope::Everywhere},
    {"fullscreen", NC_("action", "fullscreen"), Actions::Scope::Everywhere},
    {"mute", NC_("action", "mute"), Actions::Scope::Everywhere},
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

std::string Actions::label(Action action)
{
    return valid(action) ? Catalogue::text("action", rows[index(action)].label) : "";
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

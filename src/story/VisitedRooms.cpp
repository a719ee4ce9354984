#include "story/VisitedRooms.h"

#include <algorithm>

bool VisitedRooms::visit(const std::string& name)
{
    if (name.empty() || has(name) || list.size() >= maxRooms)
        return false;
    list.push_back(name);
    return true;
}

bool VisitedRooms::has(const std::string& name) const
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

#include "input/ControlsFile.h"

#include "input/Bindings.h"
#include "disk/Settings.h"

namespace {
const char* const keySection = "keys";
const char* const padSection = "pad";

std::vector<std::pair<std::string, std::string>> entries(const std::string& section)
{
    std::vector<std::pair<std::string, std::string>> found;
    for (const std::string& key : Settings::keys(section))
        found.emplace_back(key, Settings::get(section, key));
    return found;
}

void store(const std::string& section, const std::vector<std::pair<std::string, std::string>>& changed)
{
    for (const std::string& key : Settings::keys(section))
        Settings::remove(section, key);
    for (const auto& [key, value] : changed)
        Settings::set(section, key, value);
}
} // namespace

std::string ControlsFile::load()
{
    const std::string problem = Bindings::apply(entries(keySection), entries(padSection));
    return problem.empty() ? "" : Settings::file().string() + ": " + problem;
}

bool ControlsFile::save(std::string* why)
{
    store(keySection, Bindings::changedKeys());
    store(padSection, Bindings::changedPads());
    return Settings::save(why);
}

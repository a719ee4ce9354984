#include "disk/XdgDirs.h"

#include <cstdlib>

std::filesystem::path XdgDirs::pick(const char* variable, const char* underHome)
{
    // A relative value is to be ignored, as if it were not set.
    if (const char* value = std::getenv(variable); value && *value) {
        const std::filesystem::path path(value);
        if (path.is_absolute())
            return path;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / underHome;
}

std::filesystem::path XdgDirs::configHome()
{
    return pick("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path XdgDirs::dataHome()
{
    return pick("XDG_DATA_HOME", ".local/share");
}

#pragma once

#include <filesystem>

// Where a desktop program keeps its files, by the XDG base-directory rules:
// the variable when it is set to an absolute path, else the usual place
// under $HOME. The game's own folder ("tarnwick") goes below these.
class XdgDirs {
public:
    XdgDirs() = delete;

    // $XDG_CONFIG_HOME, or $HOME/.config
    static std::filesystem::path configHome();
    // $XDG_DATA_HOME, or $HOME/.local/share
    static std::filesystem::path dataHome();

private:
    static std::filesystem::path pick(const char* variable, const char* underHome);
};

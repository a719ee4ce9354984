#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Finds the folder that holds the game's data (res/ and everything below it)
// and makes it the working folder, so that every "res/..." path the game
// reads is found there.
//
// Search order: the folder given with --data, the one named by the
// environment variable TARNWICK_DATA, the installed data beside the
// executable (../share/games/tarnwick from its own folder, so that a moved
// installation still finds its data), the current folder, and last, for a
// program that was never installed (it still lies in the build folder it was
// built in), the checkout it was built from.
class DataDirectory {
public:
    DataDirectory() = delete;

    // The file whose presence tells a data folder.
    static const char* const marker;

    // Where to look; everything that is not known stays empty.
    struct Places {
        std::optional<std::string> option;      // --data DIR
        std::optional<std::string> environment; // TARNWICK_DATA (empty counts as unset)
        std::filesystem::path executable;       // the running program's own file
        std::filesystem::path startFolder;      // the folder the game was started from
        std::filesystem::path checkout;         // the checkout it was built from; empty once installed
    };

    // The data folder, as an absolute path. Throws std::runtime_error with one
    // line saying what was wrong or where it looked when there is none.
    static std::filesystem::path find(const Places& places);
    // The same, with the places of this process: its --data value, its
    // environment, /proc/self/exe and its current folder.
    static std::filesystem::path find(const std::optional<std::string>& option);
    // Finds the data folder and makes it the current folder.
    static void enter(const std::optional<std::string>& option);

    static bool holdsData(const std::filesystem::path& folder);
    // Where an executable at the given path keeps its installed data; empty
    // when the executable is not known.
    static std::filesystem::path installedFolder(const std::filesystem::path& executable);
    // The checkout `sourceFolder` when `executable` lies inside `buildFolder`
    // (the program runs where it was built), else empty: an installed or
    // copied program never reaches back into a checkout.
    static std::filesystem::path checkoutOf(const std::filesystem::path& executable,
                                            const std::filesystem::path& buildFolder,
                                            const std::filesystem::path& sourceFolder);
    // The same for the folders this program was built with.
    static std::filesystem::path checkoutOf(const std::filesystem::path& executable);
    // This process's executable, or empty when the system does not tell.
    static std::filesystem::path currentExecutable();
};

// Checks the saves that killed games left behind: savecheck DATA_DIR FOLDER...
// For every folder (an XDG data home), the save and its backup, when there,
// are read as Continue reads them and built into a freshly made world. One
// line each: "FOLDER FILE DIGEST" for a save that loads, "FOLDER FILE
// unusable: REASON" for one that does not. Exit status 1 if any does not.
#include "core/Game.h"
#include "world/MainState.h"
#include "story/SaveGame.h"
#include "story/StoryState.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: savecheck DATA_DIR FOLDER...\n";
        return 2;
    }
    fs::current_path(argv[1]);
    // The worlds built here are the game's own, window and all.
    Game::openWindow();
    const std::string world = SaveGame::worldIdentity();
    int bad = 0;
    for (int i = 2; i < argc; ++i) {
        setenv("XDG_DATA_HOME", argv[i], 1);
        for (const fs::path& file : {SaveGame::file(), SaveGame::backupFile()}) {
            std::string why;
            bool exists = false;
            const std::optional<StoryState> state = SaveGame::read(file, world, &why, &exists);
            if (!exists)
                continue;
            std::cout << argv[i] << ' ' << file.filename().string() << ' ';
            if (state) {
                Game::part = -1;
                Game::disguise = Game::defacedTables = 0;
                MainState fresh;
                if (state->apply(fresh, &why) && StoryState::capture(fresh) == *state) {
                    std::cout << state->digest() << '\n';
                    continue;
                }
            }
            std::cout << "unusable: " << why << '\n';
            ++bad;
        }
    }
    return bad ? 1 : 0;
}

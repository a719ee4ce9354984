#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Where the game's compiled translations are (Catalogue::setFolders): the
// installation's share/locale, found from the program's own place so that a
// moved installation still finds them, and, for a program run where it was
// built, the build's locale/ (what po/CMakeLists.txt compiles).
class CatalogueFolders {
public:
    CatalogueFolders() = delete;

    static std::vector<std::string> of(const std::filesystem::path& executable);
    // The world's own translations: po/ beside res/ in the data folder.
    static constexpr const char* world = "po";
};

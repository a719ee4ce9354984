#include "launch/CatalogueFolders.h"

#include "launch/DataDirectory.h"

#ifndef TARNWICK_LOCALE_FROM_BINARY
#define TARNWICK_LOCALE_FROM_BINARY "../share/locale"
#endif
#ifndef TARNWICK_BUILD_FOLDER
#define TARNWICK_BUILD_FOLDER ""
#endif

namespace fs = std::filesystem;

std::vector<std::string> CatalogueFolders::of(const fs::path& executable)
{
    std::vector<std::string> folders;
    if (executable.empty())
        return folders;
    folders.push_back((executable.parent_path() / TARNWICK_LOCALE_FROM_BINARY).lexically_normal().string());
    if (!DataDirectory::checkoutOf(executable).empty() && *TARNWICK_BUILD_FOLDER)
        folders.push_back((fs::path(TARNWICK_BUILD_FOLDER) / "locale").string());
    return folders;
}

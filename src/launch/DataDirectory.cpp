#include "launch/DataDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <system_error>

#ifndef TARNWICK_DATA_FROM_BINARY
#define TARNWICK_DATA_FROM_BINARY "../share/games/tarnwick"
#endif

// The build system names the checkout and the build folder; a build without
// them never looks for a checkout.
#ifndef TARNWICK_SOURCE_FOLDER
#define TARNWICK_SOURCE_FOLDER ""
#endif
#ifndef TARNWICK_BUILD_FOLDER
#define TARNWICK_BUILD_FOLDER ""
#endif

namespace fs = std::filesystem;

const char* const DataDirectory::marker = "res/maps/testmap.json";

namespace {

// A path the player gave, taken from the folder the game was started from.
fs::path fromStart(const fs::path& startFolder, const std::string& given)
{
    return (startFolder / given).lexically_normal();
}

// What a folder lacks to be the game's data, in the player's words.
std::string lackOf(const fs::path& folder)
{
    std::error_code error;
    if (!fs::exists(folder, error))
        return "there is no such folder";
    if (!fs::is_directory(folder, error))
        return "it is a file, not a folder";
    if (DataDirectory::holdsData(folder.parent_path()) && folder.filename() == "res")
        return "it is the res folder itself: name the folder that holds it";
    if (!fs::is_directory(folder / "res", error))
        return "it has no res folder";
    return "its res folder has no map (maps/testmap.json)";
}

[[noreturn]] void noDataIn(const fs::path& folder, const std::string& source)
{
    throw std::runtime_error(folder.string() + ": no game data in the folder " + source + ": " + lackOf(folder));
}

} // namespace

bool DataDirectory::holdsData(const fs::path& folder)
{
    std::error_code error;
    return fs::is_regular_file(folder / marker, error);
}

fs::path DataDirectory::installedFolder(const fs::path& executable)
{
    if (executable.empty())
        return {};
    return (executable.parent_path() / TARNWICK_DATA_FROM_BINARY).lexically_normal();
}

fs::path DataDirectory::checkoutOf(const fs::path& executable, const fs::path& buildFolder,
                                   const fs::path& sourceFolder)
{
    if (executable.empty() || buildFolder.empty() || sourceFolder.empty())
        return {};
    std::error_code error;
    const fs::path build = fs::weakly_canonical(buildFolder, error);
    if (error)
        return {};
    // Folder by folder, so that build-play/ is not taken for inside build/.
    const fs::path folder = executable.parent_path().lexically_normal();
    auto mismatch = std::mismatch(build.begin(), build.end(), folder.begin(), folder.end());
    const bool inside = mismatch.first == build.end() || (std::next(mismatch.first) == build.end() && mismatch.first->empty());
    return inside ? sourceFolder.lexically_normal() : fs::path();
}

fs::path DataDirectory::checkoutOf(const fs::path& executable)
{
    return checkoutOf(executable, TARNWICK_BUILD_FOLDER, TARNWICK_SOURCE_FOLDER);
}

fs::path DataDirectory::currentExecutable()
{
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self;
}

fs::path DataDirectory::find(const Places& places)
{
    // A place the player named must hold the data: looking elsewhere would
    // quietly start some other copy of the game.
    if (places.option) {
        const fs::path folder = fromStart(places.startFolder, *places.option);
        if (!holdsData(folder))
            noDataIn(folder, "given with --data");
        return folder;
    }
    if (places.environment && !places.environment->empty()) {
        const fs::path folder = fromStart(places.startFolder, *places.environment);
        if (!holdsData(folder))
            noDataIn(folder, "named by TARNWICK_DATA");
        return folder;
    }

    std::string looked;
    const fs::path installed = installedFolder(places.executable);
    if (!installed.empty()) {
        if (holdsData(installed))
            return installed;
        looked = installed.string() + " (installed) or ";
    }
    if (holdsData(places.startFolder))
        return places.startFolder;
    looked += places.startFolder.string() + " (current folder)";
    if (!places.checkout.empty()) {
        if (holdsData(places.checkout))
            return places.checkout;
        looked += " or " + places.checkout.string() + " (the checkout it was built from)";
    }
    throw std::runtime_error("no game data (a res folder with the map) in " + looked +
                             "; name its folder with --data DIR or TARNWICK_DATA");
}

fs::path DataDirectory::find(const std::optional<std::string>& option)
{
    Places places;
    places.option = option;
    if (const char* variable = std::getenv("TARNWICK_DATA"))
        places.environment = std::string(variable);
    places.executable = currentExecutable();
    places.startFolder = fs::current_path();
    places.checkout = checkoutOf(places.executable);
    return find(places);
}

void DataDirectory::enter(const std::optional<std::string>& option)
{
    fs::current_path(find(option));
}

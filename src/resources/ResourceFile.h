#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Safe access to the files of the resource tree. Maps and conversations are
// content that people share, so the names they give are checked before use:
// a name may not lead out of res/, and only regular files are opened (a named
// pipe or a device would block start-up or never end).
//
// Failures are thrown as boost::property_tree::file_parser_error, whose text
// reads "<file>: <what>" like every other start-up error of the game.
class ResourceFile {
public:
    ResourceFile() = delete;

    // The largest file the game reads whole; anything bigger is not game data.
    static constexpr std::size_t maxBytes = std::size_t(64) << 20;

    // Reads a whole file after checking that it is a regular file no larger
    // than maxBytes.
    static std::string read(const std::string& path);
    // Throws unless `path` names an existing regular file.
    static void requireRegular(const std::string& path);
    static bool isRegular(const std::string& path);
    // The words of a value read from a data file, split at blank space.
    static std::vector<std::string> words(const std::string& text);

    // True when `path` (relative to the working folder, as the game builds
    // them: "res/maps/" + a tileset's image, "res/txt/" + a dialogue name)
    // stays inside res/ once "." and ".." are resolved, and is not absolute.
    static bool insideResources(const std::string& path);
    // Throws, naming `referrer` (the file that gave the name), unless `path`
    // stays inside res/.
    static void requireInside(const std::string& path, const std::string& referrer);
};

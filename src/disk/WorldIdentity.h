#pragma once

#include <filesystem>
#include <string>

// A short name for a world's story: a digest of the files that make it (the
// map and its tilesets, the conversations and the goal file), so that a save
// or a recording can tell whether it belongs to the world being played.
// Pictures, the font and sounds do not count: changing how the world looks
// or sounds keeps its saves good.
class WorldIdentity {
public:
    WorldIdentity() = delete;

    // 16 lower-case hex digits for the world whose data folder (the one
    // holding res/) is `dataDir`; the same files give the same digest.
    static std::string of(const std::filesystem::path& dataDir);

    // 64-bit FNV-1a, continued from `hash`: the digest used throughout.
    static unsigned long long fnv1a(const std::string& bytes,
                                    unsigned long long hash = 14695981039346656037ull);
    // A digest as 16 hex digits.
    static std::string hex(unsigned long long hash);
};

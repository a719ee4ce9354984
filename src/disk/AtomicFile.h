#pragma once

#include <filesystem>
#include <string>

// Replaces a file so that, whatever happens (the process killed, the power
// lost, the disk full), the file on disk is either the old one whole or the
// new one whole.
class AtomicFile {
public:
    AtomicFile() = delete;

    // Writes `contents` to a temporary file in the target's folder, flushes it
    // to the disk, renames it over `target` and flushes the folder. Missing
    // parent folders are made. On failure the old file is left as it was, the
    // temporary file is removed, `why` (when given) says what went wrong in a
    // few words, and the result is false.
    static bool write(const std::filesystem::path& target, const std::string& contents,
                      std::string* why = nullptr);
};

#pragma once

#include <filesystem>
#include <string>

// Reads a small text file that the game keeps (settings, endings) as a whole,
// refusing what cannot be such a file.
class SmallTextFile {
public:
    SmallTextFile() = delete;

    enum class Result { read, missing, refused };
    // `text` gets the contents when read; `problem` says, when refused, what
    // is wrong in the player's words ("it is not a regular file", "it is
    // larger than 64 KiB", "it cannot be read", "it is not text").
    static Result read(const std::filesystem::path& path, std::size_t maxBytes, std::string& text,
                       std::string& problem);
};

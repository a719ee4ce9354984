#include "disk/SmallTextFile.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

SmallTextFile::Result SmallTextFile::read(const std::filesystem::path& path, std::size_t maxBytes,
                                          std::string& text, std::string& problem)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return Result::missing;
        problem = "it cannot be read";
        return Result::refused;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "it is not a regular file";
        return Result::refused;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        problem = "it is larger than " + std::to_string(maxBytes / 1024) + " KiB";
        return Result::refused;
    }
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || (!in.good() && !in.eof())) {
        problem = "it cannot be read";
        return Result::refused;
    }
    if (text.find('\0') != std::string::npos) {
        problem = "it is not text";
        return Result::refused;
    }
    return Result::read;
}

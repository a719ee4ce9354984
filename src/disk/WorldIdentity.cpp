#include "disk/WorldIdentity.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {
// What makes a world's story: everything under res/maps/ and res/txt/, and a
// tileset file kept anywhere else under res/.
bool counts(const fs::path& relative)
{
    const std::string first = relative.begin() == relative.end() ? "" : relative.begin()->string();
    if (first == "maps" || first == "txt")
        return true;
    const std::string ext = relative.extension().string();
    return ext == ".json" || ext == ".tsj" || ext == ".tsx";
}
}

unsigned long long WorldIdentity::fnv1a(const std::string& bytes, unsigned long long hash)
{
    for (const unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string WorldIdentity::hex(unsigned long long hash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", hash);
    return text;
}

std::string WorldIdentity::of(const fs::path& dataDir)
{
    const fs::path res = dataDir / "res";
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(res, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        const fs::path relative = it->path().lexically_relative(res);
        if (counts(relative))
            files.push_back(relative);
    }
    std::sort(files.begin(), files.end());

    unsigned long long hash = fnv1a("tarnwick world\n");
    for (const fs::path& relative : files) {
        std::ifstream in(res / relative, std::ios::binary);
        const std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Name and length first, so that moving bytes between files changes the digest.
        hash = fnv1a(relative.generic_string() + '\n' + std::to_string(contents.size()) + '\n', hash);
        hash = fnv1a(contents, hash);
    }
    return hex(hash);
}

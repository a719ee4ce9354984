// Sound files (WAV, Ogg Vorbis, FLAC) as the game reads an effect and a piece
// of music: a file is refused on its header or read whole, and never more
// than it claims. The memory limit of the run catches a file that makes the
// reader allocate what its header claims rather than what it holds.
#include "audio/SoundFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (double longest : {SoundFile::longestEffect, SoundFile::longestMusic}) {
        SoundFile file;
        if (!file.openBytes(std::string(reinterpret_cast<const char*>(data), size), longest).empty())
            continue;
        if (file.readAll().size() > file.claimed())
            std::abort();
    }
    return 0;
}

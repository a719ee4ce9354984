// res/snd/sounds.ini: any file gives a set of sounds, every problem on a line
// of its own naming the file, and no voice out of its range.
#include "FuzzTree.h"

#include "audio/SoundSet.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {
FuzzTree* tree = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    tree = new FuzzTree("soundset", argc, argv);
    std::filesystem::create_directories(SoundSet::folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tree->write(SoundSet::file, data, size);
    if (!std::filesystem::exists(SoundSet::file))
        std::abort(); // the harness would measure nothing
    std::vector<std::string> problems;
    const SoundSet set = SoundSet::load(SoundSet::file, &problems);
    for (const std::string& p : problems)
        if (p.rfind(SoundSet::file, 0) != 0)
            std::abort();
    for (const auto& [type, pitch] : set.voices)
        if (!(pitch >= SoundSet::lowestVoice && pitch <= SoundSet::highestVoice))
            std::abort();
    for (const auto& names : set.effects)
        if (names.empty())
            std::abort();
    return 0;
}

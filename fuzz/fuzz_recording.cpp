// Recordings: a file is read whole or refused with a line naming what is
// wrong; what is read writes back to the same recording.
#include "replay/Recording.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Recording read;
    try {
        read = Recording::parse(in);
    } catch (const std::runtime_error&) {
        return 0;
    }
    std::istringstream again(read.toText());
    const Recording back = Recording::parse(again);
    if (back.toText() != read.toText() || back.steps() != read.steps())
        std::abort();
    return 0;
}

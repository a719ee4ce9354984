// The settings file, the controls in it included: whatever it holds is read
// or refused in one line, and what is read writes back to a file that reads
// the same.
#include "disk/Settings.h"
#include "input/Bindings.h"
#include "input/ControlsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Settings::clear();
    Bindings::restoreDefaults();
    const std::string problem = Settings::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (problem.find('\n') != std::string::npos)
        std::abort();
    const std::string warning = ControlsFile::load();
    if (warning.find('\n') != std::string::npos)
        std::abort();
    if (problem.empty()) {
        const std::string written = Settings::text();
        Settings::clear();
        if (!Settings::parse(written).empty() || Settings::text() != written)
            std::abort();
    }
    return 0;
}

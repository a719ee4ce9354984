// A translation as an author or a translator hands it over: the catalogue's
// text (.po, read by --check) is read or refused with a line that names where;
// the same bytes as a compiled catalogue (.mo, read by the game) give a
// translation or the English, never a crash.
#include "i18n/Catalogue.h"
#include "i18n/PoFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        for (const PoFile::Entry& entry : PoFile::parse(text))
            if (entry.line == 0)
                std::abort();
    } catch (const std::runtime_error& refused) {
        if (std::string(refused.what()).find('\n') != std::string::npos)
            std::abort();
    }

    // One folder for the run, taken away when it ends.
    static const struct Folder {
        fs::path path = fs::temp_directory_path() / ("fuzz-catalogue-" + std::to_string(::getpid()));
        Folder() { fs::create_directories(path / "xx" / "LC_MESSAGES"); }
        ~Folder()
        {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } run;
    const fs::path& folder = run.path;
    {
        std::ofstream mo(folder / "xx" / "LC_MESSAGES" / "tarnwick.mo", std::ios::binary | std::ios::trunc);
        mo.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    Catalogue::setFolders({folder.string()}, "");
    Catalogue::use({"xx"});
    (void)Catalogue::text("Space");
    (void)Catalogue::text("key", "Space");
    (void)Catalogue::world("Halt.", "name");
    (void)Catalogue::world("");
    Catalogue::use({});
    return 0;
}
